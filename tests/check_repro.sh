#!/bin/sh
# Checks that Velmaris.exe is reproducible: builds it again from a copy of the
# tracked sources at another path, in a fresh build tree, and compares the
# SHA-256 of the two files; and that neither holds a path of its build.
# Usage: check_repro.sh SOURCE_DIR EXE TOOLCHAIN_FILE_NAME BUILD_TYPE
src=$1 exe=$2 toolchain=$3 build_type=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/velmaris-repro.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
# The tracked files as they are in the tree, edits included; without git, all
# but the build outputs.
if files=$(git -C "$src" ls-files 2>/dev/null) && [ -n "$files" ]; then
    (cd "$src" && git ls-files -z | xargs -0 cp --parents -t "$work/src") || exit 1
else
    tar -C "$src" --exclude=./build --exclude=./run --exclude=./dist --exclude=./.git -cf - . |
        tar -C "$work/src" -xf - || exit 1
fi
cmake -S "$work/src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/$toolchain" \
      -DCMAKE_BUILD_TYPE="$build_type" >"$work/log" 2>&1 &&
    cmake --build "$work/build" --target Velmaris >>"$work/log" 2>&1 ||
    { cat "$work/log"; echo "FAIL: the second build failed"; exit 1; }

fail=0
first=$(sha256sum <"$exe" | cut -d' ' -f1)
second=$(sha256sum <"$work/build/Velmaris.exe" | cut -d' ' -f1)
echo "$first  $exe"
echo "$second  $work/build/Velmaris.exe"
[ "$first" = "$second" ] || { echo "FAIL: the two builds differ"; fail=1; }
for path in "$src" "$work" "$(dirname "$exe")"; do
    for file in "$exe" "$work/build/Velmaris.exe"; do
        if strings -a "$file" | grep -qF "$path"; then
            echo "FAIL: $file holds the build path $path"; fail=1
        fi
    done
done
[ "$fail" = 0 ] && echo "ok: the same bytes from $src and $work/src"
exit $fail
