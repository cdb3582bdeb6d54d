#include "toolkit/headless/RecordingCanvas.h"

#include <algorithm>
#include <iterator>

#include "platform/Text.h"

namespace norva::tk {

namespace {

// What DrawText shows of a text when it handles prefixes: "&x" shows "x"
// (underlined), "&&" shows one "&", a lone trailing "&" shows nothing.
std::string WithoutPrefixes(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      ++i;
      if (i == text.size()) break;
    }
    shown.push_back(text[i]);
  }
  return shown;
}

}  // namespace

RecordingCanvas::RecordingCanvas(TRect surface, int pixelsPerInch)
    : FSurface(surface), FClip(surface), FPixelsPerInch(pixelsPerInch) {}

void RecordingCanvas::SetClip(const TRect& area) { FClip = area; }

void RecordingCanvas::FillRect(const TRect& rect, TColor color) {
  CanvasOp op{CanvasOp::Fill, rect, color, {}, 0, {}, FClip};
  op.rect.Offset(FClip.Left, FClip.Top);
  Ops.push_back(op);
}

void RecordingCanvas::Line(int x1, int y1, int x2, int y2, TColor color) {
  CanvasOp op{CanvasOp::Line, {x1, y1, x2, y2}, color, {}, 0, {}, FClip};
  op.rect.Offset(FClip.Left, FClip.Top);
  Ops.push_back(op);
}

TRect RecordingCanvas::Measure(const std::string& text, const TFont& font) {
  if (text.empty()) return {};
  int widest = 0;
  int lines = 0;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    widest = std::max(widest, static_cast<int>(text::Cp932Length(line)) * (font.Height / 2));
    ++lines;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return {0, 0, widest, lines * font.Height};
}

void RecordingCanvas::DrawText(const std::string& text, TRect& rect, uint32_t flags,
                               const TFont& font, TColor color) {
  if ((flags & DT_CALCRECT) != 0) {
    const std::string shown = (flags & DT_NOPREFIX) != 0 ? text : WithoutPrefixes(text);
    TRect extent = Measure(shown, font);
    // A single line takes line breaks as ordinary characters and, like
    // DrawText, is one line high even when empty.
    if ((flags & DT_SINGLELINE) != 0)
      extent = {0, 0, static_cast<int>(text::Cp932Length(shown)) * (font.Height / 2), font.Height};
    rect.Right = rect.Left + extent.Right;
    rect.Bottom = rect.Top + extent.Bottom;
    return;
  }
  CanvasOp op{CanvasOp::Text, rect, color, text, flags, font, FClip};
  op.rect.Offset(FClip.Left, FClip.Top);
  Ops.push_back(op);
}

void RecordingCanvas::DrawBitmap(win::HBITMAP, int width, int height, const TRect& dest,
                                 bool stretch) {
  // Stretched, the picture covers dest; unscaled, its own size from dest's corner.
  TRect covered = stretch ? dest : TRect{dest.Left, dest.Top, dest.Left + width, dest.Top + height};
  CanvasOp op{CanvasOp::Bitmap, covered, 0, {}, stretch ? 1u : 0u, {}, FClip};
  op.rect.Offset(FClip.Left, FClip.Top);
  Ops.push_back(op);
}

void RecordingCanvas::PenLine(int x1, int y1, int x2, int y2, TColor color, int width) {
  Line(x1, y1, x2, y2, color);
  Ops.back().width = width;
}

void RecordingCanvas::CopyRect(const TRect& to, TBitmapCanvas& picture, const TRect& from) {
  CanvasOp op{CanvasOp::Copy, to, 0, {}, 0, {}, FClip};
  op.rect.Offset(FClip.Left, FClip.Top);
  op.from = from;
  op.picture = &picture;
  Ops.push_back(op);
}

void RecordingCanvas::SetSize(int width, int height) {
  FSurface = {0, 0, width, height};
  FClip = FSurface;
}

std::vector<CanvasOp> RecordingCanvas::TextOps() const {
  std::vector<CanvasOp> texts;
  std::copy_if(Ops.begin(), Ops.end(), std::back_inserter(texts),
               [](const CanvasOp& op) { return op.kind == CanvasOp::Text; });
  return texts;
}

}  // namespace norva::tk
