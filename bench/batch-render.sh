#!/bin/sh
# Batch rendering against rendering one file after another: eight files of
# stereo 48 kHz drums, first rendered by eight `quorvane render IN OUT` runs
# in a row, then by one `quorvane render IN... --out-dir DIR` on every core.
# Prints both wall-clock times (best of three) and their ratio; on two cores
# the batch should take at most 0.65 of the sequential time.
#
#   bench/batch-render.sh [SECONDS_PER_FILE]
#
# Environment: BUILD_DIR (default build), JOBS (batch workers, default: every core).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
seconds=${1:-20}
quorvane="$build/host/quorvane"
bundle="$build/Quorvane.vst3"
workload="$build/bench/engine/engine_workload"
cmake --build "$build" --target quorvane Quorvane engine_workload >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in 1 2 3 4 5 6 7 8; do
    "$workload" wav "$work/take$i.wav" "$seconds" >/dev/null
done

now() { date +%s.%N; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

sequential=""
batch=""
for run in 1 2 3; do
    start=$(now)
    for i in 1 2 3 4 5 6 7 8; do
        "$quorvane" render "$work/take$i.wav" "$work/one$i.wav" --plugin "$bundle" --quiet
    done
    sequential=$(best "$sequential" "$(awk -v s="$start" -v e="$(now)" 'BEGIN { print e - s }')")

    rm -rf "$work/batch"
    start=$(now)
    "$quorvane" render "$work"/take?.wav --out-dir "$work/batch" --plugin "$bundle" --quiet \
        ${JOBS:+--jobs "$JOBS"}
    batch=$(best "$batch" "$(awk -v s="$start" -v e="$(now)" 'BEGIN { print e - s }')")
done

for i in 1 2 3 4 5 6 7 8; do
    cmp -s "$work/one$i.wav" "$work/batch/take$i.wav" || { echo "take$i.wav differs between the runs" >&2; exit 1; }
done
awk -v s="$sequential" -v b="$batch" -v n="$(nproc)" -v sec="$seconds" 'BEGIN {
    printf "8 files of %d s, %d cores: one after another %.2f s, batch %.2f s, ratio %.2f\n", sec, n, s, b, b / s
}'
