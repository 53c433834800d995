#!/usr/bin/env bash
# Runs a build command and fails when the compiler or the linker warned:
# the test command keeps both toolchains free of warnings (a warning that
# scrolls past in a long build is one nobody reads). The command's output
# is shown as it comes.
#
#   scripts/no-warnings.sh cmake --build --preset host
set -euo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$@" 2>&1 | tee "$log"
# file:line:col: warning: (GCC and clang), and the linkers' own.
if grep -E '^[^ ]+:[0-9]+(:[0-9]+)?: warning:|(^|/)(ld|ld\.lld|x86_64-w64-mingw32-ld)(\.[a-z]+)?: warning:' "$log" >/dev/null; then
  echo
  echo "no-warnings: the build warned (the test command takes no warnings; fix the cause, or where the compiler"
  echo "is wrong, silence that one line with a comment saying why):"
  grep -E '^[^ ]+:[0-9]+(:[0-9]+)?: warning:|(^|/)(ld|ld\.lld|x86_64-w64-mingw32-ld)(\.[a-z]+)?: warning:' "$log"
  exit 1
fi
