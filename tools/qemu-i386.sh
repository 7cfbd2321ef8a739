#!/usr/bin/env bash
# qemu-i386.sh DIRECTORY
#
# Prints the path of a static user-mode qemu-i386 kept in DIRECTORY, and
# first fetches it there if it is missing. tools/wine-run.sh runs the 32-bit
# Wine loader (and every Windows process it starts) through it on hosts
# whose kernel cannot execute i386 code.
#
# The emulator comes from Debian trixie's qemu-user package (QEMU 10;
# bookworm's 7.2 does not get Wine through). The .deb is downloaded by apt
# from the Debian archive this machine is already configured for, checked
# against the archive's signed index with the Debian archive keyring, and
# only usr/bin/qemu-i386 is taken out of it. apt works on a private state
# folder: nothing is installed and the system's package lists are not
# touched.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: qemu-i386.sh DIRECTORY" >&2
  exit 2
fi
directory=$1
emulator=$directory/qemu-i386
mkdir -p "$directory"

fetch() {
  [ -x "$emulator" ] && return 0
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  if [ ! -f "$keyring" ]; then
    echo "qemu-i386.sh: $keyring is missing (package debian-archive-keyring)" >&2
    return 1
  fi
  # The Debian mirror apt already uses (deb.debian.org by default).
  local mirror
  mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Label: Debian' 2>/dev/null |
    grep -v -e security -e '^$' | head -n 1 || true)
  mirror=${mirror:-http://deb.debian.org/debian/}

  local work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  mkdir -p "$work/lists/partial" "$work/archives/partial" "$work/parts" "$work/preferences.d"
  touch "$work/status"
  echo "deb [signed-by=$keyring] $mirror trixie main" >"$work/sources.list"
  local apt_options=(
    -o "Dir::State=$work" -o "Dir::State::Lists=$work/lists" -o "Dir::State::status=$work/status"
    -o "Dir::Cache=$work" -o "Dir::Cache::archives=$work/archives"
    -o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/parts"
    -o "Dir::Etc::Preferences=$work/preferences" -o "Dir::Etc::PreferencesParts=$work/preferences.d"
    -o "APT::Architecture=amd64" -o "APT::Architectures::=amd64" -o "APT::Sandbox::User=root"
  )
  echo "qemu-i386.sh: fetching qemu-user from Debian trixie ($mirror) into $directory (once)" >&2
  if ! apt-get "${apt_options[@]}" -qq update >"$work/log" 2>&1 ||
    ! (cd "$work" && apt-get "${apt_options[@]}" -qq download qemu-user >>"$work/log" 2>&1); then
    cat "$work/log" >&2
    echo "qemu-i386.sh: could not download qemu-user from Debian trixie" >&2
    return 1
  fi
  local deb
  deb=$(ls "$work"/qemu-user_*.deb)
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work" ./usr/bin/qemu-i386
  if ! "$work/usr/bin/qemu-i386" --version >/dev/null; then
    echo "qemu-i386.sh: the downloaded qemu-i386 does not run" >&2
    return 1
  fi
  basename "$deb" >"$directory/qemu-i386.source"
  mv "$work/usr/bin/qemu-i386" "$emulator"
}

# One fetch at a time; parallel callers wait for it.
(
  flock 9
  fetch
) 9>"$directory/qemu-i386.lock"
echo "$emulator"
