// The toolkit's link to a windowing system. The Win32 backend makes native
// windows and runs the real message loop; the headless backend (tests) keeps
// a virtual clock, runs due timers and posted messages when messages are
// processed, and records what is drawn.
#pragma once

#include <memory>
#include <string>

#include "toolkit/Control.h"

namespace norva::tk {

class TForm;
class TTimer;
class TPopupMenu;
class TOpenDialog;
class TColorDialog;

class Backend {
 public:
  virtual ~Backend() = default;

  // The native window of a windowed control (forms included).
  virtual std::unique_ptr<ControlPeer> CreatePeer(TWinControl& control) = 0;
  // A canvas on the screen, for measuring text outside of painting, with the
  // fonts as a window of that many pixels per inch draws them.
  virtual TCanvas& MeasureCanvas(int pixelsPerInch) = 0;
  // An off-screen picture of the given size, in the screen's colour format,
  // holding the pixels of a window of that many pixels per inch.
  virtual std::unique_ptr<TBitmapCanvas> CreateBitmapCanvas(int width, int height,
                                                            int pixelsPerInch) = 0;

  // The application's own hidden top-level window (the taskbar button's owner).
  virtual win::HWND CreateApplicationWindow(const std::string& title) = 0;
  // Runs until QuitMessageLoop; processes every message meanwhile.
  virtual void RunMessageLoop() = 0;
  virtual void QuitMessageLoop() = 0;
  // Handles every message that is waiting, then returns.
  virtual void ProcessMessages() = 0;
  // Handles messages until done() is true (a modal loop), waiting when idle.
  virtual void RunModalLoop(const std::function<bool()>& done) = 0;

  virtual void StartTimer(TTimer& timer) = 0;
  virtual void StopTimer(TTimer& timer) = 0;

  virtual void MinimizeApplication() = 0;
  virtual void RestoreApplication() = 0;
  // Puts the application's top-most windows back on top (after another
  // window was made top-most).
  virtual void RestoreTopMosts() = 0;

  // Shows the menu at a screen point and returns when it has closed; the
  // chosen item's OnClick has run by then.
  virtual void TrackPopupMenu(TPopupMenu& menu, int x, int y) = 0;
  // Closes the menu that is open, if any (a popup menu or a window's system
  // menu): its loop holds the code that opened it until the user leaves it.
  virtual void EndMenus() {}
  virtual bool ExecuteOpenDialog(TOpenDialog& dialog) = 0;
  virtual bool ExecuteColorDialog(TColorDialog& dialog) = 0;

  // A canvas on the whole display, drawing above every window; null where
  // the system gives none.
  virtual std::unique_ptr<TCanvas> OpenScreenCanvas() { return nullptr; }
  // Every window under the screen area repaints itself, background included.
  virtual void InvalidateScreenArea(const TRect& area) { (void)area; }
  // Pixels per logical inch of the screen (for sizes given in points).
  virtual int ScreenPixelsPerInch() { return 96; }
  // How much wider and taller the form's window is than its client area
  // (frame and title bar of its BorderStyle and BorderIcons).
  virtual TPoint FormFrameSize(const TForm& form) {
    (void)form;
    return {0, 0};
  }
};

Backend& CurrentBackend();
void InstallBackend(Backend* backend);

}  // namespace norva::tk
