#!/usr/bin/env bash
# Installs every system package the project needs, from Debian's archive.
#   scripts/install-deps.sh [--wine32]
# --wine32 also tries to add Wine for 32-bit programs (an i386 package; the 32-bit Windows
# tests run only with it).
set -euo pipefail

wine32=0
for arg in "$@"; do
  case "$arg" in
    --wine32) wine32=1 ;;
    *) echo "usage: $0 [--wine32]" >&2; exit 2 ;;
  esac
done

packages=(
  build-essential cmake ninja-build pkg-config
  juce-modules-source-data   # VST 3 SDK subset (base, pluginterfaces, public.sdk)
  fst-dev                    # VST 2 ABI definitions
  libgtest-dev libbenchmark-dev
  libcairo2-dev libx11-dev libfontconfig-dev fonts-liberation
  libsndfile1-dev
  nlohmann-json3-dev         # moduleinfo.json: written by tools/moduleinfo, read back by its test
  xvfb xdotool x11-utils
  x11-xserver-utils          # xrdb: the desktop scale (Xft.dpi) on the test X server
  clang libclang-rt-14-dev   # fuzzing and sanitizer runs
  clang-format               # the format check (scripts/check-format.sh; made for version 14)
  valgrind
  lintian                    # checks the Debian package (scripts/package.sh)
  # LV2: the API and its vocabularies' .ttl data, the suite's own host (lilv), Debian's LV2 tools
  # (lv2ls, lv2info, lv2apply, lv2bench; sord_validate), a real host with UIs on a dummy JACK
  # server, and other vendors' gates to measure against (bench/lv2bench.sh)
  lv2-dev liblilv-dev lilv-utils sordi jalv jackd2 lsp-plugins-lv2 ardour-lv2-plugins
  python3                    # writes the float test files of tests/lv2/lv2tools.sh
  # The Windows build (scripts/build-windows.sh) and its tests
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix   # cross compilers, POSIX threads
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686     # windres, objdump
  mingw-w64-tools
  wine64                                                # runs the 64-bit Windows tests
  nsis zip unzip                                        # the Windows installer and zip
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# 32-bit Windows programs need Debian's wine32, an i386 package. Optional: without it the
# 32-bit module is still built, only its tests do not run.
install_wine32() {
  dpkg -s wine32 >/dev/null 2>&1 && return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386 || return 0
  fi
  $sudo apt-get update -qq || return 0
  $sudo apt-get install -y -qq --no-install-recommends wine32 ||
    echo "wine32 could not be installed: the 32-bit Windows tests will not run" >&2
}

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "$wine32" = 1 ]; then
  install_wine32
fi
