// The toolkit backend for tests: no windows, a virtual clock. Controls get
// token handles and record what is invalidated; "processing messages"
// delivers the messages posted through the fake platform and runs the timers
// that are due on the fake kernel's clock, so a timer tick that arrives in
// the middle of a long operation can be tested exactly. Menus and the common
// dialogs answer from scripts the test queues. Requires an active
// platform::fake::FakePlatform for its whole life; create it after the fake
// platform and before any form or timer, so that it outlives them.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "toolkit/Backend.h"
#include "toolkit/headless/RecordingCanvas.h"

namespace norva::tk {

// An Invalidate call: the area in client coordinates, or nullopt for all.
using InvalidatedArea = std::optional<TRect>;

class HeadlessBackend;

class HeadlessPeer : public ControlPeer {
 public:
  HeadlessPeer(TWinControl& control, win::HWND handle, HeadlessBackend& backend);
  ~HeadlessPeer() override;
  win::HWND Handle() const override { return FHandle; }
  void Update(TChange what) override { Updates.push_back(what); }
  void Invalidate(const TRect* area) override;
  void InvalidateAreas(const std::vector<TRect>& areas) override;
  void DefaultHandler(TMessage&) override {}

  TWinControl& Control() const { return FControl; }
  std::vector<InvalidatedArea> Invalidations;
  // How often the system would have been asked (InvalidateAreas is one ask).
  int invalidateRequests = 0;
  std::vector<TChange> Updates;

 private:
  TWinControl& FControl;
  win::HWND FHandle;
  HeadlessBackend& FBackend;
};

struct PopupMenuCall {
  const TPopupMenu* menu;
  std::string menuName;
  int x, y;
  std::string chosen;  // the item clicked, "" for none
};

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;
  HeadlessBackend(const HeadlessBackend&) = delete;
  HeadlessBackend& operator=(const HeadlessBackend&) = delete;

  static HeadlessBackend& Active();

  // --- Controls --------------------------------------------------------------
  // The control that owns a handle, or null.
  TWinControl* ControlOf(win::HWND handle) const;
  // The peer of a control; creates the handle when it has none yet.
  HeadlessPeer& PeerOf(TWinControl& control);
  // Whether the control (a windowed one, or the parent of a windowless one)
  // was invalidated over any part of area since the last ForgetInvalidations.
  bool WasInvalidated(TWinControl& control, const TRect& area);
  bool WasInvalidated(TControl& control);
  void ForgetInvalidations();
  // Paints the control's background and windowless children as a paint
  // message would, onto a fresh recording canvas of its size.
  static RecordingCanvas PaintWindow(TWinControl& control);

  // --- Clock and messages ----------------------------------------------------
  uint64_t Now() const { return FOs.kernel.nowMs; }
  // Moves the clock forward in steps to each timer's due time, processing
  // messages at each step and at the end.
  void AdvanceTime(unsigned milliseconds);
  // Queues a piece of user input (a click, a key) to run at the next
  // processing of messages, after the posted messages.
  void QueueInput(std::function<void()> action);
  // Actions that a modal loop runs, one per idle turn, while it waits (the
  // user working in a modal dialog).
  std::deque<std::function<void()>> modalScript;
  // Posted messages whose handle belongs to no control.
  std::vector<platform::fake::PostedMessage> undeliveredMessages;
  int processMessagesCalls = 0;
  int timerTicks = 0;
  // A message loop that runs longer than this on the virtual clock throws:
  // a test that forgot to end it fails instead of hanging.
  uint64_t loopTimeLimitMs = 3600u * 1000u;
  size_t ActiveTimers() const { return FTimers.size(); }
  // The next due time of an active timer.
  std::optional<uint64_t> DueTime(const TTimer& timer) const;

  // --- Application window ------------------------------------------------------
  win::HWND applicationWindow = nullptr;
  std::string applicationTitle;
  bool applicationMinimized = false;
  int restoreTopMostsCalls = 0;

