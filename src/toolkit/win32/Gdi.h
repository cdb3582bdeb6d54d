// GDI for the toolkit: colours, the font and brush caches, and the canvas
// that windowless controls paint on.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

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
  HPEN Pen(TColor color, int width);

 private:
  using FontKey = std::tuple<std::string, int, bool, int>;
  std::map<FontKey, platform::win32::ScopedFont> FFonts;
  std::map<COLORREF, platform::win32::ScopedBrush> FBrushes;
  std::map<COLORREF, platform::win32::ScopedPen> FPens;
  std::map<std::pair<COLORREF, int>, platform::win32::ScopedPen> FWidePens;
};

GdiCache& Gdi();

// A 32-bit top-down DIB section for drawing off the screen. GDI draws on a
// DIB in the process's own memory; a bitmap compatible with the screen lives
// in the display driver (under Wine in the X server), where every fill,
// line and scroll is a request to the server, also while nothing is shown.
HBITMAP CreateDrawingBitmap(int width, int height);

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
  void PenLine(int x1, int y1, int x2, int y2, TColor color, int width) override;
  void CopyRect(const TRect& to, TBitmapCanvas& picture, const TRect& from) override;
  // In the canvas's own 96-DPI pixels, a pixel wider on each side when
  // scaled so that rounding leaves out nothing that meets its edge.
  TRect PaintArea() const override;

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

// An off-screen picture: a bitmap in the screen's format selected into a
// memory DC, with a canvas on that DC.
class GdiBitmapCanvas final : public TBitmapCanvas {
 public:
  GdiBitmapCanvas(int width, int height, int pixelsPerInch);
  ~GdiBitmapCanvas() override;
  GdiBitmapCanvas(const GdiBitmapCanvas&) = delete;
  GdiBitmapCanvas& operator=(const GdiBitmapCanvas&) = delete;

  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetSize(int width, int height) override;
  int PixelsPerInch() const override { return FPixelsPerInch; }

  void SetClip(const TRect& area) override { FCanvas->SetClip(area); }
  TRect Clip() const override { return FCanvas->Clip(); }
  void FillRect(const TRect& rect, TColor color) override { FCanvas->FillRect(rect, color); }
  void Line(int x1, int y1, int x2, int y2, TColor color) override {
    FCanvas->Line(x1, y1, x2, y2, color);
  }
  void DrawText(const std::string& text, TRect& rect, uint32_t flags, const TFont& font,
                TColor color) override {
    FCanvas->DrawText(text, rect, flags, font, color);
  }
  void DrawBitmap(win::HBITMAP bitmap, int width, int height, const TRect& dest,
                  bool stretch) override {
    FCanvas->DrawBitmap(bitmap, width, height, dest, stretch);
  }
  void PenLine(int x1, int y1, int x2, int y2, TColor color, int width) override {
    FCanvas->PenLine(x1, y1, x2, y2, color, width);
  }
  void CopyRect(const TRect& to, TBitmapCanvas& picture, const TRect& from) override {
    FCanvas->CopyRect(to, picture, from);
  }

  HDC Dc() const { return FDc.Get(); }
  RECT ToDevice(const TRect& rect) const { return FCanvas->ToDevice(rect); }

 private:
  // Released in the reverse order: the canvas gives the DC its state back,
  // the bitmap is taken out of the DC, then both are deleted.
  platform::win32::ScopedCreatedDc FDc;
  platform::win32::ScopedBitmap FBitmap;
  std::optional<platform::win32::SelectGuard> FSelected;
  std::optional<GdiCanvas> FCanvas;
  int FWidth = 0;
  int FHeight = 0;
  int FPixelsPerInch;
};

}  // namespace norva::tk::win32
