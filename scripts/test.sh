#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests under ASan and
# UBSan, the fuzz run, the checks of the 32-bit executable, and the Windows
# tests and end-to-end tests under Wine. Installs what is missing first.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

bash scripts/setup.sh all

echo "== native build and unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$(nproc)"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build/native --output-on-failure

if [ -f scripts/fuzz.sh ]; then
    echo "== fuzzing"
    bash scripts/fuzz.sh
fi

source scripts/wine-env.sh
trap wine_stop EXIT

echo "== Velmaris.exe for 32-bit Windows"
build_tree build/win32 cmake/mingw-i686.cmake
if [ "$WINE_TREE" != "$ROOT/build/win32" ]; then
    echo "== 32-bit Wine cannot run on this kernel: static checks of the 32-bit build," \
         "Wine tests on the x86_64 build of the same sources"
    ctest --test-dir build/win32 -L static --output-on-failure
    build_tree "$WINE_TREE" "$WINE_TOOLCHAIN"
fi

echo "== Windows tests under Wine ($WINE_TREE)"
wine_prefix_ready
wine_warm
ctest --test-dir "$WINE_TREE" --output-on-failure
