// How the monitor stays out of the way: the tray icon's mouse messages and
// tooltip, the tray menu, the icon after a taskbar restart, dragging by the
// body, hiding under the mouse, the magnet at the screen edges, minimise and
// restore, staying on top and the see-through hooks.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "NorvaFixture.h"

namespace norva::testing {
namespace {

class WindowBehavioursTest : public NorvaTest {
 protected:
  // Starts with the window at (left, top) and these lines in section
  // DEFAULT, and lets the first tick pass.
  void StartAt(int left, int top, const std::string& defaults = "") {
    WriteIni("[SYSTEM]\r\nXPos=" + std::to_string(left) + "\r\nYPos=" + std::to_string(top) +
             "\r\n[DEFAULT]\r\n" + defaults);
    Start();
    form->FCleanSize = 1000;
    backend.AdvanceTime(100);
    ASSERT_EQ(form->Left(), left);
    ASSERT_EQ(form->Top(), top);
  }

  win::LRESULT Tray(win::UINT mouseMessage) {
    return form->Perform(form->FIconNotifyMsg, 0, static_cast<win::LPARAM>(mouseMessage));
  }
  win::LRESULT HitTest(int x, int y) {
    os.user.cursor = {x, y};
    return form->Perform(win::WM_NCHITTEST, 0, 0);
  }
  // The user dragged the window: it is at its new place, then WM_MOVE comes.
  void MoveTo(int left, int top, win::POINT cursor) {
    os.user.cursor = cursor;
    form->SetBounds(left, top, form->Width(), form->Height());
    form->Perform(win::WM_MOVE, 0, 0);
  }

  std::vector<platform::fake::NotifyIconCall> TrayCallsSince(size_t from) const {
    return {os.shell.notifyIconCalls.begin() + static_cast<long>(from),
            os.shell.notifyIconCalls.end()};
  }
  int TaskbarHides() const {
    int n = 0;
    for (const auto& c : os.user.showWindowCalls)
      n += c.window == app->Handle() && c.command == win::SW_HIDE;
    return n;
  }
  int Cleanings() const {
    int n = 0;
    for (const auto& c : os.shell.notifyIconCalls) n += c.data.szTip == "掃除中...";
    return n;
  }
  bool WholeWindowInvalidated() {
    for (const auto& area : backend.PeerOf(*form).Invalidations)
      if (!area) return true;
    return false;
  }
};

// --- The tray icon
// --------------------------------------------------------------

TEST_F(WindowBehavioursTest, DoubleClickingTheTrayIconRestoresTheWindow) {
  StartAt(0, 0, "TaskBarHide=1\r\n");
  form->sbtnMinimize.Click();
  ASSERT_TRUE(form->FMinimized);
  const size_t tray = os.shell.notifyIconCalls.size();
  const int hides = TaskbarHides();
  Tray(win::WM_LBUTTONDBLCLK);
  EXPECT_FALSE(form->FMinimized);
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(backend.applicationMinimized);
  EXPECT_GT(TaskbarHides(), hides);                  // the taskbar entry stays hidden
  EXPECT_EQ(os.shell.notifyIconCalls.size(), tray);  // no tooltip update
}

TEST_F(WindowBehavioursTest, RightClickOpensTheMenuAtTheCursorAndHoldsAutomaticCleaningBack) {
  StartAt(0, 0, "AutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=10\r\n");
  SetMemory(512 * MiB, 5 * MiB, 50);  // rule A wants to clean at every tick
  os.user.cursor = {640, 1000};
  backend.popupChoices.push_back({"", 350});
  std::optional<bool> modalInMenu;
  size_t foregroundInMenu = 0;
  backend.QueueInput([&] {
    modalInMenu = form->FModalOpen;
    foregroundInMenu = os.user.foregroundCalls.size();
  });
  const int ticks = backend.timerTicks;
  const size_t tray = os.shell.notifyIconCalls.size();
  const size_t foregroundBefore = os.user.foregroundCalls.size();
  Tray(win::WM_RBUTTONUP);

  ASSERT_EQ(backend.popupMenuCalls.size(), 1u);
  EXPECT_EQ(backend.popupMenuCalls[0].menu, &form->PopupMenu);
  EXPECT_EQ(backend.popupMenuCalls[0].x, 640);
  EXPECT_EQ(backend.popupMenuCalls[0].y, 1000);
  EXPECT_EQ(form->FCursorPos.x, 640);
  ASSERT_TRUE(modalInMenu.has_value());
  EXPECT_TRUE(*modalInMenu);
  EXPECT_EQ(foregroundInMenu, foregroundBefore + 1);
  EXPECT_EQ(os.user.foregroundCalls.back(), form->Handle());
  EXPECT_GE(backend.timerTicks - ticks, 3);
  EXPECT_EQ(Cleanings(), 0);
  EXPECT_FALSE(form->FModalOpen);
  EXPECT_EQ(os.shell.notifyIconCalls.size(), tray);  // no tooltip update
}

TEST_F(WindowBehavioursTest, HoveringWritesTheFreeMemoryTooltipOnlyWhenTheValueChanged) {
  StartAt(0, 0);
  SetMemory(512 * MiB, 3 * MiB, 50);
  size_t from = os.shell.notifyIconCalls.size();
  Tray(win::WM_MOUSEMOVE);
  auto calls = TrayCallsSince(from);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].message, win::NIM_MODIFY);
  EXPECT_EQ(calls[0].data.uFlags, win::NIF_TIP);
  EXPECT_EQ(calls[0].data.hWnd, form->Handle());
  EXPECT_EQ(calls[0].data.szTip, " 3.0MB Free");

