// The screen's pixels per inch as the back end scales by it: read once, as
// it stays the same for a program's whole run (it is declared DPI-aware in
// its manifest, so the system does not stretch its windows itself).
#pragma once

#include "toolkit/Dpi.h"
#include "toolkit/win32/Win32Api.h"

namespace norva::tk::win32 {

int ScreenDpi();
inline int ToDevice(int logical) { return ScaleBy(logical, ScreenDpi()); }
inline int FromDevice(int device) { return UnscaleBy(device, ScreenDpi()); }
// The font as a window of the screen shows it: its height in screen pixels.
inline TFont DeviceFont(TFont font) {
  font.Height = ToDevice(font.Height);
  return font;
}

}  // namespace norva::tk::win32
