// Turns the text typed into a matrix edit control into a FractionMatrix.
//
// Syntax, once the text is prepared: entries are an optional minus, digits,
// and optionally a slash and the digits of a denominator; blanks separate
// entries and CR ends a row.
#pragma once

#include <string>
#include <string_view>

#include "fraction_matrix.h"
#include "input_forms.h"

namespace calc {

// Prepares the text (input_forms.h), then reads it into m, which is
// cleared first: entries the text does not give are 0/1. On success m.rows
// and m.cols hold the row count and the column count (the number of words
// with a digit on the first line, or in the whole text when it has a single
// row). On failure m holds no matrix and the result says why.
ReadResult ReadMatrixText(std::string_view text, FractionMatrix& m);

// The message box text for a refusal (empty for none).
std::string ReadMessage(const ReadResult& result);

}  // namespace calc
