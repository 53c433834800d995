#!/usr/bin/env bash
# The release as users meet it, under Wine in a fresh prefix: the zip holds
# exactly its files and SHA256SUMS verifies; a silent install puts the
# clock, its shortcut and its uninstall entry in place; the installed clock
# saves alarms beside itself; installing the same or a newer version keeps
# Alarm.sav; a silent uninstall removes everything but Alarm.sav.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
release=$root/build/release
version=$(sed -nE 's/^project\(DeskClock VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
setup=$release/Deskclock-$version-setup.exe
zip=$release/Deskclock-$version-portable.zip
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
regValue() {  # key, value name: the value's data, or nothing
  run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 \{2,\}REG_[A-Z_]* \{2,\}//p"
}

echo "release_test: the artefacts"
check "the zip holds exactly the clock, its package, README.txt and clockpack.exe" \
  test "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" = \
  "Deskclock-$version/ Deskclock-$version/DeskClock.exe Deskclock-$version/README.txt Deskclock-$version/clockpack.exe Deskclock-$version/demo.kvx "
check "SHA256SUMS verifies" sh -c "cd '$release' && sha256sum --quiet -c SHA256SUMS"

echo "release_test: a silent install into a fresh prefix"
timeout 600 cmake/wine-run.sh --prefix-only
timeout 300 cmake/wine-run.sh "$setup" /S
localAppData=$(unixPathOf '%LOCALAPPDATA%')
appData=$(unixPathOf '%APPDATA%')
dir=$localAppData/Programs/Deskclock
winDir=$(run cmd /c echo '%LOCALAPPDATA%\Programs\Deskclock' | tr -d '\r')
uninstallKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Deskclock'
for f in DeskClock.exe demo.kvx README.txt Uninstall.exe; do check "$f installed" test -f "$dir/$f"; done
check "the Start-menu shortcut" test -f "$appData/Microsoft/Windows/Start Menu/Programs/Deskclock.lnk"
check "the uninstall entry's name" test "$(regValue "$uninstallKey" DisplayName)" = "Deskclock"
check "its version" test "$(regValue "$uninstallKey" DisplayVersion)" = "$version"
check "its publisher" test "$(regValue "$uninstallKey" Publisher)" = "Deskclock"
check "its icon" test "$(regValue "$uninstallKey" DisplayIcon)" = "$winDir\\DeskClock.exe,0"
check "its size" test -n "$(regValue "$uninstallKey" EstimatedSize)"
check "nothing outside the user's folders: no administrator rights asked" test ! -e "$WINEPREFIX/drive_c/Program Files/Deskclock"

echo "release_test: the installed clock"
DC_INSTALLED_CLOCK="$winDir\\DeskClock.exe" timeout 300 cmake/wine-run.sh build/win/bin/installed_clock_tests.exe --gtest_brief=1 \
  || fails=$((fails + 1))
check "Alarm.sav beside the installed clock" test "$(stat -c %s "$dir/Alarm.sav" 2>/dev/null)" = 354
cp "$dir/Alarm.sav" "$work/alarms-before"

echo "release_test: installing again, and a newer version"
timeout 300 cmake/wine-run.sh "$setup" /S
check "the same version again keeps Alarm.sav" cmp -s "$dir/Alarm.sav" "$work/alarms-before"
DC_RELEASE_OUT=$work/newer scripts/release.sh --version 9.9.9 >/dev/null
timeout 300 cmake/wine-run.sh "$work/newer/Deskclock-9.9.9-setup.exe" /S
check "a newer version keeps Alarm.sav" cmp -s "$dir/Alarm.sav" "$work/alarms-before"
check "and says its version" test "$(regValue "$uninstallKey" DisplayVersion)" = "9.9.9"

echo "release_test: a silent uninstall"
runKey='Software\Microsoft\Windows\CurrentVersion\Run'
for root in HKCU HKLM; do
  run reg add "$root\\$runKey" /v "Deskclock Demo" /d "\"$winDir\\DeskClock.exe\"" /f >/dev/null
done
run reg add "HKCU\\$runKey" /v "Another program" /d 'C:\other.exe' /f >/dev/null
check "the clock starts with the system before (user)" test -n "$(regValue "HKCU\\$runKey" "Deskclock Demo")"
check "the clock starts with the system before (machine)" test -n "$(regValue "HKLM\\$runKey" "Deskclock Demo")"
timeout 120 cmake/wine-run.sh "$dir/Uninstall.exe" /S
for _ in $(seq 120); do [ -e "$dir/Uninstall.exe" ] || break; sleep 0.5; done  # it runs on from a copy
sleep 2
for f in DeskClock.exe demo.kvx README.txt Uninstall.exe; do check "$f removed" test ! -e "$dir/$f"; done
check "Alarm.sav kept" cmp -s "$dir/Alarm.sav" "$work/alarms-before"
check "the shortcut removed" test ! -e "$appData/Microsoft/Windows/Start Menu/Programs/Deskclock.lnk"
check "the uninstall entry removed" test -z "$(regValue "$uninstallKey" DisplayName)"
check "the clock's Run value removed (user)" test -z "$(regValue "HKCU\\$runKey" "Deskclock Demo")"
check "the clock's Run value removed (machine)" test -z "$(regValue "HKLM\\$runKey" "Deskclock Demo")"
check "another program's Run value kept" test "$(regValue "HKCU\\$runKey" "Another program")" = 'C:\other.exe'

if [ "$fails" != 0 ]; then
  echo "release_test: $fails checks FAILED"
  exit 1
fi
echo "release_test: all checks passed"