  // The same value again, by any mouse message but the two with actions.
  from = os.shell.notifyIconCalls.size();
  for (win::UINT m :
       {win::WM_MOUSEMOVE, win::WM_LBUTTONDOWN, win::WM_LBUTTONUP, win::WM_RBUTTONDOWN})
    Tray(m);
  EXPECT_TRUE(TrayCallsSince(from).empty());

  // A different value is written even when its text looks the same.
  SetMemory(512 * MiB, 3 * MiB + 1, 50);
  Tray(win::WM_RBUTTONDOWN);
  calls = TrayCallsSince(from);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].data.szTip, " 3.0MB Free");
  SetMemory(512 * MiB, 1200 * MiB, 50);
  Tray(win::WM_MOUSEMOVE);
  EXPECT_EQ(os.shell.CurrentIcon(form->Handle())->szTip, "1200.0MB Free");
}

TEST_F(WindowBehavioursTest, AfterACleaningItsTooltipStaysUntilTheFreeMemoryChanges) {
  StartAt(0, 0);
  Tray(win::WM_MOUSEMOVE);
  form->sbtnGetMem.Click();
  const auto current = [&] { return os.shell.CurrentIcon(form->Handle())->szTip; };
  EXPECT_EQ(current(), "掃除終了");
  Tray(win::WM_MOUSEMOVE);
  EXPECT_EQ(current(), "掃除終了");
  SetMemory(512 * MiB, 300 * MiB, 40);
  Tray(win::WM_MOUSEMOVE);
  EXPECT_EQ(current(), "300.0MB Free");
}

TEST_F(WindowBehavioursTest, TheMenuListsItsItemsInOrderWithRestoreAsDefault) {
  StartAt(0, 0);
  struct Item {
    std::string name, caption;
  };
  const std::vector<Item> want{{"pmRestore", "元の大きさに戻す"},
                               {"N2", "-"},
                               {"pmConfig", "設定"},
                               {"pmClean", "掃除"},
                               {"pmInfo", "情報"},
                               {"N1", "-"},
                               {"pmExit", "終了"}};
  const auto& items = form->PopupMenu.Items;
  ASSERT_EQ(items.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(items[i]->Name, want[i].name);
    EXPECT_EQ(items[i]->Caption, want[i].caption);
    EXPECT_EQ(items[i]->Default, i == 0) << want[i].name;
    EXPECT_TRUE(items[i]->Enabled);
  }
  EXPECT_EQ(form->pmRestore, items[0].get());
  EXPECT_EQ(form->pmExit, items[6].get());
}

