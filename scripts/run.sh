#!/usr/bin/env bash
# Builds Velmaris.exe and starts it under Wine, in the user's own locale, with
# run/ of the source tree as its working directory; --help says how.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)

usage() {
    cat <<'EOF'
Usage: bash scripts/run.sh [--screenshot FILE]

Builds Velmaris.exe and runs it under Wine, installing what is missing first.
  (no option)         show it on the current X display until it is closed
  --screenshot FILE   run it under Xvfb instead, write a PNG of the screen to
                      FILE after five seconds, and stop it
  -h, --help          print this and exit

Velmaris.ini is kept in run/ of the source tree, its working directory.
The windows speak Chinese under a zh_CN locale and English under any other;
where the locale is unset, C, POSIX or not generated, English (C.UTF-8).
For Chinese: LANG=zh_CN.UTF-8 bash scripts/run.sh
EOF
}

screenshot=
while [ $# -gt 0 ]; do
    case $1 in
    -h | --help) usage; exit 0 ;;
    --screenshot)
        if [ -z "${2:-}" ]; then
            echo "run: --screenshot needs the name of the PNG file to write, as in --screenshot velmaris.png" >&2
            exit 2
        fi
        screenshot=$(realpath -m -- "$2")
        shift 2 ;;
    *) echo "run: unknown argument '$1'; bash scripts/run.sh --help lists the options" >&2; exit 2 ;;
    esac
done

# The user's locale, before wine-env.sh pins zh_CN.UTF-8 for the build and tests.
user_lc_all=${LC_ALL:-} user_lang=${LANG:-}
user_lc_ctype=${LC_CTYPE:-} user_lc_messages=${LC_MESSAGES:-}

# A locale this system can give Wine: named, not C or POSIX, and generated
# (locale -a spells zh_CN.UTF-8 as zh_CN.utf8).
usable_locale() {
    case $1 in '' | C | POSIX) return 1 ;; esac
    local want
    want=$(printf '%s' "$1" | tr 'A-Z' 'a-z' | tr -d -- '-')
    locale -a 2>/dev/null | tr 'A-Z' 'a-z' | tr -d -- '-' | grep -xF -- "$want" >/dev/null
}

# Wine takes the ANSI code page from LC_CTYPE and the UI language from
# LC_MESSAGES; a category the user set to something unusable follows LANG.
# With no usable locale, English, as Windows shows for any display language
# but Chinese; C.UTF-8 is always there.
use_user_locale() {
    if usable_locale "$user_lc_all"; then
        export LANG=$user_lc_all LC_ALL=$user_lc_all
    elif [ -z "$user_lc_all" ] && usable_locale "$user_lang"; then
        unset LC_ALL
        export LANG=$user_lang
        if usable_locale "$user_lc_ctype"; then export LC_CTYPE=$user_lc_ctype; else unset LC_CTYPE; fi
        if usable_locale "$user_lc_messages"; then export LC_MESSAGES=$user_lc_messages; else unset LC_MESSAGES; fi
    else
        export LANG=C.UTF-8 LC_ALL=C.UTF-8
        echo "run: locale '${user_lc_all:-${user_lang:-unset}}' cannot be used here, so English (C.UTF-8);" \
             "for another language set LANG to a generated locale (locale -a lists them)," \
             "as in LANG=zh_CN.UTF-8 bash scripts/run.sh for Chinese" >&2
    fi
}

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
use_user_locale

if [ -z "$screenshot" ]; then
    echo "Velmaris: working directory $ROOT/run (Velmaris.ini is kept there)"
    exec "$WINE_LOADER" "$WINE_TREE/Velmaris.exe"
fi

xvfb_start
trap 'wine_stop; xvfb_stop' EXIT
"$WINE_LOADER" "$WINE_TREE/Velmaris.exe" </dev/null >/dev/null 2>&1 &
sleep "${VELMARIS_SHOT_DELAY:-5}"
import -window root "$screenshot"
echo "run: screenshot written to $screenshot"
