#!/usr/bin/env bash
# Screenshots of the demo clock on screens of other scales, as the docs
# show them: for each DPI given (96 is 100 %, 144 is 150 %, 192 is 200 %)
# the clock starts in a Wine prefix whose LogPixels says that DPI, on a
# private Xvfb, and the bottom right of the screen, where the clock stands
# at home, is saved as OUT/dpi-<percent>-<label>.png.
#
#   scripts/dpi-screenshots.sh LABEL OUT DPI...
#   DC_SHOT_PLAYER  the clock to run (default: build/win/demo/DeskClock.exe)
#   DC_SHOT_PREFIX  the Wine prefix (default: build/win/wineprefix-dpi)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
[ $# -ge 3 ] || { echo "usage: $0 LABEL OUT DPI..." >&2; exit 2; }
label=$1 out=$2
shift 2
player=${DC_SHOT_PLAYER:-$root/build/win/demo/DeskClock.exe}
[ -f "$player" ] || { echo "no clock at $player: build the win preset first" >&2; exit 1; }
export WINEPREFIX=${DC_SHOT_PREFIX:-$root/build/win/wineprefix-dpi}
export DC_BUILD_DIR=$root/build/win
mkdir -p "$out"
unset DISPLAY
. scripts/xvfb.sh
timeout 600 cmake/wine-run.sh --prefix-only

clock=""
stop_clock() {
  [ -n "$clock" ] || return 0
  timeout 20 wine taskkill /im DeskClock.exe >/dev/null 2>&1 || true
  for _ in $(seq 100); do kill -0 "$clock" 2>/dev/null || break; sleep 0.1; done
  kill "$clock" 2>/dev/null || true
  wait "$clock" 2>/dev/null || true
  clock=""
  timeout 20 wineserver -w 2>/dev/null || true
}
trap 'stop_clock; kill ${DC_XVFB_PID:-} 2>/dev/null || true' EXIT

for dpi in "$@"; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  cmake/wine-run.sh "$player" &
  clock=$!
  window=""
  for _ in $(seq 120); do
    window=$(xdotool search --name '^Deskclock$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.5
  done
  [ -n "$window" ] || { echo "no clock window at $dpi DPI" >&2; exit 1; }
  sleep 2
  # The same corner at every scale: the clock at home, 30 px (scaled) above
  # the screen's bottom edge.
  shot=$out/dpi-$(( dpi * 100 / 96 ))-$label.png
  timeout 30 import -display "$DISPLAY" -window root -crop 640x320+640+704 +repage "$shot"
  echo "$shot"
  stop_clock
done
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