TEST_F(WindowBehavioursTest, EachMenuItemDoesItsWork) {
  StartAt(0, 0);
  // 掃除: one cleaning, with automatic cleaning held back while the menu is
  // open.
  std::optional<bool> modalDuringCleaning;
  os.kernel.onSleep = [&](win::DWORD) {
    if (!modalDuringCleaning) modalDuringCleaning = form->FModalOpen;
  };
  backend.popupChoices.push_back({"pmClean", 0});
  Tray(win::WM_RBUTTONUP);
  EXPECT_EQ(Cleanings(), 1);
  EXPECT_EQ(modalDuringCleaning, std::optional<bool>(true));
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);

  // 情報: the inspector.
  backend.popupChoices.push_back({"pmInfo", 0});
  Tray(win::WM_RBUTTONUP);
  EXPECT_TRUE(HeapChkFrm->Visible());

  // 元の大きさに戻す: back from the tray.
  form->sbtnMinimize.Click();
  backend.popupChoices.push_back({"pmRestore", 0});
  Tray(win::WM_RBUTTONUP);
  EXPECT_FALSE(form->FMinimized);
  EXPECT_TRUE(form->Visible());

  // 設定: the settings dialog, modal.
  std::optional<bool> dialogShown;
  backend.modalScript.push_back([&] {
    dialogShown = SettingFrm->Visible();
    SettingFrm->SetModalResult(tk::TModalResult::mrCancel);
  });
  backend.popupChoices.push_back({"pmConfig", 0});
  Tray(win::WM_RBUTTONUP);
  EXPECT_EQ(dialogShown, std::optional<bool>(true));
  EXPECT_FALSE(SettingFrm->Visible());

  // 終了: the close is posted and ends the program with the settings saved.
  WriteIni("");
  backend.popupChoices.push_back({"pmExit", 0});
  Tray(win::WM_RBUTTONUP);
  ASSERT_FALSE(os.user.postedMessages.empty());
  EXPECT_EQ(os.user.postedMessages.back().message, win::WM_CLOSE);
  EXPECT_EQ(os.user.postedMessages.back().window, form->Handle());
  EXPECT_FALSE(app->Terminated());
  backend.ProcessMessages();
  EXPECT_TRUE(app->Terminated());
  EXPECT_EQ(os.profile.KeysInOrder(Ini(), "DEFAULT").size(), 24u);
}

TEST_F(WindowBehavioursTest, ARestartedTaskbarGetsTheIconBackAsItIsNow) {
  StartAt(0, 0);
  const win::UINT restarted = os.user.RegisterWindowMessageA("TaskbarCreated");
  const auto readd = [&] {
    const size_t from = os.shell.notifyIconCalls.size();
    form->Perform(restarted, 0, 0);
    const auto calls = TrayCallsSince(from);
    EXPECT_EQ(calls.size(), 1u);
    return calls.empty() ? platform::fake::NotifyIconCall{} : calls[0];
  };
  auto added = readd();
  EXPECT_EQ(added.message, win::NIM_ADD);
  EXPECT_EQ(added.data.uFlags, win::NIF_MESSAGE | win::NIF_ICON | win::NIF_TIP);
  EXPECT_EQ(added.data.uCallbackMessage, form->FIconNotifyMsg);
  EXPECT_EQ(added.data.hWnd, form->Handle());
  EXPECT_EQ(os.user.IconName(added.data.hIcon), "TASKTRAY00");
  EXPECT_EQ(added.data.szTip, "Norva");

  // During a cleaning: the cleaning icon and tip.
  bool seen = false;
  os.kernel.onSleep = [&](win::DWORD) {
    if (seen) return;
    seen = true;
    const auto during = readd();
    EXPECT_EQ(os.user.IconName(during.data.hIcon), "TASKTRAY01");
    EXPECT_EQ(during.data.szTip, "掃除中...");
  };
  form->sbtnGetMem.Click();
  EXPECT_TRUE(seen);
  added = readd();
  EXPECT_EQ(os.user.IconName(added.data.hIcon), "TASKTRAY00");
  EXPECT_EQ(added.data.szTip, "掃除終了");

  Tray(win::WM_MOUSEMOVE);
  EXPECT_EQ(readd().data.szTip, "256.0MB Free");
}

