#!/usr/bin/env bash
# Installs Vorsan silently into a new Wine prefix, runs the speech API client
# test against the installed copy, uninstalls silently and checks that no
# file and no registry entry of it is left:
#   packaging/windows/test-installer.sh <setup.exe> <voice_speech_api_tests.exe> <wine64> [prefix]
# Exits 77 (skipped) when the installer has not been built.
set -euo pipefail
setup="$(realpath -m "$1")" client="$(realpath -m "$2")" wine="$3"
prefix="${4:-$(dirname "$setup")/installer/wine}"
if [ ! -f "$setup" ]; then
  echo "test-installer: $setup is not built (packaging/windows/make-installer.sh)" >&2
  exit 77
fi
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver)"
export WINEPREFIX="$prefix" WINEDEBUG=-all
fail() { echo "test-installer: $*" >&2; exit 1; }

# A machine that has never seen Vorsan.
"$wineserver" -k 2>/dev/null || true
rm -rf "$prefix"
mkdir -p "$prefix"
"$wine" wineboot --init >/dev/null 2>&1 || true
"$wineserver" -w

install="$prefix/drive_c/Program Files/Vorsan"
"$wine" "$setup" /S || fail "the installer failed ($?)"
"$wineserver" -w
for f in bin/vorsan.exe bin/VorsanCOM.dll bin/Nimbrel22.dll share/vorsan/nimbrel/tolvane.xml \
         share/vorsan/nimbrel/Speechfiles/Pelmira/newPelmiraHindi.xml share/vorsan/english/english.dat \
         uninstall.exe; do
  [ -f "$install/$f" ] || fail "the installation lacks $f"
done
folder="$("$wine" reg query 'HKLM\Software\Nimbrel' /ve 2>/dev/null | tr -d '\r' | sed -nE 's/.*REG_SZ[[:space:]]+//p')"
[ "$folder" = 'C:\Program Files\Vorsan\share\vorsan\nimbrel' ] || fail "Software\\Nimbrel names '$folder'"

# The speech API's side against the installed servers, from a folder on
# drive C: (so nothing of this machine's own Festival voices is in reach:
# the installation's are spoken with).
work="$prefix/drive_c/client"
mkdir -p "$work"
(cd "$work" && VORSAN_TEST_INSTALLED='C:\Program Files\Vorsan' "$wine" "$client") || fail "the client test failed on the installed copy"

"$wine" 'C:\Program Files\Vorsan\uninstall.exe' /S || fail "the uninstaller failed ($?)"
"$wineserver" -w   # the uninstaller goes on from a copy of itself
rm -rf "$work"
[ ! -e "$install" ] || fail "left behind: $(cd "$install" && find . | head -n 20)"
left="$(grep -i -n -e vorsan -e nimbrel -e 3E5F8A12-6C4B-4D1E-9A27-51B0C38E2D64 "$prefix/system.reg" "$prefix/user.reg" \
        | grep -v -i -e 'vorsan-[0-9.]*-setup' || true)"
[ -z "$left" ] || fail "registry entries left behind:
$left"
rm -rf "$prefix"
echo "installed, spoke and uninstalled cleanly"
