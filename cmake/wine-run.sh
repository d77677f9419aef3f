#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh <wine|wine64> <prefix> <program> [arguments...]
# The prefix lives in the build folder; it is made once, under a lock, since tests start in
# parallel, and a persistent wineserver keeps later starts fast.
set -e
loader=$1
export WINEPREFIX=$2
shift 2
[ -x "/usr/lib/wine/$loader" ] && loader=/usr/lib/wine/$loader
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  flock "$WINEPREFIX.lock" sh -c \
    '[ -f "$WINEPREFIX/system.reg" ] || "$0" wineboot.exe --init >/dev/null 2>&1; wineserver -w' \
    "$loader"
fi
wineserver -p30 >/dev/null 2>&1 || true
exec "$loader" "$@"
