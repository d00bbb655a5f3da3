// Builds Standard MIDI File bytes for tests: hex dumps, variable-length numbers,
// chunks and whole files, and writes them to temporary files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "reader/song.h"

namespace scorlane::testing {

using Bytes = std::vector<uint8_t>;

// Parses hex byte pairs; whitespace separates them, '#' starts a comment to the
// end of the line, and 'text' in single quotes stands for its ASCII bytes.
Bytes Hex(const std::string& text);

// The variable-length encoding of `value` (at most four bytes).
Bytes VarLen(uint32_t value);

// Concatenation.
Bytes operator+(Bytes a, const Bytes& b);

// "MTrk", the 4-byte big-endian length of `events`, then the events.
Bytes TrackChunk(const Bytes& events);

// "MTrk" with a declared length that need not match the events that follow.
Bytes TrackChunkWithLength(uint32_t length, const Bytes& events);

// "MThd" with length 6, the format, the number of `tracks`, the division, then
// the track chunks as given (already wrapped with TrackChunk).
Bytes SmfFile(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks);

// A header chunk declaring `trackCount` tracks, without any track.
Bytes Header(uint16_t format, uint16_t trackCount, uint16_t division);

// A directory removed with everything in it when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes `bytes` to the file `name` in the directory; returns its path.
  std::string Write(const std::string& name, const Bytes& bytes) const;

 private:
  std::string path_;
};

// Writes `bytes` to a temporary file and loads it as a Song.
std::unique_ptr<Song> LoadBytes(const Bytes& bytes);

// A one-track file at division 96 holding `events` (delta times included).
std::unique_ptr<Song> LoadTrackEvents(const Bytes& events);

}  // namespace scorlane::testing
