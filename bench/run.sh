#!/usr/bin/env bash
# Measures Velmaris and prints one table of figures, "Velmaris / peer" where
# Wine's own clock program is the peer, and writes it to docs/figures.txt.
# Nothing here fails on a figure: what cannot be measured shows as n/a. It
# takes about four minutes.
#
#   bash bench/run.sh
#   BENCH_NOTE="what else ran" bash bench/run.sh   (a note under the table's heading)
#
# File figures are for the 32-bit deliverable (build/win32/Velmaris.exe) and
# the build that Wine runs here; every run-time figure is for the Wine build.
# Velmaris and the peer run side by side in one Xvfb, each in a prefix of its
# own, so that each has its own wineserver whose cost is its own. The run
# starts its own Xvfb and servers and ends them, by process id and
# wineserver -k, leaving nothing behind.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source scripts/wine-env.sh

STARTUP_RUNS=${STARTUP_RUNS:-10}
WINDOW_SECONDS=${WINDOW_SECONDS:-60}
TIMING_RUNS=${TIMING_RUNS:-20}
CHAIN_RUNS=${CHAIN_RUNS:-5}
LAG_TURNS=${LAG_TURNS:-10}
SETTINGS_ITERATIONS=${SETTINGS_ITERATIONS:-200}

OUT=$ROOT/build/bench
mkdir -p "$OUT"
RAW=$OUT/raw.log
TABLE=$ROOT/docs/figures.txt
: >"$RAW"
WORK=$(mktemp -d /tmp/velmaris-bench.XXXXXX)
ROWS=$WORK/rows

log() { echo "bench: $*" >&2; }
row() { printf '%s\t%s\t%s\n' "$1" "$2" "${3:-}" >>"$ROWS"; }
section() { printf '\n%s\n' "$1" >>"$ROWS"; }

# ---- builds ----------------------------------------------------------------
log "building"
W32=$ROOT/build/win32
build_tree "$W32" "$ROOT/cmake/mingw-i686.cmake" --target Velmaris >>"$RAW" 2>&1 ||
    { echo "bench: the 32-bit build failed (see $RAW)" >&2; exit 1; }
build_tree "$WINE_TREE" "$WINE_TOOLCHAIN" --target Velmaris velmaris_probe velmaris_floor \
    settings_bench >>"$RAW" 2>&1 || { echo "bench: the Wine build failed (see $RAW)" >&2; exit 1; }
NATIVE=$ROOT/build/bench-native
native_ok=0
{ cmake -S "$ROOT" -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release -DVELMARIS_SANITIZE=OFF &&
  cmake --build "$NATIVE" -j"$(nproc)" --target core_bench; } >>"$RAW" 2>&1 && native_ok=1

WINE_ARCH_NAME=$(basename "$WINE_TREE")
VEL_WINE=$WINE_TREE/Velmaris.exe
PROBE=$WINE_TREE/bench/velmaris_probe.exe
FLOOR=$WINE_TREE/bench/velmaris_floor.exe
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# ---- file figures ----------------------------------------------------------
objdump_for() {
    case $(file -b "$1") in
        PE32+*) echo x86_64-w64-mingw32-objdump ;;
        *) echo i686-w64-mingw32-objdump ;;
    esac
}
sections_of() {
    local idx name size _ out=
    while read -r idx name size _; do
        case $idx in
            [0-9]*) out="$out${out:+, }$name $((16#$size))" ;;
        esac
    done < <("$(objdump_for "$1")" -h "$1" 2>/dev/null)
    echo "$out"
}
dlls_of() {
    "$(objdump_for "$1")" -p "$1" 2>/dev/null | sed -n 's/^[[:space:]]*DLL Name: //p' |
        tr 'A-Z' 'a-z' | sort | tr '\n' ' ' | sed 's/ $//'
}
system_dlls_only() {
    local d
    for d in $(dlls_of "$1"); do
        case " kernel32.dll user32.dll gdi32.dll shell32.dll comdlg32.dll winmm.dll msvcrt.dll " in
            *" $d "*) ;;
            *) echo no; return ;;
        esac
    done
    echo yes
}
file_rows() {
    local exe=$1 label=$2 size
    if [ ! -f "$exe" ]; then
        row "$label: size" n/a
        return
    fi
    size=$(stat -c %s "$exe")
    row "$label: size" "$size bytes ($(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1024 }') KiB)" \
        "at most 25 KiB: $([ "$size" -le 25600 ] && echo yes || echo no)"
    row "$label: sections (bytes)" "$(sections_of "$exe")"
    row "$label: imported DLLs" "$(dlls_of "$exe")" "system DLLs only: $(system_dlls_only "$exe")"
}

