// Operating-system operations the program uses, one small interface per area,
// named and shaped after the Win32 calls they stand for. The Win32 record
// layouts the program reads are declared here so they exist on Linux too.
//
// Text crosses this interface as UTF-8; the Win32 implementation converts at
// the call (to the ANSI code page for the profile functions, to UTF-16 for
// everything shown on screen).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32) && !defined(_WIN64)
#define NORVA_WINAPI __stdcall
#else
#define NORVA_WINAPI
#endif

namespace norva::win {

using BOOL = int32_t;
using DWORD = uint32_t;
using DWORDLONG = uint64_t;
using UINT = uint32_t;
using LONG = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HANDLE = void*;
using HMODULE = void*;
using HWND = void*;
using HICON = void*;
using HBITMAP = void*;
using HDC = void*;
using HKEY = void*;
using HGLOBAL = void*;
using FARPROC = void*;

// 32-bit layout (as on the 9x family and in every 32-bit process).
struct MEMORYSTATUS {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  DWORD dwTotalPhys;
  DWORD dwAvailPhys;
  DWORD dwTotalPageFile;
  DWORD dwAvailPageFile;
  DWORD dwTotalVirtual;
  DWORD dwAvailVirtual;
};
static_assert(sizeof(MEMORYSTATUS) == 32);

struct MEMORYSTATUSEX {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  DWORDLONG ullTotalPhys;
  DWORDLONG ullAvailPhys;
  DWORDLONG ullTotalPageFile;
  DWORDLONG ullAvailPageFile;
  DWORDLONG ullTotalVirtual;
  DWORDLONG ullAvailVirtual;
  DWORDLONG ullAvailExtendedVirtual;
};
static_assert(sizeof(MEMORYSTATUSEX) == 64);

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

// A date and time as GetLocalTime gives it.
struct SYSTEMTIME {
  uint16_t wYear;
  uint16_t wMonth;
  uint16_t wDayOfWeek;
  uint16_t wDay;
  uint16_t wHour;
  uint16_t wMinute;
  uint16_t wSecond;
  uint16_t wMilliseconds;
};
static_assert(sizeof(SYSTEMTIME) == 16);

// One display monitor as GetMonitorInfo describes it, in screen pixels (a
// monitor left of or above the primary one has negative coordinates).
constexpr DWORD MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
  DWORD cbSize;
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags;
};

// The signature of GlobalMemoryStatusEx, looked up by name at run time.
using GlobalMemoryStatusExProc = BOOL(NORVA_WINAPI*)(MEMORYSTATUSEX*);
// The 9x free-resources export "_MyGetFreeSystemResources32@4" of rsrc32.dll.
using GetFreeSystemResourcesProc = DWORD(NORVA_WINAPI*)(DWORD kind);
// SYSTEM_BASIC_INFORMATION as NtQuerySystemInformation (class 0) fills it:
// three pointer-sized fields precede NumberOfProcessors, so its place and the
// record's size differ between 32- and 64-bit processes, and the call
// refuses any other size.
constexpr DWORD SYSTEM_BASIC_INFORMATION_SIZE = sizeof(void*) == 8 ? 64 : 44;
constexpr size_t NUMBER_OF_PROCESSORS_OFFSET = sizeof(void*) == 8 ? 56 : 40;
// NtQuerySystemInformation of ntdll, looked up by name; 0 is success.
using NtQuerySystemInformationProc = LONG(NORVA_WINAPI*)(UINT infoClass, void* buffer, DWORD length,
                                                         DWORD* returnLength);

constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;

inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));
constexpr UINT SWP_NOSIZE = 0x1;
constexpr UINT SWP_NOMOVE = 0x2;
constexpr UINT SWP_SHOWWINDOW = 0x40;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int VK_SHIFT = 0x10;

constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_MOVE = 0x0003;
// wParam: the new pixels per inch (twice); lParam: the suggested window RECT.
constexpr UINT WM_DPICHANGED = 0x02E0;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_USER = 0x0400;
constexpr LRESULT HTCAPTION = 2;

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 1;
constexpr UINT NIF_ICON = 2;
constexpr UINT NIF_TIP = 4;

constexpr UINT SND_ASYNC = 0x1;
constexpr UINT SND_NODEFAULT = 0x2;
constexpr UINT SND_NOSTOP = 0x10;

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_DEFAULTSIZE = 0x40;
constexpr UINT LR_SHARED = 0x8000;

constexpr UINT GMEM_FIXED = 0x0;
constexpr UINT GMEM_MOVEABLE = 0x2;

inline HKEY const HKEY_DYN_DATA = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000006u));
constexpr DWORD REG_DWORD = 4;
constexpr DWORD KEY_ALL_ACCESS = 0xF003F;

}  // namespace norva::win

namespace norva::platform {

using namespace norva::win;

// The fields of NOTIFYICONDATA the program fills. The Win32 side builds the
// record of the system's own layout (zeroed, cbSize set, uID 0) from these.
struct NotifyIconData {
  HWND hWnd = nullptr;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  std::string szTip;  // cut to the record's 128 bytes, zero-terminated
  // The balloon (NIF_INFO): its text (empty hides the one shown), its
  // title and icon kind.
  std::string szInfo;
  std::string szInfoTitle;
  DWORD dwInfoFlags = 0;
};

// A bitmap read from a file: its handle and pixel size.
struct LoadedBitmap {
  HBITMAP handle = nullptr;
  int width = 0;
  int height = 0;
};

class IKernel {
 public:
  virtual ~IKernel() = default;
  // No security attributes, not initially owned.
  virtual HANDLE CreateMutexA(const char* name) = 0;
  virtual DWORD GetLastError() = 0;
  virtual BOOL GetVersionExA(OSVERSIONINFOA* info) = 0;
  virtual void GlobalMemoryStatus(MEMORYSTATUS* status) = 0;
  // Loads a system library by name from the system directory only: a DLL of
  // the same name beside the executable or in the current folder is never
  // taken.
  virtual HMODULE LoadLibraryA(const char* name) = 0;
  virtual FARPROC GetProcAddress(HMODULE module, const char* name) = 0;
  virtual HMODULE GetModuleHandleA(const char* name) = 0;
  virtual BOOL FreeLibrary(HMODULE module) = 0;
  // The executable's full path, however long the platform makes it.
  virtual std::string GetModuleFileNameA() = 0;
  virtual DWORD GetFileAttributesA(const std::string& path) = 0;
  virtual HGLOBAL GlobalAlloc(UINT flags, size_t bytes) = 0;
  virtual void* GlobalLock(HGLOBAL memory) = 0;
  virtual BOOL GlobalUnlock(HGLOBAL memory) = 0;
  virtual HGLOBAL GlobalFree(HGLOBAL memory) = 0;
  virtual void Sleep(DWORD milliseconds) = 0;
  virtual DWORD GetTickCount() = 0;
  // The local date and time (the cleaning history's time stamps).
  virtual void GetLocalTime(SYSTEMTIME* time) { *time = SYSTEMTIME{}; }
};

// The private-profile (INI) functions.
class IProfile {
 public:
  virtual ~IProfile() = default;
  virtual int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                                    const std::string& path) = 0;
  // The value (or the default) with nothing cut off.
  virtual std::string GetPrivateProfileStringA(const char* section, const char* key,
                                               const char* defaultValue,
                                               const std::string& path) = 0;
  // A null value deletes the key; section, key and value all null flush the file.
  virtual BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                          const std::string& path) = 0;
};

