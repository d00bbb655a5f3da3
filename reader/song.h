// The in-memory form of one Standard MIDI File: plain records in growable lists,
// owned by one `Song` that loads the file whole and parses it at construction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace scorlane {

// One sounding note, paired from a note-on and whatever ended it.
struct NoteEvent {
  uint8_t channel;     // 0-15
  uint32_t noteOn;     // tick of the note-on
  uint32_t noteOff;    // tick at which the note ended
  uint8_t noteNumber;  // key number
  uint8_t velocity;    // note-on velocity
};

// One pitch-bend message.
struct PitchBendEvent {
  uint8_t channel;
  uint32_t time;
  int32_t value;      // ((high * 256 + low) - 16384) / 2
  int32_t bendRange;  // semitones in force for the track when the message was read
};

// One text-like meta event (text, lyric or marker).
struct TextEvent {
  uint32_t time;
  std::string text;  // raw bytes, never holding a zero byte
};

struct TempoChange {
  uint32_t time;
  double bpm;  // quarter notes per minute, cut (not rounded) to three decimals
};

struct MeterChange {
  uint32_t time;
  int32_t numerator;
  int32_t denominator;  // a plain value (4, 8, ...), not its power of two
};

// One track chunk and what was parsed from it.
struct Track {
  // First byte after the chunk's 8-byte header. Points into the Song's buffer and
  // is not owned: a Track (or a copy from Song::GetTrack) must not outlive its Song.
  const uint8_t* data = nullptr;
  int32_t length = 0;  // chunk length as declared
  std::vector<NoteEvent> notes;
  std::vector<PitchBendEvent> pitchBends;
  int32_t noteCount = 0;
  int32_t pitchBendCount = 0;
  uint32_t endTime = 0;   // tick of the end-of-track event; 0 when there is none
  std::string name;       // last track-name event
  std::string copyright;  // last copyright event; kept but not reported
  std::vector<TextEvent> texts;
  std::vector<TextEvent> lyrics;
  std::vector<TextEvent> markers;
};

// Load results. The values are a contract: hosts and tests compare them.
enum class SongError : int {
  kNone = 0,
  kFileSize = 1,       // size unavailable, zero, or above 2^31 - 1; or not a regular file
  kAllocation = 2,     // the file buffer could not be allocated
  kOpen = 3,           // the file could not be opened for reading
  kNotSmf = 4,         // no complete header chunk at the start
  kMissingTrack = 5,   // fewer track chunks than the header declares
};

// Returns the fixed message of a code.
const char* SongErrorMessage(SongError code);

class Song {
 public:
  static constexpr size_t kErrorTextSize = 256;

  // Loads and parses the named file (a zero-terminated narrow string; null fails
  // as kFileSize). Afterwards `errorCode` tells the outcome; after a failure only
  // `errorCode` and `errorText` are meaningful. Throws std::bad_alloc when memory
  // other than the file buffer runs out.
  explicit Song(const char* fileName);

  // Tracks point into the buffer: a copied or moved Song would leave them behind.
  Song(const Song&) = delete;
  Song& operator=(const Song&) = delete;

  // Makes `copy` a copy of track `index` (below tracks.size()): lists and strings
  // are copied, `data` is shared. The copy's storage is reused, so copying one
  // track after another allocates only when a track is larger than any before.
  // Throws std::bad_alloc when the copy cannot be made; `copy` is then valid but
  // unspecified.
  void GetTrack(size_t index, Track& copy) const;

  // Stores the code and its message; returns the code.
  SongError SetError(SongError code);

  std::unique_ptr<uint8_t[]> buffer;
  size_t bufferSize = 0;    // bytes actually read, which may be fewer than allocated
  size_t trackOffset = 0;   // where the search for the next track chunk starts
  int32_t format = 0;
  int32_t trackCount = 0;
  int32_t division = 0;
  std::vector<Track> tracks;
  std::vector<TempoChange> tempoChanges;  // from all tracks, in parse order
  int32_t tempoCount = 0;                 // how many of them are reported: the first track's
  std::vector<MeterChange> meterChanges;
  int32_t meterCount = 0;
  SongError errorCode = SongError::kNone;
  char errorText[kErrorTextSize] = {};

 private:
  void Load(const char* fileName);
  SongError Parse();
  SongError ReadHeader();
  // Finds the next track chunk at `start` or up to seven bytes after it, appends
  // it to `tracks` and moves `trackOffset` past it. Returns false when there is none.
  bool ReadTrackChunk(size_t start);
  void ParseTracks();
  void ParseTrackEvents(Track& track);

  const uint8_t* BufferEnd() const { return buffer.get() + bufferSize; }
};

}  // namespace scorlane
