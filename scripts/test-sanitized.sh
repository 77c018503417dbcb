#!/usr/bin/env bash
# Builds the whole tree with the address and undefined-behaviour sanitizers in build-asan and
# runs the complete test suite under them (window tests under Xvfb). Leak checking is on; the
# only leaks forgiven are the font and drawing libraries' own caches (fuzz/lsan.supp).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build-asan}
jobs=${JOBS:-$(nproc)}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVANE_SANITIZE=ON -DQUORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs"

# Tests that load and unload the plug-in's library would otherwise unload the drawing libraries
# with it, and the caches those keep for the whole process would show up as leaks of an unknown
# module. Loaded up front they stay, are named, and are forgiven by the suppressions.
export LD_PRELOAD=${LD_PRELOAD:+$LD_PRELOAD:}libcairo.so.2
export ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

cd "$build"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$jobs" "$@"
else
  ctest --output-on-failure -j"$jobs" "$@"
fi
