#include "eigen.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "eigenspace.h"
#include "elimination.h"
#include "factorisation.h"
#include "polynomial.h"
#include "quadratic_eigenspace.h"
#include "roots.h"

namespace calc {

namespace {

// --- The characteristic polynomial -----------------------------------------

// Arithmetic modulo an odd prime p below 2^(bits of Word - 1) in
// Montgomery's form: a value x is held as x 2^w mod p (w the bits of Word),
// so that a product needs multiplications and shifts but no division.
template <typename Word, typename Wide>
struct MontgomeryOf {
  static constexpr int kBits = 8 * sizeof(Word);
  Word p, minus_inverse, r2, r3, one;
  explicit MontgomeryOf(Word prime) : p(prime) {
    Word inverse = p;  // p^-1 modulo 2^w by Newton's iteration
    for (int i = 0; i < 6; ++i) inverse *= 2 - p * inverse;
    minus_inverse = 0 - inverse;
    one = static_cast<Word>((Wide{1} << kBits) % p);
    r2 = static_cast<Word>(static_cast<Wide>(one) * one % p);
    r3 = Mul(r2, r2);
  }
  // x mod p for x < 2p, without a branch: x - p wraps to a number with
  // its top bit set exactly when x < p (p is below 2^(w-1)).
  Word Fold(Word x) const {
    const Word r = x - p;
    return r + (p & (0 - (r >> (kBits - 1))));
  }
  // t 2^-w mod p, for t < p 2^w.
  Word Redc(Wide t) const {
    const Word m = static_cast<Word>(t) * minus_inverse;
    return Fold(static_cast<Word>((t + static_cast<Wide>(m) * p) >> kBits));
  }
  Word Mul(Word a, Word b) const { return Redc(static_cast<Wide>(a) * b); }
  Word Add(Word a, Word b) const { return Fold(a + b); }
  Word Sub(Word a, Word b) const { return Fold(a + (p - b)); }
  // The sum of count products a[k] b[k stride], reduced once per kLazy
  // products: that many stay below p 2^w, as Redc asks (p is below 2^62
  // for 64-bit words, below 2^31 for 32-bit ones).
  static constexpr int kLazy = kBits == 64 ? 4 : 2;
  Word Dot(const Word* a, const Word* b, int stride, int count) const {
    Word sum = 0;
    for (int k = 0; k < count; k += kLazy) {
      Wide t = 0;
      const int end = k + kLazy < count ? k + kLazy : count;
      for (int i = k; i < end; ++i) t += static_cast<Wide>(a[i]) * b[i * stride];
      sum = Add(sum, Redc(t));
    }
    return sum;
  }
  Word One() const { return one; }
  Word To(Word a) const { return Mul(a, r2); }
  Word From(Word a) const { return Redc(a); }
  // The inverse of a (not 0) in Montgomery's form. The extended Euclidean
  // algorithm inverts the stored residue a = x 2^w itself, giving
  // x^-1 2^-w; one product with 2^3w makes that x^-1 2^w. Its division
  // steps are few (36 on average near 2^62): about twice as fast as
  // a^(p - 2) by squaring, whose 90 products each wait for the one before.
  Word Inverse(Word a) const {
    using Signed = int64_t;
    Word r0 = p, r1 = a;
    Signed t0 = 0, t1 = 1;  // |t| stays below p
    while (r1 != 0) {
      const Word q = r0 / r1, rest = r0 - q * r1;
      const Signed t2 = t0 - static_cast<Signed>(q) * t1;
      r0 = r1;
      r1 = rest;
      t0 = t1;
      t1 = t2;
    }
    const Word plain = static_cast<Word>(t0 < 0 ? t0 + static_cast<Signed>(p) : t0);
    return Mul(plain, r3);
  }
};

using Montgomery = MontgomeryOf<uint32_t, uint64_t>;

// The characteristic polynomial takes the widest primes the machine
// multiplies in one step: below 2^62 where 128-bit products exist, below
// 2^31 otherwise.
#ifdef __SIZEOF_INT128__
using Limb = uint64_t;
using CharacteristicArithmetic = MontgomeryOf<uint64_t, unsigned __int128>;
constexpr int kLimbPrimeBits = 61;

bool IsPrimeLimb(uint64_t n) {
  if (n % 3 == 0 || n % 5 == 0 || n % 7 == 0 || n % 11 == 0 || n % 13 == 0) return false;
  const CharacteristicArithmetic m(n);
  uint64_t d = n - 1;
  int s = 0;
  while (d % 2 == 0) {
    d /= 2;
    ++s;
  }
  const uint64_t minus_one = m.Sub(0, m.One());
  // Exact below 3.3 * 10^24 with these bases.
  for (uint64_t a : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
    uint64_t x = m.One(), base = m.To(a);
    for (uint64_t e = d; e != 0; e >>= 1) {
      if (e & 1) x = m.Mul(x, base);
      base = m.Mul(base, base);
    }
    if (x == m.One() || x == minus_one) continue;
    bool composite = true;
    for (int i = 1; i < s && composite; ++i) {
      x = m.Mul(x, x);
      composite = x != minus_one;
    }
    if (composite) return false;
  }
  return true;
}

// The k-th prime below 2^62, counted downwards; a table made on first use.
uint64_t LimbPrime(int k) {
  static uint64_t* table = nullptr;
  static int count = 0;
  if (table == nullptr) table = new uint64_t[512];
  uint64_t c = count == 0 ? (uint64_t{1} << 62) - 1 : table[count - 1] - 2;
  for (int found = count - 1; found < k; c -= 2) {
    while (!IsPrimeLimb(c)) c -= 2;
    if (count < 512) table[count++] = c;
    if (++found == k) return c;
  }
  return table[k];
}
#else
using Limb = uint32_t;
using CharacteristicArithmetic = Montgomery;
constexpr int kLimbPrimeBits = 30;

uint32_t LimbPrime(int k) {
  return WordPrime(k);
}
#endif

// dst[j] -= u src[j], j < count.
template <typename Word, typename Arithmetic>
void SubtractMultiple(Word* __restrict dst, const Word* __restrict src, Word u, int count,
                      const Arithmetic& m) {
  for (int j = 0; j < count; ++j) dst[j] = m.Sub(dst[j], m.Mul(u, src[j]));
}

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

// --- Square-free decomposition (Yun) ---------------------------------------

struct Part {
  ZPoly factor;  // primitive, square-free
  int multiplicity;
};

std::vector<Part> SquareFreeParts(const ZPoly& f) {
  const ZPoly df = Derivative(f);
  ZPoly b, c, d;
  ZPoly a = Gcd(f, df, &b, &c);
  if (Degree(a) == 0) return {{f, 1}};
  std::vector<Part> parts;
  for (int i = 1;; ++i) {
    // d = c - b'
    d = c;
    const ZPoly db = Derivative(b);
    if (d.size() < db.size()) d.resize(db.size());
    for (size_t k = 0; k < db.size(); ++k) mpz_sub(d[k].get(), d[k].get(), db[k].get());
    Trim(d);
    ZPoly next;
    if (d.empty()) {
      a = b;
      MakePrimitive(a);
      DivideExactly(b, a, next);
      c.clear();
    } else {
      // a = gcd(b, d), with b / a and d / a.
      a = Gcd(b, d, &next, &c);
    }
    if (Degree(a) > 0) parts.push_back({a, i});
    b = std::move(next);
    if (Degree(b) <= 0) break;
  }
  return parts;
}

// --- Small factors ---------------------------------------------------------

// Whether t may have a linear or a quadratic factor over Q, from its
// factors' degrees modulo a few primes: a linear factor over Q leaves a root
// modulo every prime not dividing lc(t), a quadratic one an irreducible
// quadratic factor or two roots.
struct SmallFactors {
  bool linear = true;
  bool quadratic = true;
};

SmallFactors SmallFactorsPossible(const ZPoly& t) {
  SmallFactors possible;
  int tried = 0;
  for (int k = 0; k < 60 && tried < 16 && (possible.linear || possible.quadratic); ++k) {
    const ModPrime m{SmallPrime(k)};
    if (m.Reduce(Lead(t)) == 0) continue;
    ModPoly f = ReduceModulo(t, m);
    if (GcdMod(f, DerivativeMod(f, m), m).size() != 1) continue;
    const uint32_t inverse = m.Inverse(f.back());
    for (uint32_t& c : f) c = m.Mul(c, inverse);
    ++tried;
    const ModPoly x{0, 1};
    auto roots_of = [&](const ModPoly& power) {
      ModPoly g = power;  // x^(p^k) - x
      if (g.size() < 2) g.resize(2, 0);
      g[1] = m.Sub(g[1], 1);
      TrimMod(g);
      return static_cast<int>(GcdMod(g, f, m).size()) - 1;
    };
    const ModPoly xp = PowerMod(x, m.p, f, m);
    const int n1 = roots_of(xp);
    const int n2 = (roots_of(PowerMod(xp, m.p, f, m)) - n1) / 2;
    if (n1 == 0) possible.linear = false;
    if (n2 == 0 && n1 < 2) possible.quadratic = false;
  }
  return possible;
}

// --- Text pieces -----------------------------------------------------------

std::string IntegerText(mpz_srcptr v) {
  std::string s(mpz_sizeinbase(v, 10) + 2, '\0');
  mpz_get_str(&s[0], 10, v);
  s.resize(s.find('\0'));
  return s;
}

std::string NumberText(long v) {
  char digits[24];
  return std::string(digits, WriteDecimal(v, digits));
}

std::string FractionText(mpq_srcptr q) {
  std::string s = IntegerText(mpq_numref(q));
  if (mpz_cmp_ui(mpq_denref(q), 1) != 0) s += "/" + IntegerText(mpq_denref(q));
  return s;
}

class Mpq {
 public:
  Mpq() { mpq_init(v_); }
  Mpq(const Mpq& o) {
    mpq_init(v_);
    mpq_set(v_, o.v_);
  }
  Mpq& operator=(const Mpq& o) {
    mpq_set(v_, o.v_);
    return *this;
  }
  ~Mpq() { mpq_clear(v_); }
  mpq_ptr get() { return v_; }
  mpq_srcptr get() const { return v_; }

