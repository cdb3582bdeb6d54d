#include "components/Perfgrap.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "toolkit/Backend.h"
#include "toolkit/Errors.h"

namespace norva::components {

using tk::TColor;
using tk::TRect;

namespace {

// a mod b in 0..b-1, also for a negative a.
int PositiveMod(int a, int b) {
  const int r = a % b;
  return r < 0 ? r + b : r;
}

}  // namespace

// --- TGraphHistory -------------------------------------------------------------

TGraphHistory::TGraphHistory(int size) : FSlots(static_cast<size_t>(std::max(size, 2))) {}

int TGraphHistory::Next(int index) const {
  int next = index + 1;
  if (next == Size()) next = 0;
  return next == FOldest ? -1 : next;
}

int TGraphHistory::Last(int index) const { return index == 0 ? Size() - 1 : index - 1; }

void TGraphHistory::Shift() {
  FCurrent = FCurrent + 1 == Size() ? 0 : FCurrent + 1;
  Slot(FCurrent).Count = 0;
  FOldest = FCurrent + 1 == Size() ? 0 : FCurrent + 1;
}

void TGraphHistory::Add(TColor color, int32_t value) {
  TGraphSlot& slot = Slot(FCurrent);
  if (slot.Count >= TGraphSlot::kMaxPoints) throw tk::ERangeError();
  slot.Colors[static_cast<size_t>(slot.Count)] = color;
  slot.Values[static_cast<size_t>(slot.Count)] = value;
  ++slot.Count;
}

int32_t TGraphHistory::Largest() const {
  int32_t largest = 0;
  for (const TGraphSlot& slot : FSlots)
    for (int i = 0; i < slot.Count; ++i)
      largest = std::max(largest, slot.Values[static_cast<size_t>(i)]);
  return largest;
}

void TGraphHistory::Resize(int size) {
  size = std::max(size, 2);
  const int kept = std::min(size, Size());
  std::vector<TGraphSlot> slots(static_cast<size_t>(size));
  // The walk from the oldest slot, without the oldest ones that no longer fit.
  int index = First();
  for (int skip = Size() - kept; skip > 0; --skip) index = Next(index);
  for (int to = size - kept; to < size; ++to) {
    slots[static_cast<size_t>(to)] = Slot(index);
    index = Next(index);
  }
  FSlots = std::move(slots);
  FCurrent = size - 1;
  FOldest = 0;
}

// --- TPerformanceGraph ---------------------------------------------------------

TPerformanceGraph::TPerformanceGraph(tk::TWinControl* parent) : TGraphicControl(parent) {
  SetBounds(FLeft, FTop, 100, 100);
  FHistory = TGraphHistory(GetBandCount() + 2);
  Initialize(FGridSize - 1);
}

TPerformanceGraph::~TPerformanceGraph() = default;

void TPerformanceGraph::SetKind(TGraphKind v) {
  if (v == FKind) return;
  FKind = v;
  Replay();
}

void TPerformanceGraph::SetForeColor(TColor v) {
  if (v == FForeColor) return;
  FForeColor = v;
  Replay();
}

void TPerformanceGraph::SetBackColor(TColor v) {
  if (v == FBackColor) return;
  FBackColor = v;
  Replay();
}

void TPerformanceGraph::SetGridSize(int v) {
  if (v == FGridSize) return;
  FGridSize = std::max(v, 2);
  Replay();
}

void TPerformanceGraph::SetStepSize(int v) {
  if (v == FStepSize) return;
  FStepSize = std::max(v, 1);
  ReallocHistory();
  Replay();
}

void TPerformanceGraph::SetScale(int v) {
  if (v == FScale) return;
  FScale = RoundUp(v, FGradient);
  if (OnScaleChange) OnScaleChange(this);
  Replay();
}

void TPerformanceGraph::SetGradient(int v) {
  if (v == FGradient) return;
  FGradient = v;
  Replay();
}

void TPerformanceGraph::SetGridlines(bool v) {
  if (v == FGridlines) return;
  FGridlines = v;
  Replay();
}

void TPerformanceGraph::SetPenWidth(int v) {
  if (v == FPenWidth) return;
  FPenWidth = v;
  Replay();
}

int TPerformanceGraph::GetBandCount() const { return Width() / FStepSize; }

void TPerformanceGraph::ReallocHistory() { FHistory.Resize(GetBandCount() + 2); }

int32_t TPerformanceGraph::RoundUp(int32_t value, int32_t unit) {
  // Every value is a multiple of -1 (and INT32_MIN % -1 would overflow).
  if (unit == 0 || unit == -1 || value % unit == 0) return value;
  // Wide enough for any 32-bit value and unit; a result beyond 32 bits is
  // held at the largest multiple that fits.
  const int64_t rounded = int64_t{unit} * (value / unit + 1);
  if (rounded > std::numeric_limits<int32_t>::max()) return value - value % unit;
  if (rounded < std::numeric_limits<int32_t>::min()) return value - value % unit;
  return static_cast<int32_t>(rounded);
}

void TPerformanceGraph::DataPoint(TColor color, int32_t value) { FHistory.Add(color, value); }

tk::TBitmapCanvas& TPerformanceGraph::Picture() {
  if (FBitmap && FBitmap->PixelsPerInch() != PixelsPerInch()) FBitmap.reset();
  if (!FBitmap) {
    FBitmap = tk::CurrentBackend().CreateBitmapCanvas(Width(), Height(), PixelsPerInch());
    ReplayPicture();
  }
  return *FBitmap;
}

void TPerformanceGraph::Update() {
  ScrollGraph();
  ShiftY();
  const int32_t scale = RoundUp(FHistory.Largest(), FGradient);
  if (scale != FScale) {
    SetScale(scale);
    return;
  }
  DisplayPoints(LastY(FHistory.Current()), FBandRect);
  Invalidate();
}

void TPerformanceGraph::SetBounds(int left, int top, int width, int height) {
  const int bands = GetBandCount();
  TGraphicControl::SetBounds(left, top, width, height);
  if (GetBandCount() != bands) ReallocHistory();
}

void TPerformanceGraph::Paint(tk::TCanvas& canvas) {
  // The first paint makes the picture from the history kept meanwhile.
  // A form moved to a monitor of another DPI: the picture is made anew in
  // that many pixels (its bands as sharp as at a start there).
  if (!FBitmap || FBitmap->PixelsPerInch() != PixelsPerInch()) {
    if (FHistory.Size() != GetBandCount() + 2) ReallocHistory();
    Picture();
  } else if (FBitmap->Width() != Width() || FBitmap->Height() != Height()) {
    if (FHistory.Size() != GetBandCount() + 2) ReallocHistory();
    // Painting already: the rebuilt picture is copied below, no new paint.
    ReplayPicture();
  }
  canvas.CopyRect(ClientRect(), *FBitmap, ClientRect());
}

void TPerformanceGraph::Replay() {
  ReplayPicture();
  Invalidate();
}

void TPerformanceGraph::ReplayPicture() {
  // The vertical grid lines stay where they were relative to the right edge.
  Initialize(PositiveMod(Width() + FGridPhase, FGridSize));
  // The step completed last lands in the rightmost whole band, the current
  // one just beyond the right edge.
  int x = Width() % FStepSize;
  for (int slot = NextY(FHistory.Oldest()); slot != -1; slot = NextY(slot)) {
    DisplayPoints(slot, {x, FGraphRect.Top, x + FStepSize, FGraphRect.Bottom});
    x += FStepSize;
  }
}

void TPerformanceGraph::Initialize(int offset) {
  // Without a picture (never painted yet) only the geometry and the grid's
  // phase are kept, so that the first picture comes out as if it had been
  // drawn all along.
  if (FBitmap && (FBitmap->Width() != Width() || FBitmap->Height() != Height()))
    FBitmap->SetSize(Width(), Height());
  FGraphRect = FBitmap ? TRect{0, 0, FBitmap->Width(), FBitmap->Height()}
                       : TRect{0, 0, std::max(Width(), 0), std::max(Height(), 0)};
  if (FBitmap) FBitmap->FillRect(FGraphRect, FBackColor);
  if (FGridlines) {
    if (FBitmap)
      for (int y = FGridSize; y < FGraphRect.Bottom; y += FGridSize)
        FBitmap->Line(0, y, FGraphRect.Right, y, FForeColor);
    int x = offset;
    for (; x < FGraphRect.Right; x += FGridSize)
      if (FBitmap) FBitmap->Line(x, 0, x, FGraphRect.Bottom, FForeColor);
    FGridPhase = x - FGraphRect.Right;
  }
  const int w = FGraphRect.Right, h = FGraphRect.Bottom;
  FScrollSrc = {FStepSize, 0, w, h};
  FScrollDst = {0, 0, w - FStepSize, h};
  FBandRect = {w - FStepSize, 0, w, h};
}

void TPerformanceGraph::ScrollGraph() {
  if (FBitmap) {
    FBitmap->CopyRect(FScrollDst, *FBitmap, FScrollSrc);
    FBitmap->FillRect(FBandRect, FBackColor);
  }
  if (!FGridlines) return;
  if (FBitmap)
    for (int y = FGridSize; y < FBandRect.Bottom; y += FGridSize)
      FBitmap->Line(FBandRect.Left, y, FBandRect.Right, y, FForeColor);
  // Every vertical line that scrolled into the new band, also when a band is
  // wider than the grid.
  FGridPhase -= FStepSize;
  while (FGridPhase < 0) {
    const int x = FGraphRect.Right + FGridPhase;
    if (FBitmap) FBitmap->Line(x, 0, x, FGraphRect.Bottom, FForeColor);
    FGridPhase += FGridSize;
  }
}

void TPerformanceGraph::DisplayPoints(int slot, const TRect& band) {
  if (!FBitmap) return;
  const TGraphSlot& points = FHistory.Slot(slot);
  const TGraphSlot& before = FHistory.Slot(LastY(slot));
  int32_t prev = 0;
  for (int i = 0; i < points.Count; ++i) {
    const TColor color = points.Colors[static_cast<size_t>(i)];
    const int32_t value = points.Values[static_cast<size_t>(i)];
    if (value == 0) continue;
    if (FKind == TGraphKind::pgBar) {
      PaintBar(color, prev, value - prev, band);
    } else {
      // The series' line goes on from its value in the step before; a
      // series new in this step starts at the bottom.
      int32_t from = 0;
      for (int j = 0; j < before.Count; ++j)
        if (before.Colors[static_cast<size_t>(j)] == color) {
          from = before.Values[static_cast<size_t>(j)];
          break;
        }
      PaintLine(color, from, value, band);
    }
    prev = value;
  }
}

int TPerformanceGraph::Pixels(int32_t value) const {
  // Nothing to scale by while every value is 0 or less.
  if (FScale == 0) return 0;
  const double pixels = static_cast<double>(value) / FScale * FGraphRect.Bottom;
  // Far beyond the picture either way is as good as its edge.
  return static_cast<int>(std::clamp(std::trunc(pixels), -1e6, 1e6));
}

void TPerformanceGraph::PaintBar(TColor color, int32_t base, int32_t height, const TRect& band) {
  if (height == 0) return;
  const int h = Pixels(height), b = Pixels(base);
  // A point below the one before it is hidden behind that point's segment.
  if (h <= 0) return;
  const int bottom = FGraphRect.Bottom;
  FBitmap->FillRect({band.Left, bottom - b - h - 1, band.Right, bottom - b}, color);
}

void TPerformanceGraph::PaintLine(TColor color, int32_t from, int32_t to, const TRect& band) {
  const int bottom = FGraphRect.Bottom;
  FBitmap->PenLine(band.Left, bottom - Pixels(from), band.Right, bottom - Pixels(to), color,
                   FPenWidth);
}

}  // namespace norva::components
