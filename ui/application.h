// The application-wide set-up every window of the program is built for.
#pragma once

namespace ui {

// The style, palette, Qt's Japanese translation, the font substitutes and
// the accessible views; and the shortcuts switched to their plain paths
// where HAYASA_PLAIN_PATHS=1 asks for it. Call once, after creating the
// QApplication and before any window is built.
void SetUpApplication();

} // namespace ui
