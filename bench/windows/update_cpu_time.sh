#!/usr/bin/env bash
# Processor time of one whole update (a board on firmware 1.1, instant pace: all four regions
# and both "EX" brackets) by tlx-update.exe under Wine through the stand-in ftd2xx.dll, against
# the Linux tlx-update --sim doing the same update in the same run. Wine's time is the
# program's own (user + system, as bash's "time" gives it for the child) plus what the
# wineserver, started here as a child of this script, spent in the same runs.
# Usage: update_cpu_time.sh <windows build dir> <Linux build dir> [runs]
set -euo pipefail

windows=$(realpath "$1") linux=$(realpath "$2") runs=${3:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

export XDG_STATE_HOME=$work/state # the Linux runs log there, not in the user's log
cd "$work"
cp "$windows/apps/tlx-update/tlx-update.exe" "$windows/apps/ftd2xx-sim/ftd2xx.dll" .
head -c 65536 /dev/urandom >payload.bin
"$linux/apps/tlx-fwu/tlx-fwu" pack payload.bin --version 1.3 -o TLX.fwu >/dev/null
"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w
"$wineserver" -f -p &
server=$!
ticks=$(getconf CLK_TCK)
server_seconds() { awk -v t="$ticks" '{print ($14 + $15) / t}' "/proc/$server/stat"; }

# Seconds of user + system time of one run of the command.
cpu() {
  local TIMEFORMAT='%3U %3S'
  { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{print $1 + $2}'
}

export TLX_SIM_BOARD="--pace instant --firmware 1.1"
"$wine" tlx-update.exe --yes >/dev/null 2>&1 # the first run loads the prefix's DLLs
before=$(server_seconds)
wine_total=0 linux_total=0
for _ in $(seq "$runs"); do
  wine_total=$(awk -v a="$wine_total" -v b="$(cpu "$wine" tlx-update.exe --yes)" 'BEGIN {print a + b}')
  linux_total=$(awk -v a="$linux_total" \
    -v b="$(cpu "$linux/apps/tlx-update/tlx-update" --sim --pace instant --firmware 1.1 --yes)" \
    'BEGIN {print a + b}')
done
after=$(server_seconds)
"$wineserver" -k || true
wait "$server" || true

awk -v w="$wine_total" -v s="$(awk -v a="$before" -v b="$after" 'BEGIN {print b - a}')" \
  -v l="$linux_total" -v n="$runs" 'BEGIN {
  printf "runs: %d\n", n
  printf "Wine, tlx-update.exe: %.1f ms per update (program %.1f ms + wineserver %.1f ms)\n",
         1000 * (w + s) / n, 1000 * w / n, 1000 * s / n
  printf "Linux, tlx-update --sim: %.1f ms per update\n", 1000 * l / n
  printf "ratio: %.1f\n", (w + s) / l
}'
