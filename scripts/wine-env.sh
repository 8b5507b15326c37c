# Sourced by the scripts. Chooses the Wine build tree, and provides the
# prefix, Xvfb and wineserver helpers. Expects ROOT (the source tree).
#
# Velmaris.exe is a 32-bit program, built in build/win32 and run by 32-bit
# Wine. Where the kernel runs no 32-bit user code (IA-32 emulation off), 32-bit
# Wine cannot start; the same sources are then built for x86_64 in build/win64
# and that build is what runs under Wine.
: "${ROOT:?}"

wine32_works() {
    [ -x /usr/lib/wine/wineserver32 ] && /usr/lib/wine/wineserver32 --version >/dev/null 2>&1
}

if [ -z "${WINE_TREE:-}" ]; then
    if wine32_works; then
        WINE_TREE=$ROOT/build/win32 WINE_TOOLCHAIN=$ROOT/cmake/mingw-i686.cmake
        WINE_LOADER=wine WINEARCH=win32
    else
        WINE_TREE=$ROOT/build/win64 WINE_TOOLCHAIN=$ROOT/cmake/mingw-x86_64.cmake
        WINE_LOADER=/usr/lib/wine/wine64 WINEARCH=win64
    fi
fi
export WINE_TREE WINE_TOOLCHAIN WINE_LOADER WINEARCH
export WINEPREFIX=$WINE_TREE/wine-prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# Configures and builds a Windows tree: build_tree DIR TOOLCHAIN [targets...]
build_tree() {
    local dir=$1 toolchain=$2
    shift 2
    cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
    cmake --build "$dir" -j"$(nproc)" "$@"
}

# Creates the prefix once (about 12 s) with the settings the tests rely on:
# no waiting for a window manager, ALSA sound instead of PulseAudio. Another
# version of Wine brings it up to date.
wine_prefix_ready() {
    local version
    version=$("$WINE_LOADER" --version 2>/dev/null)
    [ "$(cat "$WINEPREFIX/.velmaris-ready" 2>/dev/null)" = "$version" ] && return 0
    "$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    if [ -f "$WINEPREFIX/system.reg" ]; then
        echo "$version" >"$WINEPREFIX/.velmaris-ready"
    else
        echo "wine: could not create the prefix $WINEPREFIX" >&2
        return 1
    fi
}

# wine_prefix_copy READY NEW: a prefix of its own in a second, where a copy
# takes several: its DLLs and programs, nine tenths of its 590 MB, are hard
# links to the ready prefix's (Wine writes them only when it brings a prefix
# up to date, and a ready one is), every other file a copy. A prefix at
# another path has a wineserver of its own.
wine_prefix_copy() {
    rm -rf "$2" && cp -al "$1" "$2" &&
        find "$2" -type f ! -iname '*.dll' ! -iname '*.exe' -exec sh -c \
            'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
}

# wine_run_begin NAME: surroundings of its own for one run of a Windows
# program beside others, so that runs go side by side: the folder
# $WINE_TREE/e2e-runs/NAME, emptied, as the working directory; a prefix
# copied from the tree's once and kept for the next run (and so a wineserver
# of its own); an Xvfb on a free display. wine_run_end ends the server and
# the Xvfb.
wine_run_begin() {
    export WINEPREFIX=$WINE_TREE/e2e-runs/$1.prefix
    wine_stop  # a server that an interrupted run left behind
    rm -rf "$WINE_TREE/e2e-runs/$1" && mkdir -p "$WINE_TREE/e2e-runs/$1" &&
        cd "$WINE_TREE/e2e-runs/$1" || return 1
    # The tree's prefix is made once, by whichever run comes first.
    (export WINEPREFIX=$WINE_TREE/wine-prefix; flock 9 && wine_prefix_ready) \
        9>"$WINE_TREE/wine-prefix.lock" || return 1
    if ! cmp -s "$WINE_TREE/wine-prefix/.velmaris-ready" "$WINEPREFIX/.velmaris-ready"; then
        wine_prefix_copy "$WINE_TREE/wine-prefix" "$WINEPREFIX" || return 1
    fi
    xvfb_start
}

wine_run_end() {
    wineserver -k </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    xvfb_stop
}

# Starts the server and warms it, away from any caller's pipes.
wine_warm() {
    wineserver -p </dev/null >/dev/null 2>&1
    "$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1
}

wine_stop() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
}

# Starts Xvfb on a display it finds free itself, which stays right when many
# start at once; sets DISPLAY and XVFB_PID.
xvfb_start() {
    local number
    number=$(mktemp) || return 1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" </dev/null >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        if grep -q '^[0-9]' "$number"; then
            export DISPLAY=":$(head -n 1 "$number")"
            rm -f "$number"
            return 0
        fi
        sleep 0.1
    done
    rm -f "$number"
    echo "Xvfb did not start" >&2
    return 1
}

# Starts trayer as the display's notification area (an XEmbed host), once
# xdotool and xwininfo are there too, and waits until it shows, starting it
# again when it ended (it sometimes does, on a display just started); sets
# TRAYER_PID.
trayer_start() {
    for tool in trayer xdotool xwininfo; do
        command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)" >&2; return 1; }
    done
    TRAYER_PID=
    for _ in $(seq 300); do
        if [ -z "$TRAYER_PID" ] || ! kill -0 "$TRAYER_PID" 2>/dev/null; then
            trayer --edge top --align right --widthtype pixel --width 200 --heighttype pixel \
                --height 32 </dev/null >/dev/null 2>&1 &
            TRAYER_PID=$!
        fi
        xdotool search --classname trayer >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "trayer did not start" >&2
    return 1
}

xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    XVFB_PID=
}
