// The cost of one step of the strip chart: Update of a 600-pixel-wide graph
// whose history is full, on the headless toolkit's recording canvas (so the
// figure is the graph's own work: the walk for the largest value, the scroll,
// the band and the points, not the pixels GDI would move).
//
//   norva_bench --benchmark_filter=Graph
#include <benchmark/benchmark.h>

#include "components/Perfgrap.h"
#include "platform/fake/FakePlatform.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva::bench {
namespace {

// Step 10 as the inspector's graph (62 slots), step 3 as a new graph (202).
void BM_GraphUpdate(benchmark::State& state) {
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  components::TPerformanceGraph graph(nullptr);
  graph.SetBounds(0, 0, 600, 400);
  graph.SetStepSize(static_cast<int>(state.range(0)));
  graph.SetGridSize(10);
  graph.SetGradient(102);
  graph.SetScale(408);
  auto& picture = static_cast<tk::RecordingCanvas&>(graph.Picture());
  int n = 0;
  const auto step = [&] {
    ++n;
    graph.DataPoint(tk::clRed, 300 + n % 50);
    graph.DataPoint(tk::clYellow, 1 + n % 100);
    graph.Update();
  };
  // A full history first; the values stay below 408, so the scale holds.
  for (int i = 0; i < graph.History().Size() * 2; ++i) step();
  picture.Clear();
  for (auto _ : state) {
    step();
    if ((n & 255) == 0) picture.Clear();
  }
  if (graph.Scale() != 408) state.SkipWithError("the scale changed: every step redrew all");
  state.counters["slots"] = graph.History().Size();
}
BENCHMARK(BM_GraphUpdate)->ArgName("step")->Arg(10)->Arg(3);

// The full redraw a change of scale or of a property costs, for comparison.
void BM_GraphReplay(benchmark::State& state) {
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  components::TPerformanceGraph graph(nullptr);
  graph.SetBounds(0, 0, 600, 400);
  graph.SetStepSize(10);
  graph.SetGridSize(10);
  for (int i = 0; i < 200; ++i) {
    graph.DataPoint(tk::clRed, 300 + i % 50);
    graph.DataPoint(tk::clYellow, 1 + i % 100);
    graph.Update();
  }
  auto& picture = static_cast<tk::RecordingCanvas&>(graph.Picture());
  for (auto _ : state) {
    graph.Replay();
    picture.Clear();
  }
}
BENCHMARK(BM_GraphReplay);

}  // namespace
}  // namespace norva::bench
