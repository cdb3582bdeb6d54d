#include "toolkit/Control.h"

#include <algorithm>

#include "toolkit/Backend.h"

namespace norva::tk {

namespace {

// The areas gathered while a TInvalidateBatch is open, per window.
struct PendingInvalidation {
  TWinControl* control;
  std::vector<TRect> areas;
  bool all = false;
};
int batchDepth = 0;
std::vector<PendingInvalidation>& Pending() {
  static std::vector<PendingInvalidation> pending;
  return pending;
}

PendingInvalidation& PendingOf(TWinControl* control) {
  auto& pending = Pending();
  for (PendingInvalidation& p : pending)
    if (p.control == control) return p;
  return pending.emplace_back(PendingInvalidation{control, {}});
}

bool Contains(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

}  // namespace

TInvalidateBatch::TInvalidateBatch() { ++batchDepth; }

TInvalidateBatch::~TInvalidateBatch() {
  if (--batchDepth > 0) return;
  // Taken out first: a peer's answer must not find a half-flushed list.
  std::vector<PendingInvalidation> pending = std::move(Pending());
  Pending().clear();
  for (PendingInvalidation& p : pending) {
    ControlPeer* peer = p.control->Peer();
    if (peer == nullptr) continue;
    if (p.all)
      peer->Invalidate(nullptr);
    else if (!p.areas.empty())
      peer->InvalidateAreas(p.areas);
  }
}

TControl::TControl(TWinControl* parent) : FParent(parent) {
  if (FParent != nullptr) {
    FFont = FParent->Font();
    FParent->InsertControl(this);
  }
}

TControl::~TControl() {
  if (FParent != nullptr) FParent->RemoveControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  // A windowless control repaints both where it was and where it is now.
  if (!IsWindowed() && FParent != nullptr && FVisible) FParent->InvalidateRect(BoundsRect());
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  if (!FPlacedByAlign) {
    FExplicitWidth = width;
    FExplicitHeight = height;
  }
  Changed(TChange::Bounds);
  if (FAlign != TAlign::alNone) RequestAlign();
}

void TControl::SetVisible(bool v) {
  if (v == FVisible) return;
  if (!IsWindowed() && FParent != nullptr && FVisible) FParent->InvalidateRect(BoundsRect());
  FVisible = v;
  Changed(TChange::Visible);
  if (FAlign != TAlign::alNone) RequestAlign();
}

void TControl::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  Changed(TChange::Enabled);
}

void TControl::SetCaption(const std::string& v) {
  if (v == FCaption) return;
  FCaption = v;
  CaptionChanged();
  Changed(TChange::Caption);
}

void TControl::SetColor(TColor v) {
  if (v == FColor) return;
  FColor = v;
  Changed(TChange::Color);
}

void TControl::SetFont(const TFont& v) {
  if (v == FFont) return;
  FFont = v;
  FontChanged();
  Changed(TChange::Font);
}

void TControl::SetFontColor(TColor v) {
  TFont f = FFont;
  f.Color = v;
  SetFont(f);
}

void TControl::SetHint(const std::string& v) {
  if (v == FHint) return;
  FHint = v;
  Changed(TChange::Hint);
}

void TControl::SetShowHint(bool v) {
  if (v == FShowHint) return;
  FShowHint = v;
  Changed(TChange::Hint);
}

bool TControl::Showing() const {
  for (const TControl* c = this; c != nullptr; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Invalidate() {
  if (FParent != nullptr && FVisible) FParent->InvalidateRect(BoundsRect());
}

void TControl::Changed(TChange what) {
  // A windowless control's every visible property is drawn by its parent.
  if (what != TChange::Hint) Invalidate();
}

int TControl::PixelsPerInch() const {
  return FParent != nullptr ? FParent->PixelsPerInch() : CurrentBackend().ScreenPixelsPerInch();
}

TWinControl::TWinControl(TWinControl* parent) : TControl(parent) {}

void TWinControl::RescaleWindows() {
  if (!FPeer) return;
  for (TChange what : {TChange::Bounds, TChange::Font, TChange::Dpi}) FPeer->Update(what);
  for (TControl* c : FControls) {
    if (auto* w = dynamic_cast<TWinControl*>(c))
      w->RescaleWindows();
    else
      c->Changed(TChange::Dpi);  // a label sized to its text measures it again
  }
}

TWinControl::~TWinControl() {
  auto& pending = Pending();
  std::erase_if(pending, [this](const PendingInvalidation& p) { return p.control == this; });
  // Children that outlive this object must not call back into it.
  for (TControl* c : FControls) c->FParent = nullptr;
  FPeer.reset();
}

win::HWND TWinControl::Handle() {
  if (!FPeer) CreateHandle();
  return FPeer ? FPeer->Handle() : nullptr;
}

void TWinControl::CreateHandle() {
  if (FParent != nullptr) FParent->Handle();
  FMakingPeer = true;
  FPeer = CurrentBackend().CreatePeer(*this);
  FMakingPeer = false;
  CreateChildrenInside();
}

void TWinControl::CreateChildrenInside() {
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c);
        w != nullptr && !w->HandleAllocated() && !w->OutsideParent())
      w->CreateHandle();
}

bool TWinControl::OutsideParent() const {
  if (FParent == nullptr) return false;
  return FLeft >= FParent->Width() || FTop >= FParent->Height() || FLeft + FWidth <= 0 ||
         FTop + FHeight <= 0;
}

void TWinControl::DestroyHandle() { FPeer.reset(); }

void TWinControl::Changed(TChange what) {
  if (what == TChange::Bounds && !FPeer && !FMakingPeer && FParent != nullptr &&
      FParent->HandleAllocated() && !OutsideParent()) {
    // Come inside: the window is made with the control's current properties.
    CreateHandle();
    return;
  }
  if (FPeer) FPeer->Update(what);
  // A parent grown over children that lay outside it gives them their windows.
  if (what == TChange::Bounds && FPeer) CreateChildrenInside();
}

void TWinControl::PaintBackground(TCanvas& canvas) { canvas.FillRect(ClientRect(), FColor); }

void TWinControl::PaintControls(TCanvas& canvas) {
  const TRect own = canvas.Clip();
  for (TControl* c : FControls) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (g == nullptr || !g->Visible()) continue;
    TRect area = g->BoundsRect();
    area.Offset(own.Left, own.Top);
    // A control outside the area being repainted would be clipped away whole.
    const TRect paint = canvas.PaintArea();
    if (area.Right <= paint.Left || area.Left >= paint.Right || area.Bottom <= paint.Top ||
        area.Top >= paint.Bottom)
      continue;
    canvas.SetClip(area);
    g->Paint(canvas);
  }
  canvas.SetClip(own);
}

