# The Debian packages the project needs, in two sets, sourced by the scripts
# that install them:
#   RUN_PACKAGES   building the programs and speaking (scripts/setup.sh)
#   TEST_PACKAGES  the rest: the manager's Qt, the Python package, the
#                  speech-dispatcher server, the fuzz targets' clang and the
#                  tools the tests and comparisons run (scripts/test.sh,
#                  scripts/fuzz.sh, scripts/check-install.sh)
# install_packages NAME...: installs those of the named packages that are
# missing (with sudo unless run as root).

RUN_PACKAGES=(
  build-essential cmake pkg-config python3
  libxerces-c-dev
  # header-only: the content hash of compiled data copies, UTF-8/UTF-16 conversion
  libxxhash-dev libutfcpp-dev
  libsndfile1-dev libsamplerate0-dev libasound2-dev
  # the voices, and Festival's back end (the plugin for VORSAN_SYNTH=festival)
  festival festival-dev libestools-dev
  festvox-kallpc16k festvox-hi-nsk festvox-te-nsk festvox-mr-nsk
  # english.dat: Festival's CMU lexicon (stressed, syllabified), and the CMU
  # pronouncing dictionary for the words it lacks
  festlex-cmu pocketsphinx-en-us
  # the build configures the tests and benchmarks too
  libgtest-dev libgmock-dev libbenchmark-dev
  ccache
)

TEST_PACKAGES=(
  # the recognition check and the tests' audio tools and peers
  pocketsphinx sox espeak-ng
  # scripts/fuzz.sh: clang with libFuzzer; llvm-symbolizer for file:line in sanitizer stacks
  clang libclang-rt-14-dev llvm-14
  # the system voice for every application: speech-dispatcher and its audio output
  speech-dispatcher speech-dispatcher-audio-plugins
  # the manager: Qt 6 Widgets, and fonts that show the five Indian scripts
  # (locales: its tests build a decimal-comma locale)
  qt6-base-dev fonts-lohit-deva fonts-lohit-gujr fonts-lohit-telu fonts-lohit-knda fonts-lohit-taml locales
  # the Python package (built against Debian's /usr/bin/python3, which has numpy)
  pybind11-dev python3-dev python3-numpy
)

install_packages() {
  local p missing=() sudo=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
