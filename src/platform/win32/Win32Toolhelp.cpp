#include "platform/win32/Win32Toolhelp.h"

#include <cstddef>
#include <cwchar>

#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

namespace norva::platform::win32 {

namespace {

// The wide and ANSI records of the system (tlhelp32.h is not included: with
// UNICODE its macros would rename the platform's own names).
struct ProcessEntryW {
  ::DWORD dwSize;
  ::DWORD cntUsage;
  ::DWORD th32ProcessID;
  ::ULONG_PTR th32DefaultHeapID;
  ::DWORD th32ModuleID;
  ::DWORD cntThreads;
  ::DWORD th32ParentProcessID;
  ::LONG pcPriClassBase;
  ::DWORD dwFlags;
  wchar_t szExeFile[260];
};

struct ModuleEntryW {
  ::DWORD dwSize;
  ::DWORD th32ModuleID;
  ::DWORD th32ProcessID;
  ::DWORD GlblcntUsage;
  ::DWORD ProccntUsage;
  ::BYTE* modBaseAddr;
  ::DWORD modBaseSize;
  ::HMODULE hModule;
  wchar_t szModule[256];
  wchar_t szExePath[260];
};

struct ProcessEntryA {
  ::DWORD dwSize;
  ::DWORD cntUsage;
  ::DWORD th32ProcessID;
  ::ULONG_PTR th32DefaultHeapID;
  ::DWORD th32ModuleID;
  ::DWORD cntThreads;
  ::DWORD th32ParentProcessID;
  ::LONG pcPriClassBase;
  ::DWORD dwFlags;
  char szExeFile[260];
};

struct ModuleEntryA {
  ::DWORD dwSize;
  ::DWORD th32ModuleID;
  ::DWORD th32ProcessID;
  ::DWORD GlblcntUsage;
  ::DWORD ProccntUsage;
  ::BYTE* modBaseAddr;
  ::DWORD modBaseSize;
  ::HMODULE hModule;
  char szModule[256];
  char szExePath[260];
};

static_assert(sizeof(ProcessEntryW) == (sizeof(void*) == 8 ? 568 : 556));
static_assert(sizeof(ModuleEntryW) == (sizeof(void*) == 8 ? 1080 : 1064));
static_assert(sizeof(ProcessEntryA) == (sizeof(void*) == 8 ? 304 : 296));
static_assert(sizeof(ModuleEntryA) == (sizeof(void*) == 8 ? 568 : 548));
// The records without text are the platform's own layouts.
static_assert(offsetof(win::HEAPENTRY32, th32HeapID) == (sizeof(void*) == 8 ? 48 : 32));

using SnapshotProc = ::HANDLE(WINAPI*)(::DWORD, ::DWORD);
template <class Entry>
using WalkProc = ::BOOL(WINAPI*)(::HANDLE, Entry*);
using HeapFirstProc = ::BOOL(WINAPI*)(win::HEAPENTRY32*, ::DWORD, ::ULONG_PTR);
using HeapNextProc = ::BOOL(WINAPI*)(win::HEAPENTRY32*);

// KERNEL32's toolhelp entry points, looked up once: the program never links
// them (NT 4 has none). The wide forms carry any file name; a system without
// them (the 9x family) gets the ANSI forms.
struct Entries {
  SnapshotProc snapshot = nullptr;
  WalkProc<ProcessEntryW> processFirstW = nullptr, processNextW = nullptr;
  WalkProc<ProcessEntryA> processFirstA = nullptr, processNextA = nullptr;
  WalkProc<ModuleEntryW> moduleFirstW = nullptr, moduleNextW = nullptr;
  WalkProc<ModuleEntryA> moduleFirstA = nullptr, moduleNextA = nullptr;
  WalkProc<win::THREADENTRY32> threadFirst = nullptr, threadNext = nullptr;
  WalkProc<win::HEAPLIST32> heapListFirst = nullptr, heapListNext = nullptr;
  HeapFirstProc heapFirst = nullptr;
  HeapNextProc heapNext = nullptr;
};

template <class P>
void Find(::HMODULE kernel, const char* name, P& proc) {
  proc = reinterpret_cast<P>(reinterpret_cast<void*>(::GetProcAddress(kernel, name)));
}

const Entries& Kernel32() {
  static const Entries entries = [] {
    Entries e;
    ::HMODULE k = ::GetModuleHandleW(L"kernel32.dll");
    if (k == nullptr) return e;
    Find(k, "CreateToolhelp32Snapshot", e.snapshot);
    Find(k, "Process32FirstW", e.processFirstW);
    Find(k, "Process32NextW", e.processNextW);
    Find(k, "Process32First", e.processFirstA);
    Find(k, "Process32Next", e.processNextA);
    Find(k, "Module32FirstW", e.moduleFirstW);
    Find(k, "Module32NextW", e.moduleNextW);
    Find(k, "Module32First", e.moduleFirstA);
    Find(k, "Module32Next", e.moduleNextA);
    Find(k, "Thread32First", e.threadFirst);
    Find(k, "Thread32Next", e.threadNext);
    Find(k, "Heap32ListFirst", e.heapListFirst);
    Find(k, "Heap32ListNext", e.heapListNext);
    Find(k, "Heap32First", e.heapFirst);
    Find(k, "Heap32Next", e.heapNext);
    return e;
  }();
  return entries;
}

BOOL NoFunction() {
  ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}

std::string TextOf(const wchar_t* text, size_t capacity) {
  return Utf8(text, ::wcsnlen(text, capacity));
}

// The fields of a system record (wide or ANSI) into the platform's record,
// its texts whole as UTF-8.
template <class Record>
void TakeProcess(const Record& r, win::PROCESSENTRY32* entry) {
  entry->cntUsage = r.cntUsage;
  entry->th32ProcessID = r.th32ProcessID;
  entry->th32DefaultHeapID = r.th32DefaultHeapID;
  entry->th32ModuleID = r.th32ModuleID;
  entry->cntThreads = r.cntThreads;
  entry->th32ParentProcessID = r.th32ParentProcessID;
  entry->pcPriClassBase = r.pcPriClassBase;
  entry->dwFlags = r.dwFlags;
}

void Take(const ProcessEntryW& w, win::PROCESSENTRY32* entry) {
  TakeProcess(w, entry);
  CopyRecordText(entry->szExeFile, sizeof(entry->szExeFile), TextOf(w.szExeFile, 260));
}

void Take(const ProcessEntryA& a, win::PROCESSENTRY32* entry) {
  TakeProcess(a, entry);
  CopyRecordText(entry->szExeFile, sizeof(entry->szExeFile),
                 FromAnsi(a.szExeFile, ::strnlen(a.szExeFile, 260)));
}

template <class Record>
void TakeModule(const Record& r, win::MODULEENTRY32* entry) {
  entry->th32ModuleID = r.th32ModuleID;
  entry->th32ProcessID = r.th32ProcessID;
  entry->GlblcntUsage = r.GlblcntUsage;
  entry->ProccntUsage = r.ProccntUsage;
  entry->modBaseAddr = r.modBaseAddr;
  entry->modBaseSize = r.modBaseSize;
  entry->hModule = r.hModule;
}

void Take(const ModuleEntryW& w, win::MODULEENTRY32* entry) {
  TakeModule(w, entry);
  CopyRecordText(entry->szModule, sizeof(entry->szModule), TextOf(w.szModule, 256));
  CopyRecordText(entry->szExePath, sizeof(entry->szExePath), TextOf(w.szExePath, 260));
}

void Take(const ModuleEntryA& a, win::MODULEENTRY32* entry) {
  TakeModule(a, entry);
  CopyRecordText(entry->szModule, sizeof(entry->szModule),
                 FromAnsi(a.szModule, ::strnlen(a.szModule, 256)));
  CopyRecordText(entry->szExePath, sizeof(entry->szExePath),
                 FromAnsi(a.szExePath, ::strnlen(a.szExePath, 260)));
}

// A process or module record: the wide call when there is one, the ANSI
// call otherwise; the texts as UTF-8 either way.
template <class System, class Entry>
BOOL WalkWith(WalkProc<System> walk, ::HANDLE snapshot, Entry* entry) {
  System record{};
  record.dwSize = sizeof(record);
  if (!walk(snapshot, &record)) return FALSE;
  const ::DWORD size = entry->dwSize;
  *entry = Entry{};
  entry->dwSize = size;
  Take(record, entry);
  return TRUE;
}

template <class Wide, class Ansi, class Entry>
BOOL Walk(WalkProc<Wide> wide, WalkProc<Ansi> ansi, ::HANDLE snapshot, Entry* entry) {
  if (wide != nullptr) return WalkWith(wide, snapshot, entry);
  if (ansi != nullptr) return WalkWith(ansi, snapshot, entry);
  return NoFunction();
}

}  // namespace

HANDLE Win32Toolhelp::CreateToolhelp32Snapshot(DWORD flags, DWORD processId) {
  if (Kernel32().snapshot == nullptr) {
    NoFunction();
    return INVALID_HANDLE_VALUE;
  }
  return Kernel32().snapshot(flags, processId);
}

BOOL Win32Toolhelp::Process32First(HANDLE snapshot, PROCESSENTRY32* entry) {
  return Walk(Kernel32().processFirstW, Kernel32().processFirstA, snapshot, entry);
}

BOOL Win32Toolhelp::Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) {
  return Walk(Kernel32().processNextW, Kernel32().processNextA, snapshot, entry);
}

