#include "toolkit/Splitter.h"

#include <algorithm>

namespace norva::tk {

namespace {

int SizeAlong(const TControl& control, bool vertical) {
  return vertical ? control.Width() : control.Height();
}

}  // namespace

TSplitter::TSplitter(TWinControl* parent) : TWinControl(parent) {
  FWidth = FExplicitWidth = 3;
  FHeight = FExplicitHeight = 100;
  FAlign = TAlign::alLeft;
  RequestAlign();
}

void TSplitter::AlignChanged(TAlign) {
  const int thickness = std::max(1, std::min(FExplicitWidth, FExplicitHeight));
  if (Vertical())
    FExplicitWidth = thickness;
  else if (FAlign == TAlign::alTop || FAlign == TAlign::alBottom)
    FExplicitHeight = thickness;
}

TControl* TSplitter::ResizedControl() const {
  if (FParent == nullptr) return nullptr;
  for (TControl* c : FParent->Controls()) {
    if (c == this || !c->Visible() || c->Align() != FAlign) continue;
    // The control whose edge the splitter touches on its own side.
    switch (FAlign) {
      case TAlign::alLeft:
        if (c->Left() + c->Width() == FLeft) return c;
        break;
      case TAlign::alRight:
        if (c->Left() == FLeft + FWidth) return c;
        break;
      case TAlign::alTop:
        if (c->Top() + c->Height() == FTop) return c;
        break;
      case TAlign::alBottom:
        if (c->Top() == FTop + FHeight) return c;
        break;
      default:
        return nullptr;
    }
  }
  return nullptr;
}

bool TSplitter::ResizeControl(TControl& control, int size) {
  const bool vertical = Vertical();
  const int current = SizeAlong(control, vertical);
  // What the alClient area can give up while keeping MinSize itself.
  const TRect free = FParent->RemainingAlignRect();
  const int room = (vertical ? free.Width() : free.Height()) - MinSize;
  const int upper = std::max(current, current + room);
  const int lower = std::min(current, MinSize);
  size = std::clamp(size, lower, upper);
  if (size == current) return false;
  if (vertical)
    control.SetWidth(size);
  else
    control.SetHeight(size);
  return true;
}

void TSplitter::MoveBy(int delta) {
  TControl* control = ResizedControl();
  if (control == nullptr || delta == 0) return;
  // A splitter right of or below its control grows it when moved on; one
  // left of or above shrinks it.
  const bool grows = FAlign == TAlign::alLeft || FAlign == TAlign::alTop;
  const int size = SizeAlong(*control, Vertical()) + (grows ? delta : -delta);
  if (ResizeControl(*control, size) && OnMoved) OnMoved(this);
}

int TSplitter::ParentPosition(int x, int y) const { return Vertical() ? x + FLeft : y + FTop; }

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !FEnabled) return;
  FDragControl = ResizedControl();
  if (FDragControl == nullptr) return;
  FDragging = true;
  FDragMoved = false;
  FDragStart = ParentPosition(x, y);
  FDragStartSize = SizeAlong(*FDragControl, Vertical());
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
  TWinControl::MouseMove(shift, x, y);
  if (!FDragging) return;
  const bool grows = FAlign == TAlign::alLeft || FAlign == TAlign::alTop;
  const int delta = ParentPosition(x, y) - FDragStart;
  if (ResizeControl(*FDragControl, FDragStartSize + (grows ? delta : -delta))) FDragMoved = true;
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseUp(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !FDragging) return;
  // A release outside every window (-1, -1: the capture was taken away)
  // keeps what the last move did.
  if (x != -1 || y != -1) MouseMove(shift, x, y);
  FDragging = false;
  FDragControl = nullptr;
  if (FDragMoved && OnMoved) OnMoved(this);
}

}  // namespace norva::tk
