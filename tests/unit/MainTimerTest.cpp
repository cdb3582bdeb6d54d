// The main timer: the ten figures and their formats, the labels set only on
// a change, the warning sound, the two automatic cleaning rules with their
// holds, the first tick (Small, "-exec") and the return of a window hidden
// under the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "NorvaFixture.h"
#include "toolkit/headless/RecordingCanvas.h"
#include "app/Entry.h"

namespace norva::testing {
namespace {

const char* const kWav = "C:\\Sounds\\low.wav";

class MainTimerTest : public NorvaTest {
 protected:
  // Starts with these lines in section DEFAULT and lets the first tick pass;
  // cleanings are kept small.
  void StartReady(const std::string& defaults = "", std::vector<std::string> args = {}) {
    if (!defaults.empty()) WriteIni("[DEFAULT]\r\n" + defaults);
    Start(std::move(args));
    // The tests set the processor load themselves: no sub-timer tick measures it.
    form->timSub.SetEnabled(false);
    form->FCleanSize = 1000;
    Tick();
  }
  void Tick() { backend.AdvanceTime(100); }
  // What every cleaning from now on finds at its end (the memory it freed):
  // without it a rule that still holds fires again at the tick after.
  void AfterCleaning(uint64_t availPhys, uint32_t load) {
    os.kernel.onSleep = [this, availPhys, load](win::DWORD ms) {
      if (ms == 100) SetMemory(512 * MiB, availPhys, load);
    };
  }

  int Cleanings() const {
    int n = 0;
    for (const auto& c : os.shell.notifyIconCalls) n += c.data.szTip == "掃除中...";
    return n;
  }
  int ClosesPosted() const {
    int n = 0;
    for (const auto& m : os.user.postedMessages)
      n += m.message == win::WM_CLOSE && m.window == form->Handle();
    return n;
  }
  int TaskbarHides() const {
    int n = 0;
    for (const auto& c : os.user.showWindowCalls)
      n += c.window == app->Handle() && c.command == win::SW_HIDE;
    return n;
  }

