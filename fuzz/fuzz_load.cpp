// libFuzzer target: arbitrary bytes through the load and parse that users run,
// from a real file, so that the size query and the read are exercised too.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reader/song.h"

namespace {

// One file per process, rewritten for every input.
const std::string& InputPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir ? dir : "/tmp") + "/scorlane-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    return pattern;
  }();
  return path;
}

void WriteInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteInput(data, size);
  scorlane::Song song(InputPath().c_str());
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
