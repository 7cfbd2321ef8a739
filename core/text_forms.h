// Text forms of numbers, fractions and matrices in the result boxes and the
// process log.
#pragma once

#include <string>

#include "fraction_matrix.h"

namespace calc {

// Appends v in decimal: a minus for a negative value, no leading zeros.
void AppendDecimal(const Integer& v, std::string& text);

// Appends a fraction as stored: "0" when its numerator is 0, the numerator
// alone when the denominator is 1, otherwise "n/d".
void AppendFraction(const Fraction& f, std::string& text);

// Appends rows 1..rows, columns 1..cols: each entry as above followed by a
// blank, each row ended by a line feed alone.
void FormatMatrixText(const FractionMatrix& m, int rows, int cols, std::string& text);

}  // namespace calc
