// Exact determinant and inverse by fraction-free elimination on integers.
//
// The step-by-step eliminations of the tools keep every entry as a fraction
// of 32-bit integers, as their results and logs show them, so they refuse a
// matrix whose intermediate entries leave that range even when the answer
// fits. Where only the answer is shown, this second method can still reach
// it: every row is multiplied by the least common multiple of its
// denominators, and Gauss-Jordan elimination in Bareiss' form keeps every
// entry a minor of that integer matrix, dividing exactly at each step.
#pragma once

#include "fraction_matrix.h"
#include "wide_int.h"

namespace calc {

// The answers for rows and columns 1..n of a matrix M. With A the integer
// matrix (row i of M times row_factor[i]) and P the row exchanges made:
//   det(M)        = sign * pivot_product / scale
//   inverse(M)ij  = scaled[i][j] / pivot_product
//   adjugate(M)ij = sign * scaled[i][j] / scale
// (none of these reduced). When singular, only the determinant (0) holds.
struct FractionFreeForm {
  bool singular = false;
  int sign = 1;
  Wide pivot_product;  // det(P A), never 0 unless singular
  Wide scale;          // the product of the row factors (below 2^124)
  Wide scaled[kMaxOrder + 1][kMaxOrder + 1];
};

// Fills form for rows and columns 1..n of m; scaled only when with_inverse
// is set (the determinant alone needs less work and smaller values).
// Returns false when a value on the way needs more than 62 bits (the
// products of two then still fit).
bool FractionFreeSolve(const FractionMatrix& m, int n, bool with_inverse, FractionFreeForm& form);

}  // namespace calc
