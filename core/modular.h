// Arithmetic modulo word-size primes for the exact linear algebra of the
// eigen-analysis: a prime field in Montgomery's form, the primes used, and
// the row operation every modular elimination repeats.
#pragma once

#include <cstdint>

#include "polynomial.h"

namespace calc {

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

inline bool IsPrimeLimb(uint64_t n) {
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
inline uint64_t LimbPrime(int k) {
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

inline uint32_t LimbPrime(int k) {
  return WordPrime(k);
}
#endif

// dst[j] -= u src[j], j < count.
template <typename Word, typename Arithmetic>
void SubtractMultiple(Word* __restrict dst, const Word* __restrict src, Word u, int count,
                      const Arithmetic& m) {
  for (int j = 0; j < count; ++j) dst[j] = m.Sub(dst[j], m.Mul(u, src[j]));
}

}  // namespace calc
