// libFuzzer target: arbitrary bytes through the load and parse that users run,
// from a real file, so that the size query and the read are exercised too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/input_file.h"
#include "reader/song.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const scorlane::Song song(scorlane::fuzz::WriteInputFile(data, size).c_str());
  if (song.errorCode != scorlane::SongError::kNone) return 0;
  // A loaded song keeps its invariants.
  if (song.tracks.size() != static_cast<size_t>(song.trackCount)) std::abort();
  if (song.tempoCount > static_cast<int32_t>(song.tempoChanges.size())) std::abort();
  if (song.meterCount > static_cast<int32_t>(song.meterChanges.size())) std::abort();
  for (const scorlane::Track& track : song.tracks) {
    if (track.noteCount != static_cast<int32_t>(track.notes.size())) std::abort();
    for (const scorlane::NoteEvent& note : track.notes) {
      if (note.channel > 15 || note.noteNumber > 127) std::abort();
    }
  }
  return 0;
}
