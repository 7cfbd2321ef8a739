// Null spaces the eigen-analysis shares between its stages.
#pragma once

#include <vector>

#include "elimination.h"
#include "polynomial.h"

namespace calc {

// A basis of the null space of the integer matrix in rows and columns 1..n
// of `rows` (row_scale: any positive row factors, updated as rows are
// combined), each vector coprime integers with its first non-zero entry
// positive (entries 1..n): modulo word primes, proved exactly, or by
// fraction-free elimination beyond. `rows` is used as work space.
std::vector<std::vector<Integer>> IntegerNullSpace(IntegerRows& rows, Integer row_scale[], int n);

// A basis of the null space of w(A), A being rows and columns 1..n of a.
std::vector<std::vector<Integer>> KernelOfPolynomialAt(const FractionMatrix& a, int n,
                                                       const ZPoly& w);

}  // namespace calc
