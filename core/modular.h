// Arithmetic modulo word-size primes, for everything computed modulo
// primes and put together again: the prime fields (Barrett's form for the
// polynomial arithmetic on 32-bit residues, Montgomery's for the linear
// algebra on the widest words), the one primality test and the tables of
// the primes used, the row operation every modular elimination repeats,
// batch inversion, and the way back: the Chinese remainder theorem and
// rational reconstruction.
#pragma once

#include <gmp.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mpz.h"

namespace calc {

// Arithmetic modulo an odd prime below 2^31, so that a product fits in 64
// bits. Reductions by Barrett's method, without a division: with
// reciprocal = floor(2^64 / p), the quotient estimate floor(x reciprocal /
// 2^64) falls short of floor(x / p) by at most 2 for any 64-bit x.
struct ModPrime {
  explicit ModPrime(uint32_t prime) : p(prime), reciprocal(~uint64_t{0} / prime) {}
  uint32_t p;
  uint64_t reciprocal;
  uint32_t Reduce64(uint64_t x) const {
    uint64_t r = x - MulHigh(x, reciprocal) * p;
    if (r >= p) r -= p;
    if (r >= p) r -= p;
    return static_cast<uint32_t>(r);
  }
  uint32_t Mul(uint32_t a, uint32_t b) const { return Reduce64(static_cast<uint64_t>(a) * b); }
  uint32_t Add(uint32_t a, uint32_t b) const {
    const uint32_t s = a + b;
    return s >= p ? s - p : s;
  }
  uint32_t Sub(uint32_t a, uint32_t b) const { return a >= b ? a - b : a + p - b; }
  uint32_t Inverse(uint32_t a) const;  // a not 0
  uint32_t Reduce(mpz_srcptr v) const { return static_cast<uint32_t>(mpz_fdiv_ui(v, p)); }

 private:
  // The high 64 bits of x y.
  static uint64_t MulHigh(uint64_t x, uint64_t y) {
#ifdef __SIZEOF_INT128__
    return static_cast<uint64_t>((static_cast<unsigned __int128>(x) * y) >> 64);
#else
    const uint64_t xl = x & 0xffffffffu, xh = x >> 32, yl = y & 0xffffffffu, yh = y >> 32;
    const uint64_t low = xl * yl, cross1 = xl * yh, cross2 = xh * yl;
    const uint64_t middle = (low >> 32) + (cross1 & 0xffffffffu) + (cross2 & 0xffffffffu);
    return xh * yh + (cross1 >> 32) + (cross2 >> 32) + (middle >> 32);
#endif
  }
};

// The k-th prime below 2^31 counted downwards from 2^31 - 1 (k from 0).
uint32_t WordPrime(int k);
// The same below 2^26, where polynomial products modulo a monic
// polynomial (PowerMod) sum their terms before reducing them.
uint32_t SmallPrime(int k);

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
// Whether n is prime, exactly (Miller-Rabin with bases that decide every n
// this handles): n below 2^62 where 128-bit products exist, below 2^31
// otherwise.
bool IsPrimeWord(uint64_t n);

#ifdef __SIZEOF_INT128__
using Limb = uint64_t;
using CharacteristicArithmetic = MontgomeryOf<uint64_t, unsigned __int128>;
constexpr int kLimbPrimeBits = 61;

// The k-th prime below 2^62, counted downwards from 2^62 - 1.
uint64_t LimbPrime(int k);
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

// The inverses of values[0..count) (none 0), in Montgomery's form, in
// place, with one inversion (Montgomery's trick: prefix products).
void BatchInverse(const CharacteristicArithmetic& m, Limb* values, int count);

// Integers put together from their residues modulo distinct primes, one
// prime at a time by Garner's step x += M ((r - x) / M mod p), M the
// product of the primes so far; each value stays in [0, M).
class Crt {
 public:
  explicit Crt(size_t count = 0) { Reset(count); }
  // count values, all 0, and M = 1.
  void Reset(size_t count);
  // r[k]: value k modulo m.p, in Montgomery's form.
  void Add(const CharacteristicArithmetic& m, const Limb* r);
  mpz_srcptr modulus() const { return modulus_.get(); }
  mpz_srcptr operator[](size_t k) const { return value_[k].get(); }
  // Value k as the one in (-M/2, M/2] it stands for.
  void Symmetric(size_t k, mpz_ptr out) const;

 private:
  std::vector<Mpz> value_;
  Mpz modulus_;
};

// Rational reconstruction: the fraction a / b (b > 0, coprime) with |a|, b
// <= sqrt(m / 2) that is u modulo m (Wang's, by the extended Euclidean
// algorithm); false when there is none. One within that bound is unique.
bool Reconstruct(mpz_srcptr u, mpz_srcptr m, Mpz& a, Mpz& b);
// The same in machine integers, for 0 <= u < m < 2^62 and bound =
// ReconstructionBound(m) (floor(sqrt(m / 2))).
int64_t ReconstructionBound(int64_t m);
bool ReconstructSmall(int64_t u, int64_t m, int64_t bound, int64_t& a, int64_t& b);

}  // namespace calc
