// Cofactors of a square matrix of fractions, and the elimination steps that
// Lumbrane's determinant shares with them.
//
// Every value is computed exactly and stored only if its reduced numerator
// and denominator fit in 32 bits; the routines return false otherwise, and
// the press refuses with "数值超出范围".
#pragma once

#include <cstdint>

#include "fraction_matrix.h"
#include "wide_int.h"

namespace calc {

// Row i -= (entry (i, p) / pivot (p, p)) * row p over columns 1..n, each new
// entry formed over the product of the pivot's numerator and the
// denominators involved, with a zero result stored as 0/1. The pivot must be
// non-zero and rows i and p must already be zero (0/1) left of column p.
// The stored form (including which part carries the sign) is the one that
// formula gives after reduction.
bool EliminateRowBelowPivot(FractionMatrix& m, int p, int i, int n);

// Reduces n/d and stores it in 32-bit parts, keeping each sign on its own
// part; should only the form with the sign on the numerator fit (-2^31 over
// a negative denominator), stores that one. False when neither fits.
bool StoreExact(Wide n, Wide d, int32_t& num, int32_t& den);

// The product of the diagonal entries (1, 1)..(n, n), reduced after each
// factor; 1/1 when n is 0. Exact in 64-bit parts: false only if a running
// value leaves that range.
bool MultiplyDiagonal(const FractionMatrix& m, int n, int64_t& num, int64_t& den);

// Stores in result entry (c, r) the cofactor of entry (r, c) of the matrix
// of order n held in work: the determinant of the minor left by deleting row
// r and column c, negated when r + c is odd. The minor is triangularised in
// place (a zero pivot is repaired by adding the first lower row that is
// non-zero in the pivot column, which keeps the determinant's sign), so work
// is consumed: give every call a fresh copy of the matrix. The denominator
// may come out negative. Returns false, storing nothing, on overflow.
bool EvaluateCofactor(FractionMatrix& work, int n, int r, int c, FractionMatrix& result);

// Stores in result the adjugate of the matrix of order n in a: every
// cofactor exactly as EvaluateCofactor gives it, in the same stored form.
// The pivot steps that the minors of one column have in common are done
// once for all of them. Returns false if some EvaluateCofactor would.
bool EvaluateAdjugate(const FractionMatrix& a, int n, FractionMatrix& result);

}  // namespace calc
