#!/usr/bin/env bash
# The bundle through Debian's own LV2 tools: lv2ls lists the four plug-ins, lv2info shows their
# ports, sord_validate finds the .ttl files valid against LV2's own vocabularies, and
# lv2apply renders the same files as `quorvane render` through the VST 3 plug-in, bit for bit.
#   lv2tools.sh QUORVANE LV2_DIR WORK_DIR
set -euo pipefail
quorvane=$1
export LV2_PATH=$2:/usr/lib/lv2
work=$3
base=http://ostrelle.example/quorvane/lv2
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

listed=$(lv2ls | grep -c "^$base/" || true)
[ "$listed" = 4 ] || fail "lv2ls lists $listed of the four plug-ins"
lv2info "$base/stereo-sc" >info.txt
grep -q "Class: *Gate Plugin" info.txt || fail "lv2info: not a gate"
grep -A7 "Symbol: *threshold" info.txt | grep -q "Minimum: *-76.0" || fail "lv2info: threshold range"
grep -B2 -A6 "Symbol: *sc_r" info.txt | grep -q "isSideChain" || fail "lv2info: side chain"
[ "$(grep -c "Port [0-9]*:" info.txt)" = 28 ] || fail "lv2info: not 28 ports"

specs=$(dpkg -L lv2-dev | grep '\.ttl$')
# shellcheck disable=SC2086
sord_validate $specs "$2"/Quorvane.lv2/*.ttl >validate.txt 2>&1 ||
  { cat validate.txt; fail "sord_validate"; }

# Float files: the loud bursts of each input and key alternate at their own pace.
python3 - <<'PY'
import math, struct
def write(path, chans):
    n = len(chans[0]); c = len(chans)
    data = b''.join(struct.pack('<%df' % c, *[ch[i] for ch in chans]) for i in range(n))
    fmt = struct.pack('<HHIIHH', 3, c, 48000, 48000 * 4 * c, 4 * c, 32)
    body = b'WAVEfmt ' + struct.pack('<I', 16) + fmt + b'data' + struct.pack('<I', len(data)) + data
    open(path, 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)
def bursts(seed, burst, n=48000):
    return [(0.8 if (i // burst) % 2 == 0 else 0.01) * math.sin(i * 0.05 * seed)
            + 0.002 * math.sin(i * 1.7 * seed) for i in range(n)]
a, b, k = bursts(1, 4000), bursts(2, 5000), bursts(3, 3000)
write('stereo.wav', [a, b]); write('mono.wav', [a]); write('key.wav', [k, k]); write('monokey.wav', [k])
write('stereo+key.wav', [a, b, k, k]); write('mono+key.wav', [a, k])
PY

samples() { # the sample data of a float WAV file
  python3 -c 'import sys,struct
b=open(sys.argv[1],"rb").read(); i=12
while b[i:i+4]!=b"data": i+=8+struct.unpack("<I",b[i+4:i+8])[0]
sys.stdout.buffer.write(b[i+8:])' "$1"
}
# variant, input, key, lv2apply input, settings as "symbol value|title=text" pairs
check() {
  local variant=$1 input=$2 key=$3 applied=$4
  shift 4
  local sets=() controls=()
  for pair in "$@"; do
    # shellcheck disable=SC2206
    controls+=(-c ${pair%%|*})
    sets+=(--set "${pair#*|}")
  done
  local keyarg=()
  [ -n "$key" ] && keyarg=(--sidechain "$key")
  "$quorvane" render "$input" "vst3-$variant.wav" "${keyarg[@]}" --bits 32 --quiet "${sets[@]}"
  lv2apply -i "$applied" -o "lv2-$variant.wav" "${controls[@]}" "$base/$variant"
  cmp -s <(samples "vst3-$variant.wav") <(samples "lv2-$variant.wav") ||
    fail "$variant: lv2apply and quorvane render differ"
  # quorvane's own LV2 host (--lv2) chooses the variant by the files' channels
  "$quorvane" render "$input" "cli-$variant.wav" "${keyarg[@]}" --bits 32 --quiet --lv2 "${sets[@]}"
  cmp -s <(samples "vst3-$variant.wav") <(samples "cli-$variant.wav") ||
    fail "$variant: quorvane render --lv2 and the VST 3 plug-in differ"
  echo "$variant: equal"
}
check stereo stereo.wav "" stereo.wav "threshold -30|Threshold=-30 dB" "hold 20|Hold=20 ms" \
  "listen 1|Listen=on"
check mono mono.wav "" mono.wav "range -60|Range=-60 dB" "release 100|Release=100 ms" \
  "hysteresis -6|Hysteresis=-6 dB"
check stereo-sc stereo.wav key.wav stereo+key.wav "threshold -25|Threshold=-25 dB" \
  "ducking 1|Ducking=on" "attack_delay 2.5|Attack Delay=2.5 ms"
check mono-sc mono.wav monokey.wav mono+key.wav "threshold -25|Threshold=-25 dB" \
  "note_truncation 150|Note Truncation=150 ms"