// --- Dragging and hiding under the mouse
// -------------------------------------------

TEST_F(WindowBehavioursTest, TheBodyAndTheProcessorStripDragTheWindowTheButtonsDoNot) {
  StartAt(100, 200);
  struct Case {
    int dx, dy;
    bool caption;
  };
  for (Case c : {Case{50, 18, false}, Case{50, 19, true}, Case{50, 20, true}, Case{0, 79, true},
                 Case{113, 5, false}, Case{114, 5, true}, Case{120, 5, true}, Case{164, 5, true},
                 Case{165, 5, false}, Case{50, 5, false}, Case{190, 0, false}}) {
    const win::LRESULT answer = HitTest(100 + c.dx, 200 + c.dy);
    EXPECT_EQ(answer == win::HTCAPTION, c.caption) << c.dx << "," << c.dy;
    EXPECT_EQ(form->FCursorPos.x, 100 + c.dx);
    EXPECT_TRUE(form->Visible());  // DontCatch is off
  }
}

TEST_F(WindowBehavioursTest, WithDontCatchTheWindowHidesUnderTheMouseUnlessShiftIsDown) {
  StartAt(100, 200, "DontCatch=1\r\n");
  struct Case {
    int x, y;
    int16_t shift;
    bool hides;
  };
  for (Case c : {Case{150, 250, 0, true}, Case{100, 200, 0, true}, Case{300, 280, 0, true},
                 Case{301, 250, 0, false}, Case{150, 199, 0, false},
                 Case{150, 250, static_cast<int16_t>(0x8000), false}, Case{150, 250, 0x0080, false},
                 Case{150, 250, 0x0100, false}, Case{150, 250, 0x0001, true}}) {
    form->Show();
    os.user.keyState[win::VK_SHIFT] = c.shift;
    HitTest(c.x, c.y);
    EXPECT_EQ(!form->Visible(), c.hides) << c.x << "," << c.y << " shift " << c.shift;
  }
  os.user.keyState.clear();

  // Minimised (the window restored by hand): never hidden.
  form->Show();
  form->FMinimized = true;
  HitTest(150, 250);
  EXPECT_TRUE(form->Visible());
}

TEST_F(WindowBehavioursTest, AWindowHiddenUnderTheMouseComesBackAfterTheMouseHasLeft) {
  StartAt(100, 200, "DontCatch=1\r\n");
  HitTest(150, 250);
  ASSERT_FALSE(form->Visible());
  EXPECT_FALSE(form->FMinimized);
  backend.AdvanceTime(300);
  EXPECT_FALSE(form->Visible());
  os.user.cursor = {500, 250};
  backend.AdvanceTime(100);
  EXPECT_TRUE(form->Visible());
}

// --- The magnet
// ---------------------------------------------------------------------

