// A canvas that records every call instead of drawing, for tests. Text is
// measured with a fixed model: every code-page-932 byte is half the font
// height wide, and a line is the font height high. It also stands for an
// off-screen picture, whose size is its surface.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Canvas.h"

namespace norva::tk {

struct CanvasOp {
  enum Kind { Fill, Line, Text, Bitmap, Copy } kind;
  TRect rect;          // in canvas (surface) coordinates, origin applied
  TColor color = 0;
  std::string text;    // Text
  uint32_t flags = 0;  // Text: the DrawText flags; Bitmap: 1 when stretched
  TFont font;          // Text
  TRect clip;          // the clip in force
  int width = 1;       // Line: the pen width
  TRect from;          // Copy: the area of the picture copied onto rect
  // Copy: the picture copied from.
  const TBitmapCanvas* picture = nullptr;
};

class RecordingCanvas : public TBitmapCanvas {
 public:
  explicit RecordingCanvas(TRect surface = {0, 0, 10000, 10000}, int pixelsPerInch = 96);
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
  // The surface is what a painting may change, as a paint message's area.
  TRect PaintArea() const override { return FSurface; }
  int Width() const override { return FSurface.Width(); }
  int Height() const override { return FSurface.Height(); }
  // Also puts the clip back to the whole new surface.
  void SetSize(int width, int height) override;
  int PixelsPerInch() const override { return FPixelsPerInch; }

  // The extent the model gives a text (one line per '\n'-separated part).
  static TRect Measure(const std::string& text, const TFont& font);

  std::vector<CanvasOp> Ops;
  // Only the Text operations, in order.
  std::vector<CanvasOp> TextOps() const;
  void Clear() { Ops.clear(); }

 private:
  TRect FSurface;
  TRect FClip;
  int FPixelsPerInch;
};

}  // namespace norva::tk
