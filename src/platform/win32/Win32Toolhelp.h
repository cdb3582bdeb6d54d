// The Win32 toolhelp and process calls behind the platform's toolhelp and
// process areas.
#pragma once

#include "platform/Toolhelp.h"

namespace norva::platform::win32 {

class Win32Toolhelp final : public IToolhelp, public IProcess {
 public:
  HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId) override;
  BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry) override;
  BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) override;
  BOOL Thread32First(HANDLE snapshot, THREADENTRY32* entry) override;
  BOOL Thread32Next(HANDLE snapshot, THREADENTRY32* entry) override;
  BOOL Module32First(HANDLE snapshot, MODULEENTRY32* entry) override;
  BOOL Module32Next(HANDLE snapshot, MODULEENTRY32* entry) override;
  BOOL Heap32ListFirst(HANDLE snapshot, HEAPLIST32* entry) override;
  BOOL Heap32ListNext(HANDLE snapshot, HEAPLIST32* entry) override;
  BOOL Heap32First(HEAPENTRY32* entry, DWORD processId, ULONG_PTR heapId) override;
  BOOL Heap32Next(HEAPENTRY32* entry) override;

  DWORD GetCurrentProcessId() override;
  HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) override;
  BOOL CloseHandle(HANDLE handle) override;
  DWORD GetPriorityClass(HANDLE process) override;
  BOOL SetPriorityClass(HANDLE process, DWORD priorityClass) override;
  BOOL GetProcessWorkingSetSize(HANDLE process, SIZE_T* minimum, SIZE_T* maximum) override;
  BOOL SetProcessWorkingSetSize(HANDLE process, SIZE_T minimum, SIZE_T maximum) override;
  BOOL TerminateProcess(HANDLE process, UINT exitCode) override;
  BOOL GetProcessTimes(HANDLE process, FILETIME* creation, FILETIME* exit, FILETIME* kernel,
                       FILETIME* user) override;
};

}  // namespace norva::platform::win32
