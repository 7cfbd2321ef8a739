#include "result_text.h"

#include <algorithm>

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

std::string RankResultFault(std::string_view text) {
  constexpr std::string_view kRankLine = "\n矩阵的秩为";
  const size_t tail = text.rfind(kRankLine);
  Fraction rank;
  if (tail == std::string_view::npos ||
      !ParseShownFraction(text.substr(tail + kRankLine.size()), rank) || !rank.den.IsOne()) {
    return "no rank line";
  }
  // Each row's leading entry strictly right of the one above, zero rows last.
  size_t previous_lead = 0, nonzero_rows = 0;
  for (std::string_view rows = text.substr(0, tail); !rows.empty();) {
    const std::string_view row = rows.substr(0, rows.find('\n'));
    rows.remove_prefix(std::min(rows.size(), row.size() + 1));
    size_t lead = 1;
    while (row.substr(2 * lead - 2, 2) == "0 ") ++lead;
    if (2 * lead - 2 == row.size()) {
      previous_lead = row.size();
    } else if (lead <= previous_lead) {
      return "row " + std::string(row.substr(0, 40)) + " breaks the echelon form";
    } else {
      previous_lead = lead;
      ++nonzero_rows;
    }
  }
  return Integer(static_cast<int64_t>(nonzero_rows)) == rank.num ? "" : "not the rank shown";
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
