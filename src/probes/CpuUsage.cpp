#include "probes/CpuUsage.h"

namespace norva {

win::DWORD ReadPerfCounter(win::HKEY rootKey, const char* keyPath, const char* valueName) {
  auto& registry = platform::Os().registry;
  win::HKEY key = nullptr;
  win::DWORD value = 0;
  win::DWORD type = win::REG_DWORD;
  win::DWORD size = sizeof(value);
  registry.RegOpenKeyExA(rootKey, keyPath, 0, win::KEY_ALL_ACCESS, &key);
  // The results are not examined: on failure the buffer stays 0.
  if (key != nullptr) {
    registry.RegQueryValueExA(key, valueName, &type, &value, &size);
    registry.RegCloseKey(key);
  }
  return value;
}

}  // namespace norva
