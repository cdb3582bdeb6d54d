// Start-up and close: the single-instance rule, the order of creation and
// destruction, the tray icon, and the resources column of the older family.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "NorvaFixture.h"
#include "app/Entry.h"
#include "probes/MemoryStatus.h"

namespace norva::testing {
namespace {

class LifecycleTest : public NorvaTest {};

TEST_F(LifecycleTest, ASecondCopyOnlySaysSoAndEnds) {
  os.kernel.existingMutexes.insert("NORVA_EXE");
  EXPECT_EQ(RunNorva({}), 0);
  ASSERT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_EQ(os.user.messageBoxes[0].text, "プログラムの二重起動はできません。");
  EXPECT_EQ(os.user.messageBoxes[0].type, win::MB_OK);
  EXPECT_TRUE(os.shell.notifyIconCalls.empty());
  EXPECT_FALSE(os.profile.Exists(Ini()));

  // With English chosen, the message is English; the file is only read.
  WriteIni("[EXTRA]\r\nLanguage=en\r\n");
  const std::string before = os.profile.FileText(Ini());
  os.user.messageBoxes.clear();
  EXPECT_EQ(RunNorva({}), 0);
  ASSERT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_EQ(os.user.messageBoxes[0].text, "Norva is already running.");
  EXPECT_EQ(os.profile.FileText(Ini()), before);
  EXPECT_TRUE(os.shell.notifyIconCalls.empty());
}

TEST_F(LifecycleTest, AnythingThrownEndsTheProgramWithTheErrorMessage) {
  for (bool standard : {true, false}) {
    os.kernel.existingMutexes.clear();
    os.user.messageBoxes.clear();
    backend.QueueInput([standard] {
      if (standard) throw std::runtime_error("broken");
      throw 42;
    });
    EXPECT_EQ(RunNorva({}), 0);
    ASSERT_EQ(os.user.messageBoxes.size(), 1u) << standard;
    EXPECT_EQ(os.user.messageBoxes[0].text, standard ? "broken" : "unexpected error");
    EXPECT_EQ(os.user.messageBoxes[0].type, win::MB_OK | win::MB_ICONERROR);
    EXPECT_EQ(MainForm, nullptr);
  }
}

TEST_F(LifecycleTest, AFirstCopyRunsUntilItsWindowClosesAndSavesOnTheWay) {
  // The close arrives from the system once the loop runs, after the first
  // tick has added the tray icon; a close before it removes none.
  for (bool ticked : {true, false}) {
    os.kernel.existingMutexes.clear();
    os.shell.notifyIconCalls.clear();
    if (ticked) backend.QueueInput([this] { backend.AdvanceTime(100); });
    backend.QueueInput([] { MainForm->Perform(win::WM_CLOSE); });
    EXPECT_EQ(RunNorva({}), 0);
    EXPECT_TRUE(os.user.messageBoxes.empty());
    EXPECT_TRUE(os.profile.Exists(Ini()));
    EXPECT_FALSE(os.shell.IconAdded(nullptr));
    ASSERT_EQ(os.shell.notifyIconCalls.size(), ticked ? 2u : 0u);
    if (ticked) {
      EXPECT_EQ(os.shell.notifyIconCalls.back().message, win::NIM_DELETE);
    }
    EXPECT_EQ(os.kernel.OutstandingLibraryReferences(), 0);
  }
}

TEST_F(LifecycleTest, EveryCloseEndsTheProgramWhateverCameBefore) {
  // Each run goes through the process entry and its loop; a run that does
  // not end fails in the loop (its time limit), which shows the error box.
  const auto postClose = [this] { os.user.PostMessageA(MainForm->Handle(), win::WM_CLOSE, 0, 0); };
  struct Case {
    const char* name;
    std::string ini;
    std::vector<std::string> args;
    std::function<void()> script;  // queues the inputs and sets the hooks
    size_t boxes;                  // message boxes the run shows
  };
  const Case cases[] = {
      {"idle",
       "",
       {},
       [&] {
         backend.QueueInput([&] { backend.AdvanceTime(300); });
         backend.QueueInput(postClose);
       },
       0},
      {"during a cleaning: it ends first",
       "[DEFAULT]\r\nCleanSpeed=0\r\n",
       {},
       [&] {
         int steps = 0;
         os.kernel.onSleep = [&, steps](win::DWORD) mutable {
           if (++steps == 20) postClose();
         };
         backend.QueueInput([] { MainForm->sbtnGetMemClick(nullptr); });
       },
       0},
      {"after a close whose quit a system loop took",
       "",
       {},
       [&] {
         backend.QueueInput([&] {
           MainForm->Perform(win::WM_CLOSE);
           backend.DiscardQuit();
         });
         backend.QueueInput([&] { backend.AdvanceTime(300); });
         backend.QueueInput(postClose);
       },
       0},
      {"after a cleaning that failed with an error",
       "[DEFAULT]\r\nCleanSpeed=0\r\n",
       {},
       [&] {
         os.kernel.onSleep = [](win::DWORD) { throw std::runtime_error("no memory"); };
         backend.QueueInput([&] {
           // The window procedure reports the error and the program goes on.
           EXPECT_THROW(MainForm->sbtnGetMemClick(nullptr), std::runtime_error);
           EXPECT_FALSE(MainForm->FCleaning);
           EXPECT_TRUE(MainForm->sbtnClose.Visible());
           os.kernel.onSleep = nullptr;
         });
         backend.QueueInput(postClose);
       },
       0},
      {"asked during a cleaning that then failed",
       "[DEFAULT]\r\nCleanSpeed=0\r\n",
       {},
       [&] {
         int steps = 0;
         os.kernel.onSleep = [&, steps](win::DWORD) mutable {
           if (++steps == 5) postClose();
           if (steps == 6) throw std::runtime_error("no memory");
         };
         backend.QueueInput(
             [] { EXPECT_THROW(MainForm->sbtnGetMemClick(nullptr), std::runtime_error); });
       },
       0},
      {"during the start-up message box",
       "[EXTRA]\r\nHotKey=1613\r\n",
       {},
       [&] {
         os.desktop.heldElsewhere.insert({win::MOD_CONTROL | win::MOD_ALT, 'M'});
         os.user.whileMessageBox = [&](win::HWND owner) {
           backend.AdvanceTime(300);
           os.user.PostMessageA(owner, win::WM_CLOSE, 0, 0);
           backend.ProcessMessages();
         };
       },
       1},
      {"-exec with the stored hotkey taken",
       "[EXTRA]\r\nHotKey=1613\r\n",
       {"-exec"},
       [&] {
         os.desktop.heldElsewhere.insert({win::MOD_CONTROL | win::MOD_ALT, 'M'});
       },
       0},
  };
  for (const Case& c : cases) {
    os.kernel.existingMutexes.clear();
    os.user.messageBoxes.clear();
    os.user.whileMessageBox = nullptr;
    os.kernel.onSleep = nullptr;
    os.desktop.heldElsewhere.clear();
    os.shell.notifyIconCalls.clear();
    // Each row is a new process: no quit left over from the row before.
    backend.DiscardQuit();
    os.profile.SetFileText(Ini(), c.ini);
    c.script();
    EXPECT_EQ(RunNorva(c.args), 0) << c.name;
    EXPECT_EQ(os.user.messageBoxes.size(), c.boxes)
        << c.name << ": " << (os.user.messageBoxes.empty() ? "" : os.user.messageBoxes.back().text);
    // Closed the normal way: every setting saved, the icon gone.
    EXPECT_NE(IniText().find("XPos="), std::string::npos) << c.name;
    if (!c.args.empty()) {
      const auto& calls = os.shell.notifyIconCalls;
      EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                              [](const auto& n) { return n.data.szTip == "掃除中..."; }),
                1)
          << c.name << ": -exec cleans once";
    }
    if (!os.shell.notifyIconCalls.empty()) {
      EXPECT_EQ(os.shell.notifyIconCalls.back().message, win::NIM_DELETE) << c.name;
    }
    EXPECT_TRUE(os.desktop.hotKeys.empty()) << c.name;
    EXPECT_EQ(MainForm, nullptr) << c.name;
  }
  os.user.whileMessageBox = nullptr;
  os.kernel.onSleep = nullptr;
}

