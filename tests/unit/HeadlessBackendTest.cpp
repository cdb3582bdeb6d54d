// The headless toolkit: timers on the virtual clock (order, missed ticks,
// re-entrancy when a handler processes messages), delivery of posted
// messages, the message and modal loops, scripted menus and dialogs, and
// the record of repaints.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/fake/FakePlatform.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Menus.h"
#include "toolkit/Timer.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva {
namespace {

using namespace tk;
using platform::Os;

// A form that keeps every message it receives.
class RecordingForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<TMessage> received;
  void WndProc(TMessage& message) override {
    received.push_back(message);
    TForm::WndProc(message);
  }
};

// A windowless control that fills itself with its colour.
class Swatch : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  void Paint(TCanvas& canvas) override { canvas.FillRect(ClientRect(), Color()); }
};

class HeadlessBackendTest : public ::testing::Test {
 protected:
  // A timer that logs "name@time" on every tick and then runs body.
  TTimer& MakeTimer(const std::string& name, unsigned interval, std::function<void()> body = {}) {
    auto timer = std::make_unique<TTimer>();
    timer->Name = name;
    timer->SetInterval(interval);
    timer->OnTimer = [this, name, body](TObject*) {
      log.push_back(name + "@" + std::to_string(backend.Now()));
      if (body) body();
    };
    timer->SetEnabled(true);
    timers.push_back(std::move(timer));
    return *timers.back();
  }

  platform::fake::FakePlatform os;
  HeadlessBackend backend;
  std::vector<std::string> log;
  std::vector<std::unique_ptr<TTimer>> timers;
};

using Log = std::vector<std::string>;

// --- Timers --------------------------------------------------------------------

TEST_F(HeadlessBackendTest, TimersRunInDueOrderOnTheVirtualClock) {
  MakeTimer("A", 300);
  MakeTimer("B", 100);
  MakeTimer("C", 200);
  backend.AdvanceTime(450);
  EXPECT_EQ(log, (Log{"B@100", "B@200", "C@200", "A@300", "B@300", "B@400", "C@400"}));
  EXPECT_EQ(backend.Now(), 450u);
  // Nothing runs unless messages are processed.
  os.kernel.nowMs = 1000;
  EXPECT_EQ(log.size(), 7u);
}

TEST_F(HeadlessBackendTest, MissedTicksAreNotMadeUpFor) {
  TTimer& t = MakeTimer("T", 100);
  Os().kernel.Sleep(1050);  // the thread was busy
  backend.ProcessMessages();
  backend.ProcessMessages();
  EXPECT_EQ(log, (Log{"T@1050"}));
  EXPECT_EQ(backend.DueTime(t), 1100u);
}

TEST_F(HeadlessBackendTest, AHandlerProcessingMessagesDoesNotRerunItsOwnTick) {
  // Both fall due at 100. A's handler pumps messages: B runs nested inside
  // it, A itself does not run again for the same due time.
  int depth = 0;
  MakeTimer("A", 100, [&] {
    ++depth;
    backend.ProcessMessages();
    --depth;
  });
  MakeTimer("B", 100, [&] { log.back() += depth > 0 ? " nested" : ""; });
  backend.AdvanceTime(100);
  EXPECT_EQ(log, (Log{"A@100", "B@100 nested"}));
}

TEST_F(HeadlessBackendTest, AHandlerThatWaitsPastItsNextDueTimeIsEnteredAgain) {
  // A long operation inside a tick (a cleaning started by the main timer)
  // sleeps and pumps: the same timer ticks nested inside it, as on Windows.
  bool busy = false;
  MakeTimer("T", 100, [&] {
    if (busy) return;
    busy = true;
    for (int step = 0; step < 25; ++step) {
      Os().kernel.Sleep(10);
      backend.ProcessMessages();
    }
    busy = false;
  });
  backend.AdvanceTime(100);
  EXPECT_EQ(log, (Log{"T@100", "T@200", "T@300"}));
  EXPECT_EQ(backend.Now(), 350u);
}

TEST_F(HeadlessBackendTest, ATimerStoppedByAnotherHandlerDoesNotRun) {
  TTimer* victim = nullptr;
  MakeTimer("A", 100, [&] { victim->SetEnabled(false); });
  victim = &MakeTimer("B", 100);
  backend.AdvanceTime(300);
  EXPECT_EQ(log, (Log{"A@100", "A@200", "A@300"}));
  EXPECT_EQ(backend.ActiveTimers(), 1u);
}

