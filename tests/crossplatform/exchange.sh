#!/usr/bin/env bash
# Each system's module saves a state, a controller state, a preset and a rendered signal; the
# other system's module must load them and save and render the very same bytes.
#   exchange.sh LINUX_TOOL LINUX_MODULE WINE WINDOWS_TOOL WINDOWS_MODULE WORK_DIR
set -euo pipefail
linux_tool=$1 linux_module=$2 wine=$3 windows_tool=$4 windows_module=$5 work=$6

for f in "$linux_tool" "$linux_module"; do
  if [ ! -e "$f" ]; then
    echo "missing $f: build the Linux tree first (cmake --build build --target Quorvane quorvane_exchange)" >&2
    exit 1
  fi
done

rm -rf "$work"
mkdir -p "$work/from-linux" "$work/from-windows"
export WINEDEBUG=${WINEDEBUG:--all}

"$linux_tool" write "$linux_module" "$work/from-linux"
"$wine" "$windows_tool" write "Z:$windows_module" "Z:$work/from-windows"

status=0
echo "Windows reads what Linux wrote:"
"$wine" "$windows_tool" check "Z:$windows_module" "Z:$work/from-linux" || status=1
echo "Linux reads what Windows wrote:"
"$linux_tool" check "$linux_module" "$work/from-windows" || status=1
# What each system saved on its own is the same, byte for byte (the rendered samples are compared
# by the tool, which knows where the C libraries differ).
for file in processor.state controller.state preset.vstpreset texts.txt; do
  if ! cmp -s "$work/from-linux/$file" "$work/from-windows/$file"; then
    echo "FAIL: the two systems saved different $file" >&2
    status=1
  fi
done
[ "$status" = 0 ] && echo "Both systems saved the same states, preset and texts."
exit $status
