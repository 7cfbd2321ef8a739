#include "characteristic_polynomial.h"

#include <cmath>
#include <memory>
#include <vector>

#include "elimination.h"
#include "modular.h"

namespace calc {

namespace {

// Hessenberg form of h (n x n, from 0) by similarity, then its
// characteristic polynomial by the recurrence on the leading blocks; all
// in Montgomery's form. Writes n + 1 coefficients from degree 0 up.
void CharacteristicPolynomialMod(Limb h[kMaxOrder][kMaxOrder], int n,
                                 const CharacteristicArithmetic& m, Limb* result) {
  Limb u[kMaxOrder];
  for (int c = 1; c + 1 < n; ++c) {
    int i = c;
    while (i < n && h[i][c - 1] == 0) ++i;
    if (i == n) continue;
    if (i != c) {
      for (int j = 0; j < n; ++j) std::swap(h[i][j], h[c][j]);
      for (int j = 0; j < n; ++j) std::swap(h[j][i], h[j][c]);
    }
    // Rows r > c -= u_r row c, then column c += sum of u_r column r: one
    // similarity (the steps commute). Left of column c - 1 the rows hold
    // zeros already; row c is not changed by the row steps.
    const Limb inverse = m.Inverse(h[c][c - 1]);
    for (int r = c + 1; r < n; ++r) {
      u[r] = m.Mul(h[r][c - 1], inverse);
      if (u[r] != 0) SubtractMultiple(h[r] + c - 1, h[c] + c - 1, u[r], n - c + 1, m);
    }
    // Column c += the columns r > c times u_r: a dot product in each row.
    for (int j = 0; j < n; ++j) {
      h[j][c] = m.Add(h[j][c], m.Dot(u + c + 1, h[j] + c + 1, 1, n - c - 1));
    }
  }
  // p_k: the characteristic polynomial of the leading k x k block, k + 1
  // coefficients at p[k].
  Limb p[kMaxOrder + 1][kMaxOrder + 1];
  p[0][0] = m.One();
  for (int k = 1; k <= n; ++k) {
    Limb* q = p[k];
    const Limb* last = p[k - 1];
    const Limb diagonal = h[k - 1][k - 1];
    // p_k = (x - h[k-1][k-1]) p_(k-1) - sum over i < k of factor_i p_(i-1),
    // factor_i = h[i-1][k-1] h[i][i-1] ... h[k-1][k-2]: coefficient j of the
    // sum is a dot product of the factors with column j of the p_(i-1).
    Limb factor[kMaxOrder + 1];
    factor[k] = diagonal;  // with p_(k-1) itself
    Limb t = m.One();
    for (int i = k - 1; i >= 1; --i) {
      t = m.Mul(t, h[i][i - 1]);
      factor[i] = m.Mul(h[i - 1][k - 1], t);
    }
    q[k] = last[k - 1];
    for (int j = 0; j < k; ++j) {
      // The p_(i-1) with i - 1 >= j have a coefficient j.
      const Limb sum = m.Dot(factor + j + 1, &p[j][j], kMaxOrder + 1, k - j);
      q[j] = m.Sub(j > 0 ? last[j - 1] : 0, sum);
    }
  }
  for (int j = 0; j <= n; ++j) result[j] = p[n][j];
}

// A bound on log2 of max over k of C(n, k) rho^k, rho the spectral radius
// of a: the coefficient of x^(n - k) in the characteristic polynomial is a
// sum of C(n, k) products of k eigenvalues. rho <= ||A^m||^(1/m) in the
// row-sum norm for every m, which falls towards rho for m = 1, 2, 4, ...
// where A has large entries but small eigenvalues (a similarity by an
// ill-conditioned matrix). The powers are computed in doubles, each with
// a proven bound e on its error: when C is A^m within e (in the norm), its
// computed square F has ||F - C C|| <= gamma ||C||^2, gamma = 2^-40 far
// above n u / (1 - n u) for n <= 20 and u = 2^-52 (which allows for double
// rounding in extended registers), so F is A^2m within gamma ||C||^2 +
// 2 ||C|| e + e^2, plus 2^-1000 for underflow. Every bound worked out in
// doubles is raised by a factor 1 + 2^-40, far more than its rounding
// errors. The squaring stops once the prime count for (base + bound) bits
// reaches `floor`, when further squares promise no prime fewer (below), or
// when the powers grow too large for doubles. kNoBound when the entries
// are beyond machine integers.
constexpr double kNoBound = 1e300;

double SpectralBoundBits(const FractionMatrix& a, int n, double base, int floor, int target) {
  const double up = 1 + std::ldexp(1.0, -40), gamma = std::ldexp(1.0, -40);
  const double tiny = std::ldexp(1.0, -1000), huge = std::ldexp(1.0, 500);
  std::vector<double> c(n * n), next(n * n), log_binomial(n + 1);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const Fraction& x = a(i + 1, j + 1);
      if (!x.num.IsSmall() || !x.den.IsSmall()) return kNoBound;
      c[i * n + j] = static_cast<double>(x.num.Small()) / static_cast<double>(x.den.Small());
    }
  }
  auto norm = [&c, n, up] {
    double most = 0;
    for (int i = 0; i < n; ++i) {
      double sum = 0;
      for (int j = 0; j < n; ++j) sum += std::fabs(c[i * n + j]);
      if (sum > most) most = sum;
    }
    return most * up;
  };
  // Each entry within 3 roundings of a / b: e <= 2^-45 ||C||.
  double size = norm();
  double error = size * std::ldexp(1.0, -45) + tiny;
  double best = kNoBound, last = kNoBound;
  auto primes_for = [base](double bits) {
    return static_cast<int>(std::ceil((base + std::ceil(bits)) / kLimbPrimeBits));
  };
  double binomial = 1;
  for (int k = 1; k <= n; ++k) {
    binomial = binomial * (n - k + 1) / k;  // C(n, k), exact in doubles
    log_binomial[k] = std::log2(binomial);
  }
  for (int m = 1; m <= 1024; m *= 2) {
    const double log_rho = std::log2((size + error) * up) / m + 1e-9;
    double bits = 0;  // k = 0
    for (int k = 1; k <= n; ++k) {
      const double term = log_binomial[k] + k * log_rho;
      if (term > bits) bits = term;
    }
    bits += 1e-6;
    if (bits < best) best = bits;
    if (primes_for(best) <= floor) break;
    // The bound falls about like a + b / m (a similarity's condition
    // spreads over the m-th root): stop when its limit, extrapolated from
    // the last two bounds, would not save a prime over the best so far or
    // over the other bound (`target` primes).
    if (m > 1) {
      const int limit = primes_for(2 * bits - last);
      if (limit >= primes_for(best) || limit >= target) break;
    }
    last = bits;
    // Row by row, so that the innermost loop runs along rows (the bound
    // holds in any order of summation).
    for (int i = 0; i < n; ++i) {
      double* __restrict row = &next[i * n];
      for (int j = 0; j < n; ++j) row[j] = 0;
      for (int k = 0; k < n; ++k) {
        const double x = c[i * n + k];
        const double* __restrict from = &c[k * n];
        for (int j = 0; j < n; ++j) row[j] += x * from[j];
      }
    }
    error = (gamma * size * size + 2 * size * error + error * error) * up + tiny;
    c.swap(next);
    size = norm();
    if (!(size < huge) || !(error < huge)) break;
  }
  return best;
}

