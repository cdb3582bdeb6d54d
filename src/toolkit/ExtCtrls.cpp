#include "toolkit/ExtCtrls.h"

namespace norva::tk {

namespace {

// One line of static text at the top of the control, in the font colour
// (grey while disabled), over Color unless transparent.
void PaintStaticText(TCanvas& canvas, const TControl& control, TAlignment alignment,
                     bool transparent) {
  TRect rect = control.ClientRect();
  if (!transparent) canvas.FillRect(rect, control.Color());
  const TColor color = control.Enabled() ? control.Font().Color : clGrayText;
  canvas.DrawText(control.Caption(), rect, DT_EXPANDTABS | AlignmentFlag(alignment), control.Font(),
                  color);
}

}  // namespace

void TLabel::Paint(TCanvas& canvas) { PaintStaticText(canvas, *this, Alignment, Transparent); }

void TStaticText::Paint(TCanvas& canvas) { PaintStaticText(canvas, *this, Alignment, Transparent); }

void TSpeedButton::Paint(TCanvas& canvas) {
  const TRect client = ClientRect();
  if (!Transparent) canvas.FillRect(client, FColor);
  if (FDown) {
    // A thin sunken frame: shadow along the top and left, highlight along
    // the bottom and right.
    const int right = FWidth - 1, bottom = FHeight - 1;
    canvas.Line(0, bottom, 0, 0, clBtnShadow);
    canvas.Line(0, 0, right, 0, clBtnShadow);
    canvas.Line(right, 0, right, bottom, clBtnHighlight);
    canvas.Line(right, bottom, 0, bottom, clBtnHighlight);
  }
  TRect rect = client;
  if (FDown) rect.Offset(1, 1);
  const TColor color = FEnabled ? FFont.Color : clGrayText;
  canvas.DrawText(FCaption, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, FFont, color);
  if (FMarked) {
    // One pixel inside the pressed frame, so both show together.
    const int right = FWidth - 2, bottom = FHeight - 2;
    canvas.Line(1, 1, right, 1, color);
    canvas.Line(right, 1, right, bottom, color);
    canvas.Line(right, bottom, 1, bottom, color);
    canvas.Line(1, bottom, 1, 1, color);
  }
}

void TSpeedButton::SetMarked(bool v) {
  if (v == FMarked) return;
  FMarked = v;
  Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !FEnabled || FDown) return;
  FDown = true;
  Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !FDown) return;
  FDown = false;
  // Repaint before the click runs: a click handler may pump messages for a
  // long time, and the button must not stay drawn pressed meanwhile.
  Invalidate();
  if (ClientRect().Contains({x, y})) Click();
}

void TBevel::Paint(TCanvas& canvas) {
  const TColor shadow = clBtnShadow, highlight = clBtnHighlight;
  const TColor first = Style == TBevelStyle::bsLowered ? shadow : highlight;
  const TColor second = Style == TBevelStyle::bsLowered ? highlight : shadow;
  // A rectangle outline with corners (l, t) and (r, b) inclusive: the top and
  // left sides in one colour, the bottom and right in the other.
  const auto bevelRect = [&canvas](int l, int t, int r, int b, TColor topLeft, TColor bottomRight) {
    canvas.Line(l, b, l, t, topLeft);
    canvas.Line(l, t, r, t, topLeft);
    canvas.Line(r, t, r, b, bottomRight);
    canvas.Line(r, b, l, b, bottomRight);
  };
  switch (Shape) {
    case TBevelShape::bsBox:
      bevelRect(0, 0, FWidth - 1, FHeight - 1, first, second);
      break;
    case TBevelShape::bsFrame:
      // Etched: an outline in the second colour one pixel down and right,
      // under an outline in the first colour.
      bevelRect(1, 1, FWidth - 1, FHeight - 1, second, second);
      bevelRect(0, 0, FWidth - 2, FHeight - 2, first, first);
      break;
    case TBevelShape::bsTopLine:
      canvas.Line(0, 0, FWidth, 0, first);
      canvas.Line(0, 1, FWidth, 1, second);
      break;
    case TBevelShape::bsLeftLine:
      canvas.Line(0, 0, 0, FHeight, first);
      canvas.Line(1, 0, 1, FHeight, second);
      break;
  }
}

TImage::~TImage() {
  // No repaint here: the parent may be half destroyed already.
  if (FBitmap.handle != nullptr) platform::Os().user.DeleteBitmap(FBitmap.handle);
}

bool TImage::LoadFromFile(const std::string& path) {
  Clear();
  FBitmap = platform::Os().user.LoadBitmapFile(path);
  if (FBitmap.handle == nullptr) FBitmap = {};
  Invalidate();
  return FBitmap.handle != nullptr;
}

void TImage::Clear() {
  if (FBitmap.handle == nullptr) return;
  platform::Os().user.DeleteBitmap(FBitmap.handle);
  FBitmap = {};
  Invalidate();
}

void TImage::SetStretch(bool v) {
  if (v == FStretch) return;
  FStretch = v;
  Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  if (FBitmap.handle == nullptr) return;
  canvas.DrawBitmap(FBitmap.handle, FBitmap.width, FBitmap.height, ClientRect(), FStretch);
}

}  // namespace norva::tk
