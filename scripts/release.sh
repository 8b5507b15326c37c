#!/usr/bin/env bash
# Builds the 32-bit Velmaris.exe from the committed sources in a fresh tree and
# writes dist/Velmaris-<version>-win32.zip: Velmaris.exe, SHA256SUMS, README.txt
# (docs/windows-readme.txt with the version filled in) and LICENSE. The version
# is the one in resources/version.h. The build and the zip are reproducible:
# the same commit gives the same bytes. Prints the SHA-256 of Velmaris.exe,
# the value to publish beside the download, which README.txt tells users to
# check against.
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
if ! checks=$(sh "$work/src/tests/check_exe.sh" "$work/build/Velmaris.exe" i686 \
                "$work/src/resources/version.h"); then
    printf '%s\n' "$checks" >&2
    echo "release: Velmaris.exe fails its checks" >&2
    exit 1
fi

sum=$(sha256sum "$work/build/Velmaris.exe" | cut -d' ' -f1)
zip=dist/Velmaris-$version-win32.zip
mkdir -p dist
# Files in a fixed order with the commit's time and fixed modes; the texts
# with Windows line ends.
python3 - "$zip" "$work/build/Velmaris.exe" "$sum" "$work/src/docs/windows-readme.txt" \
          "$work/src/LICENSE" "$version" "$(git log -1 --format=%ct "$commit")" <<'PY'
import sys, time, zipfile
out, exe, digest, readme, licence, version, stamp = sys.argv[1:]
when = time.gmtime(max(int(stamp), 315532800))[:6]  # zip times start in 1980

def text(path):
    return open(path, "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")

readme_text = text(readme)
if b"@VERSION@" not in readme_text:
    sys.exit("release: docs/windows-readme.txt has no @VERSION@ to fill in")
files = [
    ("Velmaris.exe", open(exe, "rb").read()),
    ("SHA256SUMS", ("%s  Velmaris.exe\n" % digest).encode()),
    ("README.txt", readme_text.replace(b"@VERSION@", version.encode())),
    ("LICENSE", text(licence)),
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
echo "Publish beside the download, for README.txt's check:"
echo "  SHA-256 of Velmaris.exe: $sum"
echo "  SHA-256 of the zip:      $(sha256sum "$zip" | cut -d' ' -f1)"
