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

std::string ParseResultMatrix(std::string_view text, int rows, int cols, FractionMatrix& m) {
  m.Clear();
  if (rows < 1 || rows > kMaxOrder || cols < 1 || cols > kMaxOrder) return "no 1..20 x 1..20 shape";
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

std::string RowEchelonFault(const FractionMatrix& m, int rank) {
  int previous_lead = 0, nonzero_rows = 0;
  for (int i = 1; i <= m.rows; ++i) {
    int lead = 0;
    for (int j = 1; j <= m.cols && lead == 0; ++j) {
      if (!m(i, j).IsZero()) lead = j;
    }
    if (lead == 0) {
      previous_lead = m.cols + 1;
      continue;
    }
    if (lead <= previous_lead) return "row " + std::to_string(i) + " breaks the echelon form";
    previous_lead = lead;
    ++nonzero_rows;
  }
  if (nonzero_rows != rank) {
    return std::to_string(nonzero_rows) + " non-zero rows, rank " + std::to_string(rank);
  }
  return "";
}

std::string RankResultFault(std::string_view text) {
  constexpr std::string_view kRankLine = "\n矩阵的秩为";
  const size_t tail = text.rfind(kRankLine);
  Fraction rank;
  if (tail == std::string_view::npos ||
      !ParseShownFraction(text.substr(tail + kRankLine.size()), rank) || !rank.den.IsOne() ||
      rank.num.Sign() < 0 || !rank.num.FitsInt32()) {
    return "no rank line";
  }
  const std::string_view matrix = text.substr(0, tail);
  const auto rows = std::count(matrix.begin(), matrix.end(), '\n');
  const std::string_view first_row = matrix.substr(0, matrix.find('\n'));
  const auto cols = std::count(first_row.begin(), first_row.end(), ' ');
  FractionMatrix m;
  const std::string fault =
      ParseResultMatrix(matrix, static_cast<int>(rows), static_cast<int>(cols), m);
  return fault.empty() ? RowEchelonFault(m, static_cast<int>(rank.num.Small())) : fault;
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
