// Inputs for the benchmarks: 20 x 20 dense fraction matrices in two sets.
// The in-range set keeps every elimination, cofactor and inverse entry in
// the 32-bit range; the full-range set is random fractions of the whole
// 32-bit range, whose eliminations grow to numbers of thousands of bits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fraction_matrix.h"

namespace calc::bench {

// How large the random parts of a generated in-range matrix are.
enum class Spread {
  kSmall,  // multipliers +-1 over 1, 2 or 3; diagonal 1, -1, 2, 1/2
  kLarge,  // multipliers up to +-4 over 1..9; diagonal with sevenths and fifths
};

// A = L * U of order n, where L is the identity with a dense block of
// random fractions in rows h+1..n, columns 1..h, and U is diagonal with a
// dense block in rows 1..h, columns h+1..n. Every minor of A, and so every
// pivot, cofactor and inverse entry, is built from few small terms, while A
// itself has fractions almost everywhere (all but the h x h top-left block,
// which is diagonal). Deterministic in seed.
FractionMatrix GenerateMatrix(uint32_t seed, Spread spread, int n = 20, int h = 5);

// An n x n matrix of random fractions p/q with p in -2^31..2^31-1 and q in
// 1..2^31-1, written as drawn (not reduced). Deterministic in seed.
FractionMatrix FullRangeMatrix(uint32_t seed, int n = 20);

// A full-range 20 x 20 matrix of rank 19: row 20 is row 1 minus row 2,
// where rows 1 and 2 share their denominators and have numerators in
// -2^30..2^30-1, so that the difference is still a 32-bit fraction.
FractionMatrix FullRangeRank19Matrix(uint32_t seed);

// The matrix as a user would type it: entries separated by one blank, rows
// ended by CR LF, a sign only on the numerator, "n" for whole numbers.
std::string MatrixText(const FractionMatrix& m);

// The longest text of a 20 x 20 matrix that every reader accepts: each
// entry -2147483648/2147483647.
std::string LongestMatrixText();

// One set of inputs for every press, as typed texts.
struct InputSet {
  const char* name;           // part of each benchmark's name
  std::string first, second;  // for rank, determinant, inverse, sum, multiple
  std::string left, right;    // for the product
  std::string factor;         // the number of the multiple
};

const InputSet& InRangeSet();
const InputSet& FullRangeSet();

// Inputs of Quorvit's eigenvalue press, 20 x 20 each: random integers
// -99..99 ("integers"), random full-range fractions ("full_range"), and
// P J P^-1 where J has repeated rational eigenvalues in Jordan blocks up to
// size 3, a repeated irrational quadratic in a defective block, and an
// irreducible cubic ("defective").
struct EigenInput {
  const char* name;
  std::string text;
};
const std::vector<EigenInput>& EigenInputs();

// Inputs of Quorvit's "解方程组", augmented matrices [A | b]: 20 x 20 of
// integers -99..99 whose last two rows are sums of others (rank 18, one
// free unknown; "integers_rank18"), the same of full-range fractions whose
// last two rows copy others ("full_range_rank18"), and a square invertible
// system of 19 unknowns in integers -99..99 ("square19").
struct SystemInput {
  const char* name;
  FractionMatrix matrix;
  std::string text;
};
const std::vector<SystemInput>& SystemInputs();

// FLINT's routines on the same inputs (flint_bench.cpp, built when FLINT is
// installed).
void RegisterFlintBenchmarks(const InputSet& set);
// FLINT's characteristic polynomial and its factorisation over Q, on each
// eigenvalue input.
void RegisterFlintEigenBenchmarks();
// FLINT's reduced row echelon form of each system (its solve for the square
// one).
void RegisterFlintSystemBenchmarks();

}  // namespace calc::bench
