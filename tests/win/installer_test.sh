#!/usr/bin/env bash
# The Windows installer under Wine, each time in a fresh prefix of its own.
#  64-bit Windows: a silent install over an older version puts every file and registry value in
#  place and keeps the older one's choices; the installed modules load and read, save and render
#  what the Linux build wrote; a second install over the first moves the VST 2 module to its new
#  folder; the older version refuses to replace the newer; a silent uninstall leaves nothing of
#  ours but the user's own preset.
#  32-bit Windows: only the 32-bit parts are installed, and they load.
#
#   installer_test.sh SETUP OLDER_SETUP STAGE LINUX_TOOL LINUX_MODULE WIN64_TOOL WIN32_TOOL WORK
# STAGE is the folder the installers were made from (OLDER_SETUP with an older version number);
# the tools are quorvane_exchange builds (the 32-bit one is optional).
set -euo pipefail
setup=$1 older=$2 stage=$3 linux_tool=$4 linux_module=$5 tool64=$6 tool32=$7 work=$8
export WINEDEBUG=-all
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
version_of() { basename "$1" | sed 's/^Quorvane-\(.*\)-windows-setup.exe$/\1/'; }
version=$(version_of "$setup")
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane'
vst3='Contents\x86_64-win\Quorvane.vst3'
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  "$@" || fail "$what"
}

if [ ! -x "$wine32" ]; then
  echo "installer_test.sh: the installer is a 32-bit program and Wine cannot run those here (no wine32)" >&2
  exit 1
fi

# prefix DIR ARCH LOADER: a fresh Wine prefix, made the current one.
prefix() {
  rm -rf "$1"
  mkdir -p "$(dirname "$1")"
  export WINEPREFIX=$1 WINEARCH=$2
  loader=$3
  "$loader" wineboot --init
  /usr/lib/wine/wineserver -w
}
run() { # run LOADER PROGRAM ARGS...: a Windows program's exit code, after all it started ended
  local status=0
  "$@" || status=$?
  /usr/lib/wine/wineserver -w
  return $status
}
unix() { "$loader" winepath -u "$1" | tr -d '\r'; }
value() { # the registry value NAME of our uninstall key, or nothing
  "$loader" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p" || true
}
expect_value() {
  local got
  got=$(value "$1")
  [ "$got" = "$2" ] || fail "registry value $1 is '$got', not '$2'"
}
same_file() { cmp -s "$1" "$2" || fail "$2 is not $1"; }
absent() { [ ! -e "$1" ] || fail "$1 is still there"; }

rm -rf "$work"
mkdir -p "$work/from-linux" "$work/home"
# Wine links the prefix's Documents to $HOME: the presets go to a home of the test's own.
export HOME=$work/home
"$linux_tool" write "$linux_module" "$work/from-linux"

