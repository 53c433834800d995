#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, the native suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# Windows suites (in-process and end to end) under Wine on Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
scripts/check-layers.sh
scripts/build.sh
. scripts/xvfb.sh

ctest --preset host
cmake --preset host-asan >/dev/null
cmake --build --preset host-asan
ctest --preset host-asan
ctest --preset win
wineserver -k 2>/dev/null || true
echo "All tests passed in $(( $(date +%s) - start )) s."
