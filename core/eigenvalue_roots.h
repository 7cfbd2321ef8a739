// The roots of the characteristic polynomial, part by part of its
// square-free decomposition: rational roots exactly, the irreducible
// quadratic factors, and certified decimals of the rest.
#pragma once

#include <string>
#include <vector>

#include "fraction.h"
#include "polynomial.h"

namespace calc {

// One part of the square-free decomposition: f = prod factor^multiplicity.
struct Part {
  ZPoly factor;  // primitive, square-free
  int multiplicity;
};

// Yun's square-free decomposition of the primitive f.
std::vector<Part> SquareFreeParts(const ZPoly& f);

// The roots of one square-free part.
struct PartRoots {
  int multiplicity = 1;
  std::vector<Fraction> rational;  // reduced
  std::vector<ZPoly> quadratics;   // irreducible, primitive
  ZPoly rest;                      // what remains, degree 0 when nothing does
  std::vector<std::string> decimal_real, decimal_complex;
};

// Every root of the square-free part t of multiplicity `multiplicity`; lcm
// is the lcm of the matrix's denominators (it bounds the denominators of
// the rational roots).
PartRoots RootsOfPart(ZPoly t, int multiplicity, mpz_srcptr lcm);

}  // namespace calc
