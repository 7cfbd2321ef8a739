#!/usr/bin/env bash
# bench.sh: builds the benchmarks in release mode and prints the tables: each
# press's median time on the in-range and the full-range inputs, ours over
# FLINT as a ratio (measured in the same run, when FLINT is installed); the
# eigenvalue press on its three inputs against FLINT's characteristic
# polynomial with its factorisation; the systems against FLINT's reduced
# row echelon form; and each program's .exe size.
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

echo "Running press_bench (ours and FLINT in one run)" >&2
"$bench_dir/bench/press_bench" --benchmark_repetitions="$repetitions" \
  --benchmark_min_time="$min_time" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv >"$log_dir/bench.csv" 2>"$log_dir/bench.err" ||
  { cat "$log_dir/bench.err" >&2; exit 1; }
# A benchmark whose input is refused reports an error instead of a time.
if grep -q ',true,"' "$log_dir/bench.csv"; then
  echo "bench.sh: a benchmark reported an error:" >&2
  grep ',true,"' "$log_dir/bench.csv" >&2
  exit 1
fi

# Median CPU time of a benchmark in microseconds (its single time when there
# are no repetitions), empty when it was not run.
median_us() {
  awk -F, -v name="\"$1\"" -v median="\"$1_median\"" '
    $1 == name || $1 == median {
      t = $4; u = $5
      if (u == "ns") t /= 1000; else if (u == "ms") t *= 1000; else if (u == "s") t *= 1e6
      if ($1 == median || result == "") result = t
    }
    END { if (result != "") printf "%.3f", result }' "$log_dir/bench.csv"
}
format_time() {
  awk -v t="$1" 'BEGIN {
    if (t == "") print "-"
    else if (t >= 1e6) printf "%.2f s", t / 1e6
    else if (t >= 1000) printf "%.2f ms", t / 1000
    else printf "%.1f us", t }'
}
ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "") print "-"; else printf "%.2f", a / b }'
}

echo
echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')"
echo "Median CPU times of $repetitions repetitions; ours and FLINT measured in one run."
echo
row_format='%-28s %10s %10s %7s   %10s %10s %7s\n'
printf "$row_format" "press (20 x 20)" "in range" "FLINT" "ratio" "full range" "FLINT" "ratio"
while IFS='|' read -r label op; do
  cells=()
  for set in in_range full_range; do
    ours=$(median_us "$op/$set/ours")
    flint=$(median_us "$op/$set/flint")
    cells+=("$(format_time "$ours")" "$(format_time "$flint")" "$(ratio "$ours" "$flint")")
  done
  printf "$row_format" "$label" "${cells[@]}"
done <<'TABLE'
Quorvit rank|rank
Zelcombe determinant|determinant
Zelcombe determinant + log|determinant_log
Lumbrane adjugate|adjugate
Lumbrane inverse|inverse
Lumbrane adjugate, rank 19|adjugate_rank19
Tessovar sum|sum
Tessovar product|product
Tessovar multiple|multiple
reader, longest text|read_longest
TABLE

# against_flint PRESS TITLE: a table of PRESS/<input>/ours against
# PRESS/<input>/flint, a row for each "label|input" line read.
against_flint() {
  local format='%-28s %10s %10s %7s\n' label class ours flint
  echo
  printf "$format" "$2" "ours" "FLINT" "ratio"
  while IFS='|' read -r label class; do
    ours=$(median_us "$1/$class/ours")
    flint=$(median_us "$1/$class/flint")
    printf "$format" "$label" "$(format_time "$ours")" "$(format_time "$flint")" \
      "$(ratio "$ours" "$flint")"
  done
}

# Quorvit's eigenvalues against FLINT's characteristic polynomial and its
# factorisation over Q (FLINT writes no text and finds no eigenvectors).
against_flint eigenvalues "eigenvalues (20 x 20)" <<'TABLE'
integers -99..99|integers
full-range fractions|full_range
repeated and defective|defective
TABLE

# Quorvit's systems against FLINT's reduced row echelon form (its solve for
# the square system).
against_flint system "system (augmented 20 x 20)" <<'TABLE'
integers, rank 18|integers_rank18
full range, rank 18|full_range_rank18
square, 19 unknowns|square19
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
