#include "elimination.h"

#include <memory>

namespace calc {

namespace {

// Row target += row source, from column `from` on.
void AddRow(const RowSet& r, int target, int source, int from) {
  for (int j = from; j <= r.cols; ++j) r(target, j) = r(target, j) + r(source, j);
}

// Row i -= (entry (i, c) / pivot (k, c)) * row k, from column c on. The
// columns left of c are 0 in the pivot row, so they stay as they are.
// Returns whether every new entry has 32-bit parts.
bool EliminateRow(const RowSet& r, int k, int c, int i, ZeroMultiplierRow zero_row) {
  if (r(i, c).IsZero()) {
    if (zero_row == ZeroMultiplierRow::kReduce) {
      for (int j = 1; j <= r.cols; ++j) Reduce(r(i, j));
    }
    return true;
  }
  const Fraction multiplier = r(i, c) / r(k, c);
  const bool small =
      SubtractMultipleOfRow(r.row[i] + c + 1, multiplier, r.row[k] + c + 1, r.cols - c);
  r(i, c) = Fraction{};
  if (zero_row == ZeroMultiplierRow::kReduce) {
    // Left of the pivot column the row holds zeros; written as 0 they read
    // the same as rewritten.
    for (int j = 1; j < c; ++j) Reduce(r(i, j));
  }
  return small;
}

// Makes (k, c) non-zero from the first lower row that is non-zero in column
// c, and returns that row; 0 when there is none.
int RepairPivot(RowSet& r, int k, int c, PivotRepair repair, EliminationResult& result) {
  int t = k + 1;
  while (t <= r.rows && r(t, c).IsZero()) ++t;
  if (t > r.rows) return 0;
  if (repair == PivotRepair::kExchangeRows) {
    std::swap(r.row[k], r.row[t]);
    ++result.exchanges;
  } else {
    // Columns left of c are 0 in both rows.
    AddRow(r, k, t, c);
  }
  return t;
}

}  // namespace

RowSet RowsOf(FractionMatrix& m, int rows, int cols) {
  RowSet r;
  for (int i = 1; i <= rows; ++i) r.row[i] = m.entry[i];
  r.rows = rows;
  r.cols = cols;
  return r;
}

EliminationResult Eliminate(RowSet& r, const EliminationOptions& options,
                            const StepObserver& after_step) {
  EliminationResult result;
  const int pivot_cols = options.pivot_cols > 0 ? options.pivot_cols : r.cols;
  const bool diagonal = options.walk == PivotWalk::kDiagonal;
  int k = 1;  // the pivot row
  for (int c = 1; c <= pivot_cols && k <= r.rows; ++c) {
    if (diagonal && k == r.rows) break;  // nothing left below the last pivot
    Step step;
    step.row = k;
    step.col = c;
    if (r(k, c).IsZero()) step.repaired_from = RepairPivot(r, k, c, options.repair, result);
    const bool found = step.found = !r(k, c).IsZero();
    if (found) {
      const int first = options.clear_above ? 1 : k + 1;
      for (int i = first; i <= r.rows; ++i) {
        if (i != k && !EliminateRow(r, k, c, i, options.zero_multiplier_row) &&
            options.stop_beyond_32_bits) {
          result.stopped = true;
          return result;
        }
      }
      result.pivot_col[k] = c;
      ++result.rank;
    }
    if (after_step) after_step(step);
    if (found || diagonal) ++k;
  }
  return result;
}

Fraction DiagonalProduct(const RowSet& r, int n) {
  Fraction product{Integer(1), Integer(1)};
  for (int q = 1; q <= n; ++q) product = product * r(q, q);
  return product;
}

namespace {

// Below 2^31 the lcm of typed denominators is worked out in 32-bit words,
// whose divisions are cheap on every machine.
constexpr uint32_t kSmallLcm = uint32_t{1} << 31;

// lcm(r, d) for r, d in 1..2^31 - 1; 0 when it reaches 2^31. Denominators
// mostly repeat or divide r already, and the divisions are the cost.
uint32_t LcmStep(uint32_t r, uint32_t d) {
  if (r % d == 0) return r;
  const uint32_t step = d / static_cast<uint32_t>(Gcd64(r, d));
  return r < kSmallLcm / step ? r * step : 0;
}

// The denominator when it lies in 1..2^31 - 1, or 0.
uint32_t SmallDenominator(const Fraction& x) {
  return x.den.IsSmall() && x.den.Small() > 0 && x.den.Small() < kSmallLcm
             ? static_cast<uint32_t>(x.den.Small())
             : 0;
}

// Row i of m (columns 1..cols) times the least common multiple of its
// denominators, in machine integers: out[1..cols] and that lcm (scale);
// false when the lcm reaches 2^31 or a numerator lies beyond +-2^31.
bool ClearRowInMachine(const FractionMatrix& m, int i, int cols, int64_t out[], int64_t& scale) {
  uint32_t r = 1;
  for (int j = 1; j <= cols && r != 0; ++j) {
    const uint32_t d = SmallDenominator(m(i, j));
    r = d == 0 ? 0 : LcmStep(r, d);
  }
  if (r == 0) return false;
  // Factors below 2^31, numerators within +-2^31: products below 2^62.
  const int64_t limit = int64_t{1} << 31;
  for (int j = 1; j <= cols; ++j) {
    const Integer& num = m(i, j).num;
    if (!num.IsSmall() || num.Small() > limit || num.Small() < -limit) return false;
    out[j] = num.Small() * static_cast<int64_t>(r / static_cast<uint32_t>(m(i, j).den.Small()));
  }
  scale = r;
  return true;
}

}  // namespace

Integer DenominatorLcm(const FractionMatrix& m, int n) {
  uint32_t r = 1;
  for (int i = 1; i <= n && r != 0; ++i) {
    for (int j = 1; j <= n && r != 0; ++j) {
      const uint32_t d = SmallDenominator(m(i, j));
      r = d == 0 ? 0 : LcmStep(r, d);
    }
  }
  if (r != 0) return Integer(static_cast<int64_t>(r));
  Integer lcm(1);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (!m(i, j).den.IsOne()) lcm = Lcm(lcm, m(i, j).den);
    }
  }
  return lcm;
}