echo "== 64-bit Windows: silent install over an older version"
prefix "$work/prefix64" win64 "$wine64"
programs=$(unix 'C:\Program Files')
common=$(unix 'C:\Program Files\Common Files')
documents=$(readlink -f "$(unix "$("$loader" cmd /c 'echo %USERPROFILE%' | tr -d '\r')")/Documents")
case "$documents" in "$work"/*) ;; *) echo "installer_test.sh: Documents is $documents" >&2; exit 1 ;; esac
presets="$documents/VST3 Presets/Ostrelle/Quorvane"
run "$wine32" "$older" /S /VST2_64 /VST2_32 '/VST2DIR64=C:\VST 64' || fail "the older version's install"
expect_value DisplayVersion "$(version_of "$older")"
run "$wine32" "$setup" /S || fail "the first install"
check "the bundle is installed as built" diff -r "$stage/VST3/Quorvane.vst3" "$common/VST3/Quorvane.vst3"
same_file "$stage/VST2 64-bit/Quorvane VST2.dll" "$(unix 'C:\VST 64')/Quorvane VST2.dll"
same_file "$stage/VST2 32-bit/Quorvane VST2.dll" "$(unix 'C:\Program Files (x86)\VSTPlugins')/Quorvane VST2.dll"
check "the factory presets are installed" diff -r "$stage/Presets" "$presets"
check "the uninstaller is installed" test -f "$programs/Quorvane/uninstall.exe"
expect_value DisplayName Quorvane
expect_value DisplayVersion "$version"
# The publisher is the factory's vendor, as the installed bundle's moduleinfo.json records it.
expect_value Publisher "$(sed -n 's/^ *"Vendor": "\(.*\)",$/\1/p' "$stage/VST3/Quorvane.vst3/Contents/Resources/moduleinfo.json" | head -n 1)"
expect_value InstallLocation 'C:\Program Files\Quorvane'
expect_value UninstallString '"C:\Program Files\Quorvane\uninstall.exe"'
expect_value QuietUninstallString '"C:\Program Files\Quorvane\uninstall.exe" /S'
expect_value NoModify 0x1
expect_value NoRepair 0x1
expect_value VST2Folder64 'C:\VST 64'
size=$(value EstimatedSize)
bundle_kib=$(du -sk "$stage/VST3" | cut -f1)
[ $((size)) -ge "$bundle_kib" ] || fail "EstimatedSize $size KiB is less than the bundle's $bundle_kib KiB"

echo "== the installed modules read, save and render what Linux wrote"
run "$wine64" "$tool64" check "C:\\Program Files\\Common Files\\VST3\\Quorvane.vst3\\$vst3" "Z:$work/from-linux" ||
  fail "the installed 64-bit module"
if [ -f "$tool32" ]; then
  run "$wine32" "$tool32" check 'C:\Program Files\Common Files\VST3\Quorvane.vst3\Contents\x86-win\Quorvane.vst3' "Z:$work/from-linux" ||
    fail "the installed 32-bit module"
fi

echo "== a second install over the first, the 64-bit VST 2 module and the uninstaller moved"
cp "$stage/Presets/$(ls "$stage/Presets" | head -n 1)" "$presets/My own.vstpreset"
run "$wine32" "$setup" /S '/VST2DIR64=C:\VST64 moved' '/D=C:\Tools\Quorvane' || fail "the second install"
absent "$(unix 'C:\VST 64')"
absent "$programs/Quorvane"
programs=$(unix 'C:\Tools')
expect_value QuietUninstallString '"C:\Tools\Quorvane\uninstall.exe" /S'
same_file "$stage/VST2 64-bit/Quorvane VST2.dll" "$(unix 'C:\VST64 moved')/Quorvane VST2.dll"
same_file "$stage/VST2 32-bit/Quorvane VST2.dll" "$(unix 'C:\Program Files (x86)\VSTPlugins')/Quorvane VST2.dll"
check "the bundle is installed as built" diff -r "$stage/VST3/Quorvane.vst3" "$common/VST3/Quorvane.vst3"
check "the factory presets are installed" test -f "$presets/$(ls "$stage/Presets" | head -n 1)"
expect_value VST2Folder64 'C:\VST64 moved'
expect_value DisplayVersion "$version"

echo "== the older version refuses to replace this one"
status=0
run "$wine32" "$older" /S || status=$?
[ "$status" = 2 ] || fail "the downgrade exits with $status, not 2"
expect_value DisplayVersion "$version"

echo "== silent uninstall"
run "$wine32" "$programs/Quorvane/uninstall.exe" /S || fail "the uninstaller"
for path in "$common/VST3" "$(unix 'C:\VST64 moved')" "$(unix 'C:\Program Files (x86)\VSTPlugins')" \
            "$programs/Quorvane"; do
  absent "$path"
done
for preset in "$stage"/Presets/*.vstpreset; do
  absent "$presets/$(basename "$preset")"
done
check "the user's own preset stays" test -f "$presets/My own.vstpreset"
"$loader" reg query "$key" >/dev/null 2>&1 && fail "the uninstall key is still there"
# Neither key is in the 32-bit registry view either.
"$loader" reg query "$key" /reg:32 >/dev/null 2>&1 && fail "an uninstall key in the 32-bit view"
# Nothing named after us anywhere in the registry or on drive C: (Documents is in $HOME).
grep -qil quorvane "$WINEPREFIX"/*.reg && fail "the registry still names Quorvane"
[ -z "$(find "$WINEPREFIX/drive_c" -iname '*quorvane*')" ] || fail "files named after Quorvane are left on C:"

echo "== 32-bit Windows"
prefix "$work/prefix32" win32 "$wine32"
common=$(unix 'C:\Program Files\Common Files')
run "$wine32" "$setup" /S /VST2_64 /VST2_32 || fail "the install on 32-bit Windows"
absent "$common/VST3/Quorvane.vst3/Contents/x86_64-win"
same_file "$stage/VST3/Quorvane.vst3/Contents/x86-win/Quorvane.vst3" "$common/VST3/Quorvane.vst3/Contents/x86-win/Quorvane.vst3"
check "the bundle's resources are installed" diff -r "$stage/VST3/Quorvane.vst3/Contents/Resources" "$common/VST3/Quorvane.vst3/Contents/Resources"
same_file "$stage/VST2 32-bit/Quorvane VST2.dll" "$(unix 'C:\Program Files\VSTPlugins')/Quorvane VST2.dll"
expect_value VST2Folder64 ""
if [ -f "$tool32" ]; then
  run "$wine32" "$tool32" check 'C:\Program Files\Common Files\VST3\Quorvane.vst3\Contents\x86-win\Quorvane.vst3' "Z:$work/from-linux" ||
    fail "the installed 32-bit module on 32-bit Windows"
fi

if [ "$failures" -gt 0 ]; then
  echo "installer_test.sh: $failures failures" >&2
  exit 1
fi
echo "installer_test.sh: installed, loaded, reinstalled and uninstalled cleanly on 64-bit and 32-bit Windows"
