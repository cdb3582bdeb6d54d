#include "inspector/ProcessRows.h"

#include <cinttypes>
#include <cstdio>
#include <limits>
#include <unordered_map>

#include "inspector/Toolhelp.h"
#include "lang/Lang.h"
#include "platform/Text.h"

namespace norva::inspector {

using platform::Os;

namespace {

// Bytes of the UTF-8 character starting at text[i].
size_t CharBytes(const std::string& text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  size_t n = c < 0x80             ? 1
             : (c & 0xE0) == 0xC0 ? 2
             : (c & 0xF0) == 0xE0 ? 3
             : (c & 0xF8) == 0xF0 ? 4
                                  : 1;
  return std::min(n, text.size() - i);
}

struct PriorityClassRow {
  win::DWORD priorityClass;
  lang::TextId word;
};
// The one table of both directions, in combo order.
constexpr PriorityClassRow kPriorityClasses[] = {
    {win::REALTIME_PRIORITY_CLASS, lang::TextId::PriorityRealtime},
    {win::HIGH_PRIORITY_CLASS, lang::TextId::PriorityHigh},
    {win::NORMAL_PRIORITY_CLASS, lang::TextId::PriorityNormal},
    {win::IDLE_PRIORITY_CLASS, lang::TextId::PriorityIdle},
};

constexpr size_t kNameBytes = 40;
constexpr size_t kOwnerBytes = 16;

}  // namespace

OpenedProcess::OpenedProcess(win::DWORD access, win::BOOL inherit, win::DWORD id)
    : FHandle(Os().process.OpenProcess(access, inherit, id)) {}

OpenedProcess::~OpenedProcess() {
  if (FHandle != nullptr) Os().process.CloseHandle(FHandle);
}

namespace {

std::optional<uint64_t> CreationTime(win::HANDLE process) {
  win::FILETIME creation{}, exit{}, kernel{}, user{};
  if (process == nullptr ||
      !Os().process.GetProcessTimes(process, &creation, &exit, &kernel, &user))
    return std::nullopt;
  return uint64_t{creation.dwHighDateTime} << 32 | creation.dwLowDateTime;
}

}  // namespace

ProcessLimits ReadProcessLimits(win::DWORD processId, win::BOOL inherit) {
  const OpenedProcess process(win::PROCESS_QUERY_INFORMATION, inherit, processId);
  ProcessLimits limits;
  if (process.Get() == nullptr) return limits;
  limits.priorityClass = Os().process.GetPriorityClass(process.Get());
  win::SIZE_T minimum = 0, maximum = 0;
  if (Os().process.GetProcessWorkingSetSize(process.Get(), &minimum, &maximum))
    limits.workingSet.emplace(minimum, maximum);
  limits.creationTime = CreationTime(process.Get());
  return limits;
}

bool SameProcessAsListed(win::DWORD processId, const std::optional<uint64_t>& listedCreation) {
  const OpenedProcess process(win::PROCESS_QUERY_INFORMATION, 0, processId);
  return CreationTime(process.Get()) == listedCreation;
}

std::string Hex8(uint64_t value) { return text::Format("%08" PRIX64, value); }

std::string KilobyteText(uint64_t bytes) {
  return text::Format("%.1f KB", static_cast<double>(bytes) * (1.0 / 1024.0));
}

std::string ShortFileName(const std::string& path) {
  // The whole path is split, however many bytes its characters take, so
  // the name is always its last part.
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += CharBytes(path, i)) {
    const char c = path[i];
    if (c == '\\' || c == '/' || (c == ':' && i == 1)) start = i + 1;
  }
  return path.substr(start);
}

std::string CutCp932(const std::string& text, size_t bytes) {
  size_t used = 0, i = 0;
  while (i < text.size()) {
    const size_t n = CharBytes(text, i);
    const size_t width = text::Cp932Length(text.substr(i, n));
    if (used + width > bytes) break;
    used += width;
    i += n;
  }
  return text.substr(0, i);
}

int PriorityIndex(win::DWORD priorityClass) {
  for (int i = 0; i < 4; ++i)
    if (kPriorityClasses[i].priorityClass == priorityClass) return i;
  return kUnknownPriority;
}

const char* PriorityWordOfIndex(int index) {
  return lang::Text(index >= 0 && index < 4 ? kPriorityClasses[index].word
                                            : lang::TextId::PriorityUnknown);
}

const char* PriorityWord(win::DWORD priorityClass) {
  return PriorityWordOfIndex(PriorityIndex(priorityClass));
}

std::optional<win::DWORD> PriorityClassOfIndex(int index) {
  if (index < 0 || index >= 4) return std::nullopt;
  return kPriorityClasses[index].priorityClass;
}

std::string ThreadPriorityText(win::LONG p) {
  using lang::TextId;
  // Above 15: base priorities of the real-time class (16 to 31 on the NT family).
  TextId word = TextId::ThreadPriorityRealtime;
  if (p <= -15)
    word = TextId::ThreadPriorityIdle;
  else if (p < 0)
    word = TextId::ThreadPriorityLow;
  else if (p <= 1)
    word = TextId::ThreadPriorityNormal;
  else if (p < 15)
    word = TextId::ThreadPriorityHigh;
  else if (p == 15)
    word = TextId::ThreadPriorityCritical;
  return lang::Format(word, {{"priority", std::to_string(static_cast<int>(p))}});
}

std::string TargetEntry(const std::string& shortName, win::DWORD processId) {
  std::string entry = shortName;
  const size_t bytes = text::Cp932Length(shortName);
  if (bytes < kNameBytes) entry.append(kNameBytes - bytes, ' ');
  return entry + Hex8(processId);
}

