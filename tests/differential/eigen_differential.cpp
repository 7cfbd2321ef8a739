#include "eigen_differential.h"

#include <gmpxx.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "eigen_oracle.h"
#include "messages.h"
#include "rank_press.h"
#include "result_text.h"

namespace calc::testing {
namespace {

struct Drawn {
  FractionMatrix a;
  JordanFacts facts;
  bool known = true;
};

bool Fits(const mpq_class& q) {
  return mpz_fits_sint_p(q.get_num_mpz_t()) && mpz_fits_sint_p(q.get_den_mpz_t());
}

class EigenGenerator {
 public:
  explicit EigenGenerator(uint64_t seed) : random_(seed) {}

  // Companion matrices of order 20 that are hard to get right: f = x^20 -
  // 2 (32767 x - 1)^2, whose two roots near 1/32767 agree to about 50
  // digits; (x^2 - 2)^10 and (x - 1/2)^20, one Jordan block per root; and
  // x^20 - 2. Each is drawn as it is and conjugated.
  static constexpr int kHardCount = 8;
  Drawn Hard(int k) {
    Drawn d;
    QPolynomial f(21);
    f[20] = 1;
    if (k / 2 == 0) {
      f[2] = -2 * 32767 * 32767;
      f[1] = 4 * 32767;
      f[0] = -2;
    } else if (k / 2 == 1 || k / 2 == 2) {
      // (x^2 - 2)^10 or (x - 1/2)^20, by repeated multiplication.
      const QPolynomial factor =
          k / 2 == 1 ? QPolynomial{-2, 0, 1} : QPolynomial{mpq_class(-1, 2), 1};
      for (f = {1}; f.size() < 21;) f = Product(f, factor);
      d.facts.diagonalisable = false;
      if (k / 2 == 2) d.facts.rational[mpq_class(1, 2)] = {20};
    } else {
      f[0] = -2;
    }
    QMatrix j = Companion(f);
    if (k % 2 == 1) StepConjugate(j, 20);
    Fill(d.a, j);
    return d;
  }

  Drawn Draw(bool big) {
    Drawn d;
    const int n = big ? 20 : Order();
    const int kind = static_cast<int>(Between(1, 100));
    if (kind <= 4 && !big) {
      Scalar(d, n);
    } else if (kind <= 12 || big) {
      Unstructured(d, n, big);
    } else if (kind <= 16) {
      Triangular(d, n);
    } else {
      Conjugated(d, n);
    }
    d.a.rows = d.a.cols = n;
    return d;
  }

 private:
  int64_t Between(int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random_);
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  int Order() { return static_cast<int>(Between(1, Chance(40) ? 5 : Chance(60) ? 12 : 20)); }

  mpq_class SmallRational(int64_t num, int64_t den) {
    mpq_class q(Between(-num, num), Between(1, den));
    q.canonicalize();
    return q;
  }
  mpq_class Full() {
    mpq_class q(Between(INT32_MIN, INT32_MAX), Between(1, INT32_MAX));
    q.canonicalize();
    return q;
  }

  // An eigenvalue: a small integer, a small fraction, or one with a large
  // denominator.
  mpq_class Eigenvalue() {
    const int kind = static_cast<int>(Between(0, 19));
    if (kind < 8) return SmallRational(9, 1);
    if (kind < 16) return SmallRational(30, 12);
    const int64_t den = kind < 19 ? Between(1 << 16, 1 << 24) : Between(1 << 24, INT32_MAX);
    mpq_class q(kind < 19 ? Between(-4 * den, 4 * den) : Between(INT32_MIN, INT32_MAX), den);
    q.canonicalize();
    return q;
  }

  static void Set(FractionMatrix& a, int i, int j, const mpq_class& q) {
    a(i, j) = Fraction{Integer(q.get_num().get_si()), Integer(q.get_den().get_si())};
  }
  static void Fill(FractionMatrix& a, const QMatrix& j) {
    a.rows = a.cols = static_cast<int>(j.size());
    for (int r = 0; r < a.rows; ++r) {
      for (int c = 0; c < a.rows; ++c) Set(a, r + 1, c + 1, j[r][c]);
    }
  }

