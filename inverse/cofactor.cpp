#include "cofactor.h"

#include "fraction.h"

namespace calc {

namespace {

uint64_t Magnitude(int64_t v) {
  return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

uint64_t Gcd64(uint64_t a, uint64_t b) {
  if (a == 0) return b;
  if (b == 0) return a;
  const int shift = __builtin_ctzll(a | b);
  a >>= __builtin_ctzll(a);
  do {
    b >>= __builtin_ctzll(b);
    if (a > b) {
      const uint64_t t = a;
      a = b;
      b = t;
    }
    b -= a;
  } while (b != 0);
  return a << shift;
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
  for (int j = p + 1; j <= n; ++j) {
    const Wide n_new = Wide{m.num[i][j]} * pivot_num * m.den[p][j] * a_den -
                       Wide{m.num[p][j]} * pivot_den * m.den[i][j] * a_num;
    const Wide d_new =
        n_new == Wide(0) ? Wide(1) : Wide{pivot_num} * m.den[p][j] * m.den[i][j] * a_den;
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

// The determinant of the matrix of order n in rows and columns 1..n,
// consuming it. Sets zero when a pivot column has nothing left to pivot on.
bool TriangulariseMinor(FractionMatrix& w, int n, bool& zero) {
  zero = false;
  for (int p = 1; p < n; ++p) {
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
  const int m = n - 1;

  bool zero = false;
  if (!TriangulariseMinor(work, m, zero)) return false;
  int64_t num = 0;
  int64_t den = 1;
  if (!zero && !MultiplyDiagonal(work, m, num, den)) return false;
  if ((r + c) % 2 != 0) num = -num;
  return StoreExact(num, den, result.num[c][r], result.den[c][r]);
}

}  // namespace calc
