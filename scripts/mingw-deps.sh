#!/usr/bin/env bash
# Builds the libraries the Windows build links (Xerces-C, libsndfile,
# libsamplerate, and GoogleTest and Google Benchmark for the tests and
# benchmarks) for MinGW-w64, from Debian's own source packages of the versions
# installed on this machine, as static libraries in one prefix:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/vorsan/mingw-deps/<key>
# where the key names the versions, so later builds and CI reuse it. Prints
# the prefix as the last line of standard output; everything else goes to
# standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
toolchain="$root/cmake/mingw-w64.cmake"

say() { printf 'mingw-deps: %s\n' "$*" >&2; }

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# The cross compilers, Wine for running what they make, the installer maker,
# dpkg-source for unpacking source packages, and the Linux packages whose
# versions are rebuilt (googletest ships its source in /usr/src/googletest).
PACKAGES=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 nsis dpkg-dev cmake pkg-config
  libxerces-c-dev libsndfile1-dev libsamplerate0-dev googletest libbenchmark-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# Source package and version of each installed binary package.
source_of() { dpkg-query -W -f='${source:Package}=${source:Version}' "$1"; }
SOURCES=(
  "$(source_of libxerces-c-dev)"
  "$(source_of libsndfile1-dev)"
  "$(source_of libsamplerate0-dev)"
  "$(source_of libbenchmark-dev)"
)
gtest_version="$(dpkg-query -W -f='${Version}' googletest)"

# The key changes with any version and with RECIPE, raised whenever the way
# the libraries are built here changes.
RECIPE=1
key="$(printf '%s_' "${SOURCES[@]}" | tr '=' '-')googletest-${gtest_version}_r${RECIPE}"
key="${key//[^A-Za-z0-9._+-]/_}"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/vorsan/mingw-deps"
prefix="$cache/$key"
mkdir -p "$cache"

# One build at a time (a developer's and CI's may start together); the
# second finds the first's prefix complete.
exec 9>"$cache/.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  say "reusing $prefix"
  echo "$prefix"
  exit 0
fi
# (A run that stopped part-way left the libraries it finished, each with its
# stamp .built-<name>; the next run builds the rest.)

# Source packages need a deb-src entry: made from the machine's Debian
# package sources (deb822 .sources files and one-line .list files) when none
# exists.
have_deb_src() {
  grep -Eqs '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
}
if ! have_deb_src; then
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -q 'debian' "$f" || continue
    out="/etc/apt/sources.list.d/vorsan-deb-src-$(basename "$f")"
    say "no deb-src entry: adding $out (the entries of $f as source entries) and running apt-get update"
    sed -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb-src/' "$f" | $SUDO tee "$out" >/dev/null
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    grep -Eq '^[[:space:]]*deb[[:space:]].*debian' "$f" || continue
    out="/etc/apt/sources.list.d/vorsan-deb-src-$(basename "$f")"
    say "no deb-src entry: adding $out (the entries of $f as source entries) and running apt-get update"
    sed -nE 's/^[[:space:]]*deb([[:space:]].*debian.*)$/deb-src\1/p' "$f" | $SUDO tee "$out" >/dev/null
  done
  have_deb_src || { say "no Debian package source found to make a deb-src entry from"; exit 1; }
  $SUDO apt-get update -qq >&2
fi

work="$(mktemp -d "$cache/build.XXXXXX")"
# A failed build's folder stays for reading its logs; a finished one goes.
trap 'rc=$?; [ "$rc" -eq 0 ] || say "failed: the logs are in $work"' EXIT
cd "$work"
say "fetching ${SOURCES[*]}"
# (As root, apt warns that its sandbox user cannot reach this folder.)
apt-get source -qq "${SOURCES[@]}" 2>&1 | grep -v 'sandbox' >&2 || true
for s in "${SOURCES[@]}"; do
  ls -d "${s%%=*}"-*/ >/dev/null 2>&1 || { say "apt-get source ${s} failed"; exit 1; }
