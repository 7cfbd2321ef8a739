// Polynomials with integer coefficients of any size, and their images
// modulo word-size primes: what the eigenvalue calculation needs of them.
#pragma once

#include <gmp.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace calc {

// A GMP integer that cleans up after itself.
class Mpz {
 public:
  Mpz() { mpz_init(v_); }
  explicit Mpz(long v) { mpz_init_set_si(v_, v); }
  explicit Mpz(mpz_srcptr v) { mpz_init_set(v_, v); }
  Mpz(const Mpz& other) { mpz_init_set(v_, other.v_); }
  Mpz(Mpz&& other) noexcept {
    mpz_init(v_);
    mpz_swap(v_, other.v_);
  }
  Mpz& operator=(const Mpz& other) {
    mpz_set(v_, other.v_);
    return *this;
  }
  Mpz& operator=(Mpz&& other) noexcept {
    mpz_swap(v_, other.v_);
    return *this;
  }
  ~Mpz() { mpz_clear(v_); }

  mpz_ptr get() { return v_; }
  mpz_srcptr get() const { return v_; }
  int Sign() const { return mpz_sgn(v_); }

 private:
  mpz_t v_;
};

// floor(sqrt(n)) for n >= 0, and whether n is a square (Newton's iteration
// on GMP's division with remainder: GMP's own square roots would bring a
// second division algorithm into the programs).
void SquareRoot(mpz_ptr root, mpz_srcptr n);
bool IsSquare(mpz_srcptr n);
// Whether b (not 0) divides a.
bool Divides(mpz_srcptr a, mpz_srcptr b);

// Coefficients from degree 0 up; the zero polynomial has none, any other a
// non-zero last one.
using ZPoly = std::vector<Mpz>;

inline int Degree(const ZPoly& f) {
  return static_cast<int>(f.size()) - 1;
}
inline mpz_srcptr Lead(const ZPoly& f) {
  return f.back().get();
}

// Drops zero coefficients at the top.
void Trim(ZPoly& f);
ZPoly Derivative(const ZPoly& f);
ZPoly Multiply(const ZPoly& a, const ZPoly& b);
// f divided by the gcd of its coefficients, its leading coefficient made
// positive. f must not be 0.
void MakePrimitive(ZPoly& f);
// a / b when b divides a in Z[x] (b primitive: then b divides a in Q[x]
// exactly when it does in Z[x]); false otherwise.
bool DivideExactly(const ZPoly& a, const ZPoly& b, ZPoly& quotient);
// The primitive gcd of two non-zero polynomials, leading coefficient
// positive; with a_over and b_over (both or neither), also a / gcd and
// b / gcd.
ZPoly Gcd(const ZPoly& a, const ZPoly& b, ZPoly* a_over = nullptr, ZPoly* b_over = nullptr);

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

// Coefficients modulo p from degree 0 up, no zero at the top.
using ModPoly = std::vector<uint32_t>;

ModPoly ReduceModulo(const ZPoly& f, const ModPrime& m);
void TrimMod(ModPoly& f);
// The remainder of a by b (b not 0).
ModPoly RemainderMod(ModPoly a, const ModPoly& b, const ModPrime& m);
// Monic gcd.
ModPoly GcdMod(ModPoly a, ModPoly b, const ModPrime& m);
ModPoly DerivativeMod(const ModPoly& f, const ModPrime& m);
// a b modulo f (fastest for SmallPrime moduli and a monic f).
ModPoly MultiplyMod(const ModPoly& a, const ModPoly& b, const ModPoly& f, const ModPrime& m);
// base^e modulo f (monic, for the fast road of SmallPrime moduli).
ModPoly PowerMod(const ModPoly& base, uint64_t e, const ModPoly& f, const ModPrime& m);

}  // namespace calc
