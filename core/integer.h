// An exact integer of any size: a machine integer while the value fits in
// 64 bits, a GMP integer beyond. Every operation is exact; nothing wraps.
//
// The representation is unique: a value whose magnitude is below 2^63 is
// always held as a machine integer, any other always as a GMP integer, so
// equality and the fast paths can look at the kind first.
#pragma once

#include <gmp.h>

#include <cstdint>
#include <string>

#include "wide_int.h"

namespace calc {

class Integer {
 public:
  Integer() : small_(0), big_(false) {}
  Integer(int64_t v);  // NOLINT: converts like a built-in integer
  static Integer FromWide(Wide v);
  Integer(const Integer& other);
  Integer(Integer&& other) noexcept;
  Integer& operator=(const Integer& other);
  Integer& operator=(Integer&& other) noexcept;
  ~Integer() {
    if (big_) mpz_clear(mpz_);
  }

  bool IsSmall() const { return !big_; }
  // The value, when IsSmall().
  int64_t Small() const { return small_; }
  // True when the value lies in the 32-bit signed range.
  bool FitsInt32() const { return !big_ && small_ >= INT32_MIN && small_ <= INT32_MAX; }

  int Sign() const;
  bool IsZero() const { return !big_ && small_ == 0; }
  bool IsOne() const { return !big_ && small_ == 1; }

  friend Integer operator+(const Integer& a, const Integer& b);
  friend Integer operator-(const Integer& a, const Integer& b);
  friend Integer operator*(const Integer& a, const Integer& b);
  friend Integer operator-(const Integer& a);
  // a / b where b divides a exactly (b not 0).
  friend Integer DivideExact(const Integer& a, const Integer& b);
  // The greatest common divisor of |a| and |b|; 0 only when both are 0.
  friend Integer Gcd(const Integer& a, const Integer& b);

  friend bool operator==(const Integer& a, const Integer& b);
  friend bool operator!=(const Integer& a, const Integer& b) { return !(a == b); }
  friend int Compare(const Integer& a, const Integer& b);

  // Appends the value in decimal: a minus for a negative value, no leading
  // zeros. Linear in the number of digits appended.
  void AppendDecimal(std::string& text) const;

 private:
  friend class MpzView;
  // Takes over an initialised mpz, demoting it to a machine integer when it
  // fits.
  static Integer FromMpz(mpz_t z);

  union {
    int64_t small_;
    mpz_t mpz_;
  };
  bool big_;
};

// Greatest common divisor of two unsigned 64-bit values (binary method).
uint64_t Gcd64(uint64_t a, uint64_t b);

// Greatest common divisor of two non-negative wide values (0 when both are 0).
Wide WideGcd(Wide a, Wide b);

}  // namespace calc
