// How the result window shows a text: consecutive lines that hold only
// numbers (integers and fractions, and the bar " |" of an augmented block)
// form a table whose columns are right-aligned, padded with blanks, so that
// a matrix reads column by column in a fixed-pitch font:
//
//   -9/2 7 -3/2        -9/2 7 -3/2
//   -2 4 -1       ->     -2 4   -1
//
// Every other line is kept as it is. Message boxes, the log file and the
// presses' texts are not aligned: this is a way of showing them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace calc {

// The cells of a line of a number table (numbers and bars, between its
// blanks), or false when the line is no table line: it must hold a number,
// and nothing but numbers and bars.
bool TableCells(std::string_view line, std::vector<std::string_view>& cells);

// The text (code page 936, LF or CR LF line ends, kept) with its number
// tables aligned; a table line loses its leading and trailing blanks.
std::string AlignColumns(std::string_view text);

}  // namespace calc
