#!/usr/bin/env bash
# The Windows end-to-end tests: builds the shipped 32-bit programs and the
# 32-bit test driver (tests/wine), then runs every program under Wine and
# checks its dialog, its keys, its presses and a long run of presses.
#
# The programs run natively where the kernel executes i386 code, and
# through user-mode qemu-i386 where it does not (tools/wine-run.sh sets that
# up, once); where neither works, the tests fail and say why.
set -euo pipefail
cd "$(dirname "$0")/.."

started=$SECONDS
cmake --preset windows >/dev/null
cmake --build --preset windows
echo "wine-tests: build: $((SECONDS - started)) s"

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "wine-tests: this kernel executes i386 code: the 32-bit programs run natively under Wine"
else
  echo "wine-tests: this kernel cannot execute i386 code: the 32-bit programs run under Wine" \
    "through user-mode qemu-i386 (see tools/wine-run.sh)"
fi
# The first run makes what every later run reuses (the emulator, the Wine
# prefix); it is timed on its own.
echo "wine-tests: Wine $(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null || echo '(version unknown)')"
started=$SECONDS
status=0
env -u DISPLAY ctest --preset windows -R '^wine\.Quorvit\.dialog$' || status=$?
echo "wine-tests: Wine set-up and first start: $((SECONDS - started)) s"
[ "$status" -eq 0 ] || exit "$status"

# Every test gets a private Xvfb from tools/wine-run.sh, so nothing shows on
# the user's screen and no window manager is involved.
started=$SECONDS
env -u DISPLAY ctest --preset windows -E '^wine\.Quorvit\.dialog$' || status=$?
echo "wine-tests: the tests: $((SECONDS - started)) s"
exit "$status"
