// The look every window of the program is built for: the application style
// and the fonts the layout names.
#pragma once

#include <QFont>

namespace ui {

// Maps the layout's font faces to installed ones of the same metrics.
void InstallFontSubstitutes();
// The application-wide look every window of the program is built for: the
// Fusion style and the font substitutes. Call after creating the QApplication.
void SetUpApplication();
// A font as the layout gives it: face, character height in pixels, style.
QFont LayoutFont(const char* face, int pixels, bool bold, bool italic);

} // namespace ui
