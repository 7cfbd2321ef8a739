#include "cofactor.h"

#include "fraction.h"

namespace calc {

namespace {

uint64_t Magnitude(int64_t v) {
  return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

bool Store32(int64_t n, int64_t d, int32_t& num, int32_t& den) {
  if (!FitsInt32(n) || !FitsInt32(d)) {
    // A value such as -2^31 has a 32-bit form only with the sign on the
    // numerator.
    if (d > 0 || !FitsInt32(-n) || !FitsInt32(-d)) return false;
    n = -n;
    d = -d;
  }
  num = static_cast<int32_t>(n);
  den = static_cast<int32_t>(d);
  return true;
}

}  // namespace

bool StoreExact(Wide n, Wide d, int32_t& num, int32_t& den) {
  const Wide limit(INT64_MAX);
  if (n > limit || n < -limit || d > limit || d < -limit) {
    int64_t rn = 0;
    int64_t rd = 1;
    return ReduceWide(n, d, rn, rd) && Store32(rn, rd, num, den);
  }
  // Most values of a calculation that succeeds are small: reduce them in
  // 64 bits, skipping the divisions when the parts are already coprime.
  int64_t n64 = static_cast<int64_t>(n);
  int64_t d64 = static_cast<int64_t>(d);
  if (d64 == 0) return false;
  if (n64 == 0) return Store32(0, d64 < 0 ? -1 : 1, num, den);
  if (d64 != 1 && d64 != -1) {
    const int64_t g = static_cast<int64_t>(Gcd64(Magnitude(n64), Magnitude(d64)));
    if (g != 1) {
      n64 /= g;
      d64 /= g;
    }
  }
  return Store32(n64, d64, num, den);
}

bool EliminateRowBelowPivot(FractionMatrix& m, int p, int i, int n) {
  const int32_t a_num = m.num[i][p];
  const int32_t a_den = m.den[i][p];
  const int32_t pivot_num = m.num[p][p];
  const int32_t pivot_den = m.den[p][p];
  // Left of the pivot both rows hold 0/1 already, and the pivot column
  // itself always comes out exactly 0.
  m.num[i][p] = 0;
  m.den[i][p] = 1;
  if (a_num == 0) {
    // Nothing to subtract: the general formula gives every entry its own
    // value over a denominator multiplied by pivot_num * den(p, j) * a_den,
    // so only the signs of the two parts can change.
    const int sign = (pivot_num < 0) != (a_den < 0) ? -1 : 1;
    for (int j = p + 1; j <= n; ++j) {
      if (m.num[i][j] == 0) {
        m.den[i][j] = 1;
        continue;
      }
      const int s = m.den[p][j] < 0 ? -sign : sign;
      if (!StoreExact(Wide{m.num[i][j]} * s, Wide{m.den[i][j]} * s, m.num[i][j], m.den[i][j])) {
        return false;
      }
    }
    return true;
  }
  // The factors common to the whole row, each a product of two 32-bit
  // values and so exact in 64 bits; every term below is then one product of
  // two 64-bit values.
  const int64_t keep = int64_t{pivot_num} * a_den;
  const int64_t take = int64_t{pivot_den} * a_num;
  for (int j = p + 1; j <= n; ++j) {
    const Wide n_new = Wide{int64_t{m.num[i][j]} * m.den[p][j]} * keep -
                       Wide{int64_t{m.num[p][j]} * m.den[i][j]} * take;
    const Wide d_new = n_new == Wide(0) ? Wide(1) : Wide{int64_t{m.den[p][j]} * m.den[i][j]} * keep;
    if (!StoreExact(n_new, d_new, m.num[i][j], m.den[i][j])) return false;
  }
  return true;
}

bool MultiplyDiagonal(const FractionMatrix& m, int n, int64_t& num, int64_t& den) {
  num = 1;
  den = 1;
  for (int q = 1; q <= n; ++q) {
    if (!ReduceWide(Wide{num} * m.num[q][q], Wide{den} * m.den[q][q], num, den)) return false;
  }
  return true;
}

namespace {

// Row p += row s over columns 1..n: repairs a zero pivot without changing
// the determinant.
bool AddRow(FractionMatrix& m, int p, int s, int n) {
  for (int j = 1; j <= n; ++j) {
    const Wide n_new = Wide{m.num[s][j]} * m.den[p][j] + Wide{m.num[p][j]} * m.den[s][j];
    const Wide d_new = Wide{m.den[s][j]} * m.den[p][j];
    if (!StoreExact(n_new, d_new, m.num[p][j], m.den[p][j])) return false;
  }
  return true;
}

// Triangularises the matrix of order n in rows and columns 1..n, consuming
// it, from pivot first_step on (the steps before it already done). Sets
// zero when a pivot column has nothing left to pivot on.
bool TriangulariseMinor(FractionMatrix& w, int n, int first_step, bool& zero) {
  zero = false;
  for (int p = first_step; p < n; ++p) {
    if (w.num[p][p] == 0) {
      int s = p + 1;
      while (s <= n && w.num[s][p] == 0) ++s;
      if (s > n) {
        // Rows p..n are zero in columns 1..p: they span fewer columns than
        // there are rows, so the determinant is 0 whatever follows.
        zero = true;
        return true;
      }
      if (!AddRow(w, p, s, n)) return false;
    }
    for (int i = p + 1; i <= n; ++i) {
      if (!EliminateRowBelowPivot(w, p, i, n)) return false;
    }
  }
  return true;
}

// Completes a cofactor whose minor of order m lies in work with its pivot
// steps before first_step done: the remaining steps, the diagonal product
// and the sign, stored at result entry (c, r).
bool FinishCofactor(FractionMatrix& work, int m, int first_step, int r, int c,
                    FractionMatrix& result) {
  bool zero = false;
  if (!TriangulariseMinor(work, m, first_step, zero)) return false;
  int64_t num = 0;
  int64_t den = 1;
  if (!zero && !MultiplyDiagonal(work, m, num, den)) return false;
  if ((r + c) % 2 != 0) num = -num;
  return StoreExact(num, den, result.num[c][r], result.den[c][r]);
}

}  // namespace

bool EvaluateCofactor(FractionMatrix& work, int n, int r, int c, FractionMatrix& result) {
  for (int i = 1; i <= n; ++i) {
    for (int j = c; j < n; ++j) {
      work.num[i][j] = work.num[i][j + 1];
      work.den[i][j] = work.den[i][j + 1];
    }
  }
  for (int j = 1; j < n; ++j) {
    for (int i = r; i < n; ++i) {
      work.num[i][j] = work.num[i + 1][j];
      work.den[i][j] = work.den[i + 1][j];
    }
  }
  return FinishCofactor(work, n - 1, 1, r, c, result);
}

namespace {

constexpr int kNever = kMaxOrder + 1;

// The pivot steps that the minors of one column, or of one row, have in
// common, done once for all of them.
//
// The minor of entry (r, c) is the matrix without column c and without row
// r. Its pivot steps 1..min(r, c) - 1 compute what the same steps compute
// on the matrix without column c alone, or without row r alone, on the rows
// and columns the minor keeps: a step changes each row below the pivot from
// that row and the pivot row only, each column from that column and the
// pivot column only, and the rows and columns before the deleted ones are
// the same. Three things can tell the two apart, and are recorded:
// - a pivot repair that adds row r itself, where the minor adds another row
//   (only when a row is deleted from the shared matrix, not a column);
//   the minor then starts from the matrix as it was before that step;
// - a row that leaves the 32-bit range here, which the minor may or may
//   not compute in full: a minor keeping that row is evaluated on its own;
// - a step that finds no pivot, after which every minor that reaches it
//   has the determinant 0, as EvaluateCofactor finds.
class SharedSteps {
 public:
  // Starts from a, of order n, without column c (row 0) or without row r
  // (column 0).
  SharedSteps(const FractionMatrix& a, int n, int r, int c)
      : rows_(r == 0 ? n : n - 1), cols_(c == 0 ? n : n - 1) {
    for (int i = 1; i <= rows_; ++i) {
      const int from_row = r == 0 || i < r ? i : i + 1;
      for (int j = 1; j <= cols_; ++j) {
        const int from_col = c == 0 || j < c ? j : j + 1;
        matrix_.num[i][j] = a.num[from_row][from_col];
        matrix_.den[i][j] = a.den[from_row][from_col];
      }
      failed_at_[i] = kNever;
    }
    for (int p = 0; p <= kMaxOrder; ++p) added_row_[p] = 0;
  }

