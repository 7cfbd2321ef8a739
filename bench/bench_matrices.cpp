#include "bench_matrices.h"

#include <cstdlib>
#include <numeric>

#include "text_forms.h"

namespace calc::bench {

namespace {

// An exact fraction for building the inputs. The values stay far below the
// 64-bit range; an overflow would be a bug in the generator, so it aborts.
struct Q {
  int64_t n = 0;
  int64_t d = 1;
};

int64_t Mul(int64_t a, int64_t b) {
  int64_t r = 0;
  if (__builtin_mul_overflow(a, b, &r)) std::abort();
  return r;
}

int64_t Add(int64_t a, int64_t b) {
  int64_t r = 0;
  if (__builtin_add_overflow(a, b, &r)) std::abort();
  return r;
}

Q Reduce(int64_t n, int64_t d) {
  if (d < 0) {
    n = -n;
    d = -d;
  }
  const int64_t g = std::gcd(n, d);
  return {n / g, d / g};
}

Q operator*(Q a, Q b) {
  return Reduce(Mul(a.n, b.n), Mul(a.d, b.d));
}

Q operator+(Q a, Q b) {
  const int64_t g = std::gcd(a.d, b.d);
  return Reduce(Add(Mul(a.n, b.d / g), Mul(b.n, a.d / g)), Mul(a.d, b.d / g));
}

// A small linear congruential generator: the same numbers on every host.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Below(uint32_t bound) {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) % bound;
  }
  uint32_t Bits32() { return Below(1u << 16) << 16 | Below(1u << 16); }

 private:
  uint32_t state_;
};

}  // namespace

FractionMatrix GenerateMatrix(uint32_t seed, Spread spread, int n, int h) {
  static const Q kSmallDiagonal[] = {{1, 1}, {-1, 1}, {2, 1}, {1, 2}};
  static const Q kLargeDiagonal[] = {{1, 1}, {-3, 7}, {7, 3}, {2, 1}, {-1, 2}, {5, 4}, {4, 5}};
  static const int64_t kSmallDen[] = {1, 2, 3};
  static const int64_t kLargeDen[] = {1, 2, 3, 5, 7, 9};
  const bool large = spread == Spread::kLarge;
  const Q* diagonal = large ? kLargeDiagonal : kSmallDiagonal;
  const int diagonal_count = large ? 7 : 4;
  const int64_t* dens = large ? kLargeDen : kSmallDen;
  const uint32_t den_count = large ? 6 : 3;
  const uint32_t max_num = large ? 4 : 1;

  Random random(seed);
  auto entry = [&] {
    const int64_t num = 1 + random.Below(max_num);
    const int64_t den = dens[random.Below(den_count)];
    return Reduce(random.Below(2) ? num : -num, den);
  };

  Q lower[kMaxOrder + 1][kMaxOrder + 1];
  Q upper[kMaxOrder + 1][kMaxOrder + 1];
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      lower[i][j] = Q{i == j ? 1 : 0, 1};
      upper[i][j] = i == j ? diagonal[(i - 1) % diagonal_count] : Q{0, 1};
    }
  }
  for (int i = h + 1; i <= n; ++i) {
    for (int j = 1; j <= h; ++j) lower[i][j] = entry();
  }
  for (int i = 1; i <= h; ++i) {
    for (int j = h + 1; j <= n; ++j) upper[i][j] = entry();
  }

  FractionMatrix m;
  m.rows = n;
  m.cols = n;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      Q sum;
      for (int k = 1; k <= n; ++k) sum = sum + lower[i][k] * upper[k][j];
      if (sum.n < INT32_MIN || sum.n > INT32_MAX || sum.d > INT32_MAX) std::abort();
      m(i, j) = Fraction{Integer(sum.n), Integer(sum.d)};
    }
  }
  return m;
}

FractionMatrix FullRangeMatrix(uint32_t seed, int n) {
  Random random(seed);
  FractionMatrix m;
  m.rows = n;
  m.cols = n;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      const int32_t num = static_cast<int32_t>(random.Bits32());
      m(i, j) = Fraction{Integer(num), Integer(1 + random.Bits32() % INT32_MAX)};
    }
  }
  return m;
}

FractionMatrix FullRangeRank19Matrix(uint32_t seed) {
  FractionMatrix m = FullRangeMatrix(seed);
  Random random(seed + 1);
  auto half = [&] { return static_cast<int32_t>(random.Bits32()) / 2; };
  for (int j = 1; j <= m.cols; ++j) {
    m(1, j).num = half();
    m(2, j) = Fraction{Integer(half()), m(1, j).den};
    m(20, j) = Fraction{m(1, j).num - m(2, j).num, m(1, j).den};
  }
  return m;
}

std::string MatrixText(const FractionMatrix& m) {
  std::string text;
  for (int i = 1; i <= m.rows; ++i) {
    if (i > 1) text += "\r\n";
    for (int j = 1; j <= m.cols; ++j) {
      if (j > 1) text += ' ';
      AppendFraction(m(i, j), text);
    }
  }
  return text;
}

std::string LongestMatrixText() {
  FractionMatrix m;
  m.rows = kMaxOrder;
  m.cols = kMaxOrder;
  for (int i = 1; i <= kMaxOrder; ++i) {
    for (int j = 1; j <= kMaxOrder; ++j) m(i, j) = Fraction{Integer(INT32_MIN), Integer(INT32_MAX)};
  }
  return MatrixText(m);
}

