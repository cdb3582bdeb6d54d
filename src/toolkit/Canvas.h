// The drawing surface of windowless controls. Stateless apart from its
// origin and clip: every call names its colour and font. GDI implements it
// on Windows, a recording canvas in tests.
#pragma once

#include <string>

#include "toolkit/Types.h"

namespace norva::tk {

class TBitmapCanvas;

class TCanvas {
 public:
  virtual ~TCanvas() = default;
  // Moves the origin to the top-left corner of area (in surface coordinates)
  // and clips every later call to area.
  virtual void SetClip(const TRect& area) = 0;
  virtual TRect Clip() const = 0;
  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // A one-pixel line from (x1, y1) up to, not including, (x2, y2).
  virtual void Line(int x1, int y1, int x2, int y2, TColor color) = 0;
  // Draws text without background (DrawText semantics). With DT_CALCRECT
  // nothing is drawn and rect receives the measured extent.
  virtual void DrawText(const std::string& text, TRect& rect, uint32_t flags, const TFont& font,
                        TColor color) = 0;
  virtual void DrawBitmap(win::HBITMAP bitmap, int width, int height, const TRect& dest,
                          bool stretch) = 0;
  // A line drawn with a pen of the given width in pixels, from (x1, y1) up
  // to, not including, (x2, y2).
  virtual void PenLine(int x1, int y1, int x2, int y2, TColor color, int width) = 0;
  // Copies the area from of an off-screen picture onto the area to of this
  // canvas, pixel for pixel (both areas of one size; where scaling makes
  // them differ by a pixel, their right and bottom edges are kept in step).
  // The picture may be this very canvas and the areas may overlap: that
  // scrolls its content.
  virtual void CopyRect(const TRect& to, TBitmapCanvas& picture, const TRect& from) = 0;
  // The part of the surface this painting can change (surface coordinates):
  // what lies wholly outside it need not be drawn. All of it by default.
  virtual TRect PaintArea() const { return {-(1 << 29), -(1 << 29), 1 << 29, 1 << 29}; }
};

// An off-screen picture with a canvas on it: a control draws there between
// paints and copies it onto the screen when it paints. Made by the backend.
class TBitmapCanvas : public TCanvas {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // A new size; what the picture showed is undefined until drawn again.
  virtual void SetSize(int width, int height) = 0;
  // The pixels per inch of the window it is made for.
  virtual int PixelsPerInch() const = 0;
};

// A canvas that hands every call to another: the base of canvases that own
// what they draw on (a display DC) or share one recording.
class ForwardingCanvas : public TCanvas {
 public:
  explicit ForwardingCanvas(TCanvas& target) : FTarget(target) {}
  void SetClip(const TRect& area) override { FTarget.SetClip(area); }
  TRect Clip() const override { return FTarget.Clip(); }
  void FillRect(const TRect& rect, TColor color) override { FTarget.FillRect(rect, color); }
  void Line(int x1, int y1, int x2, int y2, TColor color) override {
    FTarget.Line(x1, y1, x2, y2, color);
  }
  void DrawText(const std::string& text, TRect& rect, uint32_t flags, const TFont& font,
                TColor color) override {
    FTarget.DrawText(text, rect, flags, font, color);
  }
  void DrawBitmap(win::HBITMAP bitmap, int width, int height, const TRect& dest,
                  bool stretch) override {
    FTarget.DrawBitmap(bitmap, width, height, dest, stretch);
  }
  void PenLine(int x1, int y1, int x2, int y2, TColor color, int width) override {
    FTarget.PenLine(x1, y1, x2, y2, color, width);
  }
  void CopyRect(const TRect& to, TBitmapCanvas& picture, const TRect& from) override {
    FTarget.CopyRect(to, picture, from);
  }
  TRect PaintArea() const override { return FTarget.PaintArea(); }

 private:
  TCanvas& FTarget;
};

}  // namespace norva::tk
