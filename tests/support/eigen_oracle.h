// The oracle of Quorvit's eigenvalues: FLINT's characteristic polynomial and
// factorisation of the typed matrix, disks proven to hold one root each of
// every irreducible factor, and the check of each fact the analysis value
// states against them (its decimals are read by certified_decimals.h).
#pragma once

#include <gmpxx.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "eigen.h"
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

// Empty when every fact the analysis of the square matrix a (rows and
// columns 1..a.rows) states is true and it states the whole answer: the
// polynomial and its complete factorisation, every eigenvalue with its
// multiplicities and eigenspace, the certified decimals, the verdict;
// otherwise the first fault found. What `known` holds (may be null) is
// checked as well.
std::string EigenAnalysisFault(const FractionMatrix& a, const EigenAnalysis& analysis,
                               const JordanFacts* known);

// Empty when every vector of q's basis is an eigenvector of A for the root
// of q with "+" in Q(√radicand), with its free unknown 1 where the other
// vectors have 0; otherwise the fault. (The number of vectors is checked
// against the rank of q(A) by EigenAnalysisFault.)
std::string SurdEigenvectorFault(const QMatrix& a, const QuadraticEigenvalue& q);

}  // namespace calc::testing
