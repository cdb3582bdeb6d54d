// The inspector's rows as plain data: the texts of the process, heap, block,
// module and thread lists, the priority-class table, the entries of the
// target-process combo, the parent/child tree of the processes and the rules
// of the working-set edits. No window is needed to build or test them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Toolhelp.h"

namespace norva::inspector {

// --- Texts ------------------------------------------------------------------------

// At least eight upper-case hexadecimal digits ("%08X"; a 64-bit handle or
// heap ID keeps all its digits).
std::string Hex8(uint64_t value);
// Bytes as kilobytes with one decimal: "200.0 KB".
std::string KilobyteText(uint64_t bytes);
// Name and extension of a file path: the drive and folders go. Multi-byte
// characters are units, so no byte inside one counts as a separator.
std::string ShortFileName(const std::string& path);
// The text cut to at most the given bytes of its code-page-932 form, never
// inside a character.
std::string CutCp932(const std::string& text, size_t bytes);

// --- Priority classes --------------------------------------------------------------

constexpr int kUnknownPriority = 4;
// 0 "最高", 1 "高", 2 "標準", 3 "最低", 4 "不明" (any other class, 0 included).
int PriorityIndex(win::DWORD priorityClass);
const char* PriorityWord(win::DWORD priorityClass);
const char* PriorityWordOfIndex(int index);
// The class of a combo index; none for "不明" and for no selection.
std::optional<win::DWORD> PriorityClassOfIndex(int index);

// The text of a thread's base priority.
std::string ThreadPriorityText(win::LONG basePriority);

// --- Target-process combo -----------------------------------------------------------

// "%-40s%08X": the short file name padded with blanks to 40 bytes (code page
// 932), then the process ID.
std::string TargetEntry(const std::string& shortName, win::DWORD processId);
// The process ID an entry ends with. Read from the end, so a name longer
// than 40 bytes does not push it out of reach.
std::optional<win::DWORD> TargetEntryId(const std::string& entry);
// The owner name a thread row shows: the first 16 bytes of the entry.
std::string TargetEntryName(const std::string& entry);

// --- Process rows -------------------------------------------------------------------

struct ProcessRow {
  win::DWORD processId = 0;
  win::DWORD parentId = 0;
  // Caption ("%08X" ID), then the six columns: parent ID, thread count,
  // file name, priority word, minimum and maximum working set.
  std::string texts[7];
  // The entry of the target combo.
  std::string targetEntry;
  // When the process started, read with the row; none when it could not be
  // asked. An action checks it, so that it never hits a process that took
  // over the ID after the row was read.
  std::optional<uint64_t> creationTime;
};

// One process snapshot as rows, each process opened for its priority class
// and working-set limits (a process that cannot be opened shows "不明" and
// empty sizes). fullPath: the file-name column shows szExeFile unchanged.
std::vector<ProcessRow> ReadProcessRows(bool fullPath);

// The parent of every row's node in the process tree, as a row index, or -1
// for a root. A row hangs under the first node, in the tree's depth-first
// order as built so far, whose process ID is the row's parent ID; a row
// whose parent comes later or not at all, and the row of process ID 0, are
// roots. Children and roots keep the rows' order.
std::vector<int> BuildProcessTree(const std::vector<ProcessRow>& rows);

// --- Opened processes ----------------------------------------------------------------

// A process handle closed when it goes out of scope; null when the process
// could not be opened.
class OpenedProcess {
 public:
  OpenedProcess(win::DWORD access, win::BOOL inherit, win::DWORD id);
  ~OpenedProcess();
  OpenedProcess(const OpenedProcess&) = delete;
  OpenedProcess& operator=(const OpenedProcess&) = delete;
  win::HANDLE Get() const { return FHandle; }

 private:
  win::HANDLE FHandle;
};

// What a process row and the working-set edits show of a process: its
// priority class (0 when it cannot be opened or asked: "不明"), its
// working-set limits and its creation time (none when they cannot be read).
struct ProcessLimits {
  win::DWORD priorityClass = 0;
  std::optional<std::pair<win::SIZE_T, win::SIZE_T>> workingSet;
  std::optional<uint64_t> creationTime;
};
ProcessLimits ReadProcessLimits(win::DWORD processId, win::BOOL inherit);

// Whether the process that holds the ID now is the one whose creation time
// a row read: the times are equal, or neither can be read (a system without
// process times, a process that refuses the question). Call it while a
// handle to the process is open, so that the ID cannot change hands between
// this check and the action.
bool SameProcessAsListed(win::DWORD processId, const std::optional<uint64_t>& listedCreation);

// --- Working-set edits ----------------------------------------------------------------

// A key the size edits take: a digit or backspace.
bool IsSizeKey(char key);
// The edit's bytes as a size; none when it is none (empty, not only
// digits, more than SIZE_T holds). Every size the edits show (any SIZE_T)
// is taken back unchanged.
std::optional<win::SIZE_T> ParseSize(const std::string& text);
// The limits passed for two typed sizes: both 0 asks for the trim ((SIZE_T)-1
// twice), anything else passes as typed.
std::pair<win::SIZE_T, win::SIZE_T> WorkingSetLimits(win::SIZE_T minimum, win::SIZE_T maximum);

// --- Heap, block, module and thread rows ------------------------------------------------

std::vector<std::string> HeapRowTexts(const win::HEAPLIST32& heap);
std::vector<std::string> BlockRowTexts(const win::HEAPENTRY32& block);
std::vector<std::string> ModuleRowTexts(const win::MODULEENTRY32& module);
// The owner name comes from the target combo's entries.
std::vector<std::string> ThreadRowTexts(const win::THREADENTRY32& thread,
                                        const std::string& ownerName);
// The owner names of the thread rows, looked up in the target combo's
// entries: the first entry that ends with the owner's ID, cut to 16 bytes;
// "" when none does.
class OwnerNames {
 public:
  explicit OwnerNames(const std::vector<std::string>& targetEntries);
  std::string Of(win::DWORD processId) const;

 private:
  std::unordered_map<win::DWORD, std::string> FNames;
};

}  // namespace norva::inspector
