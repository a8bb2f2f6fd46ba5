#!/usr/bin/env bash
# Builds the .deb from this build tree (built in full, as cpack does not build) with cpack
# into its own folder, and checks what it installs, what it depends on, its udev rule and that
# a firmware file opens in the updater.
# Usage: check_deb.sh <build dir> <work dir> <expected dependency>... -- <expected path>...
set -euo pipefail

build=$1 work=$2
shift 2
depends=()
while [ "$1" != "--" ]; do depends+=("$1"); shift; done
shift

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one .deb, found: ${debs[*]}"; exit 1; }
deb=${debs[0]}

failed=0
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for path in "$@"; do
  grep -qx "$path" <<<"$contents" || { echo "missing from the package: $path"; failed=1; }
done

declared=$(dpkg-deb -f "$deb" Depends)
for dependency in "${depends[@]}"; do
  grep -Eq "(^|, )$dependency( |,|$)" <<<"$declared" ||
    { echo "Depends lacks $dependency: $declared"; failed=1; }
done

dpkg-deb -x "$deb" "$work/root"
rule="$work/root/usr/lib/udev/rules.d/60-tambrelux-pro.rules"
for clause in 'ATTR{idVendor}=="0403"' 'ATTR{product}=="Tambrelux Pro"' 'TAG+="uaccess"'; do
  grep -v '^#' "$rule" | grep -qF "$clause" || { echo "udev rule lacks $clause"; failed=1; }
done
# A double click on a firmware file opens it in the updater.
share="$work/root/usr/share"
mime=$(grep -o 'type="[^"]*"' "$share/mime/packages/tambrelux-updater.xml" | cut -d'"' -f2)
grep -q 'glob pattern="\*.fwu"' "$share/mime/packages/tambrelux-updater.xml" ||
  { echo "the MIME type does not cover *.fwu"; failed=1; }
for line in "Exec=tambrelux-updater %f" "MimeType=$mime;"; do
  grep -qx "$line" "$share/applications/tambrelux-updater.desktop" ||
    { echo "desktop entry lacks $line"; failed=1; }
done
for path in "$@"; do
  case $path in
    /usr/bin/*) [ -x "$work/root$path" ] || { echo "not executable: $path"; failed=1; } ;;
  esac
done
exit $failed
