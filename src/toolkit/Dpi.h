// Every size and position inside a window is given for a screen of 96
// pixels per inch. On a screen with more, the Win32 back end grows windows,
// controls and fonts by the same factor (so text stays crisp, drawn by the
// system at its real size); at 96 nothing changes. Positions of windows on
// the screen are screen pixels; the main window's own code converts where
// it compares them with sizes inside the window.
#pragma once

#include "toolkit/Types.h"

namespace norva::tk {

constexpr int kDesignPixelsPerInch = 96;

// value × pixelsPerInch / 96, rounded to the nearest whole pixel (halves
// upwards, so edges that meet at 96 still meet when scaled).
int ScaleBy(int value, int pixelsPerInch);
// The inverse: screen pixels back to 96-per-inch pixels.
int UnscaleBy(int value, int pixelsPerInch);

// A copy of the area from onto the area to (96-per-inch pixels, areas of one
// size) on surfaces of pixelsPerInch: the device rectangles written (to) and
// read (from), of one size. Scaling rounds each edge on its own, so two areas
// of one size can start a pixel apart more or less than they end: the copy
// keeps their right and bottom edges in step. A picture scrolled left by a
// band's width thus moves by exactly the pixels the band covers at its right
// edge, and drawing that band leaves no stale column between the two.
struct TScaledCopy {
  TRect to;
  TRect from;
};
TScaledCopy ScaleCopy(const TRect& to, const TRect& from, int pixelsPerInch);

}  // namespace norva::tk
