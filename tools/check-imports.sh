#!/usr/bin/env bash
# check-imports.sh BUILD_DIR
#
# Checks the four Windows programs built in BUILD_DIR (the "windows" preset):
# each must import Windows' own DLLs alone (KERNEL32, USER32, COMCTL32 and
# msvcrt), so that the .exe runs as a single file, and must stay lean: no
# larger than 256 KiB (each program's own code is about 40 KiB, and GMP,
# linked statically, adds some 80 to 125 KiB; the C++ runtime's exception
# machinery coming back would add more than 40 KiB, iostreams several hundred).
# Exits 77 (skipped) when nothing has been built there or objdump is missing.
set -uo pipefail

build_dir=${1:?usage: check-imports.sh BUILD_DIR}
objdump=i686-w64-mingw32-objdump
max_bytes=$((256 * 1024))
allowed=" kernel32.dll user32.dll comctl32.dll msvcrt.dll "

if ! command -v "$objdump" >/dev/null; then
  echo "check-imports: $objdump not installed; skipped"
  exit 77
fi

checked=0
failed=0
for program in rank/Quorvit inverse/Lumbrane basicops/Tessovar determinant/Zelcombe; do
  exe="$build_dir/$program.exe"
  if [ ! -f "$exe" ]; then
    echo "check-imports: $exe not built; not checked"
    continue
  fi
  checked=$((checked + 1))
  headers=$("$objdump" -p "$exe") || { echo "FAIL $exe: objdump cannot read it"; failed=1; continue; }
  dlls=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for dll in $dlls; do
    case "$allowed" in
      *" $dll "*) ;;
      *) echo "FAIL $exe imports $dll"; failed=1 ;;
    esac
  done
  for dll in kernel32.dll user32.dll comctl32.dll; do
    if ! printf '%s\n' "$dlls" | grep -qx "$dll"; then
      echo "FAIL $exe does not import $dll"
      failed=1
    fi
  done
  size=$(stat -c %s "$exe")
  if [ "$size" -gt "$max_bytes" ]; then
    echo "FAIL $exe is $size bytes, more than $max_bytes"
    failed=1
  fi
  echo "$exe: $size bytes, imports $(echo $dlls)"
done

if [ "$checked" -eq 0 ]; then
  echo "check-imports: no program built in $build_dir; skipped"
  exit 77
fi
exit "$failed"
