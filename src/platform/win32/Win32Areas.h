// The Win32 implementations of the platform areas (private to this folder;
// the rest of the program reaches them through Win32Platform()).
#pragma once

#include "platform/Files.h"
#include "platform/Platform.h"

namespace norva::platform::win32 {

class Win32Kernel final : public IKernel {
 public:
  HANDLE CreateMutexA(const char* name) override;
  DWORD GetLastError() override;
  BOOL GetVersionExA(OSVERSIONINFOA* info) override;
  void GlobalMemoryStatus(MEMORYSTATUS* status) override;
  HMODULE LoadLibraryA(const char* name) override;
  FARPROC GetProcAddress(HMODULE module, const char* name) override;
  HMODULE GetModuleHandleA(const char* name) override;
  BOOL FreeLibrary(HMODULE module) override;
  std::string GetModuleFileNameA() override;
  DWORD GetFileAttributesA(const std::string& path) override;
  HGLOBAL GlobalAlloc(UINT flags, size_t bytes) override;
  void* GlobalLock(HGLOBAL memory) override;
  BOOL GlobalUnlock(HGLOBAL memory) override;
  HGLOBAL GlobalFree(HGLOBAL memory) override;
  void Sleep(DWORD milliseconds) override;
  DWORD GetTickCount() override;
  void GetLocalTime(SYSTEMTIME* time) override;
};

class Win32Profile final : public IProfile {
 public:
  int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                            const std::string& path) override;
  std::string GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultValue, const std::string& path) override;
  BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                  const std::string& path) override;
};

class Win32User final : public IUser {
 public:
  int MessageBoxA(HWND owner, const std::string& text, const std::string& caption,
                  UINT type) override;
  int GetSystemMetrics(int index) override;
  BOOL GetCursorPos(POINT* point) override;
  BOOL SetCursorPos(int x, int y) override;
  int16_t GetKeyState(int virtualKey) override;
  UINT RegisterWindowMessageA(const char* name) override;
  BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL ShowWindow(HWND window, int command) override;
  BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                    UINT flags) override;
  BOOL SetForegroundWindow(HWND window) override;
  HWND GetDesktopWindow() override;
  LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  HICON LoadIconResource(const char* name, int cx, int cy, UINT flags) override;
  HICON ApplicationIcon() override;
  LoadedBitmap LoadBitmapFile(const std::string& path) override;
  void DeleteBitmap(HBITMAP bitmap) override;
  void PaintDesktopWallpaper(HWND window, HDC dc) override;
  BOOL MessageBeep(UINT type) override;
  bool FontFamilyInstalled(const std::string& face) override;
  std::string MessageFontFace() override;
  unsigned short UserDefaultUILanguage() override;
  std::vector<MONITORINFO> DisplayMonitors() override;
};

class Win32Shell final : public IShell {
 public:
  BOOL Shell_NotifyIconA(DWORD message, const NotifyIconData& data) override;
};

class Win32Sound final : public ISound {
 public:
  BOOL sndPlaySoundA(const std::string& path, UINT flags) override;
};

class Win32Registry final : public IRegistry {
 public:
  LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access,
                     HKEY* result) override;
  LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, void* data,
                        DWORD* size) override;
  LONG RegCloseKey(HKEY key) override;
};

class Win32Files final : public IFiles {
 public:
  HANDLE CreateFileW(const std::string& path, DWORD access, DWORD disposition) override;
  BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) override;
  BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) override;
  BOOL FlushFileBuffers(HANDLE file) override;
  BOOL CloseHandle(HANDLE file) override;
  BOOL MoveFileExW(const std::string& from, const std::string& to, DWORD flags) override;
  BOOL DeleteFileW(const std::string& path) override;
  DWORD GetFileAttributesW(const std::string& path) override;
  DWORD GetLastError() override;
  std::string ErrorText(DWORD error) override;
  std::string ToAnsi(const std::string& utf8) override;
};

}  // namespace norva::platform::win32