// The matrix modulo primes, and how many bits of primes its polynomial
// needs. When the rows cleared of denominators (R A) and their scales r_i
// are machine integers, each entry modulo a prime is (R A)(i, j) / r_i,
// with one inversion for all the scales; otherwise (large denominators)
// each entry is reduced as a fraction, whose numerator and denominator
// stay small, with one inversion for all the denominators.
class MatrixResidues {
 public:
  MatrixResidues(const FractionMatrix& a, int n) : n_(n) {
    const size_t bound_bits = ClearRows(a);
    // Every prime is above 2^kLimbPrimeBits; the product must exceed twice
    // the bound. Or |coefficient| < 2^(bits of prod r_i) C(n, k) rho^k,
    // when that is less.
    needed_bits_ = bound_bits + 2;
    const size_t scale_bits = mpz_sizeinbase(scales_.get(), 2) + 2;
    const int floor = static_cast<int>((scale_bits + kLimbPrimeBits - 1) / kLimbPrimeBits);
    const int target = static_cast<int>((needed_bits_ + kLimbPrimeBits - 1) / kLimbPrimeBits);
    if (target > floor) {
      const double spectral =
          SpectralBoundBits(a, n, static_cast<double>(scale_bits), floor, target);
      if (spectral < kNoBound) {
        const size_t bits = scale_bits + static_cast<size_t>(std::ceil(spectral));
        if (bits < needed_bits_) needed_bits_ = bits;
      }
    }
    scaled_ = true;
    for (int x = 0; x < n * n && scaled_; ++x) scaled_ = small_[x] && small_row_[x / n];
    if (!scaled_) KeepFractions(a);
  }

