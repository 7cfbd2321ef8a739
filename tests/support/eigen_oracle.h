// The oracle of Quorvit's eigenvalues: FLINT's characteristic polynomial and
// factorisation of the typed matrix, disks proven to hold one root each of
// every irreducible factor, and the check of each fact a result text states
// against them (the text is read by eigen_text.h).
#pragma once

#include <gmpxx.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fraction_matrix.h"
#include "oracle.h"

namespace calc::testing {

// A polynomial by its coefficients, the constant first.
using QPolynomial = std::vector<mpq_class>;
using ZPolynomial = std::vector<mpz_class>;

// What is known of a matrix from the way it was built, A = P J P^-1: each
// rational eigenvalue with the sizes of its Jordan blocks, and whether J is
// diagonal over the complex numbers.
struct JordanFacts {
  std::map<mpq_class, std::vector<int>> rational;
  bool diagonalisable = true;
};

QPolynomial Product(const QPolynomial& a, const QPolynomial& b);
QMatrix Multiply(const QMatrix& a, const QMatrix& b);  // square

// An irreducible factor over Q: primitive, leading coefficient positive.
struct Factor {
  ZPolynomial poly;
  int multiplicity;
};
// f's factors by FLINT (f not zero), each once with its multiplicity.
std::vector<Factor> FactorOverQ(const QPolynomial& f);

// Empty when `text`, the box text of Quorvit's eigenvalue press for rows and
// columns 1..n of the square matrix a (n = a.rows), states the whole answer
// and every stated fact is true; otherwise the first fault found. What
// `known` holds (may be null) is checked as well.
std::string EigenResultFault(const FractionMatrix& a, std::string_view text,
                             const JordanFacts* known);

}  // namespace calc::testing
