package = "scorlane"
version = "0.1.0-1"
source = {
   -- `luarocks make` builds from this checkout; a published rock would point here.
   url = "git+https://example.invalid/scorlane.git",
   tag = "v0.1.0",
}
description = {
   summary = "Reads Standard MIDI Files into Lua tables: notes, bends, tempo and meter maps, lyrics.",
   detailed = [[
Scorlane is a native library for Lua 5.1 and LuaJIT. scorlane.load(path) reads a
Standard MIDI File and returns one nested table: every track's notes, pitch bends,
name and end, the tempo and time-signature maps, lyrics, markers and texts, and
the resolution. The module adds timing helpers: ticks to seconds and back, bars
and beats, all notes in time order, and the notes sounding in a window of time.
]],
   license = "MIT",
}
dependencies = {
   "lua >= 5.1, < 5.2",
}
build = {
   type = "cmake",
   variables = {
      CMAKE_BUILD_TYPE = "Release",
      CMAKE_INSTALL_PREFIX = "$(PREFIX)",
      LUA51_INCLUDE_DIR = "$(LUA_INCDIR)",
      SCORLANE_BUILD_TESTS = "OFF",
      SCORLANE_INSTALL_CMOD = "$(LIBDIR)",
      SCORLANE_INSTALL_LMOD = "$(LUADIR)",
   },
}
