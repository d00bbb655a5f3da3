#!/usr/bin/env bash
# Installs Scorlane with `luarocks make` into a fresh tree, without network,
# then requires it from that tree under lua5.1 and luajit and loads a file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install_deps.sh luarocks
tree=$(mktemp -d)
trap 'rm -rf "$tree" build.luarocks' EXIT
luarocks make --deps-mode=none --tree="$tree" rockspecs/scorlane-0.1.0-1.rockspec >"$tree/make.log" 2>&1 ||
  { cat "$tree/make.log"; exit 1; }
eval "$(luarocks path --tree="$tree")"
passed=0
failed=0
for interpreter in lua5.1 luajit; do
  if out=$(SCORLANE_TREE="$tree" "$interpreter" -e '
      local scorlane = require("scorlane")
      local song = assert(scorlane.load("examples/demo.mid"))
      assert(scorlane.nativePath:find(os.getenv("SCORLANE_TREE"), 1, true), scorlane.nativePath)
      print(#song, song.resolution, scorlane.timing(song):seconds(960))' 2>&1) &&
     [ "$out" = $'3\t480\t1' ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $interpreter: $out"
  fi
done
echo "luarocks: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
