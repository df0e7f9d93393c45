// Where the window stands on the desktop: the outer bounds the lesson sets,
// frame included, kept through maximising and restoring, and the centring at
// the first showing once the window manager's frame is known.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace ui {

class WindowPlacement {
  public:
    // Starts from the window's present client bounds.
    explicit WindowPlacement(QWidget& window);

    // The window's outer bounds as last set, frame included.
    QRect outerBounds() const { return outer_; }
    void setTop(int top);
    void setLeft(int left);
    void setHeight(int height);
    void setWidth(int width);
    // Moves the window's frame to this point, keeping the outer size.
    void placeAt(const QPoint& topLeft);
    // Applies the outer bounds again, once the frame's size is known.
    void applyOuterBounds();
    // The window manager's frame around the client area (none without one).
    QMargins frameMargins();

    // The first showing: centred on the whole desktop, and again once a
    // window manager has framed the window.
    void placeCentred();
    void awaitFrame();

  private:
    QWidget& window_;
    QRect outer_;
    QMargins frame_;
};

} // namespace ui