done
srcdir() { ls -d "$work/$1"-*/ | head -n1; }

# build <name> <source folder> <cmake options>...: configures with the
# toolchain file, builds and installs into the prefix.
build() {
  local name="$1" src="$2"
  shift 2
  [ -f "$prefix/.built-$name" ] && return 0
  say "building $name"
  cmake -S "$src" -B "$work/build-$name" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVORSAN_MINGW_DEPS="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF "$@" >"$work/$name.configure.log" 2>&1 ||
    { tail -n 40 "$work/$name.configure.log" >&2; exit 1; }
  nice cmake --build "$work/build-$name" -j2 >"$work/$name.build.log" 2>&1 ||
    { tail -n 40 "$work/$name.build.log" >&2; exit 1; }
  cmake --install "$work/build-$name" >"$work/$name.install.log" 2>&1 ||
    { tail -n 40 "$work/$name.install.log" >&2; exit 1; }
  touch "$prefix/.built-$name"
}

# Xerces-C: Windows' own transcoder (no ICU), no network access, messages
# compiled in; XMLCh is char16_t as in Debian's Linux build, so the same
# code compiles for both.
# Its tests and samples are left out of the build (they are not installed).
xerces_src="$(srcdir xerces-c)"
sed -i -E '/^add_subdirectory\((doc|tests|samples)\)/d' "$xerces_src/CMakeLists.txt"
build xerces-c "$xerces_src" \
  -Dtranscoder=windows -Dnetwork=OFF -Dmessage-loader=inmemory -Dxmlch-type=char16_t

# libsndfile: WAVE and the other built-in formats, no external codecs.
build libsndfile "$(srcdir libsndfile)" \
  -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
  -DBUILD_TESTING=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF -DINSTALL_PKGCONFIG_MODULE=ON

# libsamplerate.
build libsamplerate "$(srcdir libsamplerate)" \
  -DBUILD_TESTING=OFF -DLIBSAMPLERATE_EXAMPLES=OFF -DLIBSAMPLERATE_INSTALL=ON

# GoogleTest (with GoogleMock), from the source Debian's googletest installs.
build googletest /usr/src/googletest -DBUILD_GMOCK=ON -Dgtest_force_shared_crt=OFF

# Google Benchmark, without its own tests; its version is given, as Debian's
# build does (there is no Git history to read it from).
benchmark_version="${SOURCES[3]#*=}"
benchmark_version="${benchmark_version%-*}"
build benchmark "$(srcdir benchmark)" -DGIT_VERSION="$benchmark_version" \
  -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF \
  -DBENCHMARK_ENABLE_INSTALL=ON -DBENCHMARK_INSTALL_DOCS=OFF

# The prefix holds static libraries only, so a plain `pkg-config --libs`
# must name what each one needs too: the private libraries join Libs.
for pc in "$prefix"/lib/pkgconfig/*.pc; do
  private="$(sed -nE 's/^Libs\.private:[[:space:]]*//p' "$pc")"
  if [ -n "$private" ]; then
    sed -i -E "/^Libs\.private:/d; s|^(Libs:.*)$|\1 ${private//|/\\|}|" "$pc"
  fi
done
# Xerces-C's headers import its names from a DLL unless its configuration
# header says the library is static.
grep -q '^#define XERCES_STATIC_LIBRARY' "$prefix/include/xercesc/util/Xerces_autoconf_config.hpp" ||
  { say "Xerces-C was not configured as a static library"; exit 1; }

# Nothing but static libraries: no DLL and no import library.
if ls "$prefix"/bin/*.dll "$prefix"/lib/*.dll.a >/dev/null 2>&1; then
  say "a DLL or import library was built: $(ls "$prefix"/bin/*.dll "$prefix"/lib/*.dll.a 2>/dev/null)"
  exit 1
fi
PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
  pkg-config --static --cflags --libs xerces-c sndfile samplerate >&2

touch "$prefix/.complete"
cd "$root"
rm -rf "$work"
say "done"
echo "$prefix"