 private:
  mpq_t v_;
};

// f / lc(f), written from the highest power down.
std::string MonicText(const ZPoly& f) {
  std::string s;
  Mpq c;
  const bool monic = mpz_cmp_ui(Lead(f), 1) == 0;  // every coefficient over 1
  for (int k = Degree(f); k >= 0; --k) {
    if (f[k].Sign() == 0) continue;
    mpq_set_num(c.get(), f[k].get());
    mpq_set_den(c.get(), Lead(f));
    if (!monic) mpq_canonicalize(c.get());
    const bool negative = mpq_sgn(c.get()) < 0;
    if (s.empty()) {
      if (negative) s += '-';
    } else {
      s += negative ? " - " : " + ";
    }
    mpq_abs(c.get(), c.get());
    const bool one =
        mpz_cmp_ui(mpq_numref(c.get()), 1) == 0 && mpz_cmp_ui(mpq_denref(c.get()), 1) == 0;
    if (k == 0) {
      s += FractionText(c.get());
    } else if (!one) {
      const bool whole = mpz_cmp_ui(mpq_denref(c.get()), 1) == 0;
      s += whole ? FractionText(c.get()) : "(" + FractionText(c.get()) + ")";
    }
    if (k >= 1) s += "λ";
    if (k >= 2) s.append("^").append(NumberText(k));
  }
  return s;
}

// --- Quadratic factors: exact roots and their decimals ---------------------

// |v| = s^2 d with every square factor pulled into s that these find: the
// primes up to 3000 are divided out completely (their odd powers stay in
// d); the cofactor left then has no prime factor below 3000, and is pulled
// out whole when it is a perfect square. A cofactor below 3000^3 has at
// most two prime factors, so there d is square-free; above, only a square
// of a prime beyond 3000 times further such primes may stay.
void PullSquares(mpz_srcptr v, Mpz& s, Mpz& d) {
  Mpz rest;
  mpz_abs(rest.get(), v);
  mpz_set_ui(s.get(), 1);
  mpz_set_ui(d.get(), 1);
  for (unsigned long p = 2; p <= 3000 && mpz_cmp_ui(rest.get(), p) >= 0; p += p == 2 ? 1 : 2) {
    int power = 0;
    while (mpz_divisible_ui_p(rest.get(), p)) {
      mpz_divexact_ui(rest.get(), rest.get(), p);
      ++power;
    }
    for (int k = 0; k + 1 < power; k += 2) mpz_mul_ui(s.get(), s.get(), p);
    if (power % 2 == 1) mpz_mul_ui(d.get(), d.get(), p);
  }
  if (IsSquare(rest.get())) {
    SquareRoot(rest.get(), rest.get());
    mpz_mul(s.get(), s.get(), rest.get());
  } else {
    mpz_mul(d.get(), d.get(), rest.get());
  }
}

std::string RadicalText(mpz_srcptr s, mpz_srcptr d) {
  std::string t = mpz_cmp_ui(s, 1) == 0 ? "" : IntegerText(s);
  if (mpz_cmp_ui(d, 1) != 0) t += "√" + IntegerText(d);
  return t;
}

// An isolating disk of (p + sign s sqrt(d)) / q on the grid 2^-e (q > 0):
// with T = floor(sqrt(d) 2^e), the value times 2^e lies within s/q + 1 of
// (p 2^e + sign s T) / q.
void RadicalDisk(mpz_srcptr p, int sign, mpz_srcptr s, mpz_srcptr d, mpz_srcptr q, long e,
                 mpz_ptr centre, mpz_ptr radius) {
  Mpz t;
  mpz_mul_2exp(t.get(), d, 2 * e);
  SquareRoot(t.get(), t.get());
  mpz_mul(t.get(), t.get(), s);
  if (sign < 0) mpz_neg(t.get(), t.get());
  mpz_mul_2exp(centre, p, e);
  mpz_add(centre, centre, t.get());
  mpz_fdiv_q(centre, centre, q);
  mpz_cdiv_q(radius, s, q);
  mpz_add_ui(radius, radius, 2);
}

// The roots of the irreducible a x^2 + b x + c (a > 0), exactly and in
// certified decimals: "(5 ± √33)/2 ≈ 5.372281323, -0.3722813233".
// Whether the quadratic a x^2 + b x + c has complex roots.
bool HasComplexRoots(const ZPoly& f) {
  Mpz disc, g;
  mpz_mul(disc.get(), f[1].get(), f[1].get());
  mpz_mul(g.get(), f[2].get(), f[0].get());
  mpz_submul_ui(disc.get(), g.get(), 4);
  return disc.Sign() < 0;
}

std::string QuadraticRootsText(const ZPoly& f) {
  mpz_srcptr a = f[2].get(), b = f[1].get(), c = f[0].get();
  Mpz disc, s, d, p, q, g;
  mpz_mul(disc.get(), b, b);
  mpz_mul(g.get(), a, c);
  mpz_submul_ui(disc.get(), g.get(), 4);
  PullSquares(disc.get(), s, d);
  mpz_neg(p.get(), b);
  mpz_mul_2exp(q.get(), a, 1);
  std::string text;
  const long base = static_cast<long>(mpz_sizeinbase(disc.get(), 2) + mpz_sizeinbase(q.get(), 2));
  if (disc.Sign() > 0) {
    // (p ± s√d) / q with gcd(p, s, q) = 1.
    mpz_gcd(g.get(), p.get(), s.get());
    mpz_gcd(g.get(), g.get(), q.get());
    for (Mpz* v : {&p, &s, &q}) mpz_divexact(v->get(), v->get(), g.get());
    std::string top = p.Sign() == 0 ? "±" + RadicalText(s.get(), d.get())
                                    : IntegerText(p.get()) + " ± " + RadicalText(s.get(), d.get());
    if (mpz_cmp_ui(q.get(), 1) != 0) {
      text = (p.Sign() == 0 ? top : "(" + top + ")") + "/" + IntegerText(q.get());
    } else {
      text = top;
    }
    text += " ≈ ";
    for (int sign : {1, -1}) {
      if (sign < 0) text += ", ";
      for (long e = 64 + base;; e *= 2) {
        Disk disk;
        RadicalDisk(p.get(), sign, s.get(), d.get(), q.get(), e, disk.re.get(), disk.radius.get());
        if (CertifiedDecimal(disk, e, false, text)) break;
      }
    }
    return text;
  }
  // p/q ± (s√d/q) i, each part reduced on its own.
  Mpq re, im;
  mpq_set_num(re.get(), p.get());
  mpq_set_den(re.get(), q.get());
  mpq_canonicalize(re.get());
  mpq_set_num(im.get(), s.get());
  mpq_set_den(im.get(), q.get());
  mpq_canonicalize(im.get());
  std::string imaginary;
  const bool one_over = mpz_cmp_ui(mpq_denref(im.get()), 1) == 0;
  if (mpz_cmp_ui(d.get(), 1) == 0) {
    if (one_over) {
      imaginary =
          mpz_cmp_ui(mpq_numref(im.get()), 1) == 0 ? "i" : IntegerText(mpq_numref(im.get())) + "i";
    } else {
      imaginary = "(" + FractionText(im.get()) + ")i";
    }
  } else {
    imaginary = "(" + RadicalText(mpq_numref(im.get()), d.get()) +
                (one_over ? "" : "/" + IntegerText(mpq_denref(im.get()))) + ")i";
  }
  text = mpq_sgn(re.get()) == 0 ? "±" + imaginary : FractionText(re.get()) + " ± " + imaginary;
  // Both parts rational: the exact value is as plain as a decimal.
  if (mpz_cmp_ui(d.get(), 1) == 0) return text;
  text += " ≈ ";
  for (long e = 64 + base;; e *= 2) {
    Disk disk;
    Mpz zero, radius;
    mpz_mul_2exp(disk.re.get(), p.get(), e);
    mpz_fdiv_q(disk.re.get(), disk.re.get(), q.get());
    RadicalDisk(zero.get(), 1, s.get(), d.get(), q.get(), e, disk.im.get(), disk.radius.get());
    mpz_add_ui(disk.radius.get(), disk.radius.get(), 1);
    if (CertifiedDecimal(disk, e, true, text)) break;
  }
  return text;
}

// "  几何重数各 g", the eigenvectors of the root with "+" of the irreducible
// quadratic q (numbered on from vector_number), and a line saying that the
// other root's are their conjugates; returns g.
int PutQuadraticEigenvectors(const FractionMatrix& a, int n, const ZPoly& q, int& vector_number,
                             std::string& lines) {
  Mpz disc, g, s, d;
  mpz_mul(disc.get(), q[1].get(), q[1].get());
  mpz_mul(g.get(), q[2].get(), q[0].get());
  mpz_submul_ui(disc.get(), g.get(), 4);
  PullSquares(disc.get(), s, d);
  if (disc.Sign() < 0) mpz_neg(d.get(), d.get());
  const Integer field = Integer::FromGmp(d.get());
  const std::vector<std::vector<Surd>> basis =
      QuadraticEigenvectors(a, n, Integer::FromGmp(q[2].get()), Integer::FromGmp(q[1].get()),
                            Integer::FromGmp(s.get()), field);
  lines.append("  几何重数各 ").append(NumberText(static_cast<long>(basis.size())));
  for (const std::vector<Surd>& v : basis) {
    lines.append("\n  ξ").append(NumberText(++vector_number)).append(" = (");
    for (int j = 1; j <= n; ++j) {
      if (j > 1) lines += ", ";
      lines += SurdText(v[j], field);
    }
    lines += ")^T";
  }
  if (disc.Sign() < 0) {
    lines += "\n  另一个根的特征向量是以上向量的共轭 (i 换为 -i)";
  } else {
    lines.append("\n  另一个根的特征向量是以上向量的共轭 (√")
        .append(IntegerText(d.get()))
        .append(" 换为 -√")
        .append(IntegerText(d.get()))
        .append(")");
  }
  return static_cast<int>(basis.size());
}

// --- The roots of one square-free part -------------------------------------

struct Rational {
  Mpz num, den;  // den > 0, reduced
};

bool Less(const Rational& x, const Rational& y) {
  Mpz l, r;
  mpz_mul(l.get(), x.num.get(), y.den.get());
  mpz_mul(r.get(), y.num.get(), x.den.get());
  return mpz_cmp(l.get(), r.get()) < 0;
}

struct PartRoots {
  int multiplicity = 1;
  std::vector<Rational> rational;
  std::vector<ZPoly> quadratics;
  ZPoly rest;  // what remains, degree 0 when nothing does
  std::vector<std::string> decimal_real, decimal_complex;
};

// x / 2^bits rounded to the nearest integer (halves upwards).
void RoundedShift(mpz_ptr r, mpz_srcptr x, long bits) {
  Mpz half;
  mpz_setbit(half.get(), bits - 1);
  mpz_add(r, x, half.get());
  mpz_fdiv_q_2exp(r, r, bits);
}

// q x - p for p / q.
ZPoly LinearFactor(mpz_srcptr p, mpz_srcptr q) {
  ZPoly l(2);
  mpz_neg(l[0].get(), p);
  mpz_set(l[1].get(), q);
  return l;
}

void AddRational(PartRoots& out, mpz_srcptr p, mpz_srcptr q) {
  Rational r;
  mpz_set(r.num.get(), p);
  mpz_set(r.den.get(), q);
  Mpz g;
  mpz_gcd(g.get(), p, q);
  mpz_divexact(r.num.get(), r.num.get(), g.get());
  mpz_divexact(r.den.get(), r.den.get(), g.get());
  if (r.den.Sign() < 0) {
    mpz_neg(r.num.get(), r.num.get());
    mpz_neg(r.den.get(), r.den.get());
  }
  out.rational.push_back(std::move(r));
}

// q(x / 2^e) 4^e for q = c2 x^2 + c1 x + c0: its sign is q's at x / 2^e.
int QuadraticSignAt(const ZPoly& q, mpz_srcptr x, long e) {
  Mpz v, t;
  mpz_mul(v.get(), q[2].get(), x);
  mpz_mul_2exp(t.get(), q[1].get(), e);
  mpz_add(v.get(), v.get(), t.get());
  mpz_mul(v.get(), v.get(), x);
  mpz_mul_2exp(t.get(), q[0].get(), 2 * e);
  mpz_add(v.get(), v.get(), t.get());
  return v.Sign();
}

// Whether the irreducible quadratic q has a root in the disk (grid 2^-e).
// Real disk: a sign change across it. Otherwise the root with positive
// imaginary part, (-c1 + i sqrt(-D)) / (2 c2), is tested against the disk
// (the im > 0 member of the pair) with |Re| + |Im| distances.
bool QuadraticRootInDisk(const ZPoly& q, const Disk& disk, long e) {
  Mpz lo, hi;
  if (disk.im.Sign() == 0) {
    mpz_sub(lo.get(), disk.re.get(), disk.radius.get());
    mpz_add(hi.get(), disk.re.get(), disk.radius.get());
    return QuadraticSignAt(q, lo.get(), e) * QuadraticSignAt(q, hi.get(), e) < 0;
  }
  // In units of 2^-e times 2 c2: real part -c1 2^e, imaginary sqrt(-D) 2^e.
  Mpz two_a, x, rest, minus_disc, t;
  mpz_mul_2exp(two_a.get(), q[2].get(), 1);
  mpz_mul_2exp(x.get(), q[1].get(), e);
  mpz_neg(x.get(), x.get());
  mpz_submul(x.get(), two_a.get(), disk.re.get());
  mpz_abs(x.get(), x.get());  // |Re distance| 2 c2 2^e
  mpz_mul(rest.get(), two_a.get(), disk.radius.get());
  mpz_sub(rest.get(), rest.get(), x.get());  // what the imaginary distance may use
  if (rest.Sign() < 0) return false;
  mpz_mul(minus_disc.get(), q[2].get(), q[0].get());
  mpz_mul_ui(minus_disc.get(), minus_disc.get(), 4);
  mpz_submul(minus_disc.get(), q[1].get(), q[1].get());
  mpz_mul_2exp(minus_disc.get(), minus_disc.get(), 2 * e);  // (sqrt(-D) 2^e)^2
  // 2 c2 b - rest <= sqrt(-D) 2^e <= 2 c2 b + rest
  mpz_mul(t.get(), two_a.get(), disk.im.get());
  mpz_add(hi.get(), t.get(), rest.get());
  mpz_mul(hi.get(), hi.get(), hi.get());
  if (mpz_cmp(minus_disc.get(), hi.get()) > 0) return false;
  mpz_sub(lo.get(), t.get(), rest.get());
  if (lo.Sign() <= 0) return true;
  mpz_mul(lo.get(), lo.get(), lo.get());
  return mpz_cmp(minus_disc.get(), lo.get()) >= 0;
}

// Every root of the square-free part t: rational roots exactly, the roots of
// quadratic factors over Q, and certified decimals of the rest. A rational
// root r of t has D r an integer (D the lcm of all denominators of the
// matrix: D A is an integer matrix, so D r an algebraic integer) and lc(t) r
// one too: so S r is an integer for S = gcd(D, lc(t)); a quadratic factor
// x^2 - sigma x + tau has S sigma and gcd(D^2, lc(t)) tau integers.
PartRoots RootsOfPart(ZPoly t, int multiplicity, mpz_srcptr lcm) {
  PartRoots out;
  out.multiplicity = multiplicity;
  if (t[0].Sign() == 0) {
    Mpz zero, one(1L);
    AddRational(out, zero.get(), one.get());
    t.erase(t.begin());
  }
  if (Degree(t) == 1) {
    Mpz p;
    mpz_neg(p.get(), t[0].get());
    AddRational(out, p.get(), t[1].get());
    out.rest = ZPoly{Mpz(1L)};
    return out;
  }
  if (Degree(t) == 2) {
    Mpz disc, g, root;
    mpz_mul(disc.get(), t[1].get(), t[1].get());
    mpz_mul(g.get(), t[2].get(), t[0].get());
    mpz_submul_ui(disc.get(), g.get(), 4);
    if (IsSquare(disc.get())) {
      SquareRoot(root.get(), disc.get());
      Mpz p, q;
      mpz_mul_2exp(q.get(), t[2].get(), 1);
      for (int sign : {-1, 1}) {
        mpz_neg(p.get(), t[1].get());
        if (sign < 0) {
          mpz_sub(p.get(), p.get(), root.get());
        } else {
          mpz_add(p.get(), p.get(), root.get());
        }
        AddRational(out, p.get(), q.get());
      }
    } else {
      out.quadratics.push_back(t);
    }
    out.rest = ZPoly{Mpz(1L)};
    return out;
  }
  if (Degree(t) <= 0) {
    out.rest = ZPoly{Mpz(1L)};
    return out;
  }

  const int d = Degree(t);
  // With a small scale the candidates are few and cheap to test; with a
  // large one the sieve saves refining the roots to its size.
  Mpz scale;
  mpz_gcd(scale.get(), lcm, Lead(t));
  SmallFactors possible;
  if (mpz_sizeinbase(scale.get(), 2) > 64) possible = SmallFactorsPossible(t);
  RootIsolation roots(t);
  roots.Refine();
  enum Kind { kOpen, kFound };
  std::vector<Kind> kind(d, kOpen);
  std::vector<bool> linear_tested(d, !possible.linear);
  std::vector<bool> pair_tested(d * d, false);
  bool quadratic_checked = false;
  ZPoly remaining = t;
  Mpz s1, s2, x, y, k1, k2, one(1L);
  for (;;) {
    const std::vector<Disk>& disks = roots.disks();
    const long e = roots.exponent();
    bool refine = false;
    // Rational roots: one candidate k / S per real disk once the disk is
    // narrower than 1 / (4 S).
    mpz_gcd(s1.get(), lcm, Lead(t));
    for (int i = 0; i < d; ++i) {
      if (linear_tested[i] || disks[i].im.Sign() != 0) continue;
      mpz_mul(x.get(), s1.get(), disks[i].radius.get());
      mpz_mul_2exp(x.get(), x.get(), 2);
      if (mpz_sizeinbase(x.get(), 2) > static_cast<size_t>(e)) {
        refine = true;
        continue;
      }
      linear_tested[i] = true;
      // k = round(S re / 2^e), inside the disk.
      mpz_mul(x.get(), s1.get(), disks[i].re.get());
      RoundedShift(k1.get(), x.get(), e);
      mpz_mul_2exp(y.get(), k1.get(), e);
      mpz_sub(y.get(), y.get(), x.get());
      mpz_mul(x.get(), s1.get(), disks[i].radius.get());
      if (mpz_cmpabs(y.get(), x.get()) > 0) continue;
      Mpz g;
      mpz_gcd(g.get(), k1.get(), s1.get());
      Mpz p, q;
      mpz_divexact(p.get(), k1.get(), g.get());
      mpz_divexact(q.get(), s1.get(), g.get());
      ZPoly quotient;
      if (DivideExactly(remaining, LinearFactor(p.get(), q.get()), quotient)) {
        remaining = std::move(quotient);
        kind[i] = kFound;
        AddRational(out, p.get(), q.get());
      }
    }
    if (refine) {
      roots.Refine();
      continue;
    }
    // Quadratic factors: pairs of real roots, and conjugate pairs.
    if (!quadratic_checked) {
      quadratic_checked = true;
      if (Degree(remaining) < Degree(t) && Degree(remaining) >= 2) {
        possible.quadratic = SmallFactorsPossible(remaining).quadratic;
      }
      if (Degree(remaining) < 2) possible.quadratic = false;
    }
    if (possible.quadratic && Degree(remaining) >= 2) {
      mpz_gcd(s1.get(), lcm, Lead(remaining));
      mpz_mul(s2.get(), lcm, lcm);
      mpz_gcd(s2.get(), s2.get(), Lead(remaining));
      for (int i = 0; i < d && Degree(remaining) >= 2; ++i) {
        for (int j = i + 1; j < d && Degree(remaining) >= 2; ++j) {
          if (kind[i] != kOpen || kind[j] != kOpen || pair_tested[i * d + j]) continue;
          const Disk& u = disks[i];
          const Disk& v = disks[j];
          const bool real = u.im.Sign() == 0 && v.im.Sign() == 0;
          const bool conjugate = u.im.Sign() * v.im.Sign() < 0 &&
                                 mpz_cmp(u.re.get(), v.re.get()) == 0 &&
                                 mpz_cmpabs(u.im.get(), v.im.get()) == 0;
          if (!real && !conjugate) continue;
          // The sum within ru + rv, the product within |u| rv + |v| ru + ru rv.
          mpz_add(x.get(), u.radius.get(), v.radius.get());
          mpz_mul(x.get(), x.get(), s1.get());
          mpz_mul_2exp(x.get(), x.get(), 2);
          // |z| <= |re| + |im|; (|u| + ru) rv + |v| ru bounds the product's error.
          Mpz size_u, size_v;
          mpz_abs(size_u.get(), u.re.get());
          mpz_abs(y.get(), u.im.get());
          mpz_add(size_u.get(), size_u.get(), y.get());
          mpz_add(size_u.get(), size_u.get(), u.radius.get());
          mpz_abs(size_v.get(), v.re.get());
          mpz_abs(y.get(), v.im.get());
          mpz_add(size_v.get(), size_v.get(), y.get());
          mpz_mul(y.get(), size_u.get(), v.radius.get());
          mpz_addmul(y.get(), size_v.get(), u.radius.get());
          mpz_mul(y.get(), y.get(), s2.get());
          mpz_mul_2exp(y.get(), y.get(), 2);
          if (mpz_sizeinbase(x.get(), 2) > static_cast<size_t>(e) ||
              mpz_sizeinbase(y.get(), 2) > static_cast<size_t>(2 * e)) {
            refine = true;
            continue;
          }
          pair_tested[i * d + j] = true;
          // K1 = round(S1 (re_u + re_v) / 2^e), K2 = round(S2 Re(u v) / 4^e).
          mpz_add(x.get(), u.re.get(), v.re.get());
          mpz_mul(x.get(), x.get(), s1.get());
          RoundedShift(k1.get(), x.get(), e);
          mpz_mul(x.get(), u.re.get(), v.re.get());
          mpz_submul(x.get(), u.im.get(), v.im.get());
          mpz_mul(x.get(), x.get(), s2.get());
          RoundedShift(k2.get(), x.get(), 2 * e);
          // S2 x^2 - K1 (S2 / S1) x + K2
          ZPoly q(3);
          mpz_set(q[2].get(), s2.get());
          mpz_divexact(x.get(), s2.get(), s1.get());
          mpz_mul(q[1].get(), k1.get(), x.get());
          mpz_neg(q[1].get(), q[1].get());
          mpz_set(q[0].get(), k2.get());
          Trim(q);
          if (Degree(q) != 2) continue;
          MakePrimitive(q);
          // Two rational roots would have been found above.
          mpz_mul(x.get(), q[1].get(), q[1].get());
          mpz_mul(y.get(), q[2].get(), q[0].get());
          mpz_submul_ui(x.get(), y.get(), 4);
          if (IsSquare(x.get())) continue;
          ZPoly quotient;
          if (!DivideExactly(remaining, q, quotient)) continue;
          const Disk& upper = conjugate && u.im.Sign() > 0 ? u : v;
          if (!QuadraticRootInDisk(q, upper, e) || (real && !QuadraticRootInDisk(q, u, e))) {
            continue;
          }
          remaining = std::move(quotient);
          kind[i] = kind[j] = kFound;
          out.quadratics.push_back(std::move(q));
        }
      }
      if (refine) {
        roots.Refine();
        continue;
      }
    }
    // Certified decimals of the rest, in ascending order of the real part.
    std::vector<int> order;
    for (int i = 0; i < d; ++i) {
      if (kind[i] != kOpen || disks[i].im.Sign() < 0) continue;
      size_t at = order.size();
      // By the real part, then by the size of the imaginary part.
      auto after = [&](int first, int second) {
        const int c = mpz_cmp(disks[first].re.get(), disks[second].re.get());
        return c > 0 || (c == 0 && mpz_cmpabs(disks[first].im.get(), disks[second].im.get()) > 0);
      };
      while (at > 0 && after(order[at - 1], i)) --at;
      order.insert(order.begin() + at, i);
    }
    out.decimal_real.clear();
    out.decimal_complex.clear();
    for (int i : order) {
      const bool complex = disks[i].im.Sign() != 0;
      std::string text;
      if (!CertifiedDecimal(disks[i], e, complex, text)) {
        refine = true;
        break;
      }
      (complex ? out.decimal_complex : out.decimal_real).push_back(std::move(text));
    }
    if (refine) {
      roots.Refine();
      continue;
    }
    break;
  }
  MakePrimitive(remaining);
  out.rest = std::move(remaining);
  return out;
}

// --- Eigenvectors and the verdict ------------------------------------------

// v scaled to coprime integers with the first non-zero entry positive.
void Normalise(std::vector<Integer>& v, int n) {
  Integer g(0);
  for (int j = 1; j <= n; ++j) g = Gcd(g, v[j]);
  int first = 1;
  while (v[first].IsZero()) ++first;
  if (v[first].Sign() < 0) g = -g;
  for (int j = 1; j <= n; ++j) v[j] = DivideExact(v[j], g);
}

// u mod m as a / b with |a|, b <= sqrt(m / 2) (Wang's reconstruction by
// the extended Euclidean algorithm); false when there is none.
// floor(sqrt(modulus / 2)) for a modulus below 2^62, bit by bit.
int64_t ReconstructionBound(int64_t modulus) {
  int64_t bound = 0;
  for (int64_t bit = int64_t{1} << 31; bit != 0; bit >>= 1) {
    if ((bound + bit) * (bound + bit) <= modulus / 2) bound += bit;
  }
  return bound;
}

// The same in machine integers, for 0 <= u < modulus < 2^62 and bound =
// ReconstructionBound(modulus): every value stays below the modulus.
bool ReconstructSmall(int64_t u, int64_t modulus, int64_t bound, int64_t& a, int64_t& b) {
  int64_t r0 = modulus, r1 = u, t0 = 0, t1 = 1;
  while (r1 > bound) {
    const int64_t q = r0 / r1, r2 = r0 - q * r1, t2 = t0 - q * t1;
    r0 = r1;
    r1 = r2;
    t0 = t1;
    t1 = t2;
  }
  const int64_t size = t1 < 0 ? -t1 : t1;
  if (size == 0 || size > bound ||
      Gcd64(static_cast<uint64_t>(r1), static_cast<uint64_t>(size)) != 1) {
    return false;
  }
  a = t1 < 0 ? -r1 : r1;
  b = size;
  return true;
}

// small_bound: ReconstructionBound(m) when m is below 2^62.
bool Reconstruct(mpz_srcptr u, mpz_srcptr m, int64_t small_bound, Mpz& a, Mpz& b) {
  if (mpz_sizeinbase(m, 2) <= 62) {
    uint64_t words[2] = {0, 0};
    mpz_export(words, nullptr, -1, sizeof words[0], 0, 0, m);
    const int64_t modulus = static_cast<int64_t>(words[0]);
    words[0] = 0;
    mpz_export(words, nullptr, -1, sizeof words[0], 0, 0, u);
    int64_t x = 0, y = 0;
    if (!ReconstructSmall(static_cast<int64_t>(words[0]), modulus, small_bound, x, y)) return false;
    Integer(x).CopyTo(a.get());
    Integer(y).CopyTo(b.get());
    return true;
  }
  Mpz bound, r0(m), r1(u), t0, t1(1L), q, x;
  mpz_fdiv_q_2exp(bound.get(), m, 1);
  SquareRoot(bound.get(), bound.get());
  while (mpz_cmp(r1.get(), bound.get()) > 0) {
    mpz_fdiv_qr(q.get(), x.get(), r0.get(), r1.get());
    std::swap(r0, r1);
    std::swap(r1, x);  // r1 = r0 - q r1
    mpz_submul(t0.get(), q.get(), t1.get());
    std::swap(t0, t1);
  }
  if (mpz_cmpabs(t1.get(), bound.get()) > 0 || t1.Sign() == 0) return false;
  mpz_gcd(x.get(), r1.get(), t1.get());
  if (mpz_cmp_ui(x.get(), 1) != 0) return false;
  mpz_set(a.get(), r1.get());
  mpz_abs(b.get(), t1.get());
  if (t1.Sign() < 0) mpz_neg(a.get(), a.get());
  return true;
}

// The basis vector of free column f from one prime alone, in machine
// integers: entry c of each pivot row is the fraction within bound (the
// reconstruction bound of p) that matches its residue, all brought to
// their common denominator. residue[i] is -R(i, f) mod p for pivot row i.
// False when an entry has no such fraction or the common denominator
// leaves the bound; the general way then decides. Below the bound
// (< 2^31) every product stays below 2^62.
bool SmallCandidate(const Limb* residue, int rank, const int pivot_col[], int f, int n,
                    const CharacteristicArithmetic& m, int64_t bound, std::vector<Integer>& v) {
  int64_t num[kMaxOrder + 1] = {}, den[kMaxOrder + 1] = {};
  const int64_t p = static_cast<int64_t>(m.p);
  int64_t lcm = 1;
  for (int i = 0; i < rank; ++i) {
    const int c = pivot_col[i + 1];
    // Mostly the denominators so far cover the entry: u lcm (mod p,
    // nearest to 0) within the bound is its numerator over lcm.
    int64_t a = static_cast<int64_t>(m.Mul(m.To(residue[i]), static_cast<Limb>(lcm)));
    if (a > p / 2) a -= p;
    if (a <= bound && a >= -bound) {
      num[c] = a;
      den[c] = lcm;
      continue;
    }
    int64_t b = 0;
    if (!ReconstructSmall(static_cast<int64_t>(residue[i]), p, bound, a, b)) return false;
    num[c] = a;
    den[c] = b;
    const uint64_t g = Gcd64(static_cast<uint64_t>(lcm), static_cast<uint64_t>(b));
    lcm = lcm / static_cast<int64_t>(g) * b;
    if (lcm > bound) return false;
  }
  v.assign(n + 1, Integer(0));
  v[f] = lcm;
  for (int j = 1; j <= n; ++j) {
    if (num[j] != 0) v[j] = num[j] * (lcm / den[j]);
  }
  return true;
}

// The null space by reduced row echelon forms modulo word primes, put
// together by the Chinese remainder theorem and read back as fractions;
// accepted only when every vector is proved exactly (r x = 0 for the rows
// r cleared of denominators). Mostly one or two primes suffice. Empty
// when the attempt gives up.
bool ModularNullSpace(const IntegerRows& rows, int n, std::vector<std::vector<Integer>>& basis) {
  int rank = -1;
  int pivot_col[kMaxOrder + 1] = {};
  bool pivot[kMaxOrder + 1] = {};
  // The entries -R(k, f), pivot row k, free column f (the free_index[f]-th
  // one), by CRT.
  std::vector<Mpz> value;
  std::vector<Limb> first_residue;  // the same modulo the first prime
  int free_index[kMaxOrder + 1] = {};
  int free = 0;
  Mpz modulus, now, step, a, b, lcm, sum, half, bound;
  std::vector<Mpz> num(n + 1), den(n + 1);  // one vector of the basis
  Limb h[kMaxOrder][kMaxOrder];
  int used = 0;
  for (int k = 0; k < 80; ++k) {
    const CharacteristicArithmetic m(LimbPrime(k));
    const int64_t p = static_cast<int64_t>(m.p);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        const Integer& v = rows(i + 1, j + 1);
        Limb x;
        if (v.IsSmall()) {
          int64_t r = v.Small();
          if (r >= p || r < -p) r %= p;
          x = static_cast<Limb>(r < 0 ? r + p : r);
        } else {
          v.CopyTo(a.get());
          x = mpz_fdiv_ui(a.get(), m.p);
        }
        // Taken as Montgomery's form as it is: the matrix times 2^-w, whose
        // reduced row echelon form is the same.
        h[i][j] = x;
      }
    }
    // Row echelon form, pivots made 1.
    int r = 0;
    int cols[kMaxOrder + 1];
    bool is_pivot[kMaxOrder + 1] = {};
    for (int c = 0; c < n && r < n; ++c) {
      int t = r;
      while (t < n && h[t][c] == 0) ++t;
      if (t == n) continue;
      if (t != r) std::swap(h[t], h[r]);
      const Limb inverse = m.Inverse(h[r][c]);
      for (int j = c; j < n; ++j) h[r][j] = m.Mul(h[r][j], inverse);
      for (int i = r + 1; i < n; ++i) {
        if (h[i][c] == 0) continue;
        const Limb u = h[i][c];
        for (int j = c; j < n; ++j) h[i][j] = m.Sub(h[i][j], m.Mul(u, h[r][j]));
      }
      is_pivot[c + 1] = true;
      cols[r++] = c + 1;
    }
    if (r < rank) continue;  // a prime that divides a pivot minor
    // The reduced form on the free columns alone, from the last pivot row
    // up: row i less its entries in later pivot columns times those rows.
    for (int i = r - 1; i >= 0; --i) {
      for (int f = cols[i] + 1; f <= n; ++f) {
        if (is_pivot[f]) continue;
        Limb x = h[i][f - 1];
        for (int later = i + 1; later < r && cols[later] < f; ++later) {
          x = m.Sub(x, m.Mul(h[i][cols[later] - 1], h[later][f - 1]));
        }
        h[i][f - 1] = x;
      }
    }
    bool same = r == rank;
    for (int i = 0; same && i < r; ++i) same = cols[i] == pivot_col[i + 1];
    if (!same) {
      // A first prime, or one of larger rank: start over from it.
      rank = r;
      for (int j = 1; j <= n; ++j) pivot[j] = false;
      for (int i = 0; i < r; ++i) pivot[pivot_col[i + 1] = cols[i]] = true;
      free = 0;
      for (int j = 1; j <= n; ++j) free_index[j] = pivot[j] ? -1 : free++;
      value.assign(static_cast<size_t>(rank) * free, Mpz());
      first_residue.assign(static_cast<size_t>(rank) * free, 0);
      mpz_set_ui(modulus.get(), 1);
      used = 0;
    }
    // x += modulus ((-R - x) / modulus mod p), in Montgomery's form to u.
    const Limb inverse = m.Inverse(m.To(mpz_fdiv_ui(modulus.get(), m.p)));
    for (int i = 0; i < rank; ++i) {
      for (int f = 1; f <= n; ++f) {
        if (pivot[f]) continue;
        Mpz& x = value[i * free + free_index[f]];
        const Limb residue = m.To(mpz_fdiv_ui(x.get(), m.p));
        const Limb u = m.From(m.Mul(m.Sub(m.Sub(0, h[i][f - 1]), residue), inverse));
        mpz_addmul_ui(x.get(), modulus.get(), u);
        if (used == 0) first_residue[i * free + free_index[f]] = u;
      }
    }
    mpz_mul_ui(modulus.get(), modulus.get(), m.p);
    ++used;
    if ((used & (used - 1)) != 0) continue;  // reconstruct after 1, 2, 4, 8, ... primes
    std::vector<std::vector<Integer>> candidate;
    bool ok = true;
    int64_t small_bound = 0;
    if (mpz_sizeinbase(modulus.get(), 2) <= 62) {
      uint64_t word = 0;
      mpz_export(&word, nullptr, -1, sizeof word, 0, 0, modulus.get());
      small_bound = ReconstructionBound(static_cast<int64_t>(word));
    }
    // floor(sqrt(modulus / 2)), and half the modulus.
    mpz_fdiv_q_2exp(half.get(), modulus.get(), 1);
    SquareRoot(bound.get(), half.get());
    for (int f = 1; f <= n && ok; ++f) {
      if (pivot[f]) continue;
      // After one prime mostly in machine integers; otherwise on GMP's.
      std::vector<Integer> v;
      Limb residue[kMaxOrder];
      for (int i = 0; i < rank && used == 1; ++i) {
        residue[i] = first_residue[i * free + free_index[f]];
      }
      if (used != 1 || !SmallCandidate(residue, rank, pivot_col, f, n, m, small_bound, v)) {
        for (int j = 1; j <= n; ++j) mpz_set_ui(num[j].get(), 0);
        mpz_set_ui(lcm.get(), 1);
        mpz_set_ui(num[f].get(), 1);
        mpz_set_ui(den[f].get(), 1);
        for (int i = 0; i < rank && ok; ++i) {
          const int c = pivot_col[i + 1];
          mpz_srcptr u = value[i * free + free_index[f]].get();
          // Mostly the denominators found so far cover the entry: when u lcm
          // (mod the modulus, nearest to 0) and lcm are both within the
          // bound, the entry is their quotient, the one fraction within the
          // bound that matches u (and the proof below checks every entry).
          mpz_mul(a.get(), u, lcm.get());
          mpz_fdiv_r(a.get(), a.get(), modulus.get());
          if (mpz_cmp(a.get(), half.get()) > 0) mpz_sub(a.get(), a.get(), modulus.get());
          if (mpz_cmpabs(a.get(), bound.get()) <= 0 && mpz_cmp(lcm.get(), bound.get()) <= 0) {
            mpz_set(num[c].get(), a.get());
            mpz_set(den[c].get(), lcm.get());
            continue;
          }
          ok = Reconstruct(u, modulus.get(), small_bound, num[c], den[c]);
          if (ok) mpz_lcm(lcm.get(), lcm.get(), den[c].get());
        }
        if (!ok) break;
        v.assign(n + 1, Integer(0));
        for (int j = 1; j <= n; ++j) {
          if (num[j].Sign() == 0) continue;
          mpz_divexact(a.get(), lcm.get(), den[j].get());
          mpz_mul(a.get(), a.get(), num[j].get());
          v[j] = Integer::FromGmp(a.get());
        }
      }
      // The proof: every row times v is 0.
      for (int i = 1; i <= n && ok; ++i) {
#ifdef __SIZEOF_INT128__
        // Below 2^60 each, 20 products add up below 2^125: exact in 128 bits.
        const int64_t limit = int64_t{1} << 60;
        auto fits = [limit](const Integer& x) {
          return x.IsSmall() && x.Small() < limit && x.Small() > -limit;
        };
        bool machine = true;
        __int128 dot = 0;
        for (int j = 1; j <= n && machine; ++j) {
          machine = fits(v[j]) && fits(rows(i, j));
          if (machine) dot += static_cast<__int128>(v[j].Small()) * rows(i, j).Small();
        }
        if (machine) {
          ok = dot == 0;
          continue;
        }
#endif
        Integer total(0);
        for (int j = 1; j <= n; ++j) {
          if (!v[j].IsZero() && !rows(i, j).IsZero()) total = total + rows(i, j) * v[j];
        }
        ok = total.IsZero();
      }
      if (ok) {
        Normalise(v, n);
        candidate.push_back(std::move(v));
      }
    }
    if (ok) {
      basis = std::move(candidate);
      return true;
    }
  }
  return false;
}

