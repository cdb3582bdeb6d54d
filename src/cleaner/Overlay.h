// Geometry and texts of the full-screen cleaning progress display.
#pragma once

#include <string>

#include "toolkit/Types.h"

namespace norva {

struct OverlayGeometry {
  tk::TRect bar;    // the bar band, lower fifth of the screen
  tk::TRect label;  // the line directly above it
  int barFontPixels = 0;
  int labelFontPixels = 0;
};

// Percent 0 is the shadow pass, one pixel right and down.
OverlayGeometry OverlayGeometryFor(int width, int height, int pixelsPerInch, int percent);
// Ten squares, the first percent / 10 of them filled.
std::string OverlayBar(int percent);

}  // namespace norva
