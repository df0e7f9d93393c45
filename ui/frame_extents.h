// The frame a window manager puts around a top-level window, read from the
// window manager itself where Qt's own record of it may lag behind.
#pragma once

#include <QMargins>

class QWidget;

namespace ui {

// Left, top, right and bottom of the frame; none without a window manager,
// and none on a window system other than X11.
QMargins WindowManagerFrame(const QWidget& window);

} // namespace ui
