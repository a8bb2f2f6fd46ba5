#!/usr/bin/env bash
# The Windows programs under Wine, with the stand-in ftd2xx.dll and its simulated board beside
# them. One case per call; "prefix" makes the Wine prefix that the other cases share.
# Usage: under_wine.sh <windows build dir> <work dir> <case>
set -euo pipefail

build=$1 work=$2 case=$3
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
folder=$work/$case

fail() { echo "$case: $*"; exit 1; }

# A folder with tlx-update.exe and tlx-fwu.exe and, unless told otherwise, the stand-in DLL,
# and TLX.fwu (version 1.3) made by tlx-fwu.exe from a random payload.
setup() {
  rm -rf "$folder"
  mkdir -p "$folder"
  cd "$folder"
  cp "$build/apps/tlx-update/tlx-update.exe" "$build/apps/tlx-fwu/tlx-fwu.exe" .
  [ "${1:-}" = "without-dll" ] || cp "$build/apps/ftd2xx-sim/ftd2xx.dll" .
  head -c 65536 /dev/urandom >payload.bin
  "$wine" tlx-fwu.exe pack payload.bin --version 1.3 -o TLX.fwu >/dev/null
}

# Waits up to 30 s for text to appear in file.
await() {
  for _ in $(seq 300); do
    grep -qF -- "$2" "$1" && return
    sleep 0.1
  done
  fail "\"$2\" did not appear in $1"
}

# tlx-update.exe with the board's options; sets status, out and err, whose lines end in "\r\n"
# as text on Windows does.
update() {
  local board=$1
  shift
  status=0
  TLX_SIM_BOARD="--pace instant $board" "$wine" tlx-update.exe "$@" >out.txt 2>err.txt || status=$?
  out=$(tr -d '\r' <out.txt) err=$(tr -d '\r' <err.txt)
}

expect_status() {
  [ "$status" -eq "$1" ] || fail "exit status $status, expected $1; stdout: $out; stderr: $err"
}

expect_line() {
  grep -qxF -- "$2" <<<"$1" || fail "no line \"$2\" in: $1"
}

# Boards after firmware 1.1 keep flash bytes 2,048 to 4,095 as they were (erased); the "EX"
# frames the update sent must leave the protected range locked.
expect_flashed() {
  local firmware=$1
  if [ "$firmware" = 1.1 ]; then
    cmp -s payload.bin flash.bin || fail "the board's flash differs from the image"
  else
    cmp -s -n 2048 payload.bin flash.bin && cmp -s -i 4096 payload.bin flash.bin ||
      fail "the board's flash differs from the image outside the kept range"
    head -c 2048 /dev/zero | tr '\0' '\377' >erased.bin
    cmp -s -i 2048:0 -n 2048 flash.bin erased.bin || fail "the kept range changed"
  fi
  local last_ex
  last_ex=$(grep -o '"data":"4558[0-9a-f]*"' trace.jsonl | tail -n 1 || true)
  [ "$last_ex" != '"data":"455807ce"' ] || fail "the protected range was left unlocked"
}

log_file() {
  find "$WINEPREFIX/drive_c/users" -path '*/tambrelux-updater/updater.log' | head -n 1
}

