#include "platform/fake/FakeToolhelp.h"

#include <algorithm>

#include "platform/fake/FakeKernel.h"

namespace norva::platform::fake {

namespace {

// The address the fake kernel32 gives for every toolhelp export: the program
// only tests it for presence and calls the platform's toolhelp area.
void ToolhelpExport() {}

const char* const kExports[] = {"CreateToolhelp32Snapshot",
                                "Process32First",
                                "Process32Next",
                                "Thread32First",
                                "Thread32Next",
                                "Module32First",
                                "Module32Next",
                                "Heap32ListFirst",
                                "Heap32ListNext",
                                "Heap32First",
                                "Heap32Next"};

constexpr DWORD kErrorNoMoreFiles = ERROR_NO_MORE_FILES;
constexpr DWORD kErrorBadLength = 24;  // ERROR_BAD_LENGTH

bool KnownClass(DWORD c) {
  return c == IDLE_PRIORITY_CLASS || c == NORMAL_PRIORITY_CLASS || c == HIGH_PRIORITY_CLASS ||
         c == REALTIME_PRIORITY_CLASS || c == 0x4000 || c == 0x8000;
}

}  // namespace

FakeProcesses::FakeProcesses(FakeKernel& kernel) : FKernel(kernel) {
  for (const char* name : kExports)
    kernel.AddExport("kernel32", name, reinterpret_cast<FARPROC>(&ToolhelpExport));
}

FakeProcesses::~FakeProcesses() = default;

FakeProcess& FakeProcesses::Add(DWORD id, DWORD parent, const std::string& exeFile,
                                DWORD threadCount) {
  FakeProcess p;
  p.id = id;
  p.parent = parent;
  p.exeFile = exeFile;
  p.threads = threadCount;
  FLastCreation += 10000000;
  p.creationTime = FLastCreation;
  processes.push_back(std::move(p));
  return processes.back();
}

FakeProcess& FakeProcesses::Recycle(DWORD id, const std::string& exeFile) {
  const FakeProcess* old = Find(id);
  const DWORD parent = old != nullptr ? old->parent : 0;
  Exit(id);
  return Add(id, parent, exeFile);
}

FakeProcess* FakeProcesses::Find(DWORD id) {
  auto hit = [&]() -> FakeProcess* {
    auto it = FIndex.find(id);
    if (it == FIndex.end() || it->second >= processes.size()) return nullptr;
    FakeProcess& p = processes[it->second];
    return p.id == id ? &p : nullptr;
  };
  if (FakeProcess* p = hit()) return p;
  FIndex.clear();
  for (size_t i = 0; i < processes.size(); ++i) FIndex.try_emplace(processes[i].id, i);
  return hit();
}

void FakeProcesses::Exit(DWORD id) {
  std::erase_if(processes, [id](const FakeProcess& p) { return p.id == id; });
  std::erase_if(threads, [id](const FakeThread& t) { return t.owner == id; });
}

BOOL FakeProcesses::Fail(DWORD error) {
  FKernel.lastError = error;
  return 0;
}

HANDLE FakeProcesses::CreateToolhelp32Snapshot(DWORD flags, DWORD processId) {
  Snapshot s;
  s.flags = flags;
  s.processId = processId == 0 ? currentProcessId : processId;
  if (flags & (TH32CS_SNAPMODULE | TH32CS_SNAPHEAPLIST)) {
    FakeProcess* p = Find(s.processId);
    if (p == nullptr) {
      Fail(ERROR_INVALID_PARAMETER);
      return INVALID_HANDLE_VALUE;
    }
    if (p->deniedAccess & PROCESS_QUERY_INFORMATION) {
      Fail(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    if (flags & TH32CS_SNAPMODULE) s.modules = p->modules;
    if (flags & TH32CS_SNAPHEAPLIST) {
      s.heaps = p->heaps;
      for (FakeHeap& h : s.heaps) h.blocks.clear();
    }
  }
  if (flags & TH32CS_SNAPPROCESS) {
    s.processes.reserve(processes.size());
    for (const FakeProcess& p : processes) {
      FakeProcess copy;
      copy.id = p.id;
      copy.parent = p.parent;
      copy.threads = p.threads;
      copy.exeFile = p.exeFile;
      s.processes.push_back(std::move(copy));
    }
    for (DWORD id : exitAfterSnapshot) Exit(id);
    exitAfterSnapshot.clear();
  }
  if (flags & TH32CS_SNAPTHREAD) s.threads = threads;
  ++snapshotsTaken;
  HANDLE h = reinterpret_cast<HANDLE>(FNextHandle);
  FNextHandle += 4;
  FSnapshots.emplace(h, std::move(s));
  return h;
}

FakeProcesses::Snapshot* FakeProcesses::SnapshotOf(HANDLE handle, DWORD kind) {
  auto it = FSnapshots.find(handle);
  if (it == FSnapshots.end() || !(it->second.flags & kind)) {
    Fail(6);  // ERROR_INVALID_HANDLE
    return nullptr;
  }
  return &it->second;
}

BOOL FakeProcesses::Process32First(HANDLE snapshot, PROCESSENTRY32* entry) {
  if (Snapshot* s = SnapshotOf(snapshot, TH32CS_SNAPPROCESS)) s->next = 0;
  return Process32Next(snapshot, entry);
}

BOOL FakeProcesses::Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) {
  Snapshot* s = SnapshotOf(snapshot, TH32CS_SNAPPROCESS);
  if (s == nullptr) return 0;
  if (entry->dwSize < sizeof(PROCESSENTRY32)) return Fail(kErrorBadLength);
  if (s->next >= s->processes.size()) return Fail(kErrorNoMoreFiles);
  const FakeProcess& p = s->processes[s->next++];
  const DWORD size = entry->dwSize;
  *entry = PROCESSENTRY32{};
  entry->dwSize = size;
  entry->th32ProcessID = p.id;
  entry->th32ParentProcessID = p.parent;
  entry->cntThreads = p.threads;
  entry->pcPriClassBase = 8;
  CopyRecordText(entry->szExeFile, sizeof(entry->szExeFile), p.exeFile);
  return 1;
}

BOOL FakeProcesses::Thread32First(HANDLE snapshot, THREADENTRY32* entry) {
  if (Snapshot* s = SnapshotOf(snapshot, TH32CS_SNAPTHREAD)) s->next = 0;
  return Thread32Next(snapshot, entry);
}

BOOL FakeProcesses::Thread32Next(HANDLE snapshot, THREADENTRY32* entry) {
  Snapshot* s = SnapshotOf(snapshot, TH32CS_SNAPTHREAD);
  if (s == nullptr) return 0;
  if (entry->dwSize < sizeof(THREADENTRY32)) return Fail(kErrorBadLength);
  if (s->next >= s->threads.size()) return Fail(kErrorNoMoreFiles);
  const FakeThread& t = s->threads[s->next++];
  const DWORD size = entry->dwSize;
  *entry = THREADENTRY32{};
  entry->dwSize = size;
  entry->th32ThreadID = t.id;
  entry->th32OwnerProcessID = t.owner;
  entry->cntUsage = t.usage;
  entry->tpBasePri = t.basePriority;
  return 1;
}

BOOL FakeProcesses::Module32First(HANDLE snapshot, MODULEENTRY32* entry) {
  if (Snapshot* s = SnapshotOf(snapshot, TH32CS_SNAPMODULE)) s->next = 0;
  return Module32Next(snapshot, entry);
}

BOOL FakeProcesses::Module32Next(HANDLE snapshot, MODULEENTRY32* entry) {
  Snapshot* s = SnapshotOf(snapshot, TH32CS_SNAPMODULE);
  if (s == nullptr) return 0;
  if (entry->dwSize < sizeof(MODULEENTRY32)) return Fail(kErrorBadLength);
  if (s->next >= s->modules.size()) return Fail(kErrorNoMoreFiles);
  const FakeModule& m = s->modules[s->next++];
  const DWORD size = entry->dwSize;
  *entry = MODULEENTRY32{};
  entry->dwSize = size;
  entry->th32ModuleID = m.moduleId;
  entry->th32ProcessID = s->processId;
  entry->GlblcntUsage = m.globalUsage;
  entry->ProccntUsage = m.processUsage;
  CopyRecordText(entry->szModule, sizeof(entry->szModule), m.name);
  CopyRecordText(entry->szExePath, sizeof(entry->szExePath), "C:\\WINDOWS\\system32\\" + m.name);
  return 1;
}

BOOL FakeProcesses::Heap32ListFirst(HANDLE snapshot, HEAPLIST32* entry) {
  if (Snapshot* s = SnapshotOf(snapshot, TH32CS_SNAPHEAPLIST)) s->next = 0;
  return Heap32ListNext(snapshot, entry);
}

BOOL FakeProcesses::Heap32ListNext(HANDLE snapshot, HEAPLIST32* entry) {
  Snapshot* s = SnapshotOf(snapshot, TH32CS_SNAPHEAPLIST);
  if (s == nullptr) return 0;
  if (entry->dwSize < sizeof(HEAPLIST32)) return Fail(kErrorBadLength);
  if (s->next >= s->heaps.size()) return Fail(kErrorNoMoreFiles);
  const FakeHeap& h = s->heaps[s->next++];
  entry->th32ProcessID = s->processId;
  entry->th32HeapID = h.id;
  entry->dwFlags = h.flags;
  return 1;
}

BOOL FakeProcesses::FillHeapEntry(HEAPENTRY32* entry, DWORD processId, ULONG_PTR heapId,
                                  size_t index) {
  FakeProcess* p = Find(processId);
  if (p == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (p->deniedAccess & PROCESS_QUERY_INFORMATION) return Fail(ERROR_ACCESS_DENIED);
  auto heap = std::find_if(p->heaps.begin(), p->heaps.end(),
                           [heapId](const FakeHeap& h) { return h.id == heapId; });
  if (heap == p->heaps.end() || !heap->walkable) return Fail(ERROR_INVALID_PARAMETER);
  if (index >= heap->blocks.size()) return Fail(kErrorNoMoreFiles);
  const FakeHeapBlock& b = heap->blocks[index];
  const SIZE_T size = entry->dwSize;
  *entry = HEAPENTRY32{};
  entry->dwSize = size;
  entry->hHandle = reinterpret_cast<HANDLE>(b.handle);
  entry->dwAddress = b.handle;
  entry->dwBlockSize = b.size;
  entry->dwLockCount = b.lockCount;
  entry->dwResvd = static_cast<DWORD>(index);
  entry->th32ProcessID = processId;
  entry->th32HeapID = heapId;
  return 1;
}

BOOL FakeProcesses::Heap32First(HEAPENTRY32* entry, DWORD processId, ULONG_PTR heapId) {
  if (entry->dwSize < sizeof(HEAPENTRY32)) return Fail(kErrorBadLength);
  return FillHeapEntry(entry, processId == 0 ? currentProcessId : processId, heapId, 0);
}

BOOL FakeProcesses::Heap32Next(HEAPENTRY32* entry) {
  if (entry->dwSize < sizeof(HEAPENTRY32)) return Fail(kErrorBadLength);
  // Like the system's walk, the position travels in the record itself.
  return FillHeapEntry(entry, entry->th32ProcessID, entry->th32HeapID, size_t{entry->dwResvd} + 1);
}

HANDLE FakeProcesses::OpenProcess(DWORD access, BOOL, DWORD processId) {
  opens.emplace_back(processId, access);
  // The idle process (ID 0) cannot be opened on any system.
  FakeProcess* p = processId == 0 ? nullptr : Find(processId);
  if (p == nullptr) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (access & p->deniedAccess) {
    Fail(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  HANDLE h = reinterpret_cast<HANDLE>(FNextHandle);
  FNextHandle += 4;
  FHandles.emplace(h, ProcessHandle{processId, access, p->creationTime});
  return h;
}

BOOL FakeProcesses::CloseHandle(HANDLE handle) {
  if (FSnapshots.erase(handle) > 0 || FHandles.erase(handle) > 0) return 1;
  ++badCloses;
  return Fail(6);
}

FakeProcess* FakeProcesses::Target(HANDLE handle, DWORD right) {
  auto it = FHandles.find(handle);
  if (it == FHandles.end()) {
    Fail(6);
    return nullptr;
  }
  if (!(it->second.access & right)) {
    Fail(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  FakeProcess* p = Find(it->second.processId);
  if (p != nullptr && p->creationTime != it->second.creationTime) p = nullptr;  // ID reused
  if (p == nullptr) Fail(ERROR_ACCESS_DENIED);  // it has exited
  return p;
}

DWORD FakeProcesses::GetPriorityClass(HANDLE process) {
  FakeProcess* p = Target(process, PROCESS_QUERY_INFORMATION);
  return p != nullptr ? p->priorityClass : 0;
}

BOOL FakeProcesses::SetPriorityClass(HANDLE process, DWORD priorityClass) {
  FakeProcess* p = Target(process, PROCESS_SET_INFORMATION);
  if (p == nullptr) return 0;
  if (!KnownClass(priorityClass)) return Fail(ERROR_INVALID_PARAMETER);
  priorityChanges.push_back({p->id, priorityClass, 0});
  p->priorityClass = priorityClass;
  return 1;
}

BOOL FakeProcesses::GetProcessWorkingSetSize(HANDLE process, SIZE_T* minimum, SIZE_T* maximum) {
  FakeProcess* p = Target(process, PROCESS_QUERY_INFORMATION);
  if (p == nullptr) return 0;
  *minimum = p->workingSetMin;
  *maximum = p->workingSetMax;
  return 1;
}

BOOL FakeProcesses::SetProcessWorkingSetSize(HANDLE process, SIZE_T minimum, SIZE_T maximum) {
  FakeProcess* p = Target(process, PROCESS_SET_QUOTA);
  if (p == nullptr) return 0;
  const SIZE_T trim = static_cast<SIZE_T>(-1);
  const bool trimming = minimum == trim && maximum == trim;
  if (p->refuseWorkingSet || (!trimming && minimum > maximum)) return Fail(ERROR_INVALID_PARAMETER);
  workingSetChanges.push_back({p->id, minimum, maximum});
  if (!trimming) {
    p->workingSetMin = minimum;
    p->workingSetMax = maximum;
  }
  return 1;
}

BOOL FakeProcesses::TerminateProcess(HANDLE process, UINT exitCode) {
  FakeProcess* p = Target(process, PROCESS_TERMINATE);
  if (p == nullptr) return 0;
  terminations.push_back({p->id, exitCode, 0});
  Exit(p->id);
  return 1;
}

BOOL FakeProcesses::GetProcessTimes(HANDLE process, FILETIME* creation, FILETIME* exit,
                                    FILETIME* kernel, FILETIME* user) {
  if (FKernel.version.dwPlatformId != VER_PLATFORM_WIN32_NT) return Fail(120);  // not implemented
  FakeProcess* p = Target(process, PROCESS_QUERY_INFORMATION);
  if (p == nullptr) return 0;
  *creation = {static_cast<DWORD>(p->creationTime), static_cast<DWORD>(p->creationTime >> 32)};
  *exit = *kernel = *user = {0, 0};
  return 1;
}

}  // namespace norva::platform::fake
