#!/usr/bin/env bash
# Compares every press with the oracle, GMP's exact rational arithmetic, on
# random matrices (see tests/differential/differential_test.cpp).
#
#   tools/differential.sh [SEED] [COUNT] [PRESET]
#
# Draws COUNT presses (default 5000) for each of the eight calculations, and
# COUNT matrices for Quorvit's eigenvalues (each fact of the text checked
# against FLINT), from SEED (default: the current time), in the build of
# PRESET (default native; "sanitize" runs under AddressSanitizer and
# UndefinedBehaviorSanitizer, "fuzz" with the portable 128-bit arithmetic of
# the 32-bit programs). Prints a table of exact, wrong and refused answers
# and the slowest press per calculation, the eigenvalue counts per structure
# and fault; fails on any wrong, missing or refused answer. The seed is
# printed, so any run can be repeated.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seed="${1:-$(date +%s)}"
count="${2:-5000}"
preset="${3:-native}"

cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target differential_test >/dev/null
exec "build/$preset/tests/differential/differential_test" "$seed" "$count"