void TWinControl::InvalidateRect(const TRect& area) {
  if (!FPeer) return;
  if (batchDepth == 0) {
    FPeer->Invalidate(&area);
    return;
  }
  PendingInvalidation& p = PendingOf(this);
  if (p.all) return;
  for (const TRect& known : p.areas)
    if (Contains(known, area)) return;
  p.areas.push_back(area);
}

void TWinControl::Invalidate() {
  if (!FPeer) return;
  if (batchDepth == 0) {
    FPeer->Invalidate(nullptr);
    return;
  }
  PendingInvalidation& p = PendingOf(this);
  p.all = true;
  p.areas.clear();
}

TGraphicControl* TWinControl::ControlAt(int x, int y) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    auto* g = dynamic_cast<TGraphicControl*>(*it);
    if (g == nullptr || !g->Visible()) continue;
    if (g->HitTest(x - g->Left(), y - g->Top())) return g;
  }
  return nullptr;
}

void TWinControl::WndProc(TMessage& message) {
  if (!message.Handled && FPeer) FPeer->DefaultHandler(message);
}

win::LRESULT TWinControl::Perform(win::UINT msg, win::WPARAM wParam, win::LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0, false};
  WndProc(m);
  return m.Result;
}

void TWinControl::InsertControl(TControl* control) { FControls.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
}

}  // namespace norva::tk