void ClearDenominators(const FractionMatrix& m, int n, int cols, IntegerRows& out,
                       Integer scale[]) {
  out.rows = n;
  out.cols = cols;
  for (int i = 1; i <= n; ++i) {
    int64_t row[2 * kMaxOrder + 1], r = 1;
    if (ClearRowInMachine(m, i, cols, row, r)) {
      for (int j = 1; j <= cols; ++j) out(i, j) = Integer(row[j]);
      scale[i] = Integer(r);
      continue;
    }
    Integer lcm(1);
    for (int j = 1; j <= cols; ++j) lcm = Lcm(lcm, m(i, j).den);
    for (int j = 1; j <= cols; ++j) {
      const Fraction& x = m(i, j);
      out(i, j) = x.den == lcm ? x.num : x.num * DivideExact(lcm, x.den);
    }
    scale[i] = std::move(lcm);
  }
}

FractionFreeResult EliminateFractionFree(IntegerRows& r, Integer scale[], int pivot_cols,
                                         bool jordan, PivotRepair repair,
                                         const StepObserver& after_step) {
  FractionFreeResult result;
  Integer previous(1);
  int k = 1;
  for (int c = 1; c <= pivot_cols && k <= r.rows; ++c) {
    Step step;
    step.row = k;
    step.col = c;
    int t = k;
    while (t <= r.rows && r(t, c).IsZero()) ++t;
    if (t > r.rows) {
      if (after_step) after_step(step);
      continue;
    }
    step.found = true;
    if (t != k) step.repaired_from = t;
    if (t != k && repair == PivotRepair::kExchangeRows) {
      for (int j = 1; j <= r.cols; ++j) std::swap(r(k, j), r(t, j));
      result.odd_exchanges = !result.odd_exchanges;
    } else if (t != k) {
      // Row k of the fractions, B_k / (s_k q), plus row t, B_t / (s_t q):
      // (s_t B_k + s_k B_t) / (s_k s_t q), the same form with a new scale.
      for (int j = 1; j <= r.cols; ++j) r(k, j) = scale[t] * r(k, j) + scale[k] * r(t, j);
      scale[k] = scale[k] * scale[t];
    }
    result.row_divisor[k] = previous;
    const Integer& pivot = r(k, c);
    for (int i = jordan ? 1 : k + 1; i <= r.rows; ++i) {
      if (i == k) continue;
      // Column c of row i is read throughout and cleared only after.
      const Integer& factor = r(i, c);
      for (int j = jordan ? 1 : c + 1; j <= r.cols; ++j) {
        if (j != c) r(i, j).MultiplySubtractDivide(pivot, factor, r(k, j), previous);
      }
      r(i, c) = Integer(0);
    }
    previous = pivot;
    result.pivot_col[k] = c;
    ++result.rank;
    if (after_step) after_step(step);
    ++k;
  }
  result.last_pivot = previous;
  return result;
}

namespace {

// The determinant of rows and columns 1..n of m, fraction-free.
Fraction FractionFreeDeterminant(const FractionMatrix& m, int n) {
  const std::unique_ptr<IntegerRows> work(new IntegerRows);  // large: off the stack
  Integer scale[kMaxOrder + 1];
  ClearDenominators(m, n, n, *work, scale);
  const FractionFreeResult result =
      EliminateFractionFree(*work, scale, n, false, PivotRepair::kExchangeRows);
  if (result.rank < n) return Fraction{};
  Integer product(1);
  for (int i = 1; i <= n; ++i) product = product * scale[i];
  const Integer det = result.odd_exchanges ? -result.last_pivot : result.last_pivot;
  return Reduced(det, product);
}

}  // namespace

Fraction Determinant(const FractionMatrix& m, int n) {
  // Step by step while the entries keep 32-bit parts, where that is fastest;
  // fraction-free on integers beyond.
  const std::unique_ptr<FractionMatrix> work(new FractionMatrix(m));
  RowSet r = RowsOf(*work, n, n);
  EliminationOptions options;
  options.walk = PivotWalk::kDiagonal;
  options.stop_beyond_32_bits = true;
  if (!Eliminate(r, options).stopped) return DiagonalProduct(r, n);
  return FractionFreeDeterminant(m, n);
}

}  // namespace calc
