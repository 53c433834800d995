#!/usr/bin/env bash
# The README's run command on a machine without a display, against a fresh
# Wine prefix: it must end by itself, in bounded time, with a screenshot
# that shows the clock.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/dc-demo-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
start=$(date +%s)
status=0
env -u DISPLAY DC_DEMO_SKIP_BUILD=1 DC_DEMO_PREFIX="$work/prefix" DC_DEMO_OUT="$work" \
  timeout 900 "$root/scripts/demo.sh" > "$work/demo.log" 2>&1 || status=$?
took=$(( $(date +%s) - start ))
cat "$work/demo.log"
[ "$status" = 0 ] || { echo "demo_headless: the demo ended with $status after $took s"; exit 1; }
[ -s "$work/demo-screenshot.png" ] || { echo "demo_headless: no screenshot"; exit 1; }
colours=$(convert "$work/demo-clock.png" -format %k info:)
[ "$colours" -gt 8 ] || { echo "demo_headless: the clock's part of the screenshot has $colours colours"; exit 1; }
# It stopped what it started: no process of the demo's prefix runs on, and
# the clock, asked to close, deleted its extracted sound.
if grep -lz "^WINEPREFIX=$work/prefix\$" /proc/[0-9]*/environ 2>/dev/null | grep -q .; then
  echo "demo_headless: processes of its prefix run on"
  exit 1
fi
if [ -e "$root/build/win/demo/chime.wav" ]; then echo "demo_headless: the clock did not close (chime.wav stayed)"; exit 1; fi
echo "demo_headless: ended by itself after $took s with the clock in the screenshot ($colours colours)"
