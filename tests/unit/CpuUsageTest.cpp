// The NT processor-load probe on scripted readings of the fake ntdll.
#include <gtest/gtest.h>

#include <functional>

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

}  // namespace
}  // namespace norva::testing
