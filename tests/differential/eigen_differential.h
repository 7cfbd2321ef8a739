// Quorvit's eigenvalues against FLINT, on random matrices A = P J P^-1 of
// known structure (eigen_differential.cpp).
#pragma once

#include <cstdint>

namespace calc::testing {

// Draws `count` matrices from `seed` (orders 1..20: repeated rational
// eigenvalues, some with large denominators, defective Jordan blocks,
// companion blocks of irreducible quadratics, cubics and quartics, real and
// complex, once or repeated, scalar and zero matrices, and some matrices of
// no structure, every 250th of them 20 x 20 full 32-bit fractions; first
// eight fixed matrices that are hard to get right), presses
// "特征值" on each and checks every fact of its text (eigen_oracle.h). Prints
// the first faults and the counts; returns the number of wrong,
// missing or refused answers.
int RunEigenvalues(uint64_t seed, int count);

}  // namespace calc::testing
