// TPerformanceGraph: a strip chart of integer samples that scrolls to the
// left by one band per time step. The caller adds the points of one step with
// DataPoint (one per series, each series known by its colour) and closes the
// step with Update, which scrolls the picture, draws the new band at the
// right edge and rescales when the largest value in the history changes.
//
// The history lives in a ring (TGraphHistory), never in the picture: the
// picture is an off-screen bitmap that Update only scrolls and extends, and
// that is rebuilt from the ring after a change of scale, of a property or of
// the size. Painting copies the picture.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/Control.h"

namespace norva::components {

enum class TGraphKind { pgBar, pgLine };

// The points of one time step.
struct TGraphSlot {
  static constexpr int kMaxPoints = 16;
  int32_t Count = 0;
  std::array<tk::TColor, kMaxPoints> Colors{};
  std::array<int32_t, kMaxPoints> Values{};
};

// A ring of time steps: Current receives the points, the slot after it
// holds the oldest step. A walk from First along Next visits every slot
// from the oldest to the current one.
class TGraphHistory {
 public:
  // A new ring of empty slots: current 0, oldest 1.
  explicit TGraphHistory(int size);

  int Size() const { return static_cast<int>(FSlots.size()); }
  int Current() const { return FCurrent; }
  int Oldest() const { return FOldest; }
  TGraphSlot& Slot(int index) { return FSlots[static_cast<size_t>(index)]; }
  const TGraphSlot& Slot(int index) const { return FSlots[static_cast<size_t>(index)]; }

  int First() const { return FOldest; }
  // The slot after index, or -1 when the walk is over.
  int Next(int index) const;
  // The slot before index.
  int Last(int index) const;
  // Moves Current on to the next slot, empties it and makes the slot after
  // it the oldest.
  void Shift();
  // Adds a point to the current slot; a 17th point throws ERangeError and
  // changes nothing.
  void Add(tk::TColor color, int32_t value);
  // The largest value of every point of every slot, 0 at least.
  int32_t Largest() const;
  // A ring of size slots holding the newest steps, in order, the current one
  // last: a shorter ring drops the oldest steps, a longer one starts with
  // empty slots before them (so the newest steps stay at the right edge).
  void Resize(int size);

 private:
  std::vector<TGraphSlot> FSlots;
  int FCurrent = 0;
  int FOldest = 1;
};

class TPerformanceGraph : public tk::TGraphicControl {
 public:
  // 100 x 100 pixels, an empty history and a picture with its grid.
  explicit TPerformanceGraph(tk::TWinControl* parent);
  ~TPerformanceGraph() override;

  TGraphKind Kind() const { return FKind; }
  void SetKind(TGraphKind v);
  // The colour of the grid lines.
  tk::TColor ForeColor() const { return FForeColor; }
  void SetForeColor(tk::TColor v);
  tk::TColor BackColor() const { return FBackColor; }
  void SetBackColor(tk::TColor v);
  // Grid spacing in pixels, 2 at least.
  int GridSize() const { return FGridSize; }
  void SetGridSize(int v);
  // Width of one band (one time step) in pixels, 1 at least.
  int StepSize() const { return FStepSize; }
  void SetStepSize(int v);
  // The value that maps to the full height; stored rounded up to a multiple
  // of Gradient. A change fires OnScaleChange.
  int Scale() const { return FScale; }
  void SetScale(int v);
  // The unit Scale is rounded up to; 0 for none.
  int Gradient() const { return FGradient; }
  void SetGradient(int v);
  bool Gridlines() const { return FGridlines; }
  void SetGridlines(bool v);
  // The width of the series' lines (the grid is always one pixel wide).
  int PenWidth() const { return FPenWidth; }
  void SetPenWidth(int v);
  tk::TNotifyEvent OnScaleChange;

  // Adds one point to the time step being collected (ERangeError for a 17th).
  void DataPoint(tk::TColor color, int32_t value);
  // Closes the time step: scrolls the picture by one band and draws the step
  // at the right edge, or rebuilds everything when the scale changes.
  void Update();
  // Copies the picture; after a change of size, first rebuilds it.
  void Paint(tk::TCanvas& canvas) override;
  // A new width sizes the ring at once (a graph fed while hidden keeps as
  // many steps as it will show); the picture follows at the next paint.
  void SetBounds(int left, int top, int width, int height) override;
  // Rebuilds the picture from the whole history and repaints.
  void Replay();

  // Whole bands across the control.
  int GetBandCount() const;
  // The ring, by the graph's names for its walk.
  int FirstY() const { return FHistory.First(); }
  int NextY(int index) const { return FHistory.Next(index); }
  int LastY(int index) const { return FHistory.Last(index); }
  void ShiftY() { FHistory.Shift(); }
  // Sizes the ring to the bands across the control plus two, keeping the
  // newest steps.
  void ReallocHistory();
  // value rounded up to a multiple of unit (unchanged for unit 0).
  static int32_t RoundUp(int32_t value, int32_t unit);

  const TGraphHistory& History() const { return FHistory; }
  // The off-screen picture, made (from the history) when first asked for:
  // a graph that is never shown keeps its history and no picture.
  tk::TBitmapCanvas& Picture();
  bool HasPicture() const { return FBitmap != nullptr; }
  // How far right of the right edge the next vertical grid line lies.
  int GridPhase() const { return FGridPhase; }

 private:
  void Initialize(int offset);
  void ReplayPicture();
  void ScrollGraph();
  void DisplayPoints(int slot, const tk::TRect& band);
  void PaintBar(tk::TColor color, int32_t base, int32_t height, const tk::TRect& band);
  void PaintLine(tk::TColor color, int32_t from, int32_t to, const tk::TRect& band);
  // Pixels above the bottom edge for a value.
  int Pixels(int32_t value) const;

  TGraphKind FKind = TGraphKind::pgLine;
  tk::TColor FForeColor = tk::clGreen;
  tk::TColor FBackColor = tk::clBlack;
  int FGridSize = 15;
  int FStepSize = 3;
  int FScale = 1000;
  int FGradient = 100;
  bool FGridlines = true;
  int FPenWidth = 2;

  TGraphHistory FHistory{2};
  std::unique_ptr<tk::TBitmapCanvas> FBitmap;
  tk::TRect FGraphRect;
  tk::TRect FScrollSrc;
  tk::TRect FScrollDst;
  tk::TRect FBandRect;
  int FGridPhase = 0;
};

}  // namespace norva::components
