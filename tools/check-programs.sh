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
# The version resource must carry the release's version (CMakeLists.txt's
# project VERSION) in Simplified Chinese and UTF-16, with the program's name,
# and the manifest must list every Windows from Vista to 10/11 as supported.
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

version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt")
supported_os="e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a
  4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78
  8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"

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
  name=$(basename "$exe" .exe)
  facts=$(python3 "$(dirname "$0")/pe-resources.py" "$exe") || { failed=1; facts=; }
  for fact in "fixed $version.0" "table 080404B0" "translation 0804 1200" \
    "version FileVersion=$version.0" "version ProductVersion=$version" \
    "version OriginalFilename=$name.exe" "version InternalName=$name"; do
    if ! printf '%s\n' "$facts" | grep -qxF "$fact"; then
      echo "FAIL $exe: the version resource lacks \"$fact\""
      failed=1
    fi
  done
  for key in FileDescription ProductName LegalCopyright; do
    if ! printf '%s\n' "$facts" | grep -q "^version $key=."; then
      echo "FAIL $exe: the version resource has no $key"
      failed=1
    fi
  done
  for id in $supported_os; do
    if ! printf '%s\n' "$facts" | grep -qxF "supportedOS {$id}"; then
      echo "FAIL $exe: the manifest does not list {$id} as supported"
      failed=1
    fi
  done
  size=$(stat -c %s "$exe")
  if [ "$size" -gt "$max_bytes" ]; then
    echo "FAIL $exe is $size bytes, more than $max_bytes"
    failed=1
  fi
  echo "$exe: $format, $size bytes, version $version, resources of types $(echo $types), imports $(echo $dlls)"
done

if [ "$checked" -eq 0 ]; then
  echo "check-programs: no program built in $build_dir; skipped"
  exit 77
fi
exit "$failed"
