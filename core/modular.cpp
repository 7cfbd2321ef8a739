#include "modular.h"

#include <initializer_list>

namespace calc {

uint32_t ModPrime::Inverse(uint32_t a) const {
  // Extended Euclid on (a, p).
  int64_t r0 = p, r1 = a, s0 = 0, s1 = 1;
  while (r1 != 0) {
    const int64_t q = r0 / r1;
    const int64_t r2 = r0 - q * r1;
    r0 = r1;
    r1 = r2;
    const int64_t s2 = s0 - q * s1;
    s0 = s1;
    s1 = s2;
  }
  if (s0 < 0) s0 += p;
  return static_cast<uint32_t>(s0);
}

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

}  // namespace calc
