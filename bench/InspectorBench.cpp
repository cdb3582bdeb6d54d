// The inspector's process-list rebuild on the simulated OS and the headless
// toolkit: one process snapshot read into the list, the target combo and
// the parent/child tree, every process opened for its priority class and
// working set. The processes form a realistic forest: most parents come
// earlier in the snapshot, some later, some have exited; a few IDs repeat.
//
//   norva_bench --benchmark_filter=ReadProcessList
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "inspector/Heapchk.h"
#include "inspector/ProcessRows.h"
#include "platform/fake/FakePlatform.h"
#include "toolkit/Application.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva::bench {
namespace {

void AddProcesses(platform::fake::FakeProcesses& procs, int count) {
  std::mt19937 random(8);
  procs.Add(0, 0, "[System Process]");
  procs.Add(4, 0, "System", 100);
  for (int i = 2; i < count; ++i) {
    const win::DWORD id = 4u * static_cast<win::DWORD>(i + 1);
    const auto pick = random() % 100;
    // 85 %: a parent earlier in the snapshot; 10 %: a later one; 5 %: gone.
    win::DWORD parent = pick < 85   ? 4u * static_cast<win::DWORD>(random() % i + 1)
                        : pick < 95 ? 4u * static_cast<win::DWORD>(i + 2 + random() % 50)
                                    : 0x7FFF0000u + static_cast<win::DWORD>(i);
    procs.Add(pick == 99 ? id - 4 : id, parent,
              "C:\\Program Files\\Vendor\\プログラム" + std::to_string(i) + ".exe", 1 + i % 30);
  }
}

void BM_ReadProcessList(benchmark::State& state) {
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  tk::TApplication app({});
  tk::Application = &app;
  app.Initialize("Norva");
  AddProcesses(os.processes, static_cast<int>(state.range(0)));
  auto frm = tk::CreateForm<THeapChkFrm>(nullptr);
  for (auto _ : state) {
    frm->ReadProcessList();
    benchmark::DoNotOptimize(frm->tvActiveProcess.Count());
  }
  state.counters["rows"] = frm->lvActiveProcess.Count();
  state.counters["roots"] = frm->tvActiveProcess.RootCount();
  frm.reset();
  tk::Application = nullptr;
}
BENCHMARK(BM_ReadProcessList)->Arg(5000)->Unit(benchmark::kMillisecond);

// The tree alone: the part whose naive form is quadratic.
void BM_BuildProcessTree(benchmark::State& state) {
  platform::fake::FakePlatform os;
  AddProcesses(os.processes, static_cast<int>(state.range(0)));
  const auto rows = inspector::ReadProcessRows(false);
  for (auto _ : state) benchmark::DoNotOptimize(inspector::BuildProcessTree(rows));
}
BENCHMARK(BM_BuildProcessTree)->Arg(5000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// A heap row selected: the modules, then 100,000 blocks, one row at a time
// with messages let through after each (the headless message step).
void BM_ReadHeapBlocks(benchmark::State& state) {
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  tk::TApplication app({});
  tk::Application = &app;
  app.Initialize("Norva");
  auto& p = os.processes.Add(8, 0, "big.exe");
  p.heaps.push_back({.id = 0x10000, .flags = 1});
  for (uintptr_t i = 0; i < static_cast<uintptr_t>(state.range(0)); ++i)
    p.heaps[0].blocks.push_back({0x10000 + 16 * i, 16, 0});
  auto frm = tk::CreateForm<THeapChkFrm>(nullptr);
  frm->pgcChkMain.SetActivePageIndex(1);
  for (auto _ : state) {
    frm->lvHeapList.SetItemIndex(-1);
    frm->lvHeapList.SetItemIndex(0);
  }
  state.counters["blocks"] = frm->lvHeapBlock.Count();
  frm.reset();
  tk::Application = nullptr;
}
BENCHMARK(BM_ReadHeapBlocks)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace norva::bench
