#include "characteristic_polynomial.h"

#include <cmath>
#include <vector>

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
  std::vector<double> c(n * n), next(n * n);
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
  for (int m = 1; m <= 1024; m *= 2) {
    const double log_rho = std::log2((size + error) * up) / m + 1e-9;
    double bits = 0, binomial = 1;  // k = 0
    for (int k = 1; k <= n; ++k) {
      binomial = binomial * (n - k + 1) / k;  // C(n, k), exact in doubles
      const double term = std::log2(binomial) + k * log_rho;
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
      double* row = &next[i * n];
      for (int j = 0; j < n; ++j) row[j] = 0;
      for (int k = 0; k < n; ++k) {
        const double x = c[i * n + k];
        const double* from = &c[k * n];
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

}  // namespace

// det(x R - R A) for R = diag(r_i), r_i the lcm of row i's denominators: an
// integer polynomial, (prod r_i) times the characteristic polynomial of a.
// Computed modulo word primes and put together by the Chinese remainder
// theorem, with as many primes as a bound on the coefficients asks:
// |coefficient| <= prod (r_i + |row i of R A|).
ZPoly ScaledCharacteristicPolynomial(const FractionMatrix& a, int n) {
  Mpz bound(1L), scales(1L), row_bound, work;
  // The rows cleared of denominators, R A, and the scales r_i: when all of
  // them are machine integers, the entries modulo each prime are
  // (R A)(i, j) / r_i, with one inversion for all the scales.
  std::vector<int64_t> small_entry(n * n), small_scale(n);
  std::vector<bool> small(n * n), small_row(n);
  for (int i = 1; i <= n; ++i) {
    Integer r(1), sum(0);
    for (int j = 1; j <= n; ++j) r = Lcm(r, a(i, j).den);
    for (int j = 1; j <= n; ++j) {
      const Integer scaled = a(i, j).num * (a(i, j).den.IsOne() ? r : DivideExact(r, a(i, j).den));
      sum = sum + scaled * scaled;
      const int x = (i - 1) * n + j - 1;
      small[x] = scaled.IsSmall();
      if (small[x]) small_entry[x] = scaled.Small();
    }
    small_row[i - 1] = r.IsSmall();
    if (small_row[i - 1]) small_scale[i - 1] = r.Small();
    // r + |row| + 1 bounds the row's factor.
    sum.CopyTo(row_bound.get());
    if (mpz_sizeinbase(row_bound.get(), 2) <= 900) {
      // In doubles: the sum truncated (relative error below 2^-52), its
      // square root rounded once, raised by a factor 1 + 2^-40 and by 2,
      // exceeds the exact root.
      const double root = std::sqrt(mpz_get_d(row_bound.get())) * (1 + std::ldexp(1.0, -40)) + 2;
      mpz_set_d(row_bound.get(), std::ceil(root));
    } else {
      SquareRoot(row_bound.get(), row_bound.get());
      mpz_add_ui(row_bound.get(), row_bound.get(), 1);
    }
    r.CopyTo(work.get());
    mpz_add(row_bound.get(), row_bound.get(), work.get());
    mpz_mul(bound.get(), bound.get(), row_bound.get());
    mpz_mul(scales.get(), scales.get(), work.get());
  }
  // Every prime is above 2^kLimbPrimeBits; the product must exceed 2 bound.
  size_t needed_bits = mpz_sizeinbase(bound.get(), 2) + 2;
  // Or |coefficient| < 2^(bits of prod r_i) C(n, k) rho^k, when that is less.
  const size_t scale_bits = mpz_sizeinbase(scales.get(), 2) + 2;
  const int floor = static_cast<int>((scale_bits + kLimbPrimeBits - 1) / kLimbPrimeBits);
  const int target = static_cast<int>((needed_bits + kLimbPrimeBits - 1) / kLimbPrimeBits);
  if (target > floor) {
    const double spectral = SpectralBoundBits(a, n, static_cast<double>(scale_bits), floor, target);
    if (spectral < kNoBound) {
      const size_t bits = scale_bits + static_cast<size_t>(std::ceil(spectral));
      if (bits < needed_bits) needed_bits = bits;
    }
  }

  // When the cleared rows leave machine integers (large denominators), each
  // entry is reduced as a fraction instead: its numerator and denominator
  // stay small, and the denominators' inverses come from one inversion.
  bool scaled = true;
  for (int x = 0; x < n * n && scaled; ++x) scaled = small[x] && small_row[x / n];
  std::vector<int64_t> small_num, small_den;
  std::vector<Mpz> num, den;
  std::vector<Limb> num_mod, den_mod, entry_prefix;
  if (!scaled) {
    small_num.resize(n * n);
    small_den.resize(n * n);
    num.resize(n * n);
    den.resize(n * n);
    num_mod.resize(n * n);
    den_mod.resize(n * n);
    entry_prefix.resize(n * n);
    for (int x = 0; x < n * n; ++x) {
      const Fraction& v = a(x / n + 1, x % n + 1);
      small[x] = v.num.IsSmall() && v.den.IsSmall();
      if (small[x]) {
        small_num[x] = v.num.Small();
        small_den[x] = v.den.Small();
      } else {
        v.num.CopyTo(num[x].get());
        v.den.CopyTo(den[x].get());
      }
    }
  }
  std::vector<Mpz> coefficient(n + 1);
  Mpz modulus(1L);
  Limb h[kMaxOrder][kMaxOrder];
  size_t bits = 0;
  for (int k = 0; bits < needed_bits; ++k) {
    const CharacteristicArithmetic m(LimbPrime(k));
    const int64_t p = static_cast<int64_t>(m.p);
    auto reduce = [p](int64_t v) {
      // Within 2p of 0 (as typed values are, p > 2^30) no division needed.
      if (v >= -2 * p && v < 2 * p) {
        if (v < 0) v += p;
        if (v < 0) v += p;
        if (v >= p) v -= p;
        return static_cast<Limb>(v);
      }
      const int64_t r = v % p;
      return static_cast<Limb>(r < 0 ? r + p : r);
    };
    if (!scaled) {
      bool usable = true;
      for (int x = 0; x < n * n && usable; ++x) {
        num_mod[x] = small[x] ? reduce(small_num[x]) : mpz_fdiv_ui(num[x].get(), m.p);
        den_mod[x] = small[x] ? reduce(small_den[x]) : mpz_fdiv_ui(den[x].get(), m.p);
        usable = den_mod[x] != 0;
      }
      if (!usable) continue;
      Limb product = m.One();
      for (int x = 0; x < n * n; ++x) {
        entry_prefix[x] = product;
        if (den_mod[x] != 1) product = m.Mul(product, m.To(den_mod[x]));
      }
      Limb running = m.Inverse(product);
      // Residues taken as Montgomery's forms as they are, as below.
      for (int x = n * n - 1; x >= 0; --x) {
        if (den_mod[x] == 1) {
          h[x / n][x % n] = num_mod[x];
          continue;
        }
        h[x / n][x % n] = m.Mul(m.Mul(num_mod[x], entry_prefix[x]), running);
        running = m.Mul(running, m.To(den_mod[x]));
      }
    }
    if (scaled) {
      bool usable = true;
      Limb scale_mod[kMaxOrder], prefix[kMaxOrder], inverse_scale[kMaxOrder];
      for (int i = 0; i < n && usable; ++i) {
        scale_mod[i] = reduce(small_scale[i]);
        usable = scale_mod[i] != 0;
      }
      if (!usable) continue;
      // The scales' inverses at once: one inversion of their product.
      Limb product = m.One();
      for (int i = 0; i < n; ++i) {
        prefix[i] = product;
        if (scale_mod[i] != 1) product = m.Mul(product, m.To(scale_mod[i]));
      }
      Limb running = m.Inverse(product);
      for (int i = n - 1; i >= 0; --i) {
        if (scale_mod[i] == 1) continue;
        inverse_scale[i] = m.Mul(prefix[i], running);
        running = m.Mul(running, m.To(scale_mod[i]));
      }
      // Each residue taken as Montgomery's form as it is: the matrix becomes
      // A 2^-w, whose coefficient of degree k is that of A times
      // 2^(-w(n-k)), undone below.
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          const Limb value = reduce(small_entry[i * n + j]);
          h[i][j] = scale_mod[i] == 1 ? value : m.Mul(value, inverse_scale[i]);
        }
      }
    }
    Limb c[kMaxOrder + 1];
    CharacteristicPolynomialMod(h, n, m, c);
    Limb power = m.One();  // 2^(w(n-k)) in Montgomery's form
    for (int j = n; j >= 0; --j) {
      c[j] = m.Mul(c[j], power);
      power = m.Mul(power, m.r2);
    }
    // Chinese remainder: x += modulus ((c scales - x) / modulus mod p), all
    // in Montgomery's form until the step u.
    const Limb scale = m.To(mpz_fdiv_ui(scales.get(), m.p));
    const Limb step = m.Inverse(m.To(mpz_fdiv_ui(modulus.get(), m.p)));
    for (int j = 0; j <= n; ++j) {
      const Limb now = m.To(mpz_fdiv_ui(coefficient[j].get(), m.p));
      const Limb u = m.From(m.Mul(m.Sub(m.Mul(c[j], scale), now), step));
      mpz_addmul_ui(coefficient[j].get(), modulus.get(), u);
    }
    mpz_mul_ui(modulus.get(), modulus.get(), m.p);
    bits += kLimbPrimeBits;
  }
  mpz_fdiv_q_2exp(work.get(), modulus.get(), 1);
  for (Mpz& c : coefficient) {
    if (mpz_cmp(c.get(), work.get()) > 0) mpz_sub(c.get(), c.get(), modulus.get());
  }
  Trim(coefficient);
  return coefficient;
}

}  // namespace calc
