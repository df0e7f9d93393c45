// The window's end when another client destroys it.
#pragma once

class QWidget;

namespace ui {

// Ends the event loop with code 0 when the window system destroys this
// window from outside, as its close box would.
void EndWhenDestroyed(QWidget& window);

} // namespace ui
