// Toolhelp cursors: forward-only walks over one toolhelp enumeration. The
// constructor takes the snapshot (where the kind has one) and fetches the
// first record; the caller reads Entry while Valid, calls Next() and stops
// whenever it likes; the destructor releases what the constructor obtained.
// The toolhelp functions are looked up in KERNEL32 by name on every
// construction: where one is missing, the walk is simply empty.
#pragma once

#include <initializer_list>

#include "platform/Toolhelp.h"

namespace norva {

// KERNEL32 loaded and the named functions looked up in it; released with
// the object.
class ToolhelpFunctions {
 public:
  explicit ToolhelpFunctions(std::initializer_list<const char*> names);
  ~ToolhelpFunctions();
  ToolhelpFunctions(const ToolhelpFunctions&) = delete;
  ToolhelpFunctions& operator=(const ToolhelpFunctions&) = delete;
  // The library loaded and every function found.
  bool Found() const { return FFound; }

 private:
  win::HMODULE FKernel = nullptr;
  bool FFound = false;
};

// A snapshot handle closed with the cursor that took it.
class ToolhelpSnapshot {
 public:
  ToolhelpSnapshot() = default;
  ~ToolhelpSnapshot();
  ToolhelpSnapshot(const ToolhelpSnapshot&) = delete;
  ToolhelpSnapshot& operator=(const ToolhelpSnapshot&) = delete;
  // Takes the snapshot; false when the system gave none.
  bool Take(win::DWORD flags, win::DWORD processId);
  win::HANDLE Get() const { return FHandle; }

 private:
  win::HANDLE FHandle = nullptr;
};

// Every process of the system.
class ProcessList {
 public:
  ProcessList();
  virtual ~ProcessList() = default;
  win::PROCESSENTRY32 Entry{};
  bool Valid = false;
  win::BOOL Next();

 private:
  ToolhelpFunctions FFunctions{"CreateToolhelp32Snapshot", "Process32First", "Process32Next"};
  ToolhelpSnapshot Snapshot;
};

// The heaps of one process (0: the calling process).
class HeapList {
 public:
  explicit HeapList(win::DWORD processId);
  virtual ~HeapList() = default;
  win::HEAPLIST32 Entry{};
  bool Valid = false;
  win::BOOL Next();

 private:
  ToolhelpFunctions FFunctions{"CreateToolhelp32Snapshot", "Heap32ListFirst", "Heap32ListNext"};
  ToolhelpSnapshot Snapshot;
};

// The blocks of one heap, read as the heap stands (no snapshot).
class Heap32 {
 public:
  Heap32(win::DWORD processId, win::ULONG_PTR heapId);
  virtual ~Heap32() = default;
  win::HEAPENTRY32 Entry{};
  bool Valid = false;
  win::BOOL Next();

 private:
  ToolhelpFunctions FFunctions{"Heap32First", "Heap32Next"};
};

// The modules of one process (0: the calling process).
class ModuleList {
 public:
  explicit ModuleList(win::DWORD processId);
  virtual ~ModuleList() = default;
  win::MODULEENTRY32 Entry{};
  bool Valid = false;
  win::BOOL Next();

 private:
  ToolhelpFunctions FFunctions{"CreateToolhelp32Snapshot", "Module32First", "Module32Next"};
  ToolhelpSnapshot Snapshot;
};

// Every thread of the system: a thread snapshot covers all processes,
// whatever ID it is given.
class ThreadList {
 public:
  explicit ThreadList(win::DWORD processId);
  virtual ~ThreadList() = default;
  win::THREADENTRY32 Entry{};
  bool Valid = false;
  win::BOOL Next();

 private:
  ToolhelpFunctions FFunctions{"CreateToolhelp32Snapshot", "Thread32First", "Thread32Next"};
  ToolhelpSnapshot Snapshot;
};

}  // namespace norva
