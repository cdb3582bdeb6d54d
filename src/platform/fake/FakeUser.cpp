#include "platform/fake/FakeUser.h"

#include <cstring>

#include "platform/BitmapFile.h"
#include "platform/Text.h"
#include "platform/fake/FakeKernel.h"

namespace norva::platform::fake {

namespace {

constexpr LONG kErrorSuccess = 0;
constexpr LONG kErrorFileNotFound = 2;
constexpr LONG kErrorInvalidHandle = 6;
constexpr LONG kErrorMoreData = 234;
constexpr UINT kButtonsMask = 0xF;

}  // namespace

// --- User --------------------------------------------------------------------

int FakeUser::MessageBoxA(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) {
  messageBoxes.push_back({owner, text, caption, type});
  if (whileMessageBox) whileMessageBox(owner);
  if (!messageBoxAnswers.empty()) {
    const int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
  }
  return (type & kButtonsMask) == MB_YESNO ? yesNoAnswer : IDOK;
}

int FakeUser::GetSystemMetrics(int index) {
  if (index == SM_CXSCREEN) return screenWidth;
  if (index == SM_CYSCREEN) return screenHeight;
  return 0;
}

void FakeUser::AddMonitor(RECT area, bool primary) {
  monitors.push_back({sizeof(MONITORINFO), area, area, primary ? MONITORINFOF_PRIMARY : 0});
  if (primary) {
    screenWidth = area.right - area.left;
    screenHeight = area.bottom - area.top;
  }
}

std::vector<MONITORINFO> FakeUser::DisplayMonitors() {
  return monitors.empty() ? IUser::DisplayMonitors() : monitors;
}

BOOL FakeUser::GetCursorPos(POINT* point) {
  if (point == nullptr) return 0;
  *point = cursor;
  return 1;
}

BOOL FakeUser::SetCursorPos(int x, int y) {
  cursor = {x, y};
  cursorMoves.push_back(cursor);
  return 1;
}

void FakeUser::SetKeyDown(int virtualKey, bool down) {
  keyState[virtualKey] = down ? static_cast<int16_t>(0x8000) : int16_t{0};
}

int16_t FakeUser::GetKeyState(int virtualKey) {
  const auto it = keyState.find(virtualKey);
  return it != keyState.end() ? it->second : int16_t{0};
}

UINT FakeUser::RegisterWindowMessageA(const char* name) {
  if (name == nullptr || *name == '\0') return 0;
  // Registered messages are numbered from 0xC000; the same name (in any
  // letter case) always gives the same number.
  const std::string key = text::ToLowerAscii(name);
  const auto it = FRegisteredMessages.find(key);
  if (it != FRegisteredMessages.end()) return it->second;
  const UINT number = 0xC000 + static_cast<UINT>(FRegisteredMessages.size());
  FRegisteredMessages.emplace(key, number);
  return number;
}

BOOL FakeUser::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const PostedMessage m{window, message, wParam, lParam};
  messageQueue.push_back(m);
  postedMessages.push_back(m);
  return 1;
}

BOOL FakeUser::ShowWindow(HWND window, int command) {
  showWindowCalls.push_back({window, command});
  // The answer is whether the window was visible before the call.
  bool& visible = FVisible[window];
  const bool was = visible;
  visible = command != SW_HIDE;
  return was ? 1 : 0;
}

BOOL FakeUser::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                            UINT flags) {
  setWindowPosCalls.push_back({window, insertAfter, x, y, cx, cy, flags});
  return 1;
}

BOOL FakeUser::SetForegroundWindow(HWND window) {
  foregroundCalls.push_back(window);
  return 1;
}

LRESULT FakeUser::DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  defWindowProcCalls.push_back({window, message, wParam, lParam});
  return 0;
}

HICON FakeUser::LoadIconResource(const char* name, int cx, int, UINT flags) {
  const std::string n = name != nullptr ? name : "";
  iconLoads.push_back(n);
  if (knownIcons.count(n) == 0) return nullptr;
  if ((flags & LR_SHARED) == 0 && makeOwnedIcon) {
    const HICON own = makeOwnedIcon(cx);
    FOwnedIcons[own] = n;
    return own;
  }
  HICON& icon = FIcons[n];
  // Shared icons: the same resource always gives the same handle.
  if (icon == nullptr) icon = reinterpret_cast<HICON>(uintptr_t{0x20100} + 0x10 * FIcons.size());
  return icon;
}

std::string FakeUser::IconName(HICON icon) const {
  if (const auto own = FOwnedIcons.find(icon); own != FOwnedIcons.end()) return own->second;
  for (const auto& [name, handle] : FIcons)
    if (handle == icon && icon != nullptr) return name;
  return "";
}