section "Executable"
file_rows "$W32/Velmaris.exe" "Velmaris.exe 32-bit (i686, the deliverable)"
if [ "$WINE_TREE" != "$W32" ]; then
    file_rows "$VEL_WINE" "Velmaris.exe $WINE_ARCH_NAME (the build Wine runs)"
fi
[ -f "$FLOOR" ] && row "floor program ($WINE_ARCH_NAME, same flags): size" "$(stat -c %s "$FLOOR") bytes"

# ---- Wine surroundings -----------------------------------------------------
PREFIX_A=$WINE_TREE/bench-prefix       # Velmaris, the floor program and the measurer
PREFIX_B=$WINE_TREE/bench-peer-prefix  # the peer
PEER_WIN='C:\windows\system32\clock.exe'
STARTED=()
cleanup() {
    local pid
    for pid in "${STARTED[@]}"; do
        kill "$pid" 2>/dev/null
    done
    WINEPREFIX=$PREFIX_A wineserver -k </dev/null >/dev/null 2>&1
    WINEPREFIX=$PREFIX_B wineserver -k </dev/null >/dev/null 2>&1
    WINEPREFIX=$PREFIX_A wineserver -w </dev/null >/dev/null 2>&1
    WINEPREFIX=$PREFIX_B wineserver -w </dev/null >/dev/null 2>&1
    for pid in "${STARTED[@]}"; do
        wait "$pid" 2>/dev/null
    done
    xvfb_stop
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

inA() { WINEPREFIX=$PREFIX_A "$@"; }
inB() { WINEPREFIX=$PREFIX_B "$@"; }
probe() { inA "$WINE_LOADER" "$PROBE" "$@" 2>>"$RAW"; }
# start_in_a DIR EXE: starts EXE in prefix A from DIR; LAST_PID is its process.
start_in_a() {
    (cd "$1" && exec env WINEPREFIX="$PREFIX_A" "$WINE_LOADER" "$2") </dev/null >/dev/null 2>&1 &
    LAST_PID=$!
    STARTED+=("$LAST_PID")
}

log "preparing the Wine prefixes"
(export WINEPREFIX=$PREFIX_A; wine_prefix_ready) >>"$RAW" 2>&1 &
prep_a=$!
(export WINEPREFIX=$PREFIX_B; wine_prefix_ready) >>"$RAW" 2>&1 &
prep_b=$!
wait $prep_a; ok_a=$?
wait $prep_b; ok_b=$?
xvfb_start || { echo "bench: no Xvfb" >&2; exit 1; }
wine_ok=0
if [ $ok_a = 0 ] && [ $ok_b = 0 ]; then
    (export WINEPREFIX=$PREFIX_A; wine_warm)
    (export WINEPREFIX=$PREFIX_B; wine_warm)
    wine_ok=1
else
    log "a Wine prefix could not be made; run-time figures are n/a"
fi

ini_dir() {  # ini_dir NAME MINUTES SECONDS: a working directory with that preset
    local dir=$WORK/$1
    mkdir -p "$dir"
    printf '[WINDOW]\r\nleft=%s\r\ntop=%s\r\n[SETTING]\r\nTimerMinute=%s\r\nTimerSecond=%s\r\n' \
        "${4:-300}" "${5:-100}" "$2" "$3" >"$dir/Velmaris.ini"
    echo "$dir"
}

# Median, min and max of the numbers on standard input, or n/a.
stats() {
    sort -g | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "n/a n/a n/a 0"; exit }
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.0f %.0f %.0f %d\n", m, v[1], v[NR], NR }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a + 0 > 0 && b + 0 > 0) printf "%.2f", a / b; else printf "n/a" }'; }

# ---- start-up --------------------------------------------------------------
section "Start-up (Wine build; median, min-max over $STARTUP_RUNS runs after one warm-up)"
if [ $wine_ok = 1 ]; then
    log "start-up: $STARTUP_RUNS runs each, alternating"
    dir=$(ini_dir work-startup 5 0)
    probe startup "$STARTUP_RUNS" "$(winpath "$VEL_WINE")" "$(winpath "$dir")" "$PEER_WIN" \
        >"$WORK/startup" </dev/null
    cat "$WORK/startup" >>"$RAW"
    read -r vis_med vis_min vis_max vis_n < <(awk '$2 == "velmaris" && $3 == "run" { print $4 }' "$WORK/startup" | stats)
    read -r fil_med fil_min fil_max fil_n < <(awk '$2 == "velmaris" && $3 == "run" { print $5 }' "$WORK/startup" | stats)
    read -r peer_med peer_min peer_max peer_n < <(awk '$2 == "peer" && $3 == "run" { print $4 }' "$WORK/startup" | stats)
    PEER_CLASS=$(awk '$2 == "peer" && $3 == "run" { print $5; exit }' "$WORK/startup")
    row "to first visible window, ms" \
        "$vis_med ($vis_min-$vis_max) / $peer_med ($peer_min-$peer_max)" \
        "ratio $(ratio "$vis_med" "$peer_med"); runs $vis_n / $peer_n"
    row "to first paint with list boxes filled, ms" \
        "$fil_med ($fil_min-$fil_max) / peer's first window $peer_med" \
        "ratio $(ratio "$fil_med" "$peer_med")"
    row "peer's window class (found by process id)" "${PEER_CLASS:-n/a}"
    # The floor program in the peer's place: what any window costs to appear here.
    probe startup "$STARTUP_RUNS" "$(winpath "$VEL_WINE")" "$(winpath "$dir")" "$(winpath "$FLOOR")" \
        >"$WORK/startup-floor" </dev/null
    cat "$WORK/startup-floor" >>"$RAW"
    read -r flo_med flo_min flo_max flo_n < <(awk '$2 == "peer" && $3 == "run" { print $4 }' "$WORK/startup-floor" | stats)
    row "floor program (a bare window): to first visible window, ms" "$flo_med ($flo_min-$flo_max)" \
        "0.70 x peer would be $(awk -v p="$peer_med" 'BEGIN { if (p + 0 > 0) printf "%.0f", 0.7 * p; else printf "n/a" }')"
else
    row "start-up" n/a
fi
PEER_CLASS=${PEER_CLASS:-CLClass}

# ---- settings file ---------------------------------------------------------
settings_line=
if [ $wine_ok = 1 ]; then
    log "settings file: $SETTINGS_ITERATIONS loads and saves"
    settings_line=$(inA "$WINE_LOADER" "$WINE_TREE/bench/settings_bench.exe" "$SETTINGS_ITERATIONS" \
        </dev/null 2>>"$RAW" | tr -d '\r')
    echo "$settings_line" >>"$RAW"
fi

# ---- idle cost and memory --------------------------------------------------
# Per-process figures from /proc: CPU time as the sum of the threads' run
# time (schedstat, ns) and wakeups as voluntary context switches.
proc_cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
proc_wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'; }
prefix_pids() {  # the Wine processes of a prefix, by their environment
    local p
    for p in /proc/[0-9]*; do
        tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "WINEPREFIX=$1" && echo "${p#/proc/}"
    done
}
server_pid() {
    local p
    for p in $(prefix_pids "$1"); do
        case $(readlink "/proc/$p/exe") in */wineserver*) echo "$p"; return ;; esac
    done
}
snapshot() {  # snapshot FILE PID...
    local p
    for p in "${@:2}"; do
        [ -d "/proc/$p" ] && echo "$p $(proc_cpu_ns "$p") $(proc_wakeups "$p")"
    done >"$1"
}
# delta FROM TO SECONDS PID...: CPU seconds and wakeups per second of the pids together.
delta() {
    local from=$1 to=$2 secs=$3
    shift 3
    awk -v secs="$secs" -v want=" $* " '
        FNR == NR { c[$1] = $2; w[$1] = $3; next }
        index(want, " " $1 " ") && ($1 in c) { cpu += $2 - c[$1]; wk += $3 - w[$1]; n++ }
        END { if (n == 0) print "n/a n/a"; else printf "%.3f %.1f\n", cpu / 1e9, wk / secs }' "$from" "$to"
}
mem_of() {  # peak, resident, anonymous resident, private: MiB
    local p=$1
    [ -r "/proc/$p/status" ] || { echo "n/a n/a n/a n/a"; return; }
    local priv
    priv=$(awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s + 0 }' "/proc/$p/smaps_rollup" 2>/dev/null)
    awk -v priv="$priv" '/^VmHWM:/ { h = $2 } /^VmRSS:/ { r = $2 } /^RssAnon:/ { a = $2 }
        END { printf "%.2f %.2f %.2f %.2f\n", h / 1024, r / 1024, a / 1024, priv / 1024 }' "/proc/$p/status"
}
# Mapped files (DLLs and Unix libraries) with their resident and private KiB.
mappings_of() {
    awk '/^[0-9a-f]+-[0-9a-f]+ / { path = $6; next }
         path != "" && /^Rss:/ { rss[path] += $2 }
         path != "" && /^Private_(Clean|Dirty):/ { priv[path] += $2 }
         END { for (p in rss) printf "%s %d %d\n", p, rss[p], priv[p] }' "/proc/$1/smaps" 2>/dev/null | sort
}
count_modules() {  # Windows modules (PE DLLs and drivers) and Unix libraries mapped
    mappings_of "$1" | awk '{ n = tolower($1) }
        n ~ /\.(dll|drv|exe|sys|acm|ocx)$/ { pe++ } n ~ /\.so(\.[0-9.]+)?$/ { so++ }
        END { printf "%d %d\n", pe, so }'
}

