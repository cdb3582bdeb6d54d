#include "app/CleanHistory.h"

#include <cstdio>

#include "app/Extras.h"
#include "platform/WholeFile.h"

namespace norva {

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
      return {"ボタン", "button"};
    case CleanKind::TrayMenu:
      return {"メニュー", "menu"};
    case CleanKind::HotKey:
      return {"ホットキー", "hotkey"};
    case CleanKind::Interval:
      return {"一定間隔", "interval"};
    case CleanKind::FreeMemoryRule:
      return {"空き容量", "free-memory"};
    case CleanKind::LoadRule:
      return {"使用率", "load"};
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
  return {"開始", "きっかけ", "確保量", "所要時間", "空き（前）", "空き（後）", "解放", "結果"};
}

std::vector<std::string> HistoryRow(const CleanRecord& r) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f 秒", r.durationMs / 1000.0);
  return {TimeText(r.started, ' '),
          Names(r.kind).shown,
          MegabytesText(static_cast<uint64_t>(r.sizeBytes > 0 ? r.sizeBytes : 0)),
          seconds,
          MegabytesText(r.freeBefore),
          MegabytesText(r.freeAfter),
          MegabytesText(r.Freed()),
          r.stopped ? "中断" : "完了"};
}

std::string HistoryTotalLine(const CleanHistory& history, const win::SYSTEMTIME& today) {
  int count = 0;
  uint64_t freed = 0;
  for (const CleanRecord& r : history.Records())
    if (SameDay(r.started, today)) {
      ++count;
      freed += r.Freed();
    }
  return "今日 " + std::to_string(count) + " 回 / 解放 " + MegabytesText(freed);
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
