#!/bin/sh
# Checks that scorlane.dll imports exactly lua51.dll, KERNEL32.dll and msvcrt.dll.
imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -f | tr '\n' ' ')
if [ "$imports" != "KERNEL32.dll lua51.dll msvcrt.dll " ]; then
  echo "FAIL: imports are: $imports"
  exit 1
fi
echo "1 passed, 0 failed"
