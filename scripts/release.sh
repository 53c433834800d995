#!/usr/bin/env bash
# Builds a release of a clock in build/release/: a portable zip, a per-user
# installer and SHA256SUMS. The demo clock by default; any clock with
#   scripts/release.sh --manifest path/to/clock.json [--product Name]
# (or DC_RELEASE_MANIFEST and DC_RELEASE_PRODUCT). The version is the
# project's, from CMakeLists.txt. DC_RELEASE_OUT names another output folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
manifest=${DC_RELEASE_MANIFEST:-$root/assets/demo/demo.json}
product=${DC_RELEASE_PRODUCT:-}
version=${DC_RELEASE_VERSION:-}
while [ $# -gt 0 ]; do
  case $1 in
    --manifest) manifest=$2; shift 2 ;;
    --product) product=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;  # for tests of upgrades
    *) echo "release: unknown option $1" >&2; exit 2 ;;
  esac
done
manifest=$(cd "$(dirname "$manifest")" && pwd)/$(basename "$manifest")
[ -f "$manifest" ] || { echo "release: no manifest $manifest" >&2; exit 1; }
[ -n "$version" ] || version=$(sed -nE 's/^project\(DeskClock VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)

scripts/build.sh >/dev/null
clockpack=$root/build/host/bin/clockpack
stem=$(basename "$manifest" .json)
if [ "$manifest" = "$root/assets/demo/demo.json" ]; then
  product=${product:-Deskclock}
  exe=DeskClock.exe
else
  product=${product:-$(printf '%s' "$stem" | sed -E 's/^./\U&/')}
  exe=$product.exe
fi
package=$stem.kvx
out=${DC_RELEASE_OUT:-$root/build/release}
stage=$out/stage/$product-$version
rm -rf "$out"
mkdir -p "$stage"
"$clockpack" build "$manifest" -o "$stage/$package" >/dev/null
clockName=$("$clockpack" inspect "$stage/$package" | sed -n 's/^clock.name: //p')
"$clockpack" attach build/win/bin/DeskClock.exe "$stage/$package" -o "$stage/$exe" >/dev/null
cp build/win/bin/clockpack.exe "$stage/clockpack.exe"
sed -e "s/@PRODUCT@/$product/g; s/@VERSION@/$version/g; s/@EXE@/$exe/g; s/@CLOCK@/$clockName/g" \
    -e "s/@UNDERLINE@/$(printf '%s' "$product $version" | tr -c '\n' '=')/" installer/README.txt.in |
  sed 's/$/\r/' > "$stage/README.txt"
# Same bytes for the same sources: fixed times in the zip.
touch -d "@$(git log -1 --format=%ct 2>/dev/null || echo 0)" "$stage"/* "$stage"

zipName=$product-$version-portable.zip
(cd "$out/stage" && zip -q -X -r "$out/$zipName" "$product-$version")

nsisName=$product-$version-setup.exe
escaped=$(printf '%s' "$clockName" | sed 's/\$/$$/g; s/"/$\\"/g')
makensis -V2 -INPUTCHARSET UTF8 \
  -DPRODUCT="$product" -DVERSION="$version" -DCLOCK_NAME="$escaped" -DEXE="$exe" -DPACKAGE="$package" \
  -DSTAGE="$stage" -DICON="$root/src/app/DeskClock.ico" -DOUTFILE="$out/$nsisName" installer/deskclock.nsi
(cd "$out" && sha256sum "$zipName" "$nsisName" > SHA256SUMS)
rm -rf "$out/stage"
echo "release: $product $version in $out/"
(cd "$out" && ls -l --time-style=+ "$zipName" "$nsisName" SHA256SUMS | awk '{print "  " $6 " (" $5 " bytes)"}')
