#include "app/CleanHistory.h"

#include <cstdio>

#include "app/Extras.h"
#include "lang/Lang.h"
#include "platform/WholeFile.h"

namespace norva {

using lang::TextId;
using platform::Os;

namespace {

const char* const kBom = "\xEF\xBB\xBF";

struct KindNames {
  const char* shown;
  const char* file;
};

KindNames Names(CleanKind kind) {
  switch (kind) {
    case CleanKind::Button:
      return {lang::Text(TextId::HistoryKindButton), "button"};
    case CleanKind::TrayMenu:
      return {lang::Text(TextId::HistoryKindMenu), "menu"};
    case CleanKind::HotKey:
      return {lang::Text(TextId::HistoryKindHotKey), "hotkey"};
    case CleanKind::Interval:
      return {lang::Text(TextId::HistoryKindInterval), "interval"};
    case CleanKind::FreeMemoryRule:
      return {lang::Text(TextId::HistoryKindFreeMemory), "free-memory"};
    case CleanKind::LoadRule:
      return {lang::Text(TextId::HistoryKindLoad), "load"};
    case CleanKind::Exec:
      return {"-exec", "exec"};
  }
  return {"?", "?"};
}

std::string TimeText(const win::SYSTEMTIME& t, char between) {
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u%c%02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                between, t.wHour, t.wMinute, t.wSecond);
  return text;
}

bool SameDay(const win::SYSTEMTIME& a, const win::SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

}  // namespace

bool StartedByUser(CleanKind kind) {
  return kind != CleanKind::Interval && kind != CleanKind::FreeMemoryRule &&
         kind != CleanKind::LoadRule;
}

void CleanHistory::Add(const CleanRecord& record) {
  FRecords.push_back(record);
  while (FRecords.size() > kCapacity) FRecords.pop_front();
}

std::vector<std::string> HistoryColumns() {
  using lang::Text;
  return {Text(TextId::HistoryColumnStarted),    Text(TextId::HistoryColumnTrigger),
          Text(TextId::HistoryColumnSize),       Text(TextId::HistoryColumnDuration),
          Text(TextId::HistoryColumnFreeBefore), Text(TextId::HistoryColumnFreeAfter),
          Text(TextId::HistoryColumnFreed),      Text(TextId::HistoryColumnResult)};
}

std::vector<std::string> HistoryRow(const CleanRecord& r) {
  char figure[32];
  std::snprintf(figure, sizeof figure, "%.1f", r.durationMs / 1000.0);
  const std::string seconds = lang::Format(TextId::HistorySeconds, {{"seconds", figure}});
  return {TimeText(r.started, ' '),
          Names(r.kind).shown,
          MegabytesText(static_cast<uint64_t>(r.sizeBytes > 0 ? r.sizeBytes : 0)),
          seconds,
          MegabytesText(r.freeBefore),
          MegabytesText(r.freeAfter),
          MegabytesText(r.Freed()),
          lang::Text(r.stopped ? TextId::HistoryStopped : TextId::HistoryCompleted)};
}

std::string HistoryTotalLine(const CleanHistory& history, const win::SYSTEMTIME& today) {
  int count = 0;
  uint64_t freed = 0;
  for (const CleanRecord& r : history.Records())
    if (SameDay(r.started, today)) {
      ++count;
      freed += r.Freed();
    }
  return lang::Format(TextId::HistoryTotal,
                      {{"count", std::to_string(count)}, {"freed", MegabytesText(freed)}});
}

std::string HistoryTabText(const CleanHistory& history) {
  const auto line = [](const std::vector<std::string>& cells) {
    std::string text;
    for (size_t i = 0; i < cells.size(); ++i) text += (i ? "\t" : "") + cells[i];
    return text + "\r\n";
  };
  std::string text = line(HistoryColumns());
  const auto& records = history.Records();
  for (auto it = records.rbegin(); it != records.rend(); ++it) text += line(HistoryRow(*it));
  return text;
}

const char* const kHistoryCsvHeader =
    "start,kind,size_mb,duration_ms,free_before_mb,free_after_mb,freed_mb,stopped";

std::string HistoryCsvLine(const CleanRecord& r) {
  const uint64_t size = static_cast<uint64_t>(r.sizeBytes > 0 ? r.sizeBytes : 0);
  return TimeText(r.started, 'T') + "," + Names(r.kind).file + "," +
         std::to_string(WholeMegabytes(size)) + "," + std::to_string(r.durationMs) + "," +
         std::to_string(WholeMegabytes(r.freeBefore)) + "," +
         std::to_string(WholeMegabytes(r.freeAfter)) + "," +
         std::to_string(WholeMegabytes(r.Freed())) + "," + (r.stopped ? "1" : "0");
}

std::string HistoryFilePath(const std::string& exePath) {
  const size_t slash = exePath.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : exePath.substr(0, slash + 1)) +
         "norva-history.csv";
}

win::DWORD AppendHistoryFile(const std::string& path, const CleanRecord& record, size_t limit) {
  auto& files = Os().files;
  platform::FileRead read = platform::ReadWholeFile(files, path);
  // A file that cannot be read is not replaced: its lines would be lost.
  if (read.error != 0) return read.error;
  std::string old = read.bytes.value_or(std::string());
  if (old.rfind(kBom, 0) == 0) old.erase(0, 3);
  // The whole lines already there, without the header; a last line with no
  // end (written by another program) is left out.
  std::deque<std::string> lines;
  size_t bytes = 0;
  for (size_t at = 0; at < old.size();) {
    const size_t end = old.find('\n', at);
    if (end == std::string::npos) break;
    std::string line = old.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at = end + 1;
    if (line.empty() || (lines.empty() && bytes == 0 && line == kHistoryCsvHeader)) continue;
    bytes += line.size() + 2;
    lines.push_back(std::move(line));
  }
  const std::string added = HistoryCsvLine(record);
  lines.push_back(added);
  bytes += added.size() + 2;
  const size_t fixed = 3 + std::char_traits<char>::length(kHistoryCsvHeader) + 2;
  while (lines.size() > 1 && fixed + bytes > limit) {
    bytes -= lines.front().size() + 2;
    lines.pop_front();
  }
  std::string text = std::string(kBom) + kHistoryCsvHeader + "\r\n";
  text.reserve(fixed + bytes);
  for (const std::string& line : lines) text += line + "\r\n";

  return platform::ReplaceWholeFile(files, path, text);
}

}  // namespace norva