BOOL Win32Toolhelp::Module32First(HANDLE snapshot, MODULEENTRY32* entry) {
  return Walk(Kernel32().moduleFirstW, Kernel32().moduleFirstA, snapshot, entry);
}

BOOL Win32Toolhelp::Module32Next(HANDLE snapshot, MODULEENTRY32* entry) {
  return Walk(Kernel32().moduleNextW, Kernel32().moduleNextA, snapshot, entry);
}

BOOL Win32Toolhelp::Thread32First(HANDLE snapshot, THREADENTRY32* entry) {
  return Kernel32().threadFirst ? Kernel32().threadFirst(snapshot, entry) : NoFunction();
}

BOOL Win32Toolhelp::Thread32Next(HANDLE snapshot, THREADENTRY32* entry) {
  return Kernel32().threadNext ? Kernel32().threadNext(snapshot, entry) : NoFunction();
}

BOOL Win32Toolhelp::Heap32ListFirst(HANDLE snapshot, HEAPLIST32* entry) {
  return Kernel32().heapListFirst ? Kernel32().heapListFirst(snapshot, entry) : NoFunction();
}

BOOL Win32Toolhelp::Heap32ListNext(HANDLE snapshot, HEAPLIST32* entry) {
  return Kernel32().heapListNext ? Kernel32().heapListNext(snapshot, entry) : NoFunction();
}

