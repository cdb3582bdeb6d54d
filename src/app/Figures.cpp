#include "app/Figures.h"

#include <cstdio>
#include <iterator>

namespace norva {

namespace {

std::string Printed(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

constexpr double kMegabytesPerGigabyte = 1024.0;
constexpr double kMegabytesPerTerabyte = 1024.0 * 1024.0;

}  // namespace

std::string FigureText(double megabytes, FigureKind kind,
                       const std::function<bool(const std::string&)>& fits) {
  const bool total = kind == FigureKind::Total;
  std::string text = Printed(total ? "%4.1lf MB" : "%4.1lf", megabytes);
  if (fits(text)) return text;
  // The compact forms, from the unit the value calls for (never a count of
  // six or more digits of a smaller unit) to larger ones while the text is
  // too wide.
  struct Form {
    const char* plain;
    const char* total;
    double unit;
  };
  static const Form kForms[] = {{"%.0f", "%.0f MB", 1.0},
                                {"%.1fG", "%.1f GB", kMegabytesPerGigabyte},
                                {"%.0fG", "%.0f GB", kMegabytesPerGigabyte},
                                {"%.1fT", "%.1f TB", kMegabytesPerTerabyte},
                                {"%.0fT", "%.0f TB", kMegabytesPerTerabyte}};
  const size_t first = megabytes < 100000.0                            ? 0
                       : megabytes < 1000.0 * kMegabytesPerGigabyte ? 1
                                                                       : 3;
  for (size_t i = first; i < std::size(kForms); ++i) {
    text = Printed(total ? kForms[i].total : kForms[i].plain, megabytes / kForms[i].unit);
    if (fits(text)) break;
  }
  return text;
}

int FigureFit::Measure(tk::TCanvas& canvas, const std::string& text) const {
  tk::TRect rect{0, 0, 0, 0};
  canvas.DrawText(text, rect, tk::DT_CALCRECT | tk::DT_SINGLELINE | tk::DT_NOPREFIX, FFont,
                  FFont.Color);
  return rect.Width();
}

void FigureFit::Use(tk::TCanvas& canvas, const tk::TFont& font) {
  if (FMeasured && font == FFont) return;
  FFont = font;
  FMeasured = true;
  FShapes.clear();
  int widest = -1;
  for (char digit = '0'; digit <= '9'; ++digit) {
    const int width = Measure(canvas, std::string(1, digit));
    if (width > widest) {
      widest = width;
      FWidest = digit;
    }
  }
}

int FigureFit::Width(tk::TCanvas& canvas, const tk::TFont& font, const std::string& text) {
  Use(canvas, font);
  for (const Shape& s : FShapes)
    if (s.text == text) return s.width;
  FShapes.push_back({text, Measure(canvas, text)});
  return FShapes.back().width;
}

bool FigureFit::Fits(tk::TCanvas& canvas, const tk::TFont& font, int room,
                     const std::string& text) {
  Use(canvas, font);
  std::string shape = text;
  for (char& c : shape)
    if (c >= '0' && c <= '9') c = FWidest;
  return Width(canvas, font, shape) <= room;
}

}  // namespace norva
