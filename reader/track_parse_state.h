// What the event parser knows while it walks one track. Made fresh for every
// track: nothing carries over from one track to the next.
#pragma once

#include <cstdint>

namespace scorlane {

struct TrackParseState {
  static constexpr int kKeyCount = 128;
  static constexpr int32_t kNoNote = -1;
  static constexpr int32_t kDefaultBendRange = 2;

  uint32_t time = 0;          // accumulated ticks; wraps modulo 2^32
  uint8_t runningStatus = 0;  // last status byte seen in the track; 0 before any
  // Index in the track's notes of the note still sounding on each key, or kNoNote.
  // One entry per key for the whole track: the channel plays no part in pairing.
  int32_t openNote[kKeyCount];
  int32_t noteCounter = 0;
  int32_t bendRange = kDefaultBendRange;  // semitones
  int32_t rpnLsb = 0;                     // last controller 100 value
  int32_t rpnMsb = 0;                     // last controller 101 value
  bool omniOff = false;                   // set by controller 124, cleared by 125

  TrackParseState() {
    for (int32_t& entry : openNote) entry = kNoNote;
  }
};

}  // namespace scorlane