  // Does the pivot steps up to k, or up to the one where the elimination
  // stops.
  void AdvanceTo(int k) {
    while (done_ < k && stopped_at_ == kNever) Step(++done_);
  }

  enum class Use { kOwn, kZero, kShared };

  // For the minor that drops row r (column-sharing) or column c
  // (row-sharing) of the shared matrix, after AdvanceTo(k): whether the
  // first k steps can be taken from here, and if so, copies the minor as
  // they leave it into work and sets steps to the number of its steps done.
  Use Prepare(int r, int c, int k, FractionMatrix& work, int& steps) const {
    const FractionMatrix* from = &matrix_;
    bool zero = false;
    if (stopped_at_ <= k) {
      if (stopped_at_ != zero_at_) return Use::kOwn;
      zero = true;
      k = stopped_at_ - 1;
    }
    for (int p = 1; p <= k; ++p) {
      if (r != 0 && added_row_[p] == r) {
        // The minor repairs this pivot with another row.
        from = &before_repair_[p];
        zero = false;
        k = p - 1;
        break;
      }
    }
    for (int i = 1; i <= rows_; ++i) {
      if (i != r && failed_at_[i] <= k) return Use::kOwn;
    }
    if (zero) return Use::kZero;
    for (int i = 1, to = 1; i <= rows_; ++i) {
      if (i == r) continue;
      for (int j = 1, col = 1; j <= cols_; ++j) {
        if (j == c) continue;
        work.num[to][col] = from->num[i][j];
        work.den[to][col] = from->den[i][j];
        ++col;
      }
      ++to;
    }
    steps = k;
    return Use::kShared;
  }

