// The layout's font faces on the desktop.
#pragma once

#include "controls.h"

#include <QFont>
#include <QStringList>

namespace ui {

// Maps the layout's faces to installed ones of the same metrics.
void InstallFontSubstitutes();
// A font as the layout gives it: face, character height in pixels, style.
QFont LayoutFont(lesson::Face face, int pixels, bool bold, bool italic);

} // namespace ui
