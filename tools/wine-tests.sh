#!/usr/bin/env bash
# The Windows end-to-end tests: builds the programs and the test driver, then
# runs every program under Wine (tests/wine) and checks its dialog, its
# resources, its keys, its presses and a long run of presses.
#
# The shipped programs are the 32-bit build. Where this host cannot execute
# 32-bit code, the 32-bit Wine loader cannot run either; the tests then run
# the programs' 64-bit twins (same sources, preset windows-x64) and say so.
set -euo pipefail
cd "$(dirname "$0")/.."

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  preset=windows
  echo "wine-tests: testing the shipped 32-bit programs (build/windows)"
else
  preset=windows-x64
  echo "wine-tests: NOTE: this host cannot execute 32-bit code, so the 32-bit Wine loader" \
    "cannot run; testing the 64-bit twins of the programs (build/windows-x64), built" \
    "from the same sources, under the 64-bit loader"
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
# Every test gets a private Xvfb from tools/wine-run.sh, so nothing shows on
# the user's screen and no window manager is involved.
status=0
env -u DISPLAY ctest --preset "$preset" || status=$?

if [ "$preset" = windows-x64 ]; then
  # The shipped files can still be read as data: check their resources.
  cmake --preset windows >/dev/null
  cmake --build --preset windows
  echo "wine-tests: resources of the shipped 32-bit programs (build/windows)"
  env -u DISPLAY tools/wine-run.sh build/windows-x64/tests/wine/calc_e2e.exe resources \
    Quorvit=build/windows/rank/Quorvit.exe Lumbrane=build/windows/inverse/Lumbrane.exe \
    Tessovar=build/windows/basicops/Tessovar.exe Zelcombe=build/windows/determinant/Zelcombe.exe ||
    status=$?
fi
exit "$status"
