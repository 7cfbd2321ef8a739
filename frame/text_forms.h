// Text forms of numbers, fractions and matrices in the result boxes.
#pragma once

#include <cstdint>
#include <string>

#include "fraction_matrix.h"

namespace calc {

// Appends v in decimal: a minus for a negative value, no leading zeros.
void AppendDecimal(int64_t v, std::string& text);

// Appends one result entry: "0 " for a zero numerator, "n " for a
// denominator of 1, otherwise "n/d ".
void FormatFractionEntry(int32_t num, int32_t den, std::string& text);

// Appends rows 1..rows, columns 1..cols: each entry as above, each row ended
// by a line feed alone.
void FormatMatrixText(const FractionMatrix& m, int rows, int cols, std::string& text);

}  // namespace calc
