// The native window behind a windowed control, and the one window procedure
// every such window runs through. Windows of our own class are bound to
// their peer at WM_NCCREATE; system controls (BUTTON, EDIT, ...) by
// subclassing right after creation. Each message goes to the control's
// WndProc first (a form's override sees everything); what the control leaves
// unhandled comes back to DefaultHandler: the toolkit's default, then the
// native one. Notifications a child sends its parent (WM_COMMAND, WM_NOTIFY,
// scrolling, WM_CTLCOLOR*, WM_DRAWITEM) are reflected to the child's peer.
#pragma once

#include <vector>

#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/Win32Api.h"

namespace norva::tk::win32 {

class WinPeer : public ControlPeer {
 public:
  explicit WinPeer(TWinControl& control);
  ~WinPeer() override;
  WinPeer(const WinPeer&) = delete;
  WinPeer& operator=(const WinPeer&) = delete;

  win::HWND Handle() const override { return FHandle; }
  void Update(TChange what) override;
  void Invalidate(const TRect* area) override;
  void InvalidateAreas(const std::vector<TRect>& areas) override;
  void DefaultHandler(TMessage& message) override;

  TWinControl& Control() const { return FControl; }
  HWND Window() const { return FHandle; }

  // The control's sizes and fonts in its window's pixels: those of its
  // form's pixels per inch.
  int Dpi() const { return FControl.PixelsPerInch(); }
  int ToDevice(int logical) const { return ScaleBy(logical, Dpi()); }
  int FromDevice(int device) const { return UnscaleBy(device, Dpi()); }
  TFont DeviceFont(const TFont& font) const { return ::norva::tk::win32::DeviceFont(font, Dpi()); }

  // The peer of one of our windows, or null for any other window.
  static WinPeer* FromHandle(HWND window);
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  // A notification this control sent its parent, passed back to it. True
  // when it was handled, with the parent's answer in result.
  virtual bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

 protected:
  // Our own window class, bound at WM_NCCREATE.
  void CreateOwnWindow(DWORD exStyle, DWORD style, HWND parent, int x, int y, int width,
                       int height);
  // A system control as a child of the parent control's window, subclassed.
  void CreateSystemWindow(const wchar_t* className, DWORD exStyle, DWORD style);
  // WS_CHILD with the control's visibility and enabled state.
  DWORD ChildStyle() const;
  HWND ParentWindow() const;
  void ApplyFont();
  // The native default: the system class's procedure or DefWindowProc.
  LRESULT CallNative(UINT msg, WPARAM wParam, LPARAM lParam);

  // Work that must happen whatever the control's WndProc does with the
  // message (keeping properties in step with the window).
  virtual void BeforeDispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  // The toolkit's default for a message; true when it gave the full answer.
  virtual bool ToolkitDefault(TMessage& message);

  TWinControl& FControl;
  HWND FHandle = nullptr;

 private:
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  bool ReflectToChild(TMessage& message);
  void Bind(HWND window);
  void Unbind();
  WNDPROC FNativeProc = nullptr;
};

// The module's instance handle.
HINSTANCE Instance();
// The hidden application window (created on first need): owner of every
// form, receiver of timers.
HWND ApplicationWindow();
// Shift-state bits of a mouse message's wParam.
TShiftState MouseShift(WPARAM wParam);
// Loads the common controls and registers their classes, once, before the
// first system control or tooltip is made: a start whose windows are all the
// program's own (the main window) then loads none of it.
void EnsureCommonControls();

}  // namespace norva::tk::win32
