// The characteristic polynomial of a matrix of fractions, exactly: modulo
// word primes, put together by the Chinese remainder theorem.
#pragma once

#include "fraction_matrix.h"
#include "polynomial.h"

namespace calc {

// det(x R - R A) for R = diag(r_i), r_i the lcm of the denominators of row
// i of A (rows and columns 1..n of a): an integer polynomial, (prod r_i)
// times the characteristic polynomial of A.
ZPoly ScaledCharacteristicPolynomial(const FractionMatrix& a, int n);

}  // namespace calc
