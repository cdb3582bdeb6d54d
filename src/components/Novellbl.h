// TNovelLabel: a windowless text label that can draw its caption with a
// one-pixel drop shadow in its Color, and that repaints on a caption change
// only when asked to (DrawRefresh). Otherwise a plain static label: alignment,
// vertical layout, word wrap, automatic sizing, transparency, accelerator
// characters and a focus control.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/Control.h"

namespace norva::components {

class TNovelLabel : public tk::TGraphicControl {
 public:
  explicit TNovelLabel(tk::TWinControl* parent);

  // On: a caption change repaints the label. Off: the old text stays on the
  // screen until something else repaints it.
  bool DrawRefresh = false;
  // On: the text is drawn first in Color one pixel right and down, then in
  // the font colour on top. Takes effect at the next paint.
  bool TextShadow = false;

  tk::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(tk::TAlignment v);
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  tk::TTextLayout Layout() const { return FLayout; }
  void SetLayout(tk::TTextLayout v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool v);
  tk::TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(tk::TWinControl* v) { FFocusControl = v; }

  // The toolkit has no keyboard-focus call of its own: DialogChar hands the
  // focus control to this function (assigned by the form that owns focus).
  std::function<void(tk::TWinControl&)> GiveFocus;

  // Property setting by the owner: between BeginLoad and Loaded the label does
  // not size itself; Loaded then sizes it once (when AutoSize is on).
  void BeginLoad() { FLoading = true; }
  virtual void Loaded();
  bool Loading() const { return FLoading; }

  // An accelerator key pressed in the window: gives FocusControl the focus
  // when key is the letter marked with "&" in the caption. True when handled.
  bool DialogChar(char key);
  // Tells the label that control is being destroyed (the toolkit has no
  // destruction notice of its own): a FocusControl that goes becomes none.
  void Notification(tk::TControl& control);

  // Draws (or, with DT_CALCRECT, measures) the caption in rect with flags;
  // rect receives the measured extent.
  virtual void DoDrawText(tk::TCanvas& canvas, tk::TRect& rect, uint32_t flags);
  void Paint(tk::TCanvas& canvas) override;

 protected:
  virtual std::string GetLabelText() const { return FCaption; }
  // Sizes the label to its text when AutoSize is on; a right-justified label
  // keeps its right edge.
  virtual void AdjustBounds();

  void Changed(tk::TChange what) override;
  void CaptionChanged() override;
  void FontChanged() override;

 private:
  uint32_t WordWrapFlag() const;

  tk::TAlignment FAlignment = tk::TAlignment::taLeftJustify;
  bool FAutoSize = true;
  bool FTransparent = false;
  tk::TTextLayout FLayout = tk::TTextLayout::tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  tk::TWinControl* FFocusControl = nullptr;
  bool FLoading = false;
};

}  // namespace norva::components
