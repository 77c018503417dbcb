#!/usr/bin/env bash
# Checks a built Windows module with objdump: exactly the four entry points, undecorated, the
# export directory's name "Quorvane VST2.dll", and nothing imported but system DLLs.
#   check-module-exports.sh OBJDUMP MODULE
set -euo pipefail
objdump=$1
module=$2
dump=$("$objdump" -p "$module")
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

name=$(sed -n 's/^Name[[:space:]]\+[0-9a-fA-F]\+[[:space:]]\+//p' <<<"$dump")
[ "$name" = "Quorvane VST2.dll" ] || fail "export directory names the module '$name'"

exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
          sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]\+\][[:space:]]\+//p' | sort | tr '\n' ' ')
[ "$exports" = "ExitDll GetPluginFactory InitDll VSTPluginMain " ] || fail "exports are '$exports'"

# The DLLs every Windows installation has (GDI+ and the shell helpers since XP); the C++ and GCC
# run-times must be linked in.
system_dlls=" KERNEL32.dll msvcrt.dll USER32.dll ole32.dll ADVAPI32.dll GDI32.dll SHELL32.dll OLEAUT32.dll gdiplus.dll SHLWAPI.dll "
while read -r dll; do
  [ -n "$dll" ] || continue
  [[ "$system_dlls" == *" $dll "* ]] || fail "imports $dll"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")

[ "$status" = 0 ] && echo "ok: exports $exports from \"$name\", system DLLs only"
exit $status
