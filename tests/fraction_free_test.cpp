#include "fraction_free.h"

#include <gtest/gtest.h>

#include <random>

#include "fraction.h"

namespace calc {
namespace {

// For integer matrices every row factor is 1, so A = M and the identities
// M * scaled = pivot_product * I and det(M) = sign * pivot_product can be
// checked in exact integers.
TEST(FractionFreeSolve, InverseTimesMatrixIsTheIdentity) {
  std::mt19937 random(77);
  std::uniform_int_distribution<int> entry(-6, 6);
  int invertible = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 1 + trial % 6;
    FractionMatrix m;
    m.Clear();
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) m.num[i][j] = entry(random);
    }
    FractionFreeForm form;
    ASSERT_TRUE(FractionFreeSolve(m, n, true, form));
    FractionFreeForm det_only;
    ASSERT_TRUE(FractionFreeSolve(m, n, false, det_only));
    EXPECT_EQ(det_only.singular, form.singular);
    if (form.singular) continue;
    ++invertible;
    EXPECT_TRUE(det_only.sign * det_only.pivot_product == form.sign * form.pivot_product);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        Wide sum(0);
        for (int k = 1; k <= n; ++k) sum = sum + Wide(m.num[i][k]) * form.scaled[k][j];
        ASSERT_TRUE(sum == (i == j ? form.pivot_product : Wide(0))) << trial;
      }
    }
  }
  EXPECT_GT(invertible, 200);
}

TEST(FractionFreeSolve, FractionsAndRowExchanges) {
  // [[0, 1/2], [1/3, 0]]: one exchange; det = -1/6, inverse [[0, 3], [2, 0]].
  FractionMatrix m;
  m.Clear();
  m.num[1][2] = 1;
  m.den[1][2] = 2;
  m.num[2][1] = 1;
  m.den[2][1] = 3;
  FractionFreeForm form;
  ASSERT_TRUE(FractionFreeSolve(m, 2, true, form));
  ASSERT_FALSE(form.singular);
  int32_t num = 0, den = 0;
  ASSERT_TRUE(StoreReduced(form.sign * form.pivot_product, form.scale, num, den));
  EXPECT_EQ(num, -1);
  EXPECT_EQ(den, 6);
  const int32_t inverse[2][2] = {{0, 3}, {2, 0}};
  for (int i = 1; i <= 2; ++i) {
    for (int j = 1; j <= 2; ++j) {
      ASSERT_TRUE(StoreReduced(form.scaled[i][j], form.pivot_product, num, den));
      // The sign may stand on either part: num/den == inverse entry.
      EXPECT_EQ(num, inverse[i - 1][j - 1] * den) << i << "," << j;
    }
  }
}

TEST(FractionFreeSolve, RefusesValuesBeyondItsRange) {
  FractionMatrix m;
  m.Clear();
  for (int i = 1; i <= 4; ++i) {
    for (int j = 1; j <= 4; ++j) {
      m.num[i][j] = INT32_MAX - i * j;
      m.den[i][j] = INT32_MAX - i - j;  // row factors beyond 62 bits
    }
  }
  FractionFreeForm form;
  EXPECT_FALSE(FractionFreeSolve(m, 4, true, form));
}

}  // namespace
}  // namespace calc
