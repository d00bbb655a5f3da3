#!/usr/bin/env bash
# Runs a fuzz campaign: replays the committed corpus through both libFuzzer
# targets, then fuzzes each for the given time, and prints executions, corpus
# size, coverage and findings. Exits non-zero when anything was found; the
# inputs that crashed, leaked or hung are left in build-fuzz/findings/.
# Usage: scripts/fuzz.sh [seconds-per-target] [--merge]
#   --merge  adds the new inputs that reach new coverage to fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
merge=${2:-}
scripts/install_deps.sh clang libclang-rt-14-dev

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DSCORLANE_FUZZ=ON -DSCORLANE_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target fuzz_load fuzz_lua >/dev/null

findings=$build/findings
rm -rf "$findings" && mkdir -p "$findings"
export TMPDIR=${TMPDIR:-$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp )}
options=(-dict=fuzz/midi.dict -max_len=8192 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)

status=0
printf '%-10s %12s %10s %8s %8s %9s\n' target executions corpus cov ft findings
for target in fuzz_load fuzz_lua; do
  binary=$build/fuzz/$target
  work=$build/corpus-$target
  rm -rf "$work" && mkdir -p "$work"
  log=$build/$target.log
  # Replay: every committed input once.
  if ! "$binary" "${options[@]}" -runs=0 -artifact_prefix="$findings/$target-" fuzz/corpus \
      >"$build/$target-replay.log" 2>&1; then
    echo "$target: the committed corpus fails; see $build/$target-replay.log"
    status=1
  fi
  # Campaign: new inputs go to the work corpus, seeded from the committed one.
  "$binary" "${options[@]}" -max_total_time="$seconds" -artifact_prefix="$findings/$target-" \
    "$work" fuzz/corpus >"$log" 2>&1 || status=1
  executions=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{print $2}' | tail -1)
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
  found=$(find "$findings" -name "$target-*" | wc -l)
  printf '%-10s %12s %10s %8s %8s %9s\n' "$target" "${executions:-?}" \
    "$(( $(ls fuzz/corpus | wc -l) + $(ls "$work" | wc -l) ))" \
    "$(echo "$coverage" | awk '{print $2}')" "$(echo "$coverage" | awk '{print $4}')" "$found"
  [ "$found" -eq 0 ] || status=1
  if [ "$merge" = "--merge" ]; then
    "$binary" -merge=1 fuzz/corpus "$work" >"$build/$target-merge.log" 2>&1
  fi
done

if [ "$status" -ne 0 ]; then
  echo "findings (inputs in $findings):"
  ls "$findings"
  grep -hE 'ERROR|SUMMARY|runtime error' "$build"/*.log | head -20
fi
exit "$status"
