// GDI for the toolkit: colours, the font and brush caches, and the canvas
// that windowless controls paint on.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "toolkit/Dpi.h"
#include "toolkit/win32/Win32Api.h"

#include "platform/win32/ScopedWin.h"

namespace norva::tk::win32 {

// A toolkit colour as GDI takes it: system colours read now, none as black.
COLORREF ColorRef(TColor color);

// Fonts and solid brushes live as long as the process: the program uses a
// handful of each, and a control may hold one while it exists.
class GdiCache {
 public:
  HFONT Font(const TFont& font);
  HBRUSH Brush(TColor color);
  HPEN Pen(TColor color);

 private:
  using FontKey = std::tuple<std::string, int, bool, int>;
  std::map<FontKey, platform::win32::ScopedFont> FFonts;
  std::map<COLORREF, platform::win32::ScopedBrush> FBrushes;
  std::map<COLORREF, platform::win32::ScopedPen> FPens;
};

GdiCache& Gdi();

// A canvas on a device context. Its origin and clip follow SetClip; the
// surface is the part of the DC that may be drawn on at all (device units).
// Every other coordinate, and every font height, is in pixels of a
// 96-per-inch screen and is scaled to pixelsPerInch on its way to GDI.
class GdiCanvas final : public TCanvas {
 public:
  GdiCanvas(HDC dc, const TRect& surface, int pixelsPerInch = kDesignPixelsPerInch);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void SetClip(const TRect& area) override;
  TRect Clip() const override { return FClip; }
  void FillRect(const TRect& rect, TColor color) override;
  void Line(int x1, int y1, int x2, int y2, TColor color) override;
  void DrawText(const std::string& text, TRect& rect, uint32_t flags, const TFont& font,
                TColor color) override;
  void DrawBitmap(win::HBITMAP bitmap, int width, int height, const TRect& dest,
                  bool stretch) override;

  HDC Dc() const { return FDc; }
  // A rectangle of the canvas in the DC's units (for direct GDI calls).
  RECT ToDevice(const TRect& rect) const;

 private:
  int Scale(int v) const { return ScaleBy(v, FDpi); }
  HDC FDc;
  int FDpi;
  TRect FSurface;
  TRect FClip;
  int FSavedState;
};

}  // namespace norva::tk::win32
