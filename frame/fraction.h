// Exact fraction arithmetic on pairs of 32-bit integers.
//
// Every operation of the tools is computed exactly in 128-bit integers, then
// reduced, and only then checked against the 32-bit range of the stored
// numerator and denominator. Nothing wraps: a value that does not fit is
// reported to the caller, which refuses the press.
#pragma once

#include <cstdint>

#include "fraction_matrix.h"
#include "wide_int.h"

namespace calc {

// Greatest common divisor of |a| and |b|. Gcd(0, b) is |b|, so Gcd(0, 0) is
// 0. The magnitude 2^31 has no 32-bit positive form, so Gcd(0, INT32_MIN)
// and Gcd(INT32_MIN, INT32_MIN) give INT32_MIN, as the original loop did.
int32_t Gcd(int32_t a, int32_t b);

// Greatest common divisor of two unsigned 64-bit values (binary method).
uint64_t Gcd64(uint64_t a, uint64_t b);

// Greatest common divisor of two non-negative wide values (0 when both are 0).
Wide WideGcd(Wide a, Wide b);

// Reduces n/d by the greatest common divisor of the two (each sign stays on
// its own part) and stores the result if both parts fit in 32 bits. A zero
// numerator reduces to 0/1 or 0/-1. Returns false, storing nothing, when the
// reduced value does not fit or d is 0.
bool StoreReduced(Wide n, Wide d, int32_t& num, int32_t& den);

// Like StoreReduced, but keeps the result in 64-bit parts: for running
// products, whose intermediate values may leave the 32-bit range as long as
// the final one is back in it.
bool ReduceWide(Wide n, Wide d, int64_t& num, int64_t& den);

// For rows 1..rows and columns 1..cols: where a denominator is negative,
// negates both parts. Returns false if a part is INT32_MIN and so has no
// 32-bit negation (the matrix is then partly changed).
bool MakeDenominatorsPositive(FractionMatrix& m, int rows, int cols);

// Reduces every entry of rows 1..rows, columns 1..cols (as typed, 2/4 stays
// 2/4 until something reduces it).
void ReduceMatrix(FractionMatrix& m, int rows, int cols);

// True when v lies in the 32-bit signed range.
inline bool FitsInt32(Wide v) {
  return v >= Wide(INT32_MIN) && v <= Wide(INT32_MAX);
}
inline bool FitsInt32(int64_t v) {
  return v >= INT32_MIN && v <= INT32_MAX;
}

}  // namespace calc
