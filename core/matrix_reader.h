// Turns the text typed into a matrix edit control into a FractionMatrix.
//
// Syntax: entries are an optional minus, digits, and optionally a slash and
// the digits of a denominator; blanks separate entries and CR ends a row.
// Other bytes inside a number are skipped (1,500 reads as 1500).
#pragma once

#include <string_view>

#include "fraction_matrix.h"

namespace calc {

// Why a text was refused, in the order in which the checks take precedence.
enum class ReadError {
  kNone,
  kNoDigit,          // no number, or none on the first line: "请输入矩阵"
  kTooLarge,         // more than 20 rows or an entry beyond column 20
  kDecimalPoint,     // "3.14": a full stop directly followed by a digit
  kOutOfRange,       // a typed number outside the 32-bit signed range
  kZeroDenominator,  // "5/0", or a slash followed by a blank
};

// Reads the whole text into m, which is cleared first: entries the text does
// not give are 0/1. On success m.rows and m.cols hold the row count and the
// column count (the number of words with a digit on the first line, or in
// the whole text when it has a single row). On failure m holds no matrix.
ReadError ReadMatrixText(std::string_view text, FractionMatrix& m);

// The message box text for a refusal (nullptr for kNone).
const char* ReadErrorText(ReadError error);

}  // namespace calc
