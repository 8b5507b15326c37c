#!/usr/bin/env bash
# Builds Velmaris.exe and starts it under Wine, with run/ of the source tree
# as its working directory (where Velmaris.ini is kept).
#   scripts/run.sh                      run on the current X display
#   scripts/run.sh --screenshot FILE    run under Xvfb, save a screenshot, stop
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
screenshot=
if [ "${1:-}" = "--screenshot" ]; then
    screenshot=$(realpath -m "${2:?--screenshot needs a file name}")
fi

bash "$ROOT/scripts/setup.sh" win32
source "$ROOT/scripts/wine-env.sh"

if [ -z "$screenshot" ] && ! { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
    echo "run: no X display to show Velmaris on; 'scripts/run.sh --screenshot velmaris.png' runs it under Xvfb instead" >&2
    exit 1
fi

build_tree "$WINE_TREE" "$WINE_TOOLCHAIN" --target Velmaris >/dev/null
wine_prefix_ready
mkdir -p "$ROOT/run"
cd "$ROOT/run"

if [ -z "$screenshot" ]; then
    echo "Velmaris: working directory $ROOT/run (Velmaris.ini is kept there)"
    exec "$WINE_LOADER" "$WINE_TREE/Velmaris.exe"
fi

xvfb_start 80
trap 'wine_stop; xvfb_stop' EXIT
"$WINE_LOADER" "$WINE_TREE/Velmaris.exe" </dev/null >/dev/null 2>&1 &
sleep "${VELMARIS_SHOT_DELAY:-5}"
import -window root "$screenshot"
echo "run: screenshot written to $screenshot"
