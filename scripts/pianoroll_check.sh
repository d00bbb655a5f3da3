#!/usr/bin/env bash
# Renders piano rolls of the demo song and the test files under lua5.1 and
# luajit, and checks that every SVG is well formed (xmllint) and renders
# (rsvg-convert to PNG).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install_deps.sh libxml2-utils librsvg2-bin
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
passed=0
failed=0
for interpreter in lua5.1 luajit; do
  for song in examples/demo.mid tests/data/*.mid; do
    name="$out/$interpreter-$(basename "$song" .mid)"
    if "$interpreter" examples/pianoroll.lua "$song" "$name.svg" &&
       xmllint --noout "$name.svg" && rsvg-convert "$name.svg" -o "$name.png" && [ -s "$name.png" ]; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      echo "FAIL $interpreter $song"
    fi
  done
done
echo "pianoroll: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