LoadedBitmap FakeUser::LoadBitmapFile(const std::string& path) {
  ++bitmapLoads;
  const std::pair<int, int>* size = FKernel.BitmapSize(path);
  // The real loader refuses pictures beyond the same bound.
  if (size == nullptr || !BitmapSizeAllowed(size->first, size->second)) return {};
  const auto handle = reinterpret_cast<HBITMAP>(FNextBitmap);
  FNextBitmap += 4;
  liveBitmaps.insert(handle);
  return {handle, size->first, size->second};
}

void FakeUser::DeleteBitmap(HBITMAP bitmap) {
  deletedBitmaps.push_back(bitmap);
  liveBitmaps.erase(bitmap);
}

// --- Shell -------------------------------------------------------------------

BOOL FakeShell::Shell_NotifyIconA(DWORD message, const NotifyIconData& data) {
  notifyIconCalls.push_back({message, data});
  return result;
}

bool FakeShell::IconAdded(HWND window) const { return CurrentIcon(window).has_value(); }

std::optional<NotifyIconData> FakeShell::CurrentIcon(HWND window) const {
  std::optional<NotifyIconData> icon;
  for (const NotifyIconCall& call : notifyIconCalls) {
    if (call.data.hWnd != window) continue;
    if (call.message == NIM_ADD) {
      icon = call.data;
    } else if (call.message == NIM_DELETE) {
      icon.reset();
    } else if (call.message == NIM_MODIFY && icon) {
      if (call.data.uFlags & NIF_MESSAGE) icon->uCallbackMessage = call.data.uCallbackMessage;
      if (call.data.uFlags & NIF_ICON) icon->hIcon = call.data.hIcon;
      if (call.data.uFlags & NIF_TIP) icon->szTip = call.data.szTip;
    }
  }
  return icon;
}

// --- Sound -------------------------------------------------------------------

BOOL FakeSound::sndPlaySoundA(const std::string& path, UINT flags) {
  plays.push_back({path, flags});
  return result;
}

// --- Registry ----------------------------------------------------------------

void FakeRegistry::SetDynData(const std::string& key, const std::string& value, DWORD data) {
  dynDataKeys.insert(key);
  FValues[{text::ToLowerAscii(key), text::ToLowerAscii(value)}] = data;
}

bool FakeRegistry::KeyExists(const std::string& key) const {
  for (const std::string& k : dynDataKeys)
    if (text::ToLowerAscii(k) == text::ToLowerAscii(key)) return true;
  return false;
}

LONG FakeRegistry::RegOpenKeyExA(HKEY root, const char* subKey, DWORD, DWORD, HKEY* result) {
  const std::string name = subKey != nullptr ? subKey : "";
  LONG status = kErrorSuccess;
  if (result == nullptr)
    status = kErrorInvalidHandle;
  else if (root != HKEY_DYN_DATA || !KeyExists(name))
    status = kErrorFileNotFound;
  if (status == kErrorSuccess) {
    *result = reinterpret_cast<HKEY>(FNextKey);
    FNextKey += 4;
    FOpen[*result] = name;
  }
  calls.push_back({RegistryCall::Open, name, status});
  return status;
}

LONG FakeRegistry::RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, void* data,
                                    DWORD* size) {
  const std::string name = valueName != nullptr ? valueName : "";
  LONG status = kErrorSuccess;
  const auto open = FOpen.find(key);
  std::map<std::pair<std::string, std::string>, DWORD>::const_iterator value;
  if (open == FOpen.end()) {
    status = kErrorInvalidHandle;
  } else if ((value = FValues.find({text::ToLowerAscii(open->second), text::ToLowerAscii(name)})) ==
             FValues.end()) {
    status = kErrorFileNotFound;
  } else if (size != nullptr && data != nullptr && *size < sizeof(DWORD)) {
    *size = sizeof(DWORD);
    status = kErrorMoreData;
  } else {
    if (type != nullptr) *type = REG_DWORD;
    if (data != nullptr) std::memcpy(data, &value->second, sizeof(DWORD));
    if (size != nullptr) *size = sizeof(DWORD);
  }
  calls.push_back({RegistryCall::Query, name, status});
  return status;
}

LONG FakeRegistry::RegCloseKey(HKEY key) {
  const auto open = FOpen.find(key);
  const LONG status = open != FOpen.end() ? kErrorSuccess : kErrorInvalidHandle;
  calls.push_back({RegistryCall::Close, open != FOpen.end() ? open->second : "", status});
  if (open != FOpen.end()) FOpen.erase(open);
  return status;
}

}  // namespace norva::platform::fake
