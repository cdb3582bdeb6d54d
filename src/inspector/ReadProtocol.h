// The stop rules of the inspector's row-by-row reads (modules, heap blocks).
// A read lets window messages run after every row, so other handlers run
// nested inside it: the stop button ends the read in progress; a refresh, a
// tab change, closing the window or another heap-row selection end it for
// good (StopReading), and no row of it is added after that, not even when
// the handler that stopped it has started reads of its own meanwhile.
#pragma once

#include <functional>
#include <string>

namespace norva::inspector {

class ReadProtocol {
 public:
  virtual ~ReadProtocol() = default;

  // A request to stop the read in progress (the stop button).
  bool FReadStop = false;
  // A heap-row read (modules, then blocks) is in progress.
  bool FReading = false;

  // Ends the read in progress, if any, for good.
  void StopReading();
  // Starts the reads of one selection: the token names them.
  unsigned BeginReads();
  void EndReads() { FReading = false; }
  // Whether the reads of the token still run (no StopReading since).
  bool Current(unsigned token) const { return token == FGeneration; }
  // The token of the reads that may run now.
  unsigned Generation() const { return FGeneration; }

  // One read: addRow adds the current record's row and advances, answering
  // false when there was none. After every row the count "  読込中：%3d"
  // (0 after the first row) shows and messages run; a stop request ends the
  // read there. The stop button is hidden and the count emptied at the end.
  // Returns the rows added.
  int ReadRows(unsigned token, const std::function<bool()>& addRow);

  // The count text after the given number of rows.
  static std::string CountText(int rowsRead);

 protected:
  virtual void ProcessMessages() = 0;
  virtual void ShowReadCount(const std::string& text) = 0;
  virtual void ShowReadStop(bool visible) = 0;

 private:
  unsigned FGeneration = 0;
};

}  // namespace norva::inspector
