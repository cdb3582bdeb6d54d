// The checks a BMP file passes before it is handed to the system: its
// headers must be a bitmap's, its pixels must lie inside the file, and the
// picture must be of a size the program can hold (it only ever shows 200 × 80
// pixels of it, and a device bitmap of 20,000 × 20,000 would take 1.6 GB).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace norva::platform {

// Bytes of a file's start that CheckBitmapHeader reads: the file header and
// the longest part of an info header it looks at.
constexpr size_t kBitmapHeaderBytes = 14 + 40;
// The largest picture taken: 16 M pixels (4096 × 4096, 64 MB as a device
// bitmap).
constexpr int64_t kMaxBitmapPixels = int64_t{4096} * 4096;
constexpr int kMaxBitmapSide = 16384;

struct BitmapSize {
  int width = 0;
  int height = 0;
};

// Whether a picture of this size may be loaded.
bool BitmapSizeAllowed(int64_t width, int64_t height);

// The pixel size that a BMP file of fileSize bytes, starting with bytes
// (count of them read), promises; nullopt for anything else: no "BM" file
// header, an unknown info header, a pixel array beyond the end of the file
// (truncated), no pixels, or a picture larger than BitmapSizeAllowed takes.
std::optional<BitmapSize> CheckBitmapHeader(const unsigned char *bytes, size_t count,
                                            uint64_t fileSize);

}  // namespace norva::platform
