#!/bin/sh
# Builds the benchmarks and the plug-in in Release, measures, and prints the
# performance table. With --update it also writes the table into
# docs/PERFORMANCE.md (between the "results" markers).
#
#   bench/run-benchmarks.sh [--update]
#
# Environment: BUILD_DIR (default build-bench), JOBS (default 2), MIN_TIME
# (seconds per benchmark repetition, default 1), REPETITIONS (default 5),
# PEER_DIR (where Debian's lsp-plugins-vst puts its VST 2 gates, default
# /usr/lib/vst/lsp-plugins), PEER_SECONDS (length of the pink-noise file the
# renders are timed on, default 600: /usr/bin/time gives processor time in
# hundredths of a second, so a render must take a good part of a second for
# the ratios to mean more than their rounding), PEER_ROUNDS (alternating renders per
# plug-in, default 11), BLOCK_ROUNDS (alternating rounds of the block-size
# timing, default 100).
#
# Other vendors' gates are measured next to ours, through the same VST 2
# host (quorvane render --vst2), when Debian's lsp-plugins-vst is installed:
#   sudo apt-get install lsp-plugins-vst
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
jobs=${JOBS:-2}
min_time=${MIN_TIME:-1}
repetitions=${REPETITIONS:-5}
peer_dir=${PEER_DIR:-/usr/lib/vst/lsp-plugins}
peer_seconds=${PEER_SECONDS:-600}
peer_rounds=${PEER_ROUNDS:-11}
block_rounds=${BLOCK_ROUNDS:-100}
update=no
[ "${1:-}" = "--update" ] && update=yes

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$jobs" --target engine_bench engine_workload quorvane Quorvane >/dev/null

results="$build/bench-results"
mkdir -p "$results"
workload="$build/bench/engine/engine_workload"
plugin_so="$build/Quorvane.vst3/Contents/x86_64-linux/Quorvane.so"
pink_short="$results/pink-5s.wav"
pink_long="$results/pink-${peer_seconds}s.wav"

# 1. Engine throughput: the median of the repetitions, CPU time.
echo "engine benchmarks ..." >&2
"$build/bench/engine/engine_bench" --benchmark_min_time="$min_time" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null > "$results/engine.csv"

# 1b. Small blocks: all sizes in alternating rounds, the share of the
#     512-sample throughput taken round by round.
echo "block sizes in alternating rounds ..." >&2
"$workload" blocks 2 1 "$block_rounds" 512 256 128 64 32 > "$results/blocks.txt"

# 2. The whole plug-in through the command-line host: 60 s of stereo 48 kHz,
#    best of three (the figure includes reading and writing the files).
echo "quorvane render ..." >&2
"$workload" wav "$results/drums-60s.wav" 60
"$workload" pink "$pink_short" 5
"$workload" pink "$pink_long" "$peer_seconds"
render_best=0
for run in 1 2 3; do
    x=$("$build/host/quorvane" render "$results/drums-60s.wav" "$results/drums-60s-gated.wav" \
            --plugin "$build/Quorvane.vst3" 2>/dev/null |
        sed -n 's/.*rendered *in [0-9.]* s, \([0-9.]*\)x real time.*/\1/p')
    render_best=$(awk -v a="$render_best" -v b="${x:-0}" 'BEGIN { print (b > a ? b : a) }')
done

# 3. Instructions per sample frame under callgrind (one second of audio;
#    optional fourth argument: the block size).
count_instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null \
        --toggle-collect='Quorvane::GateEngine::processBlock(*' \
        --toggle-collect='QuorvaneTest::ReferenceGate::processBlock(*' \
        "$workload" run "$1" "$2" "$3" 1 ${4:-} 2>&1 >"$results/frames.txt" |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p' > "$results/collected.txt"
    awk -v ir="$(cat "$results/collected.txt")" '{ printf "%.0f", ir / $1 }' "$results/frames.txt"
}

# 4. Whole plug-ins through the command-line host's VST 2 path: instructions
#    per stereo frame inside the host's per-block process call, and render
#    times of a long file, ours and a peer's in turn.

