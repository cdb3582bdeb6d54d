// The cost of one main-timer tick on the simulated OS and the headless
// toolkit: with nothing changed (the usual case: every label compared, none
// set) and with all ten figures changed (ten labels set and repainted).
//
//   norva_bench --benchmark_filter=MainTimer
#include <benchmark/benchmark.h>

#include "StartedNorva.h"

namespace norva::bench {
namespace {

constexpr uint64_t MiB = 1048576;

// A running Norva past its first tick, as the process entry starts it.
class RunningNorva : public StartedNorva {
 public:
  RunningNorva() {
    SetFigures(0);
    Start();
  }

  // Two sets of figures in which every one of the ten shown values differs.
  void SetFigures(int set) {
    const uint64_t d = set == 0 ? 0 : 3 * MiB;
    auto& ex = os.kernel.memoryEx;
    ex.dwMemoryLoad = set == 0 ? 50 : 61;
    ex.ullTotalPhys = 8192 * MiB + d;
    ex.ullAvailPhys = 4000 * MiB + 2 * d;
    ex.ullTotalPageFile = 12288 * MiB + d;
    ex.ullAvailPageFile = 6000 * MiB + 2 * d;
    ex.ullTotalVirtual = 131072 * MiB + d;
    ex.ullAvailVirtual = 130000 * MiB + 2 * d;
  }
};

void BM_MainTimerTickUnchanged(benchmark::State& state) {
  RunningNorva norva;
  int n = 0;
  for (auto _ : state) {
    norva.form->timMainTimer(nullptr);
    if ((++n & 1023) == 0) norva.ForgetRecords();
  }
  if (norva.form->nlblPhysicalFree.Caption() != "4000.0") state.SkipWithError("figures not shown");
}
BENCHMARK(BM_MainTimerTickUnchanged);

void BM_MainTimerTickAllChanged(benchmark::State& state) {
  RunningNorva norva;
  int n = 0;
  for (auto _ : state) {
    norva.SetFigures(++n & 1);
    norva.form->timMainTimer(nullptr);
    if ((n & 1023) == 0) norva.ForgetRecords();
  }
  if (norva.form->nlblPhysicalFree.Caption() != "4000.0" &&
      norva.form->nlblPhysicalFree.Caption() != "4006.0")
    state.SkipWithError("figures not shown");
}
BENCHMARK(BM_MainTimerTickAllChanged);

// The same tick as the message loop delivers it, timer bookkeeping included.
void BM_MainTimerTickThroughTheLoop(benchmark::State& state) {
  RunningNorva norva;
  int n = 0;
  for (auto _ : state) {
    norva.backend.AdvanceTime(100);
    if ((++n & 1023) == 0) norva.ForgetRecords();
  }
}
BENCHMARK(BM_MainTimerTickThroughTheLoop);

}  // namespace
}  // namespace norva::bench
