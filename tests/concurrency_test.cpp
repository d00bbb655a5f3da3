// Separate Lua states on separate threads call Scorlane at once: every result
// must equal the single-threaded one. Built with ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "binding/scorlane.h"

namespace {

// A canonical text of the value at the top of the stack: tables with their keys sorted.
std::string Serialize(lua_State* L) {
  char number[40];
  switch (lua_type(L, -1)) {
    case LUA_TNUMBER:
      std::snprintf(number, sizeof number, "%.17g", lua_tonumber(L, -1));
      return number;
    case LUA_TSTRING:
      return "\"" + std::string(lua_tostring(L, -1)) + "\"";
    case LUA_TTABLE: {
      std::vector<std::pair<std::string, std::string>> entries;
      lua_pushnil(L);
      while (lua_next(L, -2) != 0) {
        std::string value = Serialize(L);
        lua_pop(L, 1);
        lua_pushvalue(L, -1);
        std::string key = Serialize(L);
        lua_pop(L, 1);
        entries.emplace_back(std::move(key), std::move(value));
      }
      std::sort(entries.begin(), entries.end());
      std::string out = "{";
      for (const auto& [key, value] : entries) out += key + "=" + value + ",";
      return out + "}";
    }
    case LUA_TNIL:
      return "nil";
    default:
      return "?";
  }
}

std::string LoadAndSerialize(lua_State* L, const std::string& file) {
  lua_settop(L, 0);
  lua_pushcfunction(L, Scorlane);
  lua_pushstring(L, file.c_str());
  if (lua_pcall(L, 1, 1, 0) != 0) return "raised";
  return Serialize(L);
}

const std::vector<std::string> kFiles = {
    SCORLANE_EXAMPLES_DIR "/demo.mid",
    SCORLANE_TEST_DATA_DIR "/test-c-major-scale.mid",
    SCORLANE_TEST_DATA_DIR "/chinese-lyrics-utf8.mid",
    SCORLANE_TEST_DATA_DIR "/chinese-lyrics-gbk-bends.mid",
    SCORLANE_TEST_DATA_DIR "/sysex.mid",
    SCORLANE_TEST_DATA_DIR "/missing.mid",
};

TEST(Concurrency, SeparateStatesOnSeparateThreadsGetTheSingleThreadedResults) {
  std::vector<std::string> expected;
  lua_State* main = luaL_newstate();
  for (const std::string& file : kFiles) expected.push_back(LoadAndSerialize(main, file));
  lua_close(main);
  ASSERT_EQ(expected.back(), "nil");

  constexpr int kThreads = 4;
  constexpr int kRounds = 20;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      lua_State* L = luaL_newstate();
      for (int round = 0; round < kRounds; ++round) {
        // Each thread walks the files from a different start.
        const size_t index = static_cast<size_t>(t + round) % kFiles.size();
        if (LoadAndSerialize(L, kFiles[index]) != expected[index]) ++mismatches[t];
      }
      lua_close(L);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
