#!/usr/bin/env bash
# Time from the start of tambrelux-updater.exe to its window painted, under Wine and Xvfb,
# with the stand-in ftd2xx.dll and an instant simulated board. window-probe.exe (from the
# windows preset's tests) starts the program, so the clock runs inside Wine from the
# process's creation; Wine's server and the display are up already, as on a desktop.
# Usage: window_startup.sh <windows build dir> [runs]
set -euo pipefail

build=$(realpath "$1") runs=${2:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)

cd "$work"
cp "$build/apps/tambrelux-updater-win/tambrelux-updater.exe" "$build/apps/ftd2xx-sim/ftd2xx.dll" \
  "$build/tests/windows/window-probe.exe" .
"$wine" wineboot --init >/dev/null 2>&1
# A Wine server started without a display keeps a desktop without one, where no window can
# be made: let it end before the display comes.
wineserver -w
TLX_SIM_BOARD="--pace instant" xvfb-run -a -s "-screen 0 1024x768x24" \
  "$wine" window-probe.exe startup "$runs" 2> >(grep -v "X connection" >&2)
