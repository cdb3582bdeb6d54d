#include "platform/fake/FakeKernel.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/Text.h"
#include "platform/fake/FakePlatform.h"

namespace norva::platform::fake {

namespace {

constexpr UINT kZeroInit = 0x40;  // GMEM_ZEROINIT
constexpr DWORD kErrorFileNotFound = 2;
constexpr DWORD kErrorNotEnoughMemory = 8;
constexpr DWORD kErrorInvalidParameter = 87;
constexpr DWORD kErrorModNotFound = 126;
constexpr DWORD kErrorProcNotFound = 127;
constexpr size_t kWindowBytes = size_t{1} << 20;

// "C:\Windows\System32\KERNEL32.DLL", "kernel32.dll" and "KERNEL32" all name
// the same library.
std::string LibraryKey(const std::string& name) {
  std::string key = text::ToLowerAscii(name);
  if (const size_t slash = key.find_last_of("\\/"); slash != std::string::npos)
    key.erase(0, slash + 1);
  if (key.size() > 4 && key.compare(key.size() - 4, 4, ".dll") == 0) key.resize(key.size() - 4);
  return key;
}

std::string PathKey(const std::string& path) {
  std::string key = text::ToLowerAscii(path);
  while (key.size() > 3 && (key.back() == '\\' || key.back() == '/')) key.pop_back();
  return key;
}

FakeKernel& ActiveKernel() { return FakePlatform::Active().kernel; }

// The exports handed out by GetProcAddress: real functions with the Win32
// signatures, answering from whichever fake is active at call time.
BOOL NORVA_WINAPI FakeGlobalMemoryStatusEx(MEMORYSTATUSEX* status) {
  FakeKernel& k = ActiveKernel();
  ++k.globalMemoryStatusExCalls;
  // Windows refuses a record whose length field is not set.
  if (status == nullptr || status->dwLength != sizeof(MEMORYSTATUSEX)) {
    k.lastError = kErrorInvalidParameter;
    return 0;
  }
  *status = k.memoryEx;
  status->dwLength = sizeof(MEMORYSTATUSEX);
  return 1;
}

DWORD NORVA_WINAPI FakeGetFreeSystemResources(DWORD kind) {
  FakeKernel& k = ActiveKernel();
  ++k.freeResourcesCalls;
  const auto it = k.freeResources.find(kind);
  return it != k.freeResources.end() ? it->second : 0;
}

LONG NORVA_WINAPI FakeNtQuerySystemInformation(UINT infoClass, void* buffer, DWORD length,
                                               DWORD* returnLength) {
  constexpr LONG kStatusUnsuccessful = static_cast<LONG>(0xC0000001u);
  constexpr LONG kStatusInvalidInfoClass = static_cast<LONG>(0xC0000003u);
  constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004u);
  FakeKernel& k = ActiveKernel();
  ++k.ntQueryCalls;
  const NtSystemFigures& f = k.ntSystem;
  if (f.failingClasses.count(infoClass) != 0) return kStatusUnsuccessful;
  // Where the one field the program reads lies, and the record's size.
  size_t offset = 0, size = 0;
  const void* field = nullptr;
  size_t fieldSize = 8;
  switch (infoClass) {
    case 0:  // SystemBasicInformation, of the process's pointer size
      offset = NUMBER_OF_PROCESSORS_OFFSET;
      size = SYSTEM_BASIC_INFORMATION_SIZE;
      field = &f.processors;
      fieldSize = 1;
      break;
    case 2:  // SystemPerformanceInformation
      size = 312;
      field = &f.idleTime;
      break;
    case 3:  // SystemTimeOfDayInformation
      offset = 8;
      size = 32;
      field = &f.currentTime;
      break;
    default:
      return kStatusInvalidInfoClass;
  }
  if (returnLength != nullptr) *returnLength = static_cast<DWORD>(size);
  // The basic record must have exactly its size, as on Windows.
  if (buffer == nullptr || length < size || (infoClass == 0 && length != size))
    return kStatusInfoLengthMismatch;
  std::memset(buffer, 0, size);
  std::memcpy(static_cast<char*>(buffer) + offset, field, fieldSize);
  return 0;
}

template <class F>
FARPROC AsFarProc(F* function) {
  return reinterpret_cast<FARPROC>(function);
}

}  // namespace

