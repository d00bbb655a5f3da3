#!/usr/bin/env bash
# Cross-builds the two Windows Lua hosts from Debian's own source packages:
#   OUT/lua/    lua51.dll, lua.exe     (PUC Lua 5.1.5, its Makefile's mingw target)
#   OUT/luajit/ lua51.dll, luajit.exe  (LuaJIT, cross-compiled for 64-bit Windows)
# The sources come through a private apt configuration made here from the
# machine's own sources file with Types: deb-src; the system's apt setup is not
# touched. Usage: scripts/windows/build_lua_hosts.sh OUT
set -euo pipefail
out=$(realpath -m "${1:?usage: build_lua_hosts.sh OUT}")
[ -f "$out/lua/lua.exe" ] && [ -f "$out/luajit/luajit.exe" ] && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
apt_dir=$work/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
for sources in /etc/apt/sources.list.d/*.sources; do
  sed 's/^Types:.*/Types: deb-src/' "$sources" >"$apt_dir/sources.list.d/$(basename "$sources")"
done
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt_dir/sources.list.d/main.list"
fi
apt_options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o "Debug::NoLocking=1")
apt-get "${apt_options[@]}" -qq update
(cd "$work" && apt-get "${apt_options[@]}" -qq source --download-only lua5.1 luajit >/dev/null)
# The upstream tarballs: Debian's patches turn Lua's Makefile into a libtool
# build for Linux, while its own mingw target is what builds the Windows DLL.
# Each into a folder of its own: LuaJIT's tarball has no top folder.
for package in lua5.1 luajit; do
  mkdir -p "$work/$package-src"
  tar -xf "$work/${package}_"*.orig.tar.* -C "$work/$package-src"
done

jobs=$(nproc 2>/dev/null || echo 2)
cross=x86_64-w64-mingw32-

lua_src=$(find "$work/lua5.1-src" -maxdepth 1 -type d -name 'lua-5.1*' | head -1)
# The first step of the Makefile's mingw target, with the cross tools (its second
# step, luac.exe, is not needed).
make -C "$lua_src/src" -j "$jobs" lua.exe CC="${cross}gcc" LUA_A=lua51.dll LUA_T=lua.exe \
  AR="${cross}gcc -shared -o" RANLIB="${cross}strip --strip-unneeded" \
  MYCFLAGS=-DLUA_BUILD_AS_DLL MYLIBS= MYLDFLAGS=-s >"$work/lua.log" 2>&1 ||
  { cat "$work/lua.log"; exit 1; }
mkdir -p "$out/lua"
cp "$lua_src/src/lua51.dll" "$lua_src/src/lua.exe" "$out/lua/"
# The headers every Windows build compiles against, the same for both hosts.
mkdir -p "$out/include"
cp "$lua_src"/src/{lua.h,luaconf.h,lualib.h,lauxlib.h} "$out/include/"

luajit_src=$work/luajit-src
make -C "$luajit_src" -j "$jobs" HOST_CC=gcc CROSS="$cross" TARGET_SYS=Windows \
  BUILDMODE=dynamic >"$work/luajit.log" 2>&1 || { tail -30 "$work/luajit.log"; exit 1; }
mkdir -p "$out/luajit"
cp "$luajit_src/src/lua51.dll" "$luajit_src/src/luajit.exe" "$out/luajit/"
echo "Windows Lua hosts in $out"
