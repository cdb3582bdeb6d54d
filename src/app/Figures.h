// The texts of the memory figures, fitted to the room they have on the window.
// Each figure keeps its own format ("%4.1lf", or "%4.1lf MB" for a total)
// wherever that text fits, so a small machine looks as it always did; a
// figure too wide for its room (10,000 MB and more) takes the first of the
// compact forms that fits: whole megabytes, then gigabytes with one decimal
// and whole, then terabytes alike, the unit shown ("23.5G", "23.5 GB"); a
// value of 100,000 MB or more starts at gigabytes, 1,000 GB or more at
// terabytes. A bare number always means megabytes.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Canvas.h"

namespace norva {

enum class FigureKind { Plain, Total };

// The text of the order above at step (0: the own format), and the number
// of steps for this value.
std::string FigureForm(double megabytes, FigureKind kind, int step);
int FigureSteps(double megabytes);

// The first text of the order above for which fits answers true; the last,
// shortest one when none does.
template <class Fits>
std::string FigureText(double megabytes, FigureKind kind, const Fits& fits) {
  const int steps = FigureSteps(megabytes);
  std::string text;
  for (int step = 0; step < steps; ++step) {
    text = FigureForm(megabytes, kind, step);
    if (fits(text)) break;
  }
  return text;
}

// The processor-load label's text, fitted per value as the figures are: its
// own format "CPU:%3d%" wherever that load fits the label that way; where it
// does not, shorter without losing the word: without the padding ("CPU:8%"),
// then without the colon ("CPU8%"), then that drawn one pixel smaller, and
// a pixel smaller again up to kCpuLoadMaxShrink (the last form, taken
// whether it fits or not): a face wider than the label was made for cuts no
// letter of the word. Never a bare number, which would stand unlabelled
// beside the memory load.
constexpr int kCpuLoadMaxShrink = 3;
constexpr int kCpuLoadForms = 3 + kCpuLoadMaxShrink;
struct CpuLoadLabel {
  std::string text;
  int smaller = 0;  // pixels smaller than the label's font
};
CpuLoadLabel CpuLoadForm(int load, int step);
// fits(text, smaller) answers whether the text fits the label in its font,
// or in the font one pixel smaller.
template <class Fits>
CpuLoadLabel CpuLoadText(int load, const Fits& fits) {
  CpuLoadLabel form;
  for (int step = 0; step < kCpuLoadForms; ++step) {
    form = CpuLoadForm(load, step);
    if (fits(form.text, form.smaller)) break;
  }
  return form;
}

// Answers whether a text fits a room in a font, measured on a canvas. Texts
// of one shape (the same characters apart from the digits) are measured
// once, with every digit as the font's widest one, so the answer for a
// figure does not flicker as its digits change.
class FigureFit {
 public:
  bool Fits(tk::TCanvas& canvas, const tk::TFont& font, int room, const std::string& text);
  // The width of a text in a font, remembered (for texts that do not change).
  int Width(tk::TCanvas& canvas, const tk::TFont& font, const std::string& text);

 private:
  struct Shape {
    std::string text;
    int width;
  };
  tk::TFont FFont;
  bool FMeasured = false;
  char FWidest = '0';
  std::vector<Shape> FShapes;
  int Measure(tk::TCanvas& canvas, const std::string& text) const;
  void Use(tk::TCanvas& canvas, const tk::TFont& font);
};

}  // namespace norva
