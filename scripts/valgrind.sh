#!/usr/bin/env bash
# Runs the Lua-level tests and the demo under valgrind's memcheck, with both
# interpreters: any invalid read or write, use of uninitialised memory or leak fails.
# Usage: scripts/valgrind.sh [build-dir]   (a normal, non-sanitizer build; default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/install_deps.sh valgrind
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target scorlane >/dev/null

memcheck=(valgrind -q --leak-check=full --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect --error-exitcode=9)
passed=0
failed=0
run() {
  if "${memcheck[@]}" "$@" >/tmp/scorlane-valgrind.log 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL under valgrind: $*"
    cat /tmp/scorlane-valgrind.log
  fi
}
for interpreter in lua5.1 luajit; do
  run "$interpreter" tests/lua/result_table_test.lua "$build/scorlane.so"
  for song in examples/demo.mid tests/data/*.mid; do
    run "$interpreter" examples/demo.lua "$song"
  done
done
echo "valgrind: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
