#!/usr/bin/env bash
# Cross-builds scorlane.dll for 64-bit Windows and runs the Windows suite under
# Wine: the reader's GoogleTest suite, the Lua-level tests under PUC Lua 5.1
# (lua.exe) and LuaJIT (luajit.exe), both built here from Debian's sources, and
# a check of the DLL's imports. Installs what it needs.
# Usage: scripts/windows/test.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install_deps.sh g++-mingw-w64-x86-64 wine wine64 libgtest-dev googletest

hosts=$PWD/build-windows/hosts
scripts/windows/build_lua_hosts.sh "$hosts"

# A Wine prefix of our own, removed at the end.
export WINEPREFIX=$(mktemp -d)
export WINEDEBUG=-all
# Start Wine's server and set the prefix up before CTest, with their input and
# output redirected: a Wine service left holding CTest's pipe would hang it.
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT

cmake -S . -B build-windows/build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DSCORLANE_WINDOWS_LUA="$hosts" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-windows/build -j "$(nproc 2>/dev/null || echo 2)"
(cd build-windows/build && ctest --output-on-failure </dev/null)

# The same files give the same tables through the DLL under both Windows hosts
# as through the Linux module.
cmake -S . -B build >/dev/null
cmake --build build --target scorlane >/dev/null
songs=(examples/demo.mid tests/data/*.mid)
lua5.1 tests/lua/dump_tables.lua build/scorlane.so "${songs[@]}" >build-windows/linux.dump
passed=0
failed=0
for host in lua/lua.exe luajit/luajit.exe; do
  wine "$hosts/$host" tests/lua/dump_tables.lua build-windows/build/scorlane.dll "${songs[@]}" \
    </dev/null 2>/dev/null | tr -d '\r' >build-windows/windows.dump
  if cmp -s build-windows/linux.dump build-windows/windows.dump; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $host gives other tables than Linux"
  fi
done
echo "windows-vs-linux: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
