// The simulated desktop services for tests: hotkeys with scripted refusals,
// icons made and destroyed (counted, so a leak shows), and the current
// user's registry values in a map.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace norva::platform::fake {

struct HotKeyRegistration {
  HWND window;
  int id;
  UINT modifiers;
  UINT virtualKey;
};

class FakeDesktop : public IDesktop {
 public:
  // Combinations another program holds: (modifiers without MOD_NOREPEAT, key).
  std::set<std::pair<UINT, UINT>> heldElsewhere;
  // Registered now, by (window, id).
  std::map<std::pair<HWND, int>, HotKeyRegistration> hotKeys;
  int registerCalls = 0;

  int smallIconSize = 16;  // at 96 pixels per inch
  int taskbarPixelsPerInch = 0;
  // Every icon made, with its pixels; the ones not destroyed yet.
  std::map<HICON, std::vector<uint32_t>> liveIcons;
  int iconsCreated = 0;
  int iconsDestroyed = 0;
  // The icon resources loaded unshared (their size), which DestroyIcon frees
  // too; kept apart from the icons made from pixels.
  std::map<HICON, int> resourceIcons;
  HICON AddResourceIcon(int size);

  BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) override;
  BOOL UnregisterHotKey(HWND window, int id) override;
  // At another scale than 96 the size grows by as much (as the system's
  // small-icon metric does: 20 at 120, 24 at 144, 32 at 192).
  int SmallIconSize(int pixelsPerInch) override {
    return pixelsPerInch > 0 ? smallIconSize * pixelsPerInch / 96 : smallIconSize;
  }
  int TaskbarPixelsPerInch() override { return taskbarPixelsPerInch; }
  HICON CreateIconFromPixels(int size, const std::vector<uint32_t>& argb) override;
  BOOL DestroyIcon(HICON icon) override;
  // The clipboard's text; a refusal scripted with clipboardBusy.
  std::string clipboard;
  bool clipboardBusy = false;
  BOOL SetClipboardText(HWND, const std::string& text) override {
    if (clipboardBusy) return 0;
    clipboard = text;
    return 1;
  }

 private:
  uintptr_t FNextIcon = 0x50000;
};

class FakeUserRegistry : public IUserRegistry {
 public:
  // Values by key path and value name (letter case as written).
  std::map<std::pair<std::string, std::string>, std::string> values;
  int writes = 0;
  int deletes = 0;
  // A code other than ERROR_SUCCESS makes every write or delete fail with it
  // and change nothing (a key another program or a policy holds).
  LONG failSet = 0;
  LONG failDelete = 0;

  LONG GetStringValue(const std::string& subKey, const std::string& name,
                      std::string& value) override;
  LONG SetStringValue(const std::string& subKey, const std::string& name,
                      const std::string& value) override;
  LONG DeleteValue(const std::string& subKey, const std::string& name) override;
};

}  // namespace norva::platform::fake