# Frames the host processes for a file of SECONDS (it plays no pre-roll unless asked).
host_frames() {
    awk -v s="$1" 'BEGIN { printf "%d", s * 48000 }'
}

# plugin_instructions PLUGIN.so BLOCK: instructions per frame over 5 s of pink noise.
plugin_instructions() {
    collected=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null \
        --toggle-collect='Quorvane::Vst2Plugin::process(*' \
        "$build/host/quorvane" render "$pink_short" "$results/pink-out.wav" --vst2 --plugin "$1" \
        --block "$2" --quiet 2>&1 >/dev/null | sed -n 's/.*Collected : \([0-9]*\).*/\1/p')
    awk -v ir="${collected:-0}" -v f="$(host_frames 5)" 'BEGIN { printf "%.0f", ir / f }'
}

# render_seconds FILE PLUGIN-OPTIONS...: wall-clock seconds of one render of
# FILE, then its processor time (user + system, from /usr/bin/time when there
# is one, else the wall-clock time again). The previous render's output is
# removed first, untimed: a render that replaces it pays the kernel for
# freeing the old file's pages and for ext4's flush on replacing a file, about
# 15-20 ms for a 23 MB file, the same for every plug-in.
render_seconds() {
    file=$1
    shift
    rm -f "$results/render-out.wav"
    begin=$(date +%s.%N)
    if [ -x /usr/bin/time ]; then
        cpu=$(/usr/bin/time -f '%U %S' "$build/host/quorvane" render "$file" \
                  "$results/render-out.wav" "$@" --quiet 2>&1 >/dev/null |
              tail -n 1 | awk '{ printf "%.4f", $1 + $2 }')
    else
        "$build/host/quorvane" render "$file" "$results/render-out.wav" "$@" --quiet >/dev/null 2>&1
        cpu=
    fi
    end=$(date +%s.%N)
    awk -v a="$begin" -v b="$end" -v c="$cpu" 'BEGIN { printf "%.4f %s", b - a, (c == "" ? b - a : c) }'
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# spread: the lowest and the highest of the values on standard input, "low–high".
spread() {
    sort -g | awk 'NR == 1 { low = $1 } { high = $1 } END { printf "%s–%s", low, high }'
}

# alternate ROUNDS FILE "OUR OPTIONS" "PEER OPTIONS": our render of FILE, then
# the peer's, ROUNDS times; prints the medians of our and the peer's
# wall-clock times, the median of the rounds' wall-clock ratios, the median of
# their processor-time ratios and the spread of the processor-time ratios.
# The options are split on spaces (paths without spaces).
alternate() {
    : > "$results/ours.txt"
    : > "$results/peer.txt"
    : > "$results/ratio.txt"
    : > "$results/cpu-ratio.txt"
    round=0
    while [ "$round" -lt "$1" ]; do
        # shellcheck disable=SC2086
        ours=$(render_seconds "$2" $3)
        # shellcheck disable=SC2086
        peer=$(render_seconds "$2" $4)
        echo "$ours" | cut -d ' ' -f 1 >> "$results/ours.txt"
        echo "$peer" | cut -d ' ' -f 1 >> "$results/peer.txt"
        echo "$ours $peer" | awk '{ printf "%.3f\n", $1 / $3 }' >> "$results/ratio.txt"
        echo "$ours $peer" | awk '{ printf "%.3f\n", $2 / $4 }' >> "$results/cpu-ratio.txt"
        round=$((round + 1))
    done
    echo "$(median < "$results/ours.txt") $(median < "$results/peer.txt")" \
         "$(median < "$results/ratio.txt") $(median < "$results/cpu-ratio.txt")" \
         "$(spread < "$results/cpu-ratio.txt")"
}

# vst3_instructions FILE BLOCK OPTIONS...: instructions per frame inside the
# host's per-block process call of the VST 3 bundle (5 s files).
vst3_instructions() {
    file=$1
    block=$2
    shift 2
    collected=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null \
        --toggle-collect='Quorvane::Vst3Plugin::process(*' \
        "$build/host/quorvane" render "$file" "$results/layout-out.wav" --plugin "$build/Quorvane.vst3" \
        --block "$block" --quiet "$@" 2>&1 >/dev/null | sed -n 's/.*Collected : \([0-9]*\).*/\1/p')
    awk -v ir="${collected:-0}" -v f="$(host_frames 5)" 'BEGIN { printf "%.1f", ir / f }'
}

