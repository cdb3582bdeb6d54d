#include "probes/MemoryStatus.h"

namespace norva {

using platform::Os;

bool IsNtFamily() {
  win::OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  Os().kernel.GetVersionExA(&info);
  return info.dwPlatformId == win::VER_PLATFORM_WIN32_NT;
}

MemoryStatusEx::MemoryStatusEx() {
  FKernel = Os().kernel.LoadLibraryA("KERNEL32");
  // LoadLibrary of 16-bit heritage: values below 32 are error codes.
  if (reinterpret_cast<uintptr_t>(FKernel) >= 32)
    FProc = reinterpret_cast<win::GlobalMemoryStatusExProc>(
        Os().kernel.GetProcAddress(FKernel, "GlobalMemoryStatusEx"));
}

MemoryStatusEx::~MemoryStatusEx() {
  if (reinterpret_cast<uintptr_t>(FKernel) >= 32) Os().kernel.FreeLibrary(FKernel);
}

bool MemoryStatusEx::Get(win::MEMORYSTATUSEX& status) {
  if (FProc == nullptr) return false;
  return FProc(&status) != 0;
}

namespace {

// Total minus free in the record's own width. A record whose free amount
// exceeds its total (Wine caps a 32-bit process's total physical memory at
// 4 GB but not the free amount) is used 0, not a wrapped-around figure.
template <class T>
T Used(T total, T avail) {
  return total >= avail ? static_cast<T>(total - avail) : T{0};
}

}  // namespace

MemoryFigures FiguresOf(const win::MEMORYSTATUSEX& s) {
  MemoryFigures f;
  f.load = static_cast<int32_t>(s.dwMemoryLoad);
  f.totalPhys = s.ullTotalPhys;
  f.availPhys = s.ullAvailPhys;
  f.usedPhys = Used(s.ullTotalPhys, s.ullAvailPhys);
  f.totalPage = s.ullTotalPageFile;
  f.availPage = s.ullAvailPageFile;
  f.usedPage = Used(s.ullTotalPageFile, s.ullAvailPageFile);
  f.totalVirtual = s.ullTotalVirtual;
  f.availVirtual = s.ullAvailVirtual;
  f.usedVirtual = Used(s.ullTotalVirtual, s.ullAvailVirtual);
  return f;
}

MemoryFigures FiguresOf(const win::MEMORYSTATUS& s) {
  MemoryFigures f;
  f.load = static_cast<int32_t>(s.dwMemoryLoad);
  f.totalPhys = s.dwTotalPhys;
  f.availPhys = s.dwAvailPhys;
  f.usedPhys = Used(s.dwTotalPhys, s.dwAvailPhys);
  f.totalPage = s.dwTotalPageFile;
  f.availPage = s.dwAvailPageFile;
  f.usedPage = Used(s.dwTotalPageFile, s.dwAvailPageFile);
  f.totalVirtual = s.dwTotalVirtual;
  f.availVirtual = s.dwAvailVirtual;
  f.usedVirtual = Used(s.dwTotalVirtual, s.dwAvailVirtual);
  return f;
}

}  // namespace norva
