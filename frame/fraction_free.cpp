#include "fraction_free.h"

#include "fraction.h"

namespace calc {

namespace {

// Every factor of a product stays below 2^62, so each product and each
// difference of two products fits in 128 bits.
bool Small(Wide v) {
  const Wide limit = Wide(1) << 62;
  return v < limit && v > -limit;
}

}  // namespace

bool FractionFreeSolve(const FractionMatrix& m, int n, bool with_inverse, FractionFreeForm& form) {
  // [A | I], rows and columns from 1; columns n+1..2n hold the right block.
  static_assert(kMaxOrder <= 20, "the augmented matrix below is sized for order 20");
  Wide a[kMaxOrder + 1][2 * kMaxOrder + 1];
  Wide row_factor[kMaxOrder + 1];
  form.scale = Wide(1);
  for (int i = 1; i <= n; ++i) {
    Wide factor(1);
    for (int j = 1; j <= n; ++j) {
      const Wide d = m.den[i][j] < 0 ? -Wide(m.den[i][j]) : Wide(m.den[i][j]);
      if (d == Wide(0)) return false;
      factor = factor / WideGcd(factor, d) * d;
      if (!Small(factor)) return false;
    }
    for (int j = 1; j <= n; ++j) {
      a[i][j] = factor / Wide(m.den[i][j]) * m.num[i][j];
      if (!Small(a[i][j])) return false;
      a[i][n + j] = Wide(i == j ? 1 : 0);
    }
    row_factor[i] = factor;
    if (!Small(form.scale)) return false;
    form.scale = form.scale * factor;
  }

  form.singular = false;
  form.sign = 1;
  Wide previous(1);
  for (int k = 1; k <= n; ++k) {
    if (a[k][k] == Wide(0)) {
      int r = k + 1;
      while (r <= n && a[r][k] == Wide(0)) ++r;
      if (r > n) {
        form.singular = true;
        form.pivot_product = Wide(0);
        return true;
      }
      for (int j = 1; j <= 2 * n; ++j) {
        const Wide t = a[k][j];
        a[k][j] = a[r][j];
        a[r][j] = t;
      }
      form.sign = -form.sign;
    }
    // For the determinant alone, the rows below the pivot and the columns
    // right of it suffice (Bareiss' triangular form); the inverse needs the
    // rows above and the right block too.
    const int first_row = with_inverse ? 1 : k + 1;
    const int first_column = with_inverse ? 1 : k + 1;
    const int last_column = with_inverse ? 2 * n : n;
    for (int i = first_row; i <= n; ++i) {
      if (i == k) continue;
      for (int j = first_column; j <= last_column; ++j) {
        if (j == k) continue;
        a[i][j] = (a[k][k] * a[i][j] - a[i][k] * a[k][j]) / previous;  // exact
        if (!Small(a[i][j])) return false;
      }
      a[i][k] = Wide(0);
    }
    previous = a[k][k];
  }
  // Every diagonal entry is now det(P A), and the right block its multiple
  // of the inverse of A: (P A)^-1 P = A^-1.
  form.pivot_product = previous;
  if (!with_inverse) return true;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      // The inverse of M = D^-1 A is A^-1 D: column j gains row j's factor.
      form.scaled[i][j] = a[i][n + j] * row_factor[j];
    }
  }
  return true;
}

}  // namespace calc
