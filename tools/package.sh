#!/usr/bin/env bash
# package.sh [BUILD_DIR] [DIST_DIR]
#
# Builds the release a user downloads from the four programs in BUILD_DIR
# (the "windows" preset's, build/windows by default), into DIST_DIR
# (build/dist by default):
#
#   FractionCalculators-<version>-win32.zip      the programs and their papers
#   FractionCalculators-<version>-win32.zip.sha256
#   FractionCalculators-<version>-src.tar.gz     the source of the commit
#
# The zip holds, in this order: Quorvit.exe, Lumbrane.exe, Tessovar.exe,
# Zelcombe.exe, 使用说明.txt (the user's guide, UTF-8 with a byte-order mark
# and CR LF), LICENSE.txt, GMP's COPYING.LESSERv3 and COPYINGv3 (from the GMP
# the programs were linked with), NOTICE.txt and SHA256SUMS.txt.
#
# The bytes depend on the sources alone: the entries have a fixed order,
# permissions and time, the time being SOURCE_DATE_EPOCH (by default the
# commit's time), so two builds of one commit give the same files.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build/windows}
dist_dir=${2:-$root/build/dist}
version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name=FractionCalculators-$version
gmp=${CALC_GMP_MINGW_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/fraction-calculators/gmp-i686-w64-mingw32}

fail() {
  echo "package: $*" >&2
  exit 1
}

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
    fail "not a git checkout: set SOURCE_DATE_EPOCH"
fi
export SOURCE_DATE_EPOCH

programs=(rank/Quorvit inverse/Lumbrane basicops/Tessovar determinant/Zelcombe)
for p in "${programs[@]}"; do
  [ -f "$build_dir/$p.exe" ] || fail "$build_dir/$p.exe is not built (cmake --build --preset windows)"
done
for f in COPYING.LESSERv3 COPYINGv3; do
  [ -f "$gmp/share/doc/gmp/$f" ] || fail "$gmp/share/doc/gmp/$f missing (tools/build-gmp-mingw.sh installs it)"
done

# GMP's version, from the header the programs were compiled with, and the
# Debian source package it was built from.
gmp_version=$(awk '/^#define __GNU_MP_VERSION(_MINOR|_PATCHLEVEL)? / {v = v (v ? "." : "") $3} END {print v}' \
  "$gmp/include/gmp.h")
gmp_debian=$(awk '{print $2}' "$gmp/gmp-build.stamp")
[ -n "$gmp_version" ] && [ -n "$gmp_debian" ] || fail "cannot tell the GMP version in $gmp"

stage=$(mktemp -d "${TMPDIR:-/tmp}/package.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# Text for Windows' Notepad: CR LF line ends, UTF-8 with a byte-order mark.
windows_text() {
  printf '\357\273\277'
  sed 's/\r$//; s/$/\r/'
}

for p in "${programs[@]}"; do cp "$build_dir/$p.exe" "$stage/"; done
sed "s/@VERSION@/$version/g" "$root/release/使用说明.txt" | windows_text >"$stage/使用说明.txt"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
cp "$gmp/share/doc/gmp/COPYING.LESSERv3" "$gmp/share/doc/gmp/COPYINGv3" "$stage/"
sed "s/@VERSION@/$version/g; s/@GMP_VERSION@/$gmp_version/g; s/@GMP_DEBIAN_VERSION@/$gmp_debian/g" \
  "$root/release/NOTICE.txt" | windows_text >"$stage/NOTICE.txt"
entries=(Quorvit.exe Lumbrane.exe Tessovar.exe Zelcombe.exe 使用说明.txt LICENSE.txt
  COPYING.LESSERv3 COPYINGv3 NOTICE.txt)
(cd "$stage" && sha256sum "${entries[@]}" | sed 's/$/\r/') >"$stage/SHA256SUMS.txt"
entries+=(SHA256SUMS.txt)

mkdir -p "$dist_dir"
zip="$dist_dir/$name-win32.zip"
python3 - "$stage" "$zip" "${entries[@]}" <<'PYTHON'
import os, sys, time, zipfile
stage, out, names = sys.argv[1], sys.argv[2], sys.argv[3:]
when = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]  # zip times start in 1980
with zipfile.ZipFile(out + ".part", "w") as z:
    for name in names:
        info = zipfile.ZipInfo(name, date_time=when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0  # MS-DOS attributes: an ordinary file
        info.external_attr = 0x20
        with open(os.path.join(stage, name), "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
os.replace(out + ".part", out)
PYTHON
(cd "$dist_dir" && sha256sum "$name-win32.zip" >"$name-win32.zip.sha256")

# The source of the commit, for those who rebuild or relink (git archive
# takes the commit's time for every entry; gzip -n leaves out its own).
if git -C "$root" rev-parse --verify -q HEAD >/dev/null; then
  git -C "$root" archive --format=tar --prefix="$name/" HEAD | gzip -9n >"$dist_dir/$name-src.tar.gz"
fi
echo "package: $zip ($(stat -c %s "$zip") bytes)"
cat "$dist_dir/$name-win32.zip.sha256"
