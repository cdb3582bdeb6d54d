#include "app/Figures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>

namespace norva {

namespace {

// printf's "%*.*f" (precision 0 or 1) and a suffix, without printf's cost on
// every tick. A figure is a byte count times a power of two: below 512 TiB
// (2^29 MB) the count has at most 49 bits, value * 10 is exact and rounding
// it half to even gives printf's digits; anything larger goes through printf.
std::string Printed(double value, int precision, size_t width, const char* suffix, bool exact) {
  const double scaled = precision == 0 ? value : value * 10.0;
  char digits[64];
  size_t length = 0;
  if (exact && scaled >= 0.0) {
    auto n = static_cast<uint64_t>(std::nearbyint(scaled));
    char reversed[24];
    size_t count = 0;
    do {
      reversed[count++] = static_cast<char>('0' + n % 10);
      n /= 10;
      // One decimal: the point after the first digit, and a leading zero.
      if (precision == 1 && count == 1) reversed[count++] = '.';
    } while (n != 0 || (precision == 1 && count < 3));
    while (count > 0) digits[length++] = reversed[--count];
  } else {
    length = static_cast<size_t>(
        std::snprintf(digits, sizeof digits, precision == 0 ? "%.0f" : "%.1f", value));
  }
  std::string text;
  if (length < width) text.assign(width - length, ' ');
  text.append(digits, length);
  text.append(suffix);
  return text;
}

constexpr double kMegabytesPerGigabyte = 1024.0;
constexpr double kMegabytesPerTerabyte = 1024.0 * 1024.0;

// The compact forms, from the unit the value calls for (never a count of six
// or more digits of a smaller unit) to larger ones.
struct Form {
  int precision;
  const char* plain;  // the unit after a figure of the free and used columns
  const char* total;  // after a total
  double unit;
};
constexpr Form kForms[] = {{0, "", " MB", 1.0},
                           {1, "G", " GB", kMegabytesPerGigabyte},
                           {0, "G", " GB", kMegabytesPerGigabyte},
                           {1, "T", " TB", kMegabytesPerTerabyte},
                           {0, "T", " TB", kMegabytesPerTerabyte}};
constexpr int kFormCount = static_cast<int>(std::size(kForms));

int FirstForm(double megabytes) {
  return megabytes < 100000.0 ? 0 : megabytes < 1000.0 * kMegabytesPerGigabyte ? 1 : 3;
}

}  // namespace

int FigureSteps(double megabytes) { return 1 + kFormCount - FirstForm(megabytes); }

std::string FigureForm(double megabytes, FigureKind kind, int step) {
  const bool total = kind == FigureKind::Total;
  // The own formats, "%4.1lf" and "%4.1lf MB".
  const bool exact = megabytes >= 0.0 && megabytes < 536870912.0;
  if (step == 0) return Printed(megabytes, 1, 4, total ? " MB" : "", exact);
  const Form& form = kForms[FirstForm(megabytes) + step - 1];
  return Printed(megabytes / form.unit, form.precision, 0, total ? form.total : form.plain, exact);
}

CpuLoadLabel CpuLoadForm(int load, int step) {
  static constexpr const char* kForms[] = {"CPU:%3d%%", "CPU:%d%%", "CPU%d%%"};
  step = std::clamp(step, 0, kCpuLoadForms - 1);
  const int form = std::min(step, 2);
  char text[32];
  std::snprintf(text, sizeof text, kForms[form], load);
  return {text, step - form};
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
  // A shape seen before: the same characters, every digit as the widest one.
  for (const Shape& s : FShapes) {
    if (s.text.size() != text.size()) continue;
    bool same = true;
    for (size_t i = 0; same && i < text.size(); ++i)
      same = s.text[i] == (text[i] >= '0' && text[i] <= '9' ? FWidest : text[i]);
    if (same) return s.width <= room;
  }
  std::string shape = text;
  for (char& c : shape)
    if (c >= '0' && c <= '9') c = FWidest;
  FShapes.push_back({shape, Measure(canvas, shape)});
  return FShapes.back().width <= room;
}

}  // namespace norva
