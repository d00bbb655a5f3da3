// The track event loop: delta times, running status, event lengths, and the
// dispatch of every event to its handler.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "reader/byte_readers.h"
#include "reader/channel_events.h"
#include "reader/meta_events.h"
#include "reader/song.h"
#include "reader/track_parse_state.h"

namespace scorlane {

namespace {

enum StatusByte : uint8_t {
  kNoteOff = 0x80,
  kNoteOn = 0x90,
  kKeyPressure = 0xA0,
  kControlChange = 0xB0,
  kProgramChange = 0xC0,
  kChannelPressure = 0xD0,
  kPitchBend = 0xE0,
  kSystemExclusive = 0xF0,
  kSystemExclusiveEscape = 0xF7,
  kMeta = 0xFF,
};

constexpr uint8_t kControllerMonoMode = 126;  // one byte longer while omni is off

// A note takes at least six bytes of a dense track (a note-on and a note-off of
// three bytes each under running status), so a track's bytes divided by six
// bound its notes closely enough to reserve the list once instead of growing it.
// Capped, so that a huge track of other events cannot reserve more than it needs.
constexpr size_t kMinBytesPerNote = 6;
constexpr size_t kMaxNotesReserved = size_t{1} << 20;

// Where the next event's delta time starts, or kCutOff when the event runs past
// the end of the file's bytes and the track ends here.
constexpr size_t kCutOff = SIZE_MAX;

class TrackEventParser {
 public:
  TrackEventParser(Track& track, const uint8_t* end, MetaTargets meta)
      : track_(track),
        data_(track.data),
        size_(static_cast<size_t>(end - track.data)),
        meta_(meta) {}

  // Walks the events from the track's first byte while the position is below its
  // declared length. The length is not checked between a delta time and its event:
  // the last event may be read from the bytes after the chunk. Only the end of
  // the file's bytes stops a read.
  void Run() {
    if (track_.length > 0) {
      const size_t length = static_cast<size_t>(track_.length);
      track_.notes.reserve(std::min(std::min(length, size_) / kMinBytesPerNote, kMaxNotesReserved));
      size_t position = 0;
      do {
        position = ReadEvent(position);
      } while (position < length && position < size_);
    }
    EndAllNotes(track_, state_);
  }

 private:
  // Reads one delta time and the event after it, starting at `position`.
  size_t ReadEvent(size_t position) {
    uint32_t delta = 0;
    const int deltaBytes = ReadVarLen(data_ + position, data_ + size_, &delta);
    if (deltaBytes == 0) return kCutOff;
    state_.time += delta;
    position += static_cast<size_t>(deltaBytes);
    if (position >= size_) return kCutOff;

    const uint8_t byte = data_[position];
    // A status byte stands at `position`; under running status the event's data
    // starts there, one byte after where its status would stand.
    size_t status = position;
    if (byte >= 0x80) {
      state_.runningStatus = byte;
    } else {
      status = position - 1;
    }
    const uint8_t kind = state_.runningStatus;

    // Running status never repeats a system or meta status, and there is none
    // before the first status byte: such a data byte consumes nothing, and is read
    // as the next delta time. So is an explicit system status other than 0xF0,
    // 0xF7 and 0xFF.
    if (kind < 0x80) return position;
    if (kind >= 0xF0) {
      if (byte < 0x80) return position;
      if (kind == kMeta) return SkipMeta(status);
      if (kind == kSystemExclusive || kind == kSystemExclusiveEscape) return SkipSysEx(status);
      return position;
    }
    return ChannelMessage(status, kind);
  }

  // Handles the channel message whose status stands (or would stand) at `status`.
  size_t ChannelMessage(size_t status, uint8_t kind) {
    const uint8_t type = kind & 0xF0;
    const uint8_t channel = kind & 0x0F;
    // Notes come first: they are nearly all of a song's events.
    if (type == kNoteOn || type == kNoteOff) {
      if (status + 2 >= size_) return kCutOff;
      const uint8_t key = data_[status + 1];
      const uint8_t velocity = data_[status + 2];
      if (type == kNoteOn && velocity != 0) {
        StartNote(track_, state_, channel, key, velocity);
      } else {
        EndNote(track_, state_, key);  // a note-on of velocity 0 ends the note
      }
      return status + 3;
    }
    // Data bytes of the other channel messages, by the status's high four bits.
    static constexpr uint8_t kDataBytes[8] = {2, 2, 2, 2, 1, 1, 2, 0};
    const size_t dataBytes = kDataBytes[(kind >> 4) & 0x07];
    if (status + dataBytes >= size_) return kCutOff;
    const uint8_t d1 = data_[status + 1];
    const uint8_t d2 = dataBytes == 2 ? data_[status + 2] : 0;
    switch (type) {
      case kControlChange: {
        // The omni flag in force before this message decides its length.
        const bool longer = d1 == kControllerMonoMode && state_.omniOff;
        HandleControlChange(state_, d1, d2);
        return status + 3 + (longer ? 1 : 0);
      }
      case kPitchBend:
        HandlePitchBend(track_, state_, channel, d1, d2);
        break;
      default:  // key pressure, program change, channel pressure: skipped
        break;
    }
    return status + 1 + dataBytes;
  }

  // Skips a system-exclusive event by its length field after the status byte.
  size_t SkipSysEx(size_t status) {
    return SkipBody(status + 1);
  }

  // Hands a meta event to its handler, then skips it by its own length field,
  // whatever the handler read.
  size_t SkipMeta(size_t status) {
    if (status + 1 >= size_) return kCutOff;
    const uint8_t type = data_[status + 1];
    const size_t next = SkipBody(status + 2);
    if (next == kCutOff) return kCutOff;
    HandleMetaEvent(data_ + status, data_ + size_, type, state_.time, meta_);
    return next;
  }

  // Returns the position after a length field at `lengthField` and the bytes it counts.
  size_t SkipBody(size_t lengthField) {
    if (lengthField >= size_) return kCutOff;
    uint32_t length = 0;
    const int lengthBytes = ReadVarLen(data_ + lengthField, data_ + size_, &length);
    if (lengthBytes == 0) return kCutOff;
    return lengthField + static_cast<size_t>(lengthBytes) + length;
  }

  Track& track_;
  const uint8_t* data_;
  size_t size_;  // bytes from data_ to the end of the file
  MetaTargets meta_;
  TrackParseState state_;
};

}  // namespace

void Song::ParseTrackEvents(Track& track) {
  TrackEventParser(track, BufferEnd(), MetaTargets{track, tempoChanges, meterChanges}).Run();
}

}  // namespace scorlane