FakeKernel::FakeKernel() {
  for (const char* resident : {"kernel32", "ntdll", "user32"})
    LibraryNamed(resident).resident = true;
  AddExport("kernel32", "GlobalMemoryStatusEx", AsFarProc(&FakeGlobalMemoryStatusEx));
  AddExport("rsrc32", "_MyGetFreeSystemResources32@4", AsFarProc(&FakeGetFreeSystemResources));
  AddExport("ntdll", "NtQuerySystemInformation", AsFarProc(&FakeNtQuerySystemInformation));
  // An idle single processor, with the clock at some point in 2001.
  ntSystem.currentTime = 126'000'000'000'000'000ull;
  UseNtFamily();
  SetMemory(uint64_t{512} << 20, uint64_t{256} << 20, 50);
  AddFolder("C:\\Norva");
  AddFile(moduleFileName);
}

FakeKernel::~FakeKernel() {
  for (auto& [handle, block] : FBlocks) Release(block);
}

void FakeKernel::UseNtFamily() {
  version = OSVERSIONINFOA{};
  version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  version.dwMajorVersion = 5;
  version.dwMinorVersion = 1;
  version.dwBuildNumber = 2600;
  version.dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::strcpy(version.szCSDVersion, "Service Pack 3");
  missingLibraries.insert("rsrc32");
  missingExports.erase("GlobalMemoryStatusEx");
}

void FakeKernel::UseNineXFamily() {
  version = OSVERSIONINFOA{};
  version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  version.dwMajorVersion = 4;
  version.dwMinorVersion = 10;
  // The 9x family repeats major and minor version in the build number's
  // high word.
  version.dwBuildNumber = 0x040A08AE;
  version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
  std::strcpy(version.szCSDVersion, " A ");
  for (auto it = missingLibraries.begin(); it != missingLibraries.end();)
    it = LibraryKey(*it) == "rsrc32" ? missingLibraries.erase(it) : std::next(it);
  // Windows 98 has no GlobalMemoryStatusEx.
  missingExports.insert("GlobalMemoryStatusEx");
}

void FakeKernel::SetMemory(uint64_t totalPhys, uint64_t availPhys, uint32_t load) {
  memoryEx = MEMORYSTATUSEX{};
  memoryEx.dwLength = sizeof(MEMORYSTATUSEX);
  memoryEx.dwMemoryLoad = load;
  memoryEx.ullTotalPhys = totalPhys;
  memoryEx.ullAvailPhys = availPhys;
  memoryEx.ullTotalPageFile = totalPhys * 2;
  memoryEx.ullAvailPageFile = totalPhys + availPhys;
  memoryEx.ullTotalVirtual = 0x7FFE0000;
  memoryEx.ullAvailVirtual = 0x7FFE0000 - (uint64_t{64} << 20);
  // The 32-bit call caps every figure at 2 GB.
  auto cap = [](uint64_t v) { return static_cast<DWORD>(v > 0x7FFFFFFF ? 0x7FFFFFFF : v); };
  memory = MEMORYSTATUS{};
  memory.dwLength = sizeof(MEMORYSTATUS);
  memory.dwMemoryLoad = load;
  memory.dwTotalPhys = cap(memoryEx.ullTotalPhys);
  memory.dwAvailPhys = cap(memoryEx.ullAvailPhys);
  memory.dwTotalPageFile = cap(memoryEx.ullTotalPageFile);
  memory.dwAvailPageFile = cap(memoryEx.ullAvailPageFile);
  memory.dwTotalVirtual = cap(memoryEx.ullTotalVirtual);
  memory.dwAvailVirtual = cap(memoryEx.ullAvailVirtual);
}

void FakeKernel::AdvanceSystemTimes(uint64_t elapsed100ns, double idleShare) {
  ntSystem.currentTime += elapsed100ns;
  ntSystem.idleTime +=
      static_cast<uint64_t>(static_cast<double>(elapsed100ns) * ntSystem.processors * idleShare);
}

// --- Libraries ---------------------------------------------------------------

FakeKernel::Library& FakeKernel::LibraryNamed(const std::string& name) {
  Library& lib = FLibraries[LibraryKey(name)];
  if (lib.token == nullptr) {
    lib.token = reinterpret_cast<HMODULE>(FNextLibrary);
    FNextLibrary += 0x10000;
  }
  return lib;
}

const FakeKernel::Library* FakeKernel::FindLibrary(const std::string& name) const {
  const auto it = FLibraries.find(LibraryKey(name));
  return it != FLibraries.end() ? &it->second : nullptr;
}

FakeKernel::Library* FakeKernel::LibraryOf(HMODULE token) {
  for (auto& [name, lib] : FLibraries)
    if (lib.token == token) return &lib;
  return nullptr;
}

