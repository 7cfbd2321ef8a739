// Inputs for the benchmarks: 20 x 20 matrices of fractions that are dense
// and far from trivial, yet whose eliminations, cofactors and inverse all
// stay in the 32-bit range, so that every press measured ends in a result
// rather than a refusal.
#pragma once

#include <cstdint>
#include <string>

#include "fraction_matrix.h"

namespace calc::bench {

// How large the random parts of a generated matrix are.
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

// The matrix as a user would type it: entries separated by one blank, rows
// ended by CR LF, a sign only on the numerator, "n" for whole numbers.
std::string MatrixText(const FractionMatrix& m);

// The longest text of a 20 x 20 matrix that every reader accepts: each
// entry -2147483648/2147483647.
std::string LongestMatrixText();

}  // namespace calc::bench
