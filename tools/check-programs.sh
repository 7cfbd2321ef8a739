#!/usr/bin/env bash
# check-programs.sh BUILD_DIR
#
# Checks the four Windows programs built in BUILD_DIR (the "windows" preset):
# each must be a 32-bit program (PE32 for i386), must carry its dialog, its
# icon group and a manifest that asks for the common controls 6 (the
# dialogs' look), must import Windows' own DLLs alone (KERNEL32, USER32, COMCTL32 and
# msvcrt), so that the .exe runs as a single file, and must stay lean: no
# larger than 320 KiB (each program's own code is about 50 KiB, and GMP,
# linked statically, adds some 80 to 125 KiB; the C++ runtime's exception
# machinery coming back would add more than 40 KiB, iostreams several hundred).
# Exits 77 (skipped) when nothing has been built there or objdump is missing.
set -uo pipefail

build_dir=${1:?usage: check-programs.sh BUILD_DIR}
objdump=i686-w64-mingw32-objdump
max_bytes=$((320 * 1024))
allowed=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll msvcrt.dll "

if ! command -v "$objdump" >/dev/null; then
  echo "check-programs: $objdump not installed; skipped"
  exit 77
fi

checked=0
failed=0
for program in rank/Quorvit inverse/Lumbrane basicops/Tessovar determinant/Zelcombe; do
  exe="$build_dir/$program.exe"
  if [ ! -f "$exe" ]; then
    echo "check-programs: $exe not built; not checked"
    continue
  fi
  checked=$((checked + 1))
  headers=$("$objdump" -p "$exe") || { echo "FAIL $exe: objdump cannot read it"; failed=1; continue; }
  format=$(printf '%s\n' "$headers" | sed -n 's/.*file format //p' | head -n 1)
  if [ "$format" != pei-i386 ]; then
    echo "FAIL $exe is $format, not a 32-bit program (pei-i386)"
    failed=1
  fi
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
  # Resource types at the top of the resource tree: 5 dialog, e icon group,
  # 18 manifest.
  types=" $(printf '%s\n' "$headers" |
    sed -n 's/^[0-9a-f]*   Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p' | tr '\n' ' ')"
  for type in 5 e 18; do
    case "$types" in
      *" $type "*) ;;
      *) echo "FAIL $exe has no resource of type 0x$type"; failed=1 ;;
    esac
  done
  if ! grep -aq 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$exe"; then
    echo "FAIL $exe: the manifest does not ask for the common controls 6.0.0.0"
    failed=1
  fi
  size=$(stat -c %s "$exe")
  if [ "$size" -gt "$max_bytes" ]; then
    echo "FAIL $exe is $size bytes, more than $max_bytes"
    failed=1
  fi
  echo "$exe: $format, $size bytes, resources of types $(echo $types), imports $(echo $dlls)"
done

if [ "$checked" -eq 0 ]; then
  echo "check-programs: no program built in $build_dir; skipped"
  exit 77
fi
exit "$failed"
