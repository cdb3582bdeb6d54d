// Windowless controls: label, static text, flat speed button, bevel and
// image. They only paint (through TCanvas) and hit-test.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "toolkit/Control.h"

namespace norva::tk {

class TLabel : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  TAlignment Alignment = TAlignment::taLeftJustify;
  bool Transparent = false;
  void Paint(TCanvas& canvas) override;
};

// A static text line: like a label, but opaque in its Color by default.
class TStaticText : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  TAlignment Alignment = TAlignment::taLeftJustify;
  bool Transparent = false;
  void Paint(TCanvas& canvas) override;
};

// A flat button drawn on its parent: its caption only (transparent), with a
// thin frame while pressed. OnClick runs on a press and release inside it.
class TSpeedButton : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  bool Flat = true;
  bool Transparent = true;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool Down() const { return FDown; }
  // The keyboard's mark: a frame inside the button in its caption's colour.
  bool Marked() const { return FMarked; }
  void SetMarked(bool v);

 private:
  bool FDown = false;
  bool FMarked = false;
};

enum class TBevelStyle { bsLowered, bsRaised };
enum class TBevelShape { bsBox, bsFrame, bsLeftLine, bsTopLine };

class TBevel : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  TBevelStyle Style = TBevelStyle::bsLowered;
  TBevelShape Shape = TBevelShape::bsBox;
  void Paint(TCanvas& canvas) override;
  // A bevel lets clicks through to what lies under it.
  bool HitTest(int, int) const override { return false; }
};

// A picture: a bitmap file loaded through the platform, drawn unscaled from
// the top-left corner or stretched to the control.
class TImage : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  ~TImage() override;
  // Loads the file; false (and no picture) when it is missing or no bitmap.
  bool LoadFromFile(const std::string& path);
  void Clear();
  bool HasPicture() const { return FBitmap.handle != nullptr; }
  const platform::LoadedBitmap& Picture() const { return FBitmap; }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool v);
  void Paint(TCanvas& canvas) override;
  bool HitTest(int, int) const override { return false; }

 private:
  platform::LoadedBitmap FBitmap;
  bool FStretch = false;
};

}  // namespace norva::tk
