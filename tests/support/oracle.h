// The one oracle of every calculation: GMP's exact rationals, computed
// independently of the programs' own arithmetic, and the one comparison of a
// press's box with it.
#pragma once

#include <gmpxx.h>

#include <string>
#include <vector>

#include "box.h"
#include "fraction_matrix.h"
#include "linear_system.h"

namespace calc::testing {

enum Calculation {
  kRank,
  kDeterminant,
  kAdjugate,
  kInverse,
  kSum,
  kDifference,
  kProduct,
  kMultiple,
  kCalculationCount,
  // Quorvit's "解方程组", whose answers are checked fact by fact rather
  // than by Expected (its log replays as the others' do).
  kSystem = kCalculationCount
};
extern const char* const kCalculationNames[kCalculationCount];

using QMatrix = std::vector<std::vector<mpq_class>>;
// Rows and columns 1..rows, 1..cols of m, exactly.
QMatrix Exact(const FractionMatrix& m, int rows, int cols);

// Row reduction as the programs define it: in each of the first pivot_cols
// columns a zero pivot is repaired by adding the first lower row that is
// non-zero there, then the column is cleared below the pivot (and above it
// with clear_above). Returns the number of pivots.
size_t Eliminate(QMatrix& m, size_t pivot_cols, bool clear_above);
// A^-1 and det(A) by Gauss-Jordan on [A | I] (A square); false when A is
// singular.
bool Invert(const QMatrix& a, QMatrix& inverse, mpq_class& det);

// One press of the program that runs c, with c chosen (Tessovar's second
// matrix from `second`, which the others ignore).
Box Press(Calculation c, const std::string& first, const std::string& second);

// The box the press must show for the matrices a and b as read (rows, cols
// and entries 1..20).
Box Expected(Calculation c, const FractionMatrix& a, const FractionMatrix& b);

// The same for typed texts: the first refusal of the reader, else Expected.
Box ExpectedForTexts(Calculation c, const std::string& first, const std::string& second);

// Empty when `shown` is `expected` byte for byte; otherwise the difference.
std::string Compare(const Box& shown, const Box& expected);

// Every fact of Quorvit's answer to the system [A | b] against the oracle's
// reduced form: the reduced form itself, both ranks, the verdict, the free
// unknowns, A η = b with η 0 on the free unknowns, A ξk = 0 and ξk's unit
// pattern on the free unknowns. Empty when all hold, else the first fault.
std::string SystemAnswerFault(const FractionMatrix& a, const LinearSystem& s);

}  // namespace calc::testing
