#!/usr/bin/env bash
# Builds the library and shows what a MIDI file holds (by default the demo song).
# Usage: scripts/demo.sh [song.mid]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install_deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc 2>/dev/null || echo 2)" --target scorlane >/dev/null
exec lua5.1 "$root/examples/demo.lua" "$@"
