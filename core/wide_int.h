// A signed 128-bit integer for the exact intermediates of fraction
// arithmetic: a product of four 32-bit factors needs up to 124 bits.
//
// Where the compiler has a native 128-bit type (64-bit targets) Wide is that
// type; the 32-bit Windows build has none and uses Int128 below, which
// implements just the operations the calculations need.
#pragma once

#include <cstdint>

namespace calc {

class Int128 {
 public:
  constexpr Int128() : lo_(0), hi_(0) {}
  constexpr Int128(int64_t v)  // NOLINT: converts like a built-in integer
      : lo_(static_cast<uint64_t>(v)), hi_(v < 0 ? ~uint64_t{0} : 0) {}

  friend Int128 operator+(Int128 a, Int128 b) {
    Int128 r;
    r.lo_ = a.lo_ + b.lo_;
    r.hi_ = a.hi_ + b.hi_ + (r.lo_ < a.lo_ ? 1 : 0);
    return r;
  }
  friend Int128 operator-(Int128 a) { return Int128(~a.lo_, ~a.hi_) + Int128(1); }
  friend Int128 operator-(Int128 a, Int128 b) { return a + (-b); }
  // The low 128 bits of the product, as with a built-in type.
  friend Int128 operator*(Int128 a, Int128 b) {
    const uint64_t a0 = a.lo_ & 0xffffffffu, a1 = a.lo_ >> 32;
    const uint64_t b0 = b.lo_ & 0xffffffffu, b1 = b.lo_ >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t middle = (p00 >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
    Int128 r;
    r.lo_ = (middle << 32) | (p00 & 0xffffffffu);
    r.hi_ = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32) + a.hi_ * b.lo_ + a.lo_ * b.hi_;
    return r;
  }
  // Truncating division, like a built-in type; b must not be 0.
  friend Int128 operator/(Int128 a, Int128 b) {
    const bool negative = a.IsNegative() != b.IsNegative();
    const Int128 q = DivideMagnitudes(a.IsNegative() ? -a : a, b.IsNegative() ? -b : b);
    return negative ? -q : q;
  }
  friend Int128 operator>>(Int128 a, int n) {  // logical shift, for magnitudes
    if (n == 0) return a;
    if (n >= 64) return Int128(a.hi_ >> (n - 64), 0);
    return Int128((a.lo_ >> n) | (a.hi_ << (64 - n)), a.hi_ >> n);
  }
  friend Int128 operator<<(Int128 a, int n) {
    if (n == 0) return a;
    if (n >= 64) return Int128(0, a.lo_ << (n - 64));
    return Int128(a.lo_ << n, (a.hi_ << n) | (a.lo_ >> (64 - n)));
  }
  friend Int128 operator|(Int128 a, Int128 b) { return Int128(a.lo_ | b.lo_, a.hi_ | b.hi_); }
  friend bool operator==(Int128 a, Int128 b) { return a.lo_ == b.lo_ && a.hi_ == b.hi_; }
  friend bool operator!=(Int128 a, Int128 b) { return !(a == b); }
  friend bool operator<(Int128 a, Int128 b) {
    const int64_t ah = static_cast<int64_t>(a.hi_), bh = static_cast<int64_t>(b.hi_);
    return ah != bh ? ah < bh : a.lo_ < b.lo_;
  }
  friend bool operator>(Int128 a, Int128 b) { return b < a; }
  friend bool operator<=(Int128 a, Int128 b) { return !(b < a); }
  friend bool operator>=(Int128 a, Int128 b) { return !(a < b); }

  // The value as a 64-bit integer (its low 64 bits).
  explicit operator int64_t() const { return static_cast<int64_t>(lo_); }
  uint64_t low() const { return lo_; }
  uint64_t high() const { return hi_; }

 private:
  constexpr Int128(uint64_t lo, uint64_t hi) : lo_(lo), hi_(hi) {}
  bool IsNegative() const { return static_cast<int64_t>(hi_) < 0; }

  // Division of two non-negative values. The calculations divide mostly
  // values that fit in 64 bits, or by a divisor that fits in 32 bits (a
  // common factor); those take a few machine divisions. Anything else is
  // divided bit by bit, from the dividend's highest set bit.
  static Int128 DivideMagnitudes(Int128 a, Int128 b) {
    if (a.hi_ == 0 && b.hi_ == 0) return Int128(a.lo_ / b.lo_, 0);
    if (b.hi_ == 0 && b.lo_ <= 0xffffffffu) {
      // Long division in 32-bit digits: each partial dividend is below
      // b * 2^32, so it fits in 64 bits.
      const uint64_t divisor = b.lo_;
      const uint64_t digits[4] = {a.hi_ >> 32, a.hi_ & 0xffffffffu, a.lo_ >> 32,
                                  a.lo_ & 0xffffffffu};
      uint64_t quotient[4];
      uint64_t remainder = 0;
      for (int k = 0; k < 4; ++k) {
        const uint64_t part = (remainder << 32) | digits[k];
        quotient[k] = part / divisor;
        remainder = part % divisor;
      }
      return Int128((quotient[2] << 32) | quotient[3], (quotient[0] << 32) | quotient[1]);
    }
    Int128 quotient;
    Int128 remainder;
    const int top = a.hi_ != 0 ? 127 - __builtin_clzll(a.hi_) : 63 - __builtin_clzll(a.lo_ | 1);
    for (int bit = top; bit >= 0; --bit) {
      remainder = (remainder << 1) | ((a >> bit).lo_ & 1 ? Int128(1) : Int128(0));
      if (remainder >= b) {
        remainder = remainder - b;
        quotient = quotient | (Int128(1) << bit);
      }
    }
    return quotient;
  }

  uint64_t lo_;
  uint64_t hi_;
};

#if defined(__SIZEOF_INT128__) && !defined(CALC_PORTABLE_WIDE)
using Wide = __int128;
#else
using Wide = Int128;
#endif

}  // namespace calc
