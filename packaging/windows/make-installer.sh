#!/usr/bin/env bash
# Builds the Windows installer from a cross-build tree:
#   packaging/windows/make-installer.sh [build folder]   (default build-windows)
# Stages the installation (`cmake --install` of the runtime and data, links
# resolved, the two servers beside the programs, debug information stripped,
# the Festival diphone voices the shipped voice databases name) and packs it
# with NSIS into <build folder>/vorsan-<version>-setup.exe, whose path it prints.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build-windows}"
cache="$build/CMakeCache.txt"
[ -f "$cache" ] || { echo "make-installer: no build in $build" >&2; exit 1; }
command -v makensis >/dev/null || { echo "make-installer: makensis not found (package nsis)" >&2; exit 1; }
version="$(sed -nE 's/^CMAKE_PROJECT_VERSION:STATIC=(.*)$/\1/p' "$cache")"
strip="$(sed -nE 's/^CMAKE_STRIP:FILEPATH=(.*)$/\1/p' "$cache")"

stage="$build/installer/stage"
links="$build/installer/links"
rm -rf "$stage" "$links"
for component in runtime data; do
  cmake --install "$build" --prefix "$links" --component "$component" >/dev/null
done
mkdir -p "$stage"
cp -rL "$links/." "$stage/"
rm -rf "$links" "$stage/share/man" "$stage"/share/doc/*/changelog*

# The in-process servers live beside the programs (their data is found
# relative to their own folder, as the programs' is).
for server in VorsanCOM Nimbrel22; do
  dll=""
  for candidate in "$build"/{automation,voice}/{,lib}"$server.dll"; do
    if [ -f "$candidate" ]; then dll="$candidate"; break; fi
  done
  [ -n "$dll" ] || { echo "make-installer: $server.dll is not built" >&2; exit 1; }
  cp "$dll" "$stage/bin/$server.dll"
done
if [ -n "$strip" ]; then
  for f in "$stage"/bin/*.exe "$stage"/bin/*.dll; do "$strip" --strip-debug "$f"; done
fi

# The Festival voices the shipped voice databases name, under
# share/vorsan/festival/voices/<language>/<voice> as Festival lays them out.
for voice in $(sed -nE 's/.*<Festival voice="([^"]+)".*/\1/p' data/voices/*.xml | sort -u); do
  found=""
  for root in /usr/share/festival/voices /usr/lib/festival/voices /usr/local/share/festival/voices; do
    for dir in "$root"/*/"$voice"; do
      if [ -d "$dir" ]; then found="$dir"; break 2; fi
    done
  done
  [ -n "$found" ] || { echo "make-installer: Festival voice $voice is not installed" >&2; exit 1; }
  language="$(basename "$(dirname "$found")")"
  mkdir -p "$stage/share/vorsan/festival/voices/$language"
  cp -rL "$found" "$stage/share/vorsan/festival/voices/$language/"
done

setup="$build/vorsan-$version-setup.exe"
nice makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DOUTFILE="$PWD/$setup" \
  packaging/windows/vorsan.nsi >&2
echo "$setup"
