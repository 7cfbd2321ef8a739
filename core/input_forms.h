// The forms in which users type or paste a matrix, turned into the plain
// syntax that the reader's state machine reads (numbers separated by blanks,
// rows ended by CR LF), or refused with the place and the character that no
// form explains.
//
// Read as the user means them (code page 936 text, walked character by
// character, so that no byte inside a double-byte character is matched):
// - blanks: tab, the ideographic space, "&", "|", "，" and "、"; a plus sign
//   before a number;
// - row ends: CR LF, CR or LF alone, ";" and "；", LaTeX's "\\" (with its
//   spacing argument "[2pt]"), and a closing bracket followed by a comma
//   ("[[1, 2], [3, 4]]", "{{1,2},{3,4}}"); a row end other than a line end
//   takes the blanks and the one line end after it with it, and gives no
//   empty row of its own;
// - the ASCII comma: a thousands separator between a digit and exactly three
//   digits ("1,234,567"), except in a text whose rows are lists; otherwise a
//   blank;
// - the full-width digits, "－", "／", "．", "＋", brackets and "＝", and the
//   en dash as a minus;
// - decimals, exactly: "0.5" is 1/2, "1.5/2" is 3/4, "1/0.5" is 2;
// - LaTeX: \begin{..} and \end{..} (with array's column layout), \left,
//   \right, \hline, spacing commands, "$", and \frac, \dfrac, \tfrac;
// - brackets, parentheses and braces are ignored, and so is a name with "="
//   before the first number ("A = [1 2; 3 4]").
//
// Text in the plain syntax passes unchanged, with all its quirks ("5-3" is
// 47, "1/0↵5 6" reads 1/5 and 6). Everything before the first number that
// is not a LaTeX command, "_" or "^" is skipped, as the reader skips it.
#pragma once

#include <string>
#include <string_view>

namespace calc {

// Why a text was refused, in the order in which the checks take precedence:
// the forms' refusals (the first in the text), then the reader's.
enum class ReadError {
  kNone,
  kUnknownCharacter,    // a character no form explains, after the first number
  kUnknownCommand,      // a LaTeX command other than those above, anywhere
  kMinusInDenominator,  // "1/-2": the sign belongs before the numerator
  kEmptyCell,           // two tabs with nothing between them, before a number
  kNoDigit,             // no number, or none on the first line
  kTooLarge,            // more than 20 rows or an entry beyond column 20
  kLongRow,             // a row with more entries than the first row
  kOutOfRange,          // a typed value outside the 32-bit signed range
  kZeroDenominator,     // "5/0", or a slash followed by a blank
};

// What a reading found wrong, and where.
struct ReadResult {
  ReadError error = ReadError::kNone;
  int row = 0;       // the row of the fault, counted from the first number
  int col = 0;       // the column of an empty cell
  std::string what;  // the character or command refused, as typed

  bool ok() const { return error == ReadError::kNone; }
  bool operator==(const ReadResult& other) const {
    return error == other.error && row == other.row && col == other.col && what == other.what;
  }
};

struct PreparedText {
  std::string plain;  // the text in the plain syntax, when not refused
  ReadResult refusal;
};

// Turns every accepted form of `text` into the plain syntax, or refuses it.
PreparedText PrepareMatrixText(std::string_view text);

}  // namespace calc
