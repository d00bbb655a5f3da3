#include "reader/channel_events.h"

namespace scorlane {

namespace {

enum Controller : uint8_t {
  kDataEntry = 6,
  kDataEntryLow = 38,
  kParameterNumberLsb = 100,
  kParameterNumberMsb = 101,
  kOmniOff = 124,
  kOmniOn = 125,
};

constexpr int32_t kBendCenter = 16384;

void CloseNote(Track& track, TrackParseState& state, uint8_t key) {
  int32_t& open = state.openNote[key];
  if (open == TrackParseState::kNoNote) return;
  track.notes[static_cast<size_t>(open)].noteOff = state.time;
  open = TrackParseState::kNoNote;
}

}  // namespace

void StartNote(Track& track, TrackParseState& state, uint8_t channel, uint8_t key,
               uint8_t velocity) {
  if (key >= TrackParseState::kKeyCount) return;
  CloseNote(track, state, key);
  // noteOff is set when the note ends; every open note ends by the end of the track.
  track.notes.push_back(NoteEvent{channel, state.time, 0, key, velocity});
  state.openNote[key] = state.noteCounter++;
}

void EndNote(Track& track, TrackParseState& state, uint8_t key) {
  if (key >= TrackParseState::kKeyCount) return;
  CloseNote(track, state, key);
}

void EndAllNotes(Track& track, TrackParseState& state) {
  for (int key = 0; key < TrackParseState::kKeyCount; ++key) {
    CloseNote(track, state, static_cast<uint8_t>(key));
  }
}

void HandlePitchBend(Track& track, const TrackParseState& state, uint8_t channel, uint8_t low,
                     uint8_t high) {
  // The high byte is shifted by eight bits, not seven, and the sum halved: bends
  // span -8192 to 8127, and stored songs depend on exactly these values.
  const int32_t value = ((high * 256 + low) - kBendCenter) / 2;
  track.pitchBends.push_back(PitchBendEvent{channel, state.time, value, state.bendRange});
}

void HandleControlChange(TrackParseState& state, uint8_t controller, uint8_t value) {
  switch (controller) {
    case kDataEntry:
    case kDataEntryLow:
      // Data entry sets the bend range, in whole semitones, when either
      // parameter-number byte is 0: both start at 0, so a data entry before any
      // parameter number sets it too.
      if (state.rpnLsb == 0 || state.rpnMsb == 0) state.bendRange = value;
      break;
    case kParameterNumberLsb:
      state.rpnLsb = value;
      break;
    case kParameterNumberMsb:
      state.rpnMsb = value;
      break;
    case kOmniOff:
      state.omniOff = true;
      break;
    case kOmniOn:
      state.omniOff = false;
      break;
    default:
      break;
  }
}

}  // namespace scorlane
