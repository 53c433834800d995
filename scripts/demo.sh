#!/usr/bin/env bash
# Builds the player and the demo clock and starts it under Wine. Without an
# X display it runs on a private Xvfb for a few seconds and saves a
# screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
demo=build/win/demo
echo "DeskClock.exe and its package: $demo/ (clockpack: build/host/bin/clockpack, build/win/bin/clockpack.exe)"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec cmake/wine-run.sh "$demo/DeskClock.exe" "$@"
fi

. scripts/xvfb.sh
cmake/wine-run.sh "$demo/DeskClock.exe" "$@" &
clock=$!
sleep "${DEMO_SECONDS:-8}"
shot=build/demo-screenshot.png
import -display "$DISPLAY" -window root "$shot"
echo "No display here: the clock ran on Xvfb $DISPLAY; screenshot saved to $shot"
WINEPREFIX=$PWD/build/win/wineprefix wineserver -k 2>/dev/null || true
wait $clock 2>/dev/null || true