TEST_F(WindowBehavioursTest, TheMagnetSnapsToEachEdgeOnlyInTheDirectionOfTheMove) {
  StartAt(500, 500, "Magnet=1\r\n");
  ASSERT_EQ(os.user.screenWidth, 1280);
  ASSERT_EQ(os.user.screenHeight, 1024);
  // Room to the right: 1280 - 200 = 1080; below: 1024 - 80 = 944.
  struct Case {
    const char* what;
    win::POINT from;  // the window's last recorded place
    win::POINT to;
    win::POINT want;
    // The last move had the cursor at (600, 540); it is at (700, 600) now and
    // moves as far as the window snaps.
    std::optional<win::POINT> cursorMovedTo;
  };
  const std::vector<Case> cases{
      {"left, inside", {500, 500}, {10, 500}, {0, 500}, win::POINT{690, 600}},
      {"left, at 31", {500, 500}, {31, 500}, {0, 500}, win::POINT{669, 600}},
      {"left, at 32", {500, 500}, {32, 500}, {32, 500}, std::nullopt},
      {"left, beyond", {500, 500}, {-20, 500}, {0, 500}, std::nullopt},
      {"left, beyond at -31", {500, 500}, {-31, 500}, {0, 500}, std::nullopt},
      {"left, far beyond", {500, 500}, {-32, 500}, {-32, 500}, std::nullopt},
      {"away from the left edge", {0, 500}, {10, 500}, {10, 500}, std::nullopt},
      {"away, beyond the left edge", {-40, 500}, {-20, 500}, {-20, 500}, std::nullopt},
      {"right, inside", {500, 500}, {1050, 500}, {1080, 500}, win::POINT{730, 600}},
      {"right, at 1048", {500, 500}, {1048, 500}, {1048, 500}, std::nullopt},
      {"right, beyond", {500, 500}, {1100, 500}, {1080, 500}, std::nullopt},
      {"right, far beyond", {500, 500}, {1112, 500}, {1112, 500}, std::nullopt},
      {"away from the right edge", {1080, 500}, {1070, 500}, {1070, 500}, std::nullopt},
      {"away, beyond the right edge", {1110, 500}, {1100, 500}, {1100, 500}, std::nullopt},
      {"top, inside", {500, 500}, {500, 10}, {500, 0}, win::POINT{700, 590}},
      {"top, beyond", {500, 500}, {500, -5}, {500, 0}, std::nullopt},
      {"away from the top", {500, 0}, {500, 20}, {500, 20}, std::nullopt},
      {"bottom, inside", {500, 500}, {500, 920}, {500, 944}, win::POINT{700, 624}},
      {"bottom, beyond", {500, 500}, {500, 960}, {500, 944}, std::nullopt},
      {"bottom, far beyond", {500, 500}, {500, 976}, {500, 976}, std::nullopt},
      {"away from the bottom", {500, 944}, {500, 930}, {500, 930}, std::nullopt},
      {"into the corner", {500, 500}, {10, 10}, {0, 0}, win::POINT{690, 590}},
  };
  for (const Case& c : cases) {
    form->SetBounds(c.from.x, c.from.y, 200, 80);
    form->FLastLeft = c.from.x;
    form->FLastTop = c.from.y;
    form->FLastCursorPos = {600, 540};
    os.user.cursorMoves.clear();
    MoveTo(c.to.x, c.to.y, {700, 600});
    EXPECT_EQ(form->Left(), c.want.x) << c.what;
    EXPECT_EQ(form->Top(), c.want.y) << c.what;
    EXPECT_EQ(form->FLastLeft, c.want.x) << c.what;
    EXPECT_EQ(form->FLastTop, c.want.y) << c.what;
    if (c.cursorMovedTo) {
      ASSERT_FALSE(os.user.cursorMoves.empty()) << c.what;
      EXPECT_EQ(os.user.cursorMoves.back().x, c.cursorMovedTo->x) << c.what;
      EXPECT_EQ(os.user.cursorMoves.back().y, c.cursorMovedTo->y) << c.what;
      EXPECT_EQ(form->FLastCursorPos.x, c.cursorMovedTo->x) << c.what;
      EXPECT_EQ(form->FLastCursorPos.y, c.cursorMovedTo->y) << c.what;
    } else {
      EXPECT_TRUE(os.user.cursorMoves.empty()) << c.what;
      EXPECT_EQ(form->FLastCursorPos.x, 700) << c.what;
      EXPECT_EQ(form->FLastCursorPos.y, 600) << c.what;
    }
  }
}

