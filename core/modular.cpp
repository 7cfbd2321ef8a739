#include "modular.h"

#include <initializer_list>
#include <utility>

#include "integer.h"

namespace calc {

namespace {

// Whether the strong probable-prime test to base a passes for odd n, with
// n - 1 = d 2^s, in the arithmetic `m` modulo n.
template <typename Word, typename Arithmetic>
bool StrongProbablePrime(const Arithmetic& m, Word a, Word d, int s) {
  const Word minus_one = m.Sub(0, m.One()), one = m.One();
  Word x = one, base = m.To(a % m.p);
  if (base == 0) return true;
  for (Word e = d; e != 0; e >>= 1) {
    if (e & 1) x = m.Mul(x, base);
    base = m.Mul(base, base);
  }
  if (x == one || x == minus_one) return true;
  for (int i = 1; i < s; ++i) {
    x = m.Mul(x, x);
    if (x == minus_one) return true;
  }
  return false;
}

}  // namespace

bool IsPrimeWord(uint64_t n) {
  if (n < 2 || n % 2 == 0) return n == 2;
  for (uint64_t q : {3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
    if (n % q == 0) return n == q;
  }
  if (n < 41 * 41) return true;
  uint64_t d = n - 1;
  int s = 0;
  while (d % 2 == 0) {
    d /= 2;
    ++s;
  }
#ifdef __SIZEOF_INT128__
  // These bases decide every n below 3.3 * 10^24.
  const MontgomeryOf<uint64_t, unsigned __int128> m(n);
  for (uint64_t a : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
    if (!StrongProbablePrime<uint64_t>(m, a, d, s)) return false;
  }
#else
  // These bases decide every n below 4759123141.
  const Montgomery m(static_cast<uint32_t>(n));
  for (uint32_t a : {2u, 7u, 61u}) {
    if (!StrongProbablePrime<uint32_t>(m, a, static_cast<uint32_t>(d), s)) return false;
  }
#endif
  return true;
}

namespace {

// The primes found so far below a limit, largest first; the table is made
// on first use (no guarded initialisation, no space in the program file).
struct PrimeTable {
  uint64_t* prime;
  int count;
};

uint64_t NthPrimeBelow(PrimeTable& table, uint64_t limit, int k) {
  if (table.prime == nullptr) table.prime = new uint64_t[1024];
  uint64_t c = table.count == 0 ? limit - 1 : table.prime[table.count - 1] - 2;
  for (int found = table.count - 1; found < k; c -= 2) {
    while (!IsPrimeWord(c)) c -= 2;
    if (table.count < 1024) table.prime[table.count++] = c;
    if (++found == k) return c;
  }
  return table.prime[k];
}

PrimeTable word_primes, small_primes;

}  // namespace

uint32_t WordPrime(int k) {
  return static_cast<uint32_t>(NthPrimeBelow(word_primes, uint64_t{1} << 31, k));
}

uint32_t SmallPrime(int k) {
  return static_cast<uint32_t>(NthPrimeBelow(small_primes, uint64_t{1} << 26, k));
}

#ifdef __SIZEOF_INT128__
namespace {
PrimeTable limb_primes;
}  // namespace

uint64_t LimbPrime(int k) {
  return NthPrimeBelow(limb_primes, uint64_t{1} << 62, k);
}
#endif

Limb ResidueOf(int64_t v, int64_t p) {
  if (v >= -2 * p && v < 2 * p) {
    if (v < 0) v += p;
    if (v < 0) v += p;
    if (v >= p) v -= p;
    return static_cast<Limb>(v);
  }
  const int64_t r = v % p;
  return static_cast<Limb>(r < 0 ? r + p : r);
}

void BatchInverse(const CharacteristicArithmetic& m, Limb* values, int count) {
  Limb prefix[64];
  for (int start = 0; start < count; start += 64) {
    const int end = count - start < 64 ? count : start + 64;
    Limb product = m.One();
    for (int k = start; k < end; ++k) {
      prefix[k - start] = product;
      product = m.Mul(product, values[k]);
    }
    Limb running = m.Inverse(product);  // the inverse of values[start..k]
    for (int k = end - 1; k >= start; --k) {
      const Limb inverse = m.Mul(prefix[k - start], running);
      running = m.Mul(running, values[k]);
      values[k] = inverse;
    }
  }
}

void Crt::Reset(size_t count) {
  value_.assign(count, Mpz());
  mpz_set_ui(modulus_.get(), 1);
}

void Crt::Symmetric(size_t k, mpz_ptr out) const {
  mpz_mul_2exp(out, value_[k].get(), 1);
  const bool upper = mpz_cmp(out, modulus_.get()) > 0;
  mpz_set(out, value_[k].get());
  if (upper) mpz_sub(out, out, modulus_.get());
}

int64_t ReconstructionBound(int64_t m) {
  int64_t bound = 0;
  for (int64_t bit = int64_t{1} << 31; bit != 0; bit >>= 1) {
    if ((bound + bit) * (bound + bit) <= m / 2) bound += bit;
  }
  return bound;
}

// Every value stays below m.
bool ReconstructSmall(int64_t u, int64_t m, int64_t bound, int64_t& a, int64_t& b) {
  int64_t r0 = m, r1 = u, t0 = 0, t1 = 1;
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

bool Reconstruct(mpz_srcptr u, mpz_srcptr m, Mpz& a, Mpz& b) {
  if (mpz_sizeinbase(m, 2) <= 62) {
    uint64_t words[2] = {0, 0};
    mpz_export(words, nullptr, -1, sizeof words[0], 0, 0, m);
    const int64_t modulus = static_cast<int64_t>(words[0]);
    words[0] = 0;
    mpz_export(words, nullptr, -1, sizeof words[0], 0, 0, u);
    int64_t x = 0, y = 0;
    if (!ReconstructSmall(static_cast<int64_t>(words[0]), modulus, ReconstructionBound(modulus), x,
                          y)) {
      return false;
    }
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

}  // namespace calc
