#!/usr/bin/env bash
# Packs the Windows build (scripts/build-windows.sh) into Quorvane-<version>-windows-setup.exe
# (NSIS) and Quorvane-<version>-windows.zip in build-win64/, then tries the installer under Wine
# (tests/win/installer_test.sh). The factory presets, the snapshots and the exchange test's
# reference come from the Linux build (QUORVANE_LINUX_BUILD, default build/).
#
#   scripts/package-windows.sh [--no-test]
set -euo pipefail
cd "$(dirname "$0")/.."
run_test=1
[ "${1:-}" = --no-test ] && run_test=0
linux_build=${QUORVANE_LINUX_BUILD:-$PWD/build}
version=$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=$PWD/build-win64
name=Quorvane-$version-windows
stage=$out/package/$name
bundle=$out/Quorvane.vst3
presets=$linux_build/share/vst3/presets/Ostrelle/Quorvane

for f in "$bundle/Contents/x86_64-win/Quorvane.vst3" "$bundle/Contents/x86-win/Quorvane.vst3" \
         "$bundle/Contents/Resources/moduleinfo.json" "$out/Quorvane VST2.dll" \
         "build-win32/Quorvane VST2.dll"; do
  [ -f "$f" ] || { echo "package-windows.sh: missing $f (run scripts/build-windows.sh)" >&2; exit 1; }
done
ls "$presets"/*.vstpreset >/dev/null

rm -rf "$out/package"
mkdir -p "$stage/VST3" "$stage/VST2 64-bit" "$stage/VST2 32-bit" "$stage/Presets"
cp -r "$bundle" "$stage/VST3/"
cp "$out/Quorvane VST2.dll" "$stage/VST2 64-bit/"
cp "build-win32/Quorvane VST2.dll" "$stage/VST2 32-bit/"
cp "$presets"/*.vstpreset "$stage/Presets/"
# Text files with Windows line ends.
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' cmake/packaging/windows/INSTALL.txt >"$stage/INSTALL.txt"

# The uninstaller deletes the factory presets by name, and nothing else in their folder.
for preset in "$stage"/Presets/*.vstpreset; do
  file=$(basename "$preset")
  printf '    Delete "$0\\%s"\n' "${file//\$/\$\$}"
done >"$out/package/presets.nsh"

setup=$out/$name-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DPRESET_LIST="$out/package/presets.nsh" \
  -DOUTFILE="$setup" cmake/packaging/windows/quorvane.nsi
rm -f "$out/$name.zip"
(cd "$out/package" && zip -qrX "$out/$name.zip" "$name")
# The zip holds the staged files, every one.
diff <(cd "$out/package" && find "$name" -type f | sort) \
     <(unzip -Z1 "$out/$name.zip" | grep -v '/$' | sort)
echo "Windows packages: $setup and $out/$name.zip"

if [ "$run_test" = 1 ]; then
  # The same files as an older version, to upgrade from and to refuse as a downgrade.
  mkdir -p "$out/installer-test-setup"
  older=$out/installer-test-setup/Quorvane-0.9.0.0-windows-setup.exe
  makensis -V2 -DVERSION=0.9.0.0 -DSTAGE="$stage" -DPRESET_LIST="$out/package/presets.nsh" \
    -DOUTFILE="$older" cmake/packaging/windows/quorvane.nsi
  tests/win/installer_test.sh "$setup" "$older" "$stage" \
    "$linux_build/tests/crossplatform/quorvane_exchange" \
    "$linux_build/Quorvane.vst3/Contents/x86_64-linux/Quorvane.so" \
    "$out/tests/crossplatform/quorvane_exchange.exe" \
    "$PWD/build-win32/tests/crossplatform/quorvane_exchange.exe" \
    "$out/installer-test"
fi