// A save that fails at the close tells it in a box; another close that
// arrives while the box is up (taskkill closes every window of the program)
// neither ends the program under the box nor asks again.
TEST_F(LifecycleTest, ACloseWhileTheFailedSavesBoxIsUpWaitsForTheBox) {
  const std::string old = "[SYSTEM]\r\nXPos=100\r\n";
  WriteIni(old);
  os.profile.SetReadOnly(Ini(), true);
  int closesUnderTheBox = 0;
  os.user.whileMessageBox = [&](win::HWND owner) {
    ++closesUnderTheBox;
    os.user.PostMessageA(owner, win::WM_CLOSE, 0, 0);
    backend.ProcessMessages();
    EXPECT_FALSE(Application->Terminated());
    EXPECT_NE(MainForm, nullptr);
  };
  backend.QueueInput([] { MainForm->Perform(win::WM_CLOSE); });
  EXPECT_EQ(RunNorva({}), 0);
  os.user.whileMessageBox = nullptr;
  ASSERT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_EQ(os.user.messageBoxes[0].text.rfind("設定を保存できませんでした。", 0), 0u);
  EXPECT_EQ(closesUnderTheBox, 1);
  EXPECT_EQ(IniText(), old);
  EXPECT_EQ(MainForm, nullptr);
}

