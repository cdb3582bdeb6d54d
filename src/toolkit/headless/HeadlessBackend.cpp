#include "toolkit/headless/HeadlessBackend.h"

#include <algorithm>
#include <stdexcept>

#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Form.h"
#include "toolkit/Menus.h"
#include "toolkit/Timer.h"
#include "toolkit/headless/HeadlessComCtrls.h"

namespace norva::tk {

namespace {

HeadlessBackend* active = nullptr;

// Loops that keep finding work (a handler that posts to itself forever)
// stop here instead of hanging the test.
constexpr int kMaxDeliveriesPerPass = 100000;
constexpr long kMaxLoopTurns = 10000000;

bool Intersects(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

// --- Peers -------------------------------------------------------------------

HeadlessPeer::HeadlessPeer(TWinControl& control, win::HWND handle, HeadlessBackend& backend)
    : FControl(control), FHandle(handle), FBackend(backend) {
  FBackend.FPeers[FHandle] = this;
}

HeadlessPeer::~HeadlessPeer() { FBackend.FPeers.erase(FHandle); }

void HeadlessPeer::Invalidate(const TRect* area) {
  Invalidations.push_back(area != nullptr ? InvalidatedArea(*area) : std::nullopt);
  ++invalidateRequests;
}

void HeadlessPeer::InvalidateAreas(const std::vector<TRect>& areas) {
  Invalidations.insert(Invalidations.end(), areas.begin(), areas.end());
  ++invalidateRequests;
}

// --- Backend -----------------------------------------------------------------

HeadlessBackend::HeadlessBackend() : FOs(platform::fake::FakePlatform::Active()) {
  active = this;
  InstallBackend(this);
}

HeadlessBackend::~HeadlessBackend() {
  if (active == this) {
    active = nullptr;
    InstallBackend(nullptr);
  }
}

HeadlessBackend& HeadlessBackend::Active() {
  if (active == nullptr) throw std::logic_error("no headless backend installed");
  return *active;
}

std::unique_ptr<ControlPeer> HeadlessBackend::CreatePeer(TWinControl& control) {
  FNextHandle += 4;
  const auto handle = reinterpret_cast<win::HWND>(FNextHandle);
  if (auto peer = CreateHeadlessComCtrlPeer(control, handle, *this)) return peer;
  return std::make_unique<HeadlessPeer>(control, handle, *this);
}

TPoint HeadlessBackend::FormFrameSize(const TForm& form) {
  return form.BorderStyle == TBorderStyle::bsNone ? TPoint{} : formFrame;
}

TWinControl* HeadlessBackend::ControlOf(win::HWND handle) const {
  const auto it = FPeers.find(handle);
  return it != FPeers.end() ? &it->second->Control() : nullptr;
}

HeadlessPeer& HeadlessBackend::PeerOf(TWinControl& control) {
  control.Handle();
  return *static_cast<HeadlessPeer*>(control.Peer());
}

bool HeadlessBackend::WasInvalidated(TWinControl& control, const TRect& area) {
  if (!control.HandleAllocated()) return false;
  for (const InvalidatedArea& a : PeerOf(control).Invalidations)
    if (!a || Intersects(*a, area)) return true;
  return false;
}

bool HeadlessBackend::WasInvalidated(TControl& control) {
  if (control.IsWindowed())
    return WasInvalidated(static_cast<TWinControl&>(control), control.ClientRect());
  return control.Parent() != nullptr && WasInvalidated(*control.Parent(), control.BoundsRect());
}

void HeadlessBackend::ForgetInvalidations() {
  for (auto& [handle, peer] : FPeers) {
    peer->Invalidations.clear();
    peer->Updates.clear();
    peer->invalidateRequests = 0;
  }
}

RecordingCanvas HeadlessBackend::PaintWindow(TWinControl& control) {
  RecordingCanvas canvas(control.ClientRect());
  control.PaintBackground(canvas);
  control.PaintControls(canvas);
  return canvas;
}

win::HWND HeadlessBackend::CreateApplicationWindow(const std::string& title) {
  applicationTitle = title;
  FNextHandle += 4;
  applicationWindow = reinterpret_cast<win::HWND>(FNextHandle);
  return applicationWindow;
}

// --- Messages and timers -----------------------------------------------------

void HeadlessBackend::QueueInput(std::function<void()> action) {
  FInput.push_back(std::move(action));
}

bool HeadlessBackend::DeliverQueued() {
  bool any = false;
  for (int n = 0;; ++n) {
    if (n == kMaxDeliveriesPerPass) throw std::runtime_error("messages keep arriving without end");
    auto& queue = FOs.user.messageQueue;
    if (!queue.empty()) {
      // Posted messages come before input, as in a Windows message queue.
      const platform::fake::PostedMessage m = queue.front();
      queue.pop_front();
      if (TWinControl* control = ControlOf(m.window))
        control->Perform(m.message, m.wParam, m.lParam);
      else
        undeliveredMessages.push_back(m);
    } else if (!FInput.empty()) {
      std::function<void()> action = std::move(FInput.front());
      FInput.pop_front();
      action();
    } else {
      return any;
    }
    any = true;
  }
}

void HeadlessBackend::RunDueTimers() {
  // Only timers due when this pass starts run in it, each once, earliest
  // first. A timer is re-armed before its handler runs: a nested pass (the
  // handler processing messages) cannot run it again for the same due time,
  // but runs it again once the clock has reached its next one, as Windows
  // would deliver a new WM_TIMER.
  std::vector<std::pair<uint64_t, uintptr_t>> due;
  for (const auto& [id, entry] : FTimers)
    if (entry.due <= Now()) due.emplace_back(entry.due, id);
  std::sort(due.begin(), due.end());
  for (const auto& [when, id] : due) {
    const auto it = FTimers.find(id);
    if (it == FTimers.end() || it->second.due > Now()) continue;  // stopped or already run
    TTimer* timer = it->second.timer;
    // Ticks missed while nobody processed messages are not made up for:
    // Windows keeps at most one WM_TIMER pending per timer.
    uint64_t next = it->second.due;
    while (next <= Now()) next += timer->Interval();
    it->second.due = next;
    ++timerTicks;
    timer->Tick();
  }
}

void HeadlessBackend::ProcessMessages() {
  ++processMessagesCalls;
  DeliverQueued();
  RunDueTimers();
  DeliverQueued();
}

std::optional<uint64_t> HeadlessBackend::NextDue() const {
  std::optional<uint64_t> next;
  for (const auto& [id, entry] : FTimers)
    if (!next || entry.due < *next) next = entry.due;
  return next;
}

std::optional<uint64_t> HeadlessBackend::DueTime(const TTimer& timer) const {
  const auto it = FTimers.find(timer.BackendId);
  if (it == FTimers.end() || it->second.timer != &timer) return std::nullopt;
  return it->second.due;
}

void HeadlessBackend::AdvanceTime(unsigned milliseconds) {
  const uint64_t target = Now() + milliseconds;
  for (long turn = 0;; ++turn) {
    if (turn == kMaxLoopTurns) throw std::runtime_error("timers keep falling due without end");
    const std::optional<uint64_t> next = NextDue();
    if (!next || *next > target) break;
    FOs.kernel.nowMs = std::max(Now(), *next);
    ProcessMessages();
  }
  FOs.kernel.nowMs = std::max(Now(), target);
  ProcessMessages();
}

bool HeadlessBackend::IdleTurn(bool modal, uint64_t started) {
  if (!FOs.user.messageQueue.empty() || !FInput.empty()) return true;
  if (modal && !modalScript.empty()) {
    std::function<void()> action = std::move(modalScript.front());
    modalScript.pop_front();
    action();
    return true;
  }
  // Nothing to do until the next timer falls due: wait for it.
  const std::optional<uint64_t> next = NextDue();
  if (!next) return false;
  if (*next > started + loopTimeLimitMs)
    throw std::runtime_error("the message loop ran past its time limit");
  FOs.kernel.nowMs = std::max(Now(), *next);
  return true;
}

void HeadlessBackend::RunMessageLoop() {
  // A quit requested before the loop started ends it at once, as a WM_QUIT
  // already in the queue would.
  const uint64_t started = Now();
  for (long turn = 0; !FQuit; ++turn) {
    if (turn == kMaxLoopTurns) throw std::runtime_error("the message loop does not end");
    ProcessMessages();
    // With no timer and nothing queued nothing can happen any more.
    if (FQuit || !IdleTurn(false, started)) break;
  }
  FQuit = false;
}

void HeadlessBackend::RunModalLoop(const std::function<bool()>& done) {
  // A quit request also ends a modal loop (and stays set for the outer one).
  const uint64_t started = Now();
  for (long turn = 0; !done() && !FQuit; ++turn) {
    if (turn == kMaxLoopTurns) throw std::runtime_error("the modal loop does not end");
    ProcessMessages();
    if (done() || FQuit) break;
    if (!IdleTurn(true, started))
      throw std::runtime_error("the modal loop waits with nothing left that could end it");
  }
}

void HeadlessBackend::StartTimer(TTimer& timer) {
  StopTimer(timer);
  timer.BackendId = FNextTimerId++;
  FTimers[timer.BackendId] = TimerEntry{&timer, Now() + timer.Interval()};
}

void HeadlessBackend::StopTimer(TTimer& timer) {
  const auto it = FTimers.find(timer.BackendId);
  if (it != FTimers.end() && it->second.timer == &timer) FTimers.erase(it);
  timer.BackendId = 0;
}

// --- Application -------------------------------------------------------------

void HeadlessBackend::MinimizeApplication() {
  if (applicationMinimized) return;
  applicationMinimized = true;
  if (Application != nullptr) Application->DoMinimize();
}

void HeadlessBackend::RestoreApplication() {
  if (!applicationMinimized) return;
  applicationMinimized = false;
  if (Application != nullptr) Application->DoRestore();
}

// --- The screen --------------------------------------------------------------

namespace {

// A screen canvas as the caller owns it: every call goes on to the one
// recording canvas of the backend, so a test sees all screen drawing in order.
class ScreenCanvas : public ForwardingCanvas {
 public:
  using ForwardingCanvas::ForwardingCanvas;
};

}  // namespace

std::unique_ptr<TCanvas> HeadlessBackend::OpenScreenCanvas() {
  ++screenCanvasOpens;
  return std::make_unique<ScreenCanvas>(screenCanvas);
}

// --- Menus and dialogs -------------------------------------------------------

void HeadlessBackend::TrackPopupMenu(TPopupMenu& menu, int x, int y) {
  PopupChoice choice;
  if (!popupChoices.empty()) {
    choice = popupChoices.front();
    popupChoices.pop_front();
  }
  popupMenuCalls.push_back({&menu, menu.Name, x, y, choice.item});
  // While the menu is open its modal loop keeps processing messages.
  if (choice.openMs > 0) AdvanceTime(choice.openMs);
  if (choice.item.empty()) return;
  for (const auto& item : menu.Items) {
    if (item->Name != choice.item) continue;
    // A disabled item or a separator cannot be chosen: the menu just closes.
    if (item->Enabled && !item->IsSeparator()) item->Click();
    return;
  }
  throw std::logic_error("the popup menu has no item named " + choice.item);
}

bool HeadlessBackend::ExecuteOpenDialog(TOpenDialog& dialog) {
  openDialogTitles.push_back(dialog.Title);
  if (openDialogAnswers.empty()) return false;
  const std::optional<std::string> answer = openDialogAnswers.front();
  openDialogAnswers.pop_front();
  if (!answer) return false;
  dialog.FileName = *answer;
  return true;
}

bool HeadlessBackend::ExecuteColorDialog(TColorDialog& dialog) {
  colorDialogStartColors.push_back(dialog.Color);
  if (colorDialogAnswers.empty()) return false;
  const std::optional<TColor> answer = colorDialogAnswers.front();
  colorDialogAnswers.pop_front();
  if (!answer) return false;
  dialog.Color = *answer;
  return true;
}

}  // namespace norva::tk
