#include "message_box.h"
#include "palette.h"

#include "controls.h"

#include <QApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

namespace ui {

namespace {

// The frame a window manager put around one of the program's windows, the
// best guess for a new window's frame before it is framed itself.
QMargins KnownFrame(const QWidget* except) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == except || !w->isVisible())
            continue;
        QRect f = w->frameGeometry(), g = w->geometry();
        if (f != g)
            return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                            f.bottom() - g.bottom());
    }
    return {};
}

class CentredMessageBox : public QMessageBox {
  public:
    CentredMessageBox(Icon icon, const QString& text)
        : QMessageBox(icon, QString::fromUtf8(lesson::AppTitle), text, QMessageBox::Ok) {
        setPalette(LayoutPalette());
    }

  protected:
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e); // gives the box its final size
        if (e->spontaneous())
            return;
        centre(KnownFrame(this));
        // A window manager frames the box only once it is mapped, and on a
        // busy machine may place it by its own rule after that: for its
        // first two seconds the box is centred again, with the frame it now
        // has, whenever it stands elsewhere.
        auto* poll = new QTimer(this);
        poll->setInterval(50);
        connect(poll, &QTimer::timeout, this, [this, poll, looks = 40]() mutable {
            QRect f = frameGeometry(), g = geometry();
            if (f != g)
                centre(QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                                f.bottom() - g.bottom()));
            if (--looks == 0) {
                poll->stop();
                poll->deleteLater();
            }
        });
        poll->start();
    }

  private:
    void centre(const QMargins& frame) {
        QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        if (!s)
            return;
        QRect area = s->availableGeometry();
        QSize outer = size().grownBy(frame);
        QPoint at(area.left() + (area.width() - outer.width()) / 2,
                  area.top() + (area.height() - outer.height()) / 2);
        if (frameGeometry().topLeft() != at)
            move(at); // places the frame's top-left corner
    }
};

} // namespace

void ShowMessage(const QString& text, QMessageBox::Icon icon) {
    // Without a parent: application-modal, and centred on the screen rather
    // than on the window.
    CentredMessageBox box(icon, text);
    box.exec();
}

} // namespace ui
