// How fast a cleaning writes its block: the engine's step loop over a freshly
// reserved block (its pages touched for the first time by the loop) against
// a plain memset of a fresh block of the same size, in the same run.
//
//   norva_bench --benchmark_filter=Fill
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "FreshMemoryKernel.h"
#include "cleaner/Reservation.h"

namespace norva::bench {
namespace {

constexpr int64_t kBlock = int64_t{256} << 20;

// The simulated OS with real, fresh global memory, installed for one run.
class FreshOs {
 public:
  FreshOs() { platform::InstallPlatform(&FPlatform); }
  ~FreshOs() { platform::InstallPlatform(&FOs.platform); }

 private:
  platform::fake::FakePlatform FOs;
  FreshMemoryKernel FKernel{FOs.kernel};
  platform::Platform FPlatform{FKernel,
                               FOs.profile,
                               FOs.user,
                               FOs.shell,
                               FOs.sound,
                               FOs.registry,
                               platform::NoToolhelp(),
                               platform::NoProcessCalls(),
                               platform::NoDesktop(),
                               platform::NoUserRegistry(),
                               platform::NoForeground(),
                               FOs.files};
};

// One cleaning's writes, as the engine does them: reserve, every step, the
// remainder, release.
void EngineFill(int64_t size, int speed) {
  Reservation reservation(speed, true);
  reservation.Reserve(size);
  const StepPlan plan = reservation.Plan();
  if (plan.steps > 1) {
    for (int k = 0; k < plan.steps; ++k) reservation.ZeroStep(k);
    reservation.ZeroRemainder(plan.steps);
  } else {
    reservation.ZeroAll();
  }
  // A copy of the pointer: Google Benchmark 1.8 and later deprecate the
  // const-reference form (Debian 13 has 1.9).
  auto* first = reservation.Blocks()[0].data;
  benchmark::DoNotOptimize(first);
  benchmark::ClobberMemory();
  reservation.Release();
}

void PlainFill(int64_t size) {
  void* p = FreshMemoryKernel::MapFresh(static_cast<size_t>(size));
  std::memset(p, 0, static_cast<size_t>(size));
  benchmark::DoNotOptimize(p);
  benchmark::ClobberMemory();
  FreshMemoryKernel::Unmap(p, static_cast<size_t>(size));
}

void BM_FillEngine(benchmark::State& state) {
  FreshOs os;
  const int speed = static_cast<int>(state.range(0));
  for (auto _ : state) EngineFill(kBlock, speed);
  state.SetBytesProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_FillEngine)->Arg(0)->Arg(1)->Arg(2)->ArgName("speed")->Unit(benchmark::kMillisecond);

void BM_FillMemset(benchmark::State& state) {
  for (auto _ : state) PlainFill(kBlock);
  state.SetBytesProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_FillMemset)->Unit(benchmark::kMillisecond);

// Seconds of this thread's processor time, the kernel's page-fault work
// included: less disturbed by other processes than the wall clock.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n == 0 ? 0 : (n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

// Both in every iteration, in turns, so that a busy machine slows both
// alike. ratio: the median over the iterations of memset time over engine
// time (engine speed over memset speed; 1 is as fast as memset).
void BM_FillEngineAgainstMemset(benchmark::State& state) {
  FreshOs os;
  const int speed = static_cast<int>(state.range(0));
  const int64_t size = state.range(1) << 20;
  std::vector<double> ratios;
  double engine = 0, plain = 0;
  bool engineFirst = true;
  for (auto _ : state) {
    double e = 0, p = 0;
    const auto runEngine = [&] {
      const double t = ThreadSeconds();
      EngineFill(size, speed);
      e = ThreadSeconds() - t;
    };
    const auto runPlain = [&] {
      const double t = ThreadSeconds();
      PlainFill(size);
      p = ThreadSeconds() - t;
    };
    if (engineFirst) {
      runEngine();
      runPlain();
    } else {
      runPlain();
      runEngine();
    }
    engineFirst = !engineFirst;
    engine += e;
    plain += p;
    ratios.push_back(p / e);
  }
  const double bytes = static_cast<double>(state.iterations()) * static_cast<double>(size);
  state.counters["engine_GiB/s"] = bytes / engine / (1 << 30);
  state.counters["memset_GiB/s"] = bytes / plain / (1 << 30);
  state.counters["ratio"] = Median(ratios);
}
BENCHMARK(BM_FillEngineAgainstMemset)
    ->ArgsProduct({{0, 1}, {64, 256}})
    ->ArgNames({"speed", "MiB"})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(10.0);

}  // namespace
}  // namespace norva::bench
