#!/usr/bin/env bash
# Packs the Windows test programs of a built tree for a real Windows desktop:
# OUT/Velmaris-<version>-win32-tests.zip (win64 for an x86_64 tree) holding
# Velmaris.exe, settings_win32_test.exe, the end-to-end drivers
# velmaris_e2e_*.exe with planted\winmm.dll, run-tests.cmd, LICENSE and
# GoogleTest's copyright. Extract it anywhere and run run-tests.cmd there.
# The version is the one in resources/version.h. The zip is reproducible:
# names in a fixed order, each with the commit's time and fixed attributes.
#
#   scripts/test-pack.sh [TREE [OUT]]     (default build/win32, dist)
#   scripts/test-pack.sh --check TREE     the test command's check: packs
#       twice and compares, then runs run-tests.cmd under Wine's cmd on a
#       fresh copy, as on Windows (E2E_AS_ON_WINDOWS), and checks its summary.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)

pack() {  # TREE OUT: prints the zip's path
    local tree=$1 out=$2 version arch=win32 stamp
    version=$(sed -n 's/^#define VELMARIS_VERSION_\(MAJOR\|MINOR\|PATCH\|BUILD\) \([0-9]\+\)$/\2/p' \
              "$ROOT/resources/version.h" | paste -sd.)
    grep -q 'CMAKE_SYSTEM_PROCESSOR:[A-Z]*=x86_64' "$tree/CMakeCache.txt" && arch=win64
    stamp=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 0)
    mkdir -p "$out"
    local zip=$out/Velmaris-$version-$arch-tests.zip
    python3 - "$zip" "$stamp" "$ROOT/scripts/run-tests.cmd" "$ROOT/LICENSE" \
        /usr/share/doc/googletest/copyright "$tree/Velmaris.exe" \
        "$tree/tests/win32/settings_win32_test.exe" "$tree/planted/winmm.dll" \
        "$tree"/tests/e2e/velmaris_e2e_*.exe <<'PY'
import os, sys, time, zipfile
out, stamp, runner, licence, gtest = sys.argv[1:6]
when = time.gmtime(max(int(stamp), 315532800))[:6]  # zip times start in 1980

def text(path):
    return open(path, "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")

files = {"run-tests.cmd": text(runner), "LICENSE": text(licence),
         "googletest-copyright.txt": text(gtest)}
for path in sys.argv[6:]:
    name = "planted/winmm.dll" if path.endswith("/planted/winmm.dll") else os.path.basename(path)
    files[name] = open(path, "rb").read()
with zipfile.ZipFile(out + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
    for name in sorted(files):
        info = zipfile.ZipInfo(name, when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0
        info.external_attr = 0x20  # archive bit, as Windows writes it
        z.writestr(info, files[name])
PY
    mv "$zip.tmp" "$zip"
    echo "$zip"
}

if [ "${1:-}" != --check ]; then
    zip=$(pack "$(realpath "${1:-$ROOT/build/win32}")" "${2:-$ROOT/dist}")
    echo "test-pack: $zip ($(stat -c %s "$zip") bytes), sha256 $(sha256sum "$zip" | cut -d' ' -f1)"
    exit 0
fi

# The check: the same bytes twice, the second time after the inputs' times changed.
tree=$(realpath "$2")
work=$tree/test-pack
rm -rf "$work"
first=$(pack "$tree" "$work/first")
touch "$tree/Velmaris.exe" "$ROOT/scripts/run-tests.cmd"
second=$(pack "$tree" "$work/second")
cmp "$first" "$second" || { echo "test-pack: two packs of the same files differ" >&2; exit 1; }
echo "test-pack: $(basename "$first") packed twice to the same bytes, sha256 $(sha256sum "$first" | cut -d' ' -f1)"
python3 -m zipfile -l "$first"

# Under Wine's cmd, from a fresh copy, taking Windows' path where a test needs Wine.
python3 -m zipfile -e "$first" "$work/pack"
runner=$(printf 'Z:%s' "$work/pack/run-tests.cmd" | tr / '\\')
shift 2
run_pack() {  # ARGS: prints run-tests.cmd's last line and its exit code
    E2E_AS_ON_WINDOWS=1 bash "$ROOT/tests/e2e/run-e2e.sh" --name TestPack --tree "$tree" \
        -- cmd /c "$runner" "$@" | tr -d '\r' >"$work/run-tests.log"
    local code=$?
    cat "$work/run-tests.log" >&2
    echo "$(tail -n 1 "$work/run-tests.log") (exit code $code)"
}
# A failure counts: here a Velmaris.exe that is not there.
summary=$(run_pack "--gtest_filter=Startup.Settings*" "--velmaris=Z:\\nowhere\\Velmaris.exe")
[ "$summary" = "run-tests: 0 passed, 1 failed, 0 skipped (exit code 1)" ] ||
    { echo "test-pack: a failing test gave \"$summary\"" >&2; exit 1; }
summary=$(run_pack "$@")
reasons=$(cat "$work/pack/results"/*/output.txt | grep -c 'needs Wine (' || true)
echo "test-pack: $summary; $reasons skipped tests say they need Wine"
case $summary in
"run-tests: "[1-9]*" passed, 0 failed, "*" skipped (exit code 0)")
    skipped=${summary% skipped*} skipped=${skipped##* }
    [ "$skipped" -gt 0 ] && [ "$reasons" -eq "$skipped" ] && exit 0
    echo "test-pack: each of $skipped skipped tests should say it needs Wine" >&2 ;;
*) echo "test-pack: run-tests.cmd ended with \"$summary\"" >&2 ;;
esac
exit 1
