#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/ScopedWin.h"
#include "platform/win32/Win32Areas.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

namespace norva::platform::win32 {

static_assert(sizeof(norva::win::MEMORYSTATUSEX) == sizeof(::MEMORYSTATUSEX));
static_assert(sizeof(norva::win::OSVERSIONINFOA) == sizeof(::OSVERSIONINFOA));
static_assert(offsetof(norva::win::OSVERSIONINFOA, dwPlatformId) ==
              offsetof(::OSVERSIONINFOA, dwPlatformId));
static_assert(offsetof(norva::win::MEMORYSTATUSEX, ullAvailExtendedVirtual) ==
              offsetof(::MEMORYSTATUSEX, ullAvailExtendedVirtual));

namespace {

// The 9x family answers most wide calls with ERROR_CALL_NOT_IMPLEMENTED;
// the few calls below then take their ANSI form.
bool WideCallMissing() { return ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED; }

bool HasExtension(const std::string& name) {
  const size_t slash = name.find_last_of("\\/");
  const size_t dot = name.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

uint32_t Clamp32(SIZE_T value) {
  return static_cast<uint32_t>(std::min<unsigned long long>(value, 0xFFFFFFFFull));
}

}  // namespace

HANDLE Win32Kernel::CreateMutexA(const char* name) { return ::CreateMutexA(nullptr, FALSE, name); }

DWORD Win32Kernel::GetLastError() { return ::GetLastError(); }

BOOL Win32Kernel::GetVersionExA(OSVERSIONINFOA* info) {
  return ::GetVersionExA(reinterpret_cast<::OSVERSIONINFOA*>(info));
}

void Win32Kernel::GlobalMemoryStatus(MEMORYSTATUS* status) {
  // The program's record is the 32-byte layout of a 32-bit process; a 64-bit
  // process gets pointer-sized fields from the system, cut to fit here.
  ::MEMORYSTATUS system{};
  system.dwLength = sizeof(system);
  ::GlobalMemoryStatus(&system);
  status->dwLength = sizeof(MEMORYSTATUS);
  status->dwMemoryLoad = system.dwMemoryLoad;
  status->dwTotalPhys = Clamp32(system.dwTotalPhys);
  status->dwAvailPhys = Clamp32(system.dwAvailPhys);
  status->dwTotalPageFile = Clamp32(system.dwTotalPageFile);
  status->dwAvailPageFile = Clamp32(system.dwAvailPageFile);
  status->dwTotalVirtual = Clamp32(system.dwTotalVirtual);
  status->dwAvailVirtual = Clamp32(system.dwAvailVirtual);
}

HMODULE Win32Kernel::LoadLibraryA(const char* name) {
  // Only the system directory is searched: a DLL of the same name planted
  // beside the executable or in the current folder is never loaded. A name
  // with a path in it is refused for the same reason.
  if (name == nullptr || *name == '\0' || std::strpbrk(name, "\\/:") != nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string file = name;
  if (!HasExtension(file)) file += ".dll";

  wchar_t wideDir[MAX_PATH + 1];
  const UINT wideLength = ::GetSystemDirectoryW(wideDir, MAX_PATH + 1);
  if (wideLength > 0 && wideLength <= MAX_PATH) {
    const std::wstring path = std::wstring(wideDir, wideLength) + L"\\" + Wide(file);
    return ::LoadLibraryW(path.c_str());
  }
  if (!WideCallMissing()) return nullptr;
  char ansiDir[MAX_PATH + 1];
  const UINT ansiLength = ::GetSystemDirectoryA(ansiDir, MAX_PATH + 1);
  if (ansiLength == 0 || ansiLength > MAX_PATH) return nullptr;
  const std::string path = std::string(ansiDir, ansiLength) + "\\" + ToAnsi(file);
  return ::LoadLibraryA(path.c_str());
}

FARPROC Win32Kernel::GetProcAddress(HMODULE module, const char* name) {
  return reinterpret_cast<FARPROC>(::GetProcAddress(static_cast<::HMODULE>(module), name));
}

HMODULE Win32Kernel::GetModuleHandleA(const char* name) { return ::GetModuleHandleA(name); }

BOOL Win32Kernel::FreeLibrary(HMODULE module) {
  return ::FreeLibrary(static_cast<::HMODULE>(module));
}

std::string Win32Kernel::GetModuleFileNameA() {
  // GetModuleFileName cuts the path to the buffer without saying so except
  // by filling it completely: grow until it fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) break;
    if (length < size) return Utf8(buffer.data(), length);
    if (buffer.size() >= 32768) return Utf8(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
  if (!WideCallMissing()) return {};
  char ansi[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, ansi, MAX_PATH);
  return FromAnsi(ansi, length);
}

DWORD Win32Kernel::GetFileAttributesA(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES || !WideCallMissing()) return attributes;
  return ::GetFileAttributesA(ToAnsi(path).c_str());
}

HGLOBAL Win32Kernel::GlobalAlloc(UINT flags, size_t bytes) { return ::GlobalAlloc(flags, bytes); }

void* Win32Kernel::GlobalLock(HGLOBAL memory) { return ::GlobalLock(memory); }

BOOL Win32Kernel::GlobalUnlock(HGLOBAL memory) { return ::GlobalUnlock(memory); }

HGLOBAL Win32Kernel::GlobalFree(HGLOBAL memory) { return ::GlobalFree(memory); }

void Win32Kernel::Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

DWORD Win32Kernel::GetTickCount() { return ::GetTickCount(); }

void Win32Kernel::GetLocalTime(SYSTEMTIME* time) {
  ::SYSTEMTIME t{};
  ::GetLocalTime(&t);
  *time = {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// --- Profile ---------------------------------------------------------------
//
// The settings file is read and written by the system's private-profile
// functions in their ANSI form, as the program has always used them: the
// file stays in the system's code page, which is what Windows itself writes.
// A path with characters outside that code page cannot be named in ANSI at
// all; such a path (NT family only) goes through the wide functions, which
// keep the file in the same code page.

namespace {

// An optional ANSI argument: null stays null.
class AnsiArg {
 public:
  explicit AnsiArg(const char* utf8) : FNull(utf8 == nullptr) {
    if (!FNull) FText = ToAnsi(utf8);
  }
  const char* Get() const { return FNull ? nullptr : FText.c_str(); }

 private:
  bool FNull;
  std::string FText;
};

class WideArg {
 public:
  explicit WideArg(const char* utf8) : FNull(utf8 == nullptr) {
    if (!FNull) FText = Wide(utf8);
  }
  const wchar_t* Get() const { return FNull ? nullptr : FText.c_str(); }

 private:
  bool FNull;
  std::wstring FText;
};

// The path in ANSI, or nothing when ANSI cannot name it.
bool AnsiPath(const std::string& path, std::string& ansi) {
  bool lossless = true;
  ansi = ToAnsi(path, &lossless);
  return lossless;
}

// GetPrivateProfileString reports a cut value by filling the buffer: size - 1
// characters for one value, size - 2 for a list of names.
template <class Char, class Read>
std::basic_string<Char> ReadGrowing(Read read) {
  std::vector<Char> buffer(256);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = read(buffer.data(), size);
    if (length + 2 < size || size >= (1u << 20))
      return std::basic_string<Char>(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

int Win32Profile::GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                                        const std::string& path) {
  std::string ansiPath;
  if (AnsiPath(path, ansiPath))
    return static_cast<int>(::GetPrivateProfileIntA(AnsiArg(section).Get(), AnsiArg(key).Get(),
                                                    defaultValue, ansiPath.c_str()));
  return static_cast<int>(::GetPrivateProfileIntW(WideArg(section).Get(), WideArg(key).Get(),
                                                  defaultValue, Wide(path).c_str()));
}

std::string Win32Profile::GetPrivateProfileStringA(const char* section, const char* key,
                                                   const char* defaultValue,
                                                   const std::string& path) {
  std::string ansiPath;
  if (AnsiPath(path, ansiPath)) {
    const AnsiArg s(section), k(key), d(defaultValue);
    const std::string value = ReadGrowing<char>([&](char* buffer, DWORD size) {
      return ::GetPrivateProfileStringA(s.Get(), k.Get(), d.Get(), buffer, size, ansiPath.c_str());
    });
    return FromAnsi(value.data(), value.size());
  }
  const WideArg s(section), k(key), d(defaultValue);
  const std::wstring widePath = Wide(path);
  const std::wstring value = ReadGrowing<wchar_t>([&](wchar_t* buffer, DWORD size) {
    return ::GetPrivateProfileStringW(s.Get(), k.Get(), d.Get(), buffer, size, widePath.c_str());
  });
  return Utf8(value);
}

BOOL Win32Profile::WritePrivateProfileStringA(const char* section, const char* key,
                                              const char* value, const std::string& path) {
  std::string ansiPath;
  if (AnsiPath(path, ansiPath))
    return ::WritePrivateProfileStringA(AnsiArg(section).Get(), AnsiArg(key).Get(),
                                        AnsiArg(value).Get(), ansiPath.c_str());
  return ::WritePrivateProfileStringW(WideArg(section).Get(), WideArg(key).Get(),
                                      WideArg(value).Get(), Wide(path).c_str());
}

}  // namespace norva::platform::win32
