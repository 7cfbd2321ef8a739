// The eigenspaces: null spaces of A - λI and of w(A), exactly, modulo word
// primes where that proves the answer, fraction-free beyond.
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

// Row i of `rows` times v, both on entries 1..n.
Integer RowTimes(const IntegerRows& rows, int i, const std::vector<Integer>& v, int n);

// A basis of the null space of A - (p/q) I from A's rows cleared of
// denominators (scale: the rows' factors, as ClearDenominators gives them),
// each vector coprime integers with its first non-zero entry positive.
std::vector<std::vector<Integer>> NullSpace(const IntegerRows& cleared, const Integer scale[],
                                            const Integer& p, const Integer& q, int n);

// The rank of w(A) (w of degree at least 1).
int RankOfPolynomialAt(const FractionMatrix& a, int n, const ZPoly& w);

// A basis of the null space of w(A), A being rows and columns 1..n of a.
std::vector<std::vector<Integer>> KernelOfPolynomialAt(const FractionMatrix& a, int n,
                                                       const ZPoly& w);

}  // namespace calc
