// The inspector's row texts on any toolhelp records: process names of any
// bytes, any IDs, thread counts, priority classes and working-set sizes, and
// heap, block, module and thread records of any contents, through the same
// calls the inspector makes on the simulated system.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "inspector/ProcessRows.h"
#include "platform/fake/FakePlatform.h"

using namespace norva;
using namespace norva::inspector;

namespace {

// A record of the system's, filled from the input, its texts ended as the
// system ends them.
template <class Record>
Record TakeRecord(fuzz::FuzzInput& in) {
  Record record = in.Take<Record>();
  record.dwSize = sizeof(Record);
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  platform::fake::FakePlatform os;
  auto& procs = os.processes;
  const int count = in.Take<uint8_t>() % 24;
  for (int i = 0; i < count; ++i) {
    const auto id = in.Take<win::DWORD>();
    const auto parent = in.Take<win::DWORD>();
    const auto threads = in.Take<win::DWORD>();
    auto& p = procs.Add(id, parent, in.Text(300), threads);
    p.priorityClass = in.Take<win::DWORD>();
    p.workingSetMin = in.Take<win::SIZE_T>();
    p.workingSetMax = in.Take<win::SIZE_T>();
    p.deniedAccess = in.Take<uint8_t>() & 1 ? 0xFFFFFFFF : 0;
  }
  std::vector<std::string> entries;
  for (bool fullPath : {false, true}) {
    const auto rows = ReadProcessRows(fullPath);
    (void)BuildProcessTree(rows);
    for (const auto& row : rows) {
      entries.push_back(row.targetEntry);
      (void)TargetEntryId(row.targetEntry);
      (void)TargetEntryName(row.targetEntry);
    }
  }
  const OwnerNames owners(entries);
  const std::string free = in.Text(400);
  (void)ShortFileName(free);
  (void)CutCp932(free, in.Take<uint8_t>());
  (void)TargetEntryId(free);
  (void)ParseSize(free);
  (void)ThreadPriorityText(in.Take<win::LONG>());
  (void)KilobyteText(in.Take<uint64_t>());

  auto heap = TakeRecord<win::HEAPLIST32>(in);
  (void)HeapRowTexts(heap);
  auto block = TakeRecord<win::HEAPENTRY32>(in);
  (void)BlockRowTexts(block);
  auto module = TakeRecord<win::MODULEENTRY32>(in);
  module.szModule[sizeof(module.szModule) - 1] = '\0';
  module.szExePath[sizeof(module.szExePath) - 1] = '\0';
  module.modBaseAddr = nullptr;
  module.hModule = nullptr;
  (void)ModuleRowTexts(module);
  auto thread = TakeRecord<win::THREADENTRY32>(in);
  (void)ThreadRowTexts(thread, owners.Of(thread.th32OwnerProcessID));
  return 0;
}
