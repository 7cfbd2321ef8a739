#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test the
# four programs. Idempotent and quiet when everything is already present.
# Must run as root on Debian bookworm (or derivative).
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev libgmp-dev libflint-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 wine64 xvfb xauth x11-apps x11-utils imagemagick
  locales fonts-wqy-zenhei fonts-wqy-microhei m4 dpkg-dev texlive-latex-base
  python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# GMP for the 32-bit Windows programs, built once from Debian's source package.
bash "$(dirname "${BASH_SOURCE[0]}")/build-gmp-mingw.sh"

# The Windows tests run the programs under two locales: zh_CN.UTF-8 (ANSI
# code page 936) and en_US.UTF-8 (code page 1252); Wine takes the system's
# code page from the locale, so both must exist.
for wanted in zh_CN en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^${wanted}\.utf-\?8\$"; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "install-deps: locale ${wanted}.UTF-8 missing; run this script as root" >&2
      exit 1
    fi
    sed -i "s/^# *\(${wanted}.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^${wanted}.UTF-8 UTF-8" /etc/locale.gen || echo "${wanted}.UTF-8 UTF-8" >>/etc/locale.gen
    generate=1
  fi
done
if [ -n "${generate:-}" ]; then
  locale-gen >/dev/null
fi
