// The eigenvectors of quadratic eigenvalues, checked on their values: each
// vector satisfies A ξ = θ ξ in Q(√d) (computed here with GMP's rationals,
// apart from the code under test), there are as many as the eigenspace's
// dimension, and each has its free unknown 1 where the others have 0.
#include "quadratic_eigenspace.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace calc {
namespace {

using Rows = std::vector<std::vector<long>>;

mpq_class Q(const Fraction& f) {
  mpz_class num, den;
  f.num.CopyTo(num.get_mpz_t());
  f.den.CopyTo(den.get_mpz_t());
  return mpq_class(num, den);
}

// x + y√d.
struct Value {
  mpq_class x, y;
};

// Checks the vectors of θ = (-b + s√d)/(2a) for A; returns their number.
int CheckVectors(const Rows& a, long qa, long qb, long s, long d) {
  const int n = static_cast<int>(a.size());
  FractionMatrix m;
  m.rows = m.cols = n;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) m(i, j) = Fraction{Integer(a[i - 1][j - 1]), Integer(1)};
  }
  const auto basis = QuadraticEigenvectors(m, n, Integer(qa), Integer(qb), Integer(s), Integer(d));
  Value theta{mpq_class(-qb, 2 * qa), mpq_class(s, 2 * qa)};
  theta.x.canonicalize();
  theta.y.canonicalize();
  std::vector<int> free_at;
  for (const auto& v : basis) {
    std::vector<Value> x(n + 1);
    for (int j = 1; j <= n; ++j) x[j] = Value{Q(v[j].x), Q(v[j].y)};
    for (int i = 1; i <= n; ++i) {
      Value row{0, 0};
      for (int j = 1; j <= n; ++j) {
        row.x += a[i - 1][j - 1] * x[j].x;
        row.y += a[i - 1][j - 1] * x[j].y;
      }
      const Value lambda_x{theta.x * x[i].x + d * theta.y * x[i].y,
                           theta.x * x[i].y + theta.y * x[i].x};
      EXPECT_TRUE(row.x == lambda_x.x && row.y == lambda_x.y) << "row " << i << " of A ξ = θ ξ";
    }
    int f = n;
    while (f >= 1 && !(x[f].x == 1 && x[f].y == 0)) --f;
    EXPECT_GE(f, 1) << "no free unknown set to 1";
    free_at.push_back(f);
  }
  // Each free unknown 1 in its own vector, 0 in every other.
  for (size_t t = 0; t < basis.size(); ++t) {
    for (size_t u = 0; u < basis.size(); ++u) {
      if (u != t) EXPECT_TRUE(basis[u][free_at[t]].x.IsZero() && basis[u][free_at[t]].y.IsZero());
    }
  }
  return static_cast<int>(basis.size());
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
