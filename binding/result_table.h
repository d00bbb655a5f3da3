// Turns a loaded Song into the result table.
#pragma once

extern "C" {
#include <lua.h>
}

#include "reader/song.h"

namespace scorlane {

// What a table build reads and holds. It lives in the exported function's frame,
// outside the protected call, so that the track copy is released on every path,
// including the Lua errors that jump over BuildResultTable's frames.
struct Conversion {
  const Song& song;
  Track copy;  // the track copy of the current pass
};

// A lua_CFunction for lua_cpcall, whose light userdata is a Conversion. Builds the
// result table and parks it in the registry under the key that TakeParkedResult
// reads. Parks nothing when a track copy cannot be made.
int BuildResultTable(lua_State* L);

// Moves a parked result table onto the stack and clears its registry slot.
// Returns 1 when there was one, 0 (and leaves the stack as it was) otherwise.
// Allocates nothing, so it cannot raise.
int TakeParkedResult(lua_State* L);

}  // namespace scorlane
