#include "toolkit/win32/Gdi.h"

#include <algorithm>

#include "platform/FontFaces.h"
#include "platform/win32/WinText.h"
#include "toolkit/win32/Dpi.h"

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

HPEN GdiCache::Pen(TColor color, int width) {
  if (width <= 1) return Pen(color);
  const std::pair<COLORREF, int> key{ColorRef(color), width};
  auto it = FWidePens.find(key);
  if (it != FWidePens.end()) return it->second.Get();
  return FWidePens.emplace(key, platform::win32::ScopedPen(::CreatePen(PS_SOLID, width, key.first)))
      .first->second.Get();
}

HBITMAP CreateDrawingBitmap(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = std::max(width, 1);
  info.bmiHeader.biHeight = -std::max(height, 1);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

GdiCache& Gdi() {
  static GdiCache cache;
  return cache;
}

GdiCanvas::GdiCanvas(HDC dc, const TRect& surface, int pixelsPerInch)
    : FDc(dc), FDpi(pixelsPerInch), FSurface(surface), FClip(surface), FSavedState(::SaveDC(dc)) {
  ::SetBkMode(FDc, TRANSPARENT);
  FClip = {UnscaleBy(surface.Left, FDpi), UnscaleBy(surface.Top, FDpi),
           UnscaleBy(surface.Right, FDpi), UnscaleBy(surface.Bottom, FDpi)};
  SetClip(FClip);
}

TRect GdiCanvas::PaintArea() const {
  const int grow = FDpi == kDesignPixelsPerInch ? 0 : 1;
  return {UnscaleBy(FSurface.Left, FDpi) - grow, UnscaleBy(FSurface.Top, FDpi) - grow,
          UnscaleBy(FSurface.Right, FDpi) + grow, UnscaleBy(FSurface.Bottom, FDpi) + grow};
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

void GdiCanvas::PenLine(int x1, int y1, int x2, int y2, TColor color, int width) {
  if (color == clNone) return;
  SelectGuard pen(FDc, Gdi().Pen(color, std::max(1, Scale(width))));
  ::MoveToEx(FDc, Scale(x1), Scale(y1), nullptr);
  ::LineTo(FDc, Scale(x2), Scale(y2));
}

void GdiCanvas::CopyRect(const TRect& to, TBitmapCanvas& picture, const TRect& from) {
  auto* source = dynamic_cast<GdiBitmapCanvas*>(&picture);
  if (source == nullptr || source->Dc() == nullptr) return;
  // BitBlt copies overlapping areas of one DC correctly, so a picture can
  // scroll onto itself.
  // Both pictures hold device pixels at the same scale, their edges kept in
  // step (ScaleCopy).
  const TScaledCopy copy = ScaleCopy(to, from, FDpi);
  ::BitBlt(FDc, copy.to.Left, copy.to.Top, copy.to.Width(), copy.to.Height(), source->Dc(),
           copy.from.Left, copy.from.Top, SRCCOPY);
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
  const RECT to = ToDevice(
      stretch ? dest : TRect{dest.Left, dest.Top, dest.Left + shownWidth, dest.Top + shownHeight});
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

// --- GdiBitmapCanvas -----------------------------------------------------------

GdiBitmapCanvas::GdiBitmapCanvas(int width, int height, int pixelsPerInch)
    : FPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : kDesignPixelsPerInch) {
  FDc.Reset(::CreateCompatibleDC(nullptr));
  SetSize(width, height);
}

GdiBitmapCanvas::~GdiBitmapCanvas() {
  FCanvas.reset();
  FSelected.reset();
}

void GdiBitmapCanvas::SetSize(int width, int height) {
  FCanvas.reset();
  FSelected.reset();
  FWidth = std::max(width, 0);
  FHeight = std::max(height, 0);
  // A bitmap of no pixels cannot be made; one pixel stands in, never shown.
  // The picture holds device pixels of the window it is shown in, so that
  // it is copied to the window one to one; its canvas scales like the window's.
  const int dpi = FPixelsPerInch;
  const int deviceWidth = ScaleBy(FWidth, dpi), deviceHeight = ScaleBy(FHeight, dpi);
  FBitmap.Reset(CreateDrawingBitmap(deviceWidth, deviceHeight));
  FSelected.emplace(FDc.Get(), FBitmap.Get());
  FCanvas.emplace(FDc.Get(), TRect{0, 0, deviceWidth, deviceHeight}, dpi);
}

}  // namespace norva::tk::win32
