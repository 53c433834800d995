#!/usr/bin/env bash
# Builds the native tools (clockpack, the conformance runner, the
# benchmarks) and the whole Windows tree (DeskClock.exe, clockpack.exe, the
# demo clock, the Wine tests), each free of compiler warnings. The Windows
# build runs the native clockpack. The native tests are built by the
# sanitizer build (scripts/test.sh), or by `cmake --build --preset host`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset host >/dev/null
scripts/no-warnings.sh cmake --build --preset host --target clockpack conformance_runner benchmarks
cmake --preset win >/dev/null
scripts/no-warnings.sh cmake --build --preset win
