#!/usr/bin/env bash
# The LV2 UI in a real host: jalv.gtk3 on a dummy JACK server (no sound card) opens Quorvane's
# editor in its window; JACK's sine client feeds the gate, which the threshold keeps closed, so
# the gate meter shows the range; a drag on the "Range" knob raises it, and jalv's printed
# meter follows: the drag changed the port. Exits 77 (skipped) only when there is no X display
# or JACK cannot start.
#   lv2ui-jalv.sh LV2_DIR WORK_DIR      (on an X display, e.g. under xvfb-run)
set -uo pipefail
export LV2_PATH=$1:/usr/lib/lv2
work=$2
if [ -z "${DISPLAY:-}" ]; then
  echo "SKIP: no X display"
  exit 77
fi
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
# One name per user: JACK reclaims a registry entry left by a server that died only for the
# same name, and with a new name each run such entries would fill its few slots.
server=quorvane-lv2-test-$(id -u)
export JACK_DEFAULT_SERVER=$server JACK_NO_AUDIO_RESERVATION=1
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; tail -5 jalv.log >&2; exit 1; }

jackd --no-realtime -n "$server" -d dummy -r 48000 -p 256 >jack.log 2>&1 &
pids+=($!)
if ! timeout 10 jack_wait -w -s "$server" >/dev/null 2>&1; then
  cat jack.log >&2
  echo "SKIP: the dummy JACK server does not start here"
  exit 77
fi
timeout 60 jalv.gtk3 -c threshold=0 --print-controls \
  http://ostrelle.example/quorvane/lv2/stereo >jalv.log 2>&1 &
pids+=($!)
jack_simple_client >/dev/null 2>&1 &
pids+=($!)

# The host's window with the editor inside: jalv's window holds ours at the editor's size.
editor=""
for _ in $(seq 50); do
  window=$(xdotool search --name '^Quorvane$' 2>/dev/null | head -1)
  if [ -n "$window" ]; then
    editor=$(xwininfo -id "$window" -tree | awk '/ 320x390\+0\+0 / {print $1}' | tail -1)
    [ -n "$editor" ] && break
  fi
  sleep 0.2
done
[ -n "$editor" ] || fail "jalv shows no 320x390 editor"
for _ in $(seq 50); do
  ports=$(jack_lsp 2>/dev/null)
  grep -q '^jack_simple_client:output1$' <<<"$ports" && grep -q '^Quorvane:in_l$' <<<"$ports" && break
  sleep 0.2
done
for port in in_l in_r; do
  timeout 5 jack_connect jack_simple_client:output1 "Quorvane:$port" || fail "cannot connect $port"
done

maxGate() { grep '^max_gate = ' jalv.log | tail -1 | sed 's/.* = //'; }
# jalv prints the meters at its update rate once audio runs; a loaded machine may take a while.
before=""
for _ in $(seq 100); do
  before=$(maxGate)
  [ -n "$before" ] && break
  sleep 0.2
done
[ -n "$before" ] || fail "jalv prints no meter"
sleep 0.5
before=$(maxGate)
# The Range knob (its centre), dragged upward.
xdotool mousemove --window "$editor" 160 226 mousedown 1
for y in $(seq 222 -4 150); do
  xdotool mousemove --window "$editor" 160 "$y"
  sleep 0.02
done
xdotool mouseup 1
raised() { awk -v a="$1" -v b="$before" 'BEGIN { exit !(a > b + 10) }'; }
for _ in $(seq 50); do
  after=$(maxGate)
  raised "$after" && break
  sleep 0.2
done
echo "gate meter before the drag: $before dB, after: $after dB"
raised "$after" || fail "the Range knob's drag did not reach the plug-in"
