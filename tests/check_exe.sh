#!/bin/sh
# Checks a built Velmaris.exe: the PE format for its processor, a GUI program,
# and imports from system DLLs only. Prints its size and imports.
# Usage: check_exe.sh EXE OBJDUMP PROCESSOR
exe=$1 objdump=$2 processor=$3
fail=0
case $processor in
    x86_64) want="PE32+ executable (GUI) x86-64" ;;
    *)      want="PE32 executable (GUI) Intel 80386" ;;
esac
kind=$(file -b "$exe")
case $kind in
    "$want"*) echo "ok: $want" ;;
    *) echo "FAIL: $exe is '$kind', expected '$want'"; fail=1 ;;
esac
echo "size: $(stat -c %s "$exe") bytes"
allowed="kernel32.dll user32.dll gdi32.dll shell32.dll comdlg32.dll winmm.dll msvcrt.dll"
for dll in $("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case " $allowed " in
        *" $dll "*) echo "import: $dll" ;;
        *) echo "FAIL: imports $dll, which is not a system DLL"; fail=1 ;;
    esac
done
exit $fail