  std::vector<TNovelLabel*> Figures() {
    return {&form->nlblPhysicalFree, &form->nlblPhysicalUse, &form->nlblPhysicalTotal,
            &form->nlblVirtualFree,  &form->nlblVirtualUse,  &form->nlblVirtualTotal,
            &form->nlblPageFree,     &form->nlblPageUse,     &form->nlblPageTotal,
            &form->nlblUsePer};
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> texts;
    for (TNovelLabel* l : Figures()) texts.push_back(l->Caption());
    return texts;
  }
  std::vector<std::string> Repainted() {
    std::vector<std::string> names;
    for (TNovelLabel* l : Figures())
      if (backend.WasInvalidated(*l)) names.push_back(l->Name.empty() ? l->Caption() : l->Name);
    return names;
  }
  bool WholeWindowInvalidated() {
    for (const auto& area : backend.PeerOf(*form).Invalidations)
      if (!area) return true;
    return false;
  }
};

// --- The figures ------------------------------------------------------------

TEST_F(MainTimerTest, TheTenFiguresAreShownInTheirFormats) {
  StartReady();
  SetMemory(512 * MiB, 3 * MiB, 5, 1 * GiB, 41943, 2 * GiB, 1073636966);
  Tick();
  EXPECT_EQ(Captions(),
            (std::vector<std::string>{" 3.0", "509.0", "512.0 MB", "1023.9", "1024.1", "2048.0 MB",
                                      " 0.0", "1024.0", "1024.0 MB", "  5%"}));
  SetMemory(512 * MiB, 3 * MiB, 45);
  Tick();
  EXPECT_EQ(form->nlblUsePer.Caption(), " 45%");
  SetMemory(512 * MiB, 3 * MiB, 100);
  Tick();
  EXPECT_EQ(form->nlblUsePer.Caption(), "100%");
}

TEST_F(MainTimerTest, FiguresAboveFourGigabytesAreExact) {
  StartReady();
  const uint64_t tib128 = uint64_t{1} << 47;
  SetMemory(8 * GiB, 5 * GiB + 512 * 1024, 37, 12 * GiB, 4 * GiB + 1 * MiB, tib128,
            tib128 - 1 * MiB);
  Tick();
  // 128 TiB less 1 MiB is 128.0 TB in the compact form; 12288.0 MB is too
  // wide for the total column.
  EXPECT_EQ(Captions(),
            (std::vector<std::string>{"5120.5", "3071.5", "8192.0 MB", "128.0T", " 1.0",
                                      "128.0 TB", "4097.0", "8191.0", "12288 MB", " 37%"}));
}

// Too wide for its room, a figure takes the next compact form until one fits.
TEST_F(MainTimerTest, AFigureTooWideForEveryFormTakesTheNextUnit) {
  struct Case {
    double mb;
    size_t room;  // characters
    FigureKind kind;
    const char* want;
  };
  const Case cases[] = {
      {24576, 8, FigureKind::Total, "24576 MB"}, {24576, 7, FigureKind::Total, "24.0 GB"},
      {24576, 6, FigureKind::Total, "24 GB"},    {24576, 4, FigureKind::Plain, "24G"},
      {24576, 1, FigureKind::Plain, "0T"},       {512000, 5, FigureKind::Plain, "500G"},
      {3.0, 4, FigureKind::Plain, " 3.0"},       {9999.9, 5, FigureKind::Plain, "10000"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FigureText(c.mb, c.kind, [&](const std::string& t) { return t.size() <= c.room; }),
              c.want)
        << c.mb << " in " << c.room;
}

// Every figure from 64 MB to 128 TiB in each column as laid out, measured on
// the canvas (the test canvas gives each character half the font height, 6
// pixels): the own formats while they fit, then the compact forms; no text
// wider than its label, none in the free column reaching the row titles.
TEST_F(MainTimerTest, FiguresFitTheirColumnsFromSixtyFourMegabytesToOneHundredTwentyEightTebibytes) {
  StartReady();
  struct Case {
    double mb;
    const char* free;
    const char* use;
    const char* total;
  };
  const Case cases[] = {
      {64, "64.0", "64.0", "64.0 MB"},
      {9999.9, "9999.9", "9999.9", "9999.9 MB"},
      {10000, "10000", "10000", "10000 MB"},
      {24 * 1024, "24576", "24576", "24576 MB"},
      {512000, "500.0G", "500.0G", "500.0 GB"},
      {1024.0 * 1024, "1.0T", "1.0T", "1.0 TB"},
      {128.0 * 1024 * 1024, "128.0T", "128.0T", "128.0 TB"},
  };
  // The free column ends 2 pixels clear of the centred title "物理" (24 of 30 pixels).
  const int titleRight = form->nlblTitlePhysical.Left() + (30 - 24) / 2 + 24;
  for (const Case& c : cases) {
    const std::string free = form->FittedFigure(0, form->nlblPhysicalFree, c.mb, FigureKind::Plain);
    const std::string use = form->FittedFigure(1, form->nlblPhysicalUse, c.mb, FigureKind::Plain);
    const std::string total =
        form->FittedFigure(2, form->nlblPhysicalTotal, c.mb, FigureKind::Total);
    EXPECT_EQ(free, c.free) << c.mb;
    EXPECT_EQ(use, c.use) << c.mb;
    EXPECT_EQ(total, c.total) << c.mb;
    const auto width = [](const std::string& text) {
      return tk::RecordingCanvas::Measure(text, tk::TFont{}).Width();
    };
    const TNovelLabel& f = form->nlblPhysicalFree;
    EXPECT_LT(titleRight + 1, f.Left() + f.Width() - width(free)) << c.mb;
    EXPECT_LE(width(use), form->nlblPhysicalUse.Width()) << c.mb;
    EXPECT_LE(width(total), form->nlblPhysicalTotal.Width()) << c.mb;
  }
}

TEST_F(MainTimerTest, ALabelIsSetOnlyWhenItsTextChanges) {
  StartReady();
  backend.ForgetInvalidations();
  Tick();
  EXPECT_TRUE(Repainted().empty());

  // One byte less free: the same text.
  SetMemory(512 * MiB, 256 * MiB - 1, 50);
  Tick();
  EXPECT_TRUE(Repainted().empty());

  // Only the page file changes: its free and used figures are set again.
  SetMemory(512 * MiB, 256 * MiB - 1, 50, 1 * GiB, 700 * MiB);
  backend.ForgetInvalidations();
  Tick();
  EXPECT_TRUE(backend.WasInvalidated(form->nlblPageFree));
  EXPECT_TRUE(backend.WasInvalidated(form->nlblPageUse));
  EXPECT_EQ(Repainted().size(), 2u);
  EXPECT_EQ(form->nlblPageFree.Caption(), "700.0");
}

TEST_F(MainTimerTest, TheSeeThroughRepaintFollowsOnlyATickThatChangedALabel) {
  StartReady("BkGrndDisp=1\r\n");
  backend.ForgetInvalidations();
  Tick();
  EXPECT_FALSE(WholeWindowInvalidated());
  SetMemory(512 * MiB, 100 * MiB, 70);
  Tick();
  EXPECT_TRUE(WholeWindowInvalidated());

  Settings().chkbEraseBkgnd.SetChecked(false);
  backend.ForgetInvalidations();
  SetMemory(512 * MiB, 90 * MiB, 71);
  Tick();
  EXPECT_FALSE(WholeWindowInvalidated());
}

TEST_F(MainTimerTest, TheProcessorLabelFollowsItsSettingUnlessMinimised) {
  StartReady();
  ASSERT_FALSE(form->nlblCpuUsePer.Visible());
  Settings().ckbCpuPer.SetChecked(true);
  form->nlblCpuUsePer.Hide();
  Tick();
  EXPECT_TRUE(form->nlblCpuUsePer.Visible());
  Settings().ckbCpuPer.SetChecked(false);
  form->sbtnMinimize.Click();
  Tick();
  EXPECT_TRUE(form->nlblCpuUsePer.Visible());
  form->pmRestoreClick(nullptr);
  Tick();
  EXPECT_FALSE(form->nlblCpuUsePer.Visible());
}

// --- The warning sound ------------------------------------------------------

TEST_F(MainTimerTest, TheWarningSoundPlaysOnEveryTickWhileFreeMemoryIsBelowTheThreshold) {
  os.kernel.AddFile(kWav);
  StartReady("WavPlayStart=2\r\nWavFileName=" + std::string(kWav) + "\r\n");
  ASSERT_TRUE(Settings().btnPlay.Enabled());
  os.sound.plays.clear();
  SetMemory(512 * MiB, 2086666, 50);  // 1.99 MB
  Tick();
  Tick();
  ASSERT_EQ(os.sound.plays.size(), 2u);
  EXPECT_EQ(os.sound.plays[0].path, kWav);
  EXPECT_EQ(os.sound.plays[0].flags, 0x13u);

  SetMemory(512 * MiB, 2 * MiB, 50);
  Tick();
  EXPECT_EQ(os.sound.plays.size(), 2u);

  // Minimised or with the settings dialog open it still warns.
  SetMemory(512 * MiB, 1 * MiB, 50);
  form->sbtnMinimize.Click();
  form->FModalOpen = true;
  Tick();
  EXPECT_EQ(os.sound.plays.size(), 3u);
}

TEST_F(MainTimerTest, WithoutAPlayableFileNoSoundIsTried) {
  StartReady("WavPlayStart=2\r\nWavFileName=" + std::string(kWav) + "\r\n");
  ASSERT_FALSE(Settings().btnPlay.Enabled());
  SetMemory(512 * MiB, 1 * MiB, 50);
  Tick();
  EXPECT_TRUE(os.sound.plays.empty());
}

TEST_F(MainTimerTest, TheWarningComparesTheFullAmountAboveFourGigabytes) {
  os.kernel.AddFile(kWav);
  // 4 GB and 1 MB free: cut to 32 bits this would be 1 MB.
  SetMemory(8 * GiB, 4 * GiB + 1 * MiB, 50);
  StartReady("WavPlayStart=2048\r\nWavFileName=" + std::string(kWav) +
             "\r\nAutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=2048\r\n");
  ASSERT_EQ(Settings().udMem2.Position(), 2048);
  ASSERT_EQ(Settings().udMem.Position(), 2048);
  Tick();
  EXPECT_TRUE(os.sound.plays.empty());
  EXPECT_EQ(Cleanings(), 0);
}

// --- Automatic cleaning
// -------------------------------------------------------

TEST_F(MainTimerTest, RuleAFiresOnlyStrictlyBelowTheThreshold) {
  StartReady("AutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=10\r\n");
  AfterCleaning(200 * MiB, 50);
  SetMemory(512 * MiB, 10 * MiB, 50);
  Tick();
  EXPECT_EQ(Cleanings(), 0);
  SetMemory(512 * MiB, 10 * MiB - 1, 50);
  Tick();
  EXPECT_EQ(Cleanings(), 1);
  // With automatic cleaning off, nothing.
  Settings().chkbAuto.SetChecked(false);
  Tick();
  EXPECT_EQ(Cleanings(), 1);
}

TEST_F(MainTimerTest, RuleBFiresOnceTheLoadIsTheChosenPointsUnderItsPeak) {
  StartReady("AutoMemClear=1\r\nAutoMemUsed=1\r\nAutoMemUsePer=3\r\n");
  SetMemory(512 * MiB, 100 * MiB, 80);
  Tick();
  EXPECT_EQ(form->FPeakLoad, 80);
  SetMemory(512 * MiB, 100 * MiB, 78);
  Tick();
  EXPECT_EQ(Cleanings(), 0);
  EXPECT_EQ(form->FPeakLoad, 80);  // never lowered here
  SetMemory(512 * MiB, 100 * MiB, 77);
  Tick();
  EXPECT_EQ(Cleanings(), 1);
  // The cleaning set the peak to the load it found at its end.
  EXPECT_EQ(form->FPeakLoad, 77);
  Tick();
  EXPECT_EQ(Cleanings(), 1);
}

TEST_F(MainTimerTest, RuleBReadsTheLoadAgainAfterACleaningOfRuleA) {
  StartReady(
      "AutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=10\r\nAutoMemUsed="
      "1\r\nAutoMemUsePer=3\r\n");
  SetMemory(512 * MiB, 100 * MiB, 80);
  Tick();
  ASSERT_EQ(form->FPeakLoad, 80);
  // Rule A fires with a load of 50; the cleaning finds 70 at its end. Against
  // the peak of 70 that is no drop, though the 50 of the tick's start would be.
  SetMemory(512 * MiB, 5 * MiB, 50);
  AfterCleaning(200 * MiB, 70);
  Tick();
  EXPECT_EQ(Cleanings(), 1);
  EXPECT_EQ(form->FPeakLoad, 70);
}

TEST_F(MainTimerTest, AtFullLoadNot100PerHoldsBothRulesButThePeakStillRises) {
  StartReady(
      "AutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=10\r\nAutoMemUsed="
      "1\r\nAutoMemUsePer=1\r\n"
      "Not100Per=1\r\n");
  AfterCleaning(200 * MiB, 99);
  SetMemory(512 * MiB, 5 * MiB, 100);
  Tick();
  EXPECT_EQ(Cleanings(), 0);
  EXPECT_EQ(form->FPeakLoad, 100);
  SetMemory(512 * MiB, 5 * MiB, 99);  // rule A and rule B both hold now
  Tick();
  EXPECT_EQ(Cleanings(), 1);

  Settings().chkbNot100Per.SetChecked(false);
  SetMemory(512 * MiB, 5 * MiB, 100);
  Tick();
  EXPECT_EQ(Cleanings(), 2);
}

TEST_F(MainTimerTest, ATickHeldAtFullLoadEndsBeforeTheSeeThroughRepaint) {
  StartReady(
      "AutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=1\r\nNot100Per="
      "1\r\nBkGrndDisp=1\r\n");
  for (bool held : {true, false}) {
    Settings().chkbNot100Per.SetChecked(held);
    backend.ForgetInvalidations();
    SetMemory(512 * MiB, held ? 100 * MiB : 90 * MiB, 100);
    Tick();
    EXPECT_EQ(WholeWindowInvalidated(), !held) << held;
  }
}

TEST_F(MainTimerTest, AFullProcessorHoldsEachRuleBackOnlyWithStopCpuUsePer) {
  StartReady(
      "AutoMemClear=1\r\nStopCpuUsePer=1\r\nAutoExeSize="
      "10\r\nAutoMemUsePer=1\r\n");
  form->FCpuUsePer = 100;
  AfterCleaning(200 * MiB, 50);
  // Rule A alone.
  Settings().chkbMinExec.SetChecked(true);
  SetMemory(512 * MiB, 5 * MiB, 50);
  Tick();
  EXPECT_EQ(Cleanings(), 0);
  form->FCpuUsePer = 99;
  Tick();
  EXPECT_EQ(Cleanings(), 1);
  // Rule B alone (one of the rules always stays chosen in the dialog).
  Settings().chkbFreeInc.SetChecked(true);
  Settings().chkbMinExec.SetChecked(false);
  ASSERT_FALSE(Settings().chkbMinExec.Checked());
  SetMemory(512 * MiB, 100 * MiB, 90);
  Tick();
  SetMemory(512 * MiB, 100 * MiB, 60);
  form->FCpuUsePer = 100;
  Tick();
  EXPECT_EQ(Cleanings(), 1);
  Settings().ckbStopCpuPer.SetChecked(false);
  Tick();
  EXPECT_EQ(Cleanings(), 2);
}

TEST_F(MainTimerTest, WithADialogOrTheMenuOpenNothingCleansAndThePeakStays) {
  StartReady(
      "AutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=10\r\nAutoMemUsed="
      "1\r\nAutoMemUsePer=1\r\n");
  ASSERT_EQ(form->FPeakLoad, 50);
  AfterCleaning(200 * MiB, 20);
  form->FModalOpen = true;
  SetMemory(512 * MiB, 5 * MiB, 90);
  Tick();
  SetMemory(512 * MiB, 5 * MiB, 20);
  Tick();
  EXPECT_EQ(Cleanings(), 0);
  EXPECT_EQ(form->FPeakLoad, 50);
  EXPECT_EQ(form->nlblUsePer.Caption(), " 20%");  // the figures go on
  form->FModalOpen = false;
  Tick();
  EXPECT_EQ(Cleanings(), 1);

  // With automatic cleaning off the peak is not tracked either.
  Settings().chkbAuto.SetChecked(false);
  SetMemory(512 * MiB, 5 * MiB, 95);
  Tick();
  EXPECT_EQ(form->FPeakLoad, 20);
}

TEST_F(MainTimerTest, MinimisedATickSkipsTheFiguresButStillWarnsAndCleans) {
  os.kernel.AddFile(kWav);
  StartReady(
      "AutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=10\r\nWavPlayStart="
      "10\r\nWavFileName=" +
      std::string(kWav) + "\r\n");
  form->sbtnMinimize.Click();
  AfterCleaning(200 * MiB, 77);
  const auto before = Captions();
  SetMemory(512 * MiB, 5 * MiB, 77);
  Tick();
  EXPECT_EQ(Captions(), before);
  EXPECT_EQ(os.sound.plays.size(), 1u);
  EXPECT_EQ(Cleanings(), 1);
}

// --- The first tick
// -------------------------------------------------------------

TEST_F(MainTimerTest, SmallSendsTheWindowToTheTrayAtTheFirstTick) {
  WriteIni("[SYSTEM]\r\nSmall=1\r\n[DEFAULT]\r\nTaskBarHide=1\r\n");
  Start();
  EXPECT_TRUE(form->Visible());  // shown until the first tick
  const int hides = TaskbarHides();
  Tick();
  EXPECT_TRUE(form->FMinimized);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(backend.applicationMinimized);
  EXPECT_GT(TaskbarHides(), hides);
  EXPECT_FALSE(form->FFirstTick);
  form.reset();

  WriteIni("[SYSTEM]\r\nSmall=0\r\n");
  backend.applicationMinimized = false;
  Start();
  Tick();
  EXPECT_FALSE(form->FMinimized);
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(backend.applicationMinimized);
}

TEST_F(MainTimerTest, ExecAsTheFirstArgumentInAnyCaseCleansOnceThenCloses) {
  for (const char* arg : {"-exec", "/EXEC", "-ExEc", "/exec"}) {
    os.shell.notifyIconCalls.clear();
    os.user.postedMessages.clear();
    Start({arg, "more"});
    form->FCleanSize = 1000;
    // A tick nested in the first tick's message pump must not start again.
    backend.QueueInput([this] { form->timMainTimer(nullptr); });
    Tick();
    EXPECT_EQ(Cleanings(), 1) << arg;
    EXPECT_EQ(ClosesPosted(), 1) << arg;
    // The close has arrived meanwhile.
    EXPECT_TRUE(app->Terminated()) << arg;
    EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
    form.reset();
  }
}

TEST_F(MainTimerTest, AnythingElseOnTheCommandLineRunsNormally) {
  for (std::vector<std::string> args :
       {std::vector<std::string>{"exec"}, {"--exec"}, {"-exe"}, {"x", "-exec"}, {""}}) {
    os.shell.notifyIconCalls.clear();
    os.user.postedMessages.clear();
    Start(args);
    Tick();
    Tick();
    EXPECT_EQ(Cleanings(), 0) << args.back();
    EXPECT_EQ(ClosesPosted(), 0) << args.back();
    form.reset();
  }
}

TEST_F(MainTimerTest, TheExecSwitchRunsTheWholeProgramOnceAndSaves) {
  WriteIni("[DEFAULT]\r\nMemory=5\r\nCleanSpeed=1\r\n");
  EXPECT_EQ(RunNorva({"-EXEC"}), 0);
  int cleanings = 0;
  for (const auto& c : os.shell.notifyIconCalls) cleanings += c.data.szTip == "掃除中...";
  EXPECT_EQ(cleanings, 1);
  EXPECT_EQ(os.kernel.allocRequests, (std::vector<size_t>{(512 * MiB / 100) * 5}));
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
  EXPECT_EQ(Key("DEFAULT", "Magnet"), "0");  // written at the close
  EXPECT_EQ(Key("SYSTEM", "Small"), "0");
  EXPECT_EQ(os.shell.notifyIconCalls.back().message, win::NIM_DELETE);
  EXPECT_TRUE(os.user.messageBoxes.empty());
}

// --- Back from hiding under the mouse
// ---------------------------------------------

TEST_F(MainTimerTest, AWindowHiddenUnderTheMouseComesBackOnceTheCursorLeftItsRectangle) {
  WriteIni(
      "[SYSTEM]\r\nXPos=100\r\nYPos=100\r\n[DEFAULT]\r\nDontCatch="
      "1\r\nTaskBarHide=1\r\n");
  Start();
  Tick();
  ASSERT_EQ(form->BoundsRect(), (tk::TRect{100, 100, 300, 180}));
  struct Case {
    win::POINT cursor;
    bool shown;
  };
  for (Case c : {Case{{150, 150}, false}, Case{{300, 180}, false}, Case{{100, 100}, false},
                 Case{{301, 150}, true}, Case{{99, 150}, true}, Case{{150, 99}, true},
                 Case{{150, 181}, true}}) {
    form->Hide();
    os.user.cursor = c.cursor;
    const int hides = TaskbarHides();
    Tick();
    EXPECT_EQ(form->Visible(), c.shown) << c.cursor.x << "," << c.cursor.y;
    EXPECT_EQ(form->FCursorPos.x, c.cursor.x);
    EXPECT_EQ(TaskbarHides(), hides + 1);
  }
}

TEST_F(MainTimerTest, AMinimisedWindowOrOneWithoutDontCatchIsNotBroughtBack) {
  StartReady("DontCatch=1\r\n");
  os.user.cursor = {900, 900};
  form->sbtnMinimize.Click();
  Tick();
  EXPECT_FALSE(form->Visible());

  form->pmRestoreClick(nullptr);
  Settings().ckbDontCatch.SetChecked(false);
  form->Hide();
  Tick();
  EXPECT_FALSE(form->Visible());
}

}  // namespace
}  // namespace norva::testing
