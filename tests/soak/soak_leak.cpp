// soak_leak.exe: a program with a known handle leak, for scripts/soak.sh
// --leak, which soaks it in Norva's place to show that the soak's verdict
// fails on a leak.
//
//   soak_leak [PERIOD_MS]
//
// Shows a small window titled "soak_leak" (so the probe's WM_NULL has one to
// answer) and every PERIOD_MS milliseconds (default 5000) creates an event
// it never closes: one handle more every period, nothing else growing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT_PTR kLeakTimer = 1;

LRESULT CALLBACK LeakProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kLeakTimer && CreateEventW(nullptr, TRUE, FALSE, nullptr) == nullptr)
        std::fprintf(stderr, "CreateEvent failed: %lu\n", GetLastError());
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const UINT period = argc > 1 ? UINT(std::strtoul(argv[1], nullptr, 10)) : 5000;
  if (period == 0) {
    std::fprintf(stderr, "usage: soak_leak [PERIOD_MS]\n");
    return 2;
  }
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW type{};
  type.lpfnWndProc = LeakProc;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  type.lpszClassName = L"SoakLeak";
  if (RegisterClassW(&type) == 0) {
    std::fprintf(stderr, "RegisterClass failed: %lu\n", GetLastError());
    return 1;
  }
  const HWND window = CreateWindowW(L"SoakLeak", L"soak_leak", WS_OVERLAPPEDWINDOW, 40, 40, 240,
                                    120, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    std::fprintf(stderr, "CreateWindow failed: %lu\n", GetLastError());
    return 1;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  if (SetTimer(window, kLeakTimer, period, nullptr) == 0) {
    std::fprintf(stderr, "SetTimer failed: %lu\n", GetLastError());
    return 1;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
