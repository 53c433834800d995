#!/usr/bin/env bash
# The clock's start-up against a bare layered window under Wine: six runs of
# five starts each, from process start to a visible window. The goal is
# 1.2x the bare window or less in every run. Run by hand on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset win --target startup_bench picture_clock
exec cmake/wine-run.sh build/win/bin/startup_bench.exe "Z:$(pwd)/build/win/bin/DeskClock.exe" \
  "Z:$(pwd)/build/win/demo/picture.kvx" "${1:-6}" "${2:-5}"