TEST_F(WindowBehavioursTest, TheMagnetSnapsToTheEdgesOfTheMonitorThatHoldsTheWindow) {
  // Primary 1280 x 1024; a smaller one left of and above it; a taller one
  // right of it. The window is 200 x 80.
  os.user.AddMonitor({0, 0, 1280, 1024}, true);
  os.user.AddMonitor({-1024, -200, 0, 568});
  os.user.AddMonitor({1280, 0, 3200, 1200});
  StartAt(500, 500, "Magnet=1\r\n");
  struct Case {
    const char* what;
    win::POINT from, to, want;
    int cursorShift;  // along the axis that snapped
  };
  const Case cases[] = {
      {"left monitor, its right edge", {-500, 100}, {-215, 100}, {-200, 100}, 15},
      {"left monitor, its top", {-500, 100}, {-500, -190}, {-500, -200}, -10},
      {"left monitor, its bottom", {-500, 100}, {-500, 470}, {-500, 488}, 18},
      {"left monitor, beyond its left edge", {-500, 100}, {-1040, 100}, {-1024, 100}, 0},
      {"right monitor, its left edge at the seam", {2000, 500}, {1290, 500}, {1280, 500}, -10},
      {"right monitor, just past the seam", {1400, 500}, {1270, 500}, {1280, 500}, 0},
      {"right monitor, its right edge", {2000, 500}, {2990, 500}, {3000, 500}, 10},
      {"right monitor, its lower bottom", {2000, 500}, {2000, 1100}, {2000, 1120}, 20},
      {"primary, its right edge", {500, 500}, {1060, 500}, {1080, 500}, 20},
      {"mostly across the seam: the far monitor's room", {1100, 500}, {1190, 500}, {1190, 500}, 0},
  };
  for (const Case& c : cases) {
    form->SetBounds(c.from.x, c.from.y, 200, 80);
    form->FLastLeft = c.from.x;
    form->FLastTop = c.from.y;
    form->FLastCursorPos = {0, 0};
    os.user.cursorMoves.clear();
    MoveTo(c.to.x, c.to.y, {c.to.x + 50, c.to.y + 10});
    EXPECT_EQ(form->Left(), c.want.x) << c.what;
    EXPECT_EQ(form->Top(), c.want.y) << c.what;
    if (c.cursorShift == 0) {
      EXPECT_TRUE(os.user.cursorMoves.empty()) << c.what;
    } else {
      ASSERT_EQ(os.user.cursorMoves.size(), 1u) << c.what;
      const win::POINT moved = os.user.cursorMoves[0];
      const bool horizontal = c.want.x != c.to.x;
      EXPECT_EQ(moved.x, c.to.x + 50 + (horizontal ? c.cursorShift : 0)) << c.what;
      EXPECT_EQ(moved.y, c.to.y + 10 + (horizontal ? 0 : c.cursorShift)) << c.what;
    }
  }
}

TEST_F(WindowBehavioursTest, OnAMonitorLeftOfThePrimaryTheWindowHidesUnderTheMouseAndComesBack) {
  os.user.AddMonitor({0, 0, 1280, 1024}, true);
  os.user.AddMonitor({-1920, -100, 0, 980});
  StartAt(-700, -50, "DontCatch=1\r\n");
  HitTest(-650, -20);
  ASSERT_FALSE(form->Visible());
  os.user.cursor = {-450, -20};  // just right of the window
  backend.AdvanceTime(100);
  EXPECT_TRUE(form->Visible());
}

