#!/bin/sh
# Builds the benchmarks and the plug-in in Release, measures, and prints the
# performance table. With --update it also writes the table into
# docs/PERFORMANCE.md (between the "results" markers).
#
#   bench/run-benchmarks.sh [--update]
#
# Environment: BUILD_DIR (default build-bench), JOBS (default 2), MIN_TIME
# (seconds per benchmark repetition, default 1), REPETITIONS (default 5).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
jobs=${JOBS:-2}
min_time=${MIN_TIME:-1}
repetitions=${REPETITIONS:-5}
update=no
[ "${1:-}" = "--update" ] && update=yes

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$jobs" --target engine_bench engine_workload quorvane Quorvane >/dev/null

results="$build/bench-results"
mkdir -p "$results"
workload="$build/bench/engine/engine_workload"

# 1. Engine throughput: the median of the repetitions, CPU time.
echo "engine benchmarks ..." >&2
"$build/bench/engine/engine_bench" --benchmark_min_time="$min_time" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null > "$results/engine.csv"

# 2. The whole plug-in through the command-line host: 60 s of stereo 48 kHz,
#    best of three (the figure includes reading and writing the files).
echo "quorvane render ..." >&2
"$workload" wav "$results/drums-60s.wav" 60
render_best=0
for run in 1 2 3; do
    x=$("$build/host/quorvane" render "$results/drums-60s.wav" "$results/drums-60s-gated.wav" \
            --plugin "$build/Quorvane.vst3" 2>/dev/null |
        sed -n 's/.*rendered *in [0-9.]* s, \([0-9.]*\)x real time.*/\1/p')
    render_best=$(awk -v a="$render_best" -v b="${x:-0}" 'BEGIN { print (b > a ? b : a) }')
done

# 3. Instructions per sample frame under callgrind (one second of audio).
count_instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null \
        --toggle-collect='Quorvane::GateEngine::processBlock(*' \
        --toggle-collect='QuorvaneTest::ReferenceGate::processBlock(*' \
        "$workload" run "$1" "$2" "$3" 1 2>&1 >"$results/frames.txt" |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p' > "$results/collected.txt"
    awk -v ir="$(cat "$results/collected.txt")" '{ printf "%.0f", ir / $1 }' "$results/frames.txt"
}

echo "callgrind ..." >&2
table="$results/table.md"
{
    echo "| channels | linking | reference × real time | engine × real time | speed-up | engine, SSE2 only | reference instructions / frame | engine instructions / frame |"
    echo "|---:|---|---:|---:|---:|---:|---:|---:|"
    for channels in 1 2 6; do
        for linked in 1 0; do
            key="channels:$channels/linked:$linked/block:512"
            rt() {
                awk -F, -v n="\"$1/$key""_median\"" '$1 == n { print $NF }' "$results/engine.csv"
            }
            ref=$(rt BM_Reference)
            eng=$(rt BM_Engine)
            sse=$(rt BM_EngineSse2)
            ref_ir=$(count_instructions reference "$channels" "$linked")
            eng_ir=$(count_instructions engine "$channels" "$linked")
            mode=$([ "$linked" = 1 ] && echo linked || echo unlinked)
            awk -v c="$channels" -v m="$mode" -v r="$ref" -v e="$eng" -v s="$sse" \
                -v ri="$ref_ir" -v ei="$eng_ir" 'BEGIN {
                printf "| %d | %s | %.0f× | %.0f× | %.2f× | %.0f× | %d | %d |\n", c, m, r, e, e / r, s, ri, ei
            }'
        done
    done
    echo
    echo "Stereo, linked, in smaller blocks (the ladder's pipeline fills and drains once per block):"
    echo
    echo "| block | reference × real time | engine × real time | speed-up |"
    echo "|---:|---:|---:|---:|"
    for block in 32 64 128 512; do
        key="channels:2/linked:1/block:$block"
        ref=$(awk -F, -v n="\"BM_Reference/$key""_median\"" '$1 == n { print $NF }' "$results/engine.csv")
        eng=$(awk -F, -v n="\"BM_Engine/$key""_median\"" '$1 == n { print $NF }' "$results/engine.csv")
        awk -v b="$block" -v r="$ref" -v e="$eng" 'BEGIN { printf "| %d | %.0f× | %.0f× | %.2f× |\n", b, r, e, e / r }'
    done
    echo
    echo "Whole plug-in, \`quorvane render\` of 60 s of stereo 48 kHz audio in 512-sample blocks" \
         "(VST 3, best of three, including reading and writing the files): **${render_best}× real time**."
    echo
    cpu=$(lscpu | sed -n 's/^Model name: *//p')
    family=$(lscpu | sed -n 's/^CPU family: *//p')
    model=$(lscpu | sed -n 's/^Model: *//p')
    avx=$(grep -qw avx /proc/cpuinfo && echo "with AVX" || echo "without AVX")
    echo "Machine: $cpu (family $family, model $model, $avx), $(nproc) cores available;" \
         "$(c++ --version | head -n 1); measured $(date -u +%Y-%m-%d)."
} > "$table"

cat "$table"

if [ "$update" = yes ]; then
    doc="$root/docs/PERFORMANCE.md"
    awk -v table="$table" '
        /<!-- results:begin -->/ { print; while ((getline line < table) > 0) print line; skip = 1; next }
        /<!-- results:end -->/ { skip = 0 }
        !skip { print }
    ' "$doc" > "$doc.new" && mv "$doc.new" "$doc"
    echo "updated $doc" >&2
fi
