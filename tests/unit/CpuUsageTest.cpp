// The NT processor-load probe on scripted readings of the fake ntdll.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>

#include "platform/fake/FakePlatform.h"
#include "probes/CpuUsage.h"

namespace norva::testing {
namespace {

TEST(CpuUsageTest, TheLoadIsOneHundredLessTheIdlePercentPerProcessorRoundedUp) {
  using Kernel = platform::fake::FakeKernel;
  struct Case {
    const char* name;
    uint8_t processors;
    std::function<void(Kernel&)> between;  // what happens between the two calls
    int32_t second;                        // the second call's result
    bool readingsKept;                     // the second call left the first readings
  };
  const Case cases[] = {
      // Idle time grew by 19 900 000 while the clock advanced 10 000 000:
      // 100 - 1.99 * 100 / 2 + 0.99 = 1.49.
      {"two processors, 0.5 % busy", 2, [](Kernel& k) { k.AdvanceSystemTimes(10'000'000, 0.995); },
       1, false},
      {"fully idle", 2, [](Kernel& k) { k.AdvanceSystemTimes(10'000'000, 1.0); }, 0, false},
      {"fully busy", 1, [](Kernel& k) { k.AdvanceSystemTimes(10'000'000, 0.0); }, 100, false},
      // No clock difference: the idle difference itself is the fraction,
      // 100 - 5 * 100 / 2 + 0.99, left to the caller to clamp.
      {"clock stood still", 2, [](Kernel& k) { k.ntSystem.idleTime += 5; }, -149, false},
      // Results beyond 32 bits are held at the nearest 32-bit value.
      {"the clock went back", 1,
       [](Kernel& k) {
         k.ntSystem.currentTime -= 10'000'000;
         k.ntSystem.idleTime += 1'000'000'000'000'000;
       },
       std::numeric_limits<int32_t>::max(), false},
      {"idle time jumped while the clock stood still", 2,
       [](Kernel& k) { k.ntSystem.idleTime += 5'000'000'000'000; },
       std::numeric_limits<int32_t>::min(), false},
      {"a failing basic query", 1,
       [](Kernel& k) {
         k.AdvanceSystemTimes(10'000'000, 0.5);
         k.ntSystem.failingClasses.insert(0);
       },
       100, true},
      {"a failing query", 1,
       [](Kernel& k) {
         k.AdvanceSystemTimes(10'000'000, 0.5);
         k.ntSystem.failingClasses.insert(2);
       },
       100, true},
      {"the function missing", 1,
       [](Kernel& k) {
         k.AdvanceSystemTimes(10'000'000, 0.5);
         k.missingExports.insert("NtQuerySystemInformation");
       },
       100, true},
      {"ntdll missing", 1,
       [](Kernel& k) {
         k.AdvanceSystemTimes(10'000'000, 0.5);
         k.missingLibraries.insert("ntdll");
       },
       100, true},
  };
  for (const Case& c : cases) {
    platform::fake::FakePlatform os;
    os.kernel.ntSystem.processors = c.processors;
    os.kernel.ntSystem.idleTime = 7'000'000'000;  // a machine that has run a while
    NtCpuReadings previous;
    EXPECT_EQ(NtCpuUsage(previous), 100) << c.name << ": the first call";
    const NtCpuReadings first = previous;
    EXPECT_EQ(first.idleTime, 7'000'000'000) << c.name;
    c.between(os.kernel);
    EXPECT_EQ(NtCpuUsage(previous), c.second) << c.name;
    EXPECT_EQ(previous.idleTime == first.idleTime && previous.systemTime == first.systemTime,
              c.readingsKept)
        << c.name;
  }
}

TEST(CpuUsageTest, AnIdleTimeOfZeroCountsAsNoReadingYet) {
  platform::fake::FakePlatform os;
  os.kernel.ntSystem.idleTime = 0;
  NtCpuReadings previous;
  EXPECT_EQ(NtCpuUsage(previous), 100);
  os.kernel.AdvanceSystemTimes(10'000'000, 1.0);
  EXPECT_EQ(NtCpuUsage(previous), 100);  // primed only now
  os.kernel.AdvanceSystemTimes(10'000'000, 1.0);
  EXPECT_EQ(NtCpuUsage(previous), 0);
}

// SYSTEM_BASIC_INFORMATION as the system declares it: seven 32-bit fields,
// three of the process's pointer width, then the processor count.
template <class Pointer>
struct BasicInformation {
  uint32_t Reserved, TimerResolution, PageSize, NumberOfPhysicalPages;
  uint32_t LowestPhysicalPageNumber, HighestPhysicalPageNumber, AllocationGranularity;
  Pointer MinimumUserModeAddress, MaximumUserModeAddress, ActiveProcessorsAffinityMask;
  int8_t NumberOfProcessors;
};
using NativeBasicInformation = BasicInformation<uintptr_t>;

// A class-0 query that, as the system does, refuses any length but the
// record's own and puts the count where the record has it.
win::LONG NORVA_WINAPI BasicQueryOfTheRecordLayout(win::UINT infoClass, void* buffer,
                                                   win::DWORD length, win::DWORD*) {
  if (infoClass != 0) return 0;  // the other two classes read as all zero
  if (length != sizeof(NativeBasicInformation)) return static_cast<win::LONG>(0xC0000004u);
  NativeBasicInformation record{};
  record.NumberOfProcessors = 4;
  std::memcpy(buffer, &record, sizeof record);
  return 0;
}

TEST(CpuUsageTest, TheBasicRecordHasTheSystemsSizeAndProcessorCountPlace) {
  static_assert(sizeof(BasicInformation<uint32_t>) == 44);
  static_assert(offsetof(BasicInformation<uint32_t>, NumberOfProcessors) == 40);
  static_assert(sizeof(BasicInformation<uint64_t>) == 64);
  static_assert(offsetof(BasicInformation<uint64_t>, NumberOfProcessors) == 56);
  EXPECT_EQ(win::SYSTEM_BASIC_INFORMATION_SIZE, sizeof(NativeBasicInformation));
  EXPECT_EQ(win::NUMBER_OF_PROCESSORS_OFFSET, offsetof(NativeBasicInformation, NumberOfProcessors));
  // Read through a query of that layout: the call succeeds, so the probe
  // primes (100) and then divides the idle share by the four processors.
  platform::fake::FakePlatform os;
  os.kernel.AddExport("ntdll", "NtQuerySystemInformation",
                      reinterpret_cast<win::FARPROC>(&BasicQueryOfTheRecordLayout));
  NtCpuReadings previous;
  previous.idleTime = 400;                 // idle fell by 400 while the clock stood still
  EXPECT_EQ(NtCpuUsage(previous), 10100);  // 100 + 400 * 100 / 4 + 0.99, truncated
  EXPECT_EQ(previous.idleTime, 0);
}

}  // namespace
}  // namespace norva::testing
