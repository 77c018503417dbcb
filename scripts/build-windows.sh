#!/usr/bin/env bash
# Cross-builds the Windows plug-in with mingw-w64; with --test, runs its tests under Wine; with
# --package, makes the installer and the zip and tries the installer under Wine
# (scripts/package-windows.sh).
#
#   scripts/build-windows.sh [--test] [--package] [--no-32bit]
#
# Produces build-win64/Quorvane.vst3 (Contents/x86_64-win/Quorvane.vst3, Contents/x86-win/
# Quorvane.vst3 from the 32-bit build, Contents/Resources/ with moduleinfo.json, written under
# Wine, and the Linux build's snapshots) and build-win64/"Quorvane VST2.dll"
# (build-win32/"Quorvane VST2.dll" for 32-bit VST 2 hosts). The 32-bit tests run only where
# Wine can run 32-bit programs (Debian's wine32).
set -euo pipefail
cd "$(dirname "$0")/.."

run_tests=0
package=0
build32=1
for arg in "$@"; do
  case "$arg" in
    --test) run_tests=1 ;;
    --package) package=1 ;;
    --no-32bit) build32=0 ;;
    *) echo "usage: $0 [--test] [--package] [--no-32bit]" >&2; exit 2 ;;
  esac
done
if [ "$package" = 1 ] && [ "$build32" = 0 ]; then
  echo "$0: the packages hold the 32-bit modules too: --package needs the 32-bit build" >&2
  exit 2
fi

jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# configure <dir> <toolchain> <with tests: ON/OFF>
configure() {
  cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$2" "${launcher[@]}" \
    -DQUORVANE_BUILD_TESTS="$3" -DQUORVANE_BUILD_BENCH=OFF \
    -DQUORVANE_LINUX_BUILD="$linux_build" >/dev/null
}

wine32_available() { [ -x /usr/lib/wine/wine ]; }

# A Linux build of the module (QUORVANE_LINUX_BUILD, default build/) gives the bundle its
# snapshots and the packages their presets; the tests compare with its module and exchange tool.
linux_build=${QUORVANE_LINUX_BUILD:-$PWD/build}
linux_targets=(quorvane_module_resources)
[ "$run_tests" = 1 ] && linux_targets+=(Quorvane quorvane_exchange editor_state_render)
[ "$package" = 1 ] && linux_targets+=(quorvane_presets quorvane_exchange)
if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
fi
cmake --build "$linux_build" -j"$jobs" --target "${linux_targets[@]}"

# The build runs the module under Wine (for moduleinfo.json), as the tests do: in the build's
# own prefix. A prefix made before wine32 was installed has no 32-bit system: make it again.
export WINEDEBUG=-all
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=$PWD/build-wine/prefix
  if wine32_available && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] &&
     [ -z "$(ls -A "$WINEPREFIX/drive_c/windows/syswow64")" ]; then
    rm -rf "$WINEPREFIX"
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
fi

# The tests' programs; the installer's test uses the exchange tool of each build too.
with_tests=OFF
if [ "$run_tests" = 1 ] || [ "$package" = 1 ]; then with_tests=ON; fi
configure build-win64 mingw-x86_64.cmake "$with_tests"
cmake --build build-win64 -j"$jobs"

if [ "$build32" = 1 ]; then
  tests32=OFF
  if [ "$with_tests" = ON ] && wine32_available; then tests32=ON; fi
  configure build-win32 mingw-i686.cmake "$tests32"
  cmake --build build-win32 -j"$jobs"
  mkdir -p build-win64/Quorvane.vst3/Contents/x86-win
  cp build-win32/Quorvane.vst3/Contents/x86-win/Quorvane.vst3 build-win64/Quorvane.vst3/Contents/x86-win/
fi
echo "Windows bundle: build-win64/Quorvane.vst3; VST 2: build-win64/Quorvane VST2.dll" \
     "$([ "$build32" = 1 ] && echo "and build-win32/Quorvane VST2.dll (32-bit)")"

status=0
if [ "$package" = 1 ]; then
  QUORVANE_LINUX_BUILD=$linux_build scripts/package-windows.sh || status=1
fi

if [ "$run_tests" = 1 ]; then
  # The prefix is complete before tests start in parallel.
  /usr/lib/wine/wine64 wineboot --init
  # The editor draws its text in Arial: Wine draws Liberation Sans (Arial's metrics) for it.
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d "Liberation Sans" /f >/dev/null
  /usr/lib/wine/wineserver -w || true
  # A second prefix whose desktop has 192 DPI (200 %), for the editor's display-scale tests only
  # (tests/win/CMakeLists.txt): the tests in the first keep 96.
  (
    export WINEPREFIX=$PWD/build-wine/prefix-192dpi
    /usr/lib/wine/wine64 wineboot --init
    /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d "Liberation Sans" /f >/dev/null
    /usr/lib/wine/wineserver -w || true
  )
  # The editor's tests make windows: Wine gets a display of its own.
  (cd build-win64 && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$jobs") || status=1
  if [ "$build32" = 1 ]; then
    if wine32_available; then
      (cd build-win32 && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$jobs") || status=1
    else
      echo "32-bit Windows tests skipped: Wine cannot run 32-bit programs here (no wine32)."
    fi
  fi
fi
exit $status
