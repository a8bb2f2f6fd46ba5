#!/usr/bin/env bash
# Builds the .deb from this build tree (built in full, as cpack does not build) with cpack
# into its own folder, and checks what it installs, what it depends on, its udev rule, that
# a firmware file opens in the updater, its stripped programs, its changelog, its AppStream
# metadata and the manual pages the build tree made; with --lintian, also what Debian's
# lintian says of it.
# Usage: check_deb.sh [--lintian] <build dir> <work dir> <expected dependency>... --
#        <expected path>...
set -euo pipefail

lintian=0
if [ "$1" = --lintian ]; then
  lintian=1
  shift
fi
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

version=$(dpkg-deb -f "$deb" Version)
for path in "$@"; do
  case $path in
    /usr/bin/*)
      [ -x "$work/root$path" ] || { echo "not executable: $path"; failed=1; }
      file -b "$work/root$path" | grep -q ', stripped' || { echo "not stripped: $path"; failed=1; }
      ;;
  esac
done

# Every page this tree made (those of programs outside the package too) renders without a
# complaint from man, and names its program's exit statuses: all of those its --help names,
# if it names them.
for page in "$build"/packaging/man/*.1.gz; do
  [ -f "$page" ] || continue
  program=$(basename "$page" .1.gz)
  complaints=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 \
    >/dev/null)
  [ -z "$complaints" ] || { echo "man complains of $page: $complaints"; failed=1; }
  text=$(LC_ALL=C.UTF-8 MANWIDTH=1000 man -l "$page" 2>/dev/null)
  listed=$(awk '/^EXIT STATUS$/ { on = 1; next } /^[^ ]/ { on = 0 }
                on && $1 ~ /^[0-9]+$/ { print $1 }' <<<"$text")
  [ -n "$listed" ] || { echo "$program's page names no exit status"; failed=1; }
  named=$(grep -o 'Exit status: .*' <<<"$text" | grep -oE '(: |; )[0-9]+ ' |
    tr -dc '0-9\n' || true)
  for status in $named; do
    grep -qx "$status" <<<"$listed" ||
      { echo "$program's page lacks exit status $status, which its --help names"; failed=1; }
  done
done

doc="$share/doc/tambrelux-updater"
if [ -f "$doc/changelog.gz" ]; then
  zcat "$doc/changelog.gz" >"$work/changelog"
  latest=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
  [ "$latest" = "$version" ] ||
    { echo "the changelog's latest version is $latest, the package's $version"; failed=1; }
fi

# What a software centre lists: valid, and in step with the package and its desktop entry.
for metainfo in "$share"/metainfo/*.metainfo.xml; do
  [ -f "$metainfo" ] || continue
  appstreamcli validate --no-net "$metainfo" || failed=1
  appstreamcli validate-tree --no-net "$work/root" || failed=1
  latest=$(grep -m1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
  [ "$latest" = "$version" ] ||
    { echo "$metainfo's latest release is $latest, the package's $version"; failed=1; }
  for element in "<mediatype>$mime</mediatype>" \
    "<url type=\"homepage\">$(dpkg-deb -f "$deb" Homepage)</url>" \
    '<launchable type="desktop-id">tambrelux-updater.desktop</launchable>'; do
    grep -qF "$element" "$metainfo" || { echo "$metainfo lacks $element"; failed=1; }
  done
done

if [ $lintian -eq 1 ]; then
  echo "lintian --allow-root --fail-on error,warning --info $(basename "$deb")"
  lintian --allow-root --fail-on error,warning --info "$deb" || failed=1
fi
exit $failed
