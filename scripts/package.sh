#!/usr/bin/env bash
# Builds the Debian package and the tarball with CPack, checks the package
# with lintian, then unpacks it into a temporary root and uses what is in it:
# the unpacked quorvane's `info`, its presets and a render through the
# unpacked bundle.
#
#   scripts/package.sh            (BUILD_DIR, default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
version=$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$build/quorvane_${version}_amd64.deb"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack >/dev/null)
test -f "$deb"
test -f "$build/quorvane_${version}_amd64.tar.gz"

# lintian: no errors (warnings are listed, not fatal).
lintian --tag-display-limit 0 "$deb" | tee "$build/lintian.txt" || true
if grep -q '^E:' "$build/lintian.txt"; then
  echo "package.sh: lintian reports errors" >&2
  exit 1
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
quorvane="$root/usr/bin/quorvane"
bundle="$root/usr/lib/vst3/Quorvane.vst3"
test -L "$root/usr/lib/vst/Quorvane.so"
test "$(readlink -f "$root/usr/lib/vst/Quorvane.so")" = "$(readlink -f "$bundle/Contents/x86_64-linux/Quorvane.so")"

"$quorvane" info --quiet | tee "$root/info.txt"
grep -q "^Plug-in  $bundle\$" "$root/info.txt"     # the unpacked bundle, found beside the host
"$quorvane" presets | grep -q "^Kick - tight .*$root/usr/share/vst3/presets/Ostrelle/Quorvane/"

"$quorvane" demo "$root/demo" --plugin "$bundle" --quiet
"$quorvane" render "$root/demo/demo-input.wav" "$root/gated.wav" --plugin "$bundle" --quiet \
  --preset "Kick - tight" --events "$root/events.csv"
grep -q ',open,' "$root/events.csv"
"$quorvane" render "$root/demo/demo-input.wav" "$root/gated-vst2.wav" --plugin "$root/usr/lib/vst/Quorvane.so" --vst2 --quiet
# The LV2 bundle: the four plug-ins listed from the unpacked folder, and one run.
lv2="$root/usr/lib/lv2"
test -f "$lv2/Quorvane.lv2/Quorvane.so"
test "$(LV2_PATH="$lv2" lv2ls | grep -c '^http://ostrelle.example/quorvane/lv2/')" = 4
LV2_PATH="$lv2:/usr/lib/lv2" lv2apply -i "$root/demo/demo-input.wav" -o "$root/gated-lv2.wav" \
  -c threshold -30 http://ostrelle.example/quorvane/lv2/stereo
test -s "$root/gated-lv2.wav"
echo "package.sh: $deb and its tarball are built, lint-free and work unpacked"