// A basis of the null space of A - lambda I, lambda = p / q, each vector
// coprime integers with its first non-zero entry positive; from A's rows
// cleared of denominators (cleared, with the row factors scale): q times
// row i of cleared less scale_i p at the diagonal is row i of A - lambda I
// times q scale_i, an integer row.
std::vector<std::vector<Integer>> NullSpace(const IntegerRows& cleared, const Integer scale[],
                                            const Integer& p, const Integer& q, int n) {
  const std::unique_ptr<IntegerRows> rows(new IntegerRows);
  rows->rows = rows->cols = n;
  Integer row_scale[kMaxOrder + 1];
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) (*rows)(i, j) = q.IsOne() ? cleared(i, j) : q * cleared(i, j);
    if (!p.IsZero()) (*rows)(i, i) = (*rows)(i, i) - scale[i] * p;
    row_scale[i] = q * scale[i];
  }
  return IntegerNullSpace(*rows, row_scale, n);
}

}  // namespace

std::vector<std::vector<Integer>> IntegerNullSpace(IntegerRows& rows, Integer row_scale[], int n) {
  std::vector<std::vector<Integer>> basis;
  if (ModularNullSpace(rows, n, basis)) return basis;
  // Beyond: fraction-free Gauss-Jordan.
  const FractionFreeResult done =
      EliminateFractionFree(rows, row_scale, n, true, PivotRepair::kExchangeRows);
  bool pivot[kMaxOrder + 1] = {};
  for (int k = 1; k <= done.rank; ++k) pivot[done.pivot_col[k]] = true;
  for (int f = 1; f <= n; ++f) {
    if (pivot[f]) continue;
    // Pivot row k reads last_pivot x_pc(k) + sum over free j of r(k, j) x_j = 0.
    std::vector<Integer> v(n + 1, Integer(0));
    v[f] = done.last_pivot;
    for (int k = 1; k <= done.rank; ++k) v[done.pivot_col[k]] = -rows(k, f);
    Normalise(v, n);
    basis.push_back(std::move(v));
  }
  return basis;
}

