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
# no waiting for a window manager, ALSA sound instead of PulseAudio.
wine_prefix_ready() {
    [ -f "$WINEPREFIX/.velmaris-ready" ] && return 0
    "$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    if [ -f "$WINEPREFIX/system.reg" ]; then
        touch "$WINEPREFIX/.velmaris-ready"
    else
        echo "wine: could not create the prefix $WINEPREFIX" >&2
        return 1
    fi
}

# Starts the server and warms it, away from any caller's pipes.
wine_warm() {
    wineserver -p </dev/null >/dev/null 2>&1
    "$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1
}

wine_stop() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
}

# Starts Xvfb on a free display; sets DISPLAY and XVFB_PID.
xvfb_start() {
    local n=${1:-90}
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on :$n" >&2
    return 1
}

xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    XVFB_PID=
}
