// Byte-level readers for Standard MIDI File data: numbers and texts, not music.
// Every reader takes the bytes as [p, end) and never looks at or past `end`.
#pragma once

#include <cstdint>
#include <string>

namespace scorlane {

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
    // All four bytes are there: no bound check per byte. Most quantities take one.
    uint32_t result = p[0];
    if (result < 0x80) {
      *value = result;
      return 1;
    }
    result = ((result & 0x7Fu) << 7) | (p[1] & 0x7Fu);
    if (p[1] < 0x80) {
      *value = result;
      return 2;
    }
    result = (result << 7) | (p[2] & 0x7Fu);
    if (p[2] < 0x80) {
      *value = result;
      return 3;
    }
    *value = (result << 7) | (p[3] & 0x7Fu);
    return p[3] < 0x80 ? 4 : kOverlongCount;
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
