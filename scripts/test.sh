#!/usr/bin/env bash
# Builds Scorlane and runs every test twice: a normal build, then one under
# AddressSanitizer and UndefinedBehaviorSanitizer. Installs what it needs.
# Usage: scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install_deps.sh

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
