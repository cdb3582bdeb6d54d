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

MemoryFigures FiguresOf(const win::MEMORYSTATUSEX& s) {
  MemoryFigures f;
  f.load = static_cast<int32_t>(s.dwMemoryLoad);
  f.totalPhys = s.ullTotalPhys;
  f.availPhys = s.ullAvailPhys;
  f.usedPhys = s.ullTotalPhys - s.ullAvailPhys;
  f.totalPage = s.ullTotalPageFile;
  f.availPage = s.ullAvailPageFile;
  f.usedPage = s.ullTotalPageFile - s.ullAvailPageFile;
  f.totalVirtual = s.ullTotalVirtual;
  f.availVirtual = s.ullAvailVirtual;
  f.usedVirtual = s.ullTotalVirtual - s.ullAvailVirtual;
  return f;
}

MemoryFigures FiguresOf(const win::MEMORYSTATUS& s) {
  MemoryFigures f;
  f.load = static_cast<int32_t>(s.dwMemoryLoad);
  f.totalPhys = s.dwTotalPhys;
  f.availPhys = s.dwAvailPhys;
  f.usedPhys = static_cast<win::DWORD>(s.dwTotalPhys - s.dwAvailPhys);
  f.totalPage = s.dwTotalPageFile;
  f.availPage = s.dwAvailPageFile;
  f.usedPage = static_cast<win::DWORD>(s.dwTotalPageFile - s.dwAvailPageFile);
  f.totalVirtual = s.dwTotalVirtual;
  f.availVirtual = s.dwAvailVirtual;
  f.usedVirtual = static_cast<win::DWORD>(s.dwTotalVirtual - s.dwAvailVirtual);
  return f;
}

}  // namespace norva
