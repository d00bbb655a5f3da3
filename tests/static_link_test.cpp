// A host that links libscorlane.a and registers the function itself.
#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "scorlane.h"

TEST(StaticLink, RegisteredFunctionLoadsASong) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_register(L, "Scorlane", Scorlane);
  const char* script =
      "local song = Scorlane(...) "
      "return #song, #song[2], song.resolution, select('#', Scorlane('/nonexistent.mid'))";
  ASSERT_EQ(luaL_loadstring(L, script), 0);
  lua_pushstring(L, SCORLANE_EXAMPLES_DIR "/demo.mid");
  ASSERT_EQ(lua_pcall(L, 1, 4, 0), 0) << lua_tostring(L, -1);
  EXPECT_EQ(lua_tonumber(L, 1), 3);
  EXPECT_EQ(lua_tonumber(L, 2), 18);
  EXPECT_EQ(lua_tonumber(L, 3), 480);
  EXPECT_EQ(lua_tonumber(L, 4), 0);
  lua_close(L);
}
