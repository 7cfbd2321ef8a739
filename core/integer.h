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
  // Machine values take the inline paths below; the rest is out of line.
  Integer() : rep_{} {}
  Integer(int64_t v) : rep_{} {  // NOLINT: converts like a built-in integer
    rep_.machine.value = v;
    if (v == INT64_MIN) SetBig(v);
  }
  static Integer FromWide(Wide v) {
    const Wide limit(INT64_MAX);
    if (v <= limit && v >= -limit) return Integer(static_cast<int64_t>(v));
    return BigFromWide(v);
  }
  Integer(const Integer& other) : rep_(other.rep_) {
    if (!other.IsSmall()) CopyBig(other);
  }
  Integer(Integer&& other) noexcept : rep_(other.rep_) { other.rep_ = Rep{}; }
  Integer& operator=(const Integer& other) {
    if (IsSmall() && other.IsSmall()) {
      rep_ = other.rep_;
      return *this;
    }
    return AssignBig(other);
  }
  // Stores a machine value in place, without a temporary.
  Integer& operator=(int64_t v) {
    if (!IsSmall() || v == INT64_MIN) return *this = Integer(v);
    rep_.machine.value = v;
    return *this;
  }
  Integer& operator=(Integer&& other) noexcept {
    if (!IsSmall()) Release();
    rep_ = other.rep_;
    other.rep_ = Rep{};
    return *this;
  }
  ~Integer() {
    if (!IsSmall()) Release();
  }

  // The kind is read from the first field, which both forms share.
  bool IsSmall() const { return rep_.machine.kind == 0; }
  // The value, when IsSmall().
  int64_t Small() const { return rep_.machine.value; }
  // True when the value lies in the 32-bit signed range.
  bool FitsInt32() const { return IsSmall() && Small() >= INT32_MIN && Small() <= INT32_MAX; }

  int Sign() const;
  bool IsZero() const { return IsSmall() && Small() == 0; }
  bool IsOne() const { return IsSmall() && Small() == 1; }

  friend Integer operator+(const Integer& a, const Integer& b);
  friend Integer operator-(const Integer& a, const Integer& b);
  friend Integer operator*(const Integer& a, const Integer& b);
  friend Integer operator-(const Integer& a);
  // a / b where b divides a exactly (b not 0).
  friend Integer DivideExact(const Integer& a, const Integer& b);
  // This value becomes (p this - f b) / d, d dividing it exactly, in its
  // own storage once it is big: a step of Bareiss' fraction-free
  // elimination, and of the back substitution after it.
  void MultiplySubtractDivide(const Integer& p, const Integer& f, const Integer& b,
                              const Integer& d);
  // The greatest common divisor of |a| and |b|; 0 only when both are 0.
  friend Integer Gcd(const Integer& a, const Integer& b);
  // The least common multiple of two positive values.
  friend Integer Lcm(const Integer& a, const Integer& b);

  friend bool operator==(const Integer& a, const Integer& b);
  friend bool operator!=(const Integer& a, const Integer& b) { return !(a == b); }
  friend int Compare(const Integer& a, const Integer& b);

  // Appends the value in decimal: a minus for a negative value, no leading
  // zeros. Linear in the number of digits appended.
  void AppendDecimal(std::string& text) const;

  // To and from GMP's integers, for code that works on them directly.
  void CopyTo(mpz_ptr out) const;
  static Integer FromGmp(mpz_srcptr v);

 private:
  friend class MpzView;
  // Takes over an initialised mpz, demoting it to a machine integer when it
  // fits.
  static Integer FromMpz(mpz_t z);
  static Integer BigFromWide(Wide v);
  void SetBig(int64_t v);
  // Initialises this value's GMP integer as a copy of other's.
  void CopyBig(const Integer& other);
  Integer& AssignBig(const Integer& other);
  // Frees the GMP integer and leaves 0.
  void Release();
  mpz_ptr Big() { return &rep_.big; }
  mpz_srcptr Big() const { return &rep_.big; }

  // Both forms begin with an int: a machine value has 0 there, a GMP
  // integer its count of allocated limbs, which is never 0 for a value
  // beyond 63 bits (and every GMP integer here is initialised with room).
  // So a value is held in place, without a second allocation.
  struct Machine {
    int kind;  // 0
    int unused;
    int64_t value;
  };
  union Rep {
    Machine machine;
    __mpz_struct big;
  } rep_;
};

// The longest decimal form of a machine value: a minus and 19 digits.
constexpr int kMaxMachineDecimalLength = 20;

// "00", "01", ..., "99": the decimal digits of every value below 100.
struct DigitPairs {
  char text[200];
  constexpr DigitPairs() : text() {
    for (int k = 0; k < 100; ++k) {
      text[2 * k] = static_cast<char>('0' + k / 10);
      text[2 * k + 1] = static_cast<char>('0' + k % 10);
    }
  }
};
inline constexpr DigitPairs kDigitPairs;

// Writes v in decimal at out (at most kMaxMachineDecimalLength bytes): a
// minus for a negative value, no leading zeros. Returns the end. Inline:
// the text of a matrix is mostly short numbers.
inline char* WriteDecimal(int64_t v, char* out) {
  if (v < 0) *out++ = '-';
  uint64_t rest = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  // Below 2^63 < 10^19: at most 19 digits.
  int length = 1;
  for (uint64_t power = 10; length < 19 && rest >= power; power *= 10) ++length;
  char* const end = out + length;
  // From the last digit back, two digits per division.
  char* at = end;
  while (rest >= 100) {
    const char* pair = kDigitPairs.text + 2 * (rest % 100);
    rest /= 100;
    at -= 2;
    at[0] = pair[0];
    at[1] = pair[1];
  }
  if (rest >= 10) {
    at[-2] = kDigitPairs.text[2 * rest];
    at[-1] = kDigitPairs.text[2 * rest + 1];
  } else {
    at[-1] = static_cast<char>('0' + rest);
  }
  return end;
}

// Greatest common divisor of two unsigned 64-bit values (binary method).
// Inline: every reduction of a machine fraction runs it.
inline uint64_t Gcd64(uint64_t a, uint64_t b) {
  if (a == 0) return b;
  if (b == 0) return a;
  const int shift = __builtin_ctzll(a | b);
  a >>= __builtin_ctzll(a);
  do {
    b >>= __builtin_ctzll(b);
    if (a > b) {
      const uint64_t t = a;
      a = b;
      b = t;
    }
    b -= a;
  } while (b != 0);
  return a << shift;
}

// Greatest common divisor of two non-negative wide values (0 when both are 0).
Wide WideGcd(Wide a, Wide b);

}  // namespace calc
