#include "result_text.h"

#include "text_forms.h"

namespace calc::testing {

namespace {

// Decimal digits without a leading zero.
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

bool ParseShownFraction(std::string_view token, Fraction& f, bool reduced) {
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
  if (reduced && !num.IsZero() && !Gcd(num, den).IsOne()) return false;
  f = Fraction{negative ? -num : num, den};
  return true;
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

std::string Escaped(std::string_view text, size_t limit) {
  std::string out;
  for (char c : text.substr(0, limit))
    out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return text.size() > limit ? out + "..." : out;
}

}  // namespace calc::testing
