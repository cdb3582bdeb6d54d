// dpi_peek.exe: moves a running norva.exe's windows to another DPI as the
// system does when a window crosses to a monitor of another scale, and
// prints what a window's scale decides, for the end-to-end cases
// (cases_dpi.sh). Wine keeps one DPI for every monitor and never sends
// WM_DPICHANGED itself, so the message is sent by hand; its suggested
// rectangle is placed in norva's address space (VirtualAllocEx), where the
// message's lParam points. Build it with the same bitness as the norva.exe.
//
//   dpi_peek send TITLE OLD NEW   WM_DPICHANGED to NEW for the window titled TITLE, now at OLD
//                                 DPI: suggested place unchanged, size scaled by NEW / OLD
//   dpi_peek click TITLE X Y      a left click at client point X,Y of the window (posted: a
//                                 modal dialog it opens does not hold the peek)
//   dpi_peek shape TITLE          the window's size, its client size, and each child window
//                                 (class, place in the client area, size, font height, list
//                                 columns), one a line
//   dpi_peek fit TITLE            measures the text of each shown button, check box, group
//                                 box and static control in the system's message font at
//                                 12 pixels scaled to the DPI (the English interface's) against
//                                 its box; prints each one too wide and exits with their count
#include <windows.h>
// After <windows.h>, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "peek_text.h"

namespace {

// Declared by the SDK only for Windows 7 and later.
constexpr UINT kDpiChanged = 0x02E0;

bool Send(HWND window, int oldDpi, int newDpi) {
  RECT now{};
  if (!GetWindowRect(window, &now)) return false;
  const RECT suggested{now.left, now.top, now.left + MulDiv(now.right - now.left, newDpi, oldDpi),
                       now.top + MulDiv(now.bottom - now.top, newDpi, oldDpi)};
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  bool sent = false;
  if (remote != nullptr && WriteProcessMemory(process, remote, &suggested, sizeof(RECT), nullptr)) {
    DWORD_PTR result = 0;
    sent = SendMessageTimeoutW(window, kDpiChanged, MAKEWPARAM(newDpi, newDpi),
                               reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 30000, &result) != 0;
  }
  if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  std::printf("suggested %ld,%ld %ldx%ld\n", suggested.left, suggested.top,
              suggested.right - suggested.left, suggested.bottom - suggested.top);
  return sent;
}

struct ShapeWalk {
  HWND top;
};

BOOL CALLBACK PrintChild(HWND child, LPARAM p) {
  const auto* walk = reinterpret_cast<const ShapeWalk*>(p);
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, walk->top, reinterpret_cast<POINT*>(&r), 2);
  int fontHeight = 0;
  if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))) {
    LOGFONTW log{};
    if (GetObjectW(font, sizeof(log), &log) != 0) fontHeight = log.lfHeight;
  }
  std::printf("%s %ld,%ld %ldx%ld font %d%s", Utf8(name).c_str(), r.left, r.top, r.right - r.left,
              r.bottom - r.top, fontHeight, IsWindowVisible(child) ? "" : " hidden");
  if (lstrcmpiW(name, WC_LISTVIEWW) == 0) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(child, LVM_GETHEADER, 0, 0));
    const int columns = header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::printf(" columns");
    for (int i = 0; i < columns; ++i)
      std::printf(" %d", int(SendMessageW(child, LVM_GETCOLUMNWIDTH, WPARAM(i), 0)));
  }
  std::printf("\n");
  return TRUE;
}

void Shape(HWND window) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  std::printf("window %ldx%ld\nclient %ldx%ld\n", outer.right - outer.left,
              outer.bottom - outer.top, client.right, client.bottom);
  ShapeWalk walk{window};
  EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(&walk));
}

struct FitWalk {
  HDC dc;
  int dpi;
  int measured = 0;
  int faults = 0;
};