namespace {

int IntegerRank(const std::vector<Mpz>& t, int n) {
  const std::unique_ptr<IntegerRows> rows(new IntegerRows);
  rows->rows = n;
  rows->cols = n;
  Integer scale[kMaxOrder + 1];
  for (int i = 1; i <= n; ++i) {
    scale[i] = Integer(1);
    for (int j = 1; j <= n; ++j) (*rows)(i, j) = Integer::FromGmp(t[(i - 1) * n + j - 1].get());
  }
  return EliminateFractionFree(*rows, scale, n, false, PivotRepair::kExchangeRows).rank;
}

// D^deg(w) w(A) for the integer polynomial w of degree at least 1, an
// integer matrix (row by row): the sum of w_j D^(deg - j) B^j with B = D A,
// by Horner's rule.
std::vector<Mpz> PolynomialAt(const FractionMatrix& a, int n, const ZPoly& w, mpz_srcptr lcm) {
  std::vector<Mpz> b(n * n), acc(n * n), next(n * n);
  Mpz num, den;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      a(i + 1, j + 1).num.CopyTo(num.get());
      a(i + 1, j + 1).den.CopyTo(den.get());
      mpz_divexact(b[i * n + j].get(), lcm, den.get());
      mpz_mul(b[i * n + j].get(), b[i * n + j].get(), num.get());
    }
  }
  // The first step of Horner's rule, lc(w) B + w_(deg-1) D I, needs no
  // product of matrices.
  const int deg = Degree(w);
  Mpz power(lcm);
  for (int i = 0; i < n * n; ++i) mpz_mul(acc[i].get(), b[i].get(), Lead(w));
  for (int i = 0; i < n; ++i) mpz_addmul(acc[i * n + i].get(), w[deg - 1].get(), power.get());
  for (int k = deg - 2; k >= 0; --k) {
    mpz_mul(power.get(), power.get(), lcm);  // D^(deg - k)
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        mpz_ptr r = next[i * n + j].get();
        mpz_set_ui(r, 0);
        for (int l = 0; l < n; ++l) mpz_addmul(r, acc[i * n + l].get(), b[l * n + j].get());
      }
    }
    for (int i = 0; i < n; ++i) mpz_addmul(next[i * n + i].get(), w[k].get(), power.get());
    std::swap(acc, next);
  }
  return acc;
}

