// Meta events: texts, names, ends, and the tempo and meter maps.
#include "reader/meta_events.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "reader/song.h"
#include "tests/test_bytes.h"

namespace scorlane::testing {
namespace {

struct Text {
  int time;
  std::string text;
  bool operator==(const Text& o) const { return time == o.time && text == o.text; }
};

std::ostream& operator<<(std::ostream& out, const Text& t) {
  return out << "{" << t.time << ", \"" << t.text << "\"}";
}

std::vector<Text> TextsOf(const std::vector<TextEvent>& list) {
  std::vector<Text> texts;
  for (const TextEvent& e : list) texts.push_back({static_cast<int>(e.time), e.text});
  return texts;
}

struct MetaCase {
  const char* what;
  const char* events;
  std::vector<Text> texts, lyrics, markers;
  std::string name, copyright;
  int endTime;
};

const MetaCase kMetaCases[] = {
    {"text", "10 ff 01 04 'note'", {{16, "note"}}, {}, {}, "", "", 0},
    {"empty text", "00 ff 01 00", {{0, ""}}, {}, {}, "", "", 0},
    {"lyric cut at a zero byte", "05 ff 05 05 'La' 00 'la'", {}, {{5, "La"}}, {}, "", "", 0},
    {"marker", "00 ff 06 05 'Verse'", {}, {}, {{0, "Verse"}}, "", "", 0},
    {"two names: the second wins", "00 ff 03 01 'A'  00 ff 03 01 'B'", {}, {}, {}, "B", "", 0},
    {"copyright is kept", "00 ff 02 03 '(c)'", {}, {}, {}, "", "(c)", 0},
    {"a long text with a two-byte length", "00 ff 01 81 00 " "'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
     "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
     "xxxxxxxx'", {{0, std::string(128, 'x')}}, {}, {}, "", "", 0},
    {"events after the end of track are still parsed",
     "00 90 3c 40  20 ff 2f 00  10 ff 05 01 'x'", {}, {{48, "x"}}, {}, "", "", 32},
    {"a second end of track replaces the first", "10 ff 2f 00  10 ff 2f 00", {}, {}, {}, "", "",
     32},
    {"ignored types leave no trace",
     "00 ff 04 01 'i'  00 ff 07 01 'c'  00 ff 20 01 00  00 ff 21 01 00  00 ff 54 05 00 00 00 00 00"
     "  00 ff 59 02 00 00  00 ff 7f 03 00 00 41  00 ff 00 02 00 01",
     {}, {}, {}, "", "", 0},
    {"the skip follows the length field, whatever was read",
     "00 ff 03 03 'A' 00 'B'  00 ff 01 01 'T'", {{0, "T"}}, {}, {}, "A", "", 0},
};

TEST(MetaEvents, TextsNamesAndEnds) {
  for (const MetaCase& c : kMetaCases) {
    SCOPED_TRACE(c.what);
    auto song = LoadTrackEvents(Hex(c.events));
    ASSERT_EQ(song->errorCode, SongError::kNone);
    const Track& track = song->tracks[0];
    EXPECT_EQ(TextsOf(track.texts), c.texts);
    EXPECT_EQ(TextsOf(track.lyrics), c.lyrics);
    EXPECT_EQ(TextsOf(track.markers), c.markers);
    EXPECT_EQ(track.name, c.name);
    EXPECT_EQ(track.copyright, c.copyright);
    EXPECT_EQ(track.endTime, static_cast<uint32_t>(c.endTime));
  }
}

TEST(MetaEvents, TempoAndMeter) {
  struct Case {
    const char* what;
    const char* events;
    double bpm;          // < 0: no tempo entry
    int numerator = -1;  // < 0: no meter entry
    int denominator = 0;
  } const cases[] = {
      {"120 bpm", "00 ff 51 03 07 a1 20", 120.0},
      {"cut, not rounded", "00 ff 51 03 0a 2c 2b", 89.999},
      {"slowest three-byte tempo", "00 ff 51 03 ff ff ff", 3.576},
      {"a one-byte tempo count", "00 ff 51 01 1c", 2142857.142},
      {"a two-byte tempo", "00 ff 51 02 07 a1  00", 30721.966},
      {"six-eight", "00 ff 58 04 06 03 18 08", -1, 6, 8},
      {"dd 32 gives 1", "00 ff 58 04 04 20 18 08", -1, 4, 1},
      {"dd 31 is computed without overflow", "00 ff 58 04 04 1f 18 08", -1, 4, INT32_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto song = LoadTrackEvents(Hex(c.events));
    ASSERT_EQ(song->errorCode, SongError::kNone);
    if (c.bpm >= 0) {
      ASSERT_EQ(song->tempoChanges.size(), 1u);
      EXPECT_EQ(song->tempoChanges[0].bpm, c.bpm);
    } else {
      EXPECT_TRUE(song->tempoChanges.empty());
    }
    if (c.numerator >= 0) {
      ASSERT_EQ(song->meterChanges.size(), 1u);
      EXPECT_EQ(song->meterChanges[0].numerator, c.numerator);
      EXPECT_EQ(song->meterChanges[0].denominator, c.denominator);
    } else {
      EXPECT_TRUE(song->meterChanges.empty());
    }
  }
}

TEST(MetaEvents, BpmIsTheQuotientCutToThreeDecimalsForEveryThreeByteTempo) {
  for (uint32_t us = 28; us <= 0xFFFFFF; ++us) {
    const double expected = static_cast<double>(60000000000ull / us) / 1000.0;
    if (TempoToBpm(us) != expected) {
      FAIL() << us << " us gives " << TempoToBpm(us) << ", expected " << expected;
    }
  }
}

TEST(MetaEvents, TemposTooFastForTheArithmeticSaturate) {
  for (uint32_t us = 0; us < 28; ++us) EXPECT_EQ(TempoToBpm(us), 2147483.647) << us;
  EXPECT_EQ(TempoToBpm(28), 2142857.142);
}

TEST(MetaEvents, MapsAreReportedFromTheFirstTrackOnly) {
  const Bytes conductor = TrackChunk(Hex("00 ff 51 03 07 a1 20  00 ff 58 04 04 02 18 08"));
  const Bytes other = TrackChunk(Hex("00 ff 51 03 0f 42 40  00 ff 58 04 03 02 18 08"));
  auto song = LoadBytes(SmfFile(1, 96, {conductor, other}));
  ASSERT_EQ(song->errorCode, SongError::kNone);
  EXPECT_EQ(song->tempoCount, 1);
  EXPECT_EQ(song->meterCount, 1);
  EXPECT_EQ(song->tempoChanges.size(), 2u);  // later tracks' entries are kept, unreported
  // Tempo only in the second track: nothing is reported.
  song = LoadBytes(SmfFile(1, 96, {TrackChunk(Hex("00 ff 2f 00")), other}));
  EXPECT_EQ(song->tempoCount, 0);
  EXPECT_EQ(song->meterCount, 0);
}

TEST(MetaEvents, ContentCutOffByTheEndOfTheFile) {
  struct Case {
    const char* what;
    const char* events;
    size_t tempos, meters, lyrics;
  } const cases[] = {
      {"tempo bytes missing", "00 ff 51 03 07", 0, 0, 0},
      {"tempo count byte missing", "00 ff 51", 0, 0, 0},
      {"meter bytes missing", "00 ff 58 04 06", 0, 0, 0},
      {"a lyric longer than the file keeps what is there", "00 ff 05 7f 'abc'", 0, 0, 1},
      {"a length field cut off", "00 ff 05 81", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto song = LoadTrackEvents(Hex(c.events));
    ASSERT_EQ(song->errorCode, SongError::kNone);
    EXPECT_EQ(song->tempoChanges.size(), c.tempos);
    EXPECT_EQ(song->meterChanges.size(), c.meters);
    EXPECT_EQ(song->tracks[0].lyrics.size(), c.lyrics);
  }
}

}  // namespace
}  // namespace scorlane::testing
