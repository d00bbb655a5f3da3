#include "reader/byte_readers.h"

#include <cstring>

namespace scorlane {

namespace {
constexpr int kVarLenMaxBytes = 4;
// Four bytes that all carry the continuation bit count as five: the quantity's
// reader historically steps over one more byte than it read.
constexpr int kVarLenOverlongCount = 5;
}  // namespace

int ReadVarLen(const uint8_t* p, const uint8_t* end, uint32_t* value) {
  uint32_t result = 0;
  for (int i = 0; i < kVarLenMaxBytes; ++i) {
    if (i >= end - p) return 0;
    result = (result << 7) | (p[i] & 0x7Fu);
    if (p[i] < 0x80) {
      *value = result;
      return i + 1;
    }
  }
  *value = result;
  return kVarLenOverlongCount;
}

bool ReadBigEndian(const uint8_t* p, const uint8_t* end, int count, uint32_t* value) {
  if (count > end - p) return false;
  uint32_t result = 0;
  for (int i = 0; i < count; ++i) result = (result << 8) | p[i];
  *value = result;
  return true;
}

bool ReadMetaText(const uint8_t* p, const uint8_t* end, std::string* text) {
  uint32_t length = 0;
  const int count = ReadVarLen(p, end, &length);
  if (count == 0) return false;
  // A five-byte count steps past a byte that may lie beyond the buffer.
  if (count > end - p) {
    text->clear();
    return true;
  }
  const uint8_t* start = p + count;
  size_t size = length;
  const size_t available = static_cast<size_t>(end - start);
  if (size > available) size = available;
  if (const void* zero = std::memchr(start, 0, size)) {
    size = static_cast<size_t>(static_cast<const uint8_t*>(zero) - start);
  }
  text->assign(reinterpret_cast<const char*>(start), size);
  return true;
}

}  // namespace scorlane
