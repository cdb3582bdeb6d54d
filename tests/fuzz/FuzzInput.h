// Reads typed values off a fuzzer's input, front to back; past the end every
// value is zero and every text empty, so any input is a complete case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace norva::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : FData(data), FSize(size) {}

  template <class T>
  T Take() {
    T value{};
    const size_t n = sizeof(T) < Left() ? sizeof(T) : Left();
    if (n > 0) std::memcpy(&value, FData + FAt, n);
    FAt += n;
    return value;
  }
  // A text of up to `most` bytes, its length read first.
  std::string Text(size_t most) {
    size_t n = Take<uint16_t>() % (most + 1);
    if (n > Left()) n = Left();
    std::string text(reinterpret_cast<const char*>(FData + FAt), n);
    FAt += n;
    return text;
  }
  size_t Left() const { return FSize - FAt; }

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FAt = 0;
};

}  // namespace norva::fuzz
