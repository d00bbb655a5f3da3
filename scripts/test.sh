#!/usr/bin/env bash
# Builds Scorlane and runs every test twice: a normal build, then one under
# AddressSanitizer and UndefinedBehaviorSanitizer. Then the concurrency test
# under ThreadSanitizer, and the Lua-level tests under valgrind's memcheck.
# Installs what it needs.
# Usage: scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install_deps.sh valgrind

jobs=$(nproc 2>/dev/null || echo 2)
run_suite() {  # build-dir, cmake options...
  local dir=$1
  shift
  cmake -S . -B "$dir" -DSCORLANE_BUILD_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

echo "== normal build =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DSCORLANE_SANITIZE=ON
echo "== ThreadSanitizer build: concurrent calls =="
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCORLANE_TSAN=ON >/dev/null
cmake --build build-tsan -j "$jobs" --target binding_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/binding_tests --gtest_filter='Concurrency.*'
echo "== valgrind memcheck: Lua-level tests and the demo =="
scripts/valgrind.sh build
echo "== LuaRocks: install into a fresh tree, require under both interpreters =="
scripts/luarocks_check.sh
echo "== Piano roll: well-formed SVG that renders =="
scripts/pianoroll_check.sh