// What a control's frame takes from its width besides its text: the box of
// a check box or radio button, the edges of a push button, a group box's
// frame on both sides; a static control has none.
int FrameOf(HWND child, const wchar_t* name, int dpi) {
  if (lstrcmpiW(name, L"Static") == 0) return 0;
  switch (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
    case BS_OWNERDRAW:  // a push button drawn in its own colour
      return MulDiv(8, dpi, 96);
    default:
      return MulDiv(16, dpi, 96);
  }
}

BOOL CALLBACK FitChild(HWND child, LPARAM p) {
  auto* walk = reinterpret_cast<FitWalk*>(p);
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  if ((lstrcmpiW(name, L"Button") != 0 && lstrcmpiW(name, L"Static") != 0) ||
      !IsWindowVisible(child))
    return TRUE;
  wchar_t text[512] = {};
  if (GetWindowTextW(child, text, 512) <= 0) return TRUE;
  RECT box{};
  GetClientRect(child, &box);
  RECT extent{0, 0, 0, 0};
  const UINT flags = DT_CALCRECT | DT_SINGLELINE;
  DrawTextW(walk->dc, text, -1, &extent, flags);
  const int room = box.right - FrameOf(child, name, walk->dpi);
  ++walk->measured;
  if (extent.right > room) {
    ++walk->faults;
    std::printf("too wide: %s \"%s\" %ld > %d\n", Utf8(name).c_str(), Utf8(text).c_str(),
                extent.right, room);
  }
  return TRUE;
}

int Fit(HWND window) {
  HDC dc = GetDC(window);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  HFONT font = CreateFontW(-MulDiv(12, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           metrics.lfMessageFont.lfFaceName);
  HGDIOBJ old = SelectObject(dc, font);
  FitWalk walk{dc, dpi};
  EnumChildWindows(window, FitChild, reinterpret_cast<LPARAM>(&walk));
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(window, dc);
  std::printf("measured %d in %s at %d DPI, %d too wide\n", walk.measured,
              Utf8(metrics.lfMessageFont.lfFaceName).c_str(), dpi, walk.faults);
  return walk.faults;
}

}  // namespace

// Reads every window at its real size: a program unaware of DPI gets sizes
// scaled to 96 DPI from a newer Wine (as from Windows), not what Norva drew.
void BecomeDpiAware() {
  const HMODULE user = GetModuleHandleW(L"user32.dll");
  using ContextFn = BOOL(WINAPI*)(HANDLE);
  using AwareFn = BOOL(WINAPI*)();
  if (const auto context = reinterpret_cast<ContextFn>(
          reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext"))))
    if (context(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;  // per monitor v2
  if (const auto aware = reinterpret_cast<AwareFn>(
          reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware"))))
    aware();
}

int main() {
  BecomeDpiAware();
  int argc = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (args == nullptr || argc < 3) {
    std::fprintf(stderr, "usage: dpi_peek send TITLE OLD NEW | click TITLE X Y | shape TITLE | fit TITLE\n");
    return 2;
  }
  const std::wstring command = args[1];
  HWND window = FindWindowW(nullptr, args[2]);
  if (window == nullptr) {
    std::fprintf(stderr, "no window titled %s\n", Utf8(args[2]).c_str());
    return 1;
  }
  if (command == L"send" && argc >= 5) {
    const int oldDpi = _wtoi(args[3]), newDpi = _wtoi(args[4]);
    if (oldDpi <= 0 || newDpi <= 0) return 2;
    if (!Send(window, oldDpi, newDpi)) {
      std::fprintf(stderr, "WM_DPICHANGED not delivered\n");
      return 1;
    }
    return 0;
  }
  if (command == L"click" && argc >= 5) {
    const LPARAM at = MAKELPARAM(_wtoi(args[3]), _wtoi(args[4]));
    const bool posted = PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
                        PostMessageW(window, WM_LBUTTONUP, 0, at);
    return posted ? 0 : 1;
  }
  if (command == L"shape") {
    Shape(window);
    return 0;
  }
  if (command == L"fit") return Fit(window) == 0 ? 0 : 3;
  return 2;
}
