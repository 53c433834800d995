#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: a private prefix inside the
# build folder (made once, with the crash dialog and the Mono/Gecko prompts
# off), an X display (Xvfb started here when none is given), no debug chatter.
set -euo pipefail

exe=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
build=${DC_BUILD_DIR:-}
if [ -z "$build" ]; then
  # The build folder is the nearest parent holding CMakeCache.txt.
  d=$(cd "$(dirname "$exe")" && pwd)
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  build=$d
fi

export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64
# Sound plays into a null ALSA device on machines without a sound card.
export ALSA_CONFIG_PATH=${ALSA_CONFIG_PATH:-$here/alsa-null.conf}

if [ -z "${DISPLAY:-}" ]; then
  # One Xvfb per build folder, started on first use and left running.
  num=$(( 90 + $(printf '%s' "$build" | cksum | cut -d' ' -f1) % 400 ))
  export DISPLAY=:$num
  (
    flock 8
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && [ ! -e /tmp/.X11-unix/X$num ]; then
      Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 8>&- &
      for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$num ] && break; sleep 0.1; done
    fi
  ) 8>"$build/.xvfb.lock"
fi

mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.deskclock-ready-2" ]; then
    # The wine server outlives this block: it must not keep the lock open.
    wineboot -i >/dev/null 2>&1 9>&- || true
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 9>&-
    # No window manager runs on Xvfb: windows Wine hands to one would make
    # every hide wait for it in vain.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    touch "$WINEPREFIX/.deskclock-ready-2"
  fi
) 9>"$build/.wineprefix.lock"

exec wine "$exe" "$@"
