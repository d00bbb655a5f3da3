#!/usr/bin/env bash
# Generates the benchmark files (once), builds the benchmarks, and prints:
# Scorlane against its table-building floor under lua5.1 and LuaJIT, the same
# files loaded by mido and @tonejs/midi (installed now, outside the project's
# build), and loads of hostile inputs.
# Usage: bench/run.sh [--songs N] [--no-peers] [--files DIR] [--real DIR]
# --real names a folder of real MIDI files to time as one more set (default: the
# corpus beside the project, ../shared/midi-corpus, when it is there).
set -euo pipefail
cd "$(dirname "$0")/.."
songs=2000
peers=yes
files=build-bench/files
real=../shared/midi-corpus
while [ $# -gt 0 ]; do
  case $1 in
    --songs) songs=$2; shift ;;
    --no-peers) peers=no ;;
    --files) files=$2; shift ;;
    --real) real=$2; shift ;;
  esac
  shift
done

scripts/install_deps.sh python3 libluajit-5.1-dev
if [ ! -f "$files/large.mid" ] || [ "$(ls "$files/songs" 2>/dev/null | wc -l)" -ne "$songs" ]; then
  echo "generating benchmark files in $files ..."
  rm -rf "$files"
  python3 bench/make_bench_files.py "$files" --songs "$songs"
fi
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSCORLANE_BUILD_BENCH=ON \
  -DSCORLANE_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target load_bench_lua51 load_bench_luajit hostile_inputs \
  >/dev/null

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
     "$(free -g | awk '/Mem:/ {print $2}') GiB"
echo
echo "Scorlane: (a) whole call, (b) load and parse, (c) table-building floor"
[ -d "$real" ] || real=
build-bench/bench/load_bench_lua51 "$files" 15 $real | tee build-bench/scorlane-lua51.txt
build-bench/bench/load_bench_luajit "$files" 15 $real | tail -n +2 | tee build-bench/scorlane-luajit.txt

if [ "$peers" = yes ]; then
  echo
  echo "Peers, same files, equal work (notes paired with start and end, tempo map, bends)"
  scripts/install_deps.sh python3-mido
  command -v npm >/dev/null || scripts/install_deps.sh nodejs npm
  mkdir -p build-bench/peers
  if [ ! -d build-bench/peers/node_modules/@tonejs/midi ]; then
    (cd build-bench/peers && npm install --no-audit --no-fund --silent @tonejs/midi >/dev/null)
  fi
  {
    /usr/bin/python3 bench/peers/mido_peer.py "$files"
    NODE_PATH=build-bench/peers/node_modules node bench/peers/tonejs_peer.js "$files"
  } > build-bench/peers.txt
  printf '%-22s %-17s %10s %12s\n' "loader" "set" "notes" "seconds"
  for interpreter in lua51 luajit; do
    awk -v name="scorlane ($interpreter)" '$1 ~ /^lua/ && ($2 == "large" || $2 == "songs") {
        printf "%-22s %-17s %10d %12.3f\n", name, $2, $5, $6 / 1000 }' \
      "build-bench/scorlane-$interpreter.txt"
  done
  awk -F'\t' '{ printf "%-22s %-17s %10d %12.3f\n", $1, $2, $4, $5 }' build-bench/peers.txt
fi

echo
echo "Hostile inputs: load and parse (a child process each)"
build-bench/bench/hostile_inputs "$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp )" 256
