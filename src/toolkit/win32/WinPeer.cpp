#include "toolkit/win32/WinPeer.h"

#include <stdexcept>
#include <unordered_map>

#include "platform/win32/LateBound.h"
#include "platform/win32/WinText.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/Gdi.h"
#include "toolkit/win32/Hints.h"

namespace norva::tk::win32 {

using platform::win32::ScopedRegion;
using platform::win32::Wide;

namespace {

// Our windows by handle. A table rather than GWLP_USERDATA: a reflected
// notification names the sending window, which may be a system control's
// inner window whose user data is not ours to read.
std::unordered_map<HWND, WinPeer*>& Peers() {
  static std::unordered_map<HWND, WinPeer*> peers;
  return peers;
}

const wchar_t* ControlClassName() {
  static const wchar_t* const name = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &WinPeer::WindowProc;
    wc.hInstance = Instance();
    wc.hIcon = ::LoadIconW(Instance(), L"MAINICON");
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    // No class brush: every window of this class paints its whole client
    // area itself, double-buffered, in WM_PAINT.
    wc.hbrBackground = nullptr;
    wc.lpszClassName = L"NorvaWindow";
    ::RegisterClassExW(&wc);
    return L"NorvaWindow";
  }();
  return name;
}

void ShowError(const std::exception& error) {
  if (Application != nullptr) Application->ShowException(error);
}

}  // namespace

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

void EnsureCommonControls() {
  static const bool done = [] {
    // comctl32 of every version has InitCommonControls; the Ex form, which
    // also registers the tab and bar classes, is taken when present.
    using platform::win32::LateBound;
    if (auto init = LateBound<decltype(::InitCommonControlsEx)>("comctl32.dll",
                                                                "InitCommonControlsEx")) {
      INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
      init(&classes);
    } else if (auto old = LateBound<decltype(::InitCommonControls)>("comctl32.dll",
                                                                   "InitCommonControls")) {
      old();
    }
    return true;
  }();
  (void)done;
}

TShiftState MouseShift(WPARAM wParam) {
  TShiftState shift = 0;
  if ((wParam & MK_SHIFT) != 0) shift |= ssShift;
  if ((wParam & MK_CONTROL) != 0) shift |= ssCtrl;
  if ((wParam & MK_LBUTTON) != 0) shift |= ssLeft;
  if ((wParam & MK_RBUTTON) != 0) shift |= ssRight;
  if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

WinPeer::WinPeer(TWinControl& control) : FControl(control) {}

WinPeer::~WinPeer() {
  // The control no longer names this peer, so the messages of the
  // destruction take the native path only.
  if (FHandle != nullptr) ::DestroyWindow(FHandle);
  if (FHandle != nullptr) Unbind();
}

WinPeer* WinPeer::FromHandle(HWND window) {
  if (window == nullptr) return nullptr;
  auto it = Peers().find(window);
  return it == Peers().end() ? nullptr : it->second;
}

LRESULT CALLBACK WinPeer::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  WinPeer* peer = FromHandle(window);
  if (peer == nullptr && msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    peer = static_cast<WinPeer*>(create->lpCreateParams);
    if (peer != nullptr) peer->Bind(window);
  }
  // Messages that arrive before WM_NCCREATE (WM_GETMINMAXINFO) have no peer yet.
  if (peer == nullptr) return ::DefWindowProcW(window, msg, wParam, lParam);
  return peer->Dispatch(msg, wParam, lParam);
}

void WinPeer::Bind(HWND window) {
  FHandle = window;
  Peers()[window] = this;
}

void WinPeer::Unbind() {
  Peers().erase(FHandle);
  FHandle = nullptr;
}

LRESULT WinPeer::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCDESTROY) {
    const LRESULT result = CallNative(msg, wParam, lParam);
    Unbind();
    return result;
  }
  // While the peer is being made (inside CreateWindowEx) or destroyed, the
  // control does not name it: those messages take the native path.
  if (FControl.Peer() != this) return CallNative(msg, wParam, lParam);

  switch (msg) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      Hints().MouseMoved(FHandle);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      Hints().Cancel();
      break;
    default:
      break;
  }

  // No exception may cross the window procedure: the system's code between
  // here and the message loop cannot unwind.
  TMessage message{msg, static_cast<win::WPARAM>(wParam), static_cast<win::LPARAM>(lParam), 0,
                   false};
  try {
    BeforeDispatch(msg, wParam, lParam);
    FControl.WndProc(message);
  } catch (const std::exception& error) {
    ShowError(error);
  } catch (...) {
    ShowError(std::runtime_error("unexpected error"));
  }
  return static_cast<LRESULT>(message.Result);
}

void WinPeer::DefaultHandler(TMessage& message) {
  if (FHandle == nullptr) return;
  if (ReflectToChild(message)) return;
  if (ToolkitDefault(message)) return;
  message.Result = CallNative(message.Msg, message.WParam, message.LParam);
}

bool WinPeer::ReflectToChild(TMessage& message) {
  HWND from = nullptr;
  switch (message.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      from = reinterpret_cast<HWND>(message.LParam);
      break;
    case WM_NOTIFY:
      from = reinterpret_cast<const NMHDR*>(message.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
      if (item->CtlType != ODT_MENU) from = item->hwndItem;
      break;
    }
    default:
      return false;
  }
  WinPeer* child = FromHandle(from);
  if (child == nullptr || child == this) return false;
  LRESULT result = 0;
  if (!child->Reflected(message.Msg, message.WParam, message.LParam, result)) return false;
  message.Result = result;
  return true;
}

