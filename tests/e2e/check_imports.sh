#!/bin/sh
# Usage: check_imports.sh OBJDUMP PROGRAM.exe
# Fails unless the program is a GUI program that imports nothing but Windows' own DLLs.
dump=$("$1" -p "$2") || exit 1
echo "$dump" | grep -q 'Subsystem.*(Windows GUI)' || { echo "$2 is not a GUI program"; exit 1; }
foreign=$(echo "$dump" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' |
  grep -vxE '(advapi32|comctl32|gdi32|kernel32|msvcrt|ole32|shell32|user32|ucrtbase|uxtheme|api-ms-win-.*)\.dll')
[ -z "$foreign" ] || { echo "$2 imports DLLs Windows does not have:" $foreign; exit 1; }
