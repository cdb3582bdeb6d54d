#include "toolkit/win32/Dpi.h"

#include "platform/win32/LateBound.h"
#include "platform/win32/ScopedWin.h"

namespace norva::tk::win32 {

namespace pw = platform::win32;

namespace {

int ScaledFromScreen(int value, int pixelsPerInch) {
  return ::MulDiv(value, pixelsPerInch, ScreenDpi());
}

}  // namespace

int ScreenDpi() {
  static const int dpi = [] {
    const platform::win32::ScopedWindowDc screen(nullptr);
    const int value = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return value > 0 ? value : kDesignPixelsPerInch;
  }();
  return dpi;
}

int WindowDpi(HWND window) {
  const auto bound = pw::LateGetDpiForWindow();
  const UINT dpi = bound != nullptr && window != nullptr ? bound(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

int SystemMetricForDpi(int index, int pixelsPerInch) {
  const auto bound = pw::LateGetSystemMetricsForDpi();
  if (bound != nullptr) return bound(index, static_cast<UINT>(pixelsPerInch));
  return ScaledFromScreen(::GetSystemMetrics(index), pixelsPerInch);
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int pixelsPerInch) {
  const auto bound = pw::LateAdjustWindowRectExForDpi();
  if (bound != nullptr && bound(&rect, style, FALSE, exStyle, static_cast<UINT>(pixelsPerInch)))
    return;
  ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int pixelsPerInch) {
  const auto bound = pw::LateSystemParametersInfoForDpi();
  metrics.cbSize = sizeof(metrics);
  if (bound != nullptr &&
      bound(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, static_cast<UINT>(pixelsPerInch)))
    return true;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                         &metrics.lfStatusFont, &metrics.lfMessageFont})
    font->lfHeight = ScaledFromScreen(font->lfHeight, pixelsPerInch);
  return true;
}

}  // namespace norva::tk::win32
