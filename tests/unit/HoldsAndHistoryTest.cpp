// The holds of automatic cleaning (backing off, full-screen programs) and
// the cleaning history: its records, its window and its CSV file.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "NorvaFixture.h"
#include "app/AutoHolds.h"
#include "app/CleanHistory.h"
#include "app/HistoryForm.h"
#include "platform/Text.h"
#include "settings/ExtraSettings.h"

namespace norva::testing {
namespace {

// Held memory: the free-memory rule's condition never goes away.
const char* const kAutoFreeRule =
    "CleanSpeed=2\r\nAutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=500\r\n";

class HoldsTest : public NorvaTest {
 protected:
  void StartWith(const std::string& extra, const std::string& defaults = "CleanSpeed=2\r\n",
                 std::vector<std::string> args = {}) {
    WriteIni("[DEFAULT]\r\n" + defaults + "[EXTRA]\r\n" + extra);
    Start(std::move(args));
    form->timSub.SetEnabled(false);
    form->FCleanSize = 1000;
  }
  int Cleanings() const {
    int n = 0;
    for (const auto& c : os.shell.notifyIconCalls) n += c.data.szTip == "掃除中...";
    return n;
  }
  // The tip the tray shows once the mouse rests on the icon.
  std::string HoverTip() {
    TMessage m{form->FIconNotifyMsg, 0, static_cast<win::LPARAM>(win::WM_MOUSEMOVE)};
    form->WndProc(m);
    return form->FTrayTip;
  }
  std::vector<std::string> MenuNames() const {
    std::vector<std::string> names;
    for (const auto& item : form->PopupMenu.Items) names.push_back(item->Name);
    return names;
  }
};

// --- Backing off ---------------------------------------------------------------

TEST(AutoBackoffRule, EachFailureDoublesTheWaitUpToAnHourAcrossTheTickCountWrap) {
  AutoBackoff backoff;
  win::DWORD now = 0xFFFFFFFFu - 90000u;  // wraps during the first wait
  const int expected[] = {1, 2, 4, 8, 16, 32, 60, 60, 60};
  for (int minutes : expected) {
    backoff.Finished(now, AutoOrigin::FreeMemoryRule, true, 0, 8 * GiB, 90);
    EXPECT_EQ(backoff.WaitMinutes(), minutes);
    EXPECT_TRUE(backoff.Waiting(now));
    EXPECT_EQ(backoff.MinutesLeft(now), minutes);
    EXPECT_EQ(backoff.MinutesLeft(now + 1), minutes);  // rounded up
    EXPECT_TRUE(backoff.Waiting(now + minutes * 60000u - 1));
    EXPECT_FALSE(backoff.Waiting(now + minutes * 60000u));
    EXPECT_EQ(backoff.MinutesLeft(now + minutes * 60000u), 0);
    now += minutes * 60000u + 500u;
  }
}

TEST(AutoBackoffRule, TheWaitAndTheDoublingEndWhenTheConditionIsGoneOrACleaningHelps) {
  struct Case {
    const char* name;
    AutoOrigin origin;
    std::function<void(AutoBackoff&)> then;
    bool waiting;
  };
  const Case cases[] = {
      {"free memory still low", AutoOrigin::FreeMemoryRule,
       [](AutoBackoff& b) { b.Watch(true, 90); }, true},
      {"free memory back", AutoOrigin::FreeMemoryRule, [](AutoBackoff& b) { b.Watch(false, 90); },
       false},
      {"load rule, load the same", AutoOrigin::LoadRule, [](AutoBackoff& b) { b.Watch(false, 70); },
       true},
      {"load rule, load down", AutoOrigin::LoadRule, [](AutoBackoff& b) { b.Watch(false, 69); },
       false},
      {"interval, load up", AutoOrigin::Interval, [](AutoBackoff& b) { b.Watch(true, 75); }, true},
      {"by hand", AutoOrigin::Interval, [](AutoBackoff& b) { b.Reset(); }, false},
      {"a later cleaning helped", AutoOrigin::FreeMemoryRule,
       [](AutoBackoff& b) {
         b.Finished(1000, AutoOrigin::FreeMemoryRule, false, 82 * MiB, 8 * GiB, 60);
       },
       false},
  };
  for (const Case& c : cases) {
    AutoBackoff backoff;
    backoff.Finished(1000, c.origin, c.origin == AutoOrigin::FreeMemoryRule, 0, 8 * GiB, 70);
    backoff.Finished(1000, c.origin, c.origin == AutoOrigin::FreeMemoryRule, 0, 8 * GiB, 70);
    ASSERT_EQ(backoff.WaitMinutes(), 2) << c.name;
    c.then(backoff);
    EXPECT_EQ(backoff.Waiting(1000), c.waiting) << c.name;
    // After an end, the next failure waits 1 minute again.
    if (!c.waiting) {
      backoff.Finished(2000, c.origin, true, 0, 8 * GiB, 70);
      EXPECT_EQ(backoff.WaitMinutes(), 1) << c.name;
    }
  }
}

TEST(AutoBackoffRule, ACleaningHelpsWhenItsConditionIsGoneAndItFreedOnePercent) {
  struct Case {
    bool stillHolds;
    uint64_t freed, total;
    bool helped;
  };
  const Case cases[] = {
      {false, 82 * MiB, 8 * GiB, true},   // 1 % of 8 GiB is 81.92 MiB
      {false, 81 * MiB, 8 * GiB, false},  // just under
      {true, 4 * GiB, 8 * GiB, false},    // much freed, still below the threshold
      {false, 0, 0, true},                // nothing known about the memory
  };
  for (const Case& c : cases)
    EXPECT_EQ(CleaningHelped(c.stillHolds, c.freed, c.total), c.helped) << c.freed;
  EXPECT_EQ(BackoffTipLine(8), "自動掃除は 8 分後まで控えます");
}

TEST_F(HoldsTest, HeldMemoryCleansThreeTimesInFiveMinutesWithTheBackoffAndTheTipSaysSo) {
  for (bool on : {false, true}) {
    StartWith(on ? "AutoBackoff=1\r\n" : "", kAutoFreeRule);
    SetMemory(8 * GiB, 100 * MiB, 90);
    backend.AdvanceTime(on ? 5 * 60000 : 20000);
    if (!on) {
      // Back to back: a cleaning each few ticks.
      EXPECT_GT(Cleanings(), 20);
      EXPECT_EQ(HoverTip().find("自動掃除"), std::string::npos);
      form.reset();
      os.shell.notifyIconCalls.clear();
      continue;
    }
    // At the start, a minute after, two minutes after that; the next is 4
    // minutes later.
    EXPECT_EQ(Cleanings(), 3);
    EXPECT_EQ(form->FBackoff.WaitMinutes(), 4);
    EXPECT_EQ(HoverTip(), "100.0MB Free\n自動掃除は 3 分後まで控えます");
    // A cleaning by hand is never held, and starts the doubling over.
    form->sbtnGetMemClick(&form->sbtnGetMem);
    EXPECT_EQ(Cleanings(), 4);
    backend.AdvanceTime(200);
    EXPECT_EQ(Cleanings(), 5);  // the rule again, at once
    EXPECT_EQ(form->FBackoff.WaitMinutes(), 1);
    // Free memory back above the threshold: the wait ends.
    SetMemory(8 * GiB, 600 * MiB, 80);
    backend.AdvanceTime(200);
    EXPECT_EQ(form->FBackoff.Failures(), 0);
    EXPECT_EQ(HoverTip(), "600.0MB Free");
  }
}

// --- Full-screen programs --------------------------------------------------------

TEST(FullScreenRule, TheShellsAnswerOrAForegroundWindowCoveringItsMonitor) {
  const auto game = reinterpret_cast<win::HWND>(0x6A3E);
  const auto desktop = reinterpret_cast<win::HWND>(0xDE5C);
  struct Case {
    const char* name;
    std::function<void(platform::fake::FakeForeground&)> setUp;
    bool fullScreen;
  };
  const Case cases[] = {
      {"busy", [](auto& f) { f.notificationState = win::QUNS_BUSY; }, true},
      {"Direct3D", [](auto& f) { f.notificationState = win::QUNS_RUNNING_D3D_FULL_SCREEN; }, true},
      {"presentation", [](auto& f) { f.notificationState = win::QUNS_PRESENTATION_MODE; }, true},
      {"accepts, window in a corner", [](auto&) {}, false},
      {"accepts, window covers the monitor",
       [&](auto& f) {
         f.windows[game].rect = {-3, -3, 1030, 770};
       },
       true},
      {"no shell answer, window covers it",
       [&](auto& f) {
         f.shellAnswers = false;
         f.windows[game].rect = {0, 0, 1024, 768};
       },
       true},
      {"maximised",
       [&](auto& f) {
         f.windows[game] = {"Chrome", {-8, -8, 1032, 776}, true};
       },
       false},
      {"one pixel short",
       [&](auto& f) {
         f.windows[game].rect = {0, 0, 1024, 767};
       },
       false},
      {"the shell's window",
       [&](auto& f) {
         f.foreground = f.shellWindow;
         f.windows[f.shellWindow].rect = {0, 0, 1024, 768};
       },
       false},
      {"the desktop's icons",
       [&](auto& f) {
         f.windows[game] = {"WorkerW", {0, 0, 1024, 768}};
       },
       false},
      {"the desktop window",
       [&](auto& f) {
         f.foreground = desktop;
         f.windows[desktop].rect = {0, 0, 1024, 768};
       },
       false},
      {"none in front", [&](auto& f) { f.foreground = nullptr; }, false},
      {"the second monitor, covered",
       [&](auto& f) {
         f.monitors.push_back({1024, 0, 2944, 1080});
         f.windows[game].rect = {1024, 0, 2944, 1080};
       },
       true},
      {"the second monitor, the first's size",
       [&](auto& f) {
         f.monitors.push_back({1024, 0, 2944, 1080});
         f.windows[game].rect = {1024, 0, 2048, 768};
       },
       false},
  };
  for (const Case& c : cases) {
    platform::fake::FakePlatform os;
    os.foreground.foreground = game;
    os.foreground.windows[game] = {"Game", {100, 100, 500, 400}};
    c.setUp(os.foreground);
    EXPECT_EQ(FullScreenInFront(desktop), c.fullScreen) << c.name;
  }
}

TEST_F(HoldsTest, AFullScreenProgramHoldsAutomaticCleaningUntilItIsGoneButNeverTheUsers) {
  const auto game = reinterpret_cast<win::HWND>(0x6A3E);
  for (bool on : {false, true}) {
    StartWith(on ? "IntervalClean=1\r\nFullScreenHold=1\r\n" : "IntervalClean=1\r\n");
    os.foreground.foreground = game;
    os.foreground.windows[game] = {"Game", {0, 0, 1024, 768}};
    backend.AdvanceTime(90000);
    EXPECT_EQ(Cleanings(), on ? 0 : 1);
    if (!on) {
      form.reset();
      os.shell.notifyIconCalls.clear();
      continue;
    }
    form->sbtnGetMemClick(&form->sbtnGetMem);
    EXPECT_EQ(Cleanings(), 1);
    // The interval counts from that cleaning; still held a minute later.
    backend.AdvanceTime(61000);
    EXPECT_EQ(Cleanings(), 1);
    os.foreground.windows[game].rect = {0, 0, 800, 600};
    backend.AdvanceTime(200);
    EXPECT_EQ(Cleanings(), 2);
    // The free-memory rule is held the same way.
    form.reset();
    os.shell.notifyIconCalls.clear();
    StartWith("FullScreenHold=1\r\n", kAutoFreeRule);
    os.foreground.notificationState = win::QUNS_PRESENTATION_MODE;
    SetMemory(8 * GiB, 100 * MiB, 90);
    backend.AdvanceTime(5000);
    EXPECT_EQ(Cleanings(), 0);
    os.foreground.notificationState = win::QUNS_ACCEPTS_NOTIFICATIONS;
    os.foreground.foreground = nullptr;
    backend.AdvanceTime(200);
    EXPECT_GE(Cleanings(), 1);
  }
}

// --- The record of each cleaning ---------------------------------------------------

TEST_F(HoldsTest, EachKindOfStartIsRecordedWithItsFigures) {
  struct Case {
    CleanKind kind;
    const char* extra;
    const char* defaults;
    std::vector<std::string> args;
    std::function<void()> start;
  };
  const Case cases[] = {
      {CleanKind::Button,
       "",
       "CleanSpeed=2\r\n",
       {},
       [this] { form->sbtnGetMemClick(&form->sbtnWGetMem); }},
      {CleanKind::TrayMenu, "", "CleanSpeed=2\r\n", {}, [this] { form->pmClean->Click(); }},
      {CleanKind::HotKey,
       "HotKey=1613\r\n",
       "CleanSpeed=2\r\n",
       {},
       [this] {
         TMessage m{win::WM_HOTKEY, 1, 0};
         form->WndProc(m);
       }},
      {CleanKind::Interval,
       "IntervalClean=1\r\n",
       "CleanSpeed=2\r\n",
       {},
       [this] { backend.AdvanceTime(60100); }},
      {CleanKind::FreeMemoryRule, "", kAutoFreeRule, {}, [this] { backend.AdvanceTime(100); }},
      {CleanKind::LoadRule,
       "",
       "CleanSpeed=2\r\nAutoMemClear=1\r\nAutoMemUsed=1\r\nAutoMemUsePer=3\r\n",
       {},
       [this] {
         backend.AdvanceTime(100);
         SetMemory(8 * GiB, 2 * GiB, 76);
         backend.AdvanceTime(100);
       }},
      {CleanKind::Exec, "", "CleanSpeed=2\r\n", {"-exec"}, [this] { backend.AdvanceTime(100); }},
  };
  for (const Case& c : cases) {
    os.kernel.onSleep = nullptr;
    SetMemory(8 * GiB, c.kind == CleanKind::FreeMemoryRule ? 100 * MiB : 2 * GiB, 80);
    StartWith(c.extra, c.defaults, c.args);
    os.kernel.localTime = {2026, 12, 3, 9, 21, 5, 7, 0};
    os.kernel.onSleep = [this](win::DWORD ms) {
      if (ms == 300) SetMemory(8 * GiB, 3 * GiB, 60);
    };
    c.start();
    ASSERT_GE(form->FHistory.Count(), 1u) << static_cast<int>(c.kind);
    const CleanRecord& r = form->FHistory.Records().front();
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.started.wHour, 21);
    EXPECT_EQ(r.sizeBytes, form->FCleanSize);
    EXPECT_GE(r.durationMs, 300u);  // the hold of a speed-2 cleaning
    EXPECT_EQ(r.freeAfter, 3 * GiB);
    EXPECT_EQ(r.Freed(), r.freeAfter - r.freeBefore);
    EXPECT_FALSE(r.stopped);
    form.reset();
  }
}

TEST_F(HoldsTest, AStoppedCleaningIsRecordedAsSuchAndOnlyTheLast200AreKept) {
  StartWith("", "CleanSpeed=0\r\n");
  os.kernel.onSleep = [this](win::DWORD ms) {
    if (ms == 10 && form->stcInfo.Caption() == "掃除中 5% ")
      backend.QueueInput([this] { form->btnStop.Click(); });
  };
  form->sbtnGetMemClick(nullptr);
  ASSERT_EQ(form->FHistory.Count(), 1u);
  EXPECT_TRUE(form->FHistory.Records().back().stopped);
  EXPECT_EQ(HistoryRow(form->FHistory.Records().back()).back(), "中断");

  CleanHistory history;
  for (int i = 0; i < 205; ++i) history.Add({.sizeBytes = i});
  EXPECT_EQ(history.Count(), 200u);
  EXPECT_EQ(history.Records().front().sizeBytes, 5);
  EXPECT_EQ(history.Records().back().sizeBytes, 204);
}

// --- The history's texts -------------------------------------------------------------

CleanRecord Record(uint16_t day, uint16_t hour, CleanKind kind, uint64_t before, uint64_t after,
                   win::DWORD ms = 1234, bool stopped = false) {
  return {{2026, 12, 0, day, hour, 4, 9, 0}, kind, 1536 * int64_t(MiB), ms, before, after, stopped};
}

TEST(HistoryTextRule, RowsTodaysTotalAndTheCopiedTextNewestFirst) {
  CleanHistory h;
  h.Add(Record(8, 23, CleanKind::Interval, 1 * GiB, 2 * GiB));
  h.Add(Record(9, 7, CleanKind::FreeMemoryRule, 100 * MiB, 2148 * MiB, 45000));
  h.Add(Record(9, 8, CleanKind::HotKey, 3 * GiB, 2 * GiB, 50, true));
  EXPECT_EQ(HistoryRow(h.Records()[1]),
            (std::vector<std::string>{"2026-12-09 07:04:09", "空き容量", "1,536 MB", "45.0 秒",
                                      "100 MB", "2,148 MB", "2,048 MB", "完了"}));
  EXPECT_EQ(HistoryRow(h.Records()[2])[6], "0 MB");  // less free after: nothing freed
  const win::SYSTEMTIME today{2026, 12, 3, 9, 12, 0, 0, 0};
  EXPECT_EQ(HistoryTotalLine(h, today), "今日 2 回 / 解放 2,048 MB");
  EXPECT_EQ(HistoryTotalLine(CleanHistory{}, today), "今日 0 回 / 解放 0 MB");
  const std::string text = HistoryTabText(h);
  EXPECT_EQ(text.substr(0, text.find("\r\n")),
            "開始\tきっかけ\t確保量\t所要時間\t空き（前）\t空き（後）\t解放\t結果");
  EXPECT_LT(text.find("2026-12-09 08:04:09\tホットキー"), text.find("2026-12-09 07:04:09"));
  EXPECT_LT(text.find("2026-12-09 07:04:09"), text.find("2026-12-08 23:04:09\t一定間隔"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
}

TEST_F(HoldsTest, TheHistoryItemFollowsTheMenusOwnItemsAndOpensTheListWithItsCopy) {
  StartWith("");
  const std::vector<std::string> own = MenuNames();
  EXPECT_EQ(own, (std::vector<std::string>{"pmRestore", "N2", "pmConfig", "pmClean", "pmInfo", "N1",
                                           "pmExit"}));
  form.reset();
  StartWith("CleanHistory=1\r\nIntervalClean=1\r\n");
  std::vector<std::string> withHistory = own;
  withHistory.insert(withHistory.end(), {"N3", "pmHistory"});
  EXPECT_EQ(MenuNames(), withHistory);
  EXPECT_EQ(form->pmHistory->Caption, "掃除の履歴...");

  form->sbtnGetMemClick(&form->sbtnGetMem);
  backend.AdvanceTime(60200);
  ASSERT_EQ(form->FHistory.Count(), 2u);
  form->pmHistory->Click();
  ASSERT_TRUE(form->FHistoryFrm);
  auto& window = static_cast<THistoryFrm&>(*form->FHistoryFrm);
  EXPECT_TRUE(window.Visible());
  ASSERT_EQ(window.lvHistory.Count(), 2);
  EXPECT_EQ(window.lvHistory.Item(0)->Text(1), "一定間隔");
  EXPECT_EQ(window.lvHistory.Item(1)->Text(1), "ボタン");
  EXPECT_EQ(window.lblTotal.Caption(), "今日 2 回 / 解放 0 MB");
  // Every column is as wide as its widest text.
  for (int i = 0; i < window.lvHistory.ColumnCount(); ++i)
    EXPECT_GT(window.lvHistory.Columns()[static_cast<size_t>(i)].Width, 16) << i;
  EXPECT_GT(window.lvHistory.Columns()[0].Width, window.lvHistory.Columns()[7].Width);
  // A cleaning while it is open shows at once.
  form->pmClean->Click();
  EXPECT_EQ(window.lvHistory.Count(), 3);
  EXPECT_EQ(window.lvHistory.Item(0)->Text(1), "メニュー");

  window.btnCopy.Click();
  EXPECT_EQ(os.desktop.clipboard, HistoryTabText(form->FHistory));
  EXPECT_TRUE(os.user.messageBoxes.empty());
  os.desktop.clipboardBusy = true;
  window.btnCopy.Click();
  ASSERT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_EQ(os.user.messageBoxes[0].caption, "エラー");

  // Switched off in the dialog: the item and the window go.
  SettingFrm->chkbCleanHistory.SetChecked(false);
  form->SaveSettings(false);
  form->LoadSettings();
  EXPECT_EQ(MenuNames(), own);
  EXPECT_FALSE(window.Visible());
}

// --- The CSV file -----------------------------------------------------------------------

const std::string kCsv = "C:\\Norva\\norva-history.csv";
const std::string kHead = std::string("\xEF\xBB\xBF") + kHistoryCsvHeader + "\r\n";

TEST(HistoryFileRule, LinesAreAddedWholeAndAFailedWriteLeavesTheFileAsItWas) {
  platform::fake::FakePlatform os;
  const auto file = [&] { return os.profile.FileText(kCsv); };
  EXPECT_EQ(HistoryFilePath("C:\\Norva\\norva.exe"), kCsv);
  const CleanRecord first = Record(9, 7, CleanKind::FreeMemoryRule, 100 * MiB, 2148 * MiB, 45000);
  const CleanRecord second = Record(9, 8, CleanKind::Exec, 2 * GiB, 2 * GiB, 310, true);
  const std::string firstLine = "2026-12-09T07:04:09,free-memory,1536,45000,100,2148,2048,0";
  const std::string secondLine = "2026-12-09T08:04:09,exec,1536,310,2048,2048,0,1";
  EXPECT_EQ(HistoryCsvLine(first), firstLine);

  EXPECT_EQ(AppendHistoryFile(kCsv, first), 0u);
  EXPECT_EQ(file(), kHead + firstLine + "\r\n");
  EXPECT_EQ(AppendHistoryFile(kCsv, second), 0u);
  const std::string both = kHead + firstLine + "\r\n" + secondLine + "\r\n";
  EXPECT_EQ(file(), both);
  EXPECT_EQ(os.profile.Paths().size(), 1u);  // no temporary file left

  struct Failure {
    const char* name;
    std::function<void(platform::fake::FakeFiles&)> script;
    win::DWORD error;
  };
  const auto failing = [](const char* call, win::DWORD error) {
    return [=](platform::fake::FakeFiles& f) {
      f.failCall = call;
      f.failError = error;
    };
  };
  const Failure failures[] = {
      {"disk full half-way", [](auto& f) { f.diskRoom = 40; }, win::ERROR_DISK_FULL},
      {"disk full at once", [](auto& f) { f.diskRoom = 0; }, win::ERROR_DISK_FULL},
      {"replace refused", failing("MoveFileExW", win::ERROR_SHARING_VIOLATION),
       win::ERROR_SHARING_VIOLATION},
      {"unreadable", failing("CreateFileW", win::ERROR_SHARING_VIOLATION),
       win::ERROR_SHARING_VIOLATION},
  };
  for (const Failure& f : failures) {
    f.script(os.files);
    EXPECT_EQ(AppendHistoryFile(kCsv, first), f.error) << f.name;
    EXPECT_EQ(file(), both) << f.name;
    EXPECT_EQ(os.profile.Paths().size(), 1u) << f.name;
    os.files.failCall.clear();
    os.files.diskRoom.reset();
  }
}

TEST(HistoryFileRule, TheOldestLinesGoAtTheLimitAndAHalfLineFromElsewhereIsDropped) {
  platform::fake::FakePlatform os;
  // A file written by hand: no byte-order mark, a half line at the end.
  os.profile.SetFileText(kCsv, std::string(kHistoryCsvHeader) + "\n" + "a\n" + "b\r\n" + "half");
  EXPECT_EQ(AppendHistoryFile(kCsv, Record(9, 7, CleanKind::Button, 0, 0)), 0u);
  const std::string line = HistoryCsvLine(Record(9, 7, CleanKind::Button, 0, 0));
  EXPECT_EQ(os.profile.FileText(kCsv), kHead + "a\r\nb\r\n" + line + "\r\n");

  const size_t limit = kHead.size() + 3 * (line.size() + 2);
  for (int i = 0; i < 10; ++i)
    ASSERT_EQ(AppendHistoryFile(kCsv, Record(9, static_cast<uint16_t>(i), CleanKind::Button, 0, 0),
                                limit),
              0u);
  const std::string text = os.profile.FileText(kCsv);
  EXPECT_LE(text.size(), limit);
  EXPECT_EQ(text.rfind(kHead, 0), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);  // the header and the last three
  EXPECT_NE(text.find("T09:04:09"), std::string::npos);
  EXPECT_EQ(text.find("T06:04:09"), std::string::npos);
}

TEST_F(HoldsTest, HistoryFileWritesEachCleaningAndTellsAFailureOnce) {
  const auto lines = [&] {
    const std::string text = os.profile.FileText(kCsv);
    return std::count(text.begin(), text.end(), '\n');
  };
  StartWith("HistoryFile=1\r\n");
  form->sbtnGetMemClick(&form->sbtnGetMem);
  form->pmClean->Click();
  EXPECT_EQ(lines(), 3);
  EXPECT_NE(os.profile.FileText(kCsv).find(",menu,"), std::string::npos);

  // Made read-only by the user: every later write fails.
  os.profile.SetReadOnly(kCsv, true);
  form->sbtnGetMemClick(&form->sbtnGetMem);
  form->sbtnGetMemClick(&form->sbtnGetMem);
  EXPECT_EQ(lines(), 3);
  ASSERT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_EQ(os.user.messageBoxes[0].caption, "エラー");
  EXPECT_EQ(form->FHistory.Count(), 4u);  // the memory keeps them all
  form.reset();

  // Without the key no file is written: the settings file is the only one.
  os.profile.RemoveFile(kCsv);
  StartWith("");
  form->sbtnGetMemClick(&form->sbtnGetMem);
  EXPECT_EQ(os.profile.Paths(), std::vector<std::string>{text::ToLowerAscii(os.IniPath())});
}

// --- The settings ---------------------------------------------------------------------

TEST(ExtraSettingsRule, TheHoldAndHistoryFlagsReadAsSetOnlyWhenNotZero) {
  platform::fake::FakePlatform os;
  struct Case {
    const char* text;
    bool backoff, fullScreen, history, file;
  };
  const Case cases[] = {
      {"", false, false, false, false},
      {"AutoBackoff=1\r\nFullScreenHold=1\r\nCleanHistory=1\r\nHistoryFile=1\r\n", true, true, true,
       true},
      {"AutoBackoff=x\r\nFullScreenHold=\r\nCleanHistory=0\r\nHistoryFile=1\r\n", false, false,
       false, true},
  };
  for (const Case& c : cases) {
    os.profile.SetFileText(os.IniPath(), std::string("[EXTRA]\r\n") + c.text);
    const ExtraSettings e = ReadExtraSettings(os.IniPath());
    EXPECT_EQ(e.autoBackoff, c.backoff) << c.text;
    EXPECT_EQ(e.fullScreenHold, c.fullScreen) << c.text;
    EXPECT_EQ(e.cleanHistory, c.history) << c.text;
    EXPECT_EQ(e.historyFile, c.file) << c.text;
  }
  // Nothing used: no section; one used: every key.
  os.profile.SetFileText(os.IniPath(), "[SYSTEM]\r\nXPos=1\r\n");
  WriteExtraSettings({}, os.IniPath(), os.profile);
  EXPECT_EQ(os.profile.FileText(os.IniPath()).find("EXTRA"), std::string::npos);
  ExtraSettings e;
  e.historyFile = true;
  WriteExtraSettings(e, os.IniPath(), os.profile);
  EXPECT_EQ(ReadExtraSettings(os.IniPath()), e);
  EXPECT_NE(os.profile.FileText(os.IniPath()).find("AutoBackoff=0"), std::string::npos);
}

}  // namespace
}  // namespace norva::testing
