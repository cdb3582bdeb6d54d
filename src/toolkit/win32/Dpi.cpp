#include "toolkit/win32/Dpi.h"

#include "platform/win32/ScopedWin.h"

namespace norva::tk::win32 {

int ScreenDpi() {
  static const int dpi = [] {
    const platform::win32::ScopedWindowDc screen(nullptr);
    const int value = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return value > 0 ? value : kDesignPixelsPerInch;
  }();
  return dpi;
}

}  // namespace norva::tk::win32