TEST_F(LifecycleTest, TheTrayIconIsAddedByTheFirstTickAfterTheWindowShows) {
  Start();
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(os.shell.notifyIconCalls.empty());
  backend.AdvanceTime(100);
  ASSERT_FALSE(os.shell.notifyIconCalls.empty());
  const auto& add = os.shell.notifyIconCalls.front();
  EXPECT_EQ(add.message, win::NIM_ADD);
  EXPECT_EQ(add.data.hWnd, form->Handle());
  EXPECT_EQ(add.data.uFlags, 7u);
  EXPECT_EQ(add.data.uCallbackMessage, form->FIconNotifyMsg);
  EXPECT_EQ(os.user.IconName(add.data.hIcon), "TASKTRAY00");
  EXPECT_EQ(add.data.szTip, "Norva");
  EXPECT_NE(form->FIconNotifyMsg, 0u);
  EXPECT_EQ(os.user.RegisterWindowMessageA("IconNotify"), form->FIconNotifyMsg);
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(SettingFrm->Visible());
  EXPECT_FALSE(HeapChkFrm->Visible());
}

TEST_F(LifecycleTest, AMissingTrayPictureFallsBackToTheProgramIcon) {
  os.user.knownIcons.clear();
  Start();
  backend.AdvanceTime(100);
  EXPECT_EQ(os.shell.notifyIconCalls.front().data.hIcon, os.user.applicationIcon);
  EXPECT_EQ(form->FIconCleaning, nullptr);
}

TEST_F(LifecycleTest, ClosingSavesEverySettingBeforeTheTrayIconGoes) {
  Start();
  backend.AdvanceTime(100);
  WriteIni("");
  const size_t trayBefore = os.shell.notifyIconCalls.size();
  CloseBySystem();
  EXPECT_EQ(os.profile.KeysInOrder(Ini(), "DEFAULT").size(), 24u);
  EXPECT_EQ(os.shell.notifyIconCalls.size(), trayBefore);  // not yet removed
  EXPECT_TRUE(app->Terminated());
  form.reset();
  EXPECT_EQ(os.shell.notifyIconCalls.back().message, win::NIM_DELETE);
  EXPECT_EQ(SettingFrm, nullptr);
  EXPECT_EQ(HeapChkFrm, nullptr);
}

TEST_F(LifecycleTest, TheCloseButtonPostsTheCloseForTheLoop) {
  Start();
  form->sbtnClose.Click();
  EXPECT_FALSE(app->Terminated());
  ASSERT_FALSE(os.user.postedMessages.empty());
  EXPECT_EQ(os.user.postedMessages.back().message, win::WM_CLOSE);
  backend.ProcessMessages();
  EXPECT_TRUE(app->Terminated());
  EXPECT_TRUE(os.profile.Exists(Ini()));
}

