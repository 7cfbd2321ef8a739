#!/usr/bin/env bash
# build-gmp-mingw.sh
#
# Builds GMP once as a static library for 32-bit Windows with Debian's
# MinGW-w64 (i686-w64-mingw32) and installs libgmp.a and gmp.h into a cache
# folder outside the source tree, where cmake/Gmp.cmake finds them:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/fraction-calculators/gmp-i686-w64-mingw32
# or $CALC_GMP_MINGW_PREFIX when set. A later run that finds the same GMP
# version built there does nothing.
#
# The source is Debian's own gmp source package, at the version of the
# installed libgmp10, so the Windows programs and the native build compute
# with the same GMP. Fetching it needs a deb-src entry; when apt has none,
# one is added (/etc/apt/sources.list.d/fraction-calculators-src.sources) for
# the Debian archive already configured. Needs m4 and dpkg-dev (installed by
# tools/install-deps.sh) and root the first time, for apt.
#
# GMP is configured for the generic i686 (Pentium Pro and later, the CPU the
# compiler targets for the programs too) with its x86 assembly, which is
# smaller than its C fallback as well as faster, and compiled with -Os
# and one section per function, like the programs, so that the linker keeps
# only what a program calls. Its few messages (fprintf to stderr on a failed
# allocation) go through msvcrt's own printf rather than MinGW's, which would
# add some 22 KiB to every program.
set -euo pipefail

host=i686-w64-mingw32
prefix=${CALC_GMP_MINGW_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/fraction-calculators/gmp-$host}
case "$prefix" in
  /*) ;;
  *) prefix=$PWD/$prefix ;;
esac
prefix=${prefix%/}
cflags="-Os -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables"
cppflags="-D__USE_MINGW_ANSI_STDIO=0"

fail() {
  echo "build-gmp-mingw: $*" >&2
  exit 1
}

version=$(dpkg-query -W -f='${source:Version}' "libgmp10:$(dpkg --print-architecture)" 2>/dev/null) ||
  fail "libgmp10 is not installed, so the GMP version to build is unknown; run tools/install-deps.sh"
stamp_text="gmp $version $host $cppflags $cflags"
stamp="$prefix/gmp-build.stamp"
built() {
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ] &&
    [ -f "$prefix/lib/libgmp.a" ] && [ -f "$prefix/include/gmp.h" ]
}
built && exit 0

# The folder is replaced as a whole, so it must be one this script made.
if [ -e "$prefix" ] && [ ! -f "$stamp" ] && [ -n "$(ls -A "$prefix" 2>/dev/null)" ]; then
  fail "$prefix holds files this script did not install; set CALC_GMP_MINGW_PREFIX to an empty or new folder"
fi
# One build at a time (two set-ups started together wait for each other).
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
built && exit 0

for tool in "$host-gcc" m4 dpkg-source apt-get make; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing; run tools/install-deps.sh as root first"
done

failure_log="$(dirname "$prefix")/build-gmp-$host.log"
rm -f "$failure_log"
work=$(mktemp -d "${TMPDIR:-/tmp}/build-gmp-mingw.XXXXXX")
log="$work/build.log"
trap 'rm -rf "$work"' EXIT

# Runs one step with its output in the log; on failure shows the end of the
# log and keeps it.
step() {
  local what=$1
  shift
  echo "== $what: $*" >>"$log"
  if ! "$@" >>"$log" 2>&1; then
    echo "build-gmp-mingw: $what failed; the end of its output:" >&2
    tail -n 40 "$log" >&2
    cp "$log" "$failure_log" &&
      echo "build-gmp-mingw: full log in $failure_log" >&2
    exit 1
  fi
}

echo "build-gmp-mingw: building GMP $version for $host into $prefix (a few minutes)"

# Debian's source package, through apt: needs a deb-src entry for the archive.
if ! apt-cache showsrc gmp 2>/dev/null | grep -q '^Package: gmp$'; then
  [ "$(id -u)" -eq 0 ] || fail "apt has no deb-src entry for gmp; run this script as root once"
  sources=/etc/apt/sources.list.d/fraction-calculators-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources"
  elif [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list >"${sources%.sources}.list"
  else
    fail "no Debian archive found in /etc/apt to take the gmp source package from"
  fi
  step "apt-get update" apt-get update -qq
fi
mkdir "$work/src"
# apt's download user cannot write into the private temporary folder.
step "apt-get source gmp=$version" \
  sh -c 'cd "$1" && apt-get -qq -o APT::Sandbox::User=root source "gmp=$2"' sh "$work/src" "$version"
src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'gmp-*' | head -n 1)
[ -n "$src" ] || fail "apt-get source gmp=$version unpacked no gmp-* folder"

# Debian's tarball has no doc/ (the manual's licence does not meet Debian's
# guidelines), and its patch drops doc from Makefile.am and configure.ac but
# not from the generated files, which are used as they are (no autotools
# needed): an empty doc/Makefile.in satisfies configure, and doc leaves
# SUBDIRS.
if [ ! -d "$src/doc" ]; then
  mkdir "$src/doc"
  : >"$src/doc/Makefile.in"
  sed -i 's/^\(SUBDIRS = .*\) doc$/\1/' "$src/Makefile.in"
  if grep -q '^SUBDIRS = .* doc' "$src/Makefile.in"; then
    fail "cannot remove doc from SUBDIRS in GMP's Makefile.in"
  fi
fi

mkdir "$work/build"
cd "$work/build"
step configure "$src/configure" --host="$host" --prefix="$prefix" \
  --enable-static --disable-shared CPPFLAGS="$cppflags" CFLAGS="$cflags"
step build make -j2
step install make install DESTDIR="$work/stage"

# Replace the cache folder only once everything has built; the stamp last.
rm -rf "$prefix"
mkdir -p "$prefix/share/doc/gmp"
cp -a "$work/stage$prefix/." "$prefix/"
cp "$src"/COPYING* "$src/README" "$prefix/share/doc/gmp/"
echo "$stamp_text" >"$stamp"
