// The simulated kernel for tests: scripted OS version and memory figures,
// libraries and exports that can be made missing, a small file system, a
// mutex namespace, global memory with scripted failures and a virtual
// millisecond clock. Every field is public so a test sets and reads it
// directly.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace norva::platform::fake {

// The signature of NtQuerySystemInformation of ntdll, looked up by name.
using NtQuerySystemInformationProc = win::NtQuerySystemInformationProc;

// What NtQuerySystemInformation reports for the three classes the processor
// probe reads: 0 (basic: the processor count, at byte 40 of 44 in a 32-bit
// process, at byte 56 of 64 in a 64-bit one), 2 (performance: the idle time
// at byte 0) and 3 (time of day: the current time at byte 8).
struct NtSystemFigures {
  uint8_t processors = 1;
  uint64_t idleTime = 0;          // 100-ns units, summed over all processors
  uint64_t currentTime = 0;       // 100-ns units
  std::set<UINT> failingClasses;  // these answer STATUS_UNSUCCESSFUL
};

class FakeKernel : public IKernel {
 public:
  FakeKernel();
  ~FakeKernel() override;
  FakeKernel(const FakeKernel&) = delete;
  FakeKernel& operator=(const FakeKernel&) = delete;

  // --- OS family -----------------------------------------------------------
  // What GetVersionExA answers (an NT 5.1 system unless changed).
  OSVERSIONINFOA version{};
  // Switches version (and the presence of rsrc32.dll and of
  // GlobalMemoryStatusEx) to a typical system of either family.
  void UseNtFamily();
  void UseNineXFamily();

  // --- Memory figures --------------------------------------------------------
  // What GlobalMemoryStatusEx (through its looked-up address) and
  // GlobalMemoryStatus answer; dwLength is set by the call.
  MEMORYSTATUSEX memoryEx{};
  MEMORYSTATUS memory{};
  // Sets both records from one set of byte counts (the 32-bit record capped
  // at 2 GB, as Windows does for that call).
  void SetMemory(uint64_t totalPhys, uint64_t availPhys, uint32_t load);
  int globalMemoryStatusCalls = 0;
  int globalMemoryStatusExCalls = 0;
  // Free system resources in percent per kind (0 system, 1 user, 2 GDI), as
  // "_MyGetFreeSystemResources32@4" answers them.
  std::map<DWORD, DWORD> freeResources{{0, 80}, {1, 75}, {2, 70}};
  int freeResourcesCalls = 0;
  NtSystemFigures ntSystem;
  int ntQueryCalls = 0;
  // Moves the system clock on and lets the processors idle for the given
  // share (0..1) of it, as two readings a second apart would see.
  void AdvanceSystemTimes(uint64_t elapsed100ns, double idleShare);

  // --- Libraries and exports -----------------------------------------------
  // Names of libraries that fail to load ("rsrc32", "kernel32": letter case
  // and ".dll" do not matter) and exports that GetProcAddress does not find.
  std::set<std::string> missingLibraries;
  std::set<std::string> missingExports;
  // Makes an export available (the defaults: GlobalMemoryStatusEx in
  // kernel32, _MyGetFreeSystemResources32@4 in rsrc32,
  // NtQuerySystemInformation in ntdll).
  void AddExport(const std::string& library, const std::string& name, FARPROC address);
  // References held through LoadLibraryA and not yet released.
  int LibraryReferences(const std::string& library) const;
  int OutstandingLibraryReferences() const;
  std::vector<std::string> libraryLoads;  // every LoadLibraryA name, in order
  std::vector<std::string> procLookups;   // every GetProcAddress name, in order
  int unbalancedFrees = 0;                // FreeLibrary without a reference

  // --- Files -----------------------------------------------------------------
  std::string moduleFileName = "C:\\Norva\\norva.exe";
  // Paths are matched without regard to letter case; a trailing backslash on
  // a folder does not matter. Profile files of the fake profile exist too.
  void AddFile(const std::string& path);
  void AddFolder(const std::string& path);
  void RemovePath(const std::string& path);
  // A bitmap file of the given pixel size (also a file).
  void AddBitmap(const std::string& path, int width, int height);
  // Size of a bitmap file, or nullptr.
  const std::pair<int, int>* BitmapSize(const std::string& path) const;

