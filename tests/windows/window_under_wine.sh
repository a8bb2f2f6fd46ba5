#!/usr/bin/env bash
# The native window, tambrelux-updater.exe, under Wine and Xvfb with the stand-in ftd2xx.dll
# beside it: the autopilot plays the user, window-probe.exe watches from outside. One case
# per call, in the Wine prefix that under_wine.sh made.
# Usage: window_under_wine.sh <windows build dir> <work dir> <case>
set -euo pipefail

build=$1 work=$2 case=$3
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
folder=$work/$case

fail() { echo "$case: $*"; exit 1; }

# The window in a desktop of Wine's own, which draws the frames a screenshot should show where
# no window manager runs; only these programs' windows are affected, and the probe must share
# the window's desktop to see it.
for program in tambrelux-updater.exe window-probe.exe; do
  "$wine" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\Explorer" \
    /v Desktop /d tlx /f >/dev/null 2>&1
done
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v tlx /d 800x600 /f >/dev/null 2>&1

rm -rf "$folder"
mkdir -p "$folder"
cd "$folder"
cp "$build/apps/tambrelux-updater-win/tambrelux-updater.exe" "$build/apps/ftd2xx-sim/ftd2xx.dll" \
  "$build/tests/windows/window-probe.exe" "$build/apps/tlx-fwu/tlx-fwu.exe" .
head -c 65536 /dev/urandom >payload.bin
"$wine" tlx-fwu.exe pack payload.bin --version 1.3 -o TLX.fwu >/dev/null
# A Wine server started without a display keeps a desktop without one, where no window can
# be made: let it end before the display comes.
wineserver -w

# Runs the window with the board's options and, beside it, window-probe.exe with the given
# arguments if any; sets status, out (the window's output) and probe (the probe's).
run() {
  local board=$1
  shift
  : >probe.txt
  cat >both.sh <<SCRIPT
[ -z "$*" ] || "$wine" window-probe.exe $* >probe.txt 2>&1 &
TLX_SIM_BOARD="$board" "$wine" tambrelux-updater.exe --autopilot --screenshots shots ${FILE:-} >out.txt 2>err.txt
status=\$?
wait
# Wine's desktop would outlive the display otherwise.
wineserver -k
exit \$status
SCRIPT
  status=0
  xvfb-run -a -s "-screen 0 1024x768x24" bash both.sh >/dev/null 2>&1 || status=$?
  out=$(tr -d '\r' <out.txt) err=$(tr -d '\r' <err.txt) probe=$(tr -d '\r' <probe.txt)
}

expect_status() {
  [ "$status" -eq "$1" ] || fail "exit status $status, expected $1; output: $out; errors: $err; probe: $probe"
}

expect_line() {
  grep -qxF -- "$2" <<<"$1" || fail "no line \"$2\" in: $1"
}

expect_screenshots() {
  local found
  found=$(cd shots && ls | tr '\n' ' ')
  [ "$found" = "$* " ] || fail "screenshots: $found; expected: $*"
}

case $case in
  window-update)
    # A file given by a name beyond the ANSI code page, as a user's folder often is.
    mv TLX.fwu "Prüfung ü.fwu"
    FILE="'Prüfung ü.fwu'" run "--pace instant --dump-flash flash.bin"
    expect_status 0
    [ -z "$out" ] || fail "unexpected output: $out"
    cmp -s payload.bin flash.bin || fail "the board's flash differs from the image"
    expect_screenshots 01-idle.png 02-ready.png 03-flashing.png 04-complete.png 05-idle.png
    ;;
  window-close-refused)
    run "--pace realistic --dump-flash flash.bin" close-while-flashing
    expect_line "$probe" "The window stayed open while flashing."
    expect_status 0
    cmp -s payload.bin flash.bin || fail "the board's flash differs from the image"
    ;;
  window-verify-failure)
    text="Step 3 - Device verify error!  Data is corrupted!  ** DO NOT POWER OFF BOARD!! **  Re-try update!"
    run "--pace instant --stuck-byte 100" box "'Verify Failure!'"
    expect_status 1
    expect_line "$out" "message: Verify Failure! | $text"
    expect_line "$probe" "box: Verify Failure! | $text | no icon"
    expect_screenshots 01-idle.png 02-ready.png 03-flashing.png 04-message-verify-failure.png \
      05-idle.png
    ;;
  *)
    fail "no such case"
    ;;
esac
