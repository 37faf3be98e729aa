#!/usr/bin/env bash
# Checks that Vorsan installs and is usable from the installation:
#   1. configures and builds BUILD_DIR (default build/; an existing build is
#      reused as configured) and installs it into a temporary prefix;
#   2. checks the installed layout (programs, server, libraries, public
#      headers only, data, CMake package, pkg-config file, the manager with
#      its desktop entry and icon);
#   3. builds tests/consumer against the prefix with find_package(Vorsan),
#      prepares a temporary profile folder with the installed vorsan-user-setup
#      and lets the program load the installed configuration and speak English
#      and Hindi into WAVE files, checked for audible speech of plausible length;
#   4. compiles and runs a one-file program with pkg-config's flags, with
#      every installed header included;
#   5. imports the installed Python package in Debian's python3 with the
#      prefix's dist-packages folder and speaks Hindi with it;
#   6. moves the installation and runs its vorsan program and its Python
#      package with an empty profile folder: they must find their data under
#      the moved prefix (and fail once a voice file there is taken away);
#      registers the moved in-process server and speaks through it from a
#      client built with Vorsan::com;
#   7. builds the Debian packages with cpack and checks their control data and
#      contents, and speaks from the unpacked vorsan and vorsan-data packages
#      (program and Python package).
# Throughout, nothing installed or built against the installation links
# Festival or the speech tools (pkg-config, the CMake package, ldd of the
# programs and modules); Festival's back end is the plugin
# <libdir>/vorsan/libvorsan_festival.so (when built: VORSAN_FESTIVAL), which
# must speak under VORSAN_SYNTH=festival from each of those places.
# Exits non-zero on the first failure. Usage: scripts/check-install.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

