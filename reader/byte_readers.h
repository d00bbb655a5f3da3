// Byte-level readers for Standard MIDI File data: numbers and texts, not music.
// Every reader takes the bytes as [p, end) and never looks at or past `end`.
#pragma once

#include <cstdint>
#include <string>

namespace scorlane {

// The number of zero bits below the lowest set bit of a nonzero value.
inline int CountTrailingZeros(uint32_t value) {
#if defined(__GNUC__) || defined(__clang__)
  return __builtin_ctz(value);
#else
  int count = 0;
  while ((value & 1u) == 0) value >>= 1, ++count;
  return count;
#endif
}

// Reads a variable-length quantity: seven bits per byte, most significant first,
// every byte but the last with its top bit set, at most four bytes.
// Returns the number of bytes it counts as consumed: 1-4, or 5 when all four bytes
// carry the continuation bit (the value then holds their 28 bits and the byte
// after them is skipped unread). Returns 0, leaving *value alone, when the
// quantity is cut off by `end`.
// Inline: it reads every delta time of every track.
inline int ReadVarLen(const uint8_t* p, const uint8_t* end, uint32_t* value) {
  constexpr int kMaxBytes = 4;
  // Four bytes that all carry the continuation bit count as five: the reader
  // steps over one more byte than it read.
  constexpr int kOverlongCount = 5;
  if (end - p >= kMaxBytes) {
    // All four bytes are there: decoded without a branch on the length, which
    // varies from one delta time to the next and would often be mispredicted.
    const uint32_t word = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                          uint32_t{p[3]} << 24;
    const uint32_t lastByteBits = ~word & 0x80808080u;  // top bit clear: the quantity's last byte
    const uint32_t bits = ((word & 0x7Fu) << 21) | ((word >> 8 & 0x7Fu) << 14) |
                          ((word >> 16 & 0x7Fu) << 7) | (word >> 24 & 0x7Fu);
    if (lastByteBits == 0) {
      *value = bits;
      return kOverlongCount;
    }
    const int count = CountTrailingZeros(lastByteBits) / 8 + 1;
    *value = bits >> (7 * (kMaxBytes - count));
    return count;
  }
  uint32_t result = 0;
  for (int i = 0; i < kMaxBytes; ++i) {
    if (i >= end - p) return 0;
    result = (result << 7) | (p[i] & 0x7Fu);
    if (p[i] < 0x80) {
      *value = result;
      return i + 1;
    }
  }
  *value = result;
  return kOverlongCount;
}

// Reads `count` bytes at p as an unsigned big-endian number. Bytes beyond the
// fourth push the earliest ones out of the 32 bits; a count of 0 or less gives 0.
// Returns false, leaving *value alone, when fewer than `count` bytes lie before end.
bool ReadBigEndian(const uint8_t* p, const uint8_t* end, int count, uint32_t* value);

// Reads a meta event's text, given the position of its length field: the length
// is a variable-length quantity, the text the bytes that follow it, cut at the
// first zero byte (many files pad their texts with zeros). Bytes pass through
// unchanged: no character-set conversion. A text that runs past `end` keeps
// the bytes that are there. Returns false, leaving *text alone, when the length
// field itself is cut off.
bool ReadMetaText(const uint8_t* p, const uint8_t* end, std::string* text);

}  // namespace scorlane
