#!/usr/bin/env bash
# Runs one automation client script under Wine against the built VorsanCOM.dll:
#   run-script.sh WINE PREFIX SERVER_DLL USER_SETUP_EXE INSTALLATION SCRIPT
# In a new profile folder (set up from INSTALLATION by vorsan-user-setup) it
# registers the server with regsvr32, runs the script with cscript (its
# argument: a UTF-16 file holding Hindi text, hindi.txt beside this), and
# unregisters it again, registering back a server that was there before.
# The script must end with "<n> passed, 0 failed" and exit 0 (Wine's cscript
# ends silently, with 0, on an error the script does not catch). Every sound
# file the script names ("sound: <file>") must hold speech: at least half a
# second, not silent.
set -euo pipefail
wine="$1" prefix="$2" server="$3" setup="$4" installation="$5" script="$6"

export WINEPREFIX="$prefix" WINEDEBUG=-all
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/profile"

windows() { printf 'Z:%s' "${1//\//\\}"; }
unix() { local p="${1#[Zz]:}"; printf '%s' "${p//\\//}"; }

clsid='{D179A1B9-87A4-4191-A30B-8219F920788A}'
before="$("$wine" reg query "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve 2>/dev/null |
  sed -nE 's/^ *\(Default\) +REG_SZ +(.*[^\r])\r?$/\1/p' || true)"

# The Hindi text the scripts speak, as the UTF-16 file they read.
iconv -f UTF-8 -t UTF-16 "$(dirname "$0")/hindi.txt" >"$work/hindi.txt"

cat >"$work/run.cmd" <<CMD
@echo off
set USERPROFILE=$(windows "$work/profile")
"$(windows "$setup")" --from "$(windows "$installation")" >nul
if errorlevel 1 exit /b 101
regsvr32 /s "$(windows "$server")"
if errorlevel 1 exit /b 102
cscript //nologo "$(windows "$script")" "$(windows "$work/hindi.txt")"
set result=%errorlevel%
regsvr32 /u /s "$(windows "$server")"
exit /b %result%
CMD
sed -i 's/$/\r/' "$work/run.cmd"

status=0
"$wine" cmd /c "$(windows "$work/run.cmd")" >"$work/out" 2>"$work/err" || status=$?
if [ -n "$before" ]; then "$wine" regsvr32 /s "$before" || true; fi
tr -d '\r' <"$work/out" >"$work/log"
cat "$work/log"
if [ "$status" -ne 0 ]; then
  echo "run-script: exit code $status" >&2
  cat "$work/err" >&2
  exit 1
fi
if ! tail -n 1 "$work/log" | grep -Eq '^[0-9]+ passed, 0 failed$'; then
  echo "run-script: the script did not finish (an uncaught error ends it silently)" >&2
  cat "$work/err" >&2
  exit 1
fi

# What a listener would notice: length and loudness of every sound file.
sounds=0
while IFS= read -r line; do
  case "$line" in
  "sound: "*)
    file="$(unix "${line#sound: }")"
    seconds="$(soxi -D "$file")"
    rms="$(sox "$file" -n stat 2>&1 | sed -nE 's/^RMS +amplitude: +([0-9.]+)$/\1/p')"
    if ! awk -v s="$seconds" -v r="$rms" 'BEGIN { exit !(s >= 0.5 && s < 60 && r > 0.01) }'; then
      echo "run-script: $file is not speech (${seconds} s, RMS ${rms})" >&2
      exit 1
    fi
    echo "run-script: $file: ${seconds} s, RMS ${rms}"
    sounds=$((sounds + 1))
    ;;
  esac
done <"$work/log"
echo "run-script: $sounds sound files measured"
