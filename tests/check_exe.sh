#!/bin/sh
# Checks a built Velmaris.exe: the PE format for its processor, a GUI program,
# imports from system DLLs only, ASLR, DEP and terminal-server awareness, the
# 25 KiB (25,600 bytes) of the 32-bit deliverable, and one version: the
# version block's file and product versions, numbers and strings, all those of
# VERSION_H.
# Usage: check_exe.sh EXE PROCESSOR VERSION_H
exe=$1 processor=$2 version_h=$3
objdump=$processor-w64-mingw32-objdump windres=$processor-w64-mingw32-windres
fail=0
bad() { echo "FAIL: $*"; fail=1; }

case $processor in
    x86_64) want="PE32+ executable (GUI) x86-64" ;;
    *)      want="PE32 executable (GUI) Intel 80386" ;;
esac
kind=$(file -b "$exe")
case $kind in
    "$want"*) echo "ok: $want" ;;
    *) bad "$exe is '$kind', expected '$want'" ;;
esac

size=$(stat -c %s "$exe")
if [ "$processor" = i686 ]; then
    limit=25600
    if [ "$size" -le "$limit" ]; then
        echo "ok: size $size bytes, $((limit - size)) under $limit"
    else
        bad "size $size bytes, $((size - limit)) over $limit"
    fi
else
    echo "size: $size bytes"
fi

allowed="kernel32.dll user32.dll gdi32.dll shell32.dll comdlg32.dll winmm.dll msvcrt.dll"
for dll in $("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case " $allowed " in
        *" $dll "*) echo "import: $dll" ;;
        *) bad "imports $dll, which is not a system DLL" ;;
    esac
done

# DYNAMIC_BASE (ASLR), NX_COMPAT (DEP), TERMINAL_SERVER_AWARE; a 64-bit
# program also HIGH_ENTROPY_VA.
flags=$("$objdump" -p "$exe" | sed -n 's/^DllCharacteristics[[:space:]]*//p')
want_flags=$((0x0040 | 0x0100 | 0x8000))
[ "$processor" = x86_64 ] && want_flags=$((want_flags | 0x0020))
if [ -n "$flags" ] && [ $((0x$flags & want_flags)) -eq "$want_flags" ]; then
    echo "ok: DllCharacteristics 0x$flags"
else
    bad "DllCharacteristics 0x${flags:-?}, needs 0x$(printf %04x "$want_flags")"
fi

version=$(sed -n 's/^#define VELMARIS_VERSION_\(MAJOR\|MINOR\|PATCH\|BUILD\) \([0-9]\+\)$/\2/p' \
          "$version_h" | paste -sd.)
rc=$("$windres" -J coff -O rc -i "$exe" 2>/dev/null)
same=1
for field in FILEVERSION PRODUCTVERSION; do
    got=$(printf '%s\n' "$rc" | sed -n "s/^ *$field //p" | tr -d ' ' | tr , .)
    [ "$got" = "$version" ] || { bad "$field ${got:-missing}, version.h says $version"; same=0; }
done
for name in FileVersion ProductVersion; do
    got=$(printf '%s\n' "$rc" | sed -n "s/^ *VALUE \"$name\", \"\(.*\)\"$/\1/p")
    [ "$got" = "$version" ] || { bad "$name string '${got:-missing}', version.h says $version"; same=0; }
done
[ "$same" = 1 ] && echo "ok: file and product version $version, numbers and strings"
exit $fail
