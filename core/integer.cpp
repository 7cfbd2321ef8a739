#include "integer.h"

#include <cstring>

namespace calc {

namespace {

uint64_t Magnitude(int64_t v) {
  return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

// Whether z fits 63 bits; the limb count decides most values without
// counting bits.
bool FitsMachine(mpz_srcptr z) {
  return mpz_size(z) <= 64 / GMP_NUMB_BITS && mpz_sizeinbase(z, 2) <= 63;
}

// The machine range is symmetric, so that negation never leaves it.
bool InSmallRange(int64_t v) {
  return v != INT64_MIN;
}

void SetUnsigned(mpz_t z, uint64_t magnitude, bool negative) {
  mpz_import(z, 1, -1, sizeof magnitude, 0, 0, &magnitude);
  if (negative) mpz_neg(z, z);
}

uint64_t Low64(Wide v) {
  return static_cast<uint64_t>(static_cast<int64_t>(v));
}

bool FitsUint64(Wide v) {
  return (v >> 64) == Wide(0);
}

int CountTrailingZeros(Wide v) {
  const uint64_t low = Low64(v);
  if (low != 0) return __builtin_ctzll(low);
  return 64 + __builtin_ctzll(Low64(v >> 64));
}

}  // namespace

void Integer::SetBig(int64_t v) {
  mpz_t z;
  mpz_init(z);
  SetUnsigned(z, Magnitude(v), v < 0);
  *this = FromMpz(z);
}

Integer Integer::BigFromWide(Wide v) {
  const bool negative = v < Wide(0);
  const Wide magnitude = negative ? -v : v;
  const uint64_t words[2] = {Low64(magnitude), Low64(magnitude >> 64)};
  mpz_t z;
  mpz_init(z);
  mpz_import(z, 2, -1, sizeof words[0], 0, 0, words);
  if (negative) mpz_neg(z, z);
  return FromMpz(z);
}

void Integer::CopyBig(const Integer& other) {
  mpz_init_set(Big(), other.Big());
}

Integer& Integer::AssignBig(const Integer& other) {
  if (this == &other) return *this;
  if (other.IsSmall()) {
    Release();
    rep_ = other.rep_;
  } else if (!IsSmall()) {
    mpz_set(Big(), other.Big());
  } else {
    CopyBig(other);
  }
  return *this;
}

void Integer::Release() {
  mpz_clear(Big());
  rep_ = Rep{};
}

Integer Integer::FromMpz(mpz_t z) {
  Integer result;
  if (FitsMachine(z)) {
    uint64_t magnitude = 0;
    mpz_export(&magnitude, nullptr, -1, sizeof magnitude, 0, 0, z);
    const int64_t v = static_cast<int64_t>(magnitude);
    result.rep_.machine.value = mpz_sgn(z) < 0 ? -v : v;
    mpz_clear(z);
    return result;
  }
  result.rep_.big = *z;  // takes over the limbs
  return result;
}

// The value as a read-only mpz: a big value itself, a machine value
// through limbs of its own on the stack (GMP reads them without copying).
class MpzView {
 public:
  explicit MpzView(const Integer& v) {
    if (!v.IsSmall()) {
      view_ = v.Big();
      return;
    }
    uint64_t magnitude = Magnitude(v.Small());
    int size = 0;
    while (magnitude != 0) {
      limbs_[size++] = static_cast<mp_limb_t>(magnitude);
      magnitude = GMP_NUMB_BITS >= 64 ? 0 : magnitude >> (GMP_NUMB_BITS % 64);
    }
    view_ = mpz_roinit_n(temporary_, limbs_, v.Small() < 0 ? -size : size);
  }
  MpzView(const MpzView&) = delete;
  MpzView& operator=(const MpzView&) = delete;
  mpz_srcptr get() const { return view_; }

