#!/usr/bin/env bash
# Builds the native tree (clockpack, the demo package, the native tests) and
# the Windows tree (DeskClock.exe, clockpack.exe, the demo clock, the Wine
# tests), each free of compiler warnings. The Windows build runs the native
# clockpack.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset host >/dev/null
scripts/no-warnings.sh cmake --build --preset host
cmake --preset win >/dev/null
scripts/no-warnings.sh cmake --build --preset win
