// The modular null spaces are proved exactly. A prime that divides a minor
// of the matrix makes its null space there larger than over Q; the vector
// read from it must be refused by the proof, not returned.
#include "eigenspace.h"

#include <gtest/gtest.h>

#include <cmath>

#include "modular.h"

namespace calc {
namespace {

// [[r1, r2], [y, -x]], r1 x + r2 y = p, the first prime the null spaces
// take: singular modulo p with the small kernel vector (x, y) there,
// invertible over Q. Its entries stay small enough for the proofs'
// machine-integer paths.
TEST(Eigenspace, AVectorFromAPrimeDividingTheDeterminantIsRefused) {
  const uint64_t p = LimbPrime(0);
  const int k = static_cast<int>(std::log2(static_cast<double>(p))) / 2 - 6;
  const uint64_t x = uint64_t{1} << k, y = x + 1, mask = x - 1;
  uint64_t inverse = y;  // y^-1 modulo 2^64 by Newton's iteration
  for (int i = 0; i < 6; ++i) inverse *= 2 - y * inverse;
  const uint64_t r2 = ((p & mask) * inverse) & mask, r1 = (p - r2 * y) / x;
  IntegerRows rows;
  rows.rows = rows.cols = 2;
  const int64_t entry[2][2] = {{static_cast<int64_t>(r1), static_cast<int64_t>(r2)},
                               {static_cast<int64_t>(y), -static_cast<int64_t>(x)}};
  FractionMatrix m;
  m.rows = m.cols = 2;
  for (int i = 1; i <= 2; ++i) {
    for (int j = 1; j <= 2; ++j) {
      rows(i, j) = Integer(entry[i - 1][j - 1]);
      m(i, j) = Fraction{rows(i, j), Integer(1)};
    }
  }
  Integer scale[3] = {Integer(1), Integer(1), Integer(1)};
  EXPECT_TRUE(NullSpace(rows, scale, Integer(0), Integer(1), 2).empty());
  ZPoly t(2);  // w(t) = t: w(A) = A
  mpz_set_ui(t[1].get(), 1);
  EXPECT_TRUE(KernelOfPolynomialAt(m, 2, t).empty());
}

}  // namespace
}  // namespace calc
