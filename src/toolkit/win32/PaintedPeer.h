// Windows of our own class that paint their windowless children: forms,
// panels, group boxes and tab sheets. They paint double-buffered in
// WM_PAINT (background, then the children through a GdiCanvas) and pass
// the mouse to the windowless child under it.
#pragma once

#include <vector>

#include "toolkit/win32/Gdi.h"
#include "toolkit/win32/WinPeer.h"

namespace norva::tk::win32 {

class PaintedPeer : public WinPeer {
 public:
  using WinPeer::WinPeer;

 protected:
  void BeforeDispatch(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool ToolkitDefault(TMessage& message) override;
  // Drawn between the background and the children (frames, captions).
  virtual void PaintDecoration(GdiCanvas& canvas);

 private:
  void Paint();
  bool Mouse(TMessage& message);
  TControl* MouseTarget(int x, int y);
  // Set when the control's own WndProc answered WM_ERASEBKGND: whatever it
  // drew is then the background, and the toolkit's fill is left out.
  bool FErasedByControl = false;
  TControl* FCaptured = nullptr;
};

// A panel, group box, tab sheet or any other windowed container.
class ContainerPeer final : public PaintedPeer {
 public:
  explicit ContainerPeer(TWinControl& control);
  void Update(TChange what) override;

 protected:
  void PaintDecoration(GdiCanvas& canvas) override;
};

class FormPeer final : public PaintedPeer {
 public:
  explicit FormPeer(TForm& form);
  ~FormPeer() override;
  void Update(TChange what) override;

  TForm& Form() const { return FForm; }
  // Order in which the forms were last shown (the newest is highest).
  unsigned ShowSerial() const { return FShowSerial; }

  // Every form window that exists.
  static const std::vector<FormPeer*>& All();
  // The window styles of a form as its properties ask for them.
  static DWORD Style(const TForm& form);
  static DWORD ExStyle(const TForm& form);

 protected:
  void BeforeDispatch(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool ToolkitDefault(TMessage& message) override;

 private:
  DWORD Style() const { return Style(FForm); }
  DWORD ExStyle() const { return ExStyle(FForm); }
  RECT WindowBounds() const;
  void ApplyBounds();
  // The form takes the client size the window has (moved or sized by the
  // user or the system), without sizing the window again.
  void SyncClientSize(int width, int height);
  void ApplyVisible();
  void CenterOnScreen();

  TForm& FForm;
  bool FSyncing = false;
  bool FApplying = false;  // inside ApplyBounds: its own WM_SIZE is not the user's
  bool FShownBefore = false;
  unsigned FShowSerial = 0;
  HWND FActiveBeforeModal = nullptr;
};

}  // namespace norva::tk::win32
