// Processor load: on the NT family computed from two successive readings of
// the system's idle time and clock (NtQuerySystemInformation, looked up by
// name); on the older family kept by the system in its dynamic registry data.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace norva {

// Opens rootKey\keyPath, reads the 32-bit value named valueName and closes the
// key; a failed open or read yields 0.
win::DWORD ReadPerfCounter(win::HKEY rootKey, const char* keyPath, const char* valueName);

// The idle time and clock of the last successful NT reading (100-ns units);
// an idle time of 0 means there was none yet.
struct NtCpuReadings {
  int64_t idleTime = 0;
  int64_t systemTime = 0;
};

// The processor load in percent since the readings in previous, which it
// then replaces: 100 - idle percent per processor, rounded up unless the
// fraction is 0.01 or less. The first call, a missing function or a failed
// query give 100 (a failed query keeps the previous readings). Not clamped:
// a clock change can give any value, which the caller brings into 0..100.
int32_t NtCpuUsage(NtCpuReadings& previous);
// The same with the readings the process keeps from one call to the next.
int32_t NtCpuUsage();
// Forgets the process's readings: the next call is a first call again.
void ResetNtCpuUsage();

}  // namespace norva
