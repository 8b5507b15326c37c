#!/usr/bin/env bash
# Builds everything and runs every test, layer by layer: the CI workflow
# against its schema, the native unit tests under ASan and UBSan, the fuzz
# run, the checks of the executables, and under Wine the Windows tests of the
# settings file and the end-to-end tests, side by side (E2E_JOBS at a time,
# three a core by default: they mostly wait), with the Windows test pack.
# Installs what is missing first. Ends with the total as "velmaris: N passed,
# N failed" and a last line with each layer's count and the time taken, or
# the layer that failed; a failure stops the run and exits 1.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
LOGS=$ROOT/build/test-logs
mkdir -p "$LOGS"

passed=0 failed=0 layers=

elapsed() { printf '%d min %02d s' $((SECONDS / 60)) $((SECONDS % 60)); }

layer_passed() {  # NAME COUNT
    passed=$((passed + $2))
    layers="${layers:+$layers, }$1 $2"
}

layer_failed() {  # WHAT [FAILED_COUNT]
    failed=$((failed + ${2:-1}))
    echo "velmaris: $passed passed, $failed failed"
    echo "velmaris: $1 failed after $(elapsed)${layers:+; passed before it: $layers}"
    exit 1
}

# ctest_layer NAME CTEST_ARGS...: one ctest run, one layer of the summary,
# counted from ctest's own summary line.
ctest_layer() {
    local name=$1 log=$LOGS/$1.log rc=0 counts bad all
    shift
    ctest "$@" --output-on-failure 2>&1 | tee "$log" || rc=$?
    counts=$(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\)$/\1 \2/p' "$log")
    bad=${counts% *} all=${counts#* }
    if [ -z "$counts" ]; then
        layer_failed "$name (no tests ran)"
    elif [ "$rc" -ne 0 ] || [ "$bad" -ne 0 ]; then
        passed=$((passed + all - bad))
        layer_failed "$name ($bad of $all)" "$((bad > 0 ? bad : 1))"
    fi
    layer_passed "$name" "$all"
}

bash scripts/setup.sh all || layer_failed "installing what the tests need"

echo "== the CI workflow, against the schema of workflows"
build/tools/lint/node_modules/.bin/action-validator .github/workflows/ci.yml ||
    layer_failed "the workflow check (.github/workflows/ci.yml)"
layer_passed workflow 1

echo "== native build and unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
{ cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
  cmake --build build/native -j"$(nproc)"; } || layer_failed "the native build"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest_layer unit --test-dir build/native

if [ -f scripts/fuzz.sh ]; then
    echo "== fuzzing"
    bash scripts/fuzz.sh || layer_failed "fuzz"
    layer_passed fuzz 1
fi

source scripts/wine-env.sh
trap wine_stop EXIT

echo "== Velmaris.exe for 32-bit Windows: its checks"
build_tree build/win32 cmake/mingw-i686.cmake || layer_failed "the 32-bit build"
ctest_layer exe --test-dir build/win32 -L static
if [ "$WINE_TREE" != "$ROOT/build/win32" ]; then
    echo "== 32-bit Wine cannot run on this kernel: the x86_64 build of the same sources," \
         "its checks and the Wine tests"
    build_tree "$WINE_TREE" "$WINE_TOOLCHAIN" || layer_failed "the x86_64 build"
    ctest_layer exe-x86_64 --test-dir "$WINE_TREE" -L static
fi

echo "== Windows tests under Wine ($WINE_TREE)"
wine_prefix_ready || layer_failed "making the Wine prefix"
wine_warm
ctest_layer windows --test-dir "$WINE_TREE" -LE static -E '^e2e\.'
echo "== end-to-end tests under Wine ($WINE_TREE)"
ctest_layer e2e --test-dir "$WINE_TREE" -R '^e2e\.' -j "${E2E_JOBS:-$(($(nproc) * 3))}"

echo "velmaris: $passed passed, $failed failed"
echo "velmaris: passed $layers, in $(elapsed)"
