// The colour-name reader of the settings file on any text: no crash, and a
// colour it reads is written as a text that reads back as the same colour.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ColorText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto color = norva::StringToColor(text);
  if (color) {
    const std::string written = norva::ColorToString(*color);
    const auto again = norva::StringToColor(written);
    if (!again || *again != *color) std::abort();
  }
  return 0;
}
