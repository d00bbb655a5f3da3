// Loading: file errors, the header and the directory of track chunks.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "reader/file_system.h"
#include "reader/song.h"
#include "tests/test_bytes.h"

namespace scorlane::testing {
namespace {

const Bytes kEndOfTrack = Hex("00 ff 2f 00");

TEST(SongLoad, FileErrors) {
  TempDir dir;
  const std::string empty = dir.Write("empty.mid", {});
#ifndef _WIN32
  const std::string fifo = dir.path() + "/fifo.mid";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
#endif
  struct Case {
    const char* what;
    const char* name;
    SongError code;
  } const cases[] = {
      {"no name", nullptr, SongError::kFileSize},
      {"missing", "no-such-folder/song.mid", SongError::kFileSize},
      {"empty", empty.c_str(), SongError::kFileSize},
      {"directory", dir.path().c_str(), SongError::kFileSize},
#ifdef _WIN32
      {"device", "NUL", SongError::kFileSize},
#else
      {"fifo, which must not block", fifo.c_str(), SongError::kFileSize},
      {"device", "/dev/zero", SongError::kFileSize},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Song song(c.name);
    EXPECT_EQ(song.errorCode, c.code);
    EXPECT_STREQ(song.errorText, "Can't get size of file.");
  }
}

#ifndef _WIN32
TEST(SongLoad, UnreadableFileFailsTheSizeQuery) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  const std::string file = dir.Write("locked.mid", SmfFile(0, 96, {}));
  ASSERT_EQ(chmod(file.c_str(), 0), 0);
  EXPECT_EQ(Song(file.c_str()).errorCode, SongError::kFileSize);
}
#endif

TEST(SongLoad, FileAbove2GiBIsRefusedNotTruncated) {
  TempDir dir;
  const std::string file = dir.Write("huge.mid", SmfFile(0, 96, {TrackChunk(kEndOfTrack)}));
  // Sparse: 2^31 bytes take no disk space. The low 32 bits would be a valid size.
  std::filesystem::resize_file(file, uint64_t{1} << 31);
  EXPECT_EQ(Song(file.c_str()).errorCode, SongError::kFileSize);
  std::filesystem::resize_file(file, (uint64_t{1} << 32) + 40);
  EXPECT_EQ(Song(file.c_str()).errorCode, SongError::kFileSize);
}

TEST(SongLoad, FileNames) {
  // A UTF-8 name (Japanese here) and a name that is not UTF-8 (Latin-1 "café",
  // which Windows opens as the ANSI bytes it is) both load.
  TempDir dir;
  const Bytes song = SmfFile(0, 96, {TrackChunk(Hex("00 90 3c 40 10 80 3c 00") + kEndOfTrack)});
  const std::string japanese = dir.path() + "/\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.mid";
  {
    std::ofstream out(std::filesystem::u8path(japanese), std::ios::binary);
    out.write(reinterpret_cast<const char*>(song.data()), static_cast<std::streamsize>(song.size()));
  }
  const Song fromUtf8(japanese.c_str());
  EXPECT_EQ(fromUtf8.errorCode, SongError::kNone);
  EXPECT_EQ(fromUtf8.tracks.size(), 1u);

  const std::string latin1 = dir.path() + "/caf\xe9.mid";
  FILE* file = std::fopen(latin1.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(song.data(), 1, song.size(), file);
  std::fclose(file);
  const Song fromAnsi(latin1.c_str());
  EXPECT_EQ(fromAnsi.errorCode, SongError::kNone);
  std::remove(latin1.c_str());
}

TEST(SongLoad, HeaderErrors) {
  struct Case {
    const char* what;
    Bytes bytes;
    SongError code;
  } const cases[] = {
      {"not a MIDI file", Hex("'RIFF' 00 00 00 06 00 00 00 00 00 60"), SongError::kNotSmf},
      {"MTh and another byte", Hex("'MThx' 00 00 00 06 00 00 00 00 00 60"), SongError::kNotSmf},
      {"shorter than the tag", Hex("'MTh'"), SongError::kNotSmf},
      {"header cut short", Hex("'MThd' 00 00 00 06 00 00 00"), SongError::kNotSmf},
      {"header without division", Hex("'MThd' 00 00 00 06 00 00 00 00 00"), SongError::kNotSmf},
      {"complete header, no tracks", Header(1, 0, 480), SongError::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LoadBytes(c.bytes)->errorCode, c.code);
  }
}

TEST(SongLoad, MessagesFollowTheCode) {
  auto song = LoadBytes(Hex("'RIFF'"));
  EXPECT_EQ(song->errorCode, SongError::kNotSmf);
  EXPECT_STREQ(song->errorText, "This file is not a SMF file.");
  song = LoadBytes(Header(1, 1, 96));
  EXPECT_STREQ(song->errorText, "This file is invalid SMF file.");
  song = LoadBytes(Header(1, 0, 96));
  EXPECT_STREQ(song->errorText, "");
}

TEST(SongLoad, HeaderFields) {
  auto song = LoadBytes(SmfFile(1, 0x01E0, {TrackChunk(kEndOfTrack), TrackChunk(kEndOfTrack)}));
  ASSERT_EQ(song->errorCode, SongError::kNone);
  EXPECT_EQ(song->format, 1);
  EXPECT_EQ(song->trackCount, 2);
  EXPECT_EQ(song->division, 480);
  ASSERT_EQ(song->tracks.size(), 2u);
  EXPECT_EQ(song->tracks[0].length, 4);
  // A time-code division is kept as the unsigned number it is.
  EXPECT_EQ(LoadBytes(SmfFile(0, 0xE728, {}))->division, 0xE728);
}

TEST(SongLoad, TrackSearchStartsAfterTheDeclaredHeaderLength) {
  // Header length 8: two extra bytes "MT" that must not be taken for a chunk.
  const Bytes file = Hex("'MThd' 00 00 00 08 00 00 00 01 00 60 'MT'") +
                     TrackChunk(Hex("00 90 3c 40 10 80 3c 00") + kEndOfTrack);
  auto song = LoadBytes(file);
  ASSERT_EQ(song->errorCode, SongError::kNone);
  EXPECT_EQ(song->tracks[0].notes.size(), 1u);
}

TEST(SongLoad, ChunkDirectory) {
  const Bytes track = TrackChunk(Hex("00 90 3c 40 10 80 3c 00") + kEndOfTrack);
  const Bytes otherChunk = Hex("'XFIH' 00 00 00 02 00 00");
  struct Case {
    const char* what;
    Bytes file;
    SongError code;
    int trackCount;
  } const cases[] = {
      {"one junk byte", Header(1, 2, 96) + track + Hex("00") + track, SongError::kNone, 2},
      {"seven junk bytes", Header(1, 2, 96) + track + Hex("01 02 03 04 05 06 07") + track,
       SongError::kNone, 2},
      {"eight junk bytes", Header(1, 2, 96) + track + Hex("01 02 03 04 05 06 07 08") + track,
       SongError::kMissingTrack, 1},
      {"junk before the first track", Header(0, 1, 96) + Hex("00 00 00") + track,
       SongError::kNone, 1},
      {"another chunk type between tracks", Header(1, 2, 96) + track + otherChunk + track,
       SongError::kMissingTrack, 1},
      {"more tracks declared than present", Header(1, 3, 96) + track + track,
       SongError::kMissingTrack, 2},
      {"65535 tracks declared in a tiny file", Header(1, 65535, 96) + track,
       SongError::kMissingTrack, 1},
      {"a tag cut off by the end of the file", Header(1, 2, 96) + track + Hex("'MTr'"),
       SongError::kMissingTrack, 1},
      {"a chunk header without its length", Header(1, 1, 96) + Hex("'MTrk' 00 00"),
       SongError::kMissingTrack, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto song = LoadBytes(c.file);
    EXPECT_EQ(song->errorCode, c.code);
    EXPECT_EQ(song->trackCount, c.trackCount);
    EXPECT_EQ(song->tracks.size(), static_cast<size_t>(c.trackCount));
  }
}

TEST(SongLoad, ChunkLengthPastTheEndKeepsWhatIsThere) {
  // Declared 1000 bytes, 12 present: the notes in them are read, the cut-off
  // tail ends the track.
  const Bytes events = Hex("00 90 3c 40 10 80 3c 00 08 90 3e");
  auto song = LoadBytes(Header(0, 1, 96) + TrackChunkWithLength(1000, events));
  ASSERT_EQ(song->errorCode, SongError::kNone);
  ASSERT_EQ(song->tracks[0].notes.size(), 1u);
  EXPECT_EQ(song->tracks[0].notes[0].noteOff, 16u);
  // With a second track declared there is nothing left to find.
  song = LoadBytes(Header(1, 2, 96) + TrackChunkWithLength(1000, events));
  EXPECT_EQ(song->errorCode, SongError::kMissingTrack);
  EXPECT_EQ(song->trackCount, 1);
}

TEST(SongLoad, NegativeChunkLengthNeverSearchesBackwards) {
  const Bytes notes = Hex("00 90 3c 40 10 80 3c 00") + kEndOfTrack;
  // 0xFFFFFFF8 is -8: going by it, the next search would find this same chunk
  // again. It holds no events, and the search goes on right after its header.
  auto song = LoadBytes(Header(1, 2, 96) + TrackChunkWithLength(0xFFFFFFF8, {}) +
                        TrackChunk(notes));
  ASSERT_EQ(song->errorCode, SongError::kNone);
  EXPECT_EQ(song->tracks[0].length, -8);
  EXPECT_TRUE(song->tracks[0].notes.empty());
  EXPECT_EQ(song->tracks[1].notes.size(), 1u);
}

TEST(FileSystem, ReadsOnlyTheBytesThatAreThere) {
  // A file that shrank after its size was taken: the read reports what it got.
  TempDir dir;
  const std::string file = dir.Write("short.mid", Hex("01 02 03"));
  uint8_t buffer[16] = {};
  EXPECT_EQ(QueryFileSize(file.c_str()), 3);
  EXPECT_EQ(ReadWholeFile(file.c_str(), buffer, sizeof buffer), 3);
  EXPECT_EQ(ReadWholeFile((dir.path() + "/missing").c_str(), buffer, sizeof buffer), -1);
  EXPECT_EQ(ReadWholeFile(dir.path().c_str(), buffer, sizeof buffer), -1);
}

TEST(SongLoad, GetTrackCopiesListsAndSharesData) {
  auto song = LoadBytes(SmfFile(0, 96, {TrackChunk(Hex("00 90 3c 40 10 80 3c 00") + kEndOfTrack)}));
  Track copy;
  song->GetTrack(0, copy);
  EXPECT_EQ(copy.data, song->tracks[0].data);
  ASSERT_EQ(copy.notes.size(), 1u);
  copy.notes.clear();
  EXPECT_EQ(song->tracks[0].notes.size(), 1u);
}

}  // namespace
}  // namespace scorlane::testing
