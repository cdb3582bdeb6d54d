#include "components/Novellbl.h"

#include <cctype>

#include "toolkit/Backend.h"

namespace norva::components {

using namespace norva::tk;

namespace {

// The character marked as accelerator by a single "&" ("&&" is a literal
// ampersand); the last mark wins, as in DrawText's underline. 0 when none.
char AcceleratorOf(const std::string& caption) {
  char accel = 0;
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    ++i;
    if (caption[i] != '&') accel = caption[i];
  }
  return accel;
}

}  // namespace

TNovelLabel::TNovelLabel(TWinControl* parent) : TGraphicControl(parent) {
  FWidth = 65;
  FHeight = 17;
  // The label takes its parent's colour until given its own.
  if (parent != nullptr) FColor = parent->Color();
}

void TNovelLabel::SetAlignment(TAlignment v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void TNovelLabel::SetAutoSize(bool v) {
  if (v == FAutoSize) return;
  FAutoSize = v;
  AdjustBounds();
}

void TNovelLabel::SetTransparent(bool v) {
  if (v == FTransparent) return;
  FTransparent = v;
  Invalidate();
}

void TNovelLabel::SetLayout(TTextLayout v) {
  if (v == FLayout) return;
  FLayout = v;
  Invalidate();
}

void TNovelLabel::SetWordWrap(bool v) {
  if (v == FWordWrap) return;
  FWordWrap = v;
  AdjustBounds();
  Invalidate();
}

void TNovelLabel::SetShowAccelChar(bool v) {
  if (v == FShowAccelChar) return;
  FShowAccelChar = v;
  Invalidate();
}

void TNovelLabel::Loaded() {
  FLoading = false;
  AdjustBounds();
}

bool TNovelLabel::DialogChar(char key) {
  if (FFocusControl == nullptr || !Enabled() || !FShowAccelChar) return false;
  const char accel = AcceleratorOf(FCaption);
  if (accel == 0 || std::toupper(static_cast<unsigned char>(accel)) !=
                        std::toupper(static_cast<unsigned char>(key)))
    return false;
  if (!FFocusControl->Visible() || !FFocusControl->Enabled()) return false;
  if (GiveFocus) GiveFocus(*FFocusControl);
  return true;
}

void TNovelLabel::Notification(TControl& control) {
  if (&control == FFocusControl) FFocusControl = nullptr;
}

uint32_t TNovelLabel::WordWrapFlag() const { return FWordWrap ? DT_WORDBREAK : 0; }

void TNovelLabel::DoDrawText(TCanvas& canvas, TRect& rect, uint32_t flags) {
  std::string text = GetLabelText();
  // An empty label still measures one line high.
  if ((flags & DT_CALCRECT) != 0 && (text.empty() || (FShowAccelChar && text == "&"))) text.assign(1, ' ');
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  if (!Enabled()) {
    // Embossed: a highlight copy one pixel right and down under the shadow-coloured text.
    rect.Offset(1, 1);
    canvas.DrawText(text, rect, flags, FFont, clBtnHighlight);
    rect.Offset(-1, -1);
    canvas.DrawText(text, rect, flags, FFont, clBtnShadow);
  } else if (TextShadow) {
    rect.Offset(1, 1);
    canvas.DrawText(text, rect, flags, FFont, FColor);
    rect.Offset(-1, -1);
    canvas.DrawText(text, rect, flags, FFont, FFont.Color);
  } else {
    canvas.DrawText(text, rect, flags, FFont, FFont.Color);
  }
}

void TNovelLabel::Paint(TCanvas& canvas) {
  TRect rect = ClientRect();
  if (!FTransparent) canvas.FillRect(rect, FColor);
  const uint32_t flags = DT_EXPANDTABS | WordWrapFlag() | AlignmentFlag(FAlignment);
  if (FLayout != TTextLayout::tlTop) {
    TRect measured = rect;
    DoDrawText(canvas, measured, flags | DT_CALCRECT);
    int offset = FHeight - measured.Bottom;
    if (FLayout == TTextLayout::tlCenter) offset /= 2;  // C++ division truncates toward zero
    rect.Offset(0, offset);
  }
  DoDrawText(canvas, rect, flags);
}

void TNovelLabel::AdjustBounds() {
  if (!FAutoSize || FLoading) return;
  TRect rect = ClientRect();
  DoDrawText(CurrentBackend().MeasureCanvas(PixelsPerInch()), rect,
             DT_EXPANDTABS | DT_CALCRECT | WordWrapFlag());
  int left = FLeft;
  if (FAlignment == TAlignment::taRightJustify) left += FWidth - rect.Right;
  SetBounds(left, FTop, rect.Right, rect.Bottom);
}

void TNovelLabel::Changed(TChange what) {
  // Text is measured in the fonts of the form's scale.
  if (what == TChange::Dpi) AdjustBounds();
  // A caption change repaints only through DrawRefresh (see CaptionChanged),
  // and a font change not at all: the owner decides when those show.
  if (what == TChange::Caption || what == TChange::Font) return;
  TGraphicControl::Changed(what);
}

void TNovelLabel::CaptionChanged() {
  if (DrawRefresh) Invalidate();
  AdjustBounds();
}

void TNovelLabel::FontChanged() { AdjustBounds(); }

}  // namespace norva::components
