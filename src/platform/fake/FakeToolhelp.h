// The simulated processes for tests: scripted tables of processes with their
// modules, heaps and heap blocks, and of the system's threads, read through
// toolhelp snapshots that copy the tables as they stand when taken (so a
// process can exit between a snapshot and the open that follows it). Every
// field is public so a test sets and reads it directly.
#pragma once

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Toolhelp.h"

namespace norva::platform::fake {

class FakeKernel;

struct FakeHeapBlock {
  uintptr_t handle = 0;
  size_t size = 0;
  DWORD lockCount = 0;
};

struct FakeHeap {
  ULONG_PTR id = 0;
  DWORD flags = 0;  // HF32_DEFAULT for the process's default heap
  std::vector<FakeHeapBlock> blocks;
  bool walkable = true;  // false: Heap32First fails
};

struct FakeModule {
  DWORD moduleId = 1;
  DWORD globalUsage = 1;   // GlblcntUsage
  DWORD processUsage = 1;  // ProccntUsage
  std::string name;
};

struct FakeThread {
  DWORD id = 0;
  DWORD owner = 0;
  DWORD usage = 0;
  LONG basePriority = 8;
};

struct FakeProcess {
  DWORD id = 0;
  DWORD parent = 0;
  DWORD threads = 1;
  std::string exeFile;
  // When it started (GetProcessTimes): Add gives every process its own, so a
  // process that takes over the ID of one that exited is told apart.
  uint64_t creationTime = 0;
  DWORD priorityClass = NORMAL_PRIORITY_CLASS;
  SIZE_T workingSetMin = 204800;
  SIZE_T workingSetMax = 1413120;
  // Access rights OpenProcess refuses (ERROR_ACCESS_DENIED); a refused
  // PROCESS_QUERY_INFORMATION also refuses module and heap snapshots.
  DWORD deniedAccess = 0;
  // SetProcessWorkingSetSize fails even with the right access.
  bool refuseWorkingSet = false;
  std::vector<FakeModule> modules;
  std::vector<FakeHeap> heaps;
};

struct ProcessCall {
  DWORD processId;
  SIZE_T first;   // the class, the minimum or the exit code
  SIZE_T second;  // the maximum
};

class FakeProcesses : public IToolhelp, public IProcess {
 public:
  // Makes the toolhelp functions exports of the fake kernel32 (a test takes
  // one away with FakeKernel::missingExports).
  explicit FakeProcesses(FakeKernel& kernel);
  ~FakeProcesses() override;
  FakeProcesses(const FakeProcesses&) = delete;
  FakeProcesses& operator=(const FakeProcesses&) = delete;

  // The live system, in snapshot order.
  std::vector<FakeProcess> processes;
  std::vector<FakeThread> threads;
  // The calling process: ID 0 in a module or heap snapshot stands for it.
  DWORD currentProcessId = 0x1F0;
  // These processes are in the next process snapshot and exit right after
  // it was taken.
  std::set<DWORD> exitAfterSnapshot;

  FakeProcess& Add(DWORD id, DWORD parent, const std::string& exeFile, DWORD threadCount = 1);
  FakeProcess* Find(DWORD id);
  // The process and its threads leave the system.
  void Exit(DWORD id);
  // The process exits and a new one starts under the same ID, as the
  // system reuses IDs.
  FakeProcess& Recycle(DWORD id, const std::string& exeFile);

  // What happened.
  int snapshotsTaken = 0;
  std::vector<std::pair<DWORD, DWORD>> opens;  // process ID, access
  std::vector<ProcessCall> priorityChanges;
  std::vector<ProcessCall> workingSetChanges;
  std::vector<ProcessCall> terminations;
  int badCloses = 0;
  // Snapshots and process handles not yet closed.
  size_t OpenHandles() const { return FSnapshots.size() + FHandles.size(); }

  // --- IToolhelp ---------------------------------------------------------------
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

  // --- IProcess ----------------------------------------------------------------
  DWORD GetCurrentProcessId() override { return currentProcessId; }
  HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) override;
  BOOL CloseHandle(HANDLE handle) override;
  DWORD GetPriorityClass(HANDLE process) override;
  BOOL SetPriorityClass(HANDLE process, DWORD priorityClass) override;
  BOOL GetProcessWorkingSetSize(HANDLE process, SIZE_T* minimum, SIZE_T* maximum) override;
  BOOL SetProcessWorkingSetSize(HANDLE process, SIZE_T minimum, SIZE_T maximum) override;
  BOOL TerminateProcess(HANDLE process, UINT exitCode) override;
  // The creation time only; the 9x family keeps no process times.
  BOOL GetProcessTimes(HANDLE process, FILETIME* creation, FILETIME* exit, FILETIME* kernel,
                       FILETIME* user) override;

 private:
  struct Snapshot {
    DWORD flags = 0;
    DWORD processId = 0;
    std::vector<FakeProcess> processes;  // without modules and heaps
    std::vector<FakeThread> threads;
    std::vector<FakeModule> modules;
    std::vector<FakeHeap> heaps;  // without blocks
    size_t next = 0;
  };
  // A handle holds on to the process it opened, not to its ID.
  struct ProcessHandle {
    DWORD processId;
    DWORD access;
    uint64_t creationTime;
  };
  Snapshot* SnapshotOf(HANDLE handle, DWORD kind);
  // The process behind a handle opened with the given right, or null (and
  // the last error set).
  FakeProcess* Target(HANDLE handle, DWORD right);
  BOOL Fail(DWORD error);
  BOOL FillHeapEntry(HEAPENTRY32* entry, DWORD processId, ULONG_PTR heapId, size_t index);

  FakeKernel& FKernel;
  // Where each ID stands in processes (its first entry), checked on use and
  // rebuilt when stale, so opening thousands of processes stays linear.
  std::unordered_map<DWORD, size_t> FIndex;
  std::map<HANDLE, Snapshot> FSnapshots;
  std::map<HANDLE, ProcessHandle> FHandles;
  uintptr_t FNextHandle = 0x7000;
  // 2026-01-01 in FILETIME units; each new process starts a second later.
  uint64_t FLastCreation = 0x01DC7AB000000000;
};

}  // namespace norva::platform::fake