BOOL Win32Toolhelp::Heap32First(HEAPENTRY32* entry, DWORD processId, ULONG_PTR heapId) {
  return Kernel32().heapFirst ? Kernel32().heapFirst(entry, processId, heapId) : NoFunction();
}

BOOL Win32Toolhelp::Heap32Next(HEAPENTRY32* entry) {
  return Kernel32().heapNext ? Kernel32().heapNext(entry) : NoFunction();
}

DWORD Win32Toolhelp::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

HANDLE Win32Toolhelp::OpenProcess(DWORD access, BOOL inherit, DWORD processId) {
  return ::OpenProcess(access, inherit, processId);
}

BOOL Win32Toolhelp::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

DWORD Win32Toolhelp::GetPriorityClass(HANDLE process) { return ::GetPriorityClass(process); }

BOOL Win32Toolhelp::SetPriorityClass(HANDLE process, DWORD priorityClass) {
  return ::SetPriorityClass(process, priorityClass);
}

BOOL Win32Toolhelp::GetProcessWorkingSetSize(HANDLE process, SIZE_T* minimum, SIZE_T* maximum) {
  ::SIZE_T lo = 0, hi = 0;
  const BOOL ok = ::GetProcessWorkingSetSize(process, &lo, &hi);
  *minimum = lo;
  *maximum = hi;
  return ok;
}

BOOL Win32Toolhelp::SetProcessWorkingSetSize(HANDLE process, SIZE_T minimum, SIZE_T maximum) {
  return ::SetProcessWorkingSetSize(process, minimum, maximum);
}

BOOL Win32Toolhelp::TerminateProcess(HANDLE process, UINT exitCode) {
  return ::TerminateProcess(process, exitCode);
}

BOOL Win32Toolhelp::GetProcessTimes(HANDLE process, win::FILETIME* creation, win::FILETIME* exit,
                                    win::FILETIME* kernel, win::FILETIME* user) {
  ::FILETIME times[4] = {};
  const BOOL ok = ::GetProcessTimes(process, &times[0], &times[1], &times[2], &times[3]);
  win::FILETIME* out[4] = {creation, exit, kernel, user};
  for (int i = 0; i < 4; ++i) *out[i] = {times[i].dwLowDateTime, times[i].dwHighDateTime};
  return ok;
}

}  // namespace norva::platform::win32