bool FakeKernel::Missing(const std::string& library) const {
  const std::string key = LibraryKey(library);
  for (const std::string& m : missingLibraries)
    if (LibraryKey(m) == key) return true;
  return false;
}

void FakeKernel::AddExport(const std::string& library, const std::string& name, FARPROC address) {
  LibraryNamed(library).exports[name] = address;
}

int FakeKernel::LibraryReferences(const std::string& library) const {
  const Library* lib = FindLibrary(library);
  return lib != nullptr ? lib->references : 0;
}

int FakeKernel::OutstandingLibraryReferences() const {
  int total = 0;
  for (const auto& [name, lib] : FLibraries) total += lib.references;
  return total;
}

HMODULE FakeKernel::LoadLibraryA(const char* name) {
  if (name == nullptr) {
    lastError = kErrorInvalidParameter;
    return nullptr;
  }
  libraryLoads.push_back(name);
  if (Missing(name)) {
    lastError = kErrorModNotFound;
    return nullptr;
  }
  Library& lib = LibraryNamed(name);
  ++lib.references;
  return lib.token;
}

FARPROC FakeKernel::GetProcAddress(HMODULE module, const char* name) {
  procLookups.push_back(name != nullptr ? name : "");
  Library* lib = LibraryOf(module);
  if (lib == nullptr || (!lib->resident && lib->references == 0)) {
    lastError = kErrorModNotFound;
    return nullptr;
  }
  // Export names are matched exactly, letter case included.
  const auto it = name != nullptr ? lib->exports.find(name) : lib->exports.end();
  if (it == lib->exports.end() || missingExports.count(name) != 0) {
    lastError = kErrorProcNotFound;
    return nullptr;
  }
  return it->second;
}

HMODULE FakeKernel::GetModuleHandleA(const char* name) {
  if (name == nullptr) return reinterpret_cast<HMODULE>(uintptr_t{0x00400000});
  const Library* lib = FindLibrary(name);
  if (Missing(name) || lib == nullptr || (!lib->resident && lib->references == 0)) {
    lastError = kErrorModNotFound;
    return nullptr;
  }
  return lib->token;
}

BOOL FakeKernel::FreeLibrary(HMODULE module) {
  Library* lib = LibraryOf(module);
  if (lib == nullptr || lib->references == 0) {
    ++unbalancedFrees;
    return 0;
  }
  --lib->references;
  return 1;
}

// --- Files -------------------------------------------------------------------

void FakeKernel::AddFile(const std::string& path) { FFiles.insert(PathKey(path)); }

void FakeKernel::AddFolder(const std::string& path) { FFolders.insert(PathKey(path)); }

void FakeKernel::RemovePath(const std::string& path) {
  FFiles.erase(PathKey(path));
  FFolders.erase(PathKey(path));
  FBitmaps.erase(PathKey(path));
}

void FakeKernel::AddBitmap(const std::string& path, int width, int height) {
  AddFile(path);
  FBitmaps[PathKey(path)] = {width, height};
}

const std::pair<int, int>* FakeKernel::BitmapSize(const std::string& path) const {
  const auto it = FBitmaps.find(PathKey(path));
  return it != FBitmaps.end() ? &it->second : nullptr;
}

DWORD FakeKernel::GetFileAttributesA(const std::string& path) {
  const std::string key = PathKey(path);
  constexpr DWORD kNormal = 0x80;  // FILE_ATTRIBUTE_NORMAL
  if (!key.empty()) {
    if (FFolders.count(key) != 0) return FILE_ATTRIBUTE_DIRECTORY;
    if (FFiles.count(key) != 0) return kNormal;
    if (FakePlatform* p = FakePlatform::ActiveOrNull(); p != nullptr && p->profile.Exists(path))
      return kNormal;
  }
  lastError = kErrorFileNotFound;
  return INVALID_FILE_ATTRIBUTES;
}

// --- Mutexes -----------------------------------------------------------------

HANDLE FakeKernel::CreateMutexA(const char* name) {
  FNextMutex += 4;
  // Mutex names are case-sensitive.
  if (name != nullptr && !existingMutexes.insert(name).second)
    lastError = ERROR_ALREADY_EXISTS;
  else
    lastError = 0;
  return reinterpret_cast<HANDLE>(FNextMutex);
}

// --- Version and memory figures ---------------------------------------------

BOOL FakeKernel::GetVersionExA(OSVERSIONINFOA* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    lastError = kErrorInvalidParameter;
    return 0;
  }
  *info = version;
  info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  return 1;
}

void FakeKernel::GlobalMemoryStatus(MEMORYSTATUS* status) {
  ++globalMemoryStatusCalls;
  *status = memory;
  status->dwLength = sizeof(MEMORYSTATUS);
}

