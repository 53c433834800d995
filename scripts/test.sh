#!/usr/bin/env bash
# Builds everything and runs every test: the include directions, the native
# suite under AddressSanitizer and UndefinedBehaviorSanitizer (clang; the
# same build makes the fuzz targets), the Windows suites (in-process and end
# to end, without and with a window manager) under Wine on Xvfb, a short run
# of every fuzz target, and the release's installer and zip under Wine. The
# native tools (GCC) and the Windows tree (mingw-w64) are built too. A
# compiler or linker warning in any of the builds fails it
# (scripts/no-warnings.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
scripts/check-layers.sh
scripts/build.sh
. scripts/xvfb.sh

cmake --preset sanitize >/dev/null
scripts/no-warnings.sh cmake --build --preset sanitize
ctest --preset sanitize -j2  # the conformance run beside the test programs
ctest --preset win
scripts/fuzz.sh "${DC_FUZZ_SECONDS:-15}"
scripts/release.sh
tests/release/release_test.sh
wineserver -k 2>/dev/null || true
echo "All tests passed in $(( $(date +%s) - start )) s."
