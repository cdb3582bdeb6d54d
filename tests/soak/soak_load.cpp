// soak_load.exe: makes the memory load rise and fall for scripts/soak.sh.
//
//   soak_load MB [PERIOD_MS]
//
// Commits MB megabytes, writes every page (so they count as used physical
// memory), holds them PERIOD_MS milliseconds (default 1500), frees them,
// waits as long again, and repeats until killed. Each fall of the load lets
// Norva's falling-load rule start a cleaning; on a machine whose free memory
// is below the free-memory threshold that rule fires on every tick anyway.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: soak_load MB [PERIOD_MS]\n");
    return 2;
  }
  const SIZE_T bytes = SIZE_T(std::strtoul(argv[1], nullptr, 10)) << 20;
  const DWORD period = argc > 2 ? DWORD(std::strtoul(argv[2], nullptr, 10)) : 1500;
  for (;;) {
    void* block = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (block != nullptr) {
      auto* bytesOf = static_cast<volatile char*>(block);
      for (SIZE_T i = 0; i < bytes; i += 4096) bytesOf[i] = char(i >> 12);
    }
    Sleep(period);
    if (block != nullptr) VirtualFree(block, 0, MEM_RELEASE);
    Sleep(period);
  }
}
