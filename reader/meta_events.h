// Handler for meta events (status 0xFF): the ones that leave a trace are the
// texts, the track name, the end of track and the tempo and meter maps.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/song.h"

namespace scorlane {

// Where a meta event's records go: the track's own fields and the song-wide maps.
struct MetaTargets {
  Track& track;
  std::vector<TempoChange>& tempoChanges;
  std::vector<MeterChange>& meterChanges;
};

// Handles the meta event whose 0xFF status byte is at `status`, of type `type`,
// read at tick `time`; `end` is the end of the file's bytes. Content is read at
// fixed places after the status byte, not checked against the event's length
// field: the caller skips the event by that field, whatever was read here.
void HandleMetaEvent(const uint8_t* status, const uint8_t* end, uint8_t type, uint32_t time,
                     MetaTargets targets);

// Quarter notes per minute for a tempo of `microseconds` per quarter note, cut
// (not rounded) to three decimals: 500000 gives 120, 666667 gives 89.999.
double TempoToBpm(uint32_t microseconds);

}  // namespace scorlane
