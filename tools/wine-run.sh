#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe [ARGS...]
#
# Runs a Windows program under Wine and passes its exit code through.
# - The loader follows the program's PE header: PE32 runs with the 32-bit
#   loader, PE32+ with the 64-bit one. (The `wine` wrapper would pick the
#   32-bit loader whenever it is installed, even where the kernel cannot
#   execute it.)
# - One Wine prefix per architecture, made once and reused, without the
#   Mono/Gecko prompts. CALC_WINEPREFIX_ROOT moves them (default: the user's
#   cache directory).
# - Locale zh_CN.UTF-8, so the ANSI code page is 936.
# - No Wine debug output.
# - Without a usable X display, a private Xvfb is started for the run and
#   stopped afterwards.
# - The run is bounded: CALC_WINE_TIMEOUT seconds (default 600; 0 for no
#   bound), then the program is killed and the exit code is 124.
# - CALC_WINE_DESKTOP=NAME,WxH runs the program in a Wine virtual desktop of
#   that size, which draws window frames even where no window manager runs
#   (as for a screenshot under Xvfb). The exit code is then the desktop's.
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

# The PE optional header's magic: 0x10b for PE32, 0x20b for PE32+.
pe_offset=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
signature=$(od -An -c -j"$pe_offset" -N4 "$program" | tr -d ' ')
magic=$(od -An -tx2 -j$((pe_offset + 24)) -N2 "$program" | tr -d ' ')
if [ "$signature" != 'PE\0\0' ]; then
  echo "wine-run.sh: $program is not a PE file" >&2
  exit 2
fi
case "$magic" in
  010b)
    arch=win32
    loader=/usr/lib/wine/wine
    if ! "$loader" --version >/dev/null 2>&1; then
      echo "wine-run.sh: $program is a 32-bit program, but this host cannot execute" \
        "the 32-bit Wine loader ($loader); on such hosts test the 64-bit twins" \
        "(preset windows-x64) instead" >&2
      exit 3
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

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
unset WINELOADER WINESERVER

xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
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
prefix_root=${CALC_WINEPREFIX_ROOT:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/fraction-calculators}
export WINEPREFIX="$prefix_root/wine-$variant"
export WINEARCH=$arch

# Make the prefix once. Parallel runs wait for whoever makes it.
mkdir -p "$prefix_root"
(
  flock 9
  ready="$WINEPREFIX/.calc-ready-2"
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
      timeout 120 "$loader" reg.exe add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1 || true
    }
    # Wine's own stand-in for 宋体, Arial and the message box font is a bitmap
    # CJK font that draws some ASCII glyphs, the minus sign among them, as
    # blanks; an outline font shows every character.
    for face in 宋体 SimSun Arial Tahoma "MS Shell Dlg" "MS Shell Dlg 2"; do
      reg_add 'HKCU\Software\Wine\Fonts\Replacements' "$face" "WenQuanYi Micro Hei"
    done
    if [ "$variant" != "$arch" ]; then
      reg_add 'HKCU\Software\Wine\X11 Driver' Managed N
    fi
    timeout 120 /usr/lib/wine/wineserver -w 2>/dev/null || true
    touch "$ready"
  fi
) 9>"$prefix_root/wine-$variant.lock"

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