namespace {

// 20 x 20 random integers -99..99.
FractionMatrix SmallIntegerMatrix(uint32_t seed) {
  Random random(seed);
  FractionMatrix m;
  m.rows = m.cols = 20;
  for (int i = 1; i <= 20; ++i) {
    for (int j = 1; j <= 20; ++j) m(i, j).num = static_cast<int64_t>(random.Below(199)) - 99;
  }
  return m;
}

// P J P^-1 of order 20: J holds the Jordan blocks J3(2), J1(2), J2(-1/3),
// J1(-1/3), J1(5) four times, the companion block of x^2 - 2 twice, joined
// by an identity block (defective), and those of x^2 + x + 1 and x^3 - 3x +
// 1. P is a product of steps that add a small multiple of one row to
// another; each is kept while the entries stay small.
FractionMatrix DefectiveMatrix(uint32_t seed) {
  const int n = 20;
  Q j[kMaxOrder][kMaxOrder];
  int at = 0;
  auto jordan = [&](Q lambda, int size) {
    for (int i = 0; i < size; ++i) {
      j[at + i][at + i] = lambda;
      if (i > 0) j[at + i - 1][at + i] = Q{1, 1};
    }
    at += size;
  };
  // Companion block of x^k + c[k-1] x^(k-1) + ... + c[0] at (base, base).
  auto companion = [&](int base, std::initializer_list<int64_t> c) {
    const int k = static_cast<int>(c.size());
    for (int i = 1; i < k; ++i) j[base + i][base + i - 1] = Q{1, 1};
    int i = 0;
    for (int64_t v : c) j[base + i++][base + k - 1] = Q{-v, 1};
  };
  jordan({2, 1}, 3);
  jordan({2, 1}, 1);
  jordan({-1, 3}, 2);
  jordan({-1, 3}, 1);
  for (int k = 0; k < 4; ++k) jordan({5, 1}, 1);
  companion(at, {-2, 0});
  companion(at + 2, {-2, 0});
  j[at][at + 2] = j[at + 1][at + 3] = Q{1, 1};
  at += 4;
  companion(at, {1, 1});
  at += 2;
  companion(at, {1, -3, 0});
  at += 3;
  if (at != n) std::abort();

  auto small = [](const Q& q) { return q.n >= -(1 << 20) && q.n <= (1 << 20) && q.d <= (1 << 20); };
  Random random(seed);
  for (int step = 0; step < 200; ++step) {
    const int s = static_cast<int>(random.Below(n));
    const int t = (s + 1 + static_cast<int>(random.Below(n - 1))) % n;
    const Q c{static_cast<int64_t>(random.Below(5)) - 2, 1 + random.Below(2)};
    Q row[kMaxOrder], col[kMaxOrder];
    for (int k = 0; k < n; ++k) row[k] = j[t][k];
    // Row t plus c row s, then column s minus c column t.
    for (int k = 0; k < n; ++k) j[t][k] = j[t][k] + c * j[s][k];
    for (int k = 0; k < n; ++k) col[k] = j[k][s];
    for (int k = 0; k < n; ++k) j[k][s] = j[k][s] + Q{-c.n, c.d} * j[k][t];
    bool fits = true;
    for (int k = 0; k < n; ++k) fits = fits && small(j[t][k]) && small(j[k][s]);
    if (fits) continue;
    for (int k = 0; k < n; ++k) j[k][s] = col[k];
    for (int k = 0; k < n; ++k) j[t][k] = row[k];
  }
  FractionMatrix m;
  m.rows = m.cols = n;
  for (int i = 1; i <= n; ++i) {
    for (int k = 1; k <= n; ++k)
      m(i, k) = Fraction{Integer(j[i - 1][k - 1].n), Integer(j[i - 1][k - 1].d)};
  }
  return m;
}

}  // namespace

const std::vector<EigenInput>& EigenInputs() {
  static const std::vector<EigenInput> inputs = {
      {"integers", MatrixText(SmallIntegerMatrix(5))},
      {"full_range", MatrixText(FullRangeMatrix(1))},
      {"defective", MatrixText(DefectiveMatrix(6))},
  };
  return inputs;
}

namespace {

// Rows 19 and 20 of a 20 x 20 matrix made dependent on the others.
FractionMatrix Rank18System(FractionMatrix m, bool sums) {
  for (int j = 1; j <= 20; ++j) {
    m(19, j) = sums ? m(1, j) + m(2, j) : m(1, j);
    m(20, j) = sums ? m(3, j) - m(4, j) : m(2, j);
  }
  return m;
}

}  // namespace

const std::vector<SystemInput>& SystemInputs() {
  static const std::vector<SystemInput> inputs = [] {
    FractionMatrix square = SmallIntegerMatrix(13);
    square.rows = 19;
    std::vector<SystemInput> made = {
        {"integers_rank18", Rank18System(SmallIntegerMatrix(8), true), ""},
        {"full_range_rank18", Rank18System(FullRangeMatrix(11), false), ""},
        {"square19", square, ""},
    };
    for (SystemInput& input : made) input.text = MatrixText(input.matrix);
    return made;
  }();
  return inputs;
}

const InputSet& InRangeSet() {
  static const InputSet set{
      "in_range",
      MatrixText(GenerateMatrix(10, Spread::kLarge)),
      MatrixText(GenerateMatrix(7, Spread::kLarge)),
      // Smaller entries for the product, whose sums of twenty products
      // would otherwise leave the range.
      MatrixText(GenerateMatrix(3, Spread::kSmall)),
      MatrixText(GenerateMatrix(4, Spread::kSmall)),
      "-7/3",
  };
  return set;
}

const InputSet& FullRangeSet() {
  static const InputSet set{
      "full_range",
      MatrixText(FullRangeMatrix(1)),
      MatrixText(FullRangeMatrix(2)),
      MatrixText(FullRangeMatrix(1)),
      MatrixText(FullRangeMatrix(2)),
      MatrixText(FullRangeMatrix(3, 1)),
  };
  return set;
}

}  // namespace calc::bench
