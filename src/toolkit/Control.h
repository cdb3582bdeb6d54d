// The control base: every control is a plain object holding its properties.
// A windowed control (TWinControl) may have a peer, the native window that
// mirrors its properties; a windowless control (TGraphicControl) only paints
// and hit-tests through its parent. Without a peer (tests) the properties
// simply hold.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Canvas.h"
#include "toolkit/Types.h"

namespace norva::tk {

class TWinControl;
class TPopupMenu;

// What changed on a control, so a peer updates only that.
// Dpi: the form's pixels per inch changed; the window scales what only it
// keeps (a list's column widths, a tree's indent) after its bounds and font.
enum class TChange {
  Bounds,
  Visible,
  Enabled,
  Caption,
  Font,
  Color,
  Hint,
  State,
  Items,
  Picture,
  Dpi
};

// Where a control keeps itself inside its parent. Aligned controls are placed
// edge by edge: first every alTop control (nearest the top first), then
// alBottom, alLeft, alRight, each taking its strip of what is left, and
// alClient fills the rest. Among controls of one alignment the one created
// first sits nearest the edge: create a bottom list before the splitter
// above it. alTop/alBottom keep their height, alLeft/alRight their width;
// hidden controls take no room.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TControl : public TObject {
 public:
  explicit TControl(TWinControl* parent);
  ~TControl() override;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  std::string Name;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& v);
  void SetFontColor(TColor v);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& v);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v);

  TAlign Align() const { return FAlign; }
  // Setting an alignment places the control at once (unless its parent's
  // alignment is disabled).
  void SetAlign(TAlign v);
  // The size the program last gave the control itself (not its alignment):
  // an aligned control's thickness (height for alTop/alBottom, width for
  // alLeft/alRight) comes from here.
  int ExplicitWidth() const { return FExplicitWidth; }
  int ExplicitHeight() const { return FExplicitHeight; }

  TWinControl* Parent() const { return FParent; }
  // Pixels per inch of the monitor the control's form is on (the screen's
  // for a control without a form).
  virtual int PixelsPerInch() const;
  // Visible, and every parent up to the form visible too.
  bool Showing() const;

  TNotifyEvent OnClick;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;

  // Input from the windowing system (or a test): coordinates are the
  // control's client coordinates.
  virtual void Click();
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  virtual void Invalidate();
  virtual bool IsWindowed() const { return false; }

 protected:
  // Called after a property changed; the base repaints or tells the peer.
  virtual void Changed(TChange what);
  // Hooks for subclasses, called before the peer/repaint step.
  virtual void CaptionChanged() {}
  virtual void FontChanged() {}

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FCaption;
  TColor FColor = clBtnFace;
  TFont FFont;
  std::string FHint;
  bool FShowHint = false;
  TAlign FAlign = TAlign::alNone;
  int FExplicitWidth = 0, FExplicitHeight = 0;
  TWinControl* FParent;

  // An aligned control moved, sized, shown or hidden by its owner: the
  // parent places its aligned children again.
  void RequestAlign();
  // After the alignment changed, before the control is placed.
  virtual void AlignChanged(TAlign previous) { (void)previous; }

 private:
  friend class TWinControl;
  // Set while the parent's alignment places the control.
  bool FPlacedByAlign = false;
};

// A windowless control: paints itself on its parent's canvas.
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  // The canvas has its origin at the control's top-left corner.
  virtual void Paint(TCanvas& canvas) = 0;
  // Whether the point (client coordinates) belongs to the control.
  virtual bool HitTest(int x, int y) const { return x >= 0 && y >= 0 && x < FWidth && y < FHeight; }
};

// The native side of a windowed control.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual win::HWND Handle() const = 0;
  virtual void Update(TChange what) = 0;
  // Area in client coordinates; null for all of it.
  virtual void Invalidate(const TRect* area) = 0;
  // Several areas at once (client coordinates): one request to the system
  // where it takes a region.
  virtual void InvalidateAreas(const std::vector<TRect>& areas) {
    for (const TRect& area : areas) Invalidate(&area);
  }
  // Answers a message the control didn't handle (the native default).
  virtual void DefaultHandler(TMessage& message) = 0;
};

// While one of these exists, windows are not invalidated one area at a
// time: every window's areas are gathered and handed to its peer in one call
// when the last batch ends (a timer tick that changes several labels asks
// the system once). Batches nest.
class TInvalidateBatch {
 public:
  TInvalidateBatch();
  ~TInvalidateBatch();
  TInvalidateBatch(const TInvalidateBatch&) = delete;
  TInvalidateBatch& operator=(const TInvalidateBatch&) = delete;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TWinControl* parent);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }
  const std::vector<TControl*>& Controls() const { return FControls; }

  // The native window, created on first need (a test backend gives a token).
  // A windowed child comes to life with its parent, except one that lies
  // wholly outside its parent's area (kept there until needed, as a
  // cleaning's stop button is): it gets its window when it first comes
  // inside, or when its handle is asked for.
  win::HWND Handle();
  bool HandleAllocated() const { return FPeer != nullptr; }
  ControlPeer* Peer() const { return FPeer.get(); }
  void DestroyHandle();

  // Paints the windowless children, in creation order, onto canvas whose
  // origin is this control's client origin.
  void PaintControls(TCanvas& canvas);
  virtual void PaintBackground(TCanvas& canvas);
  void InvalidateRect(const TRect& area);
  void Invalidate() override;
  // The topmost visible windowless child at a client point, or null.
  TGraphicControl* ControlAt(int x, int y) const;

  // Every message of the native window passes here first.
  virtual void WndProc(TMessage& message);
  // Sends a message straight to WndProc (as SendMessage would).
  win::LRESULT Perform(win::UINT msg, win::WPARAM wParam = 0, win::LPARAM lParam = 0);

  // A change of size places the aligned children anew, then runs OnResize.
  void SetBounds(int left, int top, int width, int height) override;
  // The form's pixels per inch changed: this window and every window inside
  // it take their bounds and fonts again at the new scale (parents first);
  // each windowless control inside is told (Changed(TChange::Dpi)).
  void RescaleWindows();

  // The on/off switch of alignment: while disabled (calls nest) aligned
  // children are not placed; the last EnableAlign places them once if
  // anything asked for it meanwhile.
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  // Places the aligned children now (or once alignment is enabled again).
  void Realign();
  // The area the aligned children share, in client coordinates.
  virtual TRect AlignRect() const { return ClientRect(); }
  // What the aligned children leave free inside AlignRect (the alClient area).
  TRect RemainingAlignRect() const;

  TPopupMenu* PopupMenu = nullptr;
  // After the control's size has changed and its children are placed.
  TNotifyEvent OnResize;

 protected:
  void Changed(TChange what) override;
  // Places the aligned children inside rect; rect ends as what they leave free.
  virtual void AlignControls(TRect& rect);
  // Creates the peer through the backend; forms override to parent-less windows.
  virtual void CreateHandle();

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool OutsideParent() const;
  void CreateChildrenInside();
  std::vector<TControl*> FControls;
  std::unique_ptr<ControlPeer> FPeer;
  // Set while the backend makes the peer (which may set the bounds itself).
  bool FMakingPeer = false;
  int FAlignLevel = 0;
  bool FAlignPending = false;
  bool FAligning = false;
};

}  // namespace norva::tk
