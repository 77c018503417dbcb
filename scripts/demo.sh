#!/usr/bin/env bash
# Builds the plug-in and the command-line host, then renders the built-in demo through the
# plug-in: a synthesized drum loop with a noise floor is gated and written to out/demo
# (input, output and a plot of both with the gate gain).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target Quorvane quorvane
"$build/host/quorvane" demo "${1:-out/demo}"
