// How much of the installed font files the window keeps in memory.
#pragma once

namespace ui {

// Opens the layout's Japanese faces and lets each pair of pages of a font
// file come into the window's memory only when a glyph or table on it is
// read. Call once, after SetUpApplication and before any window is built.
void ReadFontFilesByPage();

} // namespace ui
