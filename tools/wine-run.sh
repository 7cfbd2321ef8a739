#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe [ARGS...]
#
# Runs a Windows program under Wine and passes its exit code through.
# - The loader follows the program's PE header: PE32 runs with the 32-bit
#   loader, PE32+ with the 64-bit one. (The `wine` wrapper would pick the
#   32-bit loader whenever it is installed, even where the kernel cannot
#   execute it.)
# - A 32-bit program runs natively where the kernel executes i386 code.
#   Where it does not (no IA-32 emulation), every i386 process of the run
#   (the Wine loader, its preloader, each Windows process) runs through a
#   user-mode qemu-i386 (tools/qemu-i386.sh fetches it once), registered for
#   i386 ELF files in a private binfmt_misc of a user namespace: nothing is
#   registered for the rest of the machine, and the namespace's PID 1 is
#   this script, so every emulated process ends with the run. That needs
#   Linux 6.7 or later and user namespaces; where neither way works the run
#   fails with exit code 3 and says why.
# - One Wine prefix per architecture, made once and reused, without the
#   Mono/Gecko prompts. CALC_WINEPREFIX_ROOT moves them (default: the user's
#   cache directory). An emulated run works on a throw-away overlay of the
#   prefix, as its processes are killed rather than shut down.
# - Locale zh_CN.UTF-8 (ANSI code page 936), or CALC_WINE_LOCALE: the
#   programs must look the same under en_US.UTF-8 (code page 1252).
# - No Wine debug output.
# - Without a usable X display, a private Xvfb is started for the run and
#   stopped afterwards.
# - The run is bounded: CALC_WINE_TIMEOUT seconds (default 600; 0 for no
#   bound), then the program is killed and the exit code is 124.
# - CALC_WINE_DESKTOP=NAME,WxH runs the program in a Wine virtual desktop of
#   that size, which draws window frames even where no window manager runs
#   (as for a screenshot under Xvfb). The exit code is then the desktop's.
# - CALC_WINE_ROUTE=native|emulated forces one way for a 32-bit program.
# - CALC_WINE_DPI=144 (or another) runs with a display of that many dots
#   per inch, in a prefix of its own.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh PROGRAM.exe [ARGS...]" >&2
  exit 2
fi
program=$1
shift
if [ ! -f "$program" ]; then
  echo "wine-run.sh: no such file: $program" >&2
  exit 2
fi
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix_root=${CALC_WINEPREFIX_ROOT:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/fraction-calculators}
mkdir -p "$prefix_root"
prefix_root=$(cd "$prefix_root" && pwd)

# The PE optional header's magic: 0x10b for PE32, 0x20b for PE32+.
pe_offset=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
signature=$(od -An -c -j"$pe_offset" -N4 "$program" | tr -d ' ')
magic=$(od -An -tx2 -j$((pe_offset + 24)) -N2 "$program" | tr -d ' ')
if [ "$signature" != 'PE\0\0' ]; then
  echo "wine-run.sh: $program is not a PE file" >&2
  exit 2
fi
route=native
case "$magic" in
  010b)
    arch=win32
    loader=/usr/lib/wine/wine
    if [ -n "${CALC_WINE_QEMU:-}" ]; then
      route=emulated-inside
    elif [ "${CALC_WINE_ROUTE:-}" = emulated ] ||
      { [ "${CALC_WINE_ROUTE:-}" != native ] && ! "$loader" --version >/dev/null 2>&1; }; then
      route=emulated
    fi
    ;;
  020b)
    arch=win64
    loader=/usr/lib/wine/wine64
    ;;
  *)
    echo "wine-run.sh: $program has an unknown PE optional header ($magic)" >&2
    exit 2
    ;;
esac

# ---- 32-bit code on a kernel that cannot execute it ---------------------------
unsupported() {
  echo "wine-run.sh: $program is a 32-bit program, but this host's kernel cannot execute" \
    "i386 code (the 32-bit Wine loader $loader fails), and the user-mode emulation" \
    "cannot be set up either: $*" >&2
  exit 3
}