TEST_F(HeadlessBackendTest, RestartingATimerCountsItsIntervalFromNow) {
  TTimer& t = MakeTimer("T", 100);
  backend.AdvanceTime(50);
  t.SetEnabled(false);
  t.SetEnabled(true);
  backend.AdvanceTime(120);
  EXPECT_EQ(log, (Log{"T@150"}));
  t.SetInterval(1000);
  EXPECT_EQ(backend.DueTime(t), 1170u);
}

// --- Posted messages and input -------------------------------------------------

TEST_F(HeadlessBackendTest, PostedMessagesReachTheControlOfTheirHandleInOrder) {
  RecordingForm first(nullptr), second(nullptr);
  Os().user.PostMessageA(second.Handle(), win::WM_USER + 1, 2, 3);
  Os().user.PostMessageA(first.Handle(), win::WM_USER + 2, 4, 5);
  Os().user.PostMessageA(reinterpret_cast<win::HWND>(uintptr_t{0xDEAD0}), win::WM_USER, 0, 0);
  EXPECT_TRUE(second.received.empty()) << "nothing arrives before messages are processed";

  backend.ProcessMessages();
  ASSERT_EQ(second.received.size(), 1u);
  EXPECT_EQ(second.received[0].Msg, win::WM_USER + 1);
  EXPECT_EQ(second.received[0].WParam, 2u);
  EXPECT_EQ(second.received[0].LParam, 3);
  ASSERT_EQ(first.received.size(), 1u);
  EXPECT_EQ(first.received[0].Msg, win::WM_USER + 2);
  ASSERT_EQ(backend.undeliveredMessages.size(), 1u);
  EXPECT_TRUE(os.user.messageQueue.empty());
  EXPECT_EQ(backend.ControlOf(first.Handle()), &first);
}

TEST_F(HeadlessBackendTest, MessagesPostedByATimerArriveInTheSamePass) {
  RecordingForm form(nullptr);
  MakeTimer("T", 100, [&] { Os().user.PostMessageA(form.Handle(), win::WM_USER, 0, 0); });
  backend.QueueInput([&] { log.push_back("input"); });
  backend.AdvanceTime(100);
  EXPECT_EQ(log, (Log{"input", "T@100"}));
  EXPECT_EQ(form.received.size(), 1u);
}

// --- Loops -----------------------------------------------------------------------

TEST_F(HeadlessBackendTest, TheMessageLoopRunsUntilTheMainFormCloses) {
  TApplication app({});
  Application = &app;
  RecordingForm main(nullptr);
  app.MainForm = &main;
  // A timer that asks the main form to close, as a close button would.
  MakeTimer("T", 100, [&] {
    if (backend.Now() == 500) Os().user.PostMessageA(main.Handle(), win::WM_CLOSE, 0, 0);
  });
  app.Run();
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(backend.Now(), 500u);
  EXPECT_EQ(log.size(), 5u);
  Application = nullptr;
}

TEST_F(HeadlessBackendTest, TheMessageLoopEndsWhenNothingCanHappenAnyMore) {
  RecordingForm form(nullptr);
  Os().user.PostMessageA(form.Handle(), win::WM_USER, 0, 0);
  backend.RunMessageLoop();
  EXPECT_EQ(form.received.size(), 1u);
}

TEST_F(HeadlessBackendTest, AMessageLoopThatNeverEndsFailsTheTest) {
  MakeTimer("T", 100);
  backend.loopTimeLimitMs = 1000;
  EXPECT_THROW(backend.RunMessageLoop(), std::runtime_error);
}

TEST_F(HeadlessBackendTest, AModalFormWaitsForTimersAndItsScript) {
  RecordingForm dialog(nullptr);
  int ticks = 0;
  MakeTimer("T", 100, [&] { ++ticks; });
  // The user waits until the dialog has seen three ticks, then presses OK.
  backend.modalScript.push_back([&] {
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(ticks, 0);
  });
  MakeTimer("User", 100, [&] {
    if (ticks == 3) dialog.SetModalResult(TModalResult::mrOk);
  });
  EXPECT_EQ(dialog.ShowModal(), TModalResult::mrOk);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(backend.Now(), 300u);
  EXPECT_TRUE(backend.modalScript.empty());
}

TEST_F(HeadlessBackendTest, AModalLoopThatNothingCanEndFailsTheTest) {
  RecordingForm dialog(nullptr);
  EXPECT_THROW(dialog.ShowModal(), std::runtime_error);
}

TEST_F(HeadlessBackendTest, QuittingEndsAModalLoopAndTheLoopAroundIt) {
  RecordingForm dialog(nullptr);
  MakeTimer("T", 100, [&] { backend.QuitMessageLoop(); });
  bool innerEnded = false;
  backend.QueueInput([&] {
    backend.RunModalLoop([] { return false; });
    innerEnded = true;
  });
  backend.RunMessageLoop();
  EXPECT_TRUE(innerEnded);
  EXPECT_EQ(backend.Now(), 100u);
}