  size_t NeededBits() const { return needed_bits_; }
  // prod r_i modulo m.p, in Montgomery's form.
  Limb Scales(const CharacteristicArithmetic& m) const {
    return m.To(static_cast<Limb>(mpz_fdiv_ui(scales_.get(), m.p)));
  }

  // The matrix modulo m.p, each residue taken as Montgomery's form as it
  // is: the matrix becomes A 2^-w, whose coefficient of degree k is that of
  // A times 2^(-w(n-k)). False when the prime divides a denominator.
  bool Reduce(const CharacteristicArithmetic& m, Limb h[kMaxOrder][kMaxOrder]) const {
    return scaled_ ? ReduceScaled(m, h) : ReduceFractions(m, h);
  }

 private:
  // R A and the r_i where they fit machine integers, and prod r_i; returns
  // the bits of prod (r_i + |row i of R A|), a bound on the coefficients.
  size_t ClearRows(const FractionMatrix& a) {
    const int n = n_;
    const std::unique_ptr<IntegerRows> rows(new IntegerRows);
    Integer scale[kMaxOrder + 1];
    ClearDenominators(a, n, n, *rows, scale);
    Mpz bound(1L), row_bound, work;
    mpz_set_ui(scales_.get(), 1);
    small_entry_.resize(n * n);
    small_scale_.resize(n);
    small_.resize(n * n);
    small_row_.resize(n);
    for (int i = 1; i <= n; ++i) {
      // The sum of the squares: in doubles while the entries are machine
      // integers (each square within 3 roundings of its value, 19 more in
      // the additions: a relative error below 2^-47), else truncated from
      // the exact sum (below 2^-52), or -1 beyond the doubles' range.
      double sum = 0;
      bool machine = true;
      for (int j = 1; j <= n; ++j) {
        const Integer& x = (*rows)(i, j);
        const int at = (i - 1) * n + j - 1;
        small_[at] = x.IsSmall();
        if (small_[at]) {
          small_entry_[at] = x.Small();
          sum += static_cast<double>(x.Small()) * static_cast<double>(x.Small());
        }
        machine = machine && small_[at];
      }
      if (!machine) {
        Integer squares(0);
        for (int j = 1; j <= n; ++j) squares = squares + (*rows)(i, j) * (*rows)(i, j);
        squares.CopyTo(row_bound.get());
        sum = mpz_sizeinbase(row_bound.get(), 2) <= 900 ? mpz_get_d(row_bound.get()) : -1;
      }
      small_row_[i - 1] = scale[i].IsSmall();
      if (small_row_[i - 1]) small_scale_[i - 1] = scale[i].Small();
      // r + |row| + 1 bounds the row's factor.
      if (sum >= 0) {
        // In doubles: the sum's square root rounded once, raised by a
        // factor 1 + 2^-40 and by 2, exceeds the exact root.
        const double root = std::sqrt(sum) * (1 + std::ldexp(1.0, -40)) + 2;
        mpz_set_d(row_bound.get(), std::ceil(root));
      } else {
        SquareRoot(row_bound.get(), row_bound.get());
        mpz_add_ui(row_bound.get(), row_bound.get(), 1);
      }
      scale[i].CopyTo(work.get());
      mpz_add(row_bound.get(), row_bound.get(), work.get());
      mpz_mul(bound.get(), bound.get(), row_bound.get());
      mpz_mul(scales_.get(), scales_.get(), work.get());
    }
    return mpz_sizeinbase(bound.get(), 2);
  }