if [ "$route" = emulated ]; then
  # Outside the namespace: fetch the emulator, then run this script again as
  # PID 1 of a new user, mount and PID namespace. The overlay's upper layer
  # is removed here once every process of the namespace has ended.
  command -v unshare >/dev/null || unsupported "unshare (util-linux) is missing"
  qemu=$(bash "$tools/qemu-i386.sh" "$prefix_root/qemu") ||
    unsupported "qemu-i386 could not be fetched (see above)"
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/wine-run.XXXXXX")
  trap 'rm -rf "$scratch"' EXIT
  status=0
  CALC_WINE_QEMU=$qemu CALC_WINE_SCRATCH=$scratch CALC_WINEPREFIX_ROOT=$prefix_root \
    unshare --user --map-root-user --mount --pid --fork --mount-proc --kill-child \
    bash "${BASH_SOURCE[0]}" "$program" "$@" || status=$?
  exit "$status"
fi

if [ "$route" = emulated-inside ]; then
  # This namespace's own binfmt_misc (Linux 6.7+): i386 ELF executables run
  # through qemu-i386. The F flag opens the emulator now, so it is found
  # from every mount and root the emulated processes see.
  binfmt=$CALC_WINE_SCRATCH/binfmt
  mkdir -p "$binfmt"
  mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
    unsupported "binfmt_misc cannot be mounted in a user namespace (Linux 6.7 or later is needed; this is $(uname -r))"
  magic_i386='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask_i386='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf '%s' ":i386:M::$magic_i386:$mask_i386:$CALC_WINE_QEMU:F" >"$binfmt/register" ||
    unsupported "qemu-i386 cannot be registered with binfmt_misc"
  if ! "$loader" --version >/dev/null 2>&1; then
    unsupported "the 32-bit Wine loader does not start under $CALC_WINE_QEMU"
  fi
  # Wine's server keeps its socket in a fresh folder under TMPDIR; this
  # run's goes with the run's scratch folder.
  export TMPDIR=$CALC_WINE_SCRATCH/tmp
  mkdir -p "$TMPDIR"
fi

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${CALC_WINE_LOCALE:-zh_CN.UTF-8}
export LC_ALL=$LANG
unset WINELOADER WINESERVER CALC_WINE_QEMU

