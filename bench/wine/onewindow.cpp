// The floor of a start-up under Wine: a Win32 program that only opens one
// window of Norva's size and paints it once (a band of colours, so the
// "painted" test of scripts/measure.sh, more than 16 colours, sees it), then
// runs its message loop until it is closed. Nothing else: no settings, no
// tray icon, no timers.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT client;
      GetClientRect(window, &client);
      for (int i = 0; i < 40; ++i) {
        RECT band{client.left + i * 5, client.top, client.left + i * 5 + 5, client.bottom};
        HBRUSH brush = CreateSolidBrush(RGB(i * 6, 255 - i * 6, 128));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
      }
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = L"OneWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, L"OneWindow", L"One window", WS_POPUP, 300, 200, 200, 80,
                                nullptr, nullptr, instance, nullptr);
  ShowWindow(window, show == SW_HIDE ? SW_SHOWNORMAL : show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
