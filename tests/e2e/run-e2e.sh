#!/bin/bash
# Runs one Windows program for one ctest test in surroundings of its own
# (wine_run_begin: a folder, a prefix and so a wineserver, an Xvfb), so that
# tests run side by side, optionally with trayer as the notification-area
# host. It ends what it started, by process id and wineserver -k, and exits
# with the program's code.
#
# run-e2e.sh [--tray] [--audio] [--locale L [--messages M]] --name NAME --tree BUILD
#            -- PROGRAM [ARGS]
# --locale L [--messages M]: Wine in the Unix locale L (UI language from M), not zh_CN.UTF-8.
# E2E_SHOT=file.png [E2E_SHOT_AT=seconds] takes a screenshot during the run.
# --audio: Wine's ALSA driver runs inside the playing process, whose Unix
# environment is the driver's own (a Windows environment change reaches
# neither HOME nor ALSA): so the driver runs with a HOME whose .asoundrc makes
# the default device a file, E2E_CAPTURE (E2E_CAPTURE.0001, ... for each
# further opening), and with its standard error, where the programs it starts
# write the log of the WINEDEBUG they are given, in E2E_LOG, whose lines other
# than calls, returns and traces show at the end.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
tray=0 audio=0 name= tree= locale= messages=
while [ $# -gt 0 ]; do
    case $1 in
    --tray) tray=1; shift ;;
    --audio) audio=1; shift ;;
    --name) name=$2; shift 2 ;;
    --tree) tree=$2; shift 2 ;;
    --locale) locale=$2; shift 2 ;;
    --messages) messages=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "run-e2e.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
[ -n "$name" ] && [ -n "$tree" ] && [ $# -gt 0 ] || { echo "run-e2e.sh: --name, --tree and a program are needed" >&2; exit 2; }

WINE_TREE=$tree WINE_LOADER=$tree/wine-exec
. "$ROOT/scripts/wine-env.sh"
if [ -n "$locale" ]; then
    unset LC_ALL
    export LANG=$locale LC_MESSAGES=${messages:-$locale} WINE_LOCALE_CHOSEN=1
fi

SHOT_PID=
cleanup() {
    for pid in $SHOT_PID ${TRAYER_PID:-}; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    wine_run_end
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wine_run_begin "$name" || exit 1
if [ "$tray" = 1 ]; then
    trayer_start || exit 1  # the driver runs xdotool and xwininfo itself, on this PATH
fi
wine_warm

if [ "$audio" = 1 ]; then
    export HOME=$PWD/home
    export E2E_CAPTURE=$HOME/capture.wav E2E_LOG=$HOME/stderr.log
    mkdir -p "$HOME" && : >"$E2E_LOG" || exit 1
    cat >"$HOME/.asoundrc" <<ASOUNDRC
pcm.!default {
    type file
    slave.pcm "null"
    file "$E2E_CAPTURE"
    format "wav"
    truncate false
}
ASOUNDRC
fi

if [ -n "${E2E_SHOT:-}" ]; then
    (trap 'kill $nap 2>/dev/null; exit' TERM
     sleep "${E2E_SHOT_AT:-3}" & nap=$!
     wait $nap && import -window root "$E2E_SHOT") </dev/null >/dev/null 2>&1 &
    SHOT_PID=$!
fi
if [ "$audio" = 1 ]; then
    "$tree/wine-exec" "$@" 2>>"$E2E_LOG"
    code=$?
    grep -Ev '^[0-9a-f]+:(Call |Ret |Starting |trace:relay:|trace:file:)' "$E2E_LOG" >&2
    exit $code
fi
"$tree/wine-exec" "$@"
exit $?
