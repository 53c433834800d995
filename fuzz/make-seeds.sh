#!/usr/bin/env bash
# Writes the fuzz targets' seed inputs into the folder given, one subfolder
# per target, all made here from the repository's own sources: the demo
# package and variants built by clockpack, alarm stores and LED inputs
# written byte by byte, the demo manifest, the demo face as PNG and BMP, and
# small movies written by the SWF tests' writer, and the script engine's
# sample programs (avm1_seed_writer).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$1
clockpack=${DC_CLOCKPACK:-$root/build/host/bin/clockpack}
[ -x "$clockpack" ] || { echo "make-seeds: $clockpack is missing (build the host preset)"; exit 1; }
swf_seeds=${DC_SWF_SEED_MOVIES:-$root/build/host/bin/swf_seed_movies}
[ -x "$swf_seeds" ] || { echo "make-seeds: $swf_seeds is missing (build the host preset)"; exit 1; }
seed_writer=${DC_AVM1_SEED_WRITER:-$root/build/host/bin/avm1_seed_writer}
[ -x "$seed_writer" ] || { echo "make-seeds: $seed_writer is missing (build the host preset)"; exit 1; }
rm -rf "$out"
mkdir -p "$out"/{package_fuzz,alarm_store_fuzz,led_model_fuzz,manifest_fuzz,picture_fuzz,swf_fuzz,avm1_fuzz}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root"/assets/demo/{face.png,chime.wav} "$work"/

# Packages: the demo (a movie face), the picture clock, and variants of its manifest.
cp "$root/assets/demo/demo.json" "$root/assets/demo/face.swf" "$work/"
"$clockpack" build "$work/demo.json" -o "$out/package_fuzz/flash-demo.kvx" >/dev/null
cp "$root/assets/demo/picture.json" "$work/demo.json"
"$clockpack" build "$work/demo.json" -o "$out/package_fuzz/demo.kvx" >/dev/null
variant() {  # name, sed expression on the manifest
  sed -e "$2" "$work/demo.json" > "$work/$1.json"
  "$clockpack" build "$work/$1.json" -o "$out/package_fuzz/$1.kvx" >/dev/null
}
variant grow 's/"style": "fade"/"style": "center-grow"/'
variant hidden 's/"space": 3/"space": 3, "hidden": true/'
variant unshaped 's/"shape": true/"shape": false/'
variant thin 's/"thick": 3/"thick": 1/; s/"wordWidth": 15/"wordWidth": 9/; s/"wordHeight": 27/"wordHeight": 13/'
# The smallest movie: a header (empty stage, 12 frames a second, one frame) and the End tag.
printf 'FWS\x06\x0f\x00\x00\x00\x00\x00\x0c\x01\x00\x00\x00' > "$work/face.swf"
sed -e 's/"picture": "face.png",/"movie": "face.swf",/' "$work/demo.json" > "$work/flash.json"
"$clockpack" build "$work/flash.json" -o "$out/package_fuzz/flash.kvx" >/dev/null
head -c 700 "$out/package_fuzz/demo.kvx" > "$out/package_fuzz/cut.kvx"
head -c 230 "$out/package_fuzz/demo.kvx" > "$out/package_fuzz/header-only.kvx"

# Alarm stores: a fresh one, and stores of whole and cut records.
printf 'KVX\0\0\0\0\0\0\1' > "$out/alarm_store_fuzz/fresh.sav"
record() {  # kind, hour byte pattern: a 344-byte record with a title
  printf "\\x$1\\0\\0\\0"
  printf '\0\0\0\0\0\0\xe0\x3f'   # 0.5: noon
  printf '\0\0\0\0\0\x7a\xe6\x40' # a date in 2026
  printf '\x02\0'                 # Tuesday
  printf 'Alarm%s' "$1"; head -c $((64 - 7)) /dev/zero
  printf 'To do'; head -c $((256 - 5 + 2)) /dev/zero
}
{ printf 'KVX\0\0\0\x05\0\x01\x01'; for k in 00 01 02 03 04; do record "$k"; done; } > "$out/alarm_store_fuzz/five.sav"
head -c 500 "$out/alarm_store_fuzz/five.sav" > "$out/alarm_store_fuzz/cut.sav"
printf 'KVY\0\0\0\x01\0\0\0' > "$out/alarm_store_fuzz/wrong-mark.sav"

# LED inputs: steps of (setter, int32), a surface size, then the text.
printf '\x03\x03\x0f\0\0\0\x04\x1d\0\0\0\x05\x03\0\0\0\x40\x30' > "$work/led-head"
{ cat "$work/led-head"; printf '12:34:56'; } > "$out/led_model_fuzz/clock"
{ printf '\x02\x00\xff\xff\xff\x7f\x05\x00\0\0\x80'; printf '\x10\x10-8.8'; } > "$out/led_model_fuzz/limits"

# Manifests.
cp "$root/assets/demo/picture.json" "$out/manifest_fuzz/demo.json"
cp "$root/assets/demo/demo.json" "$out/manifest_fuzz/flash-demo.json"
printf '{"clock":{"name":"x"},"face":{"picture":"face.bmp"},"led":{},"alert":{}}' > "$out/manifest_fuzz/minimal.json"
printf '{"clock":{"name":"x"},"face":{"movie":"face.swf"},"led":{},"alert":{},"sound":{"file":"chime.wav"}}' \
  > "$out/manifest_fuzz/movie.json"

# Pictures.
cp "$root/assets/demo/face.png" "$out/picture_fuzz/face.png"
convert "$root/assets/demo/face.png" -resize 24x24 bmp3:"$out/picture_fuzz/small24.bmp"
convert "$root/assets/demo/face.png" -resize 16x16 -colors 16 -type palette bmp3:"$out/picture_fuzz/palette.bmp"
convert "$root/assets/demo/face.png" -resize 20x12 "$out/picture_fuzz/small.png"

# Movies: plain and zlib, and one cut short.
"$swf_seeds" "$out/swf_fuzz"
head -c 300 "$out/swf_fuzz/bitmaps.swf" > "$out/swf_fuzz/cut.swf"
# Clock faces with scripts, drawn by the target's first frames.
"${DC_CLOCK_MOVIES:-$root/build/host/bin/write_clock_movies}" "$work/clocks"
cp "$work"/clocks/{clip-event,handler,interval,needle,two-frame-loop,digital,drawn,once-a-second}.swf "$out/swf_fuzz/"
# Scripts: the sample programs, each for SWF 5, 6 and 7.
"$seed_writer" "$out/avm1_fuzz" >/dev/null
echo "make-seeds: $(find "$out" -type f | wc -l) seeds in $out"
