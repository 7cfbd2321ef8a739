#include "fuzz_checks.h"

#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "messages.h"

namespace calc::fuzz {

namespace {

// Parses a run of decimal digits without a leading zero (a lone "0" is
// allowed where zero_ok); false on anything else or a value beyond 2^32.
bool ParseDigits(std::string_view digits, bool zero_ok, int64_t& value) {
  if (digits.empty() || digits.size() > 10) return false;
  if (digits[0] == '0' && (digits.size() > 1 || !zero_ok)) return false;
  value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

}  // namespace

void Fail(std::string_view what, std::string_view detail) {
  std::fprintf(stderr, "check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  if (!detail.empty()) {
    std::fprintf(stderr, "in: \"%.*s\"\n", static_cast<int>(detail.size()), detail.data());
  }
  std::abort();
}

bool ParseShownEntry(std::string_view token, const EntryRules& rules, ShownEntry& entry) {
  if (token == "0") {
    entry = ShownEntry{0, 1};
    return true;
  }
  const bool negative = !token.empty() && token[0] == '-';
  if (negative) token.remove_prefix(1);
  const size_t slash = token.find('/');
  int64_t num = 0;
  if (!ParseDigits(token.substr(0, slash), false, num)) return false;
  if (negative) num = -num;
  int64_t den = 1;
  if (slash != std::string_view::npos) {
    std::string_view den_text = token.substr(slash + 1);
    const bool negative_den = !den_text.empty() && den_text[0] == '-';
    if (negative_den) {
      if (rules.positive_den) return false;
      den_text.remove_prefix(1);
    }
    if (!ParseDigits(den_text, false, den)) return false;
    if (negative_den) den = -den;
    if (den == 1) return false;  // a denominator of 1 is never shown
  }
  if (num < INT32_MIN || num > INT32_MAX || den < INT32_MIN || den > INT32_MAX) return false;
  if (rules.reduced && std::gcd(num, den) != 1) return false;
  entry = ShownEntry{num, den};
  return true;
}

std::vector<ShownEntry> CheckMatrixText(std::string_view text, int rows, int cols,
                                        const EntryRules& rules) {
  std::vector<ShownEntry> entries;
  std::string_view rest = text;
  for (int i = 1; i <= rows; ++i) {
    const size_t end = rest.find('\n');
    Require(end != std::string_view::npos, "a row of the result is missing", text);
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    Require(line.find('\r') == std::string_view::npos, "a result row holds a CR", text);
    for (int j = 1; j <= cols; ++j) {
      const size_t blank = line.find(' ');
      Require(blank != std::string_view::npos, "a result row has too few entries", text);
      ShownEntry entry;
      Require(ParseShownEntry(line.substr(0, blank), rules, entry), "a malformed result entry",
              text);
      entries.push_back(entry);
      line.remove_prefix(blank + 1);
    }
    Require(line.empty(), "a result row has too many entries", text);
  }
  Require(rest.empty(), "the result has more rows than the matrix", text);
  return entries;
}

bool CheckBox(const Box& box, Owner result_owner, std::initializer_list<const char*> errors) {
  if (box.caption == kCaptionDone) {
    Require(box.owner == result_owner, "the result box has the wrong owner", box.text);
    return true;
  }
  Require(box.caption == kCaptionError, "a box with an unknown caption", box.caption);
  Require(box.owner == Owner::kDialog, "an error box not owned by the dialog", box.text);
  for (const char* error : errors) {
    if (box.text == error) return false;
  }
  Fail("an error box with an unknown text", box.text);
}

std::string_view ControlText(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

std::string Decimal(int64_t v) {
  return std::to_string(v);
}

}  // namespace calc::fuzz
