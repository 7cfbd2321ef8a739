#!/usr/bin/env bash
# bench.sh: builds the benchmarks in release mode and prints one table:
# each press's median time, ours against FLINT as a ratio (measured side by
# side in one run, when FLINT is installed), and each program's .exe size.
# Times are CPU times, which other load on the machine disturbs less than
# wall-clock times; on an idle machine the two agree.
#
# Environment:
#   BENCH_REPETITIONS  repetitions per benchmark, the median is shown (5)
#   BENCH_MIN_TIME     minimum seconds per repetition (0.2)
#   BENCH_BUILD_DIR    where to build the benchmarks (build/bench)
#   WINDOWS_BUILD_DIR  where to build the Windows programs (build/windows);
#                      skipped when MinGW-w64 is not installed
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
repetitions=${BENCH_REPETITIONS:-5}
min_time=${BENCH_MIN_TIME:-0.2}
bench_dir=${BENCH_BUILD_DIR:-build/bench}
windows_dir=${WINDOWS_BUILD_DIR:-build/windows}
log_dir=$(mktemp -d)
trap 'rm -rf "$log_dir"' EXIT

echo "Building the benchmarks (release) in $bench_dir" >&2
cmake --preset bench -B "$bench_dir" >"$log_dir/configure.log" 2>&1 ||
  { cat "$log_dir/configure.log" >&2; exit 1; }
cmake --build "$bench_dir" >"$log_dir/build.log" 2>&1 || { cat "$log_dir/build.log" >&2; exit 1; }

sizes_known=0
if command -v i686-w64-mingw32-g++ >/dev/null; then
  echo "Building the Windows programs in $windows_dir" >&2
  if cmake --preset windows -B "$windows_dir" >"$log_dir/windows.log" 2>&1 &&
    cmake --build "$windows_dir" --target Quorvit Lumbrane Tessovar Zelcombe \
      >>"$log_dir/windows.log" 2>&1; then
    sizes_known=1
  else
    echo "bench.sh: the Windows build failed; sizes not shown" >&2
    tail -20 "$log_dir/windows.log" >&2
  fi
fi

flags=(--benchmark_repetitions="$repetitions" --benchmark_min_time="$min_time")

echo "Running press_bench" >&2
"$bench_dir/bench/press_bench" "${flags[@]}" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv >"$log_dir/press.csv" 2>"$log_dir/press.err" ||
  { cat "$log_dir/press.err" >&2; exit 1; }
# A benchmark whose input is refused reports an error instead of a time.
if grep -q ',true,"' "$log_dir/press.csv"; then
  echo "bench.sh: a benchmark reported an error:" >&2
  grep ',true,"' "$log_dir/press.csv" >&2
  exit 1
fi

peer=0
if [ -x "$bench_dir/bench/peer_bench" ]; then
  echo "Running peer_bench (ours and FLINT in one run)" >&2
  "$bench_dir/bench/peer_bench" "${flags[@]}" --benchmark_report_aggregates_only=true \
    >"$log_dir/peer.txt" 2>&1 || { cat "$log_dir/peer.txt" >&2; exit 1; }
  peer=1
fi

# Median CPU time of a press_bench benchmark, in microseconds.
median_us() {
  awk -F, -v name="\"$1_median\"" '
    $1 == name {
      t = $4; u = $5
      if (u == "ns") t /= 1000; else if (u == "ms") t *= 1000; else if (u == "s") t *= 1e6
      printf "%.1f", t
    }' "$log_dir/press.csv"
}
# Column of peer_bench's closing table for an operation: 4 = FLINT time in
# microseconds, 5 = our press over FLINT's routine, 6 = our calculation alone
# over FLINT's routine.
peer_column() {
  if [ "$peer" -eq 0 ]; then echo "-"; return; fi
  awk -v op="$1" -v col="$2" '
    /^operation / { table = 1; next }
    table && $1 == op { print $col }' "$log_dir/peer.txt"
}
format_time() {
  awk -v t="$1" 'BEGIN {
    if (t == "" || t == "-") print "-"
    else if (t >= 1000) printf "%.2f ms", t / 1000
    else printf "%.1f us", t }'
}

echo
echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')"
echo "Median CPU times of $repetitions repetitions; FLINT ratios from one run of both."
echo
printf '%-30s %12s %12s %12s %12s\n' "press (20 x 20)" "median" "FLINT" "press/FLINT" "calc/FLINT"
while IFS='|' read -r label bench op; do
  t=$(median_us "$bench")
  if [ -n "$op" ]; then
    flint=$(peer_column "$op" 4)
    press_ratio=$(peer_column "$op" 5)
    calc_ratio=$(peer_column "$op" 6)
  else
    flint=-; press_ratio=-; calc_ratio=-
  fi
  printf '%-30s %12s %12s %12s %12s\n' "$label" "$(format_time "$t")" "$(format_time "$flint")" \
    "$press_ratio" "$calc_ratio"
done <<'TABLE'
Lumbrane adjugate|BM_Adjugate|adjugate
Lumbrane inverse|BM_Inverse|inverse
Quorvit rank|BM_Rank|rank
Zelcombe determinant|BM_Determinant|determinant
Zelcombe determinant + log|BM_DeterminantWithLog|
Tessovar sum|BM_Sum|sum
Tessovar difference|BM_Difference|difference
Tessovar product|BM_Product|product
Tessovar multiple|BM_Multiple|multiple
reader, longest 20 x 20 text|BM_ReadLongestText|
TABLE

echo
printf '%-14s %10s\n' "program" "size"
for program in rank/Quorvit inverse/Lumbrane basicops/Tessovar determinant/Zelcombe; do
  exe="$windows_dir/$program.exe"
  if [ "$sizes_known" -eq 1 ] && [ -f "$exe" ]; then
    bytes=$(stat -c %s "$exe")
    printf '%-14s %10s\n' "$(basename "$exe")" "$(awk -v b="$bytes" 'BEGIN { printf "%.1f KiB", b / 1024 }')"
  else
    printf '%-14s %10s\n' "$(basename "$exe")" "-"
  fi
done
