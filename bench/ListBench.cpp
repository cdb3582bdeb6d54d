// The toolkit's share of a process-list rebuild on the headless back end:
// N rows of seven texts into a list view, N entries into a combo box and N
// nodes into a tree (each under an earlier node), each inside its update.
//
//   norva_bench --benchmark_filter=ListView
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva::bench {
namespace {

void BM_ListViewRebuild(benchmark::State& state) {
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  tk::TForm form(nullptr);
  tk::TListView list(&form);
  for (int i = 0; i < 7; ++i) list.AddColumn({.Caption = "c", .Width = 70});
  list.Handle();
  const int rows = static_cast<int>(state.range(0));
  char id[16];
  for (auto _ : state) {
    list.BeginUpdate();
    list.Clear();
    for (int i = 0; i < rows; ++i) {
      std::snprintf(id, sizeof id, "%08X", i * 4);
      tk::TListItem* item = list.AddItem(id);
      item->AddSubItem("00000004");
      item->AddSubItem("12");
      item->AddSubItem("svchost.exe");
      item->AddSubItem("標準");
      item->AddSubItem("1024.0 KB");
      item->AddSubItem("4096.0 KB");
    }
    list.EndUpdate();
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ListViewRebuild)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_ComboBoxRebuild(benchmark::State& state) {
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  tk::TForm form(nullptr);
  tk::TComboBox combo(&form);
  combo.Handle();
  const int rows = static_cast<int>(state.range(0));
  const std::string entry(48, 'x');
  for (auto _ : state) {
    combo.Clear();
    for (int i = 0; i < rows; ++i) {
      combo.Add(entry);
      combo.SetItemIndex(0);
    }
    // The headless window keeps a record of every change; not part of the cost.
    state.PauseTiming();
    backend.ForgetInvalidations();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ComboBoxRebuild)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_TreeViewRebuild(benchmark::State& state) {
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  tk::TForm form(nullptr);
  tk::TTreeView tree(&form);
  tree.Handle();
  const int nodes = static_cast<int>(state.range(0));
  std::vector<tk::TTreeNode*> made(static_cast<size_t>(nodes));
  for (auto _ : state) {
    tree.BeginUpdate();
    tree.Clear();
    for (int i = 0; i < nodes; ++i)
      made[static_cast<size_t>(i)] =
          tree.AddChild(i == 0 ? nullptr : made[static_cast<size_t>((i - 1) / 2)], "svchost.exe");
    tree.EndUpdate();
  }
  state.SetItemsProcessed(state.iterations() * nodes);
}
BENCHMARK(BM_TreeViewRebuild)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace norva::bench
