#!/usr/bin/env bash
# Builds the .deb packages from this build tree (built in full, as cpack does not build) with
# cpack into their own folder, and checks that they are the packages the list names, what
# each installs and depends on (and must not depend on), that no file is in two of them, the
# udev rule, that a firmware file opens in the updater, the stripped programs, each package's
# copyright file and changelog, the AppStream metadata and the manual pages the build tree
# made; with --lintian, also what Debian's lintian says of them.
# Usage: check_deb.sh [--lintian] <build dir> <work dir> <list>
# The list has a line per expectation: "<package> path <path>", "<package> depends <package>"
# or "<package> lacks <package>".
set -euo pipefail

lintian=0
if [ "$1" = --lintian ]; then
  lintian=1
  shift
fi
build=$1 work=$2 list=$3

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }

failed=0
expected=$(awk '{print $1}' "$list" | sort -u)
built=$(for deb in "$work"/*.deb; do dpkg-deb -f "$deb" Package; done | sort)
[ "$built" = "$expected" ] ||
  { echo "expected the packages" $expected "but cpack built" $built; exit 1; }

expectations() { awk -v package="$1" -v kind="$2" '$1 == package && $2 == kind {print $3}' "$list"; }

for package in $expected; do
  deb=$(echo "$work/${package}"_*.deb)
  root=$work/root/$package
  mkdir -p "$root"
  dpkg-deb -x "$deb" "$root"
  doc=/usr/share/doc/$package
  for path in $(expectations "$package" path) $doc/copyright $doc/changelog.gz; do
    [ -e "$root$path" ] || { echo "missing from $package: $path"; failed=1; }
  done
  declared=$(dpkg-deb -f "$deb" Depends)
  for dependency in $(expectations "$package" depends); do
    grep -Eq "(^|, )$dependency( |,|$)" <<<"$declared" ||
      { echo "$package's Depends lacks $dependency: $declared"; failed=1; }
  done
  for dependency in $(expectations "$package" lacks); do
    grep -Eq "(^|, )$dependency( |,|$)" <<<"$declared" &&
      { echo "$package must not depend on $dependency: $declared"; failed=1; }
  done
  for program in "$root"/usr/bin/*; do
    [ -x "$program" ] || { echo "not executable: $program"; failed=1; }
    file -b "$program" | grep -q ', stripped' || { echo "not stripped: $program"; failed=1; }
  done
  zcat "$root$doc/changelog.gz" >"$work/changelog-$package"
  latest=$(dpkg-parsechangelog -l "$work/changelog-$package" -S Version)
  version=$(dpkg-deb -f "$deb" Version)
  [ "$latest" = "$version" ] ||
    { echo "$package's changelog's latest version is $latest, the package's $version"; failed=1; }
done

# dpkg refuses to install a package holding a file another installed package holds.
shared=$(cd "$work/root" && find . -type f | cut -d/ -f3- | sort | uniq -d)
[ -z "$shared" ] || { echo "files in two packages: $shared"; failed=1; }

# The updater's own files.
root=$work/root/tambrelux-updater
deb=$(echo "$work"/tambrelux-updater_*.deb)
version=$(dpkg-deb -f "$deb" Version)
rule="$root/usr/lib/udev/rules.d/60-tambrelux-pro.rules"
for clause in 'ATTR{idVendor}=="0403"' 'ATTR{product}=="Tambrelux Pro"' 'TAG+="uaccess"'; do
  grep -v '^#' "$rule" | grep -qF "$clause" || { echo "udev rule lacks $clause"; failed=1; }
done
# A double click on a firmware file opens it in the updater.
share="$root/usr/share"
mime=$(grep -o 'type="[^"]*"' "$share/mime/packages/tambrelux-updater.xml" | cut -d'"' -f2)
grep -q 'glob pattern="\*.fwu"' "$share/mime/packages/tambrelux-updater.xml" ||
  { echo "the MIME type does not cover *.fwu"; failed=1; }
for line in "Exec=tambrelux-updater %f" "MimeType=$mime;"; do
  grep -qx "$line" "$share/applications/tambrelux-updater.desktop" ||
    { echo "desktop entry lacks $line"; failed=1; }
done

# Every page this tree made renders without a complaint from man, and names its program's
# exit statuses: all of those its --help names, if it names them.
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

# What a software centre lists: valid, and in step with the package and its desktop entry.
for metainfo in "$share"/metainfo/*.metainfo.xml; do
  [ -f "$metainfo" ] || continue
  appstreamcli validate --no-net "$metainfo" || failed=1
  appstreamcli validate-tree --no-net "$root" || failed=1
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
  echo "lintian --allow-root --fail-on error,warning --info" "$work"/*.deb
  lintian --allow-root --fail-on error,warning --info "$work"/*.deb || failed=1
fi
exit $failed
