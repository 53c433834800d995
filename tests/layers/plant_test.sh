#!/usr/bin/env bash
# scripts/check-layers.sh against a copy of the tree with one fault planted
# at a time: each must fail, and the clean copy must pass.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# file | line to add | what the check must say
plants=(
  'src/led/led_model.cpp|#include <base/geometry.h>|angle brackets for our own header'
  'src/app/window_layout.cpp|#include "clock_window.win.h"|core file includes the shell'
  'src/alarms/alarm_due.cpp|#include "alarms/alarm_list_dialog.win.h"|core file includes the shell'
  'src/base/date_time.cpp|#include <windows.h>|Windows system header'
  'src/notify/tray_text.cpp|#include <shellapi.h>|Windows system header'
  'src/package/clock_package.cpp|#include "alarms/alarm_store.h"|include against the layers'
  'tools/clockpack/describe.cpp|#include "app/package_startup.h"|include against the layers'
  'tools/clockpack/picture.cpp|#include "ui/modal.h"|include against the layers'
  'fuzz/led_model_fuzz.cpp|#include "ui/handles.win.h"|core file includes the shell'
  'fuzz/alarm_store_fuzz.cpp|#include <mmsystem.h>|Windows system header'
  'src/swf/avm1/value.h|#include "swf/display/display_tree.h"|include against the layers'
  'src/swf/avm1/engine.h|#include "swf/model/movie.h"|include against the layers'
  'src/swf/raster/scanline.cpp|#include "swf/format/reader.h"|include against the layers'
  'src/swf/model/shape.h|#include "swf/text/text_layout.h"|include against the layers'
  'src/base/date_time.cpp|#include "windows.h"|not in its own folder'
  'src/led/led_model.cpp|#include "base/../alarms/alarm.h"|relative path'
  'src/base/date_time.cpp|#include <unistd.h>|POSIX-only header'
  'src/swf/raster/paint.win.cpp|// a Windows file|Windows file in a portable folder'
  'bench/CMakeLists.txt|include_directories(${PROJECT_SOURCE_DIR}/tests/swf)|reaches into another tree'
  'tests/native/CMakeLists.txt|add_executable(x ${PROJECT_SOURCE_DIR}/bench/led_bench.cpp)|reaches into another tree'
  'bench/swf_bench.cpp|#include "tests/swf/raster_support.h"|reaches into another tree'
  'fuzz/swf_fuzz.cpp|#include "manifest.h"|not in its own folder'
)

fresh() {
  mkdir -p "$work/tree"
  cp -r "$here/src" "$here/tools" "$here/fuzz" "$here/testkit" "$here/bench" "$work/tree/"
  # Of the tests, the files the check reads: no build folders, no pictures.
  (cd "$here" && find tests -type f \( -name '*.h' -o -name '*.cpp' -o -name CMakeLists.txt \) -print0 |
    tar --null -T - -cf -) | tar -xf - -C "$work/tree"
}

fresh
if ! DC_LAYERS_ROOT="$work/tree" "$here/scripts/check-layers.sh" >"$work/out" 2>&1; then
  echo "FAIL: the clean tree is refused:"
  cat "$work/out"
  exit 1
fi
passed=1
failed=0
for plant in "${plants[@]}"; do
  IFS='|' read -r file line expect <<<"$plant"
  # Plant into the one copy, and put the file back after.
  if [ -e "$work/tree/$file" ]; then cp "$work/tree/$file" "$work/saved"; else rm -f "$work/saved"; fi
  printf '%s\n' "$line" >>"$work/tree/$file"
  if DC_LAYERS_ROOT="$work/tree" "$here/scripts/check-layers.sh" >"$work/out" 2>&1; then
    echo "FAIL: $file with '$line' passed"
    failed=$((failed + 1))
  elif ! grep -q "$expect" "$work/out"; then
    echo "FAIL: $file with '$line': expected \"$expect\", got:"
    cat "$work/out"
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
  if [ -e "$work/saved" ]; then mv "$work/saved" "$work/tree/$file"; else rm "$work/tree/$file"; fi
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
