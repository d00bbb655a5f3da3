// A minimal embedding host, as a game engine would do it: create a Lua state,
// load the Scorlane library at run time, register its function as the global
// `Scorlane`, and run a script.
//
//   scorlane_host path/to/scorlane.so script.lua [script arguments...]
//
// The library takes its Lua symbols from the host process. Here they come from
// the Lua shared library this program links; a host that links Lua statically
// must export them (-Wl,--export-dynamic) so that the library can find them.
#include <dlfcn.h>

#include <cstdio>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

namespace {

// Adds a traceback to an error message: the script's errors say where they happened.
int Traceback(lua_State* L) {
  const char* message = lua_tostring(L, 1);
  lua_getglobal(L, "debug");
  lua_getfield(L, -1, "traceback");
  lua_pushstring(L, message ? message : "(error object is not a string)");
  lua_pushinteger(L, 2);
  lua_call(L, 2, 1);
  return 1;
}

// Sets the global `arg` as the stand-alone interpreter does: arg[0] is the
// script, arg[1]... its arguments.
void SetArguments(lua_State* L, int argc, char** argv, int scriptIndex) {
  lua_createtable(L, argc - scriptIndex - 1, 1);
  for (int i = scriptIndex; i < argc; ++i) {
    lua_pushstring(L, argv[i]);
    lua_rawseti(L, -2, i - scriptIndex);
  }
  lua_setglobal(L, "arg");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s path/to/scorlane.so script.lua [arguments...]\n", argv[0]);
    return 2;
  }

  // 1. Load the library and find its one function.
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", argv[1], dlerror());
    return 1;
  }
  auto scorlane = reinterpret_cast<lua_CFunction>(dlsym(library, "Scorlane"));
  if (scorlane == nullptr) {
    std::fprintf(stderr, "%s has no Scorlane: %s\n", argv[1], dlerror());
    dlclose(library);
    return 1;
  }

  // 2. A Lua state with the standard libraries and Scorlane as a global.
  lua_State* L = luaL_newstate();
  if (L == nullptr) {
    std::fprintf(stderr, "cannot create a Lua state\n");
    dlclose(library);
    return 1;
  }
  luaL_openlibs(L);
  lua_register(L, "Scorlane", scorlane);
  SetArguments(L, argc, argv, 2);

  // 3. Run the script under a traceback handler.
  lua_pushcfunction(L, Traceback);
  int status = luaL_loadfile(L, argv[2]);
  if (status == 0) status = lua_pcall(L, 0, 0, -2);
  if (status != 0) std::fprintf(stderr, "%s\n", lua_tostring(L, -1));

  // 4. Close the state before unloading the library: the state may still hold
  //    references to the function.
  lua_close(L);
  dlclose(library);
  return status == 0 ? 0 : 1;
}