std::optional<win::DWORD> TargetEntryId(const std::string& entry) {
  if (entry.size() < 8) return std::nullopt;
  win::DWORD id = 0;
  for (size_t i = entry.size() - 8; i < entry.size(); ++i) {
    const char c = entry[i];
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return std::nullopt;
    id = id * 16 + static_cast<win::DWORD>(digit);
  }
  return id;
}

std::string TargetEntryName(const std::string& entry) { return CutCp932(entry, kOwnerBytes); }

std::vector<ProcessRow> ReadProcessRows(bool fullPath) {
  std::vector<ProcessRow> rows;
  for (ProcessList list; list.Valid; list.Next()) {
    const win::PROCESSENTRY32& e = list.Entry;
    ProcessRow& row = rows.emplace_back();
    row.processId = e.th32ProcessID;
    row.parentId = e.th32ParentProcessID;
    const std::string exe = e.szExeFile;
    const std::string shortName = ShortFileName(exe);
    row.texts[0] = Hex8(e.th32ProcessID);
    row.texts[1] = Hex8(e.th32ParentProcessID);
    row.texts[2] = std::to_string(e.cntThreads);
    row.texts[3] = fullPath ? exe : shortName;
    row.targetEntry = TargetEntry(shortName, e.th32ProcessID);
    const ProcessLimits limits = ReadProcessLimits(e.th32ProcessID, 1);
    row.texts[4] = PriorityWord(limits.priorityClass);
    row.creationTime = limits.creationTime;
    if (limits.workingSet) {
      row.texts[5] = KilobyteText(limits.workingSet->first);
      row.texts[6] = KilobyteText(limits.workingSet->second);
    }
  }
  return rows;
}

std::vector<int> BuildProcessTree(const std::vector<ProcessRow>& rows) {
  const int n = static_cast<int>(rows.size());
  std::vector<int> parent(rows.size(), -1);
  std::vector<int> depth(rows.size(), 0);
  // For each process ID, the row of its first node in depth-first order.
  std::unordered_map<win::DWORD, int> first;
  first.reserve(rows.size());

  // Whether node a comes before node b in depth-first order. Nodes are only
  // ever appended (as the last child or the last root), so two nodes keep
  // their order as the tree grows, and siblings stand in row order.
  auto precedes = [&](int a, int b) {
    int x = a, y = b;
    while (depth[x] > depth[y]) x = parent[x];
    while (depth[y] > depth[x]) y = parent[y];
    if (x == y) return depth[a] < depth[b];  // an ancestor comes first
    while (parent[x] != parent[y]) {
      x = parent[x];
      y = parent[y];
    }
    return x < y;
  };

  for (int i = 0; i < n; ++i) {
    const ProcessRow& row = rows[static_cast<size_t>(i)];
    if (row.processId != 0) {
      auto it = first.find(row.parentId);
      if (it != first.end()) {
        parent[static_cast<size_t>(i)] = it->second;
        depth[static_cast<size_t>(i)] = depth[static_cast<size_t>(it->second)] + 1;
      }
    }
    // Only a duplicate ID costs a comparison (its depth at most).
    auto [it, added] = first.try_emplace(row.processId, i);
    if (!added && precedes(i, it->second)) it->second = i;
  }
  return parent;
}

bool IsSizeKey(char key) { return (key >= '0' && key <= '9') || key == '\b'; }

std::optional<win::SIZE_T> ParseSize(const std::string& text) {
  if (text.empty()) return std::nullopt;
  constexpr win::SIZE_T kMax = std::numeric_limits<win::SIZE_T>::max();
  win::SIZE_T value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<win::SIZE_T>(c - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::pair<win::SIZE_T, win::SIZE_T> WorkingSetLimits(win::SIZE_T minimum, win::SIZE_T maximum) {
  if (minimum == 0 && maximum == 0) {
    const win::SIZE_T trim = static_cast<win::SIZE_T>(-1);
    return {trim, trim};
  }
  return {minimum, maximum};
}

std::vector<std::string> HeapRowTexts(const win::HEAPLIST32& heap) {
  return {Hex8(heap.th32ProcessID), Hex8(heap.th32HeapID), std::to_string(heap.dwFlags)};
}

std::vector<std::string> BlockRowTexts(const win::HEAPENTRY32& block) {
  return {Hex8(reinterpret_cast<uintptr_t>(block.hHandle)),
          text::Format("%3llu", static_cast<unsigned long long>(block.dwBlockSize)),
          text::Format("%3u", static_cast<unsigned>(block.dwLockCount))};
}

std::vector<std::string> ModuleRowTexts(const win::MODULEENTRY32& module) {
  auto usage = [](win::DWORD count) {
    return count == 0xFFFF ? std::string(lang::Text(lang::TextId::UnknownCount))
                           : std::to_string(count);
  };
  return {Hex8(module.th32ModuleID), usage(module.ProccntUsage), usage(module.GlblcntUsage),
          module.szModule};
}

std::vector<std::string> ThreadRowTexts(const win::THREADENTRY32& thread,
                                        const std::string& ownerName) {
  return {Hex8(thread.th32ThreadID), Hex8(thread.th32OwnerProcessID), ownerName,
          std::to_string(thread.cntUsage), ThreadPriorityText(thread.tpBasePri)};
}

OwnerNames::OwnerNames(const std::vector<std::string>& targetEntries) {
  FNames.reserve(targetEntries.size());
  for (const std::string& entry : targetEntries)
    if (auto id = TargetEntryId(entry)) FNames.try_emplace(*id, TargetEntryName(entry));
}

std::string OwnerNames::Of(win::DWORD processId) const {
  auto it = FNames.find(processId);
  return it != FNames.end() ? it->second : std::string();
}

}  // namespace norva::inspector