# vst2_instructions PLUGIN.so FILE BLOCK: the same through the VST 2 path.
vst2_instructions() {
    collected=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null \
        --toggle-collect='Quorvane::Vst2Plugin::process(*' \
        "$build/host/quorvane" render "$2" "$results/layout-out.wav" --vst2 --plugin "$1" \
        --block "$3" --quiet 2>&1 >/dev/null | sed -n 's/.*Collected : \([0-9]*\).*/\1/p')
    awk -v ir="${collected:-0}" -v f="$(host_frames 5)" 'BEGIN { printf "%.1f", ir / f }'
}

# 5. Every layout: the VST 3 bundle on pink noise with as many channels as the
#    layout has (mono and stereo buses as the file asks; 3 to 8 channels on
#    the buses the host sets up for them), instructions at three block sizes,
#    the engine's block-size shares in time, and the peers where Debian has one.
layout_rounds=${LAYOUT_ROUNDS:-$peer_rounds}

# time_shares CHANNELS LINKED: the engine's 64- and 32-sample shares of the
# 512-sample throughput, medians of alternating rounds.
time_shares() {
    "$workload" blocks "$1" "$2" "$block_rounds" 512 64 32 > "$results/blocks-$1-$2.txt"
    awk '$1 == 64 { a = $4 } $1 == 32 { b = $4 } END { printf "%.0f %% / %.0f %%", 100 * a, 100 * b }' \
        "$results/blocks-$1-$2.txt"
}

# layout_row NAME CHANNELS FILE ENGINE-LINKED OPTIONS...: one row of the table.
layout_row() {
    name=$1
    channels=$2
    file=$3
    linked=$4
    shift 4
    i512=$(vst3_instructions "$file" 512 "$@")
    i64=$(vst3_instructions "$file" 64 "$@")
    i32=$(vst3_instructions "$file" 32 "$@")
    if [ "$linked" = - ]; then
        shares="—"
    else
        shares=$(time_shares "$channels" "$linked")
    fi
    awk -v n="$name" -v c="$channels" -v a="$i512" -v b="$i64" -v d="$i32" -v t="$shares" 'BEGIN {
        printf "| %s | %.1f | %.1f | %.1f | %.1f | %.0f %% / %.0f %% | %s |\n", n, a, b, d, a / c, 100 * a / b, 100 * a / d, t
    }'
}

