#include "platform/win32/Win32Desktop.h"

#include <cstring>

#include "platform/win32/LateBound.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

namespace norva::platform::win32 {

namespace {

struct RegKeyTraits {
  using Handle = ::HKEY;
  static Handle None() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};
using ScopedKey = Scoped<RegKeyTraits>;

// HKEY_CURRENT_USER as the system defines it: the 32-bit value, sign-extended.
::HKEY CurrentUser() {
  return reinterpret_cast<::HKEY>(static_cast<intptr_t>(static_cast<int32_t>(0x80000001u)));
}

}  // namespace

BOOL Win32Desktop::RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
  // Systems before Windows 7 refuse MOD_NOREPEAT as an invalid parameter;
  // they then get the combination without it.
  if (::RegisterHotKey(static_cast<::HWND>(window), id, modifiers, virtualKey)) return TRUE;
  if ((modifiers & MOD_NOREPEAT) == 0 || ::GetLastError() != ERROR_INVALID_PARAMETER) return FALSE;
  return ::RegisterHotKey(static_cast<::HWND>(window), id, modifiers & ~MOD_NOREPEAT, virtualKey);
}

BOOL Win32Desktop::SetClipboardText(HWND owner, const std::string& text) {
  const std::wstring wide = Wide(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  ::HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return FALSE;
  void* target = ::GlobalLock(memory);
  if (target == nullptr) {
    ::GlobalFree(memory);
    return FALSE;
  }
  std::memcpy(target, wide.c_str(), bytes);
  ::GlobalUnlock(memory);
  // The clipboard owns the memory once SetClipboardData succeeds.
  if (!::OpenClipboard(static_cast<::HWND>(owner))) {
    ::GlobalFree(memory);
    return FALSE;
  }
  const bool placed = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  if (!placed) ::GlobalFree(memory);
  ::CloseClipboard();
  return placed ? TRUE : FALSE;
}

BOOL Win32Desktop::UnregisterHotKey(HWND window, int id) {
  return ::UnregisterHotKey(static_cast<::HWND>(window), id);
}

int Win32Desktop::SmallIconSize(int pixelsPerInch) {
  const auto forDpi = LateGetSystemMetricsForDpi();
  int size = pixelsPerInch > 0 && forDpi != nullptr
                 ? forDpi(SM_CXSMICON, static_cast<UINT>(pixelsPerInch))
                 : 0;
  if (size <= 0) size = ::GetSystemMetrics(SM_CXSMICON);
  return size > 0 ? size : 16;
}

int Win32Desktop::TaskbarPixelsPerInch() {
  // The shell's taskbar window lies on the monitor whose tray shows the
  // icon; without GetDpiForWindow every monitor has the screen's scale.
  const auto forWindow = LateGetDpiForWindow();
  if (forWindow == nullptr) return 0;
  const ::HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  return taskbar != nullptr ? static_cast<int>(forWindow(taskbar)) : 0;
}

HICON Win32Desktop::CreateIconFromPixels(int size, const std::vector<uint32_t>& argb) {
  if (size <= 0 || argb.size() != static_cast<size_t>(size) * static_cast<size_t>(size))
    return nullptr;
  // A top-down 32-bit colour bitmap with its alpha, and a mask bitmap (all
  // zero: the alpha decides) as CreateIconIndirect wants them.
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof(header);
  header.bV5Width = size;
  header.bV5Height = -size;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  const ScopedWindowDc screen(nullptr);
  ScopedBitmap color(::CreateDIBSection(screen.Get(), reinterpret_cast<BITMAPINFO*>(&header),
                                        DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!color || bits == nullptr) return nullptr;
  std::memcpy(bits, argb.data(), argb.size() * sizeof(uint32_t));
  ScopedBitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
  if (!mask) return nullptr;
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color.Get();
  info.hbmMask = mask.Get();
  // The icon holds copies of both bitmaps; ours go with their owners.
  return ::CreateIconIndirect(&info);
}

BOOL Win32Desktop::DestroyIcon(HICON icon) { return ::DestroyIcon(static_cast<::HICON>(icon)); }

LONG Win32UserRegistry::GetStringValue(const std::string& subKey, const std::string& name,
                                       std::string& value) {
  ::HKEY opened = nullptr;
  LONG status =
      ::RegOpenKeyExW(CurrentUser(), Wide(subKey).c_str(), 0, KEY_QUERY_VALUE, &opened);
  if (status != ERROR_SUCCESS) return status;
  const ScopedKey key(opened);
  const std::wstring valueName = Wide(name);
  ::DWORD type = 0;
  ::DWORD bytes = 0;
  status = ::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &bytes);
  if (status != ERROR_SUCCESS) return status;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_FILE_NOT_FOUND;
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<::DWORD>(text.size() * sizeof(wchar_t));
  status = ::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(text.data()), &bytes);
  if (status != ERROR_SUCCESS) return status;
  // The stored text need not end in a zero; take it up to the first one.
  text.resize(std::wcslen(text.c_str()));
  value = Utf8(text);
  return ERROR_SUCCESS;
}

LONG Win32UserRegistry::SetStringValue(const std::string& subKey, const std::string& name,
                                       const std::string& value) {
  ::HKEY created = nullptr;
  LONG status = ::RegCreateKeyExW(CurrentUser(), Wide(subKey).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &created, nullptr);
  if (status != ERROR_SUCCESS) return status;
  const ScopedKey key(created);
  const std::wstring text = Wide(value);
  return ::RegSetValueExW(key.Get(), Wide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<::DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LONG Win32UserRegistry::DeleteValue(const std::string& subKey, const std::string& name) {
  ::HKEY opened = nullptr;
  const LONG status =
      ::RegOpenKeyExW(CurrentUser(), Wide(subKey).c_str(), 0, KEY_SET_VALUE, &opened);
  if (status != ERROR_SUCCESS) return status;
  const ScopedKey key(opened);
  return ::RegDeleteValueW(key.Get(), Wide(name).c_str());
}

}  // namespace norva::platform::win32
