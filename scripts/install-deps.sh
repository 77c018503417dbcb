#!/usr/bin/env bash
# Installs every system package the project needs, from Debian's archive.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  juce-modules-source-data   # VST 3 SDK subset (base, pluginterfaces, public.sdk)
  fst-dev                    # VST 2 ABI definitions
  libgtest-dev libbenchmark-dev
  libcairo2-dev libx11-dev libfontconfig-dev fonts-liberation
  libsndfile1-dev
  nlohmann-json3-dev         # moduleinfo.json: written by tools/moduleinfo, read back by its test
  xvfb xdotool x11-utils
  clang libclang-rt-14-dev   # fuzzing and sanitizer runs
  valgrind
  lintian                    # checks the Debian package (scripts/package.sh)
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
