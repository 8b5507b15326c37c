#!/bin/bash
# Builds the libFuzzer target with clang in build/fuzz and runs it for a bounded
# time on a scratch copy of tests/fuzz/corpus, so the seeds in the repository
# stay as they are. Usage: scripts/fuzz.sh [seconds]   (default 30)
# Exits non-zero when the build fails or the fuzzer finds a crash.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build=$root/build/fuzz
work=$build/run
artifacts=$build/artifacts  # kept across runs

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DVELMARIS_SANITIZE=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuzz_clock -j"$(nproc)" >/dev/null

rm -rf "$work"
mkdir -p "$work/corpus" "$artifacts"
cp "$root"/tests/fuzz/corpus/* "$work/corpus/"

rc=0
"$build/tests/fuzz/fuzz_clock" -max_total_time="$seconds" -max_len=4096 \
    -artifact_prefix="$artifacts/" "$work/corpus" >"$work/fuzz.log" 2>&1 || rc=$?

done_line=$(grep -E '^Done [0-9]+ runs in [0-9]+ second' "$work/fuzz.log" | tail -n 1 || true)
if [ "$rc" -ne 0 ] || [ -z "$done_line" ]; then
    tail -n 40 "$work/fuzz.log"
    sed -n 's/.*Test unit written to /fuzz: crash input /p' "$work/fuzz.log"
    echo "fuzz: crash (exit $rc), log in $work/fuzz.log"
    exit 1
fi
echo "$done_line"
runs=$(echo "$done_line" | awk '{print $2}')
secs=$(echo "$done_line" | awk '{print $5}')
echo "fuzz: $runs executions in $secs s, no crash"
