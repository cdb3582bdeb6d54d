#include "platform/fake/FakeDesktop.h"

namespace norva::platform::fake {

BOOL FakeDesktop::RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
  ++registerCalls;
  const UINT mods = modifiers & ~win::MOD_NOREPEAT;
  if (heldElsewhere.count({mods, virtualKey}) != 0) return 0;
  // The same combination twice, or the same id twice, is refused as Windows does.
  for (const auto& [key, r] : hotKeys)
    if ((r.modifiers & ~win::MOD_NOREPEAT) == mods && r.virtualKey == virtualKey) return 0;
  if (hotKeys.count({window, id}) != 0) return 0;
  hotKeys[{window, id}] = {window, id, modifiers, virtualKey};
  return 1;
}

BOOL FakeDesktop::UnregisterHotKey(HWND window, int id) {
  return hotKeys.erase({window, id}) != 0 ? 1 : 0;
}

HICON FakeDesktop::CreateIconFromPixels(int size, const std::vector<uint32_t>& argb) {
  if (size <= 0 || argb.size() != static_cast<size_t>(size * size)) return nullptr;
  FNextIcon += 4;
  const auto icon = reinterpret_cast<HICON>(FNextIcon);
  liveIcons[icon] = argb;
  ++iconsCreated;
  return icon;
}

HICON FakeDesktop::AddResourceIcon(int size) {
  FNextIcon += 4;
  const auto icon = reinterpret_cast<HICON>(FNextIcon);
  resourceIcons[icon] = size;
  return icon;
}

BOOL FakeDesktop::DestroyIcon(HICON icon) {
  if (resourceIcons.erase(icon) != 0) return 1;
  if (liveIcons.erase(icon) == 0) return 0;
  ++iconsDestroyed;
  return 1;
}

LONG FakeUserRegistry::GetStringValue(const std::string& subKey, const std::string& name,
                                      std::string& value) {
  const auto it = values.find({subKey, name});
  if (it == values.end()) return win::ERROR_FILE_NOT_FOUND;
  value = it->second;
  return win::ERROR_SUCCESS;
}

LONG FakeUserRegistry::SetStringValue(const std::string& subKey, const std::string& name,
                                      const std::string& value) {
  ++writes;
  if (failSet != win::ERROR_SUCCESS) return failSet;
  values[{subKey, name}] = value;
  return win::ERROR_SUCCESS;
}

LONG FakeUserRegistry::DeleteValue(const std::string& subKey, const std::string& name) {
  ++deletes;
  if (failDelete != win::ERROR_SUCCESS) return failDelete;
  return values.erase({subKey, name}) != 0 ? win::ERROR_SUCCESS : win::ERROR_FILE_NOT_FOUND;
}

}  // namespace norva::platform::fake
