// Alignment: placing a container's aligned children edge by edge.
#include <algorithm>
#include <utility>
#include <vector>

#include "toolkit/Control.h"

namespace norva::tk {

namespace {

struct Placement {
  TControl* control;
  TRect bounds;
};

// Where each visible aligned child goes inside rect, in the order they are
// placed; rect ends as the area they leave free.
std::vector<Placement> PlanAlignment(const std::vector<TControl*>& children, TRect& rect) {
  std::vector<Placement> plan;
  constexpr TAlign kOrder[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight,
                               TAlign::alClient};
  for (const TAlign align : kOrder) {
    std::vector<TControl*> group;
    for (TControl* c : children)
      if (c->Align() == align && c->Visible()) group.push_back(c);
    // In creation order, each one further from the edge than the one before.
    for (TControl* c : group) {
      // A strip keeps the thickness the program gave it, even where the
      // area is used up (it then overlaps its neighbours): a window made
      // small and large again finds every control as it was.
      TRect r = rect;
      switch (align) {
        case TAlign::alTop:
          r.Bottom = rect.Top + c->ExplicitHeight();
          rect.Top = r.Bottom;
          break;
        case TAlign::alBottom:
          r.Top = rect.Bottom - c->ExplicitHeight();
          rect.Bottom = r.Top;
          break;
        case TAlign::alLeft:
          r.Right = rect.Left + c->ExplicitWidth();
          rect.Left = r.Right;
          break;
        case TAlign::alRight:
          r.Left = rect.Right - c->ExplicitWidth();
          rect.Right = r.Left;
          break;
        default:
          break;
      }
      // Across the strip (and for alClient) what is left, never negative.
      r.Right = std::max(r.Right, r.Left);
      r.Bottom = std::max(r.Bottom, r.Top);
      plan.push_back({c, r});
    }
  }
  rect.Right = std::max(rect.Right, rect.Left);
  rect.Bottom = std::max(rect.Bottom, rect.Top);
  return plan;
}

}  // namespace

void TControl::SetAlign(TAlign v) {
  if (v == FAlign) return;
  const TAlign previous = FAlign;
  FAlign = v;
  AlignChanged(previous);
  RequestAlign();
}

void TControl::RequestAlign() {
  if (FParent != nullptr && !FParent->FAligning) FParent->Realign();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != FWidth || height != FHeight;
  TControl::SetBounds(left, top, width, height);
  if (!resized) return;
  Realign();
  if (OnResize) OnResize(this);
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (FAlignLevel == 0) return;
  if (--FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || FAligning) {
    // Asked again while placing (a child's OnResize): once more afterwards.
    FAlignPending = true;
    return;
  }
  for (int pass = 0; pass < 3; ++pass) {
    FAlignPending = false;
    FAligning = true;
    TRect rect = AlignRect();
    try {
      AlignControls(rect);
    } catch (...) {
      FAligning = false;
      throw;
    }
    FAligning = false;
    if (!FAlignPending) break;
  }
  FAlignPending = false;
}

TRect TWinControl::RemainingAlignRect() const {
  TRect rect = AlignRect();
  PlanAlignment(FControls, rect);
  return rect;
}

void TWinControl::AlignControls(TRect& rect) {
  for (const Placement& p : PlanAlignment(FControls, rect)) {
    // What the alignment gives is no size the program asked for.
    TControl& c = *p.control;
    c.FPlacedByAlign = true;
    try {
      c.SetBounds(p.bounds.Left, p.bounds.Top, p.bounds.Width(), p.bounds.Height());
    } catch (...) {
      c.FPlacedByAlign = false;
      throw;
    }
    c.FPlacedByAlign = false;
  }
}

}  // namespace norva::tk