  void Scalar(Drawn& d, int n) {
    const mpq_class lambda = Chance(30) ? mpq_class(0) : Eigenvalue();
    for (int i = 1; i <= n; ++i) Set(d.a, i, i, lambda);
    d.facts.rational[lambda] = std::vector<int>(n, 1);
  }

  // Entries of several sizes, some rows or columns copies of others
  // (repeated eigenvalue 0), every 20 x 20 one of full 32-bit fractions.
  void Unstructured(Drawn& d, int n, bool big) {
    d.known = false;
    static const int64_t kSizes[][2] = {{9, 1}, {99, 9}, {999999, 9999}};
    const int size = big ? 3 : static_cast<int>(Between(0, 2));
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        mpq_class q = size == 3 ? Full() : SmallRational(kSizes[size][0], kSizes[size][1]);
        if (!big && Chance(30)) q = 0;
        Set(d.a, i, j, q);
      }
    }
    // A row or column copied onto another: eigenvalue 0, its eigenvectors
    // from entries of any size.
    for (int copies = static_cast<int>(Between(0, 3)); copies > 0 && n > 1; --copies) {
      const int from = static_cast<int>(Between(1, n)), to = static_cast<int>(Between(1, n));
      const bool column = Chance(50);
      for (int k = 1; k <= n; ++k) {
        if (column)
          d.a(k, to) = d.a(k, from);
        else
          d.a(to, k) = d.a(from, k);
      }
    }
  }

