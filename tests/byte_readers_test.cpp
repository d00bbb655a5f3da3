#include "reader/byte_readers.h"

#include <gtest/gtest.h>

#include "tests/test_bytes.h"

namespace scorlane::testing {
namespace {

TEST(ReadVarLen, Cases) {
  struct Case {
    const char* hex;
    uint32_t value;
    int count;  // 0: cut off
  } const cases[] = {
      {"00", 0, 1},
      {"7f", 127, 1},
      {"81 00", 128, 2},
      {"c0 00", 8192, 2},
      {"ff 7f", 16383, 2},
      {"81 80 00", 16384, 3},
      {"ff ff 7f", 0x1FFFFF, 3},
      {"81 80 80 00", 0x200000, 4},
      {"ff ff ff 7f", 0x0FFFFFFF, 4},
      {"80 80 80 80", 0, 5},  // four continuation bytes count as five
      {"ff ff ff ff", 0x0FFFFFFF, 5},
      {"81 00 ff", 128, 2},  // stops at the first byte below 0x80
      {"", 0, 0},
      {"81", 0, 0},
      {"ff ff ff", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    const Bytes bytes = Hex(c.hex);
    uint32_t value = 12345;
    EXPECT_EQ(ReadVarLen(bytes.data(), bytes.data() + bytes.size(), &value), c.count);
    EXPECT_EQ(value, c.count == 0 ? 12345u : c.value);
  }
}

TEST(ReadBigEndian, Cases) {
  struct Case {
    const char* hex;
    int count;
    bool ok;
    uint32_t value;
  } const cases[] = {
      {"07 a1 20", 3, true, 500000},
      {"01 e0", 2, true, 480},
      {"12 34 56 78 9a", 5, true, 0x3456789a},  // the earliest byte is pushed out
      {"ff", 0, true, 0},
      {"ff", -3, true, 0},
      {"07 a1", 3, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    const Bytes bytes = Hex(c.hex);
    uint32_t value = 7;
    EXPECT_EQ(ReadBigEndian(bytes.data(), bytes.data() + bytes.size(), c.count, &value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : 7u);
  }
}

TEST(ReadMetaText, Cases) {
  struct Case {
    const char* what;
    Bytes bytes;  // from the length field on
    bool ok;
    std::string text;
  } const cases[] = {
      {"plain", Hex("05 'Hello' 00"), true, "Hello"},
      {"empty", Hex("00 'x'"), true, ""},
      {"cut at the first zero byte", Hex("07 'La' 00 'la' 00 00"), true, "La"},
      {"bytes pass through unchanged", Hex("04 82 a0 e3 81"), true, "\x82\xa0\xe3\x81"},
      {"two-byte length", VarLen(130) + Bytes(130, 'a'), true, std::string(130, 'a')},
      {"a length past the end keeps what is there", Hex("7f 'abc'"), true, "abc"},
      {"a length field cut off", Hex("81"), false, "unchanged"},
      {"no length field", Bytes{}, false, "unchanged"},
      {"five-byte length at the very end", Hex("80 80 80 80"), true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text = "unchanged";
    EXPECT_EQ(ReadMetaText(c.bytes.data(), c.bytes.data() + c.bytes.size(), &text), c.ok);
    EXPECT_EQ(text, c.text);
  }
}

}  // namespace
}  // namespace scorlane::testing