class IUser {
 public:
  virtual ~IUser() = default;
  virtual int MessageBoxA(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) = 0;
  virtual int GetSystemMetrics(int index) = 0;
  virtual BOOL GetCursorPos(POINT* point) = 0;
  virtual BOOL SetCursorPos(int x, int y) = 0;
  virtual int16_t GetKeyState(int virtualKey) = 0;
  virtual UINT RegisterWindowMessageA(const char* name) = 0;
  virtual BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual BOOL ShowWindow(HWND window, int command) = 0;
  virtual BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                            UINT flags) = 0;
  virtual BOOL SetForegroundWindow(HWND window) = 0;
  virtual HWND GetDesktopWindow() = 0;
  virtual LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // An icon of the program's own resources (LoadImageA with IMAGE_ICON).
  virtual HICON LoadIconResource(const char* name, int cx, int cy, UINT flags) = 0;
  // The application's own icon (the first icon group of the executable).
  virtual HICON ApplicationIcon() = 0;
  // A bitmap file; a handle of null when the file is missing or no bitmap.
  virtual LoadedBitmap LoadBitmapFile(const std::string& path) = 0;
  virtual void DeleteBitmap(HBITMAP bitmap) = 0;
  // DefWindowProcA(GetDesktopWindow(), WM_ICONERASEBKGND, dc, 0) on the
  // window's own device context: the desktop wallpaper behind the window is
  // painted into it. dc null: the window's own context is taken for the call.
  virtual void PaintDesktopWallpaper(HWND window, HDC dc) {
    (void)window;
    (void)dc;
  }
  // Plays the system's default beep (type 0).
  virtual BOOL MessageBeep(UINT type) {
    (void)type;
    return 0;
  }
  // Whether a font family of this name is installed (EnumFontFamiliesEx).
  virtual bool FontFamilyInstalled(const std::string& face) {
    (void)face;
    return true;
  }
  // The face of the system's message font (SystemParametersInfo).
  virtual std::string MessageFontFace() { return {}; }
  // The language of the user's interface, a LANGID
  // (GetUserDefaultUILanguage; GetUserDefaultLangID where that is missing).
  virtual unsigned short UserDefaultUILanguage() { return 0; }
  // Every display monitor (EnumDisplayMonitors, then GetMonitorInfo on
  // each), never none. Those calls are looked up by name: where the system
  // lacks them, the primary screen alone, from GetSystemMetrics.
  virtual std::vector<MONITORINFO> DisplayMonitors();
};

class IShell {
 public:
  virtual ~IShell() = default;
  virtual BOOL Shell_NotifyIconA(DWORD message, const NotifyIconData& data) = 0;
};

class ISound {
 public:
  virtual ~ISound() = default;
  virtual BOOL sndPlaySoundA(const std::string& path, UINT flags) = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access,
                             HKEY* result) = 0;
  virtual LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, void* data,
                                DWORD* size) = 0;
  virtual LONG RegCloseKey(HKEY key) = 0;
};

class IToolhelp;  // platform/Toolhelp.h
class IProcess;   // platform/Toolhelp.h
IToolhelp& NoToolhelp();
IProcess& NoProcessCalls();
class IDesktop;       // platform/Desktop.h
class IUserRegistry;  // platform/Desktop.h
IDesktop& NoDesktop();
IUserRegistry& NoUserRegistry();
class IForeground;  // platform/Foreground.h
class IFiles;       // platform/Files.h
IForeground& NoForeground();
IFiles& NoFiles();
class IAccessibility;  // platform/Accessibility.h
IAccessibility& NoAccessibility();

// The operating system as the program sees it: the real one or the fake.
struct Platform {
  IKernel& kernel;
  IProfile& profile;
  IUser& user;
  IShell& shell;
  ISound& sound;
  IRegistry& registry;
  IToolhelp& toolhelp = NoToolhelp();
  IProcess& process = NoProcessCalls();
  IDesktop& desktop = NoDesktop();
  IUserRegistry& userRegistry = NoUserRegistry();
  IForeground& foreground = NoForeground();
  IFiles& files = NoFiles();
  IAccessibility& accessibility = NoAccessibility();
};

// The platform in use; installed once by the process entry or by a test.
Platform& Os();
void InstallPlatform(Platform* platform);

}  // namespace norva::platform
