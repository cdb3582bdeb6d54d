// hotkey_holder.exe: holds a system hotkey for the end-to-end cases, as
// another program would, so that norva.exe finds its combination taken.
//
//   hotkey_holder MODIFIERS KEY SECONDS   registers the hotkey (MOD_ bits, a
//                                         virtual-key code, both decimal),
//                                         prints "held" or "refused", keeps
//                                         it for SECONDS, then exits
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: hotkey_holder MODIFIERS KEY SECONDS\n");
    return 2;
  }
  const UINT modifiers = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
  const UINT key = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));
  const DWORD seconds = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
  if (!::RegisterHotKey(nullptr, 1, modifiers, key)) {
    std::printf("refused %lu\n", ::GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  // The thread's queue stays serviced while it waits (a press of the key
  // arrives as WM_HOTKEY).
  const DWORD start = ::GetTickCount(), span = seconds * 1000;
  for (DWORD gone = 0; gone < span; gone = ::GetTickCount() - start) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, span - gone, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  ::UnregisterHotKey(nullptr, 1);
  return 0;
}