TEST_F(LifecycleTest, OnTheNtFamilyTheResourcesColumnIsRemoved) {
  Start();
  EXPECT_FALSE(form->nlblResSys.Visible());
  EXPECT_FALSE(form->nlblResUser.Visible());
  EXPECT_FALSE(form->nlblResGdi.Visible());
  EXPECT_FALSE(form->Bevel3.Visible());
  EXPECT_EQ(form->nlblTitleInfo.Caption(), "空き   使用     合計");
  EXPECT_EQ(form->nlblPhysicalUse.Left(), 76);
  EXPECT_EQ(form->nlblVirtualUse.Left(), 76);
  EXPECT_EQ(form->nlblPageTotal.Left(), 132);
  EXPECT_FALSE(Settings().edtResWavPath.Visible());
  EXPECT_FALSE(Settings().btnResWavClear.Visible());
  EXPECT_TRUE(Settings().edtWavPath.Visible());
  // Nothing of the older family is touched.
  EXPECT_EQ(form->FRsrcLib, nullptr);
  EXPECT_TRUE(os.registry.calls.empty());
}

TEST_F(LifecycleTest, TheOlderFamilyKeepsTheColumnWhenItsFunctionExists) {
  os.kernel.UseNineXFamily();
  Start();
  EXPECT_FALSE(form->FNtFamily);
  EXPECT_NE(form->FGetFreeResources, nullptr);
  EXPECT_TRUE(form->nlblResSys.Visible());
  EXPECT_EQ(form->nlblTitleInfo.Caption(), "空き  使用   合計   残RES");
  EXPECT_EQ(form->nlblPhysicalUse.Left(), 71);
  EXPECT_TRUE(Settings().edtResWavPath.Visible());
  // The processor statistics are switched on at creation and off at the end.
  ASSERT_FALSE(os.registry.calls.empty());
  EXPECT_EQ(os.registry.calls.front().name, "PerfStats\\StartStat");
  Stop();
  bool stopped = false;
  for (const auto& c : os.registry.calls) stopped |= c.name == "PerfStats\\StopStat";
  EXPECT_TRUE(stopped);
  EXPECT_EQ(os.registry.OpenKeys(), 0);
  EXPECT_EQ(os.kernel.OutstandingLibraryReferences(), 0);
}

TEST_F(LifecycleTest, TheOlderFamilyWithoutItsResourcesLibraryRemovesTheColumn) {
  os.kernel.UseNineXFamily();
  os.kernel.missingLibraries.insert("rsrc32.dll");
  Start();
  EXPECT_EQ(form->FGetFreeResources, nullptr);
  EXPECT_FALSE(form->nlblResSys.Visible());
  EXPECT_EQ(form->nlblTitleInfo.Caption(), "空き   使用     合計");
}

TEST_F(LifecycleTest, TheInspectorIsCreatedOnceAndShownOnce) {
  Start();
  THeapChkFrm* first = HeapChkFrm;
  form->sbtnMemHeap.Click();
  EXPECT_TRUE(HeapChkFrm->Visible());
  form->sbtnWMemHeap.Click();
  EXPECT_EQ(HeapChkFrm, first);
}

TEST(MemoryProbe, FiguresAboveFourGigabytesConvertExactly) {
  win::MEMORYSTATUSEX s{};
  s.dwMemoryLoad = 37;
  s.ullTotalPhys = 0x8000000000000000ull + 0x100000ull;
  s.ullAvailPhys = 5ull * GiB + 512 * 1024;
  const MemoryFigures f = FiguresOf(s);
  EXPECT_EQ(f.load, 37);
  EXPECT_DOUBLE_EQ(BytesToMB(f.availPhys), 5120.5);
  EXPECT_DOUBLE_EQ(BytesToMB(f.totalPhys), 8796093022208.0 + 1.0);
  EXPECT_EQ(f.usedPhys, s.ullTotalPhys - s.ullAvailPhys);
  EXPECT_DOUBLE_EQ(BytesToMB(~0ull), 17592186044416.0);
}

