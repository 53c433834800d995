#!/usr/bin/env bash
# Builds the player and the demo clock and starts it under Wine.
#
# With an X display the clock runs there until it is closed. Without one it
# runs on a private Xvfb: the script makes the Wine prefix first, starts the
# clock, waits for its window (up to 60 s), saves a screenshot to
# build/demo-screenshot.png (and the clock alone to build/demo-clock.png),
# checks that the screenshot shows the clock, stops the clock it started and
# ends. Every step has a bound.
#
#   DC_DEMO_PREFIX     the Wine prefix (default: build/win/wineprefix-demo)
#   DC_DEMO_SECONDS    how long the clock runs before the screenshot (2)
#   DC_DEMO_SKIP_BUILD set to 1 to use what is built
#   DC_DEMO_OUT        where the screenshots go (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_demo() {
  # Only what the demo needs: the native clockpack makes the package, the
  # Windows tree the player with the package attached (and clockpack.exe).
  scripts/install-deps.sh
  cmake --preset host >/dev/null
  cmake --build --preset host --target clockpack
  cmake --preset win >/dev/null
  cmake --build --preset win --target demo_clock clockpack
}
[ "${DC_DEMO_SKIP_BUILD:-0}" = 1 ] || build_demo
demo=$root/build/win/demo
echo "DeskClock.exe and its package: build/win/demo/ (clockpack: build/host/bin/clockpack, build/win/bin/clockpack.exe)"

export WINEPREFIX=${DC_DEMO_PREFIX:-$root/build/win/wineprefix-demo}
export DC_BUILD_DIR=$root/build/win
say() { echo "demo: $*"; }
fail() {
  echo "demo: FAILED: $*" >&2
  exit 1
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  say "making the Wine prefix $WINEPREFIX (a first start takes a minute)"
  timeout 600 cmake/wine-run.sh --prefix-only || fail "the Wine prefix could not be made"
  exec cmake/wine-run.sh "$demo/DeskClock.exe" "$@"
fi

. scripts/xvfb.sh  # a private display, stopped when this script ends
[ -n "${DC_XVFB_PID:-}" ] || fail "no X display could be started"
start=$(date +%s)
say "making the Wine prefix $WINEPREFIX"
timeout 600 cmake/wine-run.sh --prefix-only || fail "the Wine prefix could not be made within 600 s"
say "prefix ready after $(( $(date +%s) - start )) s"

clock=""
stop_clock() {
  [ -n "$clock" ] || return 0
  # Asked to close, the clock deletes its sound file; else it is stopped.
  timeout 20 wine taskkill /im DeskClock.exe >/dev/null 2>&1 || true
  for _ in $(seq 100); do kill -0 "$clock" 2>/dev/null || break; sleep 0.1; done
  kill "$clock" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$clock" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$clock" 2>/dev/null || true
  wait "$clock" 2>/dev/null || true
  clock=""
  # The prefix's wine server ends by itself once its last program has gone.
  timeout 20 wineserver -w 2>/dev/null || true
}
trap 'stop_clock; kill $DC_XVFB_PID 2>/dev/null || true' EXIT

cmake/wine-run.sh "$demo/DeskClock.exe" "$@" &
clock=$!
window=""
for _ in $(seq 120); do
  window=$(xdotool search --name '^Deskclock$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  kill -0 "$clock" 2>/dev/null || fail "the clock ended before its window showed"
  sleep 0.5
done
[ -n "$window" ] || fail "no clock window within 60 s"
say "clock window up after $(( $(date +%s) - start )) s"
sleep "${DC_DEMO_SECONDS:-2}"

out=${DC_DEMO_OUT:-$root/build}
mkdir -p "$out"
shot=$out/demo-screenshot.png
crop=$out/demo-clock.png
eval "$(xdotool getwindowgeometry --shell "$window")"
timeout 30 import -display "$DISPLAY" -window root "$shot" || fail "no screenshot could be taken"
timeout 30 convert "$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$crop"
colours=$(convert "$shot" -format %k info:)
clockColours=$(convert "$crop" -format %k info:)
if [ "$colours" -le 1 ] || [ "$clockColours" -le 8 ]; then
  fail "the screenshot does not show the clock ($colours colours in all, $clockColours where the clock lies)"
fi
stop_clock
say "the clock ran on Xvfb $DISPLAY: screenshot $shot ($colours colours), the clock alone $crop; $(( $(date +%s) - start )) s"
