#!/usr/bin/env bash
# Runs the libFuzzer target (the reader and each program's press, picked by
# the input's first byte) under AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   tools/fuzz.sh [SECONDS]
#       Builds the preset "fuzz" and runs the target for SECONDS (default
#       300). The corpus grows in build/fuzz/tests/fuzz/work.
#   tools/fuzz.sh run BINARY SECONDS WORKDIR
#       Runs the built target; this is what the fuzz build's test calls.
#
# A crash, sanitizer report or failed check stops the target; the input is
# saved in WORKDIR/crashes and the script fails. Replay it with
# `BINARY WORKDIR/crashes/<file>`.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seeds="$root/tests/fuzz/corpus"

run_target() {
  local binary="$1" seconds="$2" work="$3"
  local name
  name="$(basename "$binary")"
  mkdir -p "$work/corpus" "$work/crashes"
  local log="$work/last-run.log"
  local status=0
  UBSAN_OPTIONS=print_stacktrace=1 "$binary" "$work/corpus" "$seeds" \
    -max_total_time="$seconds" -max_len=4096 -timeout=30 -rss_limit_mb=2048 \
    -artifact_prefix="$work/crashes/" -print_final_stats=1 >"$log" 2>&1 || status=$?
  local runs
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  local corpus
  corpus="$(find "$work/corpus" -type f | wc -l)"
  if [ "$status" -ne 0 ]; then
    echo "$name: FAILED after ${runs:-?} executions (exit $status); log: $log"
    grep -E 'check failed|in: |ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -n 20
    return 1
  fi
  echo "$name: ${runs:-?} executions in ${seconds} s, no failure; corpus $corpus inputs"
}

if [ "${1:-}" = "run" ]; then
  [ $# -eq 4 ] || { echo "usage: $0 run BINARY SECONDS WORKDIR" >&2; exit 2; }
  run_target "$2" "$3" "$4"
  exit $?
fi

seconds="${1:-300}"

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target calc_fuzz
run_target build/fuzz/tests/fuzz/calc_fuzz "$seconds" build/fuzz/tests/fuzz/work
