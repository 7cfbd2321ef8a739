// Exact fractions of integers of any size.
//
// A fraction keeps the form it was given until an operation replaces it:
// the reader stores 2/4 as typed, and a program that shows an entry no
// operation touched shows it as typed. Every operation gives its result
// reduced, with the denominator positive and a zero as 0/1.
#pragma once

#include "integer.h"

namespace calc {

struct Fraction {
  Integer num{0};
  Integer den{1};

  bool IsZero() const { return num.IsZero(); }
};

// n/d reduced, the sign on the numerator, 0 as 0/1. d must not be 0.
Fraction Reduced(Integer n, Integer d);

// Rewrites f in reduced form (see Reduced), in place.
void Reduce(Fraction& f);

Fraction operator+(const Fraction& a, const Fraction& b);
Fraction operator-(const Fraction& a, const Fraction& b);
Fraction operator*(const Fraction& a, const Fraction& b);
// b must not be 0.
Fraction operator/(const Fraction& a, const Fraction& b);
Fraction operator-(const Fraction& a);
// Negative, zero or positive as a < b, a = b or a > b (forms need not be
// reduced).
int Compare(const Fraction& a, const Fraction& b);

// a[j] -= m * b[j] for j = 0..count-1, each reduced: the one operation
// every elimination repeats for each row, m being the reduced multiplier of
// the row. Exact at any size; on the common case of 32-bit parts it runs in
// machine arithmetic. Returns whether every new a[j] has 32-bit parts.
bool SubtractMultipleOfRow(Fraction* a, const Fraction& m, const Fraction* b, int count);

}  // namespace calc
