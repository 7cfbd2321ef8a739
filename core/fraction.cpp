#include "fraction.h"

namespace calc {

namespace {

Wide Magnitude(Wide v) {
  return v < Wide(0) ? -v : v;
}

// n/d reduced with the sign on the numerator, from exact wide parts.
Fraction ReducedWide(Wide n, Wide d) {
  if (n == Wide(0)) return Fraction{};
  if (d < Wide(0)) {
    n = -n;
    d = -d;
  }
  const Wide g = WideGcd(Magnitude(n), d);
  if (g != Wide(1)) {
    n = n / g;
    d = d / g;
  }
  return Fraction{Integer::FromWide(n), Integer::FromWide(d)};
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

Fraction Reduced(const Fraction& f) {
  return Reduced(f.num, f.den);
}

Fraction operator+(const Fraction& a, const Fraction& b) {
  if (BothFit32(a) && BothFit32(b)) {
    return ReducedWide(Wide(a.num.Small() * b.den.Small()) + Wide(b.num.Small() * a.den.Small()),
                       Wide(a.den.Small() * b.den.Small()));
  }
  return Reduced(a.num * b.den + b.num * a.den, a.den * b.den);
}

Fraction operator-(const Fraction& a, const Fraction& b) {
  if (BothFit32(a) && BothFit32(b)) {
    return ReducedWide(Wide(a.num.Small() * b.den.Small()) - Wide(b.num.Small() * a.den.Small()),
                       Wide(a.den.Small() * b.den.Small()));
  }
  return Reduced(a.num * b.den - b.num * a.den, a.den * b.den);
}

Fraction operator*(const Fraction& a, const Fraction& b) {
  if (BothFit32(a) && BothFit32(b)) {
    return ReducedWide(Wide(a.num.Small() * b.num.Small()), Wide(a.den.Small() * b.den.Small()));
  }
  return Reduced(a.num * b.num, a.den * b.den);
}

Fraction operator/(const Fraction& a, const Fraction& b) {
  return Reduced(a.num * b.den, a.den * b.num);
}

Fraction operator-(const Fraction& a) {
  return Fraction{-a.num, a.den};
}

bool SameValue(const Fraction& a, const Fraction& b) {
  return a.num * b.den == b.num * a.den;
}

Fraction SubtractMultiple(const Fraction& a, const Integer& take, const Integer& keep,
                          const Fraction& b) {
  // a - take/keep * b over the common denominator den(a) * den(b) * keep.
  if (BothFit32(a) && BothFit32(b) && take.IsSmall() && keep.IsSmall()) {
    // Each part is a 32-bit by 32-bit product times a 64-bit factor: below
    // 2^125, so the difference of two fits in 128 bits.
    const Wide n = Wide(a.num.Small() * b.den.Small()) * keep.Small() -
                   Wide(b.num.Small() * a.den.Small()) * take.Small();
    if (n == Wide(0)) return Fraction{};
    return ReducedWide(n, Wide(a.den.Small() * b.den.Small()) * keep.Small());
  }
  return Reduced(a.num * b.den * keep - b.num * a.den * take, a.den * b.den * keep);
}

}  // namespace calc
