// Top-level windows. A form's creation event (OnCreate) runs after its
// constructor has finished and its destruction event (OnDestroy) before its
// destructor body: create forms with CreateForm and hold them in a FormPtr.
#pragma once

#include <memory>
#include <utility>

#include "toolkit/Control.h"
#include "toolkit/Dpi.h"

namespace norva::tk {

enum class TBorderStyle { bsNone, bsSingle, bsDialog, bsSizeable };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TPosition { poDesigned, poScreenCenter };
// The buttons of the title bar (bit set).
enum TBorderIconBits : uint32_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = uint32_t;
// What a close does once OnClose has run: nothing, or hide the form.
enum class TCloseAction { caNone, caHide };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& action)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TForm* owner);
  ~TForm() override;

  TForm* Owner() const { return FOwner; }
  TBorderStyle BorderStyle = TBorderStyle::bsSizeable;
  TFormStyle FormStyle = TFormStyle::fsNormal;
  TPosition Position = TPosition::poDesigned;
  bool CloseBoxOnly = false;
  // The form sees Tab and Enter (as WM_KEYDOWN) before they move the focus
  // between its controls or press its default button; one it handles goes
  // no further.
  bool KeyPreview = false;
  // Read when the window is made; a missing system menu takes the other
  // buttons with it.
  TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;
  TCloseQueryEvent OnCloseQuery;
  // Every time the form is shown, before its window appears.
  TNotifyEvent OnShow;
  // Every time the form is hidden, after its window has gone.
  TNotifyEvent OnHide;
  // A close that OnCloseQuery allowed, before the form hides (caNone keeps
  // it open). Not run for the main form's close, which ends the program.
  TCloseEvent OnClose;

  // Client size; the window is sized around it.
  void SetClientSize(int width, int height);
  // Size of the whole window, frame and title bar included: the client size
  // becomes what the frame of the form's BorderStyle and BorderIcons leaves
  // (set those first).
  void SetWindowSize(int width, int height);

  // Pixels per inch of the monitor the form is on: the screen's until its
  // window is made, then the window's, then what each WM_DPICHANGED names.
  // The layout keeps its 96-per-inch sizes at every DPI; only the back end
  // and the screen arithmetic scale by this.
  int PixelsPerInch() const override;
  // Takes the window's DPI as it is made, before its children are (nothing
  // is moved or rescaled).
  void SetPixelsPerInch(int pixelsPerInch) { FPixelsPerInch = pixelsPerInch; }
  // A size of the layout as screen pixels of the form's monitor.
  int ToScreen(int logical) const { return ScaleBy(logical, PixelsPerInch()); }
  // After the form moved to a monitor of another DPI and every window and
  // font of it was rescaled.
  TNotifyEvent OnDpiChanged;
  // While the form takes a new DPI (its window moves to the suggested place).
  bool ChangingDpi() const { return FChangingDpi; }

  // Asks OnCloseQuery, then hides the form (or, for the main form, ends the
  // message loop).
  void Close();
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result);
  bool Modal() const { return FModal; }

  void WndProc(TMessage& message) override;
  void PaintBackground(TCanvas& canvas) override;

  void DoCreate();
  void DoDestroy();
  void DoActivate();
  void DoShow();
  void DoHide();
  // Ends the creation (CreateForm calls it after OnCreate): from here on the
  // form's window exists and shows as Visible says. Before, a window made
  // early stays hidden.
  void FinishCreate();

 protected:
  void CreateHandle() override;
  void Changed(TChange what) override;

 private:
  TForm* FOwner;
  bool FCreated = false;
  TModalResult FModalResult = TModalResult::mrNone;
  bool FModal = false;
  bool FDestroying = false;
  bool FClosing = false;   // inside Close (its close query may pump messages)
  int FPixelsPerInch = 0;  // 0: the screen's
  bool FChangingDpi = false;
  bool FSizedByWindow = false;  // last sized by SetWindowSize, frame included
  void ChangeDpi(int pixelsPerInch, const win::RECT* suggested);
};

struct FormDeleter {
  void operator()(TForm* form) const {
    form->DoDestroy();
    // The window goes before the members it would report to.
    form->DestroyHandle();
    delete form;
  }
};
template <class F>
using FormPtr = std::unique_ptr<F, FormDeleter>;

// Constructs the form, then runs its creation event, then shows it when its
// layout declares it visible.
template <class F, class... Args>
FormPtr<F> CreateForm(Args&&... args) {
  FormPtr<F> form(new F(std::forward<Args>(args)...));
  form->DoCreate();
  form->FinishCreate();
  return form;
}

}  // namespace norva::tk
