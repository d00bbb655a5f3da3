// libFuzzer target: the exported function in a real Lua state, from a real
// file, with a walk over every value of the result table it returns.
#include <unistd.h>

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

namespace {

const std::string& InputPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir ? dir : "/tmp") + "/scorlane-fuzz-lua-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    return pattern;
  }();
  return path;
}

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
  FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  lua_State* L = luaL_newstate();
  lua_pushcfunction(L, Scorlane);
  lua_pushstring(L, InputPath().c_str());
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
