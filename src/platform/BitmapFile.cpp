#include "platform/BitmapFile.h"

namespace norva::platform {

namespace {

uint32_t U16(const unsigned char *p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t U32(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint32_t kFileHeader = 14;
constexpr uint32_t kCoreHeader = 12;  // the OS/2 1.x header: 16-bit sizes
constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;

}  // namespace

bool BitmapSizeAllowed(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
         width * height <= kMaxBitmapPixels;
}

std::optional<BitmapSize> CheckBitmapHeader(const unsigned char *bytes, size_t count,
                                            uint64_t fileSize) {
  if (bytes == nullptr || count < kFileHeader + 4 || fileSize < count) return std::nullopt;
  if (bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const uint32_t pixelsAt = U32(bytes + 10);
  const uint32_t infoSize = U32(bytes + 14);
  const unsigned char *info = bytes + kFileHeader;
  int64_t width = 0, height = 0;
  uint32_t planes = 0, bitCount = 0, compression = BI_RGB, imageSize = 0;
  if (infoSize == kCoreHeader) {
    if (count < kFileHeader + kCoreHeader) return std::nullopt;
    width = U16(info + 4);
    height = U16(info + 6);
    planes = U16(info + 8);
    bitCount = U16(info + 10);
  } else if (infoSize >= 40 && infoSize <= 124) {
    if (count < kFileHeader + 40) return std::nullopt;
    width = static_cast<int32_t>(U32(info + 4));
    height = static_cast<int32_t>(U32(info + 8));
    if (height < 0) height = -height;  // stored top-down
    planes = U16(info + 12);
    bitCount = U16(info + 14);
    compression = U32(info + 16);
    imageSize = U32(info + 20);
  } else {
    return std::nullopt;
  }
  if (planes != 1 || !BitmapSizeAllowed(width, height)) return std::nullopt;
  if (pixelsAt < kFileHeader + infoSize || pixelsAt >= fileSize) return std::nullopt;
  uint64_t pixelBytes = 0;
  switch (compression) {
    case BI_RGB:
    case BI_BITFIELDS:
      if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
          bitCount != 32)
        return std::nullopt;
      // Rows are padded to whole 32-bit words.
      pixelBytes =
          (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4 * static_cast<uint64_t>(height);
      break;
    case BI_RLE8:
    case BI_RLE4:
      // Compressed pixels: their count is in the header, and must be there.
      if (imageSize == 0) return std::nullopt;
      pixelBytes = imageSize;
      break;
    default:
      return std::nullopt;
  }
  if (pixelsAt + pixelBytes > fileSize) return std::nullopt;
  return BitmapSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace norva::platform
