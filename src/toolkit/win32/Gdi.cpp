#include "toolkit/win32/Gdi.h"

#include <algorithm>

#include "platform/FontFaces.h"
#include "platform/win32/WinText.h"

namespace norva::tk::win32 {

using platform::win32::ScopedBitmap;
using platform::win32::ScopedCreatedDc;
using platform::win32::ScopedRegion;
using platform::win32::SelectGuard;
using platform::win32::Wide;

COLORREF ColorRef(TColor color) {
  if (IsSystemColor(color)) return ::GetSysColor(static_cast<int>(color & 0xFF));
  if (color == clNone) return RGB(0, 0, 0);
  return color & 0x00FFFFFF;
}

namespace {

// Whether a font's line (ascent and descent) is more than a quarter taller
// than the character height it was made for.
bool TallerLine(HFONT font, int height) {
  ScopedCreatedDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return false;
  SelectGuard selected(dc.Get(), font);
  TEXTMETRICW metrics{};
  if (!::GetTextMetricsW(dc.Get(), &metrics)) return false;
  return metrics.tmHeight * 4 > height * 5;
}

}  // namespace

HFONT GdiCache::Font(const TFont& font) {
  const FontKey key{font.Name, font.Height, font.Bold, font.Charset};
  auto it = FFonts.find(key);
  if (it != FFonts.end()) return it->second.Get();
  // A negative height asks for the character height (without the internal
  // leading), which is what the toolkit's Height means. A missing face is
  // replaced by a stand-in (platform/FontFaces.h).
  const platform::FontFace face = platform::ResolveFontFace(font.Name);
  const auto create = [&](int height) {
    return ::CreateFontW(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                         static_cast<DWORD>(font.Charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(face.name).c_str());
  };
  HFONT handle = create(-font.Height);
  if (face.substitute && handle != nullptr && TallerLine(handle, font.Height)) {
    // The named faces' line is one character high and the rows are laid out
    // for it; a stand-in with a much taller line (Noto, Meiryo) would be cut
    // at the bottom: it is asked for by its line height instead.
    ::DeleteObject(handle);
    handle = create(font.Height);
  }
  if (handle == nullptr) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  return FFonts.emplace(key, platform::win32::ScopedFont(handle)).first->second.Get();
}

HBRUSH GdiCache::Brush(TColor color) {
  const COLORREF rgb = ColorRef(color);
  auto it = FBrushes.find(rgb);
  if (it != FBrushes.end()) return it->second.Get();
  return FBrushes.emplace(rgb, platform::win32::ScopedBrush(::CreateSolidBrush(rgb)))
      .first->second.Get();
}

HPEN GdiCache::Pen(TColor color) {
  const COLORREF rgb = ColorRef(color);
  auto it = FPens.find(rgb);
  if (it != FPens.end()) return it->second.Get();
  return FPens.emplace(rgb, platform::win32::ScopedPen(::CreatePen(PS_SOLID, 1, rgb)))
      .first->second.Get();
}

GdiCache& Gdi() {
  static GdiCache cache;
  return cache;
}

GdiCanvas::GdiCanvas(HDC dc, const TRect& surface)
    : FDc(dc), FSurface(surface), FClip(surface), FSavedState(::SaveDC(dc)) {
  ::SetBkMode(FDc, TRANSPARENT);
  SetClip(surface);
}

GdiCanvas::~GdiCanvas() {
  // Puts back the origin, the clip and every object selected meanwhile.
  if (FSavedState != 0) ::RestoreDC(FDc, FSavedState);
}

void GdiCanvas::SetClip(const TRect& area) {
  FClip = area;
  ::SetViewportOrgEx(FDc, area.Left, area.Top, nullptr);
  // The clip region is in device units, untouched by the origin.
  const int left = std::max(area.Left, FSurface.Left);
  const int top = std::max(area.Top, FSurface.Top);
  const int right = std::max(left, std::min(area.Right, FSurface.Right));
  const int bottom = std::max(top, std::min(area.Bottom, FSurface.Bottom));
  ScopedRegion region(::CreateRectRgn(left, top, right, bottom));
  ::SelectClipRgn(FDc, region.Get());
}

void GdiCanvas::FillRect(const TRect& rect, TColor color) {
  if (color == clNone) return;
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FillRect(FDc, &r, Gdi().Brush(color));
}

void GdiCanvas::Line(int x1, int y1, int x2, int y2, TColor color) {
  if (color == clNone) return;
  SelectGuard pen(FDc, Gdi().Pen(color));
  // LineTo leaves out the end point, as the canvas promises.
  ::MoveToEx(FDc, x1, y1, nullptr);
  ::LineTo(FDc, x2, y2);
}

void GdiCanvas::DrawText(const std::string& text, TRect& rect, uint32_t flags, const TFont& font,
                         TColor color) {
  const bool measure = (flags & DT_CALCRECT) != 0;
  if (!measure && (color == clNone || text.empty())) return;
  SelectGuard selected(FDc, Gdi().Font(font));
  ::SetTextColor(FDc, ColorRef(color));
  const std::wstring wide = Wide(text);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::DrawTextW(FDc, wide.c_str(), static_cast<int>(wide.size()), &r, flags);
  if (measure) rect = {r.left, r.top, r.right, r.bottom};
}

void GdiCanvas::DrawBitmap(win::HBITMAP bitmap, int width, int height, const TRect& dest,
                           bool stretch) {
  if (bitmap == nullptr) return;
  ScopedCreatedDc source(::CreateCompatibleDC(FDc));
  if (!source) return;
  SelectGuard selected(source.Get(), static_cast<HBITMAP>(bitmap));
  if (stretch) {
    // HALFTONE averages the pixels it drops; it needs the brush origin reset.
    ::SetStretchBltMode(FDc, HALFTONE);
    ::SetBrushOrgEx(FDc, 0, 0, nullptr);
    ::StretchBlt(FDc, dest.Left, dest.Top, dest.Width(), dest.Height(), source.Get(), 0, 0, width,
                 height, SRCCOPY);
  } else {
    ::BitBlt(FDc, dest.Left, dest.Top, std::min(width, dest.Width()),
             std::min(height, dest.Height()), source.Get(), 0, 0, SRCCOPY);
  }
}

}  // namespace norva::tk::win32
