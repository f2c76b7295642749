#!/usr/bin/env bash
# check-imports.sh OBJDUMP EXE... - fails unless every DLL each Windows program imports is one
# that ships with Windows. The programs are linked statically: a mingw runtime DLL in the list
# would make them fail to start on a machine without it (under Wine: exit code 53, no message).
set -euo pipefail

if (($# < 2)); then sed -n '2,4p' "$0"; exit 2; fi
objdump=$1
shift

system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|advapi32|msvcrt|shlwapi|uxtheme|version)\.dll$'
status=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  if [[ -z "$dlls" ]]; then
    echo "$exe: no imported DLLs found (objdump failed?)"
    status=1
    continue
  fi
  for dll in $dlls; do
    if [[ ! "${dll,,}" =~ $system_dlls ]]; then
      echo "$exe: imports $dll, which is not a system DLL"
      status=1
    fi
  done
  echo "$exe:" $dlls
done
exit $status