  // Triangular, the eigenvalues on the diagonal (some repeated, some with
  // full 32-bit parts), the other side of it of entries up to full 32-bit
  // fractions. The Jordan form is left to the oracle.
  void Triangular(Drawn& d, int n) {
    d.known = false;
    std::vector<mpq_class> pool;
    for (int k = static_cast<int>(Between(1, 4)); k > 0; --k) pool.push_back(Eigenvalue());
    const bool upper = Chance(50), full = Chance(50);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        mpq_class q;
        if (i == j) {
          q = pool[Between(0, pool.size() - 1)];
        } else if ((i < j) == upper && Chance(70)) {
          q = full ? Full() : SmallRational(99, 9);
        }
        Set(d.a, i, j, q);
      }
    }
  }

  // A random monic irreducible polynomial of the degree, real roots only or
  // not as asked where that is easy to arrange.
  QPolynomial Irreducible(int degree, bool complex) {
    for (;;) {
      QPolynomial h(degree + 1);
      h[degree] = 1;
      if (degree == 2) {
        // x^2 - s x + p with s^2 - 4p of the asked sign.
        const mpq_class s = SmallRational(12, Chance(50) ? 1 : 4);
        const mpq_class room = SmallRational(40, Chance(50) ? 1 : 6);
        // Now and then complex roots s/2 ± r i with r rational.
        const mpq_class gap =
            complex && Chance(25) ? mpq_class(room * room) : mpq_class(abs(room) + 1);
        const mpq_class p = s * s / 4 + (complex ? gap : mpq_class(-gap));
        h[1] = -s;
        h[0] = p;
      } else if (degree == 3 && !complex) {
        // Near (x - r1)(x - r2)(x - r3) with roots far apart: three real roots.
        const mpq_class r1 = SmallRational(5, 1), r2 = r1 + Between(3, 6), r3 = r2 + Between(3, 6);
        h[2] = -(r1 + r2 + r3);
        h[1] = r1 * r2 + r1 * r3 + r2 * r3;
        h[0] = -r1 * r2 * r3 + SmallRational(2, 3);
      } else {
        for (int k = 0; k < degree; ++k) h[k] = SmallRational(9, Chance(70) ? 1 : 5);
      }
      const std::vector<Factor> factors = FactorOverQ(h);
      if (factors.size() == 1 && factors[0].multiplicity == 1 &&
          static_cast<int>(factors[0].poly.size()) == degree + 1 && h[0] != 0) {
        return h;
      }
    }
  }

  static QMatrix Companion(const QPolynomial& h) {
    const int k = static_cast<int>(h.size()) - 1;
    QMatrix b(k, std::vector<mpq_class>(k));
    for (int i = 0; i < k; ++i) {
      if (i > 0) b[i][i - 1] = 1;
      b[i][k - 1] = -h[i];
    }
    return b;
  }

  // Puts b at (at, at) of j and moves `at` past it; a second copy after it
  // when `copies` is 2, joined to the first by an identity block when
  // `defective`.
  static void Place(Drawn& d, QMatrix& j, int& at, const QMatrix& b, int copies, bool defective) {
    const int k = static_cast<int>(b.size());
    for (int c = 0; c < copies; ++c, at += k) {
      for (int r = 0; r < k; ++r) {
        std::copy(b[r].begin(), b[r].end(), j[at + r].begin() + at);
        if (c == 1 && defective) j[at - k + r][at + r] = 1;
      }
    }
    if (defective) d.facts.diagonalisable = false;
  }

  // Roots a ± √(c d) from blocks [a c; d a] at (at, at): a large, c d tiny,
  // so that the two roots lie close together, or a complex pair close to
  // the real axis. Once, twice, or twice joined by an identity block.
  void NearPair(Drawn& d, QMatrix& j, int& at, int room) {
    // Now and then everything tiny: roots shown with a power of ten, or a
    // pair ±bi on the imaginary axis.
    const bool tiny = Chance(20);
    const int64_t low = tiny ? 1 << 20 : 1, high = tiny ? INT32_MAX : 1 << 16;
    mpq_class a(Between(-(1 << 30), 1 << 30), Chance(50) ? 1 : Between(1, 256));
    if (tiny) a = Chance(50) ? mpq_class(0) : mpq_class(Chance(50) ? 1 : -1, Between(low, high));
    a.canonicalize();
    const bool complex = Chance(50);
    mpq_class c(Chance(50) ? 1 : -1, Between(low, high)), e;
    c.canonicalize();
    do {
      e = mpq_class(Between(1, tiny ? 16 : 256), Between(low, high));
      e.canonicalize();
      if ((c < 0) != complex) e = -e;  // c e < 0 exactly for a complex pair
    } while (c * e > 0 && mpz_perfect_square_p(mpq_class(c * e).get_num_mpz_t()) &&
             mpz_perfect_square_p(mpq_class(c * e).get_den_mpz_t()));
    const int copies = room >= 4 && Chance(30) ? 2 : 1;
    const bool defective = copies == 2 && Chance(50);
    Place(d, j, at, {{a, c}, {e, a}}, copies, defective);
  }

  void Conjugated(Drawn& d, int n) {
    QMatrix j(n, std::vector<mpq_class>(n));
    std::vector<mpq_class> pool;
    for (int k = static_cast<int>(Between(1, 3)); k > 0; --k) pool.push_back(Eigenvalue());
    for (int at = 0; at < n;) {
      const int room = n - at, kind = static_cast<int>(Between(1, 100));
      if (kind <= 50 || room < 2) {
        const mpq_class lambda = pool[Between(0, pool.size() - 1)];
        const int size = Chance(60) ? 1 : static_cast<int>(Between(1, std::min(room, 4)));
        for (int i = 0; i < size; ++i) {
          j[at + i][at + i] = lambda;
          if (i > 0) j[at + i - 1][at + i] = 1;
        }
        d.facts.rational[lambda].push_back(size);
        if (size > 1) d.facts.diagonalisable = false;
        at += size;
        continue;
      }
      if (kind <= 58) {
        NearPair(d, j, at, room);
        continue;
      }
      int degree = kind <= 75 ? 2 : kind <= 92 ? 3 : 4;
      if (degree > room) degree = room >= 3 ? 3 : 2;
      const bool complex = Chance(50);
      const QPolynomial h = Irreducible(degree, complex);
      const int copies = 2 * degree <= room && Chance(30) ? 2 : 1;
      const bool defective = copies == 2 && Chance(50);
      Place(d, j, at, Companion(h), copies, defective);
    }
    if (!(n <= 6 && Chance(30) && DenseConjugate(j))) StepConjugate(j, n);
    Fill(d.a, j);
  }

  // j = P j P^-1 for P dense with small rational entries, when its entries
  // fit in 32 bits.
  bool DenseConjugate(QMatrix& j) {
    const size_t n = j.size();
    QMatrix p(n, std::vector<mpq_class>(n)), inverse;
    for (size_t i = 0; i < n; ++i) {
      for (size_t k = 0; k < n; ++k) p[i][k] = SmallRational(3, Chance(60) ? 1 : 3);
    }
    mpq_class det;
    if (!Invert(p, inverse, det)) return false;
    const QMatrix a = Multiply(Multiply(p, j), inverse);
    for (const auto& row : a) {
      if (!std::all_of(row.begin(), row.end(), Fits)) return false;
    }
    j = a;
    return true;
  }

  // j = P j P^-1 for P a product of random steps (add a multiple of a row to
  // another, exchange two, scale one), each applied on both sides and kept
  // only when every entry still fits in 32 bits.
  void StepConjugate(QMatrix& j, int n) {
    if (n < 2) return;
    static const int kMultipliers[][2] = {{1, 1},  {-1, 1}, {2, 1},  {-2, 1}, {1, 2},
                                          {-1, 2}, {3, 1},  {-3, 2}, {1, 3},  {5, 7}};
    const int steps = static_cast<int>(Between(0, 5 * n));
    for (int step = 0; step < steps; ++step) {
      const int s = static_cast<int>(Between(0, n - 1));
      int t = static_cast<int>(Between(0, n - 2));
      if (t >= s) ++t;
      const auto& m = kMultipliers[Between(0, std::size(kMultipliers) - 1)];
      const mpq_class c(m[0], m[1]);
      const int kind = static_cast<int>(Between(0, 9));
      const QMatrix before = j;
      if (kind == 0) {
        std::swap(j[s], j[t]);
        for (auto& row : j) std::swap(row[s], row[t]);
        continue;
      }
      if (kind == 1) {
        // Row s times c, column s over c.
        for (int k = 0; k < n; ++k) j[s][k] *= c;
        for (int k = 0; k < n; ++k) j[k][s] /= c;
      } else {
        // Row t plus c row s; column s minus c column t.
        for (int k = 0; k < n; ++k) j[t][k] += c * j[s][k];
        for (int k = 0; k < n; ++k) j[k][s] -= c * j[k][t];
      }
      bool fits = true;
      for (int k = 0; k < n && fits; ++k) {
        fits = Fits(j[s][k]) && Fits(j[t][k]) && Fits(j[k][s]) && Fits(j[k][t]);
      }
      if (!fits) j = before;
    }
  }

  std::mt19937_64 random_;
};

}  // namespace

int RunEigenvalues(uint64_t seed, int count) {
  EigenGenerator g(seed * 1000003 + 97);
  int exact = 0, wrong = 0, missing = 0;
  for (int i = 0; i < count; ++i) {
    const Drawn d = i < EigenGenerator::kHardCount ? g.Hard(i) : g.Draw(i % 250 == 125);
    const EigenAnalysis analysis = AnalyseEigenvalues(d.a);
    const std::string fault = EigenAnalysisFault(d.a, analysis, d.known ? &d.facts : nullptr);
    if (fault.empty()) {
      ++exact;
      continue;
    }
    ++(fault.rfind("missing", 0) == 0 ? missing : wrong);
    if (wrong + missing <= 5) {
      std::printf("eigenvalues WRONG (matrix %d):\n  typed: \"%s\"\n  shown: \"%s\"\n  %s\n", i,
                  Escaped(TypedText(d.a, d.a.rows, d.a.cols), 4000).c_str(),
                  Escaped(EigenvalueText(analysis), 4000).c_str(), fault.c_str());
    }
  }
  std::printf("\neigenvalues: %d matrices, %d exact, %d wrong, %d missing\n", count, exact, wrong,
              missing);
  return wrong + missing;
}

}  // namespace calc::testing