TEST(MemoryProbe, TheOlderRecordSubtractsInThirtyTwoBits) {
  win::MEMORYSTATUS s{};
  s.dwTotalPhys = 0xFFFFFFFFu;
  s.dwAvailPhys = 0x10000000u;
  s.dwTotalVirtual = 0x80000000u;
  s.dwAvailVirtual = 0x7FF00000u;
  const MemoryFigures f = FiguresOf(s);
  EXPECT_EQ(f.usedPhys, 0xEFFFFFFFu);
  EXPECT_EQ(f.usedVirtual, 0x100000u);
}

TEST(MemoryProbe, MoreFreeThanTotalIsNoneUsed) {
  // Wine reports a 32-bit process a total capped at 4 GB beside the whole
  // machine's free memory.
  win::MEMORYSTATUSEX ex{};
  ex.ullTotalPhys = 3625ull << 20;
  ex.ullAvailPhys = 23ull * GiB;
  ex.ullTotalPageFile = ex.ullAvailPageFile = 1ull << 30;
  EXPECT_EQ(FiguresOf(ex).usedPhys, 0u);
  EXPECT_EQ(FiguresOf(ex).usedPage, 0u);
  win::MEMORYSTATUS old{};
  old.dwTotalPhys = 0x10000000u;
  old.dwAvailPhys = 0x20000000u;
  EXPECT_EQ(FiguresOf(old).usedPhys, 0u);
}

class MemoryProbeTest : public NorvaTest {};

TEST_F(MemoryProbeTest, EachFamilySamplesThroughItsOwnCall) {
  SetMemory(6 * GiB, 5 * GiB, 17);
  Start();
  EXPECT_TRUE(form->FNtFamily);
  const int ex = os.kernel.globalMemoryStatusExCalls;
  const int plain = os.kernel.globalMemoryStatusCalls;
  form->SampleMemory();
  EXPECT_EQ(os.kernel.globalMemoryStatusExCalls, ex + 1);
  EXPECT_EQ(os.kernel.globalMemoryStatusCalls, plain);
  EXPECT_EQ(form->FMemStatusEx.ullAvailPhys, 5 * GiB);
  EXPECT_EQ(form->FMemStatusEx.dwLength, 64u);
  // Each sample takes and gives back its own library reference.
  EXPECT_EQ(os.kernel.LibraryReferences("KERNEL32"), 0);
  form.reset();

  os.kernel.UseNineXFamily();
  Start();
  EXPECT_FALSE(form->FNtFamily);
  const int plain9x = os.kernel.globalMemoryStatusCalls;
  form->SampleMemory();
  EXPECT_EQ(os.kernel.globalMemoryStatusCalls, plain9x + 1);
  EXPECT_EQ(form->FMemStatus.dwLength, 32u);
}

TEST_F(MemoryProbeTest, WithoutTheExtendedFunctionEveryFigureIsZero) {
  os.kernel.missingExports.insert("GlobalMemoryStatusEx");
  Start();
  form->SampleMemory();
  EXPECT_EQ(form->FMemStatusEx.ullTotalPhys, 0u);
  EXPECT_EQ(form->FMemStatusEx.dwMemoryLoad, 0u);
  EXPECT_EQ(form->FCleanSize, 0);
  EXPECT_TRUE(os.user.messageBoxes.empty());
  MemoryStatusEx probe;
  win::MEMORYSTATUSEX record{};
  EXPECT_FALSE(probe.Get(record));
}

TEST_F(MemoryProbeTest, WithoutKernel32TheProbeFindsNothingAndReleasesNothing) {
  os.kernel.missingLibraries.insert("KERNEL32");
  {
    MemoryStatusEx probe;
    win::MEMORYSTATUSEX record{};
    EXPECT_FALSE(probe.Get(record));
  }
  EXPECT_EQ(os.kernel.unbalancedFrees, 0);
}

}  // namespace
}  // namespace norva::testing
