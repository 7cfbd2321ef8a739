// Reading Quorvit's eigenvalue result text back into the facts it states,
// for the oracle's check (eigen_oracle.h). The parser is strict: any line
// that is not one of the result's line kinds is a fault.
#pragma once

#include <gmpxx.h>

#include <string>
#include <string_view>
#include <vector>

namespace calc::testing {

// A decimal as shown and the closed interval it claims: the value within
// one unit of its last digit.
struct ShownDecimal {
  std::string text;
  mpq_class low, high;
};

// One root shown as a decimal: real (im absent), or re + im i.
struct ShownRoot {
  ShownDecimal re, im;
  bool complex = false;
};

struct ShownEigenvalues {
  // f as shown expanded, the constant first; and the factored form, each
  // factor (monic, the constant first) with its exponent, when it is shown.
  std::vector<mpq_class> polynomial;
  std::vector<std::pair<std::vector<mpq_class>, int>> factors;

  struct Rational {
    mpq_class value;
    int algebraic = 0, geometric = 0;
    std::vector<std::vector<mpz_class>> basis;
  };
  std::vector<Rational> rational;

  // A pair of roots shown exactly, a ± b √d or a ± b √d i: the monic
  // quadratic they are the roots of, and their decimals.
  struct Quadratic {
    std::string text;
    mpq_class sum, product;
    bool complex = false;
    bool plain = false;  // complex with rational parts: shown without decimals
    int algebraic = 0;
    int geometric = 0, vectors = 0;
    std::vector<ShownRoot> decimals;
  };
  std::vector<Quadratic> quadratics;

  // Roots shown only as decimals, one group per algebraic multiplicity line;
  // a pair a ± bi stands for both of its roots.
  struct Decimals {
    std::vector<ShownRoot> roots;
    int algebraic = 0;
  };
  std::vector<Decimals> others;

  bool no_vectors_line = false;  // the line saying irrational roots get no vectors
  bool diagonalisable = false;
  bool over_complex_only = false;  // "在复数域上可对角化"
};

// Reads a result text; on a fault returns false with `fault` saying where.
bool ParseEigenText(std::string_view text, ShownEigenvalues& shown, std::string& fault);

}  // namespace calc::testing
