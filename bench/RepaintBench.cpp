// The repaint cost of the main window with all ten figures changed: one
// main-timer tick that sets every figure (texts formatted and fitted to their
// columns) and the paint of the whole window that follows (background,
// bevels, buttons, the 27 labels with their shadows) on the recording canvas.
// Machines of 8 GiB (the figures' own formats) and of 24 GiB with 128 TiB of
// virtual memory (the compact forms).
//
//   norva_bench --benchmark_filter=Repaint
#include <benchmark/benchmark.h>

#include "StartedNorva.h"

namespace norva::bench {
namespace {

constexpr uint64_t MiB = 1048576;

struct Machine {
  uint64_t phys, page, virt;
};

class RepaintedNorva : public StartedNorva {
 public:
  explicit RepaintedNorva(Machine m) : machine(m) {
    SetFigures(0);
    Start();
  }

  // Two sets of figures in which every one of the ten shown values differs.
  void SetFigures(int set) {
    const uint64_t d = set == 0 ? 0 : 300 * MiB;
    auto& ex = os.kernel.memoryEx;
    ex.dwMemoryLoad = set == 0 ? 50 : 61;
    ex.ullTotalPhys = machine.phys + d;
    ex.ullAvailPhys = machine.phys / 2 + 2 * d;
    ex.ullTotalPageFile = machine.page + d;
    ex.ullAvailPageFile = machine.page / 2 + 2 * d;
    ex.ullTotalVirtual = machine.virt + d * 4096;
    ex.ullAvailVirtual = machine.virt - machine.virt / 1000 + 2 * d * 4096;
  }

  Machine machine;
};

void BM_RepaintAllChanged(benchmark::State& state) {
  const Machine m = state.range(0) == 0 ? Machine{8192 * MiB, 12288 * MiB, 131072 * MiB}
                                        : Machine{24576 * MiB, 28672 * MiB, uint64_t{1} << 47};
  RepaintedNorva norva(m);
  int n = 0;
  size_t ops = 0;
  for (auto _ : state) {
    norva.SetFigures(++n & 1);
    norva.form->timMainTimer(nullptr);
    tk::RecordingCanvas canvas = tk::HeadlessBackend::PaintWindow(*norva.form);
    ops += canvas.Ops.size();
    if ((n & 1023) == 0) norva.ForgetRecords();
  }
  benchmark::DoNotOptimize(ops);
  state.SetLabel(state.range(0) == 0 ? "8 GiB" : "24 GiB, 128 TiB virtual");
}
BENCHMARK(BM_RepaintAllChanged)->Arg(0)->Arg(1);

}  // namespace
}  // namespace norva::bench
