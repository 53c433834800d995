# Sourced: starts a private Xvfb when no X display is given and exports
# DISPLAY; the caller's exit stops it.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 50 150); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    DC_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    trap 'kill $DC_XVFB_PID 2>/dev/null || true' EXIT
    break
  done
fi