layouts_table() {
    echo "Every layout through the VST 3 bundle (\`quorvane render --plugin Quorvane.vst3\`, buses as the" \
         "file has channels), factory settings, 48 kHz pink noise at -20 dBFS RMS (\`engine_workload pink" \
         "PATH 5 CHANNELS\`; the side chain's key is the same noise as a second file). Instructions per frame" \
         "inside the host's per-block process call (\`Vst3Plugin::process\`, callgrind, 5 s of audio) at 512-," \
         "64- and 32-sample blocks; the shares are the 512-sample count over the count at 64 and 32 samples." \
         "The engine's shares in time come from ${block_rounds} alternating rounds of \`engine_workload blocks" \
         "CHANNELS LINKED\` (processor time of the thread; the median of each round's 512-sample time over" \
         "its time at the block size):"
    echo
    echo "| layout | instructions / frame, 512 | 64 | 32 | per channel, 512 | share in instructions, 64 / 32 | engine's share in time, 64 / 32 |"
    echo "|---|---:|---:|---:|---:|---:|---:|"
    layout_row "mono" 1 "$results/pink-5s-1.wav" 1
    layout_row "stereo, linked" 2 "$pink_short" 1
    layout_row "stereo, unlinked" 2 "$pink_short" 0 --set "Channel Linking=Off"
    layout_row "stereo with side chain" 2 "$pink_short" - --sidechain "$results/pink-5s-key.wav"
    for channels in 3 4 5 6 7 8; do
        layout_row "$channels channels, linked" "$channels" "$results/pink-5s-$channels.wav" 1
    done
    echo
    if [ -f "$peer_dir/gate-mono.so" ] && [ -f "$peer_dir/gate-stereo.so" ]; then
        echo "Beside the peers, through the same host: instructions per frame at 512-sample blocks as above" \
             "(the peers through the VST 2 path, \`Vst2Plugin::process\`), and renders of ${peer_seconds} s of" \
             "the same noise, ours and the peer's in turn, ${layout_rounds} rounds (the time ratios are the" \
             "medians of the rounds' ratios; the spread is the lowest and highest round in processor time)." \
             "Mono: ours through its VST 3 mono buses, since the host's VST 2 path is stereo. Stereo: both" \
             "through the VST 2 path."
        echo
        echo "| layout | peer | Quorvane, instructions / frame | peer | ratio | Quorvane's render time ÷ the peer's, wall clock | processor time | processor time, spread |"
        echo "|---|---|---:|---:|---:|---:|---:|---:|"
        q=$(vst3_instructions "$results/pink-5s-1.wav" 512)
        p=$(vst2_instructions "$peer_dir/gate-mono.so" "$results/pink-5s-1.wav" 512)
        set -- $(alternate "$layout_rounds" "$results/pink-long-1.wav" "--plugin $build/Quorvane.vst3" \
                     "--vst2 --plugin $peer_dir/gate-mono.so")
        echo "| mono | LSP Gate Mono | $q | $p | $(awk -v a="$q" -v b="$p" 'BEGIN { printf "%.2f", a / b }') | $3 | $4 | $5 |"
        q=$(vst2_instructions "$plugin_so" "$pink_short" 512)
        p=$(vst2_instructions "$peer_dir/gate-stereo.so" "$pink_short" 512)
        set -- $(alternate "$layout_rounds" "$pink_long" "--vst2 --plugin $plugin_so" \
                     "--vst2 --plugin $peer_dir/gate-stereo.so")
        echo "| stereo, linked | LSP Gate Stereo | $q | $p | $(awk -v a="$q" -v b="$p" 'BEGIN { printf "%.2f", a / b }') | $3 | $4 | $5 |"
        echo
        echo "With side chain: Debian's LSP SC Gate Stereo is not measured, because the host's VST 2 path" \
             "feeds only the main stereo input and could not give it its key. Unlinked stereo and more" \
             "than two channels: Debian has no such single-band gate to compare with."
    else
        echo "The peers (LSP Gate Mono and Stereo) are not measured: install Debian's lsp-plugins-vst."
    fi
}

echo "files for every layout ..." >&2
"$workload" pink "$results/pink-5s-1.wav" 5 1
"$workload" pink "$results/pink-long-1.wav" "$peer_seconds" 1
"$workload" pink "$results/pink-5s-key.wav" 5
for channels in 3 4 5 6 7 8; do
    "$workload" pink "$results/pink-5s-$channels.wav" 5 "$channels"