if [ $wine_ok = 1 ]; then
    log "idle and counting: two windows of $WINDOW_SECONDS s, Velmaris, the peer and the floor side by side"
    dir=$(ini_dir work-idle 5 0)
    start_in_a "$dir" "$VEL_WINE"
    VPID=$LAST_PID
    start_in_a "$WORK" "$FLOOR"
    FPID=$LAST_PID
    (cd "$WORK" && exec env WINEPREFIX="$PREFIX_B" "$WINE_LOADER" "$PEER_WIN") </dev/null >/dev/null 2>&1 &
    PPID_=$!
    STARTED+=("$PPID_")
    probe wait Velmaris </dev/null >>"$RAW"
    probe wait VelmarisFloor </dev/null >>"$RAW"
    inB "$WINE_LOADER" "$PROBE" wait "$PEER_CLASS" </dev/null >>"$RAW" 2>&1
    sleep 2
    SRV_A=$(server_pid "$PREFIX_A")
    SRV_B=$(server_pid "$PREFIX_B")
    HELP_A=$(prefix_pids "$PREFIX_A" | grep -vx -e "$VPID" -e "$FPID" -e "${SRV_A:-x}" | tr '\n' ' ')
    HELP_B=$(prefix_pids "$PREFIX_B" | grep -vx -e "$PPID_" -e "${SRV_B:-x}" | tr '\n' ' ')
    ALL="$VPID $FPID $PPID_ $SRV_A $SRV_B $HELP_A $HELP_B"
    echo "pids: velmaris $VPID floor $FPID peer $PPID_ servers $SRV_A $SRV_B helpers $HELP_A / $HELP_B" >>"$RAW"

    # window FROM TO: the counters before and after WINDOW_SECONDS; prints the seconds it took.
    window() {
        local a b
        snapshot "$WORK/$1" $ALL; a=$(date +%s.%N)
        sleep "$WINDOW_SECONDS"
        snapshot "$WORK/$2" $ALL; b=$(date +%s.%N)
        awk -v a="$a" -v b="$b" 'BEGIN { print b - a }'
    }
    secs1=$(window s0 s1)
    mem_idle_v=$(mem_of "$VPID"); mem_idle_p=$(mem_of "$PPID_"); mem_idle_f=$(mem_of "$FPID")
    mappings_of "$VPID" >"$WORK/map_v"
    mappings_of "$FPID" >"$WORK/map_f"
    mod_v=$(count_modules "$VPID"); mod_p=$(count_modules "$PPID_"); mod_f=$(count_modules "$FPID")

    probe press </dev/null >>"$RAW"
    secs2=$(window s2 s3)
    mem_count_v=$(mem_of "$VPID"); mem_count_p=$(mem_of "$PPID_"); mem_count_f=$(mem_of "$FPID")

    probe close Velmaris </dev/null >>"$RAW"
    probe close VelmarisFloor </dev/null >>"$RAW"
    inB "$WINE_LOADER" "$PROBE" close "$PEER_CLASS" </dev/null >>"$RAW" 2>&1

    section "Idle cost (Wine build; CPU seconds over $WINDOW_SECONDS s, wakeups per second; Velmaris / peer / floor)"
    for w in "idle:s0:s1:$secs1" "counting:s2:s3:$secs2"; do
        IFS=: read -r name from to secs <<<"$w"
        read -r cv wv < <(delta "$WORK/$from" "$WORK/$to" "$secs" "$VPID")
        read -r cp wp < <(delta "$WORK/$from" "$WORK/$to" "$secs" "$PPID_")
        read -r cf wf < <(delta "$WORK/$from" "$WORK/$to" "$secs" "$FPID")
        read -r sa wsa < <(delta "$WORK/$from" "$WORK/$to" "$secs" $SRV_A)
        read -r sb wsb < <(delta "$WORK/$from" "$WORK/$to" "$secs" $SRV_B)
        read -r ha wha < <(delta "$WORK/$from" "$WORK/$to" "$secs" $HELP_A)
        read -r hb whb < <(delta "$WORK/$from" "$WORK/$to" "$secs" $HELP_B)
        if [ "$name" = idle ]; then label="no countdown"; else label="countdown running (5:00 preset)"; fi
        row "$label: process CPU s" "$cv / $cp / $cf"
        row "$label: process wakeups/s" "$wv / $wp / $wf"
        row "$label: wineserver CPU s" "$sa / $sb" "Velmaris's server also serves the floor"
        row "$label: wineserver wakeups/s" "$wsa / $wsb"
        row "$label: Wine's helper processes CPU s" "$ha / $hb" "explorer.exe, services.exe ..."
    done

    section "Memory (Wine build, MiB; Velmaris / peer / floor)"
    read -r hv rv av pv <<<"$mem_count_v"; read -r hp rp ap pp <<<"$mem_count_p"; read -r hf rf af pf <<<"$mem_count_f"
    row "peak resident (VmHWM)" "$hv / $hp / $hf" "above floor: $(awk -v a="$hv" -v b="$hf" 'BEGIN { printf "%.2f", a - b }')"
    read -r hv rv av pv <<<"$mem_idle_v"; read -r hp rp ap pp <<<"$mem_idle_p"; read -r hf rf af pf <<<"$mem_idle_f"
    row "steady resident, idle (VmRSS)" "$rv / $rp / $rf" "above floor: $(awk -v a="$rv" -v b="$rf" 'BEGIN { printf "%.2f", a - b }')"
    row "steady anonymous resident, idle (RssAnon)" "$av / $ap / $af"
    row "steady private, idle (smaps_rollup)" "$pv / $pp / $pf" "above floor: $(awk -v a="$pv" -v b="$pf" 'BEGIN { printf "%.2f", a - b }'); goal within 1 MB"
    read -r hv rv av pv <<<"$mem_count_v"; read -r hp rp ap pp <<<"$mem_count_p"; read -r hf rf af pf <<<"$mem_count_f"
    row "steady resident / private, counting" "$rv, $pv / $rp, $pp / $rf, $pf"
    read -r mv sv <<<"$mod_v"; read -r mp sp <<<"$mod_p"; read -r mf sf <<<"$mod_f"
    row "Windows modules / Unix libraries mapped" "$mv, $sv / $mp, $sp / $mf, $sf"
    # What Velmaris maps that the floor does not, largest first.
    extra=$(join -v1 "$WORK/map_v" "$WORK/map_f" | sort -k2,2nr |
        awk '{ n = $1; sub(/.*\//, "", n); t += $2; tp += $3; if (NR <= 8) printf "%s%s %d/%d", sep, n, $2, $3; sep = ", " }
             END { if (NR) printf " (all %d files: %d KiB resident, %d KiB private)", NR, t, tp }')
    row "mapped only by Velmaris, KiB resident/private" "${extra:-none}"
else
    section "Idle cost and memory"
    row "idle cost, memory" n/a
fi

# ---- timing ----------------------------------------------------------------
section "Timing (Wine build; lateness after the nominal moment, ms)"
if [ $wine_ok = 1 ]; then
    log "timing: $TIMING_RUNS runs of a 2-second preset, a restart chain, the time line"
    dir=$(ini_dir work-timing 0 2)
    start_in_a "$dir" "$VEL_WINE"
    probe timing "$TIMING_RUNS" 2000 </dev/null >"$WORK/timing"
    probe lag "$LAG_TURNS" </dev/null >>"$WORK/timing"
    probe close Velmaris </dev/null >>"$RAW"
    dir=$(ini_dir work-chain 0 2)
    printf 'Restart=1\r\nRestartSec=1\r\n' >>"$dir/Velmaris.ini"
    start_in_a "$dir" "$VEL_WINE"
    probe chain "$CHAIN_RUNS" 2000 1000 </dev/null >>"$WORK/timing"
    probe close Velmaris </dev/null >>"$RAW"
    cat "$WORK/timing" >>"$RAW"
    read -r t_med t_min t_max t_n < <(awk '$2 == "run" { print $4 }' "$WORK/timing" | stats)
    send_max=$(awk '$2 == "run" && $5 > m { m = $5 } END { printf "%.1f", m }' "$WORK/timing")
    row "expiry lateness min / median / max" "$t_min / $t_med / $t_max" \
        "$t_n runs of a 2 s preset pressed across the second; Start sent in <= $send_max ms"
    chain=$(awk '$2 == "end" { printf "%s%.0f", n++ ? " / " : "", $4 }' "$WORK/timing")
    row "restart chain (2 s, restart 1 s): lateness of ends 1..$CHAIN_RUNS" "${chain:-n/a}" \
        "from one Start; end k due at k x 2 s + (k - 1) x 1 s"
    read -r l_med l_min l_max l_n < <(awk '$2 == "turn" { print $3 }' "$WORK/timing" | stats)
    row "time-line lag behind the local time min / median / max" "$l_min / $l_med / $l_max" \
        "$l_n turns of the time line"
else
    row "expiry lateness" n/a
fi

# ---- core cost -------------------------------------------------------------
section "Core cost"
if [ $native_ok = 1 ]; then
    log "core benchmark (native)"
    "$NATIVE/bench/core_bench" --benchmark_min_time=0.3 --benchmark_format=csv \
        >"$WORK/core" 2>>"$RAW"
    cat "$WORK/core" >>"$RAW"
    for b in Idle Counting Beeping; do
        ns=$(awk -F, -v n="\"BM_ClockTick$b\"" '$1 == n { printf "%.0f", $4 }' "$WORK/core")
        row "ClockTick, $(echo "$b" | tr 'A-Z' 'a-z') (native, -O2, RunEngine), ns per tick" "${ns:-n/a}"
    done
else
    row "ClockTick (native)" "n/a" "Google Benchmark or the native build missing"
fi
if [ -n "$settings_line" ]; then
    read -r _ _ iters _ load _ save <<<"$settings_line"
    row "TransferSettings load / save (Wine build, private-profile calls), us" "$load / $save" \
        "mean over $iters of each"
else
    row "TransferSettings load / save" n/a
fi

# ---- the table -------------------------------------------------------------
{
    echo "Velmaris figures (bash bench/run.sh, $(date -u +%Y-%m-%d)); X / Y is Velmaris / peer (Wine's clock.exe)"
    echo "Machine: $(nproc) cores, $(uname -sr), $("$WINE_LOADER" --version 2>/dev/null) running the $WINE_ARCH_NAME build"
    [ -n "${BENCH_NOTE:-}" ] && echo "Note: $BENCH_NOTE"
    awk -F'\t' 'NF < 2 { print; next } { printf "  %-58s %-42s %s\n", $1, $2, $3 }' "$ROWS"
} | tee "$TABLE"
echo
echo "raw output: $RAW; this table: $TABLE"
exit 0
