// The eigenvectors of the two roots of an irreducible quadratic factor of
// the characteristic polynomial, exactly: vectors over Q(√d).
#pragma once

#include <string>
#include <vector>

#include "fraction_matrix.h"

namespace calc {

// x + y√d for the field's d, a non-square integer; with d < 0, y√d is
// imaginary: x + y√|d| i.
struct Surd {
  Fraction x, y;
};

// For θ = (-b + s√d) / (2a), the root with "+" of a t^2 + b t + c (a > 0,
// b^2 - 4ac = s^2 d): a basis of the null space of A - θI over Q(√d), from
// its reduced row echelon form, as a textbook writes it: one vector per free
// unknown, that unknown 1 and the other free unknowns 0. The other root's
// vectors are their conjugates (√d replaced by -√d). Entries 1..n of each
// vector (index 0 unused); A is rows and columns 1..n of `a`.
std::vector<std::vector<Surd>> QuadraticEigenvectors(const FractionMatrix& a, int n,
                                                     const Integer& qa, const Integer& qb,
                                                     const Integer& s, const Integer& d);

// The value in the eigenvalue's own form: "(3 + √33)/4", "-√33/4", "1/2",
// "3√2"; for d < 0 "1 - (1/2)i", "(√3/2)i", "-2i", "i".
std::string SurdText(const Surd& v, const Integer& d);

}  // namespace calc
