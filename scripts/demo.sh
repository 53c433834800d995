#!/usr/bin/env bash
# Builds the player and the demo clock and starts it under Wine.
#
# The Wine prefix is made first: the build runs the Windows clockpack.exe in
# it to make the demo's package, so no native tree is built. With an X
# display the clock runs there until it is closed. Without one it runs on a
# private Xvfb: the script starts the clock, waits for its window (up to
# 60 s), saves a screenshot to
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
export WINEPREFIX=${DC_DEMO_PREFIX:-$root/build/win/wineprefix-demo}
export DC_BUILD_DIR=$root/build/win
demo=$root/build/win/demo
say() { echo "demo: $*"; }
fail() {
  echo "demo: FAILED: $*" >&2
  exit 1
}
[ "${DC_DEMO_SKIP_BUILD:-0}" = 1 ] || scripts/install-deps.sh

headless=1
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  headless=0
else
  . scripts/xvfb.sh  # a private display, stopped when this script ends
  [ -n "${DC_XVFB_PID:-}" ] || fail "no X display could be started"
fi
start=$(date +%s)
# The prefix comes first: the build runs clockpack.exe in it.
say "making the Wine prefix $WINEPREFIX (a first start takes a minute)"
status=0
timeout 600 cmake/wine-run.sh --prefix-only || status=$?
[ "$status" = 124 ] && fail "the Wine prefix was not made within 600 s"
[ "$status" = 0 ] || fail "the Wine prefix could not be made (what Wine said is above)"
say "prefix ready after $(( $(date +%s) - start )) s"

if [ "${DC_DEMO_SKIP_BUILD:-0}" != 1 ]; then
  # Only what the demo runs: the player, and clockpack.exe, which makes the
  # package under Wine and attaches it to a copy of the player. No native
  # tree: an empty DC_HOST_CLOCKPACK says so (the win preset, as
  # scripts/build.sh configures it, names the native clockpack again).
  cmake --preset win -DDC_HOST_CLOCKPACK= >/dev/null || fail "the Windows build could not be configured"
  timeout 3600 cmake --build --preset win --target demo_clock || fail "the Windows build failed"
  say "built after $(( $(date +%s) - start )) s"
fi
echo "DeskClock.exe and its package: build/win/demo/ (clockpack: build/win/bin/clockpack.exe)"

if [ "$headless" = 0 ]; then
  exec cmake/wine-run.sh "$demo/DeskClock.exe" "$@"
fi

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