  // --- Menus and dialogs -------------------------------------------------------
  // Each TrackPopupMenu takes the next choice: the Name of the item to
  // click ("" for none) and how long the menu stays open (messages keep
  // running meanwhile). No choice queued: the menu closes at once.
  struct PopupChoice {
    std::string item;
    unsigned openMs = 0;
  };
  std::deque<PopupChoice> popupChoices;
  std::vector<PopupMenuCall> popupMenuCalls;
  // Each open or colour dialog takes the next answer; nullopt or nothing
  // queued means Cancel.
  std::deque<std::optional<std::string>> openDialogAnswers;
  std::deque<std::optional<TColor>> colorDialogAnswers;
  std::vector<std::string> openDialogTitles;
  std::vector<TColor> colorDialogStartColors;

  // --- The screen ------------------------------------------------------------
  // Drawing on the whole display (OpenScreenCanvas) lands on screenCanvas;
  // every screen area given back for repainting is kept in order.
  RecordingCanvas screenCanvas;
  std::vector<TRect> invalidatedScreenAreas;
  int screenCanvasOpens = 0;
  int pixelsPerInch = 96;
  // What a form's frame and title bar add to its client size (a sizeable
  // window of the classic look); none for a form without border.
  TPoint formFrame{8, 27};

  // --- Backend -----------------------------------------------------------------
  std::unique_ptr<ControlPeer> CreatePeer(TWinControl& control) override;
  TCanvas& MeasureCanvas(int) override { return FMeasure; }
  // A recording canvas of that size.
  std::unique_ptr<TBitmapCanvas> CreateBitmapCanvas(int width, int height,
                                                    int pixelsPerInch) override {
    return std::make_unique<RecordingCanvas>(TRect{0, 0, width, height}, pixelsPerInch);
  }
  win::HWND CreateApplicationWindow(const std::string& title) override;
  void RunMessageLoop() override;
  void QuitMessageLoop() override { FQuit = true; }
  // A system loop (a popup menu's, under Wine) took the quit request meant
  // for the loops further out.
  void DiscardQuit() { FQuit = false; }
  void ProcessMessages() override;
  void RunModalLoop(const std::function<bool()>& done) override;
  void StartTimer(TTimer& timer) override;
  void StopTimer(TTimer& timer) override;
  void MinimizeApplication() override;
  void RestoreApplication() override;
  void RestoreTopMosts() override { ++restoreTopMostsCalls; }
  void TrackPopupMenu(TPopupMenu& menu, int x, int y) override;
  bool ExecuteOpenDialog(TOpenDialog& dialog) override;
  bool ExecuteColorDialog(TColorDialog& dialog) override;
  std::unique_ptr<TCanvas> OpenScreenCanvas() override;
  void InvalidateScreenArea(const TRect& area) override { invalidatedScreenAreas.push_back(area); }
  int ScreenPixelsPerInch() override { return pixelsPerInch; }
  TPoint FormFrameSize(const TForm& form) override;

 private:
  friend class HeadlessPeer;
  struct TimerEntry {
    TTimer* timer;
    uint64_t due;
  };
  bool DeliverQueued();
  void RunDueTimers();
  std::optional<uint64_t> NextDue() const;
  // One turn of a waiting loop: false when nothing can ever happen again.
  bool IdleTurn(bool modal, uint64_t started);

  platform::fake::FakePlatform& FOs;
  RecordingCanvas FMeasure;
  std::map<win::HWND, HeadlessPeer*> FPeers;
  uintptr_t FNextHandle = 0x00050000;
  std::map<uintptr_t, TimerEntry> FTimers;  // by TTimer::BackendId, in start order
  uintptr_t FNextTimerId = 1;
  std::deque<std::function<void()>> FInput;
  bool FQuit = false;
};

}  // namespace norva::tk
