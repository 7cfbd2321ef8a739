// Reading a certified decimal of the eigenvalue analysis back into the
// interval it claims, for the oracle's check of its roots (eigen_oracle.h).
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

// The roots one decimal text states: "x" (real), "a ± bi", "±bi", and the
// power forms "x×10^e", "(a ± bi)×10^e", "±(b×10^e)i"; a pair gives both
// roots. Each part must have 10 significant digits (the larger one of a
// pair). On a fault returns false with `fault` saying where.
bool ParseDecimalRoots(std::string_view text, std::vector<ShownRoot>& roots, std::string& fault);

}  // namespace calc::testing