// --- Global memory -----------------------------------------------------------

HGLOBAL FakeKernel::GlobalAlloc(UINT flags, size_t bytes) {
  allocRequests.push_back(bytes);
  bool fail = bytes > failAllocAbove;
  if (failNextAllocs > 0) {
    --failNextAllocs;
    fail = true;
  }
  Block block;
  block.size = bytes;
  if (!fail && bytes > sharedWindowAbove) {
    // Reserve the address range, then map one small memory file over every
    // window of it: the block is addressable in full but costs one window.
    const size_t mapped = (bytes + kWindowBytes - 1) / kWindowBytes * kWindowBytes;
    void* base =
        mmap(nullptr, mapped, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    const int fd = memfd_create("norva-fake-global", MFD_CLOEXEC);
    bool ok = base != MAP_FAILED && fd >= 0 && ftruncate(fd, kWindowBytes) == 0;
    for (size_t offset = 0; ok && offset < mapped; offset += kWindowBytes)
      ok = mmap(static_cast<char*>(base) + offset, kWindowBytes, PROT_READ | PROT_WRITE,
                MAP_SHARED | MAP_FIXED, fd, 0) != MAP_FAILED;
    if (fd >= 0) close(fd);
    if (ok) {
      block.data = static_cast<unsigned char*>(base);
      block.mappedSize = mapped;
      std::memset(block.data, (flags & kZeroInit) != 0 ? 0 : kFreshByte, kWindowBytes);
    } else {
      if (base != MAP_FAILED) munmap(base, mapped);
      fail = true;
    }
  } else if (!fail && bytes > 0) {
    block.data = static_cast<unsigned char*>(std::malloc(bytes));
    if (block.data == nullptr)
      fail = true;
    else
      std::memset(block.data, (flags & kZeroInit) != 0 ? 0 : kFreshByte, bytes);
  }
  if (fail) {
    ++allocFailures;
    lastError = kErrorNotEnoughMemory;
    return nullptr;
  }
  const auto handle = reinterpret_cast<HGLOBAL>(FNextBlock);
  FNextBlock += 8;
  FBlocks.emplace(handle, block);
  return handle;
}

void* FakeKernel::GlobalLock(HGLOBAL memory) {
  const auto it = FBlocks.find(memory);
  if (it == FBlocks.end() || it->second.data == nullptr) return nullptr;
  if (failNextLocks > 0) {
    --failNextLocks;
    return nullptr;
  }
  ++it->second.locks;
  return it->second.data;
}

BOOL FakeKernel::GlobalUnlock(HGLOBAL memory) {
  const auto it = FBlocks.find(memory);
  if (it == FBlocks.end()) return 0;
  if (it->second.locks > 0) --it->second.locks;
  // Non-zero while the block is still locked, as Windows answers.
  return it->second.locks > 0 ? 1 : 0;
}

HGLOBAL FakeKernel::GlobalFree(HGLOBAL memory) {
  if (memory == nullptr) return nullptr;
  const auto it = FBlocks.find(memory);
  if (it == FBlocks.end()) {
    ++badFrees;
    return memory;  // failure: the handle comes back
  }
  Release(it->second);
  FBlocks.erase(it);
  return nullptr;
}

void FakeKernel::Release(Block& block) {
  if (block.mappedSize != 0)
    munmap(block.data, block.mappedSize);
  else
    std::free(block.data);
  block.data = nullptr;
}

size_t FakeKernel::LiveBytes() const {
  size_t total = 0;
  for (const auto& [handle, block] : FBlocks) total += block.size;
  return total;
}

std::vector<HGLOBAL> FakeKernel::LiveHandles() const {
  std::vector<HGLOBAL> handles;
  for (const auto& [handle, block] : FBlocks) handles.push_back(handle);
  return handles;
}

std::pair<unsigned char*, size_t> FakeKernel::BlockMemory(HGLOBAL handle) const {
  const auto it = FBlocks.find(handle);
  if (it == FBlocks.end()) return {nullptr, 0};
  return {it->second.data, it->second.size};
}

bool FakeKernel::IsSharedWindow(HGLOBAL handle) const {
  const auto it = FBlocks.find(handle);
  return it != FBlocks.end() && it->second.mappedSize != 0;
}

// --- Clock -------------------------------------------------------------------

void FakeKernel::Sleep(DWORD milliseconds) {
  nowMs += milliseconds;
  sleeps.push_back(milliseconds);
  if (onSleep) onSleep(milliseconds);
}

}  // namespace norva::platform::fake
