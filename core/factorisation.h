// The factorisation of an integer polynomial into irreducible factors over
// Q, by Zassenhaus' method: its factors modulo a small prime, lifted by
// Hensel's method to a power of the prime beyond a bound on the
// coefficients of any true factor, then combined into the true factors.
#pragma once

#include <vector>

#include "polynomial.h"

namespace calc {

// g square-free, primitive and of degree at least 1: its irreducible
// factors, each primitive with a positive leading coefficient, in
// ascending order of degree, those of one degree in ascending order of
// their coefficients from the top down. Their product is g.
std::vector<ZPoly> IrreducibleFactors(const ZPoly& g);

}  // namespace calc
