#include "form.h"

#include <QApplication>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>

#include <exception>

#include "mainicon.xpm"

namespace ui {

TForm1::TForm1() {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(lesson::AppTitle));
    setAccessibleName(QString::fromUtf8(lesson::AppTitle));
    setWindowIcon(QIcon(QPixmap(mainicon_xpm)));
    QApplication::setWindowIcon(windowIcon()); // the message boxes' too
    setFont(LayoutFont(lesson::GothicFace, 12, false, false));
    setPalette(LayoutPalette()); // whatever the desktop's theme
    resize(lesson::CreationClientWidth, lesson::CreationClientHeight);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    toolkit_ = std::make_unique<QtToolkit>(*this, [this](Ctl c, Event e) { raise(c, e); });
    lesson_ = std::make_unique<lesson::Lesson>(*toolkit_);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { onFocusChanged(now); });
    created_ = true;
    try {
        lesson_->FormCreate(); // the window's OnCreate
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()), QMessageBox::Critical);
    }
}

TForm1::~TForm1() {
    // Tearing down the widgets moves the focus and hides lists: none of that
    // may reach the handlers of a window that is going away.
    created_ = false;
    disconnect(qApp, nullptr, this, nullptr);
    // An open list closes while the widgets are torn down: its close-up must
    // not call back into this half-destroyed window.
    toolkit_->controls().closeLists();
}

void TForm1::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.setClipRegion(e->region());
    toolkit_->paintWindow(p, e->rect());
}

void TForm1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!qFuzzyCompare(devicePixelRatioF(), toolkit_->surface().devicePixelRatio()))
        toolkit_->makeSurface();
    if (shownOnce_)
        return;
    shownOnce_ = true;
    toolkit_->placement().placeCentred();
    toolkit_->placement().awaitFrame();
}

void TForm1::onFocusChanged(QWidget* now) {
    Ctl c;
    if (!now || !controlOf(now, &c) || c == activeControl_)
        return;
    // A list's popup, a message box or another window taking the focus and
    // giving it back is no entering of the control.
    activeControl_ = c;
    raise(c, Event::OnEnter);
}

void TForm1::raise(Ctl sender, Event event) {
    if (!created_)
        return;
    // What the handler changed is shown once it has returned.
    struct Handling {
        QtToolkit& tk;
        explicit Handling(QtToolkit& t) : tk(t) { tk.beginHandler(); }
        ~Handling() { tk.endHandler(); }
    } handling(*toolkit_);
    try {
        if (eventObserver)
            eventObserver(sender, event);
        lesson_->dispatch(sender, event);
    } catch (const std::exception& e) {
        toolkit_->showChanges();
        ShowMessage(QString::fromUtf8(e.what()), QMessageBox::Critical);
    } catch (...) {
        toolkit_->showChanges();
        ShowMessage(QString::fromUtf8("予期しないエラーが発生しました"), QMessageBox::Critical);
    }
}

} // namespace ui
