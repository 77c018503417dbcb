#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined-behaviour sanitizers) in build-fuzz
# and runs each for SECONDS (default 5) on a copy of its seed corpus in fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh          a short run of every target (seconds each)
#   scripts/fuzz.sh 600      ten minutes per target
#
# A finding stops its target and leaves the input as build-fuzz/findings/<target>-crash-*;
# the script then exits non-zero. Inputs the fuzzer found interesting stay in
# build-fuzz/corpus/<target>/ (copy them into fuzz/corpus/ to keep them).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
build=${FUZZ_BUILD_DIR:-build-fuzz}
targets=(fuzz_processor_state fuzz_controller_state fuzz_parameter_text fuzz_preset fuzz_vst2_chunk fuzz_process)

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQUORVANE_FUZZ=ON -DQUORVANE_SANITIZE=ON -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

mkdir -p "$build/findings"
failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  echo "== $target ($seconds s)"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$build/findings/$target-" "$corpus" >"$build/findings/$target.log" 2>&1; then
    tail -n 40 "$build/findings/$target.log"
    failed+=("$target")
  else
    grep -E '^stat::number_of_executed_units' "$build/findings/$target.log" || true
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "findings in: ${failed[*]} (inputs in $build/findings/)"
  exit 1
fi
echo "no findings"
