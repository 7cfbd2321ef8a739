#include "fraction.h"

namespace calc {

namespace {

Wide Magnitude(Wide v) {
  return v < Wide(0) ? -v : v;
}

// StoreReduced for parts beyond the machine range: out of line, so that the
// machine road stays small enough to inline.
[[gnu::noinline]] void StoreReducedWide(Wide n, Wide d, Fraction& out) {
  const Wide g = WideGcd(Magnitude(n), d);
  if (g != Wide(1)) {
    n = n / g;
    d = d / g;
  }
  out.num = Integer::FromWide(n);
  out.den = Integer::FromWide(d);
}

// Stores n/d in out, reduced with the sign on the numerator, from exact
// wide parts; out's parts are overwritten in place.
inline void StoreReduced(Wide n, Wide d, Fraction& out) {
  if (n == Wide(0)) {
    out.num = 0;
    out.den = 1;
    return;
  }
  if (d < Wide(0)) {
    n = -n;
    d = -d;
  }
  const Wide limit(INT64_MAX);
  if (!(n <= limit && n >= -limit && d <= limit)) return StoreReducedWide(n, d, out);
  // The common case: machine division.
  int64_t n64 = static_cast<int64_t>(n), d64 = static_cast<int64_t>(d);
  const int64_t g = static_cast<int64_t>(Gcd64(n64 < 0 ? -n64 : n64, d64));
  if (g != 1) {
    n64 /= g;
    d64 /= g;
  }
  out.num = n64;
  out.den = d64;
}

Fraction ReducedWide(Wide n, Wide d) {
  Fraction f;
  StoreReduced(n, d, f);
  return f;
}

bool BothFit32(const Fraction& f) {
  return f.num.FitsInt32() && f.den.FitsInt32();
}

}  // namespace

Fraction Reduced(Integer n, Integer d) {
  if (n.IsZero()) return Fraction{};
  if (n.IsSmall() && d.IsSmall()) return ReducedWide(Wide(n.Small()), Wide(d.Small()));
  if (d.Sign() < 0) {
    n = -n;
    d = -d;
  }
  const Integer g = Gcd(n, d);
  if (g.IsOne()) return Fraction{std::move(n), std::move(d)};
  return Fraction{DivideExact(n, g), DivideExact(d, g)};
}

void Reduce(Fraction& f) {
  if (f.den.IsOne()) return;  // an integer, 0 included, is reduced already
  if (f.num.IsSmall() && f.den.IsSmall()) {
    StoreReduced(Wide(f.num.Small()), Wide(f.den.Small()), f);
  } else {
    f = Reduced(f.num, f.den);
  }
}

namespace {

// Operations on large values work on reduced operands, so that they can
// cancel common factors before multiplying, as exact rational arithmetic
// does: far smaller gcds than one of the whole product. Only typed entries
// can be unreduced, and their parts are small.
Fraction Canonical(const Fraction& f) {
  if (f.num.IsSmall() && f.den.IsSmall())
    return ReducedWide(Wide(f.num.Small()), Wide(f.den.Small()));
  return f;
}

Integer DivideIfNotOne(const Integer& a, const Integer& g) {
  return g.IsOne() ? a : DivideExact(a, g);
}

// a * b for reduced a and b: n1 n2 / d1 d2 with the cross factors cancelled.
Fraction MultiplyReduced(const Fraction& a, const Fraction& b) {
  if (a.IsZero() || b.IsZero()) return Fraction{};
  const Integer g1 = Gcd(a.num, b.den), g2 = Gcd(b.num, a.den);
  return Fraction{DivideIfNotOne(a.num, g1) * DivideIfNotOne(b.num, g2),
                  DivideIfNotOne(a.den, g2) * DivideIfNotOne(b.den, g1)};
}

// a + b (a - b when subtract) for reduced a and b: over the lcm of the
// denominators, then only the common factor g of the two can remain.
Fraction AddReduced(const Fraction& a, const Fraction& b, bool subtract) {
  if (b.IsZero()) return a;
  if (a.IsZero()) return subtract ? -b : b;
  const Integer g = Gcd(a.den, b.den);
  if (g.IsOne()) {
    Integer n = subtract ? a.num * b.den - b.num * a.den : a.num * b.den + b.num * a.den;
    if (n.IsZero()) return Fraction{};
    return Fraction{std::move(n), a.den * b.den};
  }
  const Integer a_part = DivideExact(a.den, g), b_part = DivideExact(b.den, g);
  const Integer t = subtract ? a.num * b_part - b.num * a_part : a.num * b_part + b.num * a_part;
  if (t.IsZero()) return Fraction{};
  const Integer g2 = Gcd(t, g);
  return Fraction{DivideIfNotOne(t, g2), a_part * DivideIfNotOne(b.den, g2)};
}

}  // namespace

Fraction operator+(const Fraction& a, const Fraction& b) {
  if (BothFit32(a) && BothFit32(b)) {
    return ReducedWide(Wide(a.num.Small() * b.den.Small()) + Wide(b.num.Small() * a.den.Small()),
                       Wide(a.den.Small() * b.den.Small()));
  }
  return AddReduced(Canonical(a), Canonical(b), false);
}

Fraction operator-(const Fraction& a, const Fraction& b) {
  if (BothFit32(a) && BothFit32(b)) {
    return ReducedWide(Wide(a.num.Small() * b.den.Small()) - Wide(b.num.Small() * a.den.Small()),
                       Wide(a.den.Small() * b.den.Small()));
  }
  return AddReduced(Canonical(a), Canonical(b), true);
}

Fraction operator*(const Fraction& a, const Fraction& b) {
  if (BothFit32(a) && BothFit32(b)) {
    return ReducedWide(Wide(a.num.Small() * b.num.Small()), Wide(a.den.Small() * b.den.Small()));
  }
  return MultiplyReduced(Canonical(a), Canonical(b));
}

Fraction operator/(const Fraction& a, const Fraction& b) {
  if (BothFit32(a) && BothFit32(b)) {
    return ReducedWide(Wide(a.num.Small() * b.den.Small()), Wide(a.den.Small() * b.num.Small()));
  }
  const Fraction c = Canonical(b);
  const Fraction inverse = c.num.Sign() < 0 ? Fraction{-c.den, -c.num} : Fraction{c.den, c.num};
  return a * inverse;
}

Fraction operator-(const Fraction& a) {
  return Fraction{-a.num, a.den};
}

namespace {

// a -= m * b beyond machine arithmetic, on reduced operands. Out of line, so
// that the machine road needs no room for its temporaries.
[[gnu::noinline]] void SubtractMultipleBig(Fraction& a, const Fraction& m, const Fraction& b) {
  a = AddReduced(Canonical(a), MultiplyReduced(m, Canonical(b)), true);
}

// a -= m * b, reduced; whether the new a has 32-bit parts.
inline bool SubtractMultiple(Fraction& a, const Fraction& multiplier, const Fraction& b) {
  // a - m * b over the common denominator den(a) * den(b) * den(m).
  if (BothFit32(a) && BothFit32(b) && multiplier.num.IsSmall() && multiplier.den.IsSmall()) {
    // Each part is a 32-bit by 32-bit product times a 64-bit factor: below
    // 2^125, so the difference of two fits in 128 bits.
    const Wide n = Wide(a.num.Small() * b.den.Small()) * multiplier.den.Small() -
                   Wide(b.num.Small() * a.den.Small()) * multiplier.num.Small();
    StoreReduced(n, Wide(a.den.Small() * b.den.Small()) * multiplier.den.Small(), a);
  } else {
    SubtractMultipleBig(a, multiplier, b);
  }
  return BothFit32(a);
}

}  // namespace

bool SubtractMultipleOfRow(Fraction* a, const Fraction& m, const Fraction* b, int count) {
  bool small = true;
  for (int j = 0; j < count; ++j) {
    if (!SubtractMultiple(a[j], m, b[j])) small = false;
  }
  return small;
}

int Compare(const Fraction& a, const Fraction& b) {
  return Compare(a.num * b.den, b.num * a.den);  // denominators are positive
}

}  // namespace calc
