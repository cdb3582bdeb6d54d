// The memory status probe: the OS-family test, the run-time lookup of
// GlobalMemoryStatusEx, and the conversion of a sample into the figures
// every display and rule reads (megabytes, used amounts).
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace norva {

// True exactly when GetVersionExA reports the NT platform.
bool IsNtFamily();

// Looks GlobalMemoryStatusEx up by name in KERNEL32 for the lifetime of the
// object, so a system that lacks it still runs (and reads zero figures).
class MemoryStatusEx {
 public:
  MemoryStatusEx();
  virtual ~MemoryStatusEx();
  MemoryStatusEx(const MemoryStatusEx&) = delete;
  MemoryStatusEx& operator=(const MemoryStatusEx&) = delete;
  // False when the function is missing or fails; the record is then untouched.
  bool Get(win::MEMORYSTATUSEX& status);

 private:
  win::HMODULE FKernel = nullptr;
  win::GlobalMemoryStatusExProc FProc = nullptr;
};

// One sample's figures in bytes, whichever record it came from. Used amounts
// are formed in the record's own width (64-bit on NT, 32-bit otherwise).
struct MemoryFigures {
  int32_t load = 0;
  uint64_t totalPhys = 0, availPhys = 0, usedPhys = 0;
  uint64_t totalPage = 0, availPage = 0, usedPage = 0;
  uint64_t totalVirtual = 0, availVirtual = 0, usedVirtual = 0;
};

MemoryFigures FiguresOf(const win::MEMORYSTATUSEX& status);
MemoryFigures FiguresOf(const win::MEMORYSTATUS& status);

// Bytes as megabytes (× 2^-20), exactly, over the full 64-bit range.
inline double BytesToMB(uint64_t bytes) { return static_cast<double>(bytes) * 0.00000095367431640625; }

}  // namespace norva
