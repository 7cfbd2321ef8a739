// Reading a result box back into fractions, for the tests: the one parser of
// result texts, with the checks of their form.
#pragma once

#include <string>
#include <string_view>

#include "fraction_matrix.h"

namespace calc::testing {

// Parses a result matrix text of exactly `rows` lines, each ended by a line
// feed alone and holding `cols` entries, each followed by one blank. Every
// entry must be in its shown form: "0", "n" or "n/d" in decimal without
// leading zeros, a minus only on a non-zero numerator, d above 1 and
// coprime to n. Returns an empty string and fills m (rows, cols and
// entries), or a description of the first fault.
std::string ParseResultMatrix(std::string_view text, int rows, int cols, FractionMatrix& m);

// The same for one entry's text, without its blank. Unless `reduced`, n and
// d may have a common factor (an entry shown as it was typed).
bool ParseShownFraction(std::string_view token, Fraction& f, bool reduced = true);

// Empty when m (rows 1..m.rows) is in row echelon form, each row's leading
// entry strictly right of the one above and zero rows last, with `rank`
// non-zero rows; otherwise the fault.
std::string RowEchelonFault(const FractionMatrix& m, int rank);

// Empty when a rank result box text holds a matrix in its shown form (every
// row as long as the first) and row echelon form, an empty line and
// "矩阵的秩为" with the number of its non-zero rows; otherwise the fault.
std::string RankResultFault(std::string_view text);

// The text a user would type for rows 1..rows, columns 1..cols of m: the
// entries as shown, separated by blanks, rows ended by CR LF.
std::string TypedText(const FractionMatrix& m, int rows, int cols);

// The text for a report: CR and LF written as \r and \n, cut after `limit`
// bytes.
std::string Escaped(std::string_view text, size_t limit = 300);

}  // namespace calc::testing
