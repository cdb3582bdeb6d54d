// Popup menus drawn by the program: the system draws menus in its menu font,
// which may lack the Japanese glyphs where the program's own face is missing
// (a fresh Wine prefix). There the items are drawn in the stand-in face.
#pragma once

#include "toolkit/win32/Win32Api.h"

#include "toolkit/Menus.h"

namespace norva::tk::win32 {

// Whether menu items are to be drawn by the program (owner-drawn items whose
// item data is their TMenuItem).
bool MenuItemsDrawnByProgram();
// WM_MEASUREITEM and WM_DRAWITEM of such an item; false for anything else.
bool MeasureMenuItem(LPARAM lParam);
bool DrawMenuItem(LPARAM lParam);

}  // namespace norva::tk::win32
