// A splitter: a thin aligned bar that the user drags to resize the control
// aligned to the same side just before it (the one whose edge it touches).
#pragma once

#include "toolkit/Control.h"

namespace norva::tk {

class TSplitter : public TWinControl {
 public:
  // Aligned alLeft and 3 pixels wide until told otherwise; give it the
  // alignment of the control it resizes.
  explicit TSplitter(TWinControl* parent);

  // Neither the resized control nor what the aligned controls leave free
  // (the alClient area) becomes smaller than this.
  int MinSize = 30;
  // After a drag has resized the control.
  TNotifyEvent OnMoved;

  // Whether the bar runs top to bottom (alLeft, alRight) and so moves sideways.
  bool Vertical() const { return FAlign == TAlign::alLeft || FAlign == TAlign::alRight; }
  // The control the splitter resizes now, or null.
  TControl* ResizedControl() const;
  // Moves the splitter by delta pixels (towards the right or the bottom when
  // positive), within MinSize, as a drag would.
  void MoveBy(int delta);

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool Dragging() const { return FDragging; }

 protected:
  // Turned from a side to the top or bottom (or back), the bar keeps its
  // thickness: the smaller of the sizes the program gave it.
  void AlignChanged(TAlign previous) override;

 private:
  // The mouse position in the parent's coordinates along the moving axis.
  int ParentPosition(int x, int y) const;
  // Gives the control a new size along the moving axis, within the limits;
  // true when it changed.
  bool ResizeControl(TControl& control, int size);
  bool FDragging = false;
  bool FDragMoved = false;
  TControl* FDragControl = nullptr;
  int FDragStart = 0;
  int FDragStartSize = 0;
};

}  // namespace norva::tk
