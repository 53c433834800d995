#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: a private prefix inside the
# build folder (made once, with the crash dialog and the Mono/Gecko prompts
# off), an X display (Xvfb started here when none is given), no debug chatter.
#
# With DC_WINDOW_MANAGER=openbox the program runs as users run it on a Linux
# desktop: on an Xvfb display of its own with openbox managing the windows,
# in a prefix with Wine's default (managed) window settings. Without it, no
# window manager runs, and the prefix leaves windows unmanaged: hiding a
# window Wine hands to a window manager would wait for one in vain.
#
# With DC_LOG_PIXELS (say 192) the prefix's screen has that DPI: Wine reads
# HKCU\Control Panel\Desktop LogPixels when a process starts. Give such a
# run a WINEPREFIX of its own.
#
# `wine-run.sh --prefix-only` makes the prefix and returns.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
prefixOnly=0
if [ "${1:-}" = --prefix-only ]; then
  prefixOnly=1
  shift
fi
exe=${1:-}
[ $# -gt 0 ] && shift
build=${DC_BUILD_DIR:-}
if [ -z "$build" ]; then
  # The build folder is the nearest parent holding CMakeCache.txt.
  d=$(cd "$(dirname "${exe:-.}")" && pwd)
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  build=$d
fi

wm=${DC_WINDOW_MANAGER:-}
if [ -n "$wm" ]; then
  export WINEPREFIX=${DC_WM_WINEPREFIX:-$build/wineprefix-wm}
else
  export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64
# Sound plays into a null ALSA device on machines without a sound card.
export ALSA_CONFIG_PATH=${ALSA_CONFIG_PATH:-$here/alsa-null.conf}

# One Xvfb per build folder (and one more with the window manager), started
# on first use and left running.
start_display() {  # number, lock name
  local num=$1
  (
    flock 8
    if ! xdpyinfo -display ":$num" >/dev/null 2>&1; then
      rm -f "/tmp/.X$num-lock" "/tmp/.X11-unix/X$num"
      Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 8>&- &
      for _ in $(seq 100); do xdpyinfo -display ":$num" >/dev/null 2>&1 && break; sleep 0.1; done
    fi
    if [ -n "$wm" ] && ! xprop -display ":$num" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
      DISPLAY=":$num" "$wm" >/dev/null 2>&1 8>&- &
      for _ in $(seq 100); do
        xprop -display ":$num" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
      done
    fi
  ) 8>"$build/$2"
}
key=$(( $(printf '%s' "$build" | cksum | cut -d' ' -f1) % 400 ))
if [ -n "$wm" ]; then
  export DISPLAY=:$(( 500 + key ))
  start_display "${DISPLAY#:}" .xvfb-wm.lock
elif [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:$(( 90 + key ))
  start_display "${DISPLAY#:}" .xvfb.lock
fi

# Making the prefix: Wine's own steps, then our settings. Their output goes
# to a log beside the prefix, shown when a step fails. A failed attempt is
# tried once more on the same folder (wineboot -i completes a half-made
# prefix), after that prefix's wine server has been stopped.
make_prefix() {
  wineboot -i || return
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f || return
  if [ -z "$wm" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f || return
  fi
  if [ -n "${DC_LOG_PIXELS:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DC_LOG_PIXELS" /f || return
  fi
  wineserver -w
}
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.deskclock-ready-3" ]; then
    log=$WINEPREFIX.log
    : > "$log"
    made=0
    for attempt in 1 2; do
      echo "wine-run: making the prefix, attempt $attempt" >> "$log"
      # The wine server outlives this block: it must not keep the lock open.
      if make_prefix >> "$log" 2>&1 9>&-; then
        made=1
        break
      fi
      echo "wine-run: attempt $attempt failed" >> "$log"
      wineserver -k >> "$log" 2>&1 9>&- || true
      wineserver -w >> "$log" 2>&1 9>&- || true
    done
    if [ "$made" != 1 ]; then
      echo "wine-run: the Wine prefix $WINEPREFIX could not be made; the end of $log:" >&2
      tail -n 40 "$log" >&2
      exit 1
    fi
    touch "$WINEPREFIX/.deskclock-ready-3"
  fi
) 9>"$WINEPREFIX.lock"

[ "$prefixOnly" = 1 ] && exit 0
exec wine "$exe" "$@"
