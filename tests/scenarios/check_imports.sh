#!/usr/bin/env bash
# Checks what the shipped programs import: Windows system DLLs only (no C++ runtime, libgcc or winpthread
# DLL may travel with them), and for the i686 ones nothing newer than Windows 2000: every function they
# import by name must be on the list of functions that Windows 2000 has, and so must every function that
# the programs bind at run time instead (common/system_imports.cpp). The programs (.exe) import at load time
# only libraries that Windows maps from its own folder before it looks anywhere else (its known libraries):
# any other is looked for beside the program before its first line of code runs.
# Usage: check_imports.sh WINDOWS2000_LIST SYSTEM_IMPORTS_CPP SHIP_TREE...
set -uo pipefail
list=$1
system_imports=$2
shift 2
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll setupapi.dll newdev.dll
 msvcrt.dll comctl32.dll ole32.dll version.dll ntdll.dll "
# Known libraries of Windows 2000 to 11 (msvcrt.dll from Vista on), and ntdll.dll, which is mapped into
# every process before the program.
loadtime_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll ntdll.dll "

failures=0
checked=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# "dll function" per imported function ("dll #ordinal" for one imported by ordinal).
imports_of() {
    x86_64-w64-mingw32-objdump -p "$1" | awk '
        /^[ \t]*DLL Name: / { dll = tolower($3); next }
        /^[ \t]*$/ { if (dll != "" && seen) dll = ""; seen = 0; next }
        dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll, $3; seen = 1; next }
        dll != "" && /^\t[0-9a-f]+\t +<none> +[0-9a-f]+/ { print dll, "#" $3; seen = 1; next }'
}

# The functions bound at run time, as "dll function": SUITE_SYSTEM_IMPORT(kShell32, ShellExecuteA, 24).
bound=$(sed -n 's/^SUITE_SYSTEM_IMPORT(k\([A-Za-z0-9]*\), \([A-Za-z0-9_]*\), [0-9]*)$/\1.dll \2/p' "$system_imports" |
    tr '[:upper:]' '[:lower:]')
[ -n "$bound" ] || fail "$system_imports binds no functions (has its form changed?)"
while read -r dll function; do
    grep -qixF "$dll $function" "$list" || fail "$system_imports binds $dll $function, which is not known to exist on Windows 2000"
done <<<"$bound"

for tree in "$@"; do
    programs=$(find "$tree" \( -name CMakeFiles -o -name fast \) -prune -o \( -iname '*.exe' -o -iname '*.dll' \) \
        -type f -print | sort)
    [ -n "$programs" ] || fail "no shipped programs in $tree"
    for program in $programs; do
        checked=$((checked + 1))
        machine=$(x86_64-w64-mingw32-objdump -f "$program" | sed -n 's/.*file format //p')
        imports=$(imports_of "$program")
        [ -n "$imports" ] || fail "$program: no imports found (is it a Windows program?)"
        for dll in $(echo "$imports" | awk '{print $1}' | sort -u); do
            case "$system_dlls" in
            *" $dll "*) ;;
            *) fail "$program imports $dll, which is not a Windows system DLL" ;;
            esac
            case "$program:$loadtime_dlls" in
            *.exe:*" $dll "*) ;;
            *.exe:*) fail "$program imports $dll at load time, which Windows may look for beside the program" ;;
            esac
        done
        if [ "$machine" = pei-i386 ]; then
            while read -r dll function; do
                grep -qixF "$dll $function" "$list" ||
                    fail "$program imports $dll $function, which is not known to exist on Windows 2000"
            done <<<"$imports"
        fi
    done
done
echo "checked the imports of $checked programs: $failures problems"
[ "$failures" = 0 ]
