// Handlers for the channel messages that leave a trace: notes, pitch bends and
// the controllers that change how later messages are read.
#pragma once

#include <cstdint>

#include "reader/song.h"
#include "reader/track_parse_state.h"

namespace scorlane {

// Note-on with a velocity above 0. A key that is still sounding is ended first,
// whatever channel struck it. Keys of 128 or more are not notes and are ignored.
void StartNote(Track& track, TrackParseState& state, uint8_t channel, uint8_t key,
               uint8_t velocity);

// Note-off, or note-on with velocity 0: ends the note sounding on `key`, if any.
void EndNote(Track& track, TrackParseState& state, uint8_t key);

// Ends every note still sounding at the state's current time.
void EndAllNotes(Track& track, TrackParseState& state);

// Appends a PitchBendEvent with the bend range in force now.
void HandlePitchBend(Track& track, const TrackParseState& state, uint8_t channel, uint8_t low,
                     uint8_t high);

// Tracks the controllers that set the bend range and the omni flag.
void HandleControlChange(TrackParseState& state, uint8_t controller, uint8_t value);

}  // namespace scorlane
