#include "reader/byte_readers.h"

#include <cstring>

namespace scorlane {

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
