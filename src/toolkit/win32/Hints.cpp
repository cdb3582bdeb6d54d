#include "toolkit/win32/Hints.h"

#include "platform/win32/WinText.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/Gdi.h"
#include "toolkit/win32/WinPeer.h"

namespace norva::tk::win32 {

namespace {

constexpr DWORD kShowDelay = 500;
constexpr DWORD kShowTime = 5000;
constexpr UINT_PTR kToolId = 1;

TOOLINFOW ToolInfo(const wchar_t* text) {
  TOOLINFOW info{};
  // The version-4.70 record, which every comctl32 since accepts.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  info.hwnd = ApplicationWindow();
  info.uId = kToolId;
  info.lpszText = const_cast<wchar_t*>(text);
  return info;
}

// A window takes no input while it or a window it lies in is disabled (a
// modal form is open): no hints there either.
bool TakesInput(HWND window) {
  for (; window != nullptr; window = ::GetParent(window)) {
    if (!::IsWindowEnabled(window)) return false;
    if ((::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0) break;
  }
  return true;
}

}  // namespace

HintManager& Hints() {
  static HintManager hints;
  return hints;
}

TControl* HintManager::ControlUnderPointer(POINT screen) const {
  if (FHoverWindow == nullptr || !::IsWindow(FHoverWindow) || !::IsWindowVisible(FHoverWindow) ||
      !TakesInput(FHoverWindow))
    return nullptr;
  RECT bounds{};
  ::GetWindowRect(FHoverWindow, &bounds);
  if (!::PtInRect(&bounds, screen)) return nullptr;
  WinPeer* peer = WinPeer::FromHandle(FHoverWindow);
  if (peer == nullptr) return nullptr;
  TWinControl& window = peer->Control();
  TControl* found = &window;
  POINT client = screen;
  ::ScreenToClient(FHoverWindow, &client);
  if (TGraphicControl* inner =
          window.ControlAt(peer->FromDevice(client.x), peer->FromDevice(client.y)))
    found = inner;
  if (!found->ShowHint() || found->Hint().empty()) return nullptr;
  return found;
}

void HintManager::MouseMoved(HWND window) {
  FHoverWindow = window;
  if (!FTimerRunning) {
    FTimerRunning = ::SetTimer(ApplicationWindow(), kTimerId, 100, nullptr) != 0;
  }
  Tick();
}

void HintManager::Cancel() {
  Hide();
  FDone = true;
}

void HintManager::Tick() {
  POINT pointer{};
  ::GetCursorPos(&pointer);
  const TControl* found = ControlUnderPointer(pointer);
  if (found != FCurrent) {
    Hide();
    FCurrent = found;
    FSince = ::GetTickCount();
    FDone = false;
    if (found == nullptr) Stop();
    return;
  }
  if (found == nullptr) {
    Stop();
    return;
  }
  const DWORD elapsed = ::GetTickCount() - FSince;
  if (!FShown && !FDone && elapsed >= kShowDelay) {
    Show(*found, pointer);
  } else if (FShown && elapsed >= kShowDelay + kShowTime) {
    Hide();
    FDone = true;
  }
}

void HintManager::Show(const TControl& control, POINT screen) {
  if (FTip == nullptr) {
    EnsureCommonControls();
    FTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, ApplicationWindow(), nullptr, Instance(),
                             nullptr);
    if (FTip == nullptr) return;
    TOOLINFOW info = ToolInfo(L"");
    ::SendMessageW(FTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    // Long hints wrap instead of running off the screen.
    ::SendMessageW(FTip, TTM_SETMAXTIPWIDTH, 0, 480);
  }
  // The toolkit's default font has the Japanese glyphs on every locale; its
  // size is that of the hinted control's monitor.
  const HFONT font = Gdi().Font(DeviceFont(TFont{}, control.PixelsPerInch()));
  if (font != FTipFont) {
    FTipFont = font;
    ::SendMessageW(FTip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  const std::wstring text = platform::win32::Wide(control.Hint());
  TOOLINFOW info = ToolInfo(text.c_str());
  ::SendMessageW(FTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  // Below the pointer, like the system's own hints.
  ::SendMessageW(FTip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y + 20));
  ::SendMessageW(FTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  FShown = true;
}

void HintManager::Hide() {
  if (FShown && FTip != nullptr) {
    TOOLINFOW info = ToolInfo(L"");
    ::SendMessageW(FTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
  }
  FShown = false;
}

void HintManager::Stop() {
  FHoverWindow = nullptr;
  if (FTimerRunning) ::KillTimer(ApplicationWindow(), kTimerId);
  FTimerRunning = false;
}

}  // namespace norva::tk::win32
