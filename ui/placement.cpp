#include "placement.h"

#include "frame_extents.h"
#include "state.h"

#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace ui {

WindowPlacement::WindowPlacement(QWidget& window) : window_(window), outer_(window.geometry()) {}

QMargins WindowPlacement::frameMargins() {
    // Known only once a window manager has framed the shown window, and kept
    // from then on: a maximised window is framed differently, and for a while
    // after it is restored its frame still reads as the maximised one.
    if (frame_.isNull() && window_.isVisible() && window_.windowState() == Qt::WindowNoState) {
        QMargins m = WindowManagerFrame(window_);
        if (m.isNull()) { // not on X11: Qt's record of the frame is all there is
            QRect f = window_.frameGeometry(), g = window_.geometry();
            m = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                         f.bottom() - g.bottom());
        }
        if (!m.isNull())
            frame_ = m;
    }
    return frame_;
}

void WindowPlacement::applyOuterBounds() {
    bool restored = false;
    if (window_.windowState() &
        (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) {
        window_.setWindowState(Qt::WindowNoState);
        restored = true;
    }
    QMargins m = restored ? frame_ : frameMargins();
    // The client area inside the frame we know, not the one Qt may still
    // hold from the maximised state.
    window_.setGeometry(outer_.left() + m.left(), outer_.top() + m.top(),
                        outer_.width() - m.left() - m.right(),
                        outer_.height() - m.top() - m.bottom());
}

void WindowPlacement::placeAt(const QPoint& topLeft) {
    outer_.moveTopLeft(topLeft);
    applyOuterBounds();
}

void WindowPlacement::setTop(int top) {
    outer_.moveTop(top);
    applyOuterBounds();
}
void WindowPlacement::setLeft(int left) {
    outer_.moveLeft(left);
    applyOuterBounds();
}
void WindowPlacement::setHeight(int height) {
    outer_.setHeight(height);
    applyOuterBounds();
}
void WindowPlacement::setWidth(int width) {
    outer_.setWidth(width);
    applyOuterBounds();
}

void WindowPlacement::placeCentred() {
    // Centred on the whole virtual desktop at the first showing only.
    QRect desktop = window_.screen() ? window_.screen()->virtualGeometry() : QRect(0, 0, 1024, 768);
    QRect outer = outer_;
    lesson::Point p =
        lesson::CentredPosition(desktop.width(), desktop.height(), outer.width(), outer.height());
    placeAt(QPoint(desktop.left() + p.x, desktop.top() + p.y));
}

void WindowPlacement::awaitFrame() {
    // A window manager frames the window some time after it is first shown,
    // and tells no event of it. Look a few times; once the frame is known the
    // outer size becomes 1024 x 768, frame included, centred with that size.
    auto* poll = new QTimer(&window_);
    poll->setInterval(100);
    QObject::connect(poll, &QTimer::timeout, &window_, [this, poll, looks = 50]() mutable {
        bool framed = !frameMargins().isNull();
        if (framed && window_.windowState() == Qt::WindowNoState)
            placeCentred();
        if (framed || --looks == 0) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

} // namespace ui