xvfb_pid=
cleanup() {
  # In the namespace, the kernel ends every process with this script.
  if [ -n "$xvfb_pid" ] && [ "$route" = native ]; then
    # Wine's desktop process holds a connection to this display; let the
    # session end before the display goes away.
    timeout 20 /usr/lib/wine/wineserver -w 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  # Xvfb picks a free display number itself and reports it on fd 3.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "wine-run.sh: Xvfb did not start" >&2
    rm -f "$display_file"
    exit 4
  fi
  export DISPLAY=":$(tr -d '\n' <"$display_file")"
  rm -f "$display_file"
fi

# Without a window manager (Xvfb), Wine would wait up to 2 s for one each
# time a top-level window is hidden, such as a closed message box. Such
# displays get a prefix of their own in which Wine manages no windows.
variant=$arch
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  variant=$arch-nowm
fi
if [ -n "${CALC_WINE_DPI:-}" ]; then
  variant=$variant-dpi$CALC_WINE_DPI
fi
export WINEPREFIX="$prefix_root/wine-$variant"
export WINEARCH=$arch

# Make the prefix once. Parallel runs wait for whoever makes it.
(
  flock 9
  ready="$WINEPREFIX/.calc-ready-4"
  if [ ! -f "$ready" ]; then
    echo "wine-run.sh: making the Wine prefix $WINEPREFIX (once; 10-40 s)" >&2
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      timeout 300 "$loader" wineboot.exe --init >/dev/null 2>&1 || true
      # The registry reaches its files when the session ends.
      timeout 120 /usr/lib/wine/wineserver -w 2>/dev/null || true
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine-run.sh: could not make the Wine prefix $WINEPREFIX" >&2
      exit 4
    fi
    reg_add() {
      timeout 120 "$loader" reg.exe add "$1" /v "$2" /d "$3" ${4:+/t "$4"} /f >/dev/null 2>&1 || true
    }
    # Wine's own stand-in for 宋体, Arial and the message box font is a bitmap
    # CJK font that draws some ASCII glyphs, the minus sign among them, as
    # blanks; an outline font shows every character.
    for face in 宋体 SimSun Arial Tahoma "MS Shell Dlg" "MS Shell Dlg 2"; do
      reg_add 'HKCU\Software\Wine\Fonts\Replacements' "$face" "WenQuanYi Micro Hei"
    done
    # The result window's fixed-pitch font.
    for face in 新宋体 NSimSun; do
      reg_add 'HKCU\Software\Wine\Fonts\Replacements' "$face" "WenQuanYi Micro Hei Mono"
    done
    if [ "${variant#"$arch"-nowm}" != "$variant" ]; then
      reg_add 'HKCU\Software\Wine\X11 Driver' Managed N
    fi
    if [ -n "${CALC_WINE_DPI:-}" ]; then
      reg_add 'HKCU\Control Panel\Desktop' LogPixels "$CALC_WINE_DPI" REG_DWORD
      reg_add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        LogPixels "$CALC_WINE_DPI" REG_DWORD
    fi
    timeout 120 /usr/lib/wine/wineserver -w 2>/dev/null || true
    if [ "$route" = emulated-inside ]; then
      # It names this run's server folder, which goes with the run.
      rm -f "$WINEPREFIX/wineserver"
    fi
    touch "$ready"
  fi
) 9>"$prefix_root/wine-$variant.lock"

if [ "$route" = emulated-inside ]; then
  # The processes of this run are killed, not shut down, when it ends: they
  # write to a throw-away layer over the prefix, seen only in this namespace.
  # Wine's services start first, with their output on no pipe a caller
  # reads: they outlive the program, and the caller would wait for them.
  # Under emulation that start takes 5-30 s, but has been seen to hang for
  # good (services.exe and the server waiting on each other): then the try
  # is killed and Wine starts again on a fresh layer.
  for try in 1 2 3; do
    mkdir -p "$CALC_WINE_SCRATCH/upper" "$CALC_WINE_SCRATCH/work"
    mount -t overlay overlay \
      -o "lowerdir=$WINEPREFIX,upperdir=$CALC_WINE_SCRATCH/upper,workdir=$CALC_WINE_SCRATCH/work" \
      "$WINEPREFIX" || unsupported "an overlay of the Wine prefix cannot be mounted"
    # It names the server's folder of an earlier run.
    rm -f "$WINEPREFIX/wineserver"
    boot=0
    timeout "${CALC_WINEBOOT_TIMEOUT:-150}" "$loader" wineboot.exe >/dev/null 2>&1 </dev/null ||
      boot=$?
    [ "$boot" -ne 124 ] && break
    echo "wine-run.sh: Wine did not start within ${CALC_WINEBOOT_TIMEOUT:-150} s" \
      "(try $try of 3)" >&2
    [ "$try" -eq 3 ] && break
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    pkill -KILL -f /usr/lib/wine/ 2>/dev/null || true
    sleep 1
    umount "$WINEPREFIX" 2>/dev/null || umount -l "$WINEPREFIX"
    rm -rf "$CALC_WINE_SCRATCH/upper" "$CALC_WINE_SCRATCH/work" "$TMPDIR"
    mkdir -p "$TMPDIR"
  done
fi

command=("$program")
if [ -n "${CALC_WINE_DESKTOP:-}" ]; then
  # The desktop starts the program by its Windows path (drive Z: is the
  # host's root in every prefix).
  absolute=$(realpath "$program")
  command=(explorer.exe "/desktop=$CALC_WINE_DESKTOP" "Z:${absolute//\//\\}")
fi

status=0
timeout --kill-after=10 "${CALC_WINE_TIMEOUT:-600}" "$loader" "${command[@]}" "$@" || status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "wine-run.sh: $program did not finish within ${CALC_WINE_TIMEOUT:-600} s" >&2
fi
exit "$status"
