#include "app/Figures.h"

#include <cstdio>

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
  // The compact unit follows the value alone, so every figure of one size
  // reads the same whatever its column.
  const char* oneDecimal;
  const char* whole;
  double value = megabytes;
  if (megabytes < 100000.0) {
    oneDecimal = nullptr;
    whole = total ? "%.0f MB" : "%.0f";
  } else if (megabytes < 1000.0 * kMegabytesPerGigabyte) {
    value = megabytes / kMegabytesPerGigabyte;
    oneDecimal = total ? "%.1f GB" : "%.1fG";
    whole = total ? "%.0f GB" : "%.0fG";
  } else {
    value = megabytes / kMegabytesPerTerabyte;
    oneDecimal = total ? "%.1f TB" : "%.1fT";
    whole = total ? "%.0f TB" : "%.0fT";
  }
  if (oneDecimal != nullptr) {
    text = Printed(oneDecimal, value);
    if (fits(text)) return text;
  }
  return Printed(whole, value);
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
