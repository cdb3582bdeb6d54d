// The figures' formatter on any 64-bit byte count: every form of every step
// is a short, non-empty text, and a bare number only ever means megabytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Figures.h"

using norva::FigureForm;
using norva::FigureKind;
using norva::FigureSteps;
using norva::FigureText;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint64_t bytes = 0;
  std::memcpy(&bytes, data, size < 8 ? size : 8);
  // The room the window gives, in characters, from the next byte.
  const size_t room = size > 8 ? data[8] % 16 : 4;
  const double megabytes = static_cast<double>(bytes) / 1048576.0;
  const int steps = FigureSteps(megabytes);
  if (steps < 1 || steps > 16) std::abort();
  for (FigureKind kind : {FigureKind::Plain, FigureKind::Total}) {
    for (int step = 0; step < steps; ++step) {
      const std::string text = FigureForm(megabytes, kind, step);
      if (text.empty() || text.size() > 64) std::abort();
    }
    const std::string fitted =
        FigureText(megabytes, kind, [&](const std::string& t) { return t.size() <= room; });
    if (fitted.empty()) std::abort();
  }
  return 0;
}
