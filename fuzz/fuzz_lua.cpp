// libFuzzer target: the exported function in a real Lua state, from a real
// file, with a walk over every value of the result table it returns.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "binding/scorlane.h"
#include "fuzz/input_file.h"

namespace {

// Visits every key and value below the table at the top of the stack, checking
// that keys are numbers or strings and values numbers, strings or tables.
void Walk(lua_State* L, int depth) {
  if (depth > 4 || !lua_checkstack(L, 4)) std::abort();
  lua_pushnil(L);
  while (lua_next(L, -2) != 0) {
    const int keyType = lua_type(L, -2);
    if (keyType != LUA_TNUMBER && keyType != LUA_TSTRING) std::abort();
    switch (lua_type(L, -1)) {
      case LUA_TTABLE: Walk(L, depth + 1); break;
      case LUA_TNUMBER: (void)lua_tonumber(L, -1); break;
      case LUA_TSTRING: (void)lua_tostring(L, -1); break;
      default: std::abort();
    }
    lua_pop(L, 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = scorlane::fuzz::WriteInputFile(data, size);
  lua_State* L = luaL_newstate();
  lua_pushcfunction(L, Scorlane);
  lua_pushstring(L, path.c_str());
  if (lua_pcall(L, 1, LUA_MULTRET, 0) != 0) std::abort();  // it must never raise
  const int results = lua_gettop(L);
  if (results > 1) std::abort();
  if (results == 1) {
    if (!lua_istable(L, 1)) std::abort();
    Walk(L, 0);
  }
  lua_close(L);
  return 0;
}
