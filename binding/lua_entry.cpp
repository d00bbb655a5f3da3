// The library's one export.
#include <exception>
#include <memory>

#include "binding/result_table.h"
#include "binding/scorlane.h"
#include "reader/song.h"

namespace scorlane {
namespace {

// Loads and parses the file; null when memory runs out outside the file buffer.
std::unique_ptr<Song> LoadSongNoThrow(const char* fileName) noexcept {
  try {
    return std::make_unique<Song>(fileName);
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace
}  // namespace scorlane

extern "C" int Scorlane(lua_State* L) {
  using scorlane::SongError;
  const char* fileName = lua_tolstring(L, 1, nullptr);
  int status;
  {
    std::unique_ptr<scorlane::Song> song = scorlane::LoadSongNoThrow(fileName);
    if (!song || song->errorCode != SongError::kNone) return 0;
    scorlane::Conversion conversion{*song, scorlane::Track()};
    // Lua reports running out of memory as an error: building under protection
    // turns it into a status, and the Song and the track copy, owned here, are
    // released on every path.
    status = lua_cpcall(L, scorlane::BuildResultTable, &conversion);
  }
  if (status != 0) {
    lua_pop(L, 1);  // the error object: the caller gets no values
    return 0;
  }
  return scorlane::TakeParkedResult(L);
}
