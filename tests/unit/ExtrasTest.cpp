// The opt-in features of the [EXTRA] section: reading and writing the
// section, the freed-amount balloon, the hotkey, cleaning on an interval,
// the start-up entry and the load on the tray icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "NorvaFixture.h"
#include "app/Extras.h"
#include "platform/Text.h"
#include "settings/ExtraSettings.h"

namespace norva::testing {
namespace {

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr int kCtrlAltM = 1613;

class ExtrasTest : public NorvaTest {
 protected:
  void StartWith(const std::string& extra, const std::string& defaults = "CleanSpeed=2\r\n") {
    WriteIni("[DEFAULT]\r\n" + defaults + "[EXTRA]\r\n" + extra);
    Start();
    form->timSub.SetEnabled(false);
    form->FCleanSize = 1000;
  }
  void OpenDialog(std::vector<std::function<void()>> steps) {
    for (auto& step : steps) backend.modalScript.push_back(std::move(step));
    form->sbtnConfigClick(&form->sbtnConfig);
  }
  int Cleanings() const {
    int n = 0;
    for (const auto& c : os.shell.notifyIconCalls) n += c.data.szTip == "掃除中...";
    return n;
  }
  std::vector<platform::NotifyIconData> Balloons() const {
    std::vector<platform::NotifyIconData> calls;
    for (const auto& c : os.shell.notifyIconCalls)
      if (c.data.uFlags & win::NIF_INFO) calls.push_back(c.data);
    return calls;
  }
  std::string RunEntry() {
    const auto it = os.userRegistry.values.find({kRunKey, "Norva"});
    return it == os.userRegistry.values.end() ? "<none>" : it->second;
  }
  void HotKey() {
    TMessage m{win::WM_HOTKEY, 1, 0};
    form->WndProc(m);
  }
};

// --- The [EXTRA] section ------------------------------------------------------

TEST(ExtraSettingsRule, ValuesOutOfRangeComeBackAsTheirDefaults) {
  platform::fake::FakePlatform os;
  struct Case {
    const char* text;
    ExtraSettings expected;
  };
  const Case cases[] = {
      {"", {}},
      {"FreedNotice=1\r\nHotKey=1613\r\nIntervalClean=1440\r\nTrayLoadIcon=1\r\n",
       {true, kCtrlAltM, 1440, true}},
      {"HotKey=65536\r\nIntervalClean=1441\r\n", {}},  // beyond a word, beyond a day
      {"HotKey=4173\r\nIntervalClean=-1\r\n", {}},     // modifier bit 0x10, negative minutes
      {"HotKey=1536\r\n", {}},                         // modifiers without a key
      {"HotKey=abc\r\nFreedNotice=x\r\nTrayLoadIcon=\r\n", {}},
      {"FreedNotice=2\r\nHotKey=0x64D\r\n", {true, 0, 0, false}},  // flags: not 0 is set
      {"HotKey=77\r\n", {}},   // a bare M would be taken from every program
      {"HotKey=333\r\n", {}},  // so would Shift+M
      {"HotKey=589\r\n", {false, 0x0200 | 'M', 0, false}},   // Ctrl+M
      {"HotKey=1101\r\n", {false, 0x0400 | 'M', 0, false}},  // Alt+M
  };
  for (const Case& c : cases) {
    os.profile.SetFileText(os.IniPath(), std::string("[EXTRA]\r\n") + c.text);
    EXPECT_EQ(ReadExtraSettings(os.IniPath()), c.expected) << c.text;
  }
}

TEST_F(ExtrasTest, AFileWithoutTheSectionGetsNoneAndOneWithItKeepsItsOtherKeys) {
  WriteIni("[DEFAULT]\r\nMagnet=1\r\n");
  Start();
  form->SaveSettings(false);
  EXPECT_EQ(IniText().find("[EXTRA]"), std::string::npos);
  EXPECT_EQ(os.desktop.registerCalls, 0);
  form.reset();

  WriteIni("[EXTRA]\r\nMine=7\r\nIntervalClean=5000\r\n");
  Start();
  EXPECT_EQ(Settings().udInterval.Position(), 0);
  form->SaveSettings(false);
  EXPECT_EQ(Key("EXTRA", "Mine"), "7");
  EXPECT_EQ(Key("EXTRA", "IntervalClean"), "0");
  EXPECT_EQ(Key("EXTRA", "FreedNotice"), "0");
}

TEST_F(ExtrasTest, CancelLeavesTheExtraSettingsAsTheyWereAndOkWritesThem) {
  StartWith("FreedNotice=1\r\nIntervalClean=30\r\n");
  TSettingFrm& s = Settings();
  OpenDialog({[&] {
    s.chkbFreedNotice.SetChecked(false);
    s.edtInterval.SetText("45");
    s.chkbTrayLoad.SetChecked(true);
    s.btnCancel.Click();
  }});
  EXPECT_TRUE(s.chkbFreedNotice.Checked());
  EXPECT_EQ(s.udInterval.Position(), 30);
  EXPECT_FALSE(s.chkbTrayLoad.Checked());
  EXPECT_EQ(Key("EXTRA", "IntervalClean"), "30");
  OpenDialog({[&] {
    s.edtInterval.SetText("45");
    s.btnOk.Click();
  }});
  EXPECT_EQ(Key("EXTRA", "IntervalClean"), "45");
  EXPECT_EQ(s.pgcSetting.Pages.back()->Caption(), "拡張");
}

// --- How much a cleaning freed ------------------------------------------------

TEST(FreedTextRule, WholeMegabytesWithSeparatorsAndNeverBelowZero) {
  EXPECT_EQ(FreedBytes(100 * MiB, 1334 * MiB), 1234 * MiB);
  EXPECT_EQ(FreedBytes(500 * MiB, 400 * MiB), 0u);
  EXPECT_EQ(FreedText(1234 * MiB, 5678 * MiB), "1,234 MB 解放しました（空き 5,678 MB）");
  EXPECT_EQ(FreedText(0, 999 * MiB + MiB / 2), "0 MB 解放しました（空き 1,000 MB）");
  EXPECT_EQ(FreedText(1234567 * MiB, 12 * MiB), "1,234,567 MB 解放しました（空き 12 MB）");
}

TEST_F(ExtrasTest, ABalloonFollowsEachFinishedCleaningOneAtATimeOnlyWhenAskedFor) {
  for (bool notice : {false, true}) {
    StartWith(notice ? "FreedNotice=1\r\n" : "");
    SetMemory(8 * GiB, 100 * MiB, 80);
    form->SampleMemory();
    os.kernel.onSleep = [this](win::DWORD ms) {
      if (ms == 300) SetMemory(8 * GiB, 1334 * MiB, 40);
    };
    form->sbtnGetMemClick(nullptr);
    EXPECT_EQ(form->FLastFreedBytes, 1234 * MiB);
    form->sbtnGetMemClick(nullptr);  // frees nothing more
    EXPECT_EQ(form->FLastFreedBytes, 0u);
    const auto balloons = Balloons();
    if (!notice) {
      EXPECT_TRUE(balloons.empty());
      form.reset();
      continue;
    }
    ASSERT_EQ(balloons.size(), 3u);
    EXPECT_EQ(balloons[0].szInfoTitle, "Norva");
    EXPECT_EQ(balloons[0].szInfo, "1,234 MB 解放しました（空き 1,334 MB）");
    EXPECT_EQ(balloons[1].szInfo, "");  // the first one goes before the second
    EXPECT_EQ(balloons[2].szInfo, "0 MB 解放しました（空き 1,334 MB）");
  }
}

TEST_F(ExtrasTest, AStoppedCleaningOrAnExecRunShowsNoBalloon) {
  StartWith("FreedNotice=1\r\n", "CleanSpeed=0\r\n");
  os.kernel.onSleep = [this](win::DWORD ms) {
    if (ms == 10 && form->stcInfo.Caption() == "掃除中 5% ")
      backend.QueueInput([this] { form->btnStop.Click(); });
  };
  form->sbtnGetMemClick(nullptr);
  EXPECT_TRUE(Balloons().empty());
  form.reset();

  os.shell.notifyIconCalls.clear();
  WriteIni("[DEFAULT]\r\nCleanSpeed=2\r\n[EXTRA]\r\nFreedNotice=1\r\n");
  Start({"-exec"});
  form->FCleanSize = 1000;
  backend.AdvanceTime(100);
  EXPECT_EQ(Cleanings(), 1);
  EXPECT_TRUE(Balloons().empty());
}

// --- The hotkey ---------------------------------------------------------------

TEST(HotKeyTextRule, NamesTheCombinationAndGivesTheSystemItsBits) {
  struct Case {
    int value;
    const char* text;
    win::UINT modifiers;
  };
  const Case cases[] = {
      {kCtrlAltM, "Ctrl+Alt+M", win::MOD_CONTROL | win::MOD_ALT},
      {0x0100 | 0x70, "Shift+F1", win::MOD_SHIFT},
      {0x0700 | '5', "Ctrl+Shift+Alt+5", win::MOD_CONTROL | win::MOD_SHIFT | win::MOD_ALT},
      {0x0A00 | 0x2E, "Ctrl+Delete", win::MOD_CONTROL},  // the extended-key bit is no modifier
      {0x0200 | 0x63, "Ctrl+Num 3", win::MOD_CONTROL},
      {0x0400 | 0xBA, "Alt+0xBA", win::MOD_ALT},
      {0, "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HotKeyText(c.value), c.text) << c.value;
    EXPECT_EQ(HotKeyModifiers(c.value), c.modifiers) << c.value;
  }
}

TEST_F(ExtrasTest, TheHotKeyStartsACleaningAndStopsTheRunningOne) {
  StartWith("HotKey=1613\r\n", "CleanSpeed=0\r\n");
  ASSERT_EQ(os.desktop.hotKeys.size(), 1u);
  const auto& r = os.desktop.hotKeys.begin()->second;
  EXPECT_EQ(r.window, form->Handle());
  EXPECT_EQ(r.modifiers & ~win::MOD_NOREPEAT, win::MOD_CONTROL | win::MOD_ALT);
  EXPECT_EQ(r.virtualKey, static_cast<win::UINT>('M'));
  std::string stoppedAt;
  os.kernel.onSleep = [&](win::DWORD ms) {
    if (ms == 10 && form->stcInfo.Caption() == "掃除中 20% ")
      backend.QueueInput([this] { HotKey(); });
    if (ms == 100) stoppedAt = form->stcInfo.Caption();
  };
  HotKey();
  EXPECT_EQ(Cleanings(), 1);
  EXPECT_EQ(stoppedAt, "掃除中 20% ");
  EXPECT_FALSE(form->FCleaning);
  form.reset();
  EXPECT_TRUE(os.desktop.hotKeys.empty());
}

TEST_F(ExtrasTest, ARefusedHotKeyIsReportedOnceAtStartAndKeepsTheDialogOpenAtOk) {
  os.desktop.heldElsewhere.insert({win::MOD_CONTROL | win::MOD_ALT, 'M'});
  StartWith("HotKey=1613\r\n");
  ASSERT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_NE(os.user.messageBoxes[0].text.find("Ctrl+Alt+M"), std::string::npos);
  EXPECT_TRUE(os.desktop.hotKeys.empty());
  // Opening and closing the dialog neither reports it again nor forgets it.
  OpenDialog({[&] { Settings().btnCancel.Click(); }});
  EXPECT_EQ(os.user.messageBoxes.size(), 1u);
  form->SaveSettings(false);
  EXPECT_EQ(Key("EXTRA", "HotKey"), "1613");

  // OK with the refused combination unchanged and another change: the change
  // saves, the combination stays stored, nothing is said again.
  TSettingFrm& s = Settings();
  OpenDialog({[&] {
    s.udInterval.SetPosition(5);
    s.btnOk.Click();
  }});
  EXPECT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_EQ(Key("EXTRA", "IntervalClean"), "5");
  EXPECT_EQ(Key("EXTRA", "HotKey"), "1613");
  EXPECT_TRUE(os.desktop.hotKeys.empty());

  // OK with a refused combination the user chose: a message naming it, the
  // dialog stays open, and the combination registered before is kept.
  bool openAfterOk = false;
  OpenDialog({[&] {
    s.hkyClean.SetHotKey(0x0600 | 'K');  // Ctrl+Alt+K: free
    s.btnOk.Click();
  }});
  OpenDialog({[&] {
    s.hkyClean.SetHotKey(kCtrlAltM);
    s.btnOk.Click();
    openAfterOk = s.Modal() && s.ModalResult() == tk::TModalResult::mrNone;
    s.btnCancel.Click();
  }});
  EXPECT_TRUE(openAfterOk);
  ASSERT_EQ(os.user.messageBoxes.size(), 2u);
  EXPECT_NE(os.user.messageBoxes[1].text.find("Ctrl+Alt+M"), std::string::npos);
  ASSERT_EQ(os.desktop.hotKeys.size(), 1u);
  EXPECT_EQ(os.desktop.hotKeys.begin()->second.virtualKey, static_cast<win::UINT>('K'));
}

// --- Cleaning on an interval ----------------------------------------------------

TEST(IntervalClockRule, DueAfterTheMinutesSinceTheLastEndAcrossTheTickCountWrap) {
  struct Case {
    win::DWORD since, now;
    int minutes;
    bool due;
  };
  const Case cases[] = {
      {1000, 1000 + 59999, 1, false},
      {1000, 1000 + 60000, 1, true},
      {0xFFFFF000u, 0xFFFFF000u + 60000u, 1, true},   // wrapped: now is small
      {0xFFFFF000u, 0xFFFFF000u + 59999u, 1, false},  // wrapped, not yet
      {0, 0xFFFFFFFFu, 0, false},                     // off
      {5, 5 + 1440u * 60000u, 1440, true},
  };
  for (const Case& c : cases) {
    IntervalClock clock;
    clock.Restart(c.since);
    EXPECT_EQ(clock.Due(c.now, c.minutes), c.due) << c.since << " " << c.now;
  }
}

TEST_F(ExtrasTest, AnIntervalCleansOnceAMinuteSinceTheLastCleaningWithTheAutomaticHolds) {
  os.kernel.nowMs = 0xFFFFFFFFull - 30000;  // the tick count wraps in the first minute
  StartWith("IntervalClean=1\r\n", "CleanSpeed=2\r\nStopCpuUsePer=1\r\n");
  backend.AdvanceTime(59900);
  EXPECT_EQ(Cleanings(), 0);
  backend.AdvanceTime(400);
  EXPECT_EQ(Cleanings(), 1);
  // A cleaning of another kind restarts the minute.
  backend.AdvanceTime(30000);
  form->sbtnGetMemClick(nullptr);
  backend.AdvanceTime(59000);
  EXPECT_EQ(Cleanings(), 2);
  backend.AdvanceTime(2000);
  EXPECT_EQ(Cleanings(), 3);
  // Held while the processor is fully busy, and while the dialog is open.
  form->FCpuUsePer = 100;
  backend.AdvanceTime(120000);
  EXPECT_EQ(Cleanings(), 3);
  form->FCpuUsePer = 10;
  form->FModalOpen = true;
  backend.AdvanceTime(1000);
  EXPECT_EQ(Cleanings(), 3);
  form->FModalOpen = false;
  backend.AdvanceTime(200);
  EXPECT_EQ(Cleanings(), 4);
  // Held at full memory load when that hold is asked for, whether automatic
  // cleaning is on or off.
  Settings().chkbNot100Per.SetChecked(true);
  SetMemory(512 * MiB, 0, 100);
  for (bool automatic : {false, true}) {
    Settings().chkbAuto.SetChecked(automatic);
    backend.AdvanceTime(120000);
    EXPECT_EQ(Cleanings(), 4) << automatic;
  }
  Settings().chkbAuto.SetChecked(false);
  SetMemory(512 * MiB, 256 * MiB, 99);
  backend.AdvanceTime(200);
  EXPECT_EQ(Cleanings(), 5);
}

// --- Start with Windows ----------------------------------------------------------

// An entry written by hand or another tool without quotes still names this
// exe when its path has blanks; arguments after a blank do not matter.
TEST_F(ExtrasTest, AnUnquotedEntryWithBlanksNamesThisExe) {
  os.kernel.moduleFileName = "C:\\Program Files\\Norva\\norva.exe";
  struct Case {
    const char* entry;
    bool ticked;
  };
  for (const Case& c :
       {Case{"C:\\Program Files\\Norva\\norva.exe", true},
        Case{"c:\\program files\\norva\\NORVA.EXE -exec", true},
        Case{"\"C:\\Program Files\\Norva\\norva.exe\" -exec", true},
        Case{"C:\\Program Files\\Norva\\norva.exe2", false}, Case{"C:\\Program", false},
        Case{"C:\\Program Files\\Other\\norva.exe", false}}) {
    os.userRegistry.values.clear();
    os.userRegistry.values[{kRunKey, "Norva"}] = c.entry;
    StartWith("");
    EXPECT_EQ(Settings().chkbStartup.Checked(), c.ticked) << c.entry;
    Stop();
  }
}

TEST_F(ExtrasTest, TheStartUpBoxIsTheRegistrysEntryForThisExe) {
  const std::string exe = os.kernel.GetModuleFileNameA();
  struct Case {
    const char* entry;  // nullptr: none
    bool ticked;
    bool tickAtOk;
    std::string after;
  };
  const Case cases[] = {
      {nullptr, false, true, "\"" + exe + "\""},
      {nullptr, false, false, "<none>"},
      {"\"C:\\old\\norva.exe\"", false, true, "\"" + exe + "\""},  // an old path is rewritten
      {"\"C:\\old\\norva.exe\"", false, false, "\"C:\\old\\norva.exe\""},  // another's: kept
      {"\"C:\\NORVA\\Norva.EXE\"", true, false, "<none>"},  // names this exe in other case
      {"\"C:\\NORVA\\Norva.EXE\"", true, true, "\"C:\\NORVA\\Norva.EXE\""},
  };
  ASSERT_EQ(text::ToLowerAscii(exe), "c:\\norva\\norva.exe");
  for (const Case& c : cases) {
    os.userRegistry.values.clear();
    if (c.entry != nullptr) os.userRegistry.values[{kRunKey, "Norva"}] = c.entry;
    StartWith("");
    TSettingFrm& s = Settings();
    EXPECT_EQ(s.chkbStartup.Checked(), c.ticked) << (c.entry ? c.entry : "none");
    // Cancel changes nothing.
    OpenDialog({[&] {
      s.chkbStartup.SetChecked(!c.ticked);
      s.btnCancel.Click();
    }});
    EXPECT_EQ(s.chkbStartup.Checked(), c.ticked);
    OpenDialog({[&] {
      s.chkbStartup.SetChecked(c.tickAtOk);
      s.btnOk.Click();
    }});
    EXPECT_EQ(RunEntry(), c.after) << (c.entry ? c.entry : "none") << c.tickAtOk;
    EXPECT_EQ(s.chkbStartup.Checked(), c.tickAtOk && c.after != "\"C:\\old\\norva.exe\"");
    EXPECT_EQ(IniText().find("Startup"), std::string::npos);
    form.reset();
  }
}

TEST_F(ExtrasTest, ARefusedStartUpChangeIsToldAndTheBoxShowsTheRegistry) {
  const std::string ours = "\"" + os.kernel.GetModuleFileNameA() + "\"";
  struct Case {
    bool stored;           // the Run value names this exe before OK
    win::LONG failSet;     // what the registry answers a write
    win::LONG failDelete;  // and a delete
    const char* said;      // nullptr: no message
  };
  const Case cases[] = {
      {false, win::ERROR_ACCESS_DENIED, 0, "登録できませんでした"},
      {true, 0, win::ERROR_ACCESS_DENIED, "解除できませんでした"},
      {false, 1450, 0, "エラー コード 1450"},  // no system words: the code
  };
  for (const Case& c : cases) {
    os.userRegistry.values.clear();
    if (c.stored) os.userRegistry.values[{kRunKey, "Norva"}] = ours;
    os.user.messageBoxes.clear();
    StartWith("");
    os.userRegistry.failSet = c.failSet;
    os.userRegistry.failDelete = c.failDelete;
    TSettingFrm& s = Settings();
    OpenDialog({[&] {
      s.chkbStartup.SetChecked(!c.stored);
      s.udInterval.SetPosition(7);
      s.btnOk.Click();
    }});
    const std::string context = std::to_string(c.failSet) + "/" + std::to_string(c.failDelete);
    if (c.said == nullptr) {
      EXPECT_TRUE(os.user.messageBoxes.empty()) << context;
    } else {
      ASSERT_EQ(os.user.messageBoxes.size(), 1u) << context;
      EXPECT_NE(os.user.messageBoxes[0].text.find(c.said), std::string::npos)
          << os.user.messageBoxes[0].text;
      EXPECT_NE(os.user.messageBoxes[0].text.find("CurrentVersion\\Run"), std::string::npos);
      EXPECT_EQ(RunEntry(), c.stored ? ours : "<none>") << context;
    }
    EXPECT_EQ(s.chkbStartup.Checked(), c.said == nullptr ? !c.stored : c.stored) << context;
    // The other settings saved all the same.
    EXPECT_NE(IniText().find("IntervalClean=7"), std::string::npos) << context;
    os.userRegistry.failSet = os.userRegistry.failDelete = 0;
    form.reset();
  }
}

// --- The load on the tray icon ---------------------------------------------------

TEST(LoadIconRule, TwoDigitsOrAFullBarAtTheGivenSize) {
  EXPECT_EQ(LoadIconDigits(42), "42");
  EXPECT_EQ(LoadIconDigits(7), "7");
  EXPECT_EQ(LoadIconDigits(99), "99");
  EXPECT_EQ(LoadIconDigits(100), "");
  const auto white = [](const std::vector<uint32_t>& p) {
    return std::count(p.begin(), p.end(), 0xFFFFFFFFu);
  };
  // "11" at 16 pixels: each "1" lights 8 grid squares of 2 × 2 pixels.
  EXPECT_EQ(white(LoadIconPixels(11, 16, false)), 2 * 8 * 4);
  EXPECT_EQ(white(LoadIconPixels(1, 16, false)), 8 * 4);
  // "88" at 32 pixels: 13 squares each, of 4 × 6.
  EXPECT_EQ(white(LoadIconPixels(88, 32, false)), 2 * 13 * 24);
  EXPECT_EQ(white(LoadIconPixels(100, 16, false)), 12 * 12);
  // The normal and the cleaning chip differ in colour only.
  const auto normal = LoadIconPixels(50, 16, false), cleaning = LoadIconPixels(50, 16, true);
  EXPECT_EQ(white(normal), white(cleaning));
  EXPECT_NE(normal[5 * 16 + 0], cleaning[5 * 16 + 0]);
}

TEST(LoadIconRule, TheDigitsLeaveTheEdgeWholeAtEverySize) {
  struct Case {
    int load, size;
  };
  for (const Case c : {Case{88, 16}, Case{88, 20}, Case{88, 24}, Case{88, 32}, Case{100, 16},
                       Case{8, 20}, Case{88, 40}}) {
    const auto pixels = LoadIconPixels(c.load, c.size, false);
    const uint32_t edge = pixels[0];
    int covered = 0;
    for (int i = 0; i < c.size; ++i)
      for (int at : {i, (c.size - 1) * c.size + i, i * c.size, i * c.size + c.size - 1})
        covered += pixels[static_cast<size_t>(at)] != edge;
    EXPECT_EQ(covered, 0) << c.load << " at " << c.size;
    // And the digits are there, inside.
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), 0xFFFFFFFFu), 0) << c.size;
  }
}

