#include "platform/Toolhelp.h"

#include <algorithm>
#include <cstring>

namespace norva::platform {

namespace {

// A system without toolhelp or process calls: every call fails, so every
// list is empty and every action reports its failure.
class NoToolhelpCalls final : public IToolhelp {
 public:
  HANDLE CreateToolhelp32Snapshot(DWORD, DWORD) override { return INVALID_HANDLE_VALUE; }
  BOOL Process32First(HANDLE, PROCESSENTRY32*) override { return 0; }
  BOOL Process32Next(HANDLE, PROCESSENTRY32*) override { return 0; }
  BOOL Thread32First(HANDLE, THREADENTRY32*) override { return 0; }
  BOOL Thread32Next(HANDLE, THREADENTRY32*) override { return 0; }
  BOOL Module32First(HANDLE, MODULEENTRY32*) override { return 0; }
  BOOL Module32Next(HANDLE, MODULEENTRY32*) override { return 0; }
  BOOL Heap32ListFirst(HANDLE, HEAPLIST32*) override { return 0; }
  BOOL Heap32ListNext(HANDLE, HEAPLIST32*) override { return 0; }
  BOOL Heap32First(HEAPENTRY32*, DWORD, ULONG_PTR) override { return 0; }
  BOOL Heap32Next(HEAPENTRY32*) override { return 0; }
};

class NoProcesses final : public IProcess {
 public:
  DWORD GetCurrentProcessId() override { return 0; }
  HANDLE OpenProcess(DWORD, BOOL, DWORD) override { return nullptr; }
  BOOL CloseHandle(HANDLE) override { return 0; }
  DWORD GetPriorityClass(HANDLE) override { return 0; }
  BOOL SetPriorityClass(HANDLE, DWORD) override { return 0; }
  BOOL GetProcessWorkingSetSize(HANDLE, SIZE_T*, SIZE_T*) override { return 0; }
  BOOL SetProcessWorkingSetSize(HANDLE, SIZE_T, SIZE_T) override { return 0; }
  BOOL TerminateProcess(HANDLE, UINT) override { return 0; }
  BOOL GetProcessTimes(HANDLE, FILETIME*, FILETIME*, FILETIME*, FILETIME*) override { return 0; }
};

}  // namespace

void CopyRecordText(char* field, size_t size, const std::string& utf8) {
  if (size == 0) return;
  size_t length = std::min(utf8.size(), size - 1);
  // Back up over continuation bytes so no character is cut in half.
  if (length < utf8.size())
    while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80) --length;
  std::memcpy(field, utf8.data(), length);
  field[length] = '\0';
}

IToolhelp& NoToolhelp() {
  static NoToolhelpCalls none;
  return none;
}

IProcess& NoProcessCalls() {
  static NoProcesses none;
  return none;
}

}  // namespace norva::platform
