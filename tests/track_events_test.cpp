// The track event loop: delta times, running status, event lengths, note pairing.
#include <gtest/gtest.h>

#include <vector>

#include "reader/song.h"
#include "tests/test_bytes.h"

namespace scorlane::testing {
namespace {

struct Note {
  int channel, on, off, key, velocity;
  bool operator==(const Note& o) const {
    return channel == o.channel && on == o.on && off == o.off && key == o.key &&
           velocity == o.velocity;
  }
};

std::ostream& operator<<(std::ostream& out, const Note& n) {
  return out << "{ch " << n.channel << ", " << n.on << "-" << n.off << ", key " << n.key
             << ", vel " << n.velocity << "}";
}

std::vector<Note> NotesOf(const Track& track) {
  std::vector<Note> notes;
  for (const NoteEvent& e : track.notes) {
    notes.push_back({e.channel, static_cast<int>(e.noteOn), static_cast<int>(e.noteOff),
                     e.noteNumber, e.velocity});
  }
  return notes;
}

struct EventCase {
  const char* what;
  const char* events;  // the track's bytes, delta times included
  std::vector<Note> notes;
};

const EventCase kEventCases[] = {
    {"note ended by a velocity-0 note-on under running status", "00 90 3c 40  10 3c 00",
     {{0, 0, 16, 60, 64}}},
    {"note-off ends a note", "00 93 3c 40  20 83 3c 7f", {{3, 0, 32, 60, 64}}},
    {"status 0x99 is channel 9", "00 99 24 64  10 89 24 00", {{9, 0, 16, 36, 100}}},
    {"re-struck key ends the previous note", "00 90 3c 40  10 90 3c 50  10 80 3c 00",
     {{0, 0, 16, 60, 64}, {0, 16, 32, 60, 80}}},
    {"a note-off on another channel ends the note", "00 91 3c 40  08 82 3c 00",
     {{1, 0, 8, 60, 64}}},
    {"a note-off for a silent key changes nothing", "00 90 3c 40  04 80 3e 00  04 80 3c 00",
     {{0, 0, 8, 60, 64}}},
    {"a key still sounding ends at the time after the last delta",
     "00 90 3c 40  10 90 40 40  20 ff 2f 00", {{0, 0, 48, 60, 64}, {0, 16, 48, 64, 64}}},
    {"running status keeps the last status byte's channel", "00 95 3c 40  81 00 3e 40",
     {{5, 0, 128, 60, 64}, {5, 128, 128, 62, 64}}},
    {"program change takes two bytes, also under running status",
     "00 c0 05  00 06  00 90 3c 40  10 3c 00", {{0, 0, 16, 60, 64}}},
    {"channel pressure takes two bytes", "00 d0 05  00 90 3c 40", {{0, 0, 0, 60, 64}}},
    {"key pressure takes three bytes", "00 a0 3c 05  00 90 3c 40", {{0, 0, 0, 60, 64}}},
    {"data bytes before any status are read as delta times", "00 3c 40 00 90 3c 40",
     {{0, 124, 124, 60, 64}}},
    {"a system status is not consumed: it starts the next delta time",
     "00 f8 00 90 3c 40", {{0, 15360, 15360, 60, 64}}},
    {"running status never repeats a meta status", "00 ff 01 00  3c 40 00 90 3c 40",
     {{0, 124, 124, 60, 64}}},
    {"running status never repeats a system exclusive status",
     "00 f0 01 f7  10 3c 40 00 90 3c 40", {{0, 140, 140, 60, 64}}},
    {"a four-byte delta with every top bit set counts five bytes",
     "80 80 80 80 ee 90 3c 40", {{0, 0, 0, 60, 64}}},
    {"a key byte of 128 or more is not a note", "00 90 80 40  00 80 80 00  00 90 3c 40",
     {{0, 0, 0, 60, 64}}},
    {"an event cut off by the end of the file is dropped", "00 90 3c 40  10 90 3e",
     {{0, 0, 16, 60, 64}}},
    {"a delta time cut off by the end of the file is not added", "00 90 3c 40  81",
     {{0, 0, 0, 60, 64}}},
};

TEST(TrackEvents, Cases) {
  for (const EventCase& c : kEventCases) {
    SCOPED_TRACE(c.what);
    auto song = LoadTrackEvents(Hex(c.events));
    ASSERT_EQ(song->errorCode, SongError::kNone);
    EXPECT_EQ(NotesOf(song->tracks[0]), c.notes);
  }
}

TEST(TrackEvents, SystemExclusiveWithATwoByteLength) {
  // 200 bytes of data, some with the top bit set, which must not be taken for events.
  Bytes sysex = Hex("00 f0") + VarLen(200);
  for (int i = 0; i < 200; ++i) sysex.push_back(i % 2 ? 0x90 : 0x3c);
  auto song = LoadTrackEvents(sysex + Hex("00 90 3c 40  10 80 3c 00"));
  EXPECT_EQ(NotesOf(song->tracks[0]), (std::vector<Note>{{0, 0, 16, 60, 64}}));
}

TEST(TrackEvents, LengthZeroHoldsNoEvents) {
  auto song = LoadBytes(Header(0, 1, 96) + TrackChunkWithLength(0, Hex("00 90 3c 40")));
  ASSERT_EQ(song->errorCode, SongError::kNone);
  EXPECT_TRUE(song->tracks[0].notes.empty());
  EXPECT_EQ(song->tracks[0].noteCount, 0);
}

TEST(TrackEvents, TheLastEventIsReadPastTheDeclaredLength) {
  // Length 5 ends after the delta 05: the event after it is read from the next
  // chunk's header, 'M' (0x4D) and 'T' (0x54) as running-status note data.
  const Bytes file = Header(1, 2, 96) + TrackChunkWithLength(5, Hex("00 90 3c 40 05")) +
                     TrackChunk(Hex("00 ff 2f 00"));
  auto song = LoadBytes(file);
  ASSERT_EQ(song->errorCode, SongError::kNone);
  EXPECT_EQ(NotesOf(song->tracks[0]),
            (std::vector<Note>{{0, 0, 5, 60, 64}, {0, 5, 5, 0x4D, 0x54}}));
  EXPECT_EQ(song->tracks[0].noteCount, 2);
}

TEST(TrackEvents, EachTrackStartsAfresh) {
  // Running status and sounding notes do not carry into the next track.
  const Bytes file = SmfFile(1, 96, {TrackChunk(Hex("00 91 3c 40")),
                                     TrackChunk(Hex("00 3c 40 00 80 3c 00"))});
  auto song = LoadBytes(file);
  ASSERT_EQ(song->errorCode, SongError::kNone);
  EXPECT_EQ(NotesOf(song->tracks[0]), (std::vector<Note>{{1, 0, 0, 60, 64}}));
  EXPECT_TRUE(song->tracks[1].notes.empty());
}

}  // namespace
}  // namespace scorlane::testing