TEST_F(ExtrasTest, TheTrayLoadIconIsRedrawnOnlyWhenTheNumberChangesAndOldIconsAreReleased) {
  os.desktop.smallIconSize = 20;
  SetMemory(512 * MiB, 256 * MiB, 42);
  StartWith("TrayLoadIcon=1\r\n");
  backend.AdvanceTime(100);
  ASSERT_EQ(os.desktop.iconsCreated, 1);
  const auto shown = [&] { return os.shell.CurrentIcon(form->Handle())->hIcon; };
  EXPECT_EQ(os.desktop.liveIcons.count(shown()), 1u);
  EXPECT_EQ(os.desktop.liveIcons.at(shown()).size(), 20u * 20u);
  backend.AdvanceTime(1000);  // the same load: nothing drawn
  EXPECT_EQ(os.desktop.iconsCreated, 1);
  for (uint32_t load = 43; load <= 142; ++load) {
    SetMemory(512 * MiB, 256 * MiB, load);
    backend.AdvanceTime(100);
  }
  // 43 to 99, then one full bar for 100 and above.
  EXPECT_EQ(os.desktop.iconsCreated, 1 + 57 + 1);
  EXPECT_EQ(os.desktop.liveIcons.size(), 1u);
  // A cleaning shows the cleaning colour, then the normal one again.
  SetMemory(512 * MiB, 256 * MiB, 60);
  const int before = os.desktop.iconsCreated;
  form->sbtnGetMemClick(nullptr);
  // The cleaning chip (still at the last sampled load), then the normal one at 60.
  EXPECT_EQ(os.desktop.iconsCreated - before, 2);
  EXPECT_EQ(os.desktop.liveIcons.size(), 1u);
  // Switched off at OK: the program's own icon again, nothing left over.
  OpenDialog({[&] {
    Settings().chkbTrayLoad.SetChecked(false);
    Settings().btnOk.Click();
  }});
  EXPECT_EQ(os.user.IconName(shown()), "TASKTRAY00");
  EXPECT_TRUE(os.desktop.liveIcons.empty());
}

TEST_F(ExtrasTest, WithoutTheSectionTheTrayAndTheHotKeysAreUntouched) {
  StartWith("");
  backend.AdvanceTime(5000);
  form->sbtnGetMemClick(nullptr);
  EXPECT_EQ(os.desktop.registerCalls, 0);
  EXPECT_EQ(os.desktop.iconsCreated, 0);
  EXPECT_TRUE(Balloons().empty());
  EXPECT_EQ(os.user.IconName(os.shell.CurrentIcon(form->Handle())->hIcon), "TASKTRAY00");
}

}  // namespace
}  // namespace norva::testing
