#!/usr/bin/env bash
# run.sh [Quorvit|Lumbrane|Tessovar|Zelcombe]
#
# Builds what is missing and shows the programs under Wine.
# - With a display: opens the named program (Quorvit by default) and returns
#   when its window is closed.
# - Without one: runs each of the four programs on a sample press under a
#   private Xvfb, prints what its result box shows, and saves a screenshot of
#   the dialog with that box to build/screenshots/<Name>-box-<DPI>.png; then
#   a long result in the result window, build/screenshots/<Name>-long-<DPI>.png;
#   the matrix edit's tooltip, build/screenshots/<Name>-tip-<DPI>.png; and the
#   "关于…" box, build/screenshots/<Name>-about-<DPI>.png;
#   each at 96 and at 144 DPI.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A folders=([Quorvit]=rank [Lumbrane]=inverse [Tessovar]=basicops [Zelcombe]=determinant)
program=${1:-Quorvit}
if [ -z "${folders[$program]:-}" ]; then
  echo "usage: bash tools/run.sh [Quorvit|Lumbrane|Tessovar|Zelcombe]" >&2
  exit 2
fi

bash tools/install-deps.sh

cmake --preset windows >/dev/null
cmake --build --preset windows | tail -n 1
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "run.sh: this kernel cannot execute i386 code; the 32-bit programs run under Wine" \
    "through user-mode qemu-i386 (tools/wine-run.sh; slower to start)"
fi
exe_of() { echo "$PWD/build/windows/${folders[$1]}/$1.exe"; }

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run.sh: opening $program; close its window to finish"
  CALC_WINE_TIMEOUT=0 exec tools/wine-run.sh "$(exe_of "$program")"
fi

# No display: a private one, with the screen the size of Wine's desktop.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
work=$(mktemp -d)
cleanup() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work" "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
export DISPLAY=":$(tr -d '\n' <"$display_file")"

mkdir -p build/screenshots
driver=build/windows/tests/wine/calc_e2e.exe
status=0
for dpi in 96 144; do
  for kind in box long tip about; do
    for name in Quorvit Lumbrane Tessovar Zelcombe; do
      echo
      echo "== $name, $kind result, $dpi DPI"
      out=$work/$name.out
      marker=$work/$name-$kind-$dpi.shot
      shot=build/screenshots/$name-$kind-$dpi.png
      : >"$out"
      # The driver types the sample, presses "计算" and keeps the result open
      # until the screenshot is taken.
      dpi_setting=
      [ "$dpi" != 96 ] && dpi_setting=$dpi
      CALC_WINE_DPI=$dpi_setting CALC_WINE_DESKTOP="$name,1024x768" CALC_WINE_TIMEOUT=120 \
        tools/wine-run.sh "$driver" show "$name" "$(exe_of "$name")" "$marker" \
        "$([ "$kind" != box ] && echo "$kind")" >"$out" 2>&1 &
      driver_pid=$!
      # A first run may set up Wine first (up to a minute or so).
      for _ in $(seq 1800); do
        grep -q '^READY' "$out" && break
        kill -0 "$driver_pid" 2>/dev/null || break
        sleep 0.1
      done
      if grep -q '^READY' "$out"; then
        sleep 0.5 # let the window finish drawing
        import -window root "$shot"
        echo "screenshot: $shot"
      else
        status=1
      fi
      touch "$marker"
      wait "$driver_pid" || true
      grep -v -e '^READY' -e '^show .*checks, .*failed$' "$out" | head -n 8 || true
      if grep -q '^FAIL' "$out"; then
        status=1
      fi
    done
  done
done
exit "$status"