  // --- Mutexes ---------------------------------------------------------------
  // Names that exist already (another copy of the program holds them). A
  // mutex created here joins them: it stays until the process ends.
  std::set<std::string> existingMutexes;
  DWORD lastError = 0;

  // --- Global memory ---------------------------------------------------------
  // GlobalAlloc fails for more than this many bytes, and for the next
  // failNextAllocs calls whatever their size.
  size_t failAllocAbove = SIZE_MAX;
  int failNextAllocs = 0;
  int failNextLocks = 0;
  // Blocks above this size share a small window of real pages (every
  // window-sized part maps the same memory), so a test can reserve
  // gigabytes; smaller blocks are plain memory a test can inspect. Fresh
  // blocks hold kFreshByte unless GMEM_ZEROINIT is asked for.
  size_t sharedWindowAbove = 64u << 20;
  static constexpr unsigned char kFreshByte = 0xCD;
  std::vector<size_t> allocRequests;  // every GlobalAlloc size, failed or not
  int allocFailures = 0;
  int badFrees = 0;  // GlobalFree of an unknown handle
  size_t LiveBlocks() const { return FBlocks.size(); }
  size_t LiveBytes() const;
  std::vector<HGLOBAL> LiveHandles() const;
  // The address and size of a live block, for checking what was written.
  std::pair<unsigned char*, size_t> BlockMemory(HGLOBAL handle) const;
  bool IsSharedWindow(HGLOBAL handle) const;

  // --- Virtual clock ---------------------------------------------------------
  // Milliseconds since the fake started; Sleep advances it, GetTickCount
  // reads it, and the headless toolkit runs its timers from it.
  uint64_t nowMs = 0;
  std::vector<DWORD> sleeps;
  // Runs after every Sleep (the clock has already advanced).
  std::function<void(DWORD)> onSleep;

  // --- IKernel ---------------------------------------------------------------
  HANDLE CreateMutexA(const char* name) override;
  DWORD GetLastError() override { return lastError; }
  BOOL GetVersionExA(OSVERSIONINFOA* info) override;
  void GlobalMemoryStatus(MEMORYSTATUS* status) override;
  HMODULE LoadLibraryA(const char* name) override;
  FARPROC GetProcAddress(HMODULE module, const char* name) override;
  HMODULE GetModuleHandleA(const char* name) override;
  BOOL FreeLibrary(HMODULE module) override;
  std::string GetModuleFileNameA() override { return moduleFileName; }
  DWORD GetFileAttributesA(const std::string& path) override;
  HGLOBAL GlobalAlloc(UINT flags, size_t bytes) override;
  void* GlobalLock(HGLOBAL memory) override;
  BOOL GlobalUnlock(HGLOBAL memory) override;
  HGLOBAL GlobalFree(HGLOBAL memory) override;
  void Sleep(DWORD milliseconds) override;
  DWORD GetTickCount() override { return static_cast<DWORD>(nowMs); }
  // The local time GetLocalTime gives, as a test sets it.
  SYSTEMTIME localTime{2026, 12, 3, 9, 10, 30, 0, 0};
  void GetLocalTime(SYSTEMTIME* time) override { *time = localTime; }

 private:
  struct Library {
    HMODULE token = nullptr;
    int references = 0;
    bool resident = false;  // loaded in every process (kernel32, ntdll, user32)
    std::map<std::string, FARPROC> exports;
  };
  struct Block {
    unsigned char* data = nullptr;
    size_t size = 0;
    size_t mappedSize = 0;  // non-zero for a shared-window block
    int locks = 0;
  };
  Library& LibraryNamed(const std::string& name);
  Library* LibraryOf(HMODULE token);
  const Library* FindLibrary(const std::string& name) const;
  bool Missing(const std::string& library) const;
  void Release(Block& block);

  std::map<std::string, Library> FLibraries;  // by normalised name
  std::set<std::string> FFiles, FFolders;     // lower-case paths
  std::map<std::string, std::pair<int, int>> FBitmaps;
  std::map<HGLOBAL, Block> FBlocks;
  uintptr_t FNextBlock = 0x00A00000;
  uintptr_t FNextLibrary = 0x70000000;
  uintptr_t FNextMutex = 0x1000;
};

}  // namespace norva::platform::fake
