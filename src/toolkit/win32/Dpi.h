// The screen's pixels per inch as the system gives them to the whole
// program (the primary monitor's at log-on), read once; a window scales by
// its form's own (TControl::PixelsPerInch: the monitor it is on), which the
// system tells it in WM_DPICHANGED as it moves (the program is declared
// per-monitor aware in its manifest, so the system never stretches its
// windows itself). The per-monitor functions are looked up at their first
// call: Windows before 10 and Wine may lack them, and the system-wide
// answer stands in.
#pragma once

#include "toolkit/Dpi.h"
#include "toolkit/win32/Win32Api.h"

namespace norva::tk::win32 {

int ScreenDpi();
// The font as a window of pixelsPerInch shows it: its height in its pixels.
inline TFont DeviceFont(TFont font, int pixelsPerInch) {
  font.Height = ScaleBy(font.Height, pixelsPerInch);
  return font;
}

// The window's pixels per inch (GetDpiForWindow), the screen's without it.
int WindowDpi(HWND window);
// A system metric at pixelsPerInch (GetSystemMetricsForDpi); without it the
// screen's metric, scaled from the screen's pixels per inch.
int SystemMetricForDpi(int index, int pixelsPerInch);
// The frame around a client area at pixelsPerInch (AdjustWindowRectExForDpi;
// AdjustWindowRectEx, the screen's frame, without it).
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int pixelsPerInch);
// The non-client metrics (fonts of menus, captions, ...) at pixelsPerInch
// (SystemParametersInfoForDpi; the screen's, their fonts scaled, without it).
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int pixelsPerInch);

}  // namespace norva::tk::win32
