// The processes of the system as the inspector reads and changes them: the
// toolhelp enumeration (processes, threads, modules, heaps, heap blocks) and
// the process calls (open, priority class, working-set limits, terminate).
// The toolhelp records have the Win32 fields of the process's own bitness;
// the records without text have the Win32 layouts too. Text fields hold
// UTF-8, zero-terminated, with room for every name the system can give:
// MAX_PATH characters in any encoding (three UTF-8 bytes at most for each
// UTF-16 unit), so a long path of kanji keeps its file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace norva::win {

using ULONG_PTR = uintptr_t;
using SIZE_T = size_t;
using BYTE = uint8_t;

constexpr DWORD MAX_PATH = 260;
constexpr DWORD MAX_MODULE_NAME32 = 255;
// UTF-8 bytes that hold any text of the given UTF-16 units.
constexpr size_t Utf8Room(size_t units) { return units * 3; }

constexpr DWORD TH32CS_SNAPHEAPLIST = 0x1;
constexpr DWORD TH32CS_SNAPPROCESS = 0x2;
constexpr DWORD TH32CS_SNAPTHREAD = 0x4;
constexpr DWORD TH32CS_SNAPMODULE = 0x8;

constexpr DWORD HF32_DEFAULT = 1;

constexpr DWORD PROCESS_TERMINATE = 0x1;
constexpr DWORD PROCESS_SET_QUOTA = 0x100;
constexpr DWORD PROCESS_SET_INFORMATION = 0x200;
constexpr DWORD PROCESS_QUERY_INFORMATION = 0x400;

constexpr DWORD NORMAL_PRIORITY_CLASS = 0x20;
constexpr DWORD IDLE_PRIORITY_CLASS = 0x40;
constexpr DWORD HIGH_PRIORITY_CLASS = 0x80;
constexpr DWORD REALTIME_PRIORITY_CLASS = 0x100;

constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_NO_MORE_FILES = 18;

constexpr bool kPointers64 = sizeof(void*) == 8;

// 100-nanosecond intervals since 1601, in two halves.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct PROCESSENTRY32 {
  DWORD dwSize;
  DWORD cntUsage;
  DWORD th32ProcessID;
  ULONG_PTR th32DefaultHeapID;
  DWORD th32ModuleID;
  DWORD cntThreads;
  DWORD th32ParentProcessID;
  LONG pcPriClassBase;
  DWORD dwFlags;
  char szExeFile[Utf8Room(MAX_PATH)];
};

struct THREADENTRY32 {
  DWORD dwSize;
  DWORD cntUsage;
  DWORD th32ThreadID;
  DWORD th32OwnerProcessID;
  LONG tpBasePri;
  LONG tpDeltaPri;
  DWORD dwFlags;
};
static_assert(sizeof(THREADENTRY32) == 28);

struct MODULEENTRY32 {
  DWORD dwSize;
  DWORD th32ModuleID;
  DWORD th32ProcessID;
  DWORD GlblcntUsage;
  DWORD ProccntUsage;
  BYTE* modBaseAddr;
  DWORD modBaseSize;
  HMODULE hModule;
  char szModule[Utf8Room(MAX_MODULE_NAME32 + 1)];
  char szExePath[Utf8Room(MAX_PATH)];
};

struct HEAPLIST32 {
  SIZE_T dwSize;
  DWORD th32ProcessID;
  ULONG_PTR th32HeapID;
  DWORD dwFlags;
};
static_assert(sizeof(HEAPLIST32) == (kPointers64 ? 32 : 16));

struct HEAPENTRY32 {
  SIZE_T dwSize;
  HANDLE hHandle;
  ULONG_PTR dwAddress;
  SIZE_T dwBlockSize;
  DWORD dwFlags;
  DWORD dwLockCount;
  DWORD dwResvd;
  DWORD th32ProcessID;
  ULONG_PTR th32HeapID;
};
static_assert(sizeof(HEAPENTRY32) == (kPointers64 ? 56 : 36));

}  // namespace norva::win

namespace norva::platform {

// The toolhelp functions of KERNEL32. The program looks each one up by name
// (IKernel::GetProcAddress) before it calls it here, so a system without
// them gives empty lists; the calls themselves never fail for that reason.
class IToolhelp {
 public:
  virtual ~IToolhelp() = default;
  // A failure answers INVALID_HANDLE_VALUE (or null on a few systems).
  virtual HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId) = 0;
  virtual BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry) = 0;
  virtual BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) = 0;
  virtual BOOL Thread32First(HANDLE snapshot, THREADENTRY32* entry) = 0;
  virtual BOOL Thread32Next(HANDLE snapshot, THREADENTRY32* entry) = 0;
  virtual BOOL Module32First(HANDLE snapshot, MODULEENTRY32* entry) = 0;
  virtual BOOL Module32Next(HANDLE snapshot, MODULEENTRY32* entry) = 0;
  virtual BOOL Heap32ListFirst(HANDLE snapshot, HEAPLIST32* entry) = 0;
  virtual BOOL Heap32ListNext(HANDLE snapshot, HEAPLIST32* entry) = 0;
  // The heap-block walk takes no snapshot: it reads the heap as it is.
  virtual BOOL Heap32First(HEAPENTRY32* entry, DWORD processId, ULONG_PTR heapId) = 0;
  virtual BOOL Heap32Next(HEAPENTRY32* entry) = 0;
};

// Writes text into a record's text field of the given size: zero-terminated,
// cut before a character that would not fit.
void CopyRecordText(char* field, size_t size, const std::string& utf8);

// Opening another process and what the inspector does with it.
class IProcess {
 public:
  virtual ~IProcess() = default;
  virtual DWORD GetCurrentProcessId() = 0;
  // Null on failure (no such process, access denied).
  virtual HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) = 0;
  // Closes a process handle or a toolhelp snapshot.
  virtual BOOL CloseHandle(HANDLE handle) = 0;
  // 0 on failure.
  virtual DWORD GetPriorityClass(HANDLE process) = 0;
  virtual BOOL SetPriorityClass(HANDLE process, DWORD priorityClass) = 0;
  virtual BOOL GetProcessWorkingSetSize(HANDLE process, SIZE_T* minimum, SIZE_T* maximum) = 0;
  // Both limits (SIZE_T)-1: as many pages as possible leave the working set.
  virtual BOOL SetProcessWorkingSetSize(HANDLE process, SIZE_T minimum, SIZE_T maximum) = 0;
  virtual BOOL TerminateProcess(HANDLE process, UINT exitCode) = 0;
  // The process's creation, exit, kernel and user times; needs query
  // access. FALSE where the system keeps no times (the 9x family).
  virtual BOOL GetProcessTimes(HANDLE process, FILETIME* creation, FILETIME* exit, FILETIME* kernel,
                               FILETIME* user) = 0;
};

}  // namespace norva::platform
