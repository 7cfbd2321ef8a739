#include "result_text.h"

#include "text_forms.h"

namespace calc::testing {

namespace {

bool ParseDigits(std::string_view digits, Integer& value) {
  if (digits.empty() || (digits[0] == '0' && digits.size() > 1)) return false;
  value = Integer(0);
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * Integer(10) + Integer(c - '0');
  }
  return true;
}

}  // namespace

bool ParseShownFraction(std::string_view token, Fraction& f) {
  const bool negative = !token.empty() && token[0] == '-';
  if (negative) token.remove_prefix(1);
  const size_t slash = token.find('/');
  Integer num, den(1);
  if (!ParseDigits(token.substr(0, slash), num)) return false;
  if (slash != std::string_view::npos &&
      (!ParseDigits(token.substr(slash + 1), den) || Compare(den, Integer(1)) <= 0)) {
    return false;
  }
  if (num.IsZero() && (negative || slash != std::string_view::npos)) return false;
  if (!Gcd(num, den).IsOne() && !num.IsZero()) return false;
  f = Fraction{negative ? -num : num, den};
  return true;
}

std::string ParseResultMatrix(std::string_view text, int rows, int cols, FractionMatrix& m) {
  m.Clear();
  m.rows = rows;
  m.cols = cols;
  for (int i = 1; i <= rows; ++i) {
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) return "line " + std::to_string(i) + " missing";
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    for (int j = 1; j <= cols; ++j) {
      const size_t blank = line.find(' ');
      if (blank == std::string_view::npos || blank == 0) {
        return "row " + std::to_string(i) + ": entry " + std::to_string(j) + " missing";
      }
      if (!ParseShownFraction(line.substr(0, blank), m(i, j))) {
        return "row " + std::to_string(i) + ": bad entry " + std::string(line.substr(0, blank));
      }
      line.remove_prefix(blank + 1);
    }
    if (!line.empty()) return "row " + std::to_string(i) + ": more than the entries";
  }
  if (!text.empty()) return "text after the last row: " + std::string(text.substr(0, 40));
  return "";
}

std::string TypedText(const FractionMatrix& m, int rows, int cols) {
  std::string text;
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) {
      AppendFraction(m(i, j), text);
      text += ' ';
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace calc::testing