TEST_F(WindowBehavioursTest, DraggedStepByStepTowardsAnEdgeTheWindowSnapsOnceAndStays) {
  StartAt(500, 500, "Magnet=1\r\n");
  MoveTo(500, 500, {600, 540});
  for (int left : {300, 100, 40, 20}) MoveTo(left, 500, {left + 100, 540});
  EXPECT_EQ(form->Left(), 0);
  ASSERT_EQ(os.user.cursorMoves.size(), 1u);
  EXPECT_EQ(os.user.cursorMoves[0].x, 120 - 20);  // as far as the window jumped
  // Dragged on to the right again: it is not pulled back to the edge.
  MoveTo(15, 500, {130, 540});
  EXPECT_EQ(form->Left(), 15);
  EXPECT_EQ(os.user.cursorMoves.size(), 1u);
}

// A fast drag as the system runs it: every mouse event puts the window at
// the cursor minus the point it was grabbed at, 24 pixels per event. Once
// snapped, the window stays at the edge when the mouse stops, on all four
// edges.
TEST_F(WindowBehavioursTest, AFastDragSnapsAndTheWindowStaysAtTheEdge) {
  struct Edge {
    const char* what;
    int dx, dy;
    win::POINT rest;
  };
  for (Edge e : {Edge{"left", -24, 0, {0, 500}}, Edge{"right", 24, 0, {1080, 500}},
                 Edge{"top", 0, -24, {500, 0}}, Edge{"bottom", 0, 24, {500, 944}}}) {
    StartAt(500, 500, "Magnet=1\r\n");
    const win::POINT grab{100, 40};
    win::POINT cursor{600, 540};
    MoveTo(500, 500, cursor);
    for (int event = 0; event < 40 && os.user.cursorMoves.empty(); ++event) {
      cursor = {cursor.x + e.dx, cursor.y + e.dy};
      MoveTo(cursor.x - grab.x, cursor.y - grab.y, cursor);
    }
    ASSERT_EQ(os.user.cursorMoves.size(), 1u) << e.what;
    // The mouse stops: the system's next placement comes from the cursor.
    const win::POINT now = os.user.cursor;
    MoveTo(now.x - grab.x, now.y - grab.y, now);
    EXPECT_EQ(form->Left(), e.rest.x) << e.what;
    EXPECT_EQ(form->Top(), e.rest.y) << e.what;
    form.reset();
    MainForm = nullptr;
    os.user.cursorMoves.clear();
  }
}

TEST_F(WindowBehavioursTest, WithoutTheMagnetNothingSnapsAndNothingIsRecorded) {
  StartAt(500, 500, "Magnet=0\r\nBkGrndDisp=1\r\n");
  form->FLastLeft = 500;
  form->FLastTop = 500;
  form->FLastCursorPos = {600, 540};
  backend.ForgetInvalidations();
  MoveTo(10, 10, {20, 20});
  EXPECT_EQ(form->Left(), 10);
  EXPECT_EQ(form->Top(), 10);
  EXPECT_TRUE(os.user.cursorMoves.empty());
  EXPECT_EQ(form->FLastLeft, 500);
  EXPECT_EQ(form->FLastTop, 500);
  EXPECT_EQ(form->FLastCursorPos.x, 600);
  // The see-through repaint comes with every move all the same.
  EXPECT_TRUE(WholeWindowInvalidated());
}

// --- Minimise, restore, stay on top
// ------------------------------------------------

TEST_F(WindowBehavioursTest, MinimisingGoesToTheTrayAndTakesTheInspectorAlong) {
  StartAt(0, 0, "TaskBarHide=1\r\n");
  form->sbtnMemHeap.Click();
  ASSERT_TRUE(HeapChkFrm->Visible());
  const int hides = TaskbarHides();
  form->sbtnWMinimize.Click();
  EXPECT_TRUE(form->FMinimized);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(backend.applicationMinimized);
  EXPECT_FALSE(HeapChkFrm->Visible());
  EXPECT_GT(TaskbarHides(), hides);

  const int hidesBeforeRestore = TaskbarHides();
  form->pmRestoreClick(nullptr);
  EXPECT_FALSE(form->FMinimized);
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(backend.applicationMinimized);
  EXPECT_EQ(TaskbarHides(), hidesBeforeRestore + 1);
}

