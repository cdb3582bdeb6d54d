// The once-a-second tick: the inspector's graph feed, the processor load and
// its label, and the free resources of the older family.
#include <gtest/gtest.h>

#include <functional>

#include "NorvaFixture.h"
#include "probes/CpuUsage.h"

namespace norva::testing {
namespace {

class SubTimerTest : public NorvaTest {
 protected:
  SubTimerTest() { ResetNtCpuUsage(); }
  ~SubTimerTest() override { ResetNtCpuUsage(); }

  components::TPerformanceGraph& Graph() { return HeapChkFrm->pgpMainGraph; }
  // The points of the step the graph completed last.
  const components::TGraphSlot& LastStep() {
    return Graph().History().Slot(Graph().LastY(Graph().History().Current()));
  }
  void SubTick() { form->timSubTimer(nullptr); }
  bool WholeWindowInvalidated() {
    for (const auto& area : backend.PeerOf(*form).Invalidations)
      if (!area) return true;
    return false;
  }
};

TEST_F(SubTimerTest, EachSecondFeedsFreeMemoryAndTheLastLoadToTheGraphOnEitherFamily) {
  const uint64_t unit = 512 * MiB / 100;
  for (const bool nt : {true, false}) {
    if (!nt) os.kernel.UseNineXFamily();
    SetMemory(512 * MiB, 37 * unit, 50);
    Start();
    form->timMain.SetEnabled(false);
    ASSERT_EQ(Graph().Scale(), 400);
    form->FCpuUsePer = 12;
    const int before = Graph().History().Current();
    backend.AdvanceTime(1000);
    EXPECT_NE(Graph().History().Current(), before) << nt;
    const auto& step = LastStep();
    ASSERT_EQ(step.Count, 2) << nt;
    EXPECT_EQ(step.Colors[0], tk::clRed);
    EXPECT_EQ(step.Values[0], 149) << nt;  // 37 % x 400 / 100 + 1
    EXPECT_EQ(step.Colors[1], tk::clYellow);
    EXPECT_EQ(step.Values[1], 13) << nt;  // the load before this tick, + 1
    EXPECT_EQ(HeapChkFrm->lblGrpRangeMax.Caption(), "512.0 MB：100%");
    EXPECT_EQ(HeapChkFrm->pnlGrpRange.Caption(), "256.0 MB： 50%");
    // Fed while the inspector is hidden, also while minimised, into a ring
    // as long as the laid-out graph shows.
    EXPECT_FALSE(HeapChkFrm->Visible());
    EXPECT_EQ(Graph().History().Size(), Graph().Width() / 10 + 2);
    EXPECT_GT(Graph().Width(), 500);
    form->FMinimized = true;
    SubTick();
    EXPECT_EQ(LastStep().Count, 2);
    // Less than 100 bytes of memory: no unit, no step.
    SetMemory(99, 50, 50);
    const int current = Graph().History().Current();
    SubTick();
    EXPECT_EQ(Graph().History().Current(), current);
    form.reset();
    MainForm = nullptr;
  }
}

TEST_F(SubTimerTest, TheLoadLabelShowsEachChangeAndRepaintsTheSeeThroughBackground) {
  WriteIni("[DEFAULT]\r\nShowCpuUsePer=1\r\nBkGrndDisp=1\r\n");
  os.kernel.ntSystem.idleTime = 7'000'000'000;
  Start();
  form->timMain.SetEnabled(false);
  SubTick();  // primes the probe: 100, the label's own text
  EXPECT_EQ(form->FCpuUsePer, 100);
  EXPECT_TRUE(form->nlblCpuUsePer.Visible());
  EXPECT_EQ(form->nlblCpuUsePer.Caption(), "CPU:100%");
  struct Step {
    double idle;
    int32_t load;
    const char* caption;
    bool repainted;
  };
  for (const Step s : {Step{0.95, 5, "CPU:  5%", true}, Step{0.63, 37, "CPU: 37%", true},
                       Step{0.63, 37, "CPU: 37%", false}, Step{0.0, 100, "CPU:100%", true}}) {
    os.kernel.AdvanceSystemTimes(10'000'000, s.idle);
    backend.ForgetInvalidations();
    SubTick();
    EXPECT_EQ(form->FCpuUsePer, s.load) << s.idle;
    EXPECT_EQ(form->nlblCpuUsePer.Caption(), s.caption) << s.idle;
    EXPECT_EQ(WholeWindowInvalidated(), s.repainted) << s.idle;
  }
  // Switched off: hidden, measured, the caption no longer written.
  Settings().ckbCpuPer.SetChecked(false);
  os.kernel.AdvanceSystemTimes(10'000'000, 0.5);
  SubTick();
  EXPECT_FALSE(form->nlblCpuUsePer.Visible());
  EXPECT_EQ(form->FCpuUsePer, 50);
  EXPECT_EQ(form->nlblCpuUsePer.Caption(), "CPU:100%");
  // Minimised: measured, nothing shown.
  Settings().ckbCpuPer.SetChecked(true);
  form->FMinimized = true;
  os.kernel.AdvanceSystemTimes(10'000'000, 0.9);
  SubTick();
  EXPECT_EQ(form->FCpuUsePer, 10);
  EXPECT_FALSE(form->nlblCpuUsePer.Visible());
}

TEST_F(SubTimerTest, TheNtLoadIsBroughtIntoZeroToOneHundred) {
  os.kernel.ntSystem.idleTime = 7'000'000'000;
  Start();
  form->timMain.SetEnabled(false);
  SubTick();  // primes the probe
  struct Step {
    const char* name;
    std::function<void(platform::fake::FakeKernel&)> between;
    int32_t load;
  };
  const Step steps[] = {
      {"idle grew while the clock stood still (-399)", [](auto& k) { k.ntSystem.idleTime += 5; },
       0},
      {"idle fell (200)",
       [](auto& k) {
         k.ntSystem.currentTime += 10'000'000;
         k.ntSystem.idleTime -= 10'000'000;
       },
       100},
      {"the clock went back (beyond 32 bits)",
       [](auto& k) {
         k.ntSystem.currentTime -= 10'000'000;
         k.ntSystem.idleTime += 1'000'000'000'000'000;
       },
       100},
      {"a quarter busy", [](auto& k) { k.AdvanceSystemTimes(10'000'000, 0.75); }, 25},
  };
  for (const Step& s : steps) {
    s.between(os.kernel);
    SubTick();
    EXPECT_EQ(form->FCpuUsePer, s.load) << s.name;
  }
}

TEST_F(SubTimerTest, TheLoadLabelFitsEachLoadAndShortensWithoutLosingTheWord) {
  WriteIni("[DEFAULT]\r\nShowCpuUsePer=1\r\n");
  os.kernel.ntSystem.idleTime = 7'000'000'000;
  Start();
  form->timMain.SetEnabled(false);
  ASSERT_EQ(form->nlblCpuUsePer.Width(), 49);
  // The measuring canvas gives every character half the font's height.
  struct Case {
    int fontHeight;
    int32_t load;
    const char* caption;
    int shownHeight;
  };
  // Each load its own form: the padding goes first, then the colon, then a
  // pixel of the font at a time, up to three; the last form stays even where
  // it does not fit.
  const Case cases[] = {
      {12, 5, "CPU:  5%", 12},  {12, 100, "CPU:100%", 12}, {14, 5, "CPU:5%", 14},
      {14, 37, "CPU:37%", 14},  {14, 100, "CPU100%", 14},  {16, 37, "CPU37%", 16},
      {16, 100, "CPU100%", 15}, {20, 5, "CPU5%", 19},      {18, 100, "CPU100%", 15},
      {24, 100, "CPU100%", 21}, {12, 5, "CPU:  5%", 12},  // back from the smaller font
  };
  for (const Case c : cases) {
    tk::TFont font = form->nlblCpuUsePer.Font();
    font.Height = c.fontHeight;
    form->nlblCpuUsePer.SetFont(font);
    ResetNtCpuUsage();
    SubTick();  // primes the probe
    os.kernel.AdvanceSystemTimes(10'000'000, (100 - c.load) / 100.0);
    SubTick();
    ASSERT_EQ(form->FCpuUsePer, c.load) << c.fontHeight;
    EXPECT_EQ(form->nlblCpuUsePer.Caption(), c.caption) << c.fontHeight << " " << c.load;
    EXPECT_EQ(form->nlblCpuUsePer.Font().Height, c.shownHeight) << c.fontHeight << " " << c.load;
    // Right-aligned, a text that fits stays within the label, off the button beside it.
    if (c.fontHeight < 24) {
      EXPECT_LE(static_cast<int>(std::string(c.caption).size()) * (c.shownHeight / 2), 49);
    }
  }
}

TEST_F(SubTimerTest, OnTheOlderFamilyTheLoadComesFromTheRegistryAndTheResourcesWarn) {
  os.kernel.UseNineXFamily();
  os.kernel.freeResources = {{0, 60}, {1, 35}};
  os.kernel.AddFile("C:\\Norva\\res.wav");
  WriteIni("[DEFAULT]\r\nResWavPlayStart=40\r\nResWavFileName=C:\\Norva\\res.wav\r\n");
  Start();
  form->timMain.SetEnabled(false);
  ASSERT_TRUE(Settings().btnResWavPlay.Enabled());
  struct Step {
    win::DWORD registry;
    int32_t load;
  };
  for (const Step s : {Step{250, 100}, Step{42, 42}, Step{0xFFFFFFFF, 0}, Step{0, 0}}) {
    os.registry.SetDynData("PerfStats\\StatData", "KERNEL\\CPUUsage", s.registry);
    SubTick();
    EXPECT_EQ(form->FCpuUsePer, s.load) << s.registry;
  }
  EXPECT_EQ(form->nlblResSys.Caption(), "35%");
  EXPECT_EQ(form->nlblResUser.Caption(), "60%");
  EXPECT_EQ(form->nlblResGdi.Caption(), "35%");
  ASSERT_EQ(os.sound.plays.size(), 4u);  // every tick while a figure is low
  EXPECT_EQ(os.sound.plays[0].path, "C:\\Norva\\res.wav");
  EXPECT_EQ(os.sound.plays[0].flags, 0x13u);
  // Both above the threshold: silence; minimised: nothing written or played.
  os.kernel.freeResources = {{0, 45}, {1, 41}};
  SubTick();
  EXPECT_EQ(os.sound.plays.size(), 4u);
  EXPECT_EQ(form->nlblResSys.Caption(), "41%");
  os.kernel.freeResources = {{0, 10}, {1, 10}};
  form->FMinimized = true;
  SubTick();
  EXPECT_EQ(os.sound.plays.size(), 4u);
  EXPECT_EQ(form->nlblResSys.Caption(), "41%");
}

}  // namespace
}  // namespace norva::testing
