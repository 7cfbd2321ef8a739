// The characteristic polynomial by its own invariants, independently of
// any oracle: AB and BA have the same one, and so have A and every E A E^-1.
#include "characteristic_polynomial.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace calc {
namespace {

// The monic polynomial as its primitive integer multiple.
ZPoly Normalised(const FractionMatrix& a, int n) {
  ZPoly f = ScaledCharacteristicPolynomial(a, n);
  MakePrimitive(f);
  return f;
}

void ExpectSame(const ZPoly& f, const ZPoly& g, int trial) {
  ASSERT_EQ(f.size(), g.size()) << "trial " << trial;
  for (size_t k = 0; k < f.size(); ++k) {
    EXPECT_EQ(mpz_cmp(f[k].get(), g[k].get()), 0) << "trial " << trial << ", degree " << k;
  }
}

TEST(CharacteristicPolynomial, SameForAbAndBaAndUnderSimilarity) {
  std::mt19937 random(5);
  const std::unique_ptr<FractionMatrix> a(new FractionMatrix), b(new FractionMatrix),
      ab(new FractionMatrix), ba(new FractionMatrix);
  for (int trial = 0; trial < 60; ++trial) {
    // Full 32-bit fractions up to order 6, small ones up to order 20.
    const bool full = trial % 3 == 0;
    const int n = full ? 1 + trial % 6 : 1 + trial % 20;
    std::uniform_int_distribution<int64_t> num(full ? -2147483647 : -9, full ? 2147483647 : 9),
        den(1, full ? 2147483647 : 4);
    for (FractionMatrix* m : {a.get(), b.get()}) {
      m->rows = m->cols = n;
      for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
          (*m)(i, j) = Reduced(Integer(num(random)), Integer(den(random)));
      }
    }
    ab->rows = ab->cols = ba->rows = ba->cols = n;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        Fraction x{}, y{};
        for (int k = 1; k <= n; ++k) {
          x = x + (*a)(i, k) * (*b)(k, j);
          y = y + (*b)(i, k) * (*a)(k, j);
        }
        (*ab)(i, j) = x;
        (*ba)(i, j) = y;
      }
    }
    ExpectSame(Normalised(*ab, n), Normalised(*ba, n), trial);
    // E A E^-1 for E = I + c e_ij: row i plus c row j, column j less c
    // column i; a few of them.
    const ZPoly before = Normalised(*a, n);
    std::uniform_int_distribution<int> index(1, n), factor(-3, 3);
    for (int step = 0; step < 3 && n > 1; ++step) {
      const int i = index(random), j = index(random);
      if (i == j) continue;
      const Fraction c{Integer(factor(random)), Integer(1)};
      for (int k = 1; k <= n; ++k) (*a)(i, k) = (*a)(i, k) + c * (*a)(j, k);
      for (int k = 1; k <= n; ++k) (*a)(k, j) = (*a)(k, j) - c * (*a)(k, i);
    }
    ExpectSame(Normalised(*a, n), before, trial);
  }
}

}  // namespace
}  // namespace calc