// --- Menus and dialogs ---------------------------------------------------------

TEST_F(HeadlessBackendTest, APopupMenuClicksTheScriptedItemWhileTimersRun) {
  TPopupMenu menu;
  menu.Name = "PopupMenu";
  std::vector<std::string> clicked;
  for (const char* name : {"pmClean", "pmExit"})
    menu.Add(name, name).OnClick = [&clicked, name](TObject*) { clicked.push_back(name); };
  menu.Add("pmOff", "off").Enabled = false;
  MakeTimer("T", 100);

  backend.popupChoices.push_back({"pmClean", 250});
  menu.Popup(10, 20);
  EXPECT_EQ(clicked, (std::vector<std::string>{"pmClean"}));
  EXPECT_EQ(log, (Log{"T@100", "T@200"}));
  ASSERT_EQ(backend.popupMenuCalls.size(), 1u);
  EXPECT_EQ(backend.popupMenuCalls[0].x, 10);
  EXPECT_EQ(backend.popupMenuCalls[0].y, 20);

  backend.popupChoices.push_back({"pmOff"});
  menu.Popup(0, 0);  // a disabled item cannot be chosen
  menu.Popup(0, 0);  // nothing scripted: the menu closes
  EXPECT_EQ(clicked.size(), 1u);
  backend.popupChoices.push_back({"pmTypo"});
  EXPECT_THROW(menu.Popup(0, 0), std::logic_error);
}

TEST_F(HeadlessBackendTest, DialogsAnswerFromTheirScripts) {
  TOpenDialog open;
  open.FileName = "old.wav";
  backend.openDialogAnswers.push_back(std::nullopt);
  backend.openDialogAnswers.push_back("C:\\Sounds\\new.wav");
  EXPECT_FALSE(open.Execute());
  EXPECT_EQ(open.FileName, "old.wav");
  EXPECT_TRUE(open.Execute());
  EXPECT_EQ(open.FileName, "C:\\Sounds\\new.wav");
  EXPECT_FALSE(open.Execute());

  TColorDialog color;
  color.Color = clRed;
  backend.colorDialogAnswers.push_back(clLime);
  EXPECT_TRUE(color.Execute());
  EXPECT_EQ(color.Color, clLime);
  EXPECT_EQ(backend.colorDialogStartColors, (std::vector<TColor>{clRed}));
}

// --- Application, repaints and painting ----------------------------------------

TEST_F(HeadlessBackendTest, MinimiseAndRestoreReportOnlyChanges) {
  TApplication app({});
  Application = &app;
  int minimized = 0, restored = 0;
  app.OnMinimize = [&](TObject*) { ++minimized; };
  app.OnRestore = [&](TObject*) { ++restored; };
  app.Restore();
  app.Minimize();
  app.Minimize();
  EXPECT_TRUE(backend.applicationMinimized);
  app.Restore();
  EXPECT_EQ(minimized, 1);
  EXPECT_EQ(restored, 1);
  Application = nullptr;
}

TEST_F(HeadlessBackendTest, RepaintsAreRecordedWhereTheyHappen) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 80);
  Swatch left(&form), right(&form);
  left.SetBounds(0, 0, 50, 20);
  right.SetBounds(100, 0, 50, 20);
  form.Handle();
  backend.ForgetInvalidations();

  left.SetColor(clRed);
  EXPECT_TRUE(backend.WasInvalidated(left));
  EXPECT_FALSE(backend.WasInvalidated(right));
  backend.ForgetInvalidations();
  EXPECT_FALSE(backend.WasInvalidated(left));
  form.Invalidate();
  EXPECT_TRUE(backend.WasInvalidated(right));
}

TEST_F(HeadlessBackendTest, PaintingAWindowDrawsItsBackgroundThenItsWindowlessChildren) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 80);
  form.SetColor(clNavy);
  Swatch swatch(&form);
  swatch.SetBounds(10, 5, 30, 20);
  swatch.SetColor(clYellow);
  Swatch hidden(&form);
  hidden.SetBounds(50, 5, 30, 20);
  hidden.Hide();

  const RecordingCanvas canvas = HeadlessBackend::PaintWindow(form);
  ASSERT_EQ(canvas.Ops.size(), 2u);
  EXPECT_EQ(canvas.Ops[0].color, clNavy);
  EXPECT_EQ(canvas.Ops[0].rect, (TRect{0, 0, 200, 80}));
  EXPECT_EQ(canvas.Ops[1].color, clYellow);
  EXPECT_EQ(canvas.Ops[1].rect, (TRect{10, 5, 40, 25}));
}

}  // namespace
}  // namespace norva
