#include "toolkit/Dpi.h"

#include <cstdint>

namespace norva::tk {

namespace {

// Rounds numerator / denominator to the nearest integer, halves upwards,
// negative values included (the twin buttons sit at -1).
int RoundedDivision(int64_t numerator, int64_t denominator) {
  int64_t twice = 2 * numerator + denominator;
  const int64_t d = 2 * denominator;
  int64_t q = twice / d;
  if (twice % d != 0 && twice < 0) --q;  // floor for negatives
  return static_cast<int>(q);
}

}  // namespace

int ScaleBy(int value, int pixelsPerInch) {
  if (pixelsPerInch == kDesignPixelsPerInch || pixelsPerInch <= 0) return value;
  return RoundedDivision(int64_t{value} * pixelsPerInch, kDesignPixelsPerInch);
}

int UnscaleBy(int value, int pixelsPerInch) {
  if (pixelsPerInch == kDesignPixelsPerInch || pixelsPerInch <= 0) return value;
  return RoundedDivision(int64_t{value} * kDesignPixelsPerInch, pixelsPerInch);
}

TScaledCopy ScaleCopy(const TRect& to, const TRect& from, int pixelsPerInch) {
  const auto scale = [pixelsPerInch](const TRect& r) {
    return TRect{ScaleBy(r.Left, pixelsPerInch), ScaleBy(r.Top, pixelsPerInch),
                 ScaleBy(r.Right, pixelsPerInch), ScaleBy(r.Bottom, pixelsPerInch)};
  };
  const TRect target = scale(to), origin = scale(from);
  const int dx = origin.Right - target.Right, dy = origin.Bottom - target.Bottom;
  return {target, {target.Left + dx, target.Top + dy, origin.Right, origin.Bottom}};
}

}  // namespace norva::tk
