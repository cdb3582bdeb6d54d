// The history of cleanings: the last 200 in memory, their texts for the
// history window and its copy, and the CSV file beside the exe, replaced
// whole at every record so that a crash or a full disk never leaves half a
// line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace norva {

// How a cleaning was started.
enum class CleanKind { Button, TrayMenu, HotKey, Interval, FreeMemoryRule, LoadRule, Exec };

// Started by the user (never held back or waiting).
bool StartedByUser(CleanKind kind);

struct CleanRecord {
  win::SYSTEMTIME started{};
  CleanKind kind = CleanKind::Button;
  int64_t sizeBytes = 0;
  win::DWORD durationMs = 0;
  uint64_t freeBefore = 0;
  uint64_t freeAfter = 0;
  bool stopped = false;
  // Free memory gained, never below 0.
  uint64_t Freed() const { return freeAfter > freeBefore ? freeAfter - freeBefore : 0; }
};

class CleanHistory {
 public:
  static constexpr size_t kCapacity = 200;
  // Adds a record; the oldest goes once there are more than kCapacity.
  void Add(const CleanRecord& record);
  // Oldest first.
  const std::deque<CleanRecord>& Records() const { return FRecords; }
  size_t Count() const { return FRecords.size(); }

 private:
  std::deque<CleanRecord> FRecords;
};

// The window's columns and one record's texts for them.
std::vector<std::string> HistoryColumns();
std::vector<std::string> HistoryRow(const CleanRecord& record);
// "今日 12 回 / 解放 3,456 MB": the cleanings started on today's date.
std::string HistoryTotalLine(const CleanHistory& history, const win::SYSTEMTIME& today);
// The list as the window shows it (newest first, the column titles on top),
// tab-separated, one line per row, CR LF.
std::string HistoryTabText(const CleanHistory& history);

// The CSV file: UTF-8 with a byte-order mark, this header, then one line
// per cleaning, oldest first, times as ISO 8601 local time.
extern const char* const kHistoryCsvHeader;
std::string HistoryCsvLine(const CleanRecord& record);
// norva-history.csv in the exe's folder.
std::string HistoryFilePath(const std::string& exePath);
constexpr size_t kHistoryFileLimit = 512 * 1024;
// Adds the record's line to the file at path, keeping it under limit bytes
// (the oldest lines go first). The file is replaced whole or not at all, as
// the settings file is (platform/WholeFile.h): on any failure, or when the
// file is read-only, it is as it was and the error (a Win32 code) comes
// back; 0 on success.
win::DWORD AppendHistoryFile(const std::string& path, const CleanRecord& record,
                             size_t limit = kHistoryFileLimit);

}  // namespace norva