TEST_F(WindowBehavioursTest, WithoutTaskBarHideTheTaskbarEntryIsLeftAlone) {
  StartAt(0, 0);
  const int hides = TaskbarHides();
  form->sbtnMinimize.Click();
  form->pmRestoreClick(nullptr);
  app->DoDeactivate();
  form->DoActivate();
  EXPECT_EQ(TaskbarHides(), hides);
}

TEST_F(WindowBehavioursTest, FormActivateHidesTheTaskbarEntry) {
  StartAt(0, 0, "TaskBarHide=1\r\n");
  const int hides = TaskbarHides();
  form->DoActivate();
  EXPECT_EQ(TaskbarHides(), hides + 1);
}

TEST_F(WindowBehavioursTest, LosingActivationPutsTheWindowOnTopAgainOnlyWhenItShouldStayThere) {
  StartAt(30, 40, "StayOnTop=1\r\nTaskBarHide=1\r\n");
  os.user.setWindowPosCalls.clear();
  int hides = TaskbarHides();
  app->DoDeactivate();
  ASSERT_EQ(os.user.setWindowPosCalls.size(), 1u);
  const auto& call = os.user.setWindowPosCalls[0];
  EXPECT_EQ(call.window, app->Handle());
  EXPECT_EQ(call.insertAfter, win::HWND_TOPMOST);
  EXPECT_EQ(call.flags, 0x43u);
  EXPECT_EQ(call.x, 30);
  EXPECT_EQ(call.y, 40);
  EXPECT_EQ(call.cx, 200);
  EXPECT_EQ(call.cy, 80);
  EXPECT_EQ(TaskbarHides(), hides + 1);

  // Hidden under the mouse: no top-most call, the taskbar entry still hidden.
  form->Hide();
  os.user.setWindowPosCalls.clear();
  hides = TaskbarHides();
  app->DoDeactivate();
  EXPECT_TRUE(os.user.setWindowPosCalls.empty());
  EXPECT_EQ(TaskbarHides(), hides + 1);

  // Minimised: nothing at all.
  form->sbtnMinimize.Click();
  hides = TaskbarHides();
  app->DoDeactivate();
  EXPECT_TRUE(os.user.setWindowPosCalls.empty());
  EXPECT_EQ(TaskbarHides(), hides);

  // Not staying on top: nothing at all.
  form->pmRestoreClick(nullptr);
  Settings().ckbStayOnTop.SetChecked(false);
  hides = TaskbarHides();
  app->DoDeactivate();
  EXPECT_TRUE(os.user.setWindowPosCalls.empty());
  EXPECT_EQ(TaskbarHides(), hides);
}

// --- See-through hooks
// ----------------------------------------------------------------

TEST_F(WindowBehavioursTest, InSeeThroughModeTheBackgroundIsTheWallpaperAndButtonsRepaintIt) {
  StartAt(0, 0, "BkGrndDisp=1\r\n");
  EXPECT_EQ(form->Perform(win::WM_ERASEBKGND, 0x1234, 0), 1);
  backend.ForgetInvalidations();
  form->sbtnGetMem.MouseMove(0, 3, 3);
  EXPECT_TRUE(WholeWindowInvalidated());

  Settings().chkbEraseBkgnd.SetChecked(false);
  EXPECT_EQ(form->Perform(win::WM_ERASEBKGND, 0x1234, 0), 0);
  backend.ForgetInvalidations();
  form->sbtnGetMem.MouseMove(0, 3, 3);
  EXPECT_FALSE(WholeWindowInvalidated());
}

}  // namespace
}  // namespace norva::testing
