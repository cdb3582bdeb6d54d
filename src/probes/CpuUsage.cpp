#include "probes/CpuUsage.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace norva {

namespace {

// The three records of NtQuerySystemInformation the probe reads, with the
// place of the one field it needs in each.
constexpr win::UINT kSystemBasicInformation = 0;
constexpr win::UINT kSystemPerformanceInformation = 2;
constexpr win::UINT kSystemTimeOfDayInformation = 3;
constexpr size_t kBasicSize = win::SYSTEM_BASIC_INFORMATION_SIZE;
constexpr size_t kProcessorsOffset = win::NUMBER_OF_PROCESSORS_OFFSET;
constexpr size_t kTimeOfDaySize = 32, kCurrentTimeOffset = 8;
constexpr size_t kPerformanceSize = 312, kIdleTimeOffset = 0;

int64_t Int64At(const unsigned char* buffer, size_t offset) {
  int64_t value = 0;
  std::memcpy(&value, buffer + offset, sizeof value);
  return value;
}

NtCpuReadings processReadings;

}  // namespace

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

int32_t NtCpuUsage(NtCpuReadings& previous) {
  auto& kernel = platform::Os().kernel;
  double result = 100.0;
  const win::HMODULE ntdll = kernel.GetModuleHandleA("ntdll");
  if (ntdll == nullptr) return 100;
  const auto query = reinterpret_cast<win::NtQuerySystemInformationProc>(
      kernel.GetProcAddress(ntdll, "NtQuerySystemInformation"));
  if (query == nullptr) return 100;
  alignas(8) unsigned char basic[kBasicSize] = {};
  alignas(8) unsigned char timeOfDay[kTimeOfDaySize] = {};
  alignas(8) unsigned char performance[kPerformanceSize] = {};
  if (query(kSystemBasicInformation, basic, sizeof basic, nullptr) != 0 ||
      query(kSystemTimeOfDayInformation, timeOfDay, sizeof timeOfDay, nullptr) != 0 ||
      query(kSystemPerformanceInformation, performance, sizeof performance, nullptr) != 0)
    return 100;
  const unsigned processors = basic[kProcessorsOffset];
  const int64_t idleTime = Int64At(performance, kIdleTimeOffset);
  const int64_t systemTime = Int64At(timeOfDay, kCurrentTimeOffset);

  if (previous.idleTime != 0) {
    const double idle = static_cast<double>(idleTime) - static_cast<double>(previous.idleTime);
    const double system =
        static_cast<double>(systemTime) - static_cast<double>(previous.systemTime);
    const double idleFraction = system != 0 ? idle / system : idle;
    result = 100.0 - idleFraction * 100.0 / (processors != 0 ? processors : 1) + 0.99;
    if (!std::isfinite(result)) result = 0;
  }
  previous.idleTime = idleTime;
  previous.systemTime = systemTime;
  // Truncated toward zero; a result beyond 32 bits (a clock that jumped)
  // is held at the nearest 32-bit value for the caller to clamp.
  result = std::trunc(result);
  if (result >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (result <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(result);
}

int32_t NtCpuUsage() { return NtCpuUsage(processReadings); }

void ResetNtCpuUsage() { processReadings = NtCpuReadings{}; }

}  // namespace norva
