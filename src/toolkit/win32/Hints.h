// Pop-up hints: the Hint of the control under the resting mouse pointer,
// for controls whose ShowHint is set, windowless ones included. The pointer
// is followed by position, as mouse messages do not reach a window part
// that answers as a caption (a frameless window dragged by its body).
#pragma once

#include "toolkit/win32/Win32Api.h"

namespace norva::tk::win32 {

class HintManager {
 public:
  // The pointer moved over one of our windows.
  void MouseMoved(HWND window);
  // A click: no hint until the pointer reaches another control.
  void Cancel();
  // The hint timer (on the application window).
  void Tick();

  static constexpr UINT_PTR kTimerId = 0x4E48;

 private:
  TControl* ControlUnderPointer(POINT screen) const;
  void Show(const TControl& control, POINT screen);
  void Hide();
  void Stop();

  HWND FTip = nullptr;
  HFONT FTipFont = nullptr;  // the font last given to the tip window
  HWND FHoverWindow = nullptr;
  // Compared only: dereferenced only right after it was found again.
  const TControl* FCurrent = nullptr;
  DWORD FSince = 0;
  bool FShown = false;
  bool FDone = false;
  bool FTimerRunning = false;
};

HintManager& Hints();

}  // namespace norva::tk::win32
