// Damaged files through the whole call: every prefix of several real files and
// every single-byte change of a small one must give a table or no values, with
// no crash, no sanitizer report and no leak.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "binding/scorlane.h"
#include "tests/test_bytes.h"

namespace scorlane::testing {
namespace {

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Calls Scorlane on one file in a long-lived Lua state.
class Loader {
 public:
  Loader() : L_(luaL_newstate()) {}
  ~Loader() { lua_close(L_); }
  Loader(const Loader&) = delete;
  Loader& operator=(const Loader&) = delete;

  // Returns the number of results, after checking that the call did not raise
  // and that a result, if any, is a table whose track count matches the Song's.
  int Load(const std::string& path) {
    lua_settop(L_, 0);
    lua_pushcfunction(L_, Scorlane);
    lua_pushstring(L_, path.c_str());
    const int status = lua_pcall(L_, 1, LUA_MULTRET, 0);
    EXPECT_EQ(status, 0) << lua_tostring(L_, -1);
    const int results = lua_gettop(L_);
    EXPECT_LE(results, 1);
    const Song song(path.c_str());
    if (results == 1) {
      EXPECT_TRUE(lua_istable(L_, 1));
      EXPECT_EQ(song.errorCode, SongError::kNone);
      EXPECT_EQ(lua_objlen(L_, 1), static_cast<size_t>(song.trackCount));
    } else {
      EXPECT_NE(song.errorCode, SongError::kNone);
    }
    if (++calls_ % 256 == 0) lua_gc(L_, LUA_GCCOLLECT, 0);
    return results;
  }

 private:
  lua_State* L_;
  long calls_ = 0;
};

const char* const kPrefixFiles[] = {
    SCORLANE_EXAMPLES_DIR "/demo.mid",
    SCORLANE_TEST_DATA_DIR "/test-c-major-scale.mid",
    SCORLANE_TEST_DATA_DIR "/chinese-lyrics-utf8.mid",
    SCORLANE_TEST_DATA_DIR "/chinese-lyrics-gbk-bends.mid",
    SCORLANE_TEST_DATA_DIR "/sysex.mid",
};

TEST(DamagedFiles, EveryPrefix) {
  TempDir dir;
  Loader loader;
  for (const char* file : kPrefixFiles) {
    SCOPED_TRACE(file);
    const Bytes whole = ReadFile(file);
    ASSERT_FALSE(whole.empty());
    EXPECT_EQ(loader.Load(file), 1);
    int tables = 0;
    for (size_t size = 0; size < whole.size(); ++size) {
      const Bytes prefix(whole.begin(), whole.begin() + static_cast<long>(size));
      tables += loader.Load(dir.Write("prefix.mid", prefix));
      if (HasFailure()) FAIL() << "prefix of " << size << " bytes";
    }
    EXPECT_GT(tables, 0);
  }
}

TEST(DamagedFiles, EverySingleByteChange) {
  TempDir dir;
  Loader loader;
  const Bytes original = ReadFile(SCORLANE_TEST_DATA_DIR "/test-c-major-scale.mid");
  ASSERT_FALSE(original.empty());
  for (size_t at = 0; at < original.size(); ++at) {
    Bytes changed = original;
    for (int value = 0; value < 256; ++value) {
      if (value == original[at]) continue;
      changed[at] = static_cast<uint8_t>(value);
      loader.Load(dir.Write("changed.mid", changed));
      if (HasFailure()) FAIL() << "byte " << at << " set to " << value;
    }
  }
}

}  // namespace
}  // namespace scorlane::testing
