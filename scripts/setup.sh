#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine; skips what is there.
# Usage: scripts/setup.sh [native|win32|release|all]   (default: all)
# all also installs the workflow linter the tests run (tools/lint, pinned and
# locked) into build/tools/lint, with npm (and Node.js) from Debian when missing.
set -euo pipefail
what=${1:-all}

native_pkgs=(cmake g++ make python3 libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev)
win32_pkgs=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
            wine wine32:i386 wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 xvfb xdotool trayer x11-utils imagemagick locales
            fonts-wqy-microhei procps libxml2-utils file)

# A release build needs only the 32-bit cross compiler, not Wine and its i386 packages.
release_pkgs=(cmake make python3 git file g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
              binutils-mingw-w64-i686)

case "$what" in
  native) want=("${native_pkgs[@]}") ;;
  release) want=("${release_pkgs[@]}") ;;
  win32)  want=("${win32_pkgs[@]}") ;;
  *)      want=("${native_pkgs[@]}" "${win32_pkgs[@]}") ;;
esac

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${want[@]}"; do installed "$p" || missing+=("$p"); done

if [ "${#missing[@]}" -gt 0 ]; then
  need_i386=0
  for p in "${missing[@]}"; do case "$p" in *:i386) need_i386=1 ;; esac; done
  if [ "$need_i386" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture for wine32"
    sudo_ dpkg --add-architecture i386
  fi
  echo "setup: installing ${missing[*]}"
  sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Chinese captions need a zh_CN.UTF-8 locale for code page 936 under Wine.
if [ "$what" != native ] && [ "$what" != release ] && ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | sudo_ tee -a /etc/locale.gen >/dev/null
  fi
  sudo_ locale-gen >/dev/null
fi
if [ "$what" = all ]; then
  root=$(cd "$(dirname "$0")/.." && pwd)
  lint=$root/build/tools/lint
  if ! cmp -s "$root/tools/lint/package-lock.json" "$lint/package-lock.json" ||
     [ ! -x "$lint/node_modules/.bin/action-validator" ]; then
    if ! command -v npm >/dev/null; then
      echo "setup: installing npm"
      sudo_ apt-get update -qq
      DEBIAN_FRONTEND=noninteractive sudo_ apt-get install -y -qq --no-install-recommends nodejs npm
    fi
    echo "setup: installing the workflow linter into build/tools/lint"
    mkdir -p "$lint"
    cp "$root/tools/lint/package.json" "$root/tools/lint/package-lock.json" "$root/tools/lint/.npmrc" "$lint/"
    (cd "$lint" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
  fi
fi
exit 0
