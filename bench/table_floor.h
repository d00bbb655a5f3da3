// The floor of a load: building a result table of the same shape and counts,
// with the same Lua calls in the same order, from records already in memory.
// No implementation of this table can take less; the benchmark compares the
// whole call with it.
#pragma once

extern "C" {
#include <lua.h>
}

#include "reader/song.h"

namespace scorlane::bench {

// Pushes the table for `song`, read in place (no copies, no protection).
void BuildFloorTable(lua_State* L, const Song& song);

}  // namespace scorlane::bench