 private:
  // Pivot step p, as TriangulariseMinor does it, except that a row that
  // leaves the range is only marked.
  void Step(int p) {
    if (matrix_.num[p][p] == 0) {
      int s = p + 1;
      while (s <= rows_ && matrix_.num[s][p] == 0) ++s;
      if (s > rows_) {
        zero_at_ = p;
        stopped_at_ = p;
        return;
      }
      added_row_[p] = s;
      before_repair_[p] = matrix_;
      if (!AddRow(matrix_, p, s, cols_)) {
        // Every later step needs this pivot row.
        failed_at_[p] = p;
        stopped_at_ = p;
        return;
      }
    }
    for (int i = p + 1; i <= rows_; ++i) {
      if (failed_at_[i] == kNever && !EliminateRowBelowPivot(matrix_, p, i, cols_)) {
        failed_at_[i] = p;
      }
    }
  }

  FractionMatrix matrix_;
  int rows_;
  int cols_;
  int done_ = 0;
  int stopped_at_ = kNever;                  // the step at which the elimination stopped
  int zero_at_ = kNever;                     // the step that found no pivot, if it stopped there
  int failed_at_[kMaxOrder + 1];             // per row: the step at which it left the range
  int added_row_[kMaxOrder + 1];             // per step: the row its repair added, or 0
  FractionMatrix before_repair_[kMaxOrder];  // per step with a repair
};

// Evaluates the cofactor (r, c) from the shared steps, or on its own.
bool SharedCofactor(const FractionMatrix& a, int n, int r, int c, SharedSteps& shared, int drop_row,
                    int drop_col, int k, FractionMatrix& work, FractionMatrix& result) {
  shared.AdvanceTo(k);
  int steps = 0;
  switch (shared.Prepare(drop_row, drop_col, k, work, steps)) {
    case SharedSteps::Use::kOwn:
      work = a;
      return EvaluateCofactor(work, n, r, c, result);
    case SharedSteps::Use::kZero:
      // What EvaluateCofactor stores for a determinant of 0.
      result.num[c][r] = 0;
      result.den[c][r] = 1;
      return true;
    case SharedSteps::Use::kShared:
      break;
  }
  return FinishCofactor(work, n - 1, steps + 1, r, c, result);
}

}  // namespace

bool EvaluateAdjugate(const FractionMatrix& a, int n, FractionMatrix& result) {
  FractionMatrix work;
  if (n <= 2) {
    // No pivot steps to share.
    for (int r = 1; r <= n; ++r) {
      for (int c = 1; c <= n; ++c) {
        work = a;
        if (!EvaluateCofactor(work, n, r, c, result)) return false;
      }
    }
    return true;
  }
  // The minor (r, c) has n - 2 pivot steps; those before the deleted row or
  // column, whichever comes later, are shared.
  const int last = n - 2;
  for (int c = 1; c <= n; ++c) {  // r >= c: the minors of column c
    SharedSteps shared(a, n, 0, c);
    for (int r = c; r <= n; ++r) {
      const int k = r - 1 < last ? r - 1 : last;
      if (!SharedCofactor(a, n, r, c, shared, r, 0, k, work, result)) return false;
    }
  }
  for (int r = 1; r < n; ++r) {  // c > r: the minors of row r
    SharedSteps shared(a, n, r, 0);
    for (int c = r + 1; c <= n; ++c) {
      const int k = c - 1 < last ? c - 1 : last;
      if (!SharedCofactor(a, n, r, c, shared, 0, c, k, work, result)) return false;
    }
  }
  return true;
}

}  // namespace calc
