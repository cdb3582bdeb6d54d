// The bitmap check on any file start and any file size: no crash, and a
// size it accepts is one the program may load.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/BitmapFile.h"

using norva::platform::BitmapSizeAllowed;
using norva::platform::CheckBitmapHeader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first 8 bytes are the file's size as the system reports it; the rest
  // is the file's start as read. Also checked as a whole file of its own.
  uint64_t fileSize = 0;
  std::memcpy(&fileSize, data, size < 8 ? size : 8);
  const uint8_t* bytes = size < 8 ? data + size : data + 8;
  const size_t count = size < 8 ? 0 : size - 8;
  for (const auto& checked :
       {CheckBitmapHeader(bytes, count, fileSize), CheckBitmapHeader(data, size, size)}) {
    if (checked && (!BitmapSizeAllowed(checked->width, checked->height) || checked->width <= 0 ||
                    checked->height <= 0))
      std::abort();
  }
  return 0;
}
