#!/bin/sh
# Checks the built Lua module: Scorlane is its only exported symbol, and it does
# not link a Lua library (the host process provides the Lua symbols).
module=$1
exports=$(nm -D --defined-only "$module" | awk '{print $3}')
if [ "$exports" != "Scorlane" ]; then
  echo "FAIL: exported symbols are:"; echo "$exports"; exit 1
fi
if readelf -d "$module" | grep NEEDED | grep -qi lua; then
  echo "FAIL: the module links a Lua library:"; readelf -d "$module" | grep NEEDED; exit 1
fi
echo "1 passed, 0 failed"
