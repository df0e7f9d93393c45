// The system colours the layout names (button face, window, window text)
// and the rest of a palette to match, in every colour group, so that no
// desktop theme recolours a control.
#pragma once

#include <QPalette>

namespace ui {

QPalette LayoutPalette();

} // namespace ui
