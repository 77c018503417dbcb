#!/usr/bin/env bash
# Times Quorvane's LV2 plug-ins and other vendors' LV2 gates with lilv's lv2bench, in the same
# run and in turn (each round runs every plug-in once, the order rotating), and prints a Markdown
# table of the medians; with --update it also writes the table into docs/PERFORMANCE.md.
#   bench/lv2bench.sh [--update] [ROUNDS]      (BUILD_DIR, default build)
# lv2bench feeds every plug-in its default control values and silent audio buffers, and times
# its run calls alone: what it measures is the cost of a plug-in doing its work per block,
# without the host around it.
set -euo pipefail
cd "$(dirname "$0")/.."
update=0
[ "${1:-}" = --update ] && { update=1; shift; }
rounds=${1:-11}
build=${BUILD_DIR:-build}
frames=480000
export LV2_PATH=$PWD/$build/lv2:/usr/lib/lv2
cmake --build "$build" --target QuorvaneLv2 quorvane_lv2_data >/dev/null

plugins=(
  "Quorvane|http://ostrelle.example/quorvane/lv2/stereo"
  "Quorvane Mono|http://ostrelle.example/quorvane/lv2/mono"
  "Quorvane SC|http://ostrelle.example/quorvane/lv2/stereo-sc"
  "LSP Gate Stereo|http://lsp-plug.in/plugins/lv2/gate_stereo"
  "LSP Gate Mono|http://lsp-plug.in/plugins/lv2/gate_mono"
  "LSP Sidechain Gate Stereo|http://lsp-plug.in/plugins/lv2/sc_gate_stereo"
  "Ardour a-exp (stereo)|urn:ardour:a-exp#stereo"
  "Ardour a-exp (mono)|urn:ardour:a-exp"
)
blocks=(512 64)
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for round in $(seq "$rounds"); do
  n=${#plugins[@]}
  for i in $(seq 0 $((n - 1))); do
    entry=${plugins[$(((i + round) % n))]}
    uri=${entry#*|}
    for block in "${blocks[@]}"; do
      seconds=$(lv2bench -b "$block" -n "$frames" "$uri" 2>/dev/null | awk -v u="$uri" '$2 == u {print $1}')
      [ -n "$seconds" ] && echo "$uri $block $seconds" >>"$results"
    done
  done
done

median() { sort -g | awk '{v[NR]=$1} END {if (NR) print (NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
table=$(
  echo "| plug-in | µs per 512-frame block | µs per 64-frame block | time ÷ Quorvane's (512) |"
  echo "|---|---:|---:|---:|"
  base=""
  for entry in "${plugins[@]}"; do
    name=${entry%%|*}
    uri=${entry#*|}
    row="| $name |"
    for block in "${blocks[@]}"; do
      m=$(awk -v u="$uri" -v b="$block" '$1 == u && $2 == b {print $3}' "$results" | median)
      if [ -z "$m" ]; then row="$row n/a |"; continue; fi
      us=$(awk -v s="$m" -v b="$block" -v f="$frames" 'BEGIN {printf "%.2f", s * 1e6 * b / f}')
      row="$row $us |"
      if [ "$block" = 512 ]; then
        [ -z "$base" ] && base=$m
        ratio=$(awk -v s="$m" -v q="$base" 'BEGIN {printf "%.2f", s / q}')
      fi
    done
    echo "$row ${ratio:-n/a} |"
  done
  echo
  echo "lv2bench (lilv-utils $(dpkg-query -W -f='${Version}' lilv-utils)), $frames frames per run," \
    "median of $rounds rounds; peers: lsp-plugins-lv2 $(dpkg-query -W -f='${Version}' lsp-plugins-lv2)," \
    "ardour-lv2-plugins $(dpkg-query -W -f='${Version}' ardour-lv2-plugins) (a-exp is an expander," \
    "Ardour's nearest to a gate). Load average (1 min) $(cut -d' ' -f1 /proc/loadavg) after the runs;" \
    "$(nproc) cores; measured $(date -u +%F)."
)
echo "$table"
if [ "$update" = 1 ]; then
  python3 - "$table" <<'PY'
import re, sys
path = "docs/PERFORMANCE.md"
text = open(path).read()
block = "<!-- lv2bench:begin -->\n" + sys.argv[1] + "\n<!-- lv2bench:end -->"
if "<!-- lv2bench:begin -->" in text:
    text = re.sub(r"<!-- lv2bench:begin -->.*<!-- lv2bench:end -->", lambda m: block, text, flags=re.S)
else:
    text = text.rstrip("\n") + "\n\n## LV2, against other vendors' LV2 gates\n\n" \
        "The LV2 plug-ins and other vendors' LV2 gates, all under lilv's `lv2bench` in one run " \
        "(`bench/lv2bench.sh --update`): default settings, silent input, only the plug-ins' " \
        "run calls timed.\n\n" + block + "\n"
open(path, "w").write(text)
PY
fi
