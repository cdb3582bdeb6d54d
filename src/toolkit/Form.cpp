#include "toolkit/Form.h"

#include <algorithm>

#include "toolkit/Application.h"
#include "toolkit/Backend.h"

namespace norva::tk {

TForm::TForm(TForm* owner) : TWinControl(nullptr), FOwner(owner) { FVisible = false; }

TForm::~TForm() = default;

void TForm::CreateHandle() {
  TWinControl::CreateHandle();
  // The window is made hidden; it appears once the form is complete.
  if (FCreated && FVisible && Peer() != nullptr) Peer()->Update(TChange::Visible);
}

void TForm::Changed(TChange what) {
  // OnShow runs before the window appears, so that what it fills in is drawn
  // with the first paint; OnHide once it has gone.
  const bool showing = what == TChange::Visible && FVisible && FCreated;
  if (showing) DoShow();
  // A complete form gets its window when it is first shown.
  if (showing && FVisible && !HandleAllocated()) {
    Handle();
    return;
  }
  TWinControl::Changed(what);
  if (what == TChange::Visible && !FVisible && FCreated) DoHide();
}

void TForm::FinishCreate() {
  FCreated = true;
  if (!FVisible) return;
  DoShow();
  if (HandleAllocated())
    Peer()->Update(TChange::Visible);
  else
    Handle();
}

void TForm::SetClientSize(int width, int height) {
  FSizedByWindow = false;
  SetBounds(FLeft, FTop, width, height);
}

void TForm::SetWindowSize(int width, int height) {
  const TPoint frame = CurrentBackend().FormFrameSize(*this);
  SetClientSize(std::max(0, width - frame.X), std::max(0, height - frame.Y));
  FSizedByWindow = true;
}

void TForm::Close() {
  // A close asked for while this one waits in its close query (a message box
  // there runs its own loop; taskkill's WM_CLOSE reaches the application's
  // window too) is the same close: it goes on once the box is answered,
  // instead of ending the program under the box.
  if (FClosing) return;
  FClosing = true;
  struct ClosingMark {
    bool& closing;
    ~ClosingMark() { closing = false; }
  } mark{FClosing};
  // A close of the main form first closes a menu left open: the menu's loop
  // would hold the program (and a close that waits for a cleaning, which
  // cannot go on under it) until the user leaves the menu.
  if (Application != nullptr && Application->MainForm == this) CurrentBackend().EndMenus();
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  if (FModal) {
    if (FModalResult == TModalResult::mrNone) FModalResult = TModalResult::mrCancel;
    return;
  }
  if (Application != nullptr && Application->MainForm == this) {
    Application->Terminate();
    return;
  }
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caHide) Hide();
}

TModalResult TForm::ShowModal() {
  FModalResult = TModalResult::mrNone;
  FModal = true;
  FCreated = true;
  Show();
  CurrentBackend().RunModalLoop([this] {
    return FModalResult != TModalResult::mrNone ||
           (Application != nullptr && Application->Terminated());
  });
  Hide();
  FModal = false;
  return FModalResult;
}

void TForm::SetModalResult(TModalResult result) {
  FModalResult = result;
  if (!FModal && result != TModalResult::mrNone) Hide();
}

int TForm::PixelsPerInch() const {
  return FPixelsPerInch > 0 ? FPixelsPerInch : CurrentBackend().ScreenPixelsPerInch();
}

void TForm::ChangeDpi(int pixelsPerInch, const win::RECT* suggested) {
  if (pixelsPerInch <= 0) return;
  FChangingDpi = true;
  struct ChangingMark {
    bool& changing;
    ~ChangingMark() { changing = false; }
  } mark{FChangingDpi};
  // The frame is the system's own at each DPI: a form sized by its window
  // keeps that size in the layout's pixels, frame included, as a start at
  // that DPI sizes it; one sized by its client area keeps that.
  const TPoint oldFrame = CurrentBackend().FormFrameSize(*this);
  FPixelsPerInch = pixelsPerInch;
  const TPoint newFrame = FSizedByWindow ? CurrentBackend().FormFrameSize(*this) : oldFrame;
  // The window goes where the system suggests (over the monitor it was
  // dragged to), at the size of its layout at the new scale.
  FLeft = suggested != nullptr ? suggested->left : FLeft;
  FTop = suggested != nullptr ? suggested->top : FTop;
  const int width = std::max(0, FWidth + oldFrame.X - newFrame.X);
  const int height = std::max(0, FHeight + oldFrame.Y - newFrame.Y);
  if (width != FWidth || height != FHeight) SetBounds(FLeft, FTop, width, height);
  RescaleWindows();
  if (OnDpiChanged) OnDpiChanged(this);
}

void TForm::WndProc(TMessage& message) {
  if (message.Msg == win::WM_CLOSE) {
    Close();
    message.Handled = true;
    return;
  }
  if (message.Msg == win::WM_DPICHANGED) {
    ChangeDpi(static_cast<int>(message.WParam & 0xFFFF),
              reinterpret_cast<const win::RECT*>(message.LParam));
    message.Result = 0;
    message.Handled = true;
    return;
  }
  TWinControl::WndProc(message);
}

void TForm::PaintBackground(TCanvas& canvas) { canvas.FillRect(ClientRect(), FColor); }

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() {
  if (FDestroying) return;
  FDestroying = true;
  if (OnDestroy) OnDestroy(this);
}

void TForm::DoActivate() {
  if (OnActivate) OnActivate(this);
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoHide() {
  if (OnHide) OnHide(this);
}

}  // namespace norva::tk
