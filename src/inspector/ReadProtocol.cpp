#include "inspector/ReadProtocol.h"

#include "lang/Lang.h"
#include "platform/Text.h"

namespace norva::inspector {

void ReadProtocol::StopReading() {
  if (!FReading) return;
  FReadStop = true;
  // The read sees the change of generation when its message step returns,
  // even if a read started by the caller cleared FReadStop meanwhile.
  ++FGeneration;
  ProcessMessages();
  FReading = false;
}

unsigned ReadProtocol::BeginReads() {
  FReadStop = false;
  FReading = true;
  return FGeneration;
}

std::string ReadProtocol::CountText(int rowsRead) {
  return lang::Format(lang::TextId::ReadCount, {{"count", text::Format("%3d", rowsRead - 1)}});
}

int ReadProtocol::ReadRows(unsigned token, const std::function<bool()>& addRow) {
  int rows = 0;
  while (Current(token) && addRow()) {
    ++rows;
    ShowReadCount(CountText(rows));
    ProcessMessages();
    if (FReadStop || !Current(token)) {
      // Every read below this one on the stack was stopped for good already.
      FReadStop = false;
      break;
    }
  }
  ShowReadStop(false);
  ShowReadCount("");
  return rows;
}

}  // namespace norva::inspector
