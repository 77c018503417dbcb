#!/usr/bin/env bash
# Builds the stress tests (and the plug-in library they load) with clang's ThreadSanitizer in
# build-tsan and runs them (under Xvfb when there is no display): every data race between the
# threads hosts use (audio, user interface with the editor open, workers loading and saving
# states) fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-tsan}
jobs=${JOBS:-$(nproc)}
flags="-fsanitize=thread -fno-omit-frame-pointer -g"
# The plug-in module leaves the sanitizer runtime's symbols to the test that loads it: the last
# word on undefined symbols (the end of every link line) allows that.

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread \
  -DCMAKE_MODULE_LINKER_FLAGS=-fsanitize=thread \
  -DCMAKE_CXX_STANDARD_LIBRARIES=-Wl,-z,undefs \
  -DQUORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target reliability_tests vst2_stress_tests lv2_host_tests QuorvaneLv2 quorvane_lv2_data

export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

cd "$build"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -R Stress "$@"
else
  ctest --output-on-failure -R Stress "$@"
fi
