// Result texts for the tests: the one parser of their entries, and typed
// and escaped texts.
#pragma once

#include <string>
#include <string_view>

#include "fraction_matrix.h"

namespace calc::testing {

// Parses one entry of a result text, without its blank: "0", "n" or "n/d"
// in decimal without leading zeros, a minus only on a non-zero numerator, d
// above 1 and coprime to n. Unless `reduced`, n and d may have a common
// factor (an entry shown as it was typed).
bool ParseShownFraction(std::string_view token, Fraction& f, bool reduced = true);

// The text a user would type for rows 1..rows, columns 1..cols of m: the
// entries as shown, separated by blanks, rows ended by CR LF.
std::string TypedText(const FractionMatrix& m, int rows, int cols);

// The text for a report: CR and LF written as \r and \n, cut after `limit`
// bytes.
std::string Escaped(std::string_view text, size_t limit = 300);

}  // namespace calc::testing
