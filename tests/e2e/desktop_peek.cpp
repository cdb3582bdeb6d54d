// desktop_peek.exe: what the end-to-end cases of the extras need from the
// desktop besides Norva (tests/e2e/cases_extra.sh).
//
//   desktop_peek fullscreen SECONDS   a borderless window over the whole screen, in front,
//                                     for SECONDS; prints "shown" once it is the foreground
//   desktop_peek clipboard            prints the clipboard's text as UTF-8
//   desktop_peek closemenu            posts WM_CLOSE to the open menu's window, as taskkill
//                                     does when that window comes first; prints "closed"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK Paint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    HBRUSH brush = CreateSolidBrush(RGB(0x20, 0x10, 0x60));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int FullScreen(DWORD seconds) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Paint;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"DesktopPeekFullScreen";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  if (!RegisterClassW(&wc)) return 1;
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"full screen", WS_POPUP, 0, 0, w,
                                h, nullptr, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  UpdateWindow(window);
  const DWORD end = GetTickCount() + seconds * 1000;
  bool told = false;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!told && GetForegroundWindow() == window) {
      std::printf("shown %dx%d\n", w, h);
      std::fflush(stdout);
      told = true;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
  DestroyWindow(window);
  return told ? 0 : 3;
}

int Clipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const wchar_t* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (text != nullptr) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
    std::fwrite(utf8.c_str(), 1, std::strlen(utf8.c_str()), stdout);
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text != nullptr ? 0 : 2;
}

// The popup window of a menu being tracked ("#32768", shown) in this
// desktop gets WM_CLOSE, as taskkill posts it to every top-level window of
// the process in z-order, where an open menu often comes first.
int CloseMenu() {
  HWND menu = nullptr;
  while ((menu = FindWindowExW(nullptr, menu, MAKEINTATOM(32768), nullptr)) != nullptr)
    if (IsWindowVisible(menu)) break;
  if (menu == nullptr) return 1;
  if (!PostMessageW(menu, WM_CLOSE, 0, 0)) return 2;
  std::printf("closed\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "fullscreen") == 0)
    return FullScreen(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
  if (argc >= 2 && std::strcmp(argv[1], "clipboard") == 0) return Clipboard();
  if (argc >= 2 && std::strcmp(argv[1], "closemenu") == 0) return CloseMenu();
  std::fprintf(stderr, "usage: desktop_peek fullscreen SECONDS | clipboard | closemenu\n");
  return 2;
}
