#!/usr/bin/env bash
# Compares every press with GMP's exact rational arithmetic on random
# matrices (see tests/differential/differential_test.cpp).
#
#   tools/differential.sh [SEED] [COUNT] [PRESET]
#
# Draws COUNT cases (default 5000) for each of the eight calculations from
# SEED (default: the current time), in the build of PRESET (default native;
# "sanitize" runs under AddressSanitizer and UndefinedBehaviorSanitizer,
# "fuzz" with the portable 128-bit arithmetic of the 32-bit programs).
# Prints a table of exact answers, refusals of answers too large for 32 bits,
# refusals of answers that would have fitted, and wrong answers; fails if
# any answer is wrong. The seed is printed, so any run can be repeated.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seed="${1:-$(date +%s)}"
count="${2:-5000}"
preset="${3:-native}"

cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target differential_test >/dev/null
exec "build/$preset/tests/differential/differential_test" --seed "$seed" --count "$count" --show 5