bool WinPeer::Reflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void WinPeer::BeforeDispatch(UINT, WPARAM, LPARAM) {}

bool WinPeer::ToolkitDefault(TMessage& message) {
  // A system control's right click (or the menu key) asks for the control's
  // pop-up menu; without one the message goes on to the parent.
  if (message.Msg != WM_CONTEXTMENU || FControl.PopupMenu == nullptr) return false;
  POINT at{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
  if (message.LParam == -1) ::GetCursorPos(&at);
  FControl.PopupMenu->Popup(at.x, at.y);
  message.Result = 0;
  return true;
}

LRESULT WinPeer::CallNative(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (FNativeProc != nullptr) return ::CallWindowProcW(FNativeProc, FHandle, msg, wParam, lParam);
  return ::DefWindowProcW(FHandle, msg, wParam, lParam);
}

void WinPeer::CreateOwnWindow(DWORD exStyle, DWORD style, HWND parent, int x, int y, int width,
                              int height) {
  ::CreateWindowExW(exStyle, ControlClassName(), Wide(FControl.Caption()).c_str(), style, x, y,
                    width, height, parent, nullptr, Instance(), this);
}

void WinPeer::CreateSystemWindow(const wchar_t* className, DWORD exStyle, DWORD style) {
  EnsureCommonControls();
  HWND window = ::CreateWindowExW(exStyle, className, Wide(FControl.Caption()).c_str(), style,
                                  ToDevice(FControl.Left()), ToDevice(FControl.Top()),
                                  ToDevice(FControl.Width()), ToDevice(FControl.Height()),
                                  ParentWindow(), nullptr, Instance(), nullptr);
  if (window == nullptr) return;
  Bind(window);
  FNativeProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinPeer::WindowProc)));
  ApplyFont();
}

DWORD WinPeer::ChildStyle() const {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControl.Visible()) style |= WS_VISIBLE;
  if (!FControl.Enabled()) style |= WS_DISABLED;
  return style;
}

HWND WinPeer::ParentWindow() const {
  TWinControl* parent = FControl.Parent();
  return parent != nullptr ? static_cast<HWND>(parent->Handle()) : nullptr;
}

void WinPeer::ApplyFont() {
  if (FHandle == nullptr) return;
  ::SendMessageW(FHandle, WM_SETFONT,
                 reinterpret_cast<WPARAM>(Gdi().Font(DeviceFont(FControl.Font()))), TRUE);
}

void WinPeer::Update(TChange what) {
  if (FHandle == nullptr) return;
  switch (what) {
    case TChange::Bounds:
      ::SetWindowPos(FHandle, nullptr, ToDevice(FControl.Left()), ToDevice(FControl.Top()),
                     ToDevice(FControl.Width()), ToDevice(FControl.Height()),
                     SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case TChange::Visible:
      ::ShowWindow(FHandle, FControl.Visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case TChange::Enabled:
      ::EnableWindow(FHandle, FControl.Enabled() ? TRUE : FALSE);
      break;
    case TChange::Caption:
      ::SetWindowTextW(FHandle, Wide(FControl.Caption()).c_str());
      break;
    case TChange::Font:
      ApplyFont();
      ::InvalidateRect(FHandle, nullptr, TRUE);
      break;
    case TChange::Color:
      ::InvalidateRect(FHandle, nullptr, TRUE);
      break;
    case TChange::Hint:
    case TChange::State:
    case TChange::Items:
    case TChange::Picture:
    case TChange::Dpi:
      break;
  }
}

namespace {

// An area in device units, scaled, a pixel wider on each side: rounding
// must not leave a sliver.
RECT DeviceArea(const TRect& area, int dpi) {
  const int grow = dpi == kDesignPixelsPerInch ? 0 : 1;
  return {ScaleBy(area.Left, dpi) - grow, ScaleBy(area.Top, dpi) - grow,
          ScaleBy(area.Right, dpi) + grow, ScaleBy(area.Bottom, dpi) + grow};
}

}  // namespace

void WinPeer::Invalidate(const TRect* area) {
  if (FHandle == nullptr) return;
  if (area == nullptr) {
    ::InvalidateRect(FHandle, nullptr, TRUE);
    return;
  }
  const RECT r = DeviceArea(*area, Dpi());
  ::InvalidateRect(FHandle, &r, TRUE);
}

void WinPeer::InvalidateAreas(const std::vector<TRect>& areas) {
  if (FHandle == nullptr || areas.empty()) return;
  if (areas.size() == 1) {
    Invalidate(&areas.front());
    return;
  }
  // One region of every area: the system is asked once, and the next paint
  // still repaints only those areas (a region, not their bounding box).
  // Regions are the process's own objects; only InvalidateRgn reaches the
  // window manager (under Wine, one request to the server).
  const RECT first = DeviceArea(areas.front(), Dpi());
  ScopedRegion region(::CreateRectRgnIndirect(&first));
  if (!region) {
    for (const TRect& area : areas) Invalidate(&area);
    return;
  }
  for (size_t i = 1; i < areas.size(); ++i) {
    const RECT r = DeviceArea(areas[i], Dpi());
    ScopedRegion part(::CreateRectRgnIndirect(&r));
    if (part) ::CombineRgn(region.Get(), region.Get(), part.Get(), RGN_OR);
  }
  ::InvalidateRgn(FHandle, region.Get(), TRUE);
}

}  // namespace norva::tk::win32
