// The eigenvectors of quadratic eigenvalues, checked on their values by the
// oracle's checker (A ξ = θ ξ in Q(√d) with GMP's rationals, each free
// unknown 1 where the other vectors have 0), and as many as the
// eigenspace's dimension.
#include "quadratic_eigenspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "eigen_oracle.h"

namespace calc {
namespace {

using Rows = std::vector<std::vector<long>>;

// The vectors of θ = (-b + s√d)/(2a) for A, the root of a t^2 + b t + c,
// checked by the oracle's checker; returns their number.
int CheckVectors(const Rows& rows, long qa, long qb, long s, long d) {
  const int n = static_cast<int>(rows.size());
  FractionMatrix m;
  m.rows = m.cols = n;
  testing::QMatrix a(n, std::vector<mpq_class>(n));
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      m(i + 1, j + 1) = Fraction{Integer(rows[i][j]), Integer(1)};
      a[i][j] = rows[i][j];
    }
  }
  QuadraticEigenvalue q;
  q.factor.resize(3);
  mpz_set_si(q.factor[2].get(), qa);
  mpz_set_si(q.factor[1].get(), qb);
  mpz_set_si(q.factor[0].get(), (qb * qb - s * s * d) / (4 * qa));
  q.radicand = Integer(d);
  q.basis = QuadraticEigenvectors(m, n, Integer(qa), Integer(qb), Integer(s), Integer(d));
  EXPECT_EQ(testing::SurdEigenvectorFault(a, q), "");
  return static_cast<int>(q.basis.size());
}

TEST(QuadraticEigenspace, VectorsAreEigenvectors) {
  struct Case {
    Rows a;
    long qa, qb, s, d;  // the factor qa t^2 + qb t + c, its discriminant s^2 d
    int geometric;
  };
  const Case cases[] = {
      {{{1, 2}, {3, 4}}, 1, -5, 1, 33, 1},
      {{{0, -1}, {1, 0}}, 1, 0, 2, -1, 1},
      {{{0, 9003}, {3001, 0}}, 1, 0, 6002, 3, 1},
      {{{2, 0, 0}, {0, 1, 2}, {0, 3, 4}}, 1, -5, 1, 33, 1},
      // λ^2 + 2 twice: a full eigenspace, and a defective one.
      {{{0, 1, 0, 0}, {-2, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, -2, 0}}, 1, 0, 2, -2, 2},
      {{{0, 1, 0, 0}, {-2, 0, 1, 0}, {0, 0, 0, 1}, {0, 0, -2, 0}}, 1, 0, 2, -2, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckVectors(c.a, c.qa, c.qb, c.s, c.d), c.geometric);
}

// Random 2 x 2 blocks with an irreducible quadratic, repeated or beside a
// rational eigenvalue, their rows and columns permuted alike.
TEST(QuadraticEigenspace, RandomBlocks) {
  std::mt19937 random(7);
  std::uniform_int_distribution<long> entry(-9, 9);
  for (int trial = 0, checked = 0; checked < 300 && trial < 10000; ++trial) {
    const long p = entry(random), q = entry(random), r = entry(random), t = entry(random);
    const long disc = (p - t) * (p - t) + 4 * q * r;  // of λ^2 - (p + t)λ + pt - qr
    long s = 1, d = disc;
    for (long f = 2; f * f <= (d < 0 ? -d : d); ++f) {
      while (d % (f * f) == 0) d /= f * f, s *= f;
    }
    if (d == 1 || d == 0) continue;  // rational roots
    const bool twice = trial % 2 == 0;
    Rows a(twice ? 4 : 3, std::vector<long>(twice ? 4 : 3, 0));
    a[0][0] = p, a[0][1] = q, a[1][0] = r, a[1][1] = t;
    if (twice) {
      a[2][2] = p, a[2][3] = q, a[3][2] = r, a[3][3] = t;
    } else {
      a[2][2] = entry(random);
    }
    std::vector<int> order(a.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
    std::shuffle(order.begin(), order.end(), random);
    Rows permuted = a;
    for (size_t i = 0; i < a.size(); ++i) {
      for (size_t j = 0; j < a.size(); ++j) permuted[i][j] = a[order[i]][order[j]];
    }
    ASSERT_EQ(CheckVectors(permuted, 1, -(p + t), s, d), twice ? 2 : 1);
    ++checked;
  }
}

}  // namespace
}  // namespace calc
