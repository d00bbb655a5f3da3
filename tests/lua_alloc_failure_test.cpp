// Runs whole loads in a Lua state whose allocator fails from the N-th allocation
// on, for every N until a load succeeds: each call must return a table or no
// values, never raise, and (under the sanitizer build) leak nothing.
#include <gtest/gtest.h>

#include <cstdlib>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "binding/scorlane.h"
#include "tests/test_bytes.h"

namespace scorlane::testing {
namespace {

struct Budget {
  long allocations = 0;
  long failFrom = -1;  // -1: never fail
};

void* FailingAlloc(void* ud, void* ptr, size_t, size_t newSize) {
  Budget* budget = static_cast<Budget*>(ud);
  if (newSize == 0) {
    std::free(ptr);
    return nullptr;
  }
  if (budget->failFrom >= 0 && budget->allocations++ >= budget->failFrom) return nullptr;
  return std::realloc(ptr, newSize);
}

// Three tracks with notes, bends, names, tempo, meter, lyrics, markers and texts.
Bytes MultiTrackSong() {
  const Bytes conductor = TrackChunk(Hex(
      "00 ff 03 05 'Tempo'  00 ff 51 03 07 a1 20  00 ff 58 04 04 02 18 08"
      "  00 ff 06 05 'Intro'  60 ff 51 03 0a 2c 2b  00 ff 2f 00"));
  const Bytes lead = TrackChunk(Hex(
      "00 ff 03 04 'Lead'  00 90 3c 40  00 ff 05 02 'La'  30 80 3c 00  00 90 3e 40"
      "  00 e0 00 50  10 ff 05 02 'Li'  20 3e 00  00 ff 01 03 'end'  00 ff 2f 00"));
  const Bytes bass = TrackChunk(Hex(
      "00 ff 03 04 'Bass'  00 b1 65 00  00 64 00  00 06 0c  00 91 24 50  00 e1 00 60"
      "  40 81 24 00  00 91 26 50  40 81 26 00  00 ff 2f 00"));
  return SmfFile(1, 96, {conductor, lead, bass});
}

TEST(LuaAllocationFailure, EveryFailurePointGivesATableOrNothing) {
  TempDir dir;
  const std::string file = dir.Write("song.mid", MultiTrackSong());
  int noValues = 0;
  bool succeeded = false;
  for (long n = 0; !succeeded && n < 100000; ++n) {
    SCOPED_TRACE(n);
    Budget budget;
    lua_State* L = lua_newstate(FailingAlloc, &budget);
    ASSERT_NE(L, nullptr);
    // Room for the call made below, so that only Scorlane's own work can fail.
    ASSERT_TRUE(lua_checkstack(L, 40));
    lua_pushcfunction(L, Scorlane);
    lua_pushstring(L, file.c_str());
    budget.failFrom = budget.allocations + n;
    const int status = lua_pcall(L, 1, LUA_MULTRET, 0);
    budget.failFrom = -1;
    ASSERT_EQ(status, 0) << "raised: " << lua_tostring(L, -1);
    const int results = lua_gettop(L);
    ASSERT_LE(results, 1);
    if (results == 0) {
      ++noValues;
    } else {
      ASSERT_TRUE(lua_istable(L, 1));
      lua_getfield(L, 1, "resolution");
      EXPECT_EQ(lua_tonumber(L, -1), 96);
      lua_rawgeti(L, 1, 3);
      EXPECT_EQ(lua_objlen(L, -1), 2u);  // the bass track's notes
      lua_getfield(L, 1, "lyric");
      EXPECT_EQ(lua_objlen(L, -1), 2u);
      succeeded = true;
    }
    lua_close(L);
  }
  EXPECT_TRUE(succeeded);
  EXPECT_GT(noValues, 50);  // the sweep really went through the build
}

}  // namespace
}  // namespace scorlane::testing