  void KeepFractions(const FractionMatrix& a) {
    const int n = n_;
    small_num_.resize(n * n);
    small_den_.resize(n * n);
    num_.resize(n * n);
    den_.resize(n * n);
    for (int x = 0; x < n * n; ++x) {
      const Fraction& v = a(x / n + 1, x % n + 1);
      small_[x] = v.num.IsSmall() && v.den.IsSmall();
      if (small_[x]) {
        small_num_[x] = v.num.Small();
        small_den_[x] = v.den.Small();
      } else {
        v.num.CopyTo(num_[x].get());
        v.den.CopyTo(den_[x].get());
      }
    }
  }

  bool ReduceScaled(const CharacteristicArithmetic& m, Limb h[kMaxOrder][kMaxOrder]) const {
    const int64_t p = static_cast<int64_t>(m.p);
    Limb scale[kMaxOrder], inverse[kMaxOrder];
    for (int i = 0; i < n_; ++i) {
      scale[i] = ResidueOf(small_scale_[i], p);
      if (scale[i] == 0) return false;
      inverse[i] = m.To(scale[i]);
    }
    BatchInverse(m, inverse, n_);
    for (int i = 0; i < n_; ++i) {
      for (int j = 0; j < n_; ++j) {
        const Limb value = ResidueOf(small_entry_[i * n_ + j], p);
        h[i][j] = scale[i] == 1 ? value : m.Mul(value, inverse[i]);
      }
    }
    return true;
  }

  bool ReduceFractions(const CharacteristicArithmetic& m, Limb h[kMaxOrder][kMaxOrder]) const {
    const int64_t p = static_cast<int64_t>(m.p);
    Limb num[kMaxOrder * kMaxOrder], inverse[kMaxOrder * kMaxOrder];
    for (int x = 0; x < n_ * n_; ++x) {
      num[x] = small_[x] ? ResidueOf(small_num_[x], p)
                         : static_cast<Limb>(mpz_fdiv_ui(num_[x].get(), m.p));
      const Limb den = small_[x] ? ResidueOf(small_den_[x], p)
                                 : static_cast<Limb>(mpz_fdiv_ui(den_[x].get(), m.p));
      if (den == 0) return false;
      inverse[x] = m.To(den);
    }
    BatchInverse(m, inverse, n_ * n_);
    for (int x = 0; x < n_ * n_; ++x) h[x / n_][x % n_] = m.Mul(num[x], inverse[x]);
    return true;
  }

  int n_;
  bool scaled_ = true;
  size_t needed_bits_ = 0;
  Mpz scales_;
  std::vector<int64_t> small_entry_, small_scale_, small_num_, small_den_;
  std::vector<bool> small_, small_row_;
  std::vector<Mpz> num_, den_;
};

}  // namespace

// det(x R - R A) for R = diag(r_i), r_i the lcm of row i's denominators: an
// integer polynomial, (prod r_i) times the characteristic polynomial of a.
// Computed modulo word primes and put together by the Chinese remainder
// theorem, with as many primes as a bound on the coefficients asks:
// |coefficient| <= prod (r_i + |row i of R A|).
ZPoly ScaledCharacteristicPolynomial(const FractionMatrix& a, int n) {
  const std::unique_ptr<MatrixResidues> residues(new MatrixResidues(a, n));
  Crt crt(n + 1);
  Limb h[kMaxOrder][kMaxOrder], c[kMaxOrder + 1];
  for (size_t k = 0, bits = 0; bits < residues->NeededBits(); ++k) {
    const CharacteristicArithmetic m(LimbPrime(static_cast<int>(k)));
    if (!residues->Reduce(m, h)) continue;
    CharacteristicPolynomialMod(h, n, m, c);
    // Undo the factors 2^(-w(n-k)), and scale by prod r_i.
    Limb power = residues->Scales(m);
    for (int j = n; j >= 0; --j) {
      c[j] = m.Mul(c[j], power);
      power = m.Mul(power, m.r2);
    }
    crt.Add(m, c);
    bits += kLimbPrimeBits;
  }
  ZPoly coefficient(n + 1);
  for (int j = 0; j <= n; ++j) crt.Symmetric(j, coefficient[j].get());
  Trim(coefficient);
  return coefficient;
}

}  // namespace calc
