#!/usr/bin/env bash
# The release as designers and users meet it. A designer unzips the kit in
# a scratch folder (no build tree, no sources) and runs its clockpack
# release on a clock named with "&", "\", "/", "$" and a letter beyond
# ASCII: the zip holds exactly its files, SHA256SUMS verifies, the read-me
# names the clock as it is. Then, under Wine in a fresh prefix, a silent
# install puts the clock, its shortcut and its uninstall entry in place
# under the clock's own name; the installed clock saves alarms beside
# itself; installing again or a newer version keeps Alarm.sav; a silent
# uninstall removes everything but Alarm.sav. Run after scripts/release.sh.
set -euo pipefail
# Names beyond ASCII pass through unzip and Wine's command lines as UTF-8.
export LC_ALL=C.UTF-8
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
release=$root/build/release
version=$(sed -nE 's/^project\(DeskClock VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
kitName=Deskclock-$version-designer-kit
work=$(mktemp -d /tmp/dc-release-test.XXXXXX)
export WINEPREFIX=$work/prefix DC_BUILD_DIR=$root/build/win
cleanup() {
  timeout 20 wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fails=0
check() {  # description, command...
  local what=$1
  shift
  if "$@"; then echo "  ok: $what"; else echo "  FAILED: $what"; fails=$((fails + 1)); fi
}
run() { cmake/wine-run.sh "$@"; }
unixPathOf() { winepath -u "$(run cmd /c echo "$1" | tr -d '\r')" 2>/dev/null; }
# A registry value's data, read from an export (UTF-16) so that every
# character of a clock's name survives; nothing when there is none.
regValue() {  # key, value name
  local file=$work/value.reg name
  rm -f "$file"
  run reg export "$1" "$(winepath -w "$file" 2>/dev/null)" /y >/dev/null 2>&1 || return 0
  name=$(printf '%s' "$2" | sed 's/\\/\\\\/g; s/"/\\"/g')
  iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' |
    key="\"$name\"=" awk 'index($0, ENVIRON["key"]) == 1 { print substr($0, length(ENVIRON["key"]) + 1) }' |
    sed -E 's/^"(.*)"$/\1/; s/\\(.)/\1/g'
}

echo "release_test: the demo release"
check "SHA256SUMS verifies the demo's zip, its installer and the kit" \
  sh -c "cd '$release' && sha256sum --quiet -c SHA256SUMS && test \$(wc -l < SHA256SUMS) = 3"
check "the kit holds both clockpacks, the player, the installer script and the guide" \
  test "$(unzip -Z1 "$release/$kitName.zip" | sort | tr '\n' ' ')" = \
  "$kitName/ $kitName/DeskClock.exe $kitName/clockpack $kitName/clockpack.exe $kitName/designing-a-clock.md $kitName/installer/ $kitName/installer/DeskClock.ico $kitName/installer/README.txt.in $kitName/installer/deskclock.nsi "

echo "release_test: a designer's release from the kit alone"
mkdir -p "$work/kit" "$work/clock"
unzip -q "$release/$kitName.zip" -d "$work/kit"
kit=$work/kit/$kitName
cp assets/demo/face.png assets/demo/chime.wav "$work/clock/"
name='Maple & Ember \ Oak/Ash $5 Café'
file='Maple & Ember _ Oak_Ash $5 Café'
cat > "$work/clock/maple.json" <<JSON
{
  "clock": { "name": "Maple & Ember \\\\ Oak/Ash \$5 Café", "version": "1.2", "author": "Wood & Co" },
  "face": { "picture": "face.png", "keyColor": "#FF00FF", "shape": true },
  "led": { "left": 12, "top": 34, "thick": 3, "wordWidth": 15, "wordHeight": 27, "space": 3 },
  "alert": { "position": "top-left" },
  "sound": { "file": "chime.wav" }
}
JSON
start=$(date +%s%N)
(cd "$work/clock" && env -i PATH=/usr/bin:/bin "$kit/clockpack" release maple.json -o "$work/out" > "$work/release.log" 2>&1) ||
  { cat "$work/release.log"; exit 1; }
echo "  clockpack release took $(( ($(date +%s%N) - start) / 1000000 )) ms"
cat "$work/release.log"
zip=$work/out/$file-1.2-portable.zip
setup=$work/out/$file-1.2-setup.exe
check "the release says which characters file names cannot hold" grep -qF "file names cannot hold \"\\/\"" "$work/release.log"
check "the zip holds exactly the clock, its package and README.txt" \
  test "$(unzip -Z1 "$zip" | sort | tr '\n' '|')" = "$file-1.2/|$file-1.2/$file.exe|$file-1.2/README.txt|$file-1.2/maple.kvx|"
check "SHA256SUMS verifies the zip and the installer" \
  sh -c "cd '$work/out' && sha256sum --quiet -c SHA256SUMS && test \$(wc -l < SHA256SUMS) = 2"
check "README.txt begins with the clock's own name" \
  test "$(unzip -p "$zip" "$file-1.2/README.txt" | head -1)" = "$(printf '\xef\xbb\xbf%s 1.2\r' "$name")"
check "the clock in the zip is the kit's player with its trailer" \
  cmp -s <(unzip -p "$zip" "$file-1.2/$file.exe" | head -c "$(stat -c %s "$kit/DeskClock.exe")") "$kit/DeskClock.exe"
check "the clock's package is what clockpack build makes of the manifest" \
  sh -c "cd '$work/clock' && '$kit/clockpack' build maple.json -o '$work/built.kvx' >/dev/null 2>&1 &&
         unzip -p '$zip' '$file-1.2/maple.kvx' | cmp -s - '$work/built.kvx'"
(cd "$work/clock" && env -i PATH=/nonexistent "$kit/clockpack" release maple.json -o "$work/bare" > "$work/bare.log" 2>&1)
check "without makensis: the zip and its sum, and how to get makensis" \
  sh -c "grep -q 'apt-get install nsis' '$work/bare.log' && test -f '$work/bare/$file-1.2-portable.zip' &&
         test ! -e '$work/bare/$file-1.2-setup.exe' && cd '$work/bare' && sha256sum --quiet -c SHA256SUMS"
check "the same clock gives the same zip" cmp -s "$zip" "$work/bare/$file-1.2-portable.zip"

echo "release_test: a silent install into a fresh prefix"
timeout 600 cmake/wine-run.sh --prefix-only
timeout 300 cmake/wine-run.sh "$setup" /S
localAppData=$(unixPathOf '%LOCALAPPDATA%')
appData=$(unixPathOf '%APPDATA%')
dir=$localAppData/Programs/$file
winDir="$(run cmd /c echo '%LOCALAPPDATA%' | tr -d '\r')\\Programs\\$file"
uninstallKey="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$file"
for f in "$file.exe" maple.kvx README.txt Uninstall.exe; do check "$f installed" test -f "$dir/$f"; done
check "the Start-menu shortcut" test -f "$appData/Microsoft/Windows/Start Menu/Programs/$file.lnk"
check "the uninstall entry's name is the clock's own" test "$(regValue "$uninstallKey" DisplayName)" = "$name"
check "its version" test "$(regValue "$uninstallKey" DisplayVersion)" = "1.2"
check "its publisher, the clock's author" test "$(regValue "$uninstallKey" Publisher)" = "Wood & Co"
check "its icon" test "$(regValue "$uninstallKey" DisplayIcon)" = "$winDir\\$file.exe,0"
check "its size" test -n "$(regValue "$uninstallKey" EstimatedSize)"
check "nothing outside the user's folders: no administrator rights asked" \
  test ! -e "$WINEPREFIX/drive_c/Program Files/$file"

echo "release_test: the installed clock"
DC_INSTALLED_CLOCK="$winDir\\$file.exe" timeout 300 cmake/wine-run.sh build/win/bin/installed_clock_tests.exe --gtest_brief=1 \
  || fails=$((fails + 1))
check "Alarm.sav beside the installed clock" test "$(stat -c %s "$dir/Alarm.sav" 2>/dev/null)" = 354
cp "$dir/Alarm.sav" "$work/alarms-before"

echo "release_test: installing again, and a newer version"
timeout 300 cmake/wine-run.sh "$setup" /S
check "the same version again keeps Alarm.sav" cmp -s "$dir/Alarm.sav" "$work/alarms-before"
sed -i 's/"version": "1.2"/"version": "1.3"/' "$work/clock/maple.json"
(cd "$work/clock" && "$kit/clockpack" release maple.json -o "$work/newer" >/dev/null 2>&1)
timeout 300 cmake/wine-run.sh "$work/newer/$file-1.3-setup.exe" /S
check "a newer version keeps Alarm.sav" cmp -s "$dir/Alarm.sav" "$work/alarms-before"
check "and says its version" test "$(regValue "$uninstallKey" DisplayVersion)" = "1.3"

echo "release_test: a silent uninstall"
runKey='Software\Microsoft\Windows\CurrentVersion\Run'
for hive in HKCU HKLM; do
  run reg add "$hive\\$runKey" /v "$name" /d "\"$winDir\\$file.exe\"" /f >/dev/null
done
run reg add "HKCU\\$runKey" /v "Another program" /d 'C:\other.exe' /f >/dev/null
check "the clock starts with the system before (user)" test -n "$(regValue "HKCU\\$runKey" "$name")"
check "the clock starts with the system before (machine)" test -n "$(regValue "HKLM\\$runKey" "$name")"
timeout 120 cmake/wine-run.sh "$dir/Uninstall.exe" /S
for _ in $(seq 120); do [ -e "$dir/Uninstall.exe" ] || break; sleep 0.5; done  # it runs on from a copy
sleep 2
for f in "$file.exe" maple.kvx README.txt Uninstall.exe; do check "$f removed" test ! -e "$dir/$f"; done
check "Alarm.sav kept" cmp -s "$dir/Alarm.sav" "$work/alarms-before"
check "the shortcut removed" test ! -e "$appData/Microsoft/Windows/Start Menu/Programs/$file.lnk"
check "the uninstall entry removed" test -z "$(regValue "$uninstallKey" DisplayName)"
check "the clock's Run value removed (user)" test -z "$(regValue "HKCU\\$runKey" "$name")"
check "the clock's Run value removed (machine)" test -z "$(regValue "HKLM\\$runKey" "$name")"
check "another program's Run value kept" test "$(regValue "HKCU\\$runKey" "Another program")" = 'C:\other.exe'

if [ "$fails" != 0 ]; then
  echo "release_test: $fails checks FAILED"
  exit 1
fi
echo "release_test: all checks passed"
