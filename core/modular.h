// Arithmetic modulo word-size primes, for everything computed modulo
// primes and put together again: the prime field (in Montgomery's form, on
// 32-bit words for the polynomials and on the widest words for the linear
// algebra), the one primality test and the tables of the primes used, the
// row operation every modular elimination repeats, batch inversion, and
// the way back: the Chinese remainder theorem and rational reconstruction.
#pragma once

#include <gmp.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mpz.h"

namespace calc {

// The k-th prime below 2^31 counted downwards from 2^31 - 1 (k from 0).
uint32_t WordPrime(int k);
// The same below 2^26, where polynomial products modulo a monic
// polynomial (MultiplyMod) sum up to 64 terms before reducing them.
uint32_t SmallPrime(int k);

// Arithmetic modulo an odd prime p below 2^(bits of Word - 1) in
// Montgomery's form: a value x is held as x 2^w mod p (w the bits of Word),
// so that a product needs multiplications and shifts but no division.
template <typename W, typename Wide>
struct MontgomeryOf {
  using Word = W;
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
  // v mod p, in Montgomery's form.
  Word Reduce(mpz_srcptr v) const { return To(static_cast<Word>(mpz_fdiv_ui(v, p))); }
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

// The polynomials' field: primes below 2^31.
using Montgomery = MontgomeryOf<uint32_t, uint64_t>;

// Whether n is prime, exactly (Miller-Rabin with bases that decide every n
// this handles): n below 2^62 where 128-bit products exist, below 2^31
// otherwise.
bool IsPrimeWord(uint64_t n);

// The linear algebra (the characteristic polynomial, the null spaces) takes
// the widest primes the machine multiplies in one step: below 2^62 where
// 128-bit products exist, below 2^31 otherwise.
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

// v mod p (plain, not in Montgomery's form) for a prime p below 2^62;
// within 2p of 0 (as typed values are, p > 2^30) without a division.
Limb ResidueOf(int64_t v, int64_t p);

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
  // r[k]: value k modulo m.p, in Montgomery's form (either field).
  template <typename Field>
  void Add(const Field& m, const typename Field::Word* r) {
    const auto step = m.Inverse(m.Reduce(modulus_.get()));
    for (size_t k = 0; k < value_.size(); ++k) {
      const auto u = m.From(m.Mul(m.Sub(r[k], m.Reduce(value_[k].get())), step));
      mpz_addmul_ui(value_[k].get(), modulus_.get(), u);
    }
    mpz_mul_ui(modulus_.get(), modulus_.get(), m.p);
  }
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
