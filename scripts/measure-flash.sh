#!/usr/bin/env bash
# Measures a Flash clock against the picture clock under Wine, by hand on a
# quiet machine (never as a test): start to the first frame, idle CPU over
# half a minute, and resident memory. The movies come from the tests'
# writer: a 12-frame-a-second movie whose picture changes once a second,
# the same with 1 MB of bitmap, an analogue clock whose script turns
# its hands every frame, and a face with a button and a clip that follows
# the pointer (the pointer away from it, as a clock mostly is).
#
#   scripts/measure-flash.sh [seconds to sample, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake --build --preset host --target clockpack write_clock_movies >/dev/null
cmake --build --preset win --target DeskClock startup_bench bare_window demo_clock picture_clock >/dev/null
root=$(pwd)
work=$root/build/win/measure
rm -rf "$work"
mkdir -p "$work"
build/host/bin/write_clock_movies "$work/movies" >/dev/null
cp assets/demo/chime.wav "$work/"

# A package of each movie: the demo's digits and popups, the movie as face.
package() {  # name, movie
  sed -e "s|\"picture\": \"face.png\"|\"movie\": \"movies/$2\"|" -e 's|"shape": true|"shape": false|' \
    -e 's|"opacity": 230|"opacity": 255|' assets/demo/picture.json > "$work/$1.json"
  build/host/bin/clockpack build "$work/$1.json" -o "$work/$1.kvx" >/dev/null 2>&1
}
cp build/win/demo/picture.kvx "$work/picture.kvx"
package flash once-a-second.swf
package flash1mb once-a-second-1mb.swf
package analogue clip-event.swf
package mouse mouse.swf

echo "== start to the first frame (median of 5 starts, 3 runs)"
for p in picture flash; do
  echo "-- $p"
  cmake/wine-run.sh build/win/bin/startup_bench.exe "Z:$root/build/win/bin/DeskClock.exe" "Z:$work/$p.kvx" 3 5 \
    2>/dev/null | grep -E '^run' || true
done 2>&1 | sed 's/^/  /'

# Idle CPU (the player and the Wine server it wakes) and resident memory.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
echo "== idle over $seconds s after a 5 s settle"
for p in picture flash analogue mouse flash1mb; do
  dir=$work/run-$p
  mkdir -p "$dir"
  cp "$work/$p.kvx" "$dir/clock.kvx"
  build/host/bin/clockpack attach build/win/bin/DeskClock.exe "$dir/clock.kvx" -o "$dir/DeskClock.exe" >/dev/null
  cmake/wine-run.sh "$dir/DeskClock.exe" p >/dev/null 2>&1 &
  sleep 5
  pid=$(pgrep -n -f "run-$p.DeskClock.exe" || true)
  server=$(pgrep -n wineserver || true)
  if [ -z "$pid" ]; then echo "  $p: the clock did not start"; continue; fi
  hz=$(getconf CLK_TCK)
  a=$(ticks "$pid"); s=$(ticks "$server")
  sleep "$seconds"
  b=$(ticks "$pid"); t=$(ticks "$server")
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  awk -v p="$p" -v a="$a" -v b="$b" -v s="$s" -v t="$t" -v hz="$hz" -v n="$seconds" -v rss="$rss" 'BEGIN {
    printf "  %-9s clock %5.2f %% of a core, wineserver %5.2f %%, resident %6.1f MB\n", p,
      100 * (b - a) / hz / n, 100 * (t - s) / hz / n, rss / 1024 }'
  kill "$pid" 2>/dev/null || true
  sleep 2
done
