// Replaces the global operator new with one that fails from the N-th allocation
// on, and sweeps N across a whole load and table build: while C++ memory is
// short the call gives no values, never raises, never crashes and leaks nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "binding/scorlane.h"
#include "tests/test_bytes.h"

namespace {

long allocationsLeft = -1;  // -1: never fail
bool failed = false;

bool ShouldFail() {
  if (allocationsLeft < 0) return false;
  if (allocationsLeft == 0) {
    failed = true;
    return true;
  }
  --allocationsLeft;
  return false;
}

void* Allocate(size_t size) noexcept {
  if (ShouldFail()) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace scorlane::testing {
namespace {

TEST(CxxAllocationFailure, EveryFailurePointGivesNoValues) {
  TempDir dir;
  const std::string file = dir.Write(
      "song.mid",
      SmfFile(1, 96,
              {TrackChunk(Hex("00 ff 03 01 'T' 00 ff 51 03 07 a1 20 00 ff 58 04 04 02 18 08"
                              " 00 ff 06 01 'A' 00 ff 2f 00")),
               TrackChunk(Hex("00 ff 03 04 'Lead' 00 90 3c 40 00 ff 05 02 'La' 30 80 3c 00"
                              " 00 e0 00 50 00 90 3e 40 10 ff 05 02 'Li' 20 3e 00"
                              " 00 ff 01 03 'end' 00 ff 2f 00")),
               TrackChunk(Hex("00 91 24 50 40 81 24 00 00 e1 00 60 00 ff 05 01 'X'"))}));
  lua_State* L = luaL_newstate();
  int sweeps = 0;
  for (long n = 0; n < 100000; ++n) {
    SCOPED_TRACE(n);
    lua_settop(L, 0);
    lua_pushcfunction(L, Scorlane);
    lua_pushstring(L, file.c_str());
    failed = false;
    allocationsLeft = n;
    const int status = lua_pcall(L, 1, LUA_MULTRET, 0);
    allocationsLeft = -1;
    ASSERT_EQ(status, 0);
    const int results = lua_gettop(L);
    if (!failed) {
      ASSERT_EQ(results, 1);
      ASSERT_TRUE(lua_istable(L, 1));
      lua_getfield(L, 1, "lyric");
      EXPECT_EQ(lua_objlen(L, -1), 3u);
      break;
    }
    ++sweeps;
    ASSERT_EQ(results, 0) << "a table came back although an allocation failed";
  }
  lua_close(L);
  EXPECT_GT(sweeps, 10);  // the sweep went through the load and the build
}

}  // namespace
}  // namespace scorlane::testing
