// firsttouch.exe: how long it takes to write a block of fresh memory once,
// the yardstick for a cleaning's wall time under Wine. Reserves the block
// the way the cleaning engine does (GlobalAlloc, movable, then GlobalLock),
// zeroes it with one memset, which makes the system hand over every page,
// and prints the times. Asserts nothing.
//
//   firsttouch.exe [MiB]      (default 1024)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  const long long mib = argc > 1 ? std::atoll(argv[1]) : 1024;
  if (mib <= 0) {
    std::fprintf(stderr, "usage: firsttouch.exe [MiB]\n");
    return 2;
  }
  const SIZE_T bytes = static_cast<SIZE_T>(mib) * 1024 * 1024;
  LARGE_INTEGER frequency, t0, t1, t2, t3;
  QueryPerformanceFrequency(&frequency);

  QueryPerformanceCounter(&t0);
  const HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, bytes);
  void* const data = handle != nullptr ? GlobalLock(handle) : nullptr;
  if (data == nullptr) {
    std::fprintf(stderr, "firsttouch: could not reserve %lld MiB (error %lu)\n", mib, GetLastError());
    if (handle != nullptr) GlobalFree(handle);
    return 1;
  }
  QueryPerformanceCounter(&t1);
  std::memset(data, 0, bytes);
  QueryPerformanceCounter(&t2);
  GlobalUnlock(handle);
  GlobalFree(handle);
  QueryPerformanceCounter(&t3);

  const double fill = Milliseconds(t1, t2, frequency);
  std::printf("firsttouch: %llu bytes (%lld MiB)\n", static_cast<unsigned long long>(bytes), mib);
  std::printf("reserve %.1f ms, memset %.1f ms (%.2f GiB/s), free %.1f ms, total %.1f ms\n",
              Milliseconds(t0, t1, frequency), fill,
              fill > 0 ? static_cast<double>(mib) / 1024.0 / (fill / 1000.0) : 0.0,
              Milliseconds(t2, t3, frequency), Milliseconds(t0, t3, frequency));
  return 0;
}
