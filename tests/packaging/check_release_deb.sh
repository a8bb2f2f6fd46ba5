#!/usr/bin/env bash
# The packages as they ship: built as the README tells a packager (the release preset), with
# only the programs and what the packages hold, in a build tree of their own that later runs
# reuse; then every check of check_deb.sh and Debian's lintian on them.
# Usage: check_release_deb.sh <source dir> <build dir> <cmake option>... -- <check_deb.sh arguments>
set -euo pipefail

source=$1 build=$2
shift 2
options=()
while [ "$1" != "--" ]; do options+=("$1"); shift; done
shift

mkdir -p "$build"
log=$build/build.log
{ (cd "$source" && cmake --preset release -B "$build" -DTLX_BUILD_BENCH=OFF "${options[@]}") &&
  cmake --build "$build" -j "$(nproc)"; } >"$log" 2>&1 || { cat "$log"; exit 1; }
exec "$(dirname "$0")/check_deb.sh" --lintian "$build" "$@"