int RankOfPolynomialAt(const FractionMatrix& a, int n, const ZPoly& w, mpz_srcptr lcm) {
  return IntegerRank(PolynomialAt(a, n, w, lcm), n);
}

}  // namespace

std::vector<std::vector<Integer>> KernelOfPolynomialAt(const FractionMatrix& a, int n,
                                                       const ZPoly& w) {
  Integer common(1);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (!a(i, j).den.IsOne()) common = Lcm(common, a(i, j).den);
    }
  }
  Mpz lcm;
  common.CopyTo(lcm.get());
  const std::vector<Mpz> value = PolynomialAt(a, n, w, lcm.get());
  const std::unique_ptr<IntegerRows> rows(new IntegerRows);
  rows->rows = rows->cols = n;
  Integer scale[kMaxOrder + 1];
  for (int i = 1; i <= n; ++i) {
    scale[i] = Integer(1);
    for (int j = 1; j <= n; ++j) (*rows)(i, j) = Integer::FromGmp(value[(i - 1) * n + j - 1].get());
  }
  return IntegerNullSpace(*rows, scale, n);
}

std::string EigenvalueText(const FractionMatrix& a) {
  const int n = a.rows;
  ZPoly f = ScaledCharacteristicPolynomial(a, n);
  MakePrimitive(f);
  Integer common(1);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (!a(i, j).den.IsOne()) common = Lcm(common, a(i, j).den);
    }
  }
  Mpz lcm;
  common.CopyTo(lcm.get());

  std::vector<PartRoots> parts;
  for (Part& part : SquareFreeParts(f)) {
    parts.push_back(RootsOfPart(std::move(part.factor), part.multiplicity, lcm.get()));
  }

  // Rational eigenvalues, ascending, with their multiplicities.
  struct Eigenvalue {
    const Rational* value;
    int multiplicity;
  };
  std::vector<Eigenvalue> rational;
  for (const PartRoots& p : parts) {
    for (const Rational& r : p.rational) {
      size_t at = rational.size();
      while (at > 0 && Less(r, *rational[at - 1].value)) --at;
      rational.insert(rational.begin() + at, Eigenvalue{&r, p.multiplicity});
    }
  }

  bool diagonalisable = true;
  std::string lines;
  auto new_line = [&lines] {
    if (!lines.empty()) lines += '\n';
  };
  int vector_number = 0;
  const std::unique_ptr<IntegerRows> cleared(new IntegerRows);
  Integer scale[kMaxOrder + 1];
  if (!rational.empty()) ClearDenominators(a, n, n, *cleared, scale);
  Mpq q;
  for (size_t k = 0; k < rational.size(); ++k) {
    const Rational& r = *rational[k].value;
    const std::vector<std::vector<Integer>> basis =
        NullSpace(*cleared, scale, Integer::FromGmp(r.num.get()), Integer::FromGmp(r.den.get()), n);
    const int geometric = static_cast<int>(basis.size());
    if (geometric < rational[k].multiplicity) diagonalisable = false;
    new_line();
    mpq_set_num(q.get(), r.num.get());
    mpq_set_den(q.get(), r.den.get());
    lines.append("λ").append(NumberText(k + 1)).append(" = ").append(FractionText(q.get()));
    lines.append("    代数重数 ").append(NumberText(rational[k].multiplicity));
    lines.append("  几何重数 ").append(NumberText(geometric));
    for (const std::vector<Integer>& v : basis) {
      lines.append("\n  ξ").append(NumberText(++vector_number)).append(" = (");
      for (int j = 1; j <= n; ++j) {
        if (j > 1) lines += ", ";
        v[j].AppendDecimal(lines);
      }
      lines += ")^T";
    }
  }
  bool irrational = false;
  bool complex = false;
  for (const PartRoots& p : parts) {
    const std::string m = NumberText(p.multiplicity);
    for (const ZPoly& x : p.quadratics) {
      new_line();
      lines.append("λ = ").append(QuadraticRootsText(x)).append("    代数重数各 ").append(m);
      if (PutQuadraticEigenvectors(a, n, x, vector_number, lines) < p.multiplicity) {
        diagonalisable = false;
      }
    }
    for (const std::string& x : p.decimal_real) {
      new_line();
      lines.append("λ ≈ ").append(x).append("    代数重数 ").append(m);
    }
    for (const std::string& x : p.decimal_complex) {
      new_line();
      lines.append("λ ≈ ").append(x).append("    代数重数各 ").append(m);
    }
    if (!p.decimal_real.empty() || !p.decimal_complex.empty()) irrational = true;
    if (!p.decimal_complex.empty()) complex = true;
    for (const ZPoly& x : p.quadratics) complex = complex || HasComplexRoots(x);
    // A repeated factor without rational roots: diagonalisable on its
    // roots exactly when w(A) has a null space of dimension deg(w) m.
    // (A quadratic factor's roots have their eigenspaces counted above.)
    if (p.multiplicity > 1 && diagonalisable && Degree(p.rest) > 0 &&
        n - RankOfPolynomialAt(a, n, p.rest, lcm.get()) < Degree(p.rest) * p.multiplicity) {
      diagonalisable = false;
    }
  }
  if (irrational) lines += "\n三次及以上不可约因式的根不列出特征向量";

  // The polynomial, expanded and factored.
  const std::string expanded = MonicText(f);
  std::string factored;
  int factors = 0;
  auto add_factor = [&](const std::string& text, int multiplicity) {
    if (!factored.empty()) factored += ' ';
    factored += text;
    if (multiplicity > 1) factored.append("^").append(NumberText(multiplicity));
    factors += multiplicity;
  };
  for (const Eigenvalue& x : rational) {
    const Rational& r = *x.value;
    std::string text = "λ";
    if (r.num.Sign() != 0) {
      mpq_set_num(q.get(), r.num.get());
      mpq_set_den(q.get(), r.den.get());
      text = r.num.Sign() > 0 ? "(λ - " : "(λ + ";
      mpq_abs(q.get(), q.get());
      text.append(FractionText(q.get())).append(")");
    }
    add_factor(text, x.multiplicity);
  }
  for (const PartRoots& p : parts) {
    for (const ZPoly& x : p.quadratics) add_factor("(" + MonicText(x) + ")", p.multiplicity);
  }
  for (const PartRoots& p : parts) {
    // What remains has no factor of degree 1 or 2, so below degree 6 it is
    // irreducible; above, it is factored completely.
    if (Degree(p.rest) >= 6) {
      for (const ZPoly& x : IrreducibleFactors(p.rest)) {
        add_factor("(" + MonicText(x) + ")", p.multiplicity);
      }
    } else if (Degree(p.rest) > 0) {
      add_factor("(" + MonicText(p.rest) + ")", p.multiplicity);
    }
  }
  const bool show_factored = factors > 1 && factored != expanded;

  std::string text;
  const char* verdict = !diagonalisable ? "不可对角化"
                        : complex       ? "在复数域上可对角化"
                                        : "可对角化";
  if (expanded.size() + (show_factored ? factored.size() : 0) <= kShortPolynomialLength) {
    text.append("特征多项式 f(λ) = ").append(expanded);
    if (show_factored) text.append(" = ").append(factored);
    text.append("\n\n").append(lines).append("\n\n").append(verdict);
    return text;
  }
  text.append(lines).append("\n\n").append(verdict).append("\n\n特征多项式 f(λ) = ");
  text.append(expanded);
  if (show_factored) text.append("\n  = ").append(factored);
  return text;
}

}  // namespace calc