case $case in
  prefix)
    rm -rf "$WINEPREFIX"
    mkdir -p "$work"
    "$wine" wineboot --init >/dev/null 2>&1
    "$wineserver" -w
    ;;
  update-1.1 | update-1.2)
    firmware=${case#update-}
    setup
    update "--firmware $firmware --dump-flash flash.bin --trace trace.jsonl" --yes
    expect_status 0
    expect_line "$out" "Firmware: v$firmware  -  Upgrading to: v1.3"
    expect_line "$out" "Flash Complete!"
    expect_flashed "$firmware"
    tail -n 1 "$(log_file)" | grep -qxF "result: Flash Complete!" ||
      fail "the session log does not end with this update"
    ;;
  stuck-byte)
    setup
    update "--stuck-byte 40000" --yes
    expect_status 1
    expect_line "$err" "Verify Failure!: Step 1 - Device verify error!  Data is corrupted!  Re-try update!"
    ;;
  no-dll)
    setup without-dll
    update "" --yes
    expect_status 3
    expect_line "$err" "USB Error!: Tambrelux Pro hardware not found!"
    expect_line "$err" "The FTDI D2XX driver is not installed (ftd2xx.dll was not found or lacks a call this program needs); install it from the board's support page and try again."
    ;;
  lock)
    # The first run holds the lock while it waits for an answer that does not come.
    setup
    fifo=$folder/answer
    mkfifo "$fifo"
    TLX_SIM_BOARD="--pace instant" "$wine" tlx-update.exe <"$fifo" >first.txt 2>&1 &
    first=$!
    exec 3>"$fifo"
    await first.txt "Flash Device?"
    update "" --yes
    expect_status 4
    expect_line "$err" "Tambrelux Pro Updater: tlx-update already running! "
    # A holder that is killed leaves nothing that blocks the next start.
    kill -KILL "$first"
    wait "$first" || true
    exec 3>&-
    update "" --yes
    expect_status 0
    ;;
  serial)
    # Two boards on the stand-in's bus; only the one named is written.
    setup
    update "--boards 2 --board 1:serial=TLX-A --board 2:serial=TLX-B --dump-flash flash.bin" \
      --yes --serial TLX-B
    expect_status 0
    cmp -s payload.bin flash.2.bin || fail "the chosen board's flash differs from the image"
    head -c 65536 /dev/zero | tr '\0' '\377' >erased.bin
    cmp -s erased.bin flash.1.bin || fail "the other board was written"
    ;;
  unicode-names)
    # Names beyond any ANSI code page, given to both programs and to the stand-in's settings.
    setup
    export LC_ALL=C.UTF-8
    "$wine" tlx-fwu.exe pack payload.bin --version 1.3 -o "Prüfung-東京.fwu" >/dev/null
    update "--dump-flash flash-東京.bin" --yes "Prüfung-東京.fwu"
    expect_status 0
    expect_line "$out" "Flash Complete!"
    cmp -s payload.bin "flash-東京.bin" || fail "the board's flash differs from the image"
    # Several boards read the file once for all of them.
    update "--boards 2 --dump-flash boards-東京.bin" --yes --all "Prüfung-東京.fwu"
    expect_status 0
    cmp -s payload.bin "boards-東京.2.bin" || fail "the second board's flash differs from the image"
    ;;
  ctrl-c)
    # Wine passes SIGINT to the program as the console's Ctrl-C. While the board is written it
    # is refused and the update goes on; at the question it stops the run.
    setup
    TLX_SIM_BOARD="--pace realistic --dump-flash flash.bin" "$wine" tlx-update.exe --yes \
      >out.txt 2>err.txt &
    running=$!
    await out.txt "Progress: 1"
    kill -INT "$running"
    status=0
    wait "$running" || status=$?
    out=$(tr -d '\r' <out.txt) err=$(tr -d '\r' <err.txt)
    expect_status 0
    expect_line "$err" "tlx-update: the update cannot be stopped halfway without leaving the board unusable; it goes on."
    cmp -s payload.bin flash.bin || fail "the board's flash differs from the image"
    fifo=$folder/answer
    mkfifo "$fifo"
    TLX_SIM_BOARD="--pace instant" "$wine" tlx-update.exe <"$fifo" >out.txt 2>err.txt &
    running=$!
    exec 3>"$fifo"
    await err.txt "Flash Device?"
    kill -INT "$running"
    status=0
    wait "$running" || status=$?
    exec 3>&-
    out=$(tr -d '\r' <out.txt) err=$(tr -d '\r' <err.txt)
    expect_status 5
    ;;
  *)
    fail "no such case"
    ;;
esac
