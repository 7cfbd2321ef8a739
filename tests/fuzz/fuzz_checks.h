// What every press must satisfy whatever the user typed, shared by the fuzz
// targets. A failed check prints what was wrong and aborts, so that libFuzzer
// keeps the input that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "box.h"
#include "fraction_matrix.h"

namespace calc::fuzz {

[[noreturn]] void Fail(std::string_view what, std::string_view detail);

inline void Require(bool ok, std::string_view what, std::string_view detail = {}) {
  if (!ok) Fail(what, detail);
}

// One entry as a result text shows it, parsed back.
struct ShownEntry {
  int64_t num = 0;
  int64_t den = 1;
};

// How strictly an entry's text form is checked.
struct EntryRules {
  bool reduced = true;       // numerator and denominator have no common factor
  bool positive_den = true;  // a shown denominator is above 1 (never negative)
};

// Parses "0", "n" or "n/d": decimal without leading zeros or plus sign, a
// minus only before a non-zero numerator, no denominator for a zero
// numerator, a denominator of 1 never shown, both parts in the 32-bit range.
// Returns false if the token breaks any of these or the rules given.
bool ParseShownEntry(std::string_view token, const EntryRules& rules, ShownEntry& entry);

// Checks a result matrix text: exactly `rows` lines, each ended by a line feed
// alone and holding `cols` entries, each entry followed by one blank. Returns
// the entries row by row.
std::vector<ShownEntry> CheckMatrixText(std::string_view text, int rows, int cols,
                                        const EntryRules& rules = {});

// The box is either the program's result box (caption "计算完毕", owned as
// given) or an error box owned by the dialog, captioned "Error", whose text
// is one of `errors`. Returns true for a result box.
bool CheckBox(const Box& box, Owner result_owner, std::initializer_list<const char*> errors);

// The text an edit control would hold: the bytes before the first NUL.
std::string_view ControlText(std::string_view bytes);

// Decimal form of v, as the result texts write numbers.
std::string Decimal(int64_t v);

}  // namespace calc::fuzz
