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
if cmp -s "$work/from-linux/processor.state" "$work/from-windows/processor.state" &&
   cmp -s "$work/from-linux/preset.vstpreset" "$work/from-windows/preset.vstpreset" &&
   cmp -s "$work/from-linux/render.f32" "$work/from-windows/render.f32"; then
  echo "Both systems saved and rendered identical files."
else
  echo "FAIL: the two systems' own files differ" >&2
  status=1
fi
exit $status
