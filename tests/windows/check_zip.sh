#!/usr/bin/env bash
# Builds the .zip from this build tree with cpack into its own folder, and checks that it holds
# exactly the expected files, each program for Windows with nothing linked in from beside it
# but system DLLs.
# Usage: check_zip.sh <build dir> <work dir> <expected file>...
set -euo pipefail

build=$1 work=$2
shift 2
rm -rf "$work"
mkdir -p "$work"
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
zips=("$work"/*.zip)
[ ${#zips[@]} -eq 1 ] || { echo "expected one .zip, found: ${zips[*]}"; exit 1; }

(cd "$work" && cmake -E tar xf "${zips[0]}")
top=$(find "$work" -mindepth 1 -maxdepth 1 -type d ! -name _CPack_Packages)
found=$(cd "$top" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "$@" | sort)
[ "$found" = "$wanted" ] || { printf 'the .zip holds:\n%s\nexpected:\n%s\n' "$found" "$wanted"; exit 1; }

system='^(KERNEL32|msvcrt|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|ADVAPI32|bcrypt|ole32|UxTheme|gdiplus)\.dll$'
for program in "$top"/*.exe; do
  x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ {print $3}' | while read -r dll; do
    grep -Eiq "$system" <<<"$dll" || { echo "$(basename "$program") needs $dll"; exit 1; }
  done
done
