#!/usr/bin/env bash
# Builds the 32-bit Velmaris.exe from the committed sources in a fresh tree and
# writes dist/Velmaris-<version>-win32.zip: Velmaris.exe, SHA256SUMS and
# README.txt. The version is the file version in resources/version.h. The
# build and the zip are reproducible: the same commit gives the same bytes.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

version=$(sed -n 's/^#define VELMARIS_VERSION_\(MAJOR\|MINOR\|PATCH\|BUILD\) \([0-9]\+\)$/\2/p' \
          resources/version.h | paste -sd.)
case $version in
    *.*.*.*) ;;
    *) echo "release: no four-part version in resources/version.h (got '$version')" >&2; exit 1 ;;
esac
commit=$(git rev-parse --verify HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release: the tree has uncommitted changes; building $commit as committed" >&2
fi

bash scripts/setup.sh release

work=$(mktemp -d "${TMPDIR:-/tmp}/velmaris-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
git archive --format=tar "$commit" | tar -x -C "$work" --one-top-level=src
cmake -S "$work/src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$work/build" --target Velmaris >/dev/null
bash "$work/src/tests/check_exe.sh" "$work/build/Velmaris.exe" i686-w64-mingw32-objdump i686 >/dev/null ||
    { echo "release: Velmaris.exe fails its checks" >&2; exit 1; }

sum=$(sha256sum "$work/build/Velmaris.exe" | cut -d' ' -f1)
zip=dist/Velmaris-$version-win32.zip
mkdir -p dist
# Files in a fixed order with the commit's time and fixed modes; the readme
# with Windows line ends.
python3 - "$zip" "$work/build/Velmaris.exe" "$sum" "$work/src/docs/windows-readme.txt" \
          "$(git log -1 --format=%ct "$commit")" <<'PY'
import sys, time, zipfile
out, exe, digest, readme, stamp = sys.argv[1:]
when = time.gmtime(max(int(stamp), 315532800))[:6]  # zip times start in 1980
files = [
    ("Velmaris.exe", open(exe, "rb").read()),
    ("SHA256SUMS", ("%s  Velmaris.exe\n" % digest).encode()),
    ("README.txt", open(readme, "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")),
]
with zipfile.ZipFile(out + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
    for name, data in files:
        info = zipfile.ZipInfo(name, when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0
        info.external_attr = 0x20  # archive bit, as Windows writes it
        z.writestr(info, data)
PY
mv "$zip.tmp" "$zip"
echo "release: $zip ($(stat -c %s "$zip") bytes) from $commit"
echo "SHA-256 of Velmaris.exe: $sum"
echo "SHA-256 of the zip:      $(sha256sum "$zip" | cut -d' ' -f1)"
