#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12, with
# apt-get (through sudo when not root). Does nothing when all is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libtomlplusplus-dev libstb-dev zlib1g-dev libz-mingw-w64-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils x11-apps faketime imagemagick
  openbox xdotool
  nsis zip unzip
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