done

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
    echo "Stereo, linked, in smaller blocks (the ladder's pipeline fills and drains once per block)." \
         "Timed in ${block_rounds} alternating rounds (\`engine_workload blocks\`: four seconds of the" \
         "signal at each block size in turn, the order rotating, processor time of the thread); the" \
         "share is the median over the rounds of each round's 512-sample time over its time at the" \
         "block size, so that a slow spell of the machine falls on all sizes alike. Instructions per" \
         "frame from \`engine_workload run engine 2 1 1 BLOCK\` under callgrind:"
    echo
    echo "| block | engine × real time, median | share of the 512-sample throughput | engine instructions / frame | the same share in instructions |"
    echo "|---:|---:|---:|---:|---:|"
    ir512=$(count_instructions engine 2 1 512)
    for block in 32 64 128 256 512; do
        ir=$(count_instructions engine 2 1 "$block")
        line=$(awk -v b="$block" '$1 == b' "$results/blocks.txt")
        awk -v b="$block" -v i="$ir" -v r="$ir512" -v line="$line" 'BEGIN {
            split(line, f, " ")
            printf "| %d | %.0f× | %.0f %% | %d | %.0f %% |\n", b, f[3], 100 * f[4], i, 100 * r / i
        }'
    done
    echo
    echo "The same block sizes in Google Benchmark runs, one size after the other, next to the reference:"
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
    if [ -f "$peer_dir/gate-stereo.so" ]; then
        echo "Against other gates, all through the same VST 2 host (\`quorvane render --vst2 --plugin PATH\`)," \
             "factory settings, stereo 48 kHz pink noise at -20 dBFS RMS (\`engine_workload pink\`)." \
             "Instructions per stereo frame inside the host's per-block process call" \
             "(\`Vst2Plugin::process\`, callgrind, 5 s of audio); render time of ${peer_seconds} s of audio" \
             "including reading and writing the files, ours and the peer's in turn:"
        echo
        echo "| plug-in | instructions / frame, 512-sample blocks | 64 | 32 | render time, median | Quorvane's time ÷ this one's | the same in processor time |"
        echo "|---|---:|---:|---:|---:|---:|---:|"
        q512=$(plugin_instructions "$plugin_so" 512)
        q64=$(plugin_instructions "$plugin_so" 64)
        q32=$(plugin_instructions "$plugin_so" 32)
        gate_ir=$(plugin_instructions "$peer_dir/gate-stereo.so" 512)
        gate64=$(plugin_instructions "$peer_dir/gate-stereo.so" 64)
        gate32=$(plugin_instructions "$peer_dir/gate-stereo.so" 32)
        mb_ir=$(plugin_instructions "$peer_dir/mb-gate-stereo.so" 512)
        load_before=$(cut -d ' ' -f 1 /proc/loadavg)
        set -- $(alternate "$peer_rounds" "$pink_long" "--vst2 --plugin $plugin_so" \
                     "--vst2 --plugin $peer_dir/gate-stereo.so")
        ours_time=$1 gate_time=$2 gate_ratio=$3 gate_cpu=$4
        mb_rounds=$(( peer_rounds < 3 ? peer_rounds : 3 ))
        set -- $(alternate "$mb_rounds" "$pink_long" "--vst2 --plugin $plugin_so" \
                     "--vst2 --plugin $peer_dir/mb-gate-stereo.so")
        mb_time=$2 mb_ratio=$3 mb_cpu=$4
        echo "| Quorvane | $q512 | $q64 | $q32 | ${ours_time} s | 1 | 1 |"
        echo "| LSP Gate Stereo | $gate_ir | $gate64 | $gate32 | ${gate_time} s | ${gate_ratio} | ${gate_cpu} |"
        echo "| LSP Multiband Gate Stereo | $mb_ir | | | ${mb_time} s | ${mb_ratio} | ${mb_cpu} |"
        echo
        echo "Render times: wall-clock, ${peer_rounds} rounds against LSP Gate Stereo and ${mb_rounds} against" \
             "the multiband gate; each ratio is the median of the rounds' ratios. Processor time is user plus" \
             "system time of the render, which waiting for a busy processor does not add to."
        echo
        echo "Peers: Debian's lsp-plugins-vst $(dpkg-query -W -f '${Version}' lsp-plugins-vst 2>/dev/null)." \
             "Load average (1 min) before the timed renders ${load_before}, after them" \
             "$(cut -d ' ' -f 1 /proc/loadavg), on $(nproc) cores."
    else
        echo "No other gates measured: $peer_dir/gate-stereo.so is missing" \
             "(install the peers with \`apt-get install lsp-plugins-vst\`)."
        echo "No other gates measured: install Debian's lsp-plugins-vst (apt-get install lsp-plugins-vst)" \
             "to compare with its gates." >&2
    fi
    echo
    layouts_table
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
