#include "reader/song.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "reader/byte_readers.h"
#include "reader/file_system.h"

namespace scorlane {

namespace {

constexpr char kHeaderTag[] = "MThd";
constexpr char kTrackTag[] = "MTrk";
constexpr size_t kTagSize = 4;
constexpr size_t kChunkHeaderSize = 8;  // tag and 4-byte length
constexpr size_t kHeaderSize = 14;      // chunk header and the 6 bytes of format, tracks, division
// A track chunk's tag is looked for at the expected offset and up to seven bytes
// after it, so that a few stray bytes between chunks do not lose the track.
constexpr size_t kTrackSearchSpan = 8;

uint32_t BigEndianAt(const uint8_t* p, int count) {
  uint32_t value = 0;
  ReadBigEndian(p, p + count, count, &value);
  return value;
}

}  // namespace

const char* SongErrorMessage(SongError code) {
  switch (code) {
    case SongError::kNone: return "";
    case SongError::kFileSize: return "Can't get size of file.";
    case SongError::kAllocation: return "Failed to allocate memory. ( data load )";
    case SongError::kOpen: return "Can't open file.";
    case SongError::kNotSmf: return "This file is not a SMF file.";
    case SongError::kMissingTrack: return "This file is invalid SMF file.";
  }
  return "";
}

Song::Song(const char* fileName) { Load(fileName); }

SongError Song::SetError(SongError code) {
  errorCode = code;
  std::snprintf(errorText, kErrorTextSize, "%s", SongErrorMessage(code));
  return code;
}

void Song::Load(const char* fileName) {
  if (fileName == nullptr) {
    SetError(SongError::kFileSize);
    return;
  }
  // Sizes are signed 32-bit counts: a larger file is refused rather than
  // loaded from the low part of its size.
  const int64_t size = QueryFileSize(fileName);
  if (size <= 0 || size > INT32_MAX) {
    SetError(SongError::kFileSize);
    return;
  }
  buffer.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
  if (!buffer) {
    SetError(SongError::kAllocation);
    return;
  }
  const int64_t bytesRead = ReadWholeFile(fileName, buffer.get(), static_cast<size_t>(size));
  if (bytesRead < 0) {
    SetError(SongError::kOpen);
    return;
  }
  // Only what was read is parsed: a file that shrank since its size was taken
  // leaves the rest of the buffer unread.
  bufferSize = static_cast<size_t>(bytesRead);
  SetError(Parse());
}

SongError Song::Parse() {
  tempoChanges.clear();
  meterChanges.clear();
  tracks.clear();
  tempoCount = 0;
  meterCount = 0;
  trackCount = 0;

  const SongError header = ReadHeader();
  if (header != SongError::kNone) return header;

  tracks.reserve(static_cast<size_t>(trackCount) <= bufferSize / kChunkHeaderSize
                     ? static_cast<size_t>(trackCount)
                     : bufferSize / kChunkHeaderSize);
  for (int32_t i = 0; i < trackCount; ++i) {
    if (!ReadTrackChunk(trackOffset)) {
      trackCount = i;
      return SongError::kMissingTrack;
    }
  }
  ParseTracks();
  return SongError::kNone;
}

SongError Song::ReadHeader() {
  const uint8_t* p = buffer.get();
  // A file too short to hold the whole header is not a MIDI file we can read.
  if (bufferSize < kHeaderSize || std::memcmp(p, kHeaderTag, kTagSize) != 0) {
    return SongError::kNotSmf;
  }
  format = static_cast<int32_t>(BigEndianAt(p + 8, 2));
  trackCount = static_cast<int32_t>(BigEndianAt(p + 10, 2));
  division = static_cast<int32_t>(BigEndianAt(p + 12, 2));
  // The first track is looked for right after the header chunk as its own length
  // field declares it, whatever that length is.
  const uint64_t afterHeader = uint64_t{BigEndianAt(p + 4, 4)} + kChunkHeaderSize;
  trackOffset = afterHeader < bufferSize ? static_cast<size_t>(afterHeader) : bufferSize;
  return SongError::kNone;
}

bool Song::ReadTrackChunk(size_t start) {
  const uint8_t* p = buffer.get();
  for (size_t at = start; at < start + kTrackSearchSpan; ++at) {
    if (at + kChunkHeaderSize > bufferSize) return false;
    if (std::memcmp(p + at, kTrackTag, kTagSize) != 0) continue;
    const int32_t length = static_cast<int32_t>(BigEndianAt(p + at + kTagSize, 4));
    Track track;
    track.data = p + at + kChunkHeaderSize;
    track.length = length;
    tracks.push_back(std::move(track));
    // A negative length would send the next search backwards, to chunks already
    // read: the search goes on right after this chunk's header instead.
    const uint64_t next =
        uint64_t{at} + kChunkHeaderSize + (length > 0 ? static_cast<uint64_t>(length) : 0);
    trackOffset = next < bufferSize ? static_cast<size_t>(next) : bufferSize;
    return true;
  }
  return false;
}

void Song::ParseTracks() {
  for (size_t i = 0; i < tracks.size(); ++i) {
    Track& track = tracks[i];
    ParseTrackEvents(track);
    track.noteCount = static_cast<int32_t>(track.notes.size());
    track.pitchBendCount = static_cast<int32_t>(track.pitchBends.size());
    // The tempo and meter maps are the first track's: in a format-1 file that is
    // the conductor track. Later tracks' entries stay in the lists, unreported.
    if (i == 0) {
      tempoCount = static_cast<int32_t>(tempoChanges.size());
      meterCount = static_cast<int32_t>(meterChanges.size());
    }
  }
}

void Song::GetTrack(size_t index, Track& copy) const { copy = tracks[index]; }

}  // namespace scorlane
