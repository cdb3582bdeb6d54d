#include "toolkit/win32/Gdi.h"

#include <algorithm>

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

HFONT GdiCache::Font(const TFont& font) {
  const FontKey key{font.Name, font.Height, font.Bold, font.Charset};
  auto it = FFonts.find(key);
  if (it != FFonts.end()) return it->second.Get();
  // A negative height asks for the character height (without the internal
  // leading), which is what the toolkit's Height means.
  HFONT handle =
      ::CreateFontW(-font.Height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                    static_cast<DWORD>(font.Charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(font.Name).c_str());
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

GdiCanvas::GdiCanvas(HDC dc, const TRect& surface, int pixelsPerInch)
    : FDc(dc),
      FDpi(pixelsPerInch),
      FSurface(surface),
      FClip(surface),
      FSavedState(::SaveDC(dc)) {
  ::SetBkMode(FDc, TRANSPARENT);
  FClip = {UnscaleBy(surface.Left, FDpi), UnscaleBy(surface.Top, FDpi),
           UnscaleBy(surface.Right, FDpi), UnscaleBy(surface.Bottom, FDpi)};
  SetClip(FClip);
}

RECT GdiCanvas::ToDevice(const TRect& rect) const {
  return {Scale(rect.Left), Scale(rect.Top), Scale(rect.Right), Scale(rect.Bottom)};
}

GdiCanvas::~GdiCanvas() {
  // Puts back the origin, the clip and every object selected meanwhile.
  if (FSavedState != 0) ::RestoreDC(FDc, FSavedState);
}

void GdiCanvas::SetClip(const TRect& area) {
  FClip = area;
  const RECT device = ToDevice(area);
  ::SetViewportOrgEx(FDc, device.left, device.top, nullptr);
  // The clip region is in device units, untouched by the origin.
  const int left = std::max<int>(device.left, FSurface.Left);
  const int top = std::max<int>(device.top, FSurface.Top);
  const int right = std::max<int>(left, std::min<int>(device.right, FSurface.Right));
  const int bottom = std::max<int>(top, std::min<int>(device.bottom, FSurface.Bottom));
  ScopedRegion region(::CreateRectRgn(left, top, right, bottom));
  ::SelectClipRgn(FDc, region.Get());
}

void GdiCanvas::FillRect(const TRect& rect, TColor color) {
  if (color == clNone) return;
  const RECT r = ToDevice(rect);
  ::FillRect(FDc, &r, Gdi().Brush(color));
}

void GdiCanvas::Line(int x1, int y1, int x2, int y2, TColor color) {
  if (color == clNone) return;
  SelectGuard pen(FDc, Gdi().Pen(color));
  // LineTo leaves out the end point, as the canvas promises.
  ::MoveToEx(FDc, Scale(x1), Scale(y1), nullptr);
  ::LineTo(FDc, Scale(x2), Scale(y2));
}

void GdiCanvas::DrawText(const std::string& text, TRect& rect, uint32_t flags, const TFont& font,
                         TColor color) {
  const bool measure = (flags & DT_CALCRECT) != 0;
  if (!measure && (color == clNone || text.empty())) return;
  TFont scaled = font;
  scaled.Height = Scale(font.Height);
  SelectGuard selected(FDc, Gdi().Font(scaled));
  ::SetTextColor(FDc, ColorRef(color));
  const std::wstring wide = Wide(text);
  RECT r = ToDevice(rect);
  ::DrawTextW(FDc, wide.c_str(), static_cast<int>(wide.size()), &r, flags);
  if (measure)
    rect = {UnscaleBy(r.left, FDpi), UnscaleBy(r.top, FDpi), UnscaleBy(r.right, FDpi),
            UnscaleBy(r.bottom, FDpi)};
}

void GdiCanvas::DrawBitmap(win::HBITMAP bitmap, int width, int height, const TRect& dest,
                           bool stretch) {
  if (bitmap == nullptr) return;
  ScopedCreatedDc source(::CreateCompatibleDC(FDc));
  if (!source) return;
  SelectGuard selected(source.Get(), static_cast<HBITMAP>(bitmap));
  // Unscaled, the part of the picture that fits, from its top-left corner;
  // on a screen of more pixels per inch that part grows like everything else.
  const int shownWidth = stretch ? width : std::min(width, dest.Width());
  const int shownHeight = stretch ? height : std::min(height, dest.Height());
  const RECT to = ToDevice(stretch ? dest
                                   : TRect{dest.Left, dest.Top, dest.Left + shownWidth,
                                           dest.Top + shownHeight});
  if (stretch || FDpi != kDesignPixelsPerInch) {
    // HALFTONE averages the pixels it drops; it needs the brush origin reset.
    ::SetStretchBltMode(FDc, HALFTONE);
    ::SetBrushOrgEx(FDc, 0, 0, nullptr);
    ::StretchBlt(FDc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.Get(), 0, 0,
                 shownWidth, shownHeight, SRCCOPY);
  } else {
    ::BitBlt(FDc, to.left, to.top, shownWidth, shownHeight, source.Get(), 0, 0, SRCCOPY);
  }
}

}  // namespace norva::tk::win32
