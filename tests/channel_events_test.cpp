// Pitch bends and the controllers that change how they are reported.
#include <gtest/gtest.h>

#include <vector>

#include "reader/song.h"
#include "tests/test_bytes.h"

namespace scorlane::testing {
namespace {

struct Bend {
  int channel, time, value, range;
  bool operator==(const Bend& o) const {
    return channel == o.channel && time == o.time && value == o.value && range == o.range;
  }
};

std::ostream& operator<<(std::ostream& out, const Bend& b) {
  return out << "{ch " << b.channel << ", t " << b.time << ", value " << b.value << ", range "
             << b.range << "}";
}

std::vector<Bend> BendsOf(const Track& track) {
  std::vector<Bend> bends;
  for (const PitchBendEvent& e : track.pitchBends) {
    bends.push_back({e.channel, static_cast<int>(e.time), e.value, e.bendRange});
  }
  return bends;
}

struct BendCase {
  const char* what;
  const char* events;
  std::vector<Bend> bends;
};

const BendCase kBendCases[] = {
    {"centre", "00 e0 00 40", {{0, 0, 0, 2}}},
    {"lowest", "00 e0 00 00", {{0, 0, -8192, 2}}},
    {"highest data bytes", "00 e0 7f 7f", {{0, 0, 8127, 2}}},
    {"the high byte is shifted by eight bits", "00 e0 00 7f", {{0, 0, 8064, 2}}},
    {"the halving truncates toward zero", "00 e0 01 00", {{0, 0, -8191, 2}}},
    {"data bytes of 128 or more go into the formula as they are", "00 e0 80 ff",
     {{0, 0, (0xff * 256 + 0x80 - 16384) / 2, 2}}},
    {"channel of the status byte, also under running status", "00 e5 00 40  10 00 50",
     {{5, 0, 0, 2}, {5, 16, 2048, 2}}},
    {"rpn 0/0 then data entry 12; a later controller 38 of 0 sets 0",
     "00 b0 65 00  00 64 00  00 06 0c  00 e0 00 50  00 b0 26 00  00 e0 00 50",
     {{0, 0, 2048, 12}, {0, 0, 2048, 0}}},
    {"one parameter-number byte 0 is enough", "00 b0 65 00  00 64 01  00 06 05  00 e0 00 40",
     {{0, 0, 0, 5}}},
    {"both parameter-number bytes non-zero: range unchanged",
     "00 b0 65 01  00 64 01  00 06 05  00 e0 00 40", {{0, 0, 0, 2}}},
    {"null parameter number 127/127: range unchanged",
     "00 b0 65 7f  00 64 7f  00 06 05  00 e0 00 40", {{0, 0, 0, 2}}},
    {"data entry before any parameter number sets the range", "00 b0 06 18  00 e0 00 40",
     {{0, 0, 0, 24}}},
    {"controllers on other channels count too: state is per track",
     "00 b3 06 07  00 e9 00 40", {{9, 0, 0, 7}}},
    {"controller 121 resets nothing", "00 b0 06 0c  00 b0 79 00  00 e0 00 40", {{0, 0, 0, 12}}},
    {"a record keeps the range of its own moment",
     "00 e0 00 60  00 b0 06 0c  00 e0 00 60", {{0, 0, 4096, 2}, {0, 0, 4096, 12}}},
    // After controller 124 a controller-126 message takes four bytes: the 0x70
    // after it is skipped, so "10 e0 00 40" is the next event.
    {"controller 126 takes four bytes while omni is off",
     "00 b0 7c 00  00 b0 7e 01 70  10 e0 00 40", {{0, 16, 0, 2}}},
    // After controller 125 it takes three again: the 0x10 is the next delta.
    {"controller 126 takes three bytes once omni is on again",
     "00 b0 7c 00  00 b0 7d 00  00 b0 7e 01  10 e0 00 40", {{0, 16, 0, 2}}},
    {"controller 126 takes three bytes before any controller 124",
     "00 b0 7e 01  10 e0 00 40", {{0, 16, 0, 2}}},
    {"controller 121 keeps omni off", "00 b0 7c 00  00 b0 79 00  00 b0 7e 01 70  10 e0 00 40",
     {{0, 16, 0, 2}}},
};

TEST(ChannelEvents, BendsAndControllers) {
  for (const BendCase& c : kBendCases) {
    SCOPED_TRACE(c.what);
    auto song = LoadTrackEvents(Hex(c.events));
    ASSERT_EQ(song->errorCode, SongError::kNone);
    EXPECT_EQ(BendsOf(song->tracks[0]), c.bends);
    EXPECT_EQ(song->tracks[0].pitchBendCount, static_cast<int32_t>(c.bends.size()));
  }
}

TEST(ChannelEvents, ControllerStateStartsAfreshInEveryTrack) {
  const Bytes file = SmfFile(1, 96, {TrackChunk(Hex("00 b0 06 0c  00 b0 7c 00  00 e0 00 40")),
                                     TrackChunk(Hex("00 b0 7e 01  10 e0 00 40"))});
  auto song = LoadBytes(file);
  ASSERT_EQ(song->errorCode, SongError::kNone);
  EXPECT_EQ(BendsOf(song->tracks[0]), (std::vector<Bend>{{0, 0, 0, 12}}));
  // Omni is on again and the range back at 2: the controller-126 message takes three bytes.
  EXPECT_EQ(BendsOf(song->tracks[1]), (std::vector<Bend>{{0, 16, 0, 2}}));
}

}  // namespace
}  // namespace scorlane::testing
