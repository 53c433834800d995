#!/usr/bin/env bash
# Builds the release in build/release/ (DC_RELEASE_OUT names another
# folder): the designer's kit, Deskclock-<version>-designer-kit.zip, and the
# demo clock released from that kit the way a designer releases a clock,
#   <kit>/clockpack release demo.json -o build/release/
# in a scratch folder outside the build tree: its portable zip, its
# installer and SHA256SUMS (the kit's sum added). With --manifest, any
# clock is released through the same kit instead of the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
manifest=""
while [ $# -gt 0 ]; do
  case $1 in
    --manifest) manifest=$(cd "$(dirname "$2")" && pwd)/$(basename "$2"); shift 2 ;;
    *) echo "release: unknown option $1" >&2; exit 2 ;;
  esac
done
version=$(sed -nE 's/^project\(DeskClock VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
demoVersion=$(sed -nE 's/^ *"version": "([0-9.]+)".*/\1/p' assets/demo/demo.json | head -1)
if [ -z "$manifest" ] && [ "$demoVersion" != "$version" ]; then
  echo "release: assets/demo/demo.json says version \"$demoVersion\", the project $version: make them one" >&2
  exit 1
fi

scripts/build.sh >/dev/null
out=${DC_RELEASE_OUT:-$root/build/release}
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d /tmp/dc-release.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The kit: both clockpacks, the bare player, the installer script with what
# it needs, and the guide.
kitName=Deskclock-$version-designer-kit
kit=$work/$kitName
mkdir -p "$kit/installer"
cp build/win/bin/clockpack.exe build/win/bin/DeskClock.exe "$kit/"
strip -o "$kit/clockpack" build/host/bin/clockpack
cp installer/deskclock.nsi installer/README.txt.in "$kit/installer/"
cp src/app/DeskClock.ico "$kit/installer/DeskClock.ico"
cp docs/designing-a-clock.md "$kit/"
# Same bytes for the same sources: fixed times in the zip.
find "$kit" -exec touch -d "@$(git log -1 --format=%ct 2>/dev/null || echo 0)" {} +
(cd "$work" && zip -q -X -r "$out/$kitName.zip" "$kitName")

# The clock, released from the unzipped kit in a folder of its own.
mkdir -p "$work/unzipped" "$work/clock"
unzip -q "$out/$kitName.zip" -d "$work/unzipped"
if [ -n "$manifest" ]; then
  cp -r "$(dirname "$manifest")/." "$work/clock/"
  clockManifest=$work/clock/$(basename "$manifest")
else
  cp assets/demo/demo.json assets/demo/face.swf assets/demo/chime.wav "$work/clock/"
  clockManifest=$work/clock/demo.json
fi
(cd "$work/clock" && "$work/unzipped/$kitName/clockpack" release "$(basename "$clockManifest")" -o "$out")
(cd "$out" && sha256sum "$kitName.zip" >> SHA256SUMS)
echo "  $kitName.zip ($(stat -c %s "$out/$kitName.zip") bytes)"