 private:
  mp_limb_t limbs_[64 / GMP_NUMB_BITS + 1];
  mpz_t temporary_;
  mpz_srcptr view_;
};

int Integer::Sign() const {
  if (!IsSmall()) return mpz_sgn(Big());
  return Small() < 0 ? -1 : (Small() > 0 ? 1 : 0);
}

namespace {

using MpzBinary = void (*)(mpz_ptr, mpz_srcptr, mpz_srcptr);

}  // namespace

// The operation on GMP integers, for values that leave the machine range.
static Integer BigOperation(const Integer& a, const Integer& b, MpzBinary op,
                            Integer (*take)(mpz_t)) {
  const MpzView x(a), y(b);
  mpz_t r;
  mpz_init(r);
  op(r, x.get(), y.get());
  return take(r);
}

Integer operator+(const Integer& a, const Integer& b) {
  int64_t r = 0;
  if (a.IsSmall() && b.IsSmall() && !__builtin_add_overflow(a.Small(), b.Small(), &r) &&
      InSmallRange(r)) {
    return Integer(r);
  }
  return BigOperation(a, b, mpz_add, Integer::FromMpz);
}

Integer operator-(const Integer& a, const Integer& b) {
  int64_t r = 0;
  if (a.IsSmall() && b.IsSmall() && !__builtin_sub_overflow(a.Small(), b.Small(), &r) &&
      InSmallRange(r)) {
    return Integer(r);
  }
  return BigOperation(a, b, mpz_sub, Integer::FromMpz);
}

Integer operator*(const Integer& a, const Integer& b) {
  int64_t r = 0;
  if (a.IsSmall() && b.IsSmall() && !__builtin_mul_overflow(a.Small(), b.Small(), &r) &&
      InSmallRange(r)) {
    return Integer(r);
  }
  return BigOperation(a, b, mpz_mul, Integer::FromMpz);
}

Integer operator-(const Integer& a) {
  if (a.IsSmall()) return Integer(-a.Small());
  mpz_t r;
  mpz_init(r);
  mpz_neg(r, a.Big());
  return Integer::FromMpz(r);
}

Integer DivideExact(const Integer& a, const Integer& b) {
  if (a.IsSmall() && b.IsSmall()) return Integer(a.Small() / b.Small());
  return BigOperation(a, b, mpz_divexact, Integer::FromMpz);
}

void Integer::MultiplySubtractDivide(const Integer& p, const Integer& f, const Integer& b,
                                     const Integer& d) {
  // In machine arithmetic while the five values fit in 63 bits (each
  // product then fits in 126).
  if (IsSmall() && p.IsSmall() && f.IsSmall() && b.IsSmall() && d.IsSmall()) {
    const Wide v = Wide(p.Small()) * Small() - Wide(f.Small()) * b.Small();
    const int64_t low = static_cast<int64_t>(v);
    // A quotient of machine values by a 64-bit division where it can be.
    if (Wide(low) == v && InSmallRange(low) && d.Small() != -1) {
      *this = low / d.Small();
      return;
    }
    const Wide q = d.Small() == 1 ? v : v / Wide(d.Small());
    // A machine quotient is stored in place, without a temporary.
    const Wide limit(INT64_MAX);
    if (q <= limit && q >= -limit) {
      *this = static_cast<int64_t>(q);
    } else {
      *this = BigFromWide(q);
    }
    return;
  }
  if (IsSmall()) {
    const int64_t v = Small();
    mpz_init2(Big(), 128);  // with room, so that the kind reads as GMP's
    SetUnsigned(Big(), Magnitude(v), v < 0);
  }
  if (!p.IsOne()) mpz_mul(Big(), Big(), MpzView(p).get());
  if (!f.IsZero() && !b.IsZero()) mpz_submul(Big(), MpzView(f).get(), MpzView(b).get());
  if (!d.IsOne()) mpz_divexact(Big(), Big(), MpzView(d).get());
  if (FitsMachine(Big())) {
    uint64_t magnitude = 0;
    mpz_export(&magnitude, nullptr, -1, sizeof magnitude, 0, 0, Big());
    const int64_t v = static_cast<int64_t>(magnitude);
    const bool negative = mpz_sgn(Big()) < 0;
    Release();
    rep_.machine.value = negative ? -v : v;
  }
}

Integer Gcd(const Integer& a, const Integer& b) {
  if (a.IsSmall() && b.IsSmall()) {
    return Integer(static_cast<int64_t>(Gcd64(Magnitude(a.Small()), Magnitude(b.Small()))));
  }
  return BigOperation(a, b, mpz_gcd, Integer::FromMpz);
}

Integer Lcm(const Integer& a, const Integer& b) {
  if (b.IsOne()) return a;
  // b > 0 dividing a: gcd b, and a (b / b) is a.
  if (a.IsSmall() && b.IsSmall() && b.Small() > 0 && a.Small() % b.Small() == 0) return a;
  const Integer g = Gcd(a, b);
  return a * (g.IsOne() ? b : DivideExact(b, g));
}

bool operator==(const Integer& a, const Integer& b) {
  if (a.IsSmall() != b.IsSmall()) return false;
  return a.IsSmall() ? a.Small() == b.Small() : mpz_cmp(a.Big(), b.Big()) == 0;
}

int Compare(const Integer& a, const Integer& b) {
  if (a.IsSmall() && b.IsSmall())
    return a.Small() < b.Small() ? -1 : (a.Small() > b.Small() ? 1 : 0);
  const MpzView x(a), y(b);
  const int c = mpz_cmp(x.get(), y.get());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void Integer::AppendDecimal(std::string& text) const {
  if (IsSmall()) {
    char digits[kMaxMachineDecimalLength];
    text.append(digits, WriteDecimal(Small(), digits));
    return;
  }
  // mpz_sizeinbase may count one digit too many; the sign and the
  // terminating zero need two more bytes.
  const size_t start = text.size();
  text.resize(start + mpz_sizeinbase(Big(), 10) + 2);
  mpz_get_str(&text[start], 10, Big());
  text.resize(start + std::strlen(&text[start]));
}

void Integer::CopyTo(mpz_ptr out) const {
  if (!IsSmall()) {
    mpz_set(out, Big());
  } else {
    SetUnsigned(out, Magnitude(Small()), Small() < 0);
  }
}

Integer Integer::FromGmp(mpz_srcptr v) {
  if (FitsMachine(v)) {
    uint64_t magnitude = 0;
    mpz_export(&magnitude, nullptr, -1, sizeof magnitude, 0, 0, v);
    const int64_t small = static_cast<int64_t>(magnitude);
    return Integer(mpz_sgn(v) < 0 ? -small : small);
  }
  mpz_t z;
  mpz_init_set(z, v);
  return FromMpz(z);
}

Wide WideGcd(Wide a, Wide b) {
  if (FitsUint64(a) && FitsUint64(b)) {
    // A divisor of 2^63 or more has no int64_t form; the loop below finds it.
    const uint64_t g = Gcd64(Low64(a), Low64(b));
    if (g <= uint64_t{INT64_MAX}) return Wide(static_cast<int64_t>(g));
  }
  if (a == Wide(0)) return b;
  if (b == Wide(0)) return a;
  const int shift = CountTrailingZeros(a | b);
  a = a >> CountTrailingZeros(a);
  do {
    b = b >> CountTrailingZeros(b);
    if (a > b) {
      const Wide t = a;
      a = b;
      b = t;
    }
    b = b - a;
  } while (b != Wide(0));
  return a << shift;
}

}  // namespace calc
