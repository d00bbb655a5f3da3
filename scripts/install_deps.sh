#!/usr/bin/env bash
# Installs the Debian packages that building and testing Scorlane need, when missing.
# Usage: scripts/install_deps.sh [extra packages...]
set -euo pipefail

packages=(cmake make g++ pkg-config lua5.1 liblua5.1-0-dev luajit libgtest-dev "$@")
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