# What the check needs (sox, Qt, the Python package) besides the set-up's packages.
. scripts/packages.sh
install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
root=$PWD
build=${1:-build}
[[ $build = /* ]] || build=$root/$build
jobs=$(nproc)

work=$(mktemp -d "${TMPDIR:-/tmp}/vorsan-check-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

step() { echo "== check-install [${SECONDS}s]: $*"; }
fail() {
  echo "check-install: FAILED: $*" >&2
  exit 1
}
# run LOG CMD...: runs CMD with its output in LOG, shown when it fails.
run() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    fail "$*"
  fi
}

# check_speech FILE MIN_SECONDS MAX_SECONDS: a WAVE file holding audible
# speech of a plausible length.
check_speech() {
  local f=$1 min=$2 max=$3
  [ -s "$f" ] || fail "$f missing or empty"
  [ "$(soxi -t "$f")" = wav ] || fail "$f is not a WAVE file"
  local rate seconds stats rms peak
  rate=$(soxi -r "$f")
  seconds=$(soxi -D "$f")
  stats=$(sox "$f" -n stat 2>&1)
  rms=$(awk '/^RMS +amplitude/ {print $3}' <<<"$stats")
  peak=$(awk '/^Maximum amplitude/ {print $3}' <<<"$stats")
  awk -v r="$rate" -v s="$seconds" -v lo="$min" -v hi="$max" -v rms="$rms" -v peak="$peak" \
    'BEGIN { exit !(r >= 8000 && s >= lo && s <= hi && rms >= 0.01 && peak >= 0.05 && peak <= 1.0) }' ||
    fail "$f: $rate Hz, $seconds s (expected $min-$max s), RMS $rms, peak $peak: not plausible speech"
  echo "   $(basename "$f"): $rate Hz, $seconds s, RMS $rms, peak $peak"
}

step "configure and build $build"
if [ -f "$build/CMakeCache.txt" ]; then
  run "$work/configure.log" cmake -S . -B "$build"
else
  run "$work/configure.log" cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
run "$work/build.log" cmake --build "$build" -j"$jobs"
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
libdir=$(cache_value CMAKE_INSTALL_LIBDIR)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$libdir" ] && [ -n "$version" ] || fail "no install library folder or version in $build"
festival=$(cache_value VORSAN_FESTIVAL)
private=$(cache_value VORSAN_INSTALL_PRIVATEDIR) # the servers and Festival's back end
[ -n "$private" ] || fail "no private library folder in $build"
plugin=$private/libvorsan_festival.so
festival_libs='lib(Festival|estools|estbase|eststring)[.-]'
# no_festival FILE...: no file needs Festival or the speech tools, directly or
# through its libraries.
no_festival() {
  local f
  for f in "$@"; do
    [ -f "$f" ] || fail "$f missing"
    if ldd "$f" | grep -E "$festival_libs" >&2; then
      fail "$f loads Festival or the speech tools"
    fi
  done
}

step "install into $prefix"
run "$work/install.log" cmake --install "$build" --prefix "$prefix"
for f in bin/vorsan bin/vorsan-regsvr bin/vorsan-user-setup "$private/libVorsanCOM.so" \
  "$libdir/libvorsan.so" "$libdir/libvorsan.so.0.9" "$libdir/libvorsan_core.a" "$libdir/libvorsan_com.a" \
  include/vorsan/engine/SpeechEngine.h include/vorsan/core/MException.h include/vorsan/automation/Creation.h \
  "$libdir/cmake/Vorsan/VorsanConfig.cmake" "$libdir/cmake/Vorsan/VorsanConfigVersion.cmake" \
  "$libdir/pkgconfig/vorsan.pc" \
  share/vorsan/voices/en1.xml share/vorsan/voices/in1.xml share/vorsan/pelmira/newPelmiraHindi.xml \
  share/vorsan/pelmira/newPelmiraHindi.words share/vorsan/pelmira/PelmiraMarathi.words \
  share/vorsan/ruvetta/Hindi_in1.xml share/vorsan/oskalen/in1toin1.xml share/vorsan/tolvane/tolvane.xml \
  share/vorsan/tolvane/install.sh share/vorsan/english/english.dat \
  lib/speech-dispatcher-modules/sd_vorsan etc/speech-dispatcher/modules/vorsan.conf \
  bin/tolvane share/applications/tolvane.desktop share/icons/hicolor/scalable/apps/tolvane.svg; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ "$(stat -c %s "$prefix/share/vorsan/english/english.dat")" -gt 10000000 ] || fail "english.dat is too small"
# Only public headers, each under include/vorsan/<subsystem>/.
stray=$(cd "$prefix/include" && find . -type f ! -path './vorsan/*/*.h' -o -type f -path '*/src/*')
[ -z "$stray" ] || fail "files in include/ that are not public headers: $stray"
if [ "$festival" = ON ]; then
  [ -f "$prefix/$plugin" ] || fail "not installed: $plugin"
else
  [ ! -e "$prefix/$plugin" ] || fail "$plugin installed though VORSAN_FESTIVAL is $festival"
fi

step "no Festival library in the installation's programs and packages"
no_festival "$prefix/bin/vorsan" "$prefix/bin/vorsan-regsvr" "$prefix/$private/libVorsanCOM.so" \
  "$prefix/lib/speech-dispatcher-modules/sd_vorsan" "$prefix/bin/tolvane"
python_dir=$(cache_value VORSAN_PYTHON_INSTALL_DIR)
if [ -n "$python_dir" ]; then
  for f in "$prefix/$python_dir"/vorsan/_vorsan*.so; do no_festival "$f"; done
fi
if grep -rEl "Festival[.](a|so)|-lFestival|Vorsan::festival|estools|estbase|eststring" \
  "$prefix/$libdir/cmake/Vorsan" "$prefix/$libdir/pkgconfig/vorsan.pc" >&2; then
  fail "the CMake package or vorsan.pc names Festival or the speech tools"
fi
for pc_libs in "$(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config --libs vorsan)" \
  "$(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config --libs --static vorsan)"; do
  ! grep -qEi -- "-l(Festival|estools|estbase|eststring)" <<<"$pc_libs" || fail "pkg-config --libs vorsan: $pc_libs"
done

step "client project with find_package(Vorsan)"
profile=$work/profile
mkdir -p "$profile" "$work/speech"
run "$work/user-setup.log" env USERPROFILE="$profile" "$prefix/bin/vorsan-user-setup"
[ -f "$profile/tolvane.xml" ] && [ -f "$profile/Speechfiles/English/english.dat" ] ||
  fail "vorsan-user-setup did not prepare $profile"
run "$work/consumer-configure.log" cmake -S tests/consumer -B "$work/consumer" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release
run "$work/consumer-build.log" cmake --build "$work/consumer" -j"$jobs"
run "$work/consumer-run.log" env USERPROFILE="$profile" "$work/consumer/vorsan-consumer" "$work/speech"
check_speech "$work/speech/english.wav" 0.5 4
check_speech "$work/speech/hindi.wav" 1 8
no_festival "$work/consumer/vorsan-consumer" "$work/consumer/vorsan-automation-client"
# The engine is the one shared library libvorsan.so, with a soname, exporting
# only the engine's own names.
# (Each output is taken whole first: a grep -q that stops early would end the
# writer with SIGPIPE, which pipefail counts as a failure.)
library_headers=$(objdump -p "$prefix/$libdir/libvorsan.so")
grep -Eq "SONAME +libvorsan[.]so[.]0[.]9$" <<<"$library_headers" || fail "libvorsan.so has no soname libvorsan.so.0.9"
client_libraries=$(ldd "$work/consumer/vorsan-consumer")
grep -q "libvorsan[.]so[.]0[.]9 => $prefix/$libdir/" <<<"$client_libraries" ||
  fail "the client does not run with the installed libvorsan.so"
exported=$(nm -D --defined-only --format=posix "$prefix/$libdir/libvorsan.so" | c++filt)
if grep -Eq "^((typeinfo|typeinfo name|vtable) for )?xercesc" <<<"$exported"; then
  fail "libvorsan.so exports Xerces-C's names"
fi

step "one-file program with pkg-config"
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
{
  (cd "$prefix/include" && find vorsan -name '*.h' | sort | sed 's/.*/#include "&"/')
  cat <<'EOF'
int main() {
    vorsan::SpeechEngine engine;
    return engine.languageSupported(vorsan::SpeechEngine::kEnglishName) ? 0 : 1;
}
EOF
} >"$work/pkgconfig.cpp"
read -r -a pc_flags <<<"$(pkg-config --cflags --libs vorsan)"
run "$work/pkgconfig-build.log" c++ -std=c++20 -o "$work/pkgconfig" "$work/pkgconfig.cpp" "${pc_flags[@]}" \
  -Wl,-rpath,"$prefix/$libdir"
run "$work/pkgconfig-run.log" env USERPROFILE="$profile" "$work/pkgconfig"
no_festival "$work/pkgconfig"
[ "$(pkg-config --variable=datadir vorsan)" -ef "$prefix/share/vorsan" ] || fail "vorsan.pc: wrong datadir"

# python_speaks PACKAGES_DIR PROFILE TEXT WAV: Debian's python3 imports vorsan
# from PACKAGES_DIR (not from the build) and saves its speech of TEXT.
python_speaks() {
  env USERPROFILE="$2" PYTHONPATH="$1" /usr/bin/python3 -c '
import os, sys, vorsan
assert vorsan.__file__.startswith(sys.argv[1] + os.sep), vorsan.__file__
vorsan.Engine().synthesize(sys.argv[2]).save(sys.argv[3])' "$1" "$3" "$4"
}
if [ -n "$python_dir" ]; then
  step "Python package with Debian's python3"
  [ -f "$prefix/$python_dir/vorsan/__init__.pyi" ] && compgen -G "$prefix/$python_dir/vorsan/_vorsan*.so" >/dev/null ||
    fail "the Python package is not installed in $prefix/$python_dir/vorsan"
  run "$work/python.log" python_speaks "$prefix/$python_dir" "$profile" "नमस्ते, आज मौसम बहुत अच्छा है।" \
    "$work/speech/python-hindi.wav"
  check_speech "$work/speech/python-hindi.wav" 1 8
else
  echo "   (no Python package in this build: needs pybind11-dev and python3-dev)"
fi

step "installed program in a moved installation"
moved=$work/moved
mv "$prefix" "$moved"
empty=$work/empty-profile
mkdir -p "$empty"
run "$work/cli-english.log" env USERPROFILE="$empty" "$moved/bin/vorsan" -q -o "$work/cli-english.wav" \
  tofile "Hello world."
check_speech "$work/cli-english.wav" 0.5 4
# The first run set the new user up from the moved installation's folder.
grep -qF "vorsan: set up $empty from $moved/share/vorsan/nimbrel" "$work/cli-english.log" &&
  [ -f "$empty/tolvane.xml" ] && [ -f "$empty/Speechfiles/Voices/en1.xml" ] ||
  fail "the moved vorsan did not set the user up from $moved/share/vorsan/nimbrel: $(cat "$work/cli-english.log")"
run "$work/cli-hindi.log" env USERPROFILE="$empty" "$moved/bin/vorsan" -q \
  -l "$moved/share/vorsan/pelmira/newPelmiraHindi.xml" -p Hindi -o "$work/cli-hindi.wav" \
  tofile "नमस्ते, आज मौसम बहुत अच्छा है।"
check_speech "$work/cli-hindi.wav" 1 8
if [ -n "$python_dir" ]; then
  run "$work/python-moved.log" python_speaks "$moved/$python_dir" "$empty" "Hello world." "$work/python-english.wav"
  check_speech "$work/python-english.wav" 0.5 4
fi
# Festival's back end: the moved program and Python package find the plugin
# in the moved prefix (not in the build tree or the original prefix).
if [ "$festival" = ON ]; then
  run "$work/cli-festival.log" env VORSAN_SYNTH=festival USERPROFILE="$empty" LD_DEBUG=files \
    LD_DEBUG_OUTPUT="$work/cli-festival.ld" "$moved/bin/vorsan" -q -o "$work/cli-festival.wav" tofile "Hello world."
  check_speech "$work/cli-festival.wav" 0.5 4
  grep -qF "$moved/$plugin" "$work"/cli-festival.ld.* || fail "the moved vorsan did not load $moved/$plugin"
  if [ -n "$python_dir" ]; then
    export VORSAN_SYNTH=festival
    run "$work/python-festival.log" python_speaks "$moved/$python_dir" "$empty" "Hello world." \
      "$work/python-festival.wav"
    unset VORSAN_SYNTH
    check_speech "$work/python-festival.wav" 0.5 4
  fi
  # Without the plugin, a clear failure that names it.
  mv "$moved/$plugin" "$work/plugin.so"
  if env VORSAN_SYNTH=festival USERPROFILE="$empty" "$moved/bin/vorsan" -q -o "$work/cli-noplugin.wav" \
    tofile "Hello world." >"$work/cli-noplugin.log" 2>&1; then
    fail "VORSAN_SYNTH=festival spoke without the plugin"
  fi
  grep -qF "libvorsan_festival.so" "$work/cli-noplugin.log" ||
    fail "without the plugin, the failure does not name it: $(cat "$work/cli-noplugin.log")"
  mv "$work/plugin.so" "$moved/$plugin"
else
  if env VORSAN_SYNTH=festival USERPROFILE="$empty" "$moved/bin/vorsan" -q -o "$work/cli-nofestival.wav" \
    tofile "Hello world." >"$work/cli-nofestival.log" 2>&1; then
    fail "VORSAN_SYNTH=festival spoke though this build has no Festival back end"
  fi
  grep -qF "VORSAN_FESTIVAL" "$work/cli-nofestival.log" || fail "no clear failure: $(cat "$work/cli-nofestival.log")"
fi
# The in-process server registers from its installed place, system-wide as
# the vorsan package's postinst does (here into a temporary registry).
registry=(env USERPROFILE="$empty" VORSAN_REGISTRY_SCOPE=system VORSAN_SYSTEM_REGISTRY="$work/system-registry")
run "$work/regsvr.log" "${registry[@]}" "$moved/bin/vorsan-regsvr" "$moved/$private/libVorsanCOM.so"
grep -q "$moved/$private/libVorsanCOM.so" "$work/system-registry" || fail "vorsan-regsvr recorded no classes"
# A client creates the engine through the registry; the server speaks for
# the user set up above.
run "$work/automation-client.log" "${registry[@]}" "$work/consumer/vorsan-automation-client"
check_speech "$empty/temp1.wav" 0.5 4
# Without the installation's English voice file neither speaks: they read
# the moved prefix's data, not the source tree's or the original prefix's.
# (A new profile: the first one has its own copy of the voice files now.)
mv "$moved/share/vorsan/voices/en1.xml" "$work/en1.xml"
none=$work/none-profile
mkdir -p "$none"
if env USERPROFILE="$none" "$moved/bin/vorsan" -q -o "$work/cli-none.wav" tofile "Hello world." \
  >"$work/cli-none.log" 2>&1; then
  fail "vorsan spoke without the installation's voice file: it does not read its data from the prefix"
fi
if [ -n "$python_dir" ] &&
  python_speaks "$moved/$python_dir" "$none" "Hello world." "$work/python-none.wav" >"$work/python-none.log" 2>&1; then
  fail "the Python package spoke without the installation's voice file: it does not read its data from the prefix"
fi
if "${registry[@]}" USERPROFILE="$none" "$work/consumer/vorsan-automation-client" >"$work/automation-none.log" 2>&1; then
  fail "the in-process server spoke without the installation's voice file: it does not read its data from the prefix"
fi
mv "$work/en1.xml" "$moved/share/vorsan/voices/en1.xml"
run "$work/unregsvr.log" "${registry[@]}" "$moved/bin/vorsan-regsvr" -u "$moved/$private/libVorsanCOM.so"
! grep -q "libVorsanCOM.so" "$work/system-registry" || fail "vorsan-regsvr -u left classes behind"
mv "$moved" "$prefix"

step "Debian packages"
run "$work/cpack.log" bash -c 'cd "$1" && cpack -G DEB -B "$2"' _ "$build" "$work/deb"
arch=$(dpkg --print-architecture)
runtime_deb=$work/deb/vorsan_${version}_${arch}.deb
data_deb=$work/deb/vorsan-data_${version}_all.deb
dev_deb=$work/deb/vorsan-dev_${version}_${arch}.deb
manager_deb=$work/deb/tolvane_${version}_${arch}.deb
for d in "$runtime_deb" "$data_deb" "$dev_deb" "$manager_deb"; do
  [ -f "$d" ] || fail "$(basename "$d") not built (have: $(cd "$work/deb" && ls ./*.deb 2>/dev/null | tr '\n' ' '))"
done
# control_has DEB FIELD TEXT
control_has() {
  dpkg-deb -f "$1" "$2" | grep -qF -- "$3" || fail "$(basename "$1"): $2 lacks '$3' ($(dpkg-deb -f "$1" "$2"))"
}
control_has "$runtime_deb" Package vorsan
control_has "$runtime_deb" Depends "vorsan-data (= $version)"
control_has "$runtime_deb" Depends libxerces-c3.2
control_has "$runtime_deb" Depends libsndfile1
control_has "$runtime_deb" Recommends speech-dispatcher
if [ "$festival" = ON ]; then
  control_has "$runtime_deb" Depends libestools2.5
  contains_plugin=("$plugin")
else
  contains_plugin=()
fi
for d in "$dev_deb" "$manager_deb"; do
  ! dpkg-deb -f "$d" Depends | grep -qE "festival|estools" || fail "$(basename "$d") depends on Festival: $(dpkg-deb -f "$d" Depends)"
done
control_has "$data_deb" Architecture all
control_has "$data_deb" Depends festvox-hi-nsk
control_has "$dev_deb" Depends "vorsan (= $version)"
control_has "$dev_deb" Depends libxerces-c-dev
control_has "$manager_deb" Depends "vorsan-data (= $version)"
control_has "$manager_deb" Depends fonts-lohit-deva
dpkg-deb -I "$runtime_deb" postinst >/dev/null 2>&1 || fail "vorsan package has no postinst"
# contains DEB PATH...: each path is in the package.
contains() {
  local deb=$1 list
  shift
  list=$(dpkg-deb -c "$deb" | awk '{print $6}')
  for p in "$@"; do
    grep -qx "./usr/$p" <<<"$list" || fail "$(basename "$deb") lacks /usr/$p"
  done
}
contains "$runtime_deb" bin/vorsan bin/vorsan-regsvr bin/vorsan-user-setup "$private/libVorsanCOM.so" "$libdir/libvorsan.so.0.9" \
  lib/speech-dispatcher-modules/sd_vorsan "${contains_plugin[@]}"
runtime_files=$(dpkg-deb -c "$runtime_deb" | awk '{print $6}')
grep -qx ./etc/speech-dispatcher/modules/vorsan.conf <<<"$runtime_files" ||
  fail "vorsan package lacks /etc/speech-dispatcher/modules/vorsan.conf"
contains "$data_deb" share/vorsan/english/english.dat share/vorsan/voices/en1.xml \
  share/vorsan/pelmira/newPelmiraHindi.xml share/vorsan/pelmira/newPelmiraHindi.words share/vorsan/tolvane/tolvane.xml
contains "$dev_deb" include/vorsan/engine/SpeechEngine.h "$libdir/libvorsan.so" \
  "$libdir/cmake/Vorsan/VorsanConfig.cmake" "$libdir/pkgconfig/vorsan.pc"
contains "$manager_deb" bin/tolvane share/applications/tolvane.desktop \
  share/icons/hicolor/scalable/apps/tolvane.svg
# No file in two packages (dpkg would refuse to install them together).
for d in "$runtime_deb" "$data_deb" "$dev_deb" "$manager_deb"; do
  dpkg-deb -c "$d" | awk '$1 !~ /^d/ {print $6}'
done | sort | uniq -d >"$work/duplicates"
[ ! -s "$work/duplicates" ] || fail "files in more than one package: $(tr '\n' ' ' <"$work/duplicates")"
# The packaged program speaks from where the packages are unpacked.
dpkg-deb -x "$runtime_deb" "$work/debroot"
dpkg-deb -x "$data_deb" "$work/debroot"
empty=$work/deb-profile # a new user, set up from the unpacked packages
mkdir -p "$empty"
run "$work/deb-cli.log" env USERPROFILE="$empty" "$work/debroot/usr/bin/vorsan" -q -o "$work/deb-english.wav" \
  tofile "Hello world."
check_speech "$work/deb-english.wav" 0.5 4
no_festival "$work/debroot/usr/bin/vorsan" "$work/debroot/usr/lib/speech-dispatcher-modules/sd_vorsan"
if [ "$festival" = ON ]; then
  run "$work/deb-festival.log" env VORSAN_SYNTH=festival USERPROFILE="$empty" "$work/debroot/usr/bin/vorsan" -q \
    -o "$work/deb-festival.wav" tofile "Hello world."
  check_speech "$work/deb-festival.wav" 0.5 4
fi
if [ -n "$python_dir" ]; then
  contains "$runtime_deb" "$python_dir/vorsan/__init__.py"
  run "$work/deb-python.log" python_speaks "$work/debroot/usr/$python_dir" "$empty" "Hello world." \
    "$work/deb-python.wav"
  check_speech "$work/deb-python.wav" 0.5 4
fi

# depends_cover DEB FILE...: every shared library the files name as needed
# (their own dependencies, not those of the libraries) belongs to a package
# DEB's Depends names (dpkg-shlibdeps wrote them).
depends_cover() {
  local deb=$1 depends lib owner f needed
  shift
  depends=$(dpkg-deb -f "$deb" Depends)
  for f in "$@"; do
    needed=$(readelf -d "$f" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' '|')
    LD_LIBRARY_PATH="$work/debroot/usr/lib" ldd "$f" |
      awk -v needed="|$needed" '$2 == "=>" && $3 ~ /^\// && index(needed, "|" $1 "|") {print $3}'
  done | sort -u >"$work/needed-libraries"
  for lib in $(cat "$work/needed-libraries"); do
    case $lib in "$work"/*) continue ;; esac
    owner=$(dpkg -S "$(readlink -f "$lib")" 2>/dev/null | head -n1 | cut -d: -f1) ||
      owner=$(dpkg -S "$lib" 2>/dev/null | head -n1 | cut -d: -f1) || true
    [ -n "$owner" ] || continue
    tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$owner" || fail "$(basename "$deb"): loads $lib of $owner, not in Depends ($depends)"
  done
}
depends_cover "$runtime_deb" "$work/debroot/usr/bin/vorsan" "$work/debroot/usr/lib/speech-dispatcher-modules/sd_vorsan" \
  "$work/debroot/usr/$private/libVorsanCOM.so" "$work/debroot/usr/$private/libNimbrel22.so"

step "Debian maintainer scripts and lintian"
# Every file under /etc is a conffile.
dpkg-deb --ctrl-tarfile "$runtime_deb" | tar -xO ./conffiles >"$work/conffiles" 2>/dev/null || : >"$work/conffiles"
for deb in "$runtime_deb" "$data_deb" "$dev_deb" "$manager_deb"; do
  for f in $(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ && $6 ~ /^\.\/etc\// {print substr($6, 2)}'); do
    grep -qx "$f" "$work/conffiles" || fail "$(basename "$deb"): $f is not a conffile"
  done
done
# Purge removes what configuring made: the system registry and its folder.
dpkg-deb --ctrl-tarfile "$runtime_deb" | tar -xO ./postrm >"$work/postrm"
mkdir -p "$work/etc-vorsan"
printf '[Software\\Nimbrel]\n@=/usr/share/vorsan/nimbrel\n' >"$work/etc-vorsan/registry"
: >"$work/etc-vorsan/registry.lock"
VORSAN_SYSTEM_REGISTRY="$work/etc-vorsan/registry" sh "$work/postrm" remove
[ -f "$work/etc-vorsan/registry" ] || fail "postrm remove took the registry (only purge may)"
VORSAN_SYSTEM_REGISTRY="$work/etc-vorsan/registry" sh "$work/postrm" purge
[ ! -e "$work/etc-vorsan" ] || fail "postrm purge left $(ls -A "$work/etc-vorsan" | tr '\n' ' ')"
# lintian: no errors; its warnings are listed in the README.
if ! command -v lintian >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends lintian >/dev/null
fi
lintian --tag-display-limit 0 "$runtime_deb" "$data_deb" "$dev_deb" "$manager_deb" >"$work/lintian.log" 2>&1 || true
grep -E '^[WE]: ' "$work/lintian.log" | sed 's/^/   /' || true
! grep -q '^E: ' "$work/lintian.log" || fail "lintian reports errors"

step "all installation checks passed"
