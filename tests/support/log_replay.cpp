#include "log_replay.h"

#include <gmpxx.h>

#include <string_view>
#include <vector>

#include "inverse_press.h"
#include "matrix_reader.h"
#include "rank_press.h"

namespace calc::testing {

namespace {

using Q = mpq_class;
using Rows = QMatrix;

// The log's lines, one at a time; the text after the last line read is
// what is left.
class Lines {
 public:
  explicit Lines(std::string_view log) : rest_(log) {}
  bool Next(std::string_view& line) {
    const size_t end = rest_.find("\r\n");
    if (end == std::string_view::npos) return false;
    line = rest_.substr(0, end);
    consumed_ = end + 2;
    return true;
  }
  void Take() {
    rest_.remove_prefix(consumed_);
    ++taken_;
  }
  std::string_view Rest() const { return rest_; }
  int Taken() const { return taken_; }

 private:
  std::string_view rest_;
  size_t consumed_ = 0;
  int taken_ = 0;
};

// Whether line is the pattern with each "#" standing for a decimal number
// (without sign or leading zero), which is stored in numbers in order.
bool Match(std::string_view line, std::string_view pattern, int* numbers = nullptr) {
  size_t at = 0;
  for (size_t p = 0; p < pattern.size(); ++p) {
    if (pattern[p] != '#') {
      if (at >= line.size() || line[at] != pattern[p]) return false;
      ++at;
      continue;
    }
    const size_t start = at;
    long value = 0;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9' && value < 1000) {
      value = value * 10 + (line[at++] - '0');
    }
    if (at == start || (line[start] == '0' && at - start > 1)) return false;
    *numbers++ = static_cast<int>(value);
  }
  return at == line.size();
}

// The text of row i of a block: every entry after one blank, " |" after
// column `divider` when it is not 0.
std::string BlockRow(const std::vector<Q>& row, size_t divider) {
  std::string text;
  for (size_t j = 0; j < row.size(); ++j) {
    text += ' ' + row[j].get_str();
    if (j + 1 == divider) text += " |";
  }
  return text;
}

// The rows as a result box shows them: every entry followed by a blank,
// every row by a line feed; columns from..to-1.
std::string ShownRows(const Rows& m, size_t from, size_t to, const Q& factor = 1) {
  std::string text;
  for (const auto& row : m) {
    for (size_t j = from; j < to; ++j) text += Q(factor * row[j]).get_str() + ' ';
    text += '\n';
  }
  return text;
}

std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

bool ZeroIn(const std::vector<Q>& row, size_t from, size_t to) {
  for (size_t j = from; j < to; ++j) {
    if (row[j] != 0) return false;
  }
  return true;
}

// The replay of one log: the matrix as the steps so far leave it, and the
// walk of the elimination (pivots found, next column to look at).
class Replay {
 public:
  Replay(Rows m, std::string_view log, size_t divider)
      : m_(std::move(m)), lines_(log), divider_(divider) {}

  // The next line, if it is one of the elimination's; not consumed.
  bool Peek(std::string_view& line) { return lines_.Next(line); }
  void Take() { lines_.Take(); }

  std::string Fault(const std::string& what) const {
    return "log line " + std::to_string(lines_.Taken() + 1) + ": " + what;
  }

  // The first row from `from` on (0-based) that is non-zero in column c.
  size_t FirstNonZero(size_t from, size_t c) const {
    while (from < m_.size() && m_[from][c] == 0) ++from;
    return from;
  }

  // Reads the block that follows a step: one line per row, then an empty
  // line; empty when it shows m_ exactly.
  std::string Block() {
    std::string_view line;
    for (size_t i = 0; i < m_.size(); ++i) {
      if (!lines_.Next(line)) return Fault("a block ends early");
      const std::string want = BlockRow(m_[i], divider_);
      if (line != want) {
        return Fault("row " + std::to_string(i + 1) + " is \"" + std::string(line) +
                     "\", the replay gives \"" + want + "\"");
      }
      lines_.Take();
    }
    if (!lines_.Next(line) || !line.empty()) return Fault("no empty line after a block");
    lines_.Take();
    return "";
  }

  // The pivot search of the step with pivot row k (1-based) in column c:
  // the lower row `named` (0: none) must be the first that repairs it.
  std::string CheckRepair(int k, size_t c, int named) const {
    const bool zero = m_[k - 1][c] == 0;
    if (!zero && named == 0) return "";
    const size_t first = FirstNonZero(k, c) + 1;
    if (!zero) return Fault("a repair of a non-zero pivot");
    if (named == 0) return Fault("a zero pivot without a repair");
    if (static_cast<size_t>(named) != first) return Fault("the repair takes another row");
    return "";
  }

  // Whether line says that the next column has no pivot; then fault is
  // set when it is not the next column or when a row from pivot row k
  // (1-based) down has an entry there, and otherwise the column is passed.
  bool SkippedColumn(std::string_view line, int k, std::string& fault) {
    int column = 0;
    if (!Match(line, "第#列无主元, 跳过", &column)) return false;
    if (static_cast<size_t>(column) != col_ + 1) {
      fault = Fault("not the next column");
    } else if (FirstNonZero(k - 1, col_) < m_.size()) {
      fault = Fault("the column has a pivot");
    } else {
      Take();
      ++col_;
    }
    return true;
  }

  Rows m_;
  Lines lines_;
  size_t divider_;
  int pivots_ = 0;  // pivot rows so far; the next is pivots_ + 1
  size_t col_ = 0;  // the next column to look at, 0-based
};

// Applies the row operations a line names, "r2 - 4r1, r3 + (1/2)r1": each
// row i (not k; below k unless jordan) minus or plus a multiple of pivot row
// k. False when the line is not such a list.
bool ApplyRowOperations(std::string_view line, int k, bool jordan, Rows& m) {
  for (;;) {
    const size_t end = std::min(line.find(", "), line.size());
    std::string_view op = line.substr(0, end);
    int row[2] = {0, 0};
    const size_t sign = op.find(" - ") != std::string_view::npos ? op.find(" - ") : op.find(" + ");
    if (sign == std::string_view::npos || !Match(op.substr(0, sign), "r#", row)) return false;
    std::string_view rest = op.substr(sign + 3);
    const size_t r_at = rest.rfind('r');
    if (r_at == std::string_view::npos || !Match(rest.substr(r_at), "r#", row + 1)) return false;
    std::string_view factor = rest.substr(0, r_at);
    if (factor.size() > 1 && factor.front() == '(' && factor.back() == ')') {
      factor = factor.substr(1, factor.size() - 2);
    }
    Q f = 1;
    if (!factor.empty()) {
      if (factor.find_first_not_of("0123456789/") != std::string_view::npos) return false;
      f = Q(std::string(factor));
      f.canonicalize();
    }
    const int i = row[0];
    if (row[1] != k || i == k || i < 1 || static_cast<size_t>(i) > m.size() || (!jordan && i < k)) {
      return false;
    }
    if (op[sign + 1] == '-') f = -f;
    for (size_t j = 0; j < m[i - 1].size(); ++j) m[i - 1][j] += f * m[k - 1][j];
    if (end == line.size()) return true;
    line.remove_prefix(end + 2);
  }
}

// Replays the steps of an elimination with pivots in the first pivot_cols
// columns, until the rows or the columns run out. Quorvit's rank (not
// jordan): a zero pivot repaired by adding a lower row, the rows below
// cleared, no step for the last row. Gauss-Jordan (Lumbrane, systems): rows
// exchanged, every other row cleared; with stop_at_zero_left, also until a
// row of the left half (the columns before the divider) is 0, whose 1-based
// index is then put in zero_row.
std::string ReplaySteps(Replay& r, size_t pivot_cols, bool jordan, bool stop_at_zero_left,
                        size_t& zero_row) {
  const size_t rows = r.m_.size();
  const size_t last_step = jordan ? rows : rows - 1;
  std::string_view line;
  int num[3];
  zero_row = 0;
  // The log opens with the matrix as typed.
  if (!r.Peek(line) || line != "原矩阵:") return r.Fault("the log does not open with 原矩阵:");
  r.Take();
  if (const std::string block = r.Block(); !block.empty()) return block;
  while (r.Peek(line) && r.col_ < pivot_cols && static_cast<size_t>(r.pivots_) < last_step) {
    if (stop_at_zero_left) {
      size_t i = r.pivots_;
      while (i < rows && !ZeroIn(r.m_[i], 0, r.divider_)) ++i;
      if (i < rows) {
        zero_row = i + 1;
        return "";
      }
    }
    const int k = r.pivots_ + 1;
    std::string skip_fault;
    if (r.SkippedColumn(line, k, skip_fault)) {
      if (!skip_fault.empty()) return skip_fault;
      continue;
    }
    int repair = 0;
    if (jordan ? Match(line, "交换第#行与第#行:", num) : Match(line, "第#行加到第#行:", num)) {
      if (num[jordan ? 0 : 1] != k) return r.Fault("a repair of another row than the pivot row");
      repair = num[jordan ? 1 : 0];
      if (repair <= k || static_cast<size_t>(repair) > rows) {
        return r.Fault("a repair from no lower row");
      }
      const std::string fault = r.CheckRepair(k, r.col_, repair);
      if (!fault.empty()) return fault;
      r.Take();
      if (jordan) {
        // The rows exchanged, and the matrix shown after the exchange.
        std::swap(r.m_[k - 1], r.m_[repair - 1]);
        const std::string block = rows > 1 ? r.Block() : "";
        if (!block.empty()) return block;
      }
      if (!r.Peek(line)) return r.Fault("a repair without its step");
    } else if (const std::string fault = r.CheckRepair(k, r.col_, 0); !fault.empty()) {
      return fault;
    }
    if (rows == 1) {
      // Nothing to clear: the pivot is found without a line.
      if (r.m_[0][r.col_] == 0) return r.Fault("a zero column not said to be skipped");
      ++r.pivots_;
      ++r.col_;
      continue;
    }
    const bool header = jordan ? Match(line, "用第#行对其余各行进行消元可得如下:", num)
                               : Match(line, "用第#行对#~#行进行高斯消元可得如下:", num) &&
                                     num[1] == k + 1 && static_cast<size_t>(num[2]) == rows;
    if (!header) return r.Fault("\"" + std::string(line) + "\" where a step was due");
    if (num[0] != k) return r.Fault("the header's pivot row");
    r.Take();
    for (size_t j = 0; repair != 0 && !jordan && j < r.m_[0].size(); ++j) {
      r.m_[k - 1][j] += r.m_[repair - 1][j];
    }
    // The operations the log names, applied as they are named; together
    // they must clear the pivot column in every row the step clears.
    if (r.Peek(line) && !line.empty() && line[0] == 'r') {
      if (!ApplyRowOperations(line, k, jordan, r.m_)) {
        return r.Fault("\"" + std::string(line) + "\" names no row operations of this step");
      }
      r.Take();
    }
    for (size_t i = jordan ? 0 : k; i < rows; ++i) {
      if (i != static_cast<size_t>(k - 1) && r.m_[i][r.col_] != 0) {
        return r.Fault("row " + std::to_string(i + 1) + " is not cleared by the named operations");
      }
    }
    const std::string block = r.Block();
    if (!block.empty()) return block;
    ++r.pivots_;
    ++r.col_;
  }
  if (stop_at_zero_left) {
    for (size_t i = r.pivots_; i < rows && zero_row == 0; ++i) {
      if (ZeroIn(r.m_[i], 0, r.divider_)) zero_row = i + 1;
    }
  }
  return "";
}

std::string RestIsTheBox(const Replay& r, const LoggedOutcome& outcome) {
  if (r.lines_.Rest() == Crlf(outcome.box.text)) return "";
  return r.Fault("the log goes on otherwise than with the box's text: \"" +
                 std::string(r.lines_.Rest().substr(0, 200)) + "\"");
}

// Quorvit's rank: the box shows the last block, and the log ends with the
// box's text.
std::string RankFault(const FractionMatrix& a, const LoggedOutcome& outcome) {
  Replay r(Exact(a, a.rows, a.cols), outcome.log, 0);
  size_t zero_row = 0;
  const std::string fault = ReplaySteps(r, a.cols, false, false, zero_row);
  if (!fault.empty()) return fault;
  const std::string shown = ShownRows(r.m_, 0, a.cols);
  if (outcome.box.text.compare(0, shown.size(), shown) != 0) {
    return "the replayed echelon form differs from the box: " + shown;
  }
  std::string_view line;
  if (!r.Peek(line) || line != "行阶梯形:") return r.Fault("the result without 行阶梯形:");
  r.Take();
  return RestIsTheBox(r, outcome);
}

// "各行除以主元可得如下:" and the block with every pivot row divided by its
// pivot, its first entry that is not 0.
std::string ReplayDivision(Replay& r) {
  std::string_view line;
  if (!r.Peek(line) || line != "各行除以主元可得如下:") return r.Fault("no division by the pivots");
  r.Take();
  for (auto& row : r.m_) {
    size_t j = 0;
    while (j < row.size() && row[j] == 0) ++j;
    if (j == row.size()) continue;
    const Q pivot = row[j];
    for (Q& entry : row) entry /= pivot;
  }
  return r.Block();
}

std::string JordanFault(const FractionMatrix& a, bool invert, const LoggedOutcome& outcome) {
  const size_t n = a.rows;
  Rows typed = Exact(a, n, n), reduced = typed;
  for (size_t i = 0; i < n; ++i) {
    typed[i].resize(2 * n);
    typed[i][n + i] = 1;
  }
  // The rank and the determinant, by the oracle's elimination.
  const int rank = static_cast<int>(Eliminate(reduced, n, false));
  Q det = rank == static_cast<int>(n) ? 1 : 0;
  for (size_t i = 0; i < n && det != 0; ++i) det *= reduced[i][i];
  Replay r(typed, outcome.log, n);
  size_t zero_row = 0;
  std::string fault = ReplaySteps(r, n, true, true, zero_row);
  if (!fault.empty()) return fault;
  std::string_view line;
  int num[1];
  if (zero_row != 0) {
    if (!r.Peek(line) || !Match(line, "第#行左半全为0, det(A) = 0", num) ||
        static_cast<size_t>(num[0]) != zero_row) {
      return r.Fault("row " + std::to_string(zero_row) + " is 0 and the log goes on");
    }
    r.Take();
    if (rank == static_cast<int>(n)) return r.Fault("an invertible matrix said to be singular");
    if (!invert) {
      const std::string how = rank + 1 == static_cast<int>(n)
                                  ? "秩(A) = " + std::to_string(rank) +
                                        " = n-1, 伴随阵 = t·u·w^T (A·u = 0, w^T·A = 0, t为数):"
                                  : "秩(A) = " + std::to_string(rank) + " < n-1, 伴随阵 = 0:";
      if (!r.Peek(line) || line != how) return r.Fault("not the rank line \"" + how + "\"");
      r.Take();
    }
    return RestIsTheBox(r, outcome);
  }
  if (r.pivots_ != static_cast<int>(n)) return r.Fault("the log ends before the last pivot");
  fault = ReplayDivision(r);
  if (!fault.empty()) return fault;
  std::string expected_rest = ShownRows(r.m_, n, 2 * n);
  const std::vector<std::string> labels = {"det(A) = " + det.get_str(), "伴随阵 = det(A)·A^-1:"};
  for (const std::string& want : invert ? std::vector<std::string>{"A^-1 ="} : labels) {
    if (!r.Peek(line) || line != want) return r.Fault("not \"" + want + "\"");
    r.Take();
  }
  if (!invert) expected_rest = ShownRows(r.m_, n, 2 * n, det);
  if (outcome.box.text != expected_rest) {
    return "the last block and the box differ: the block gives \"" + expected_rest + "\"";
  }
  return RestIsTheBox(r, outcome);
}

// Quorvit's "解方程组": the steps on [A | b], the reduced form, which the
// box shows first, then the box's text.
std::string SystemFault(const FractionMatrix& a, const LoggedOutcome& outcome) {
  const size_t cols = a.cols;
  Replay r(Exact(a, a.rows, a.cols), outcome.log, cols - 1);
  size_t zero_row = 0;
  std::string fault = ReplaySteps(r, cols, true, false, zero_row);
  if (fault.empty()) fault = ReplayDivision(r);
  if (!fault.empty()) return fault;
  std::string shown = "增广矩阵的行最简形:\n";
  for (const auto& row : r.m_) {
    for (size_t j = 0; j < cols; ++j) {
      shown += (j == 0 ? "" : j + 1 == cols ? " | " : " ") + row[j].get_str();
    }
    shown += '\n';
  }
  if (outcome.box.text.compare(0, shown.size(), shown) != 0) {
    return "the reduced form of the log and the box differ: the log gives \"" + shown + "\"";
  }
  return RestIsTheBox(r, outcome);
}

}  // namespace

LoggedOutcome PressWithLog(Calculation c, const std::string& first) {
  if (c == kRank) return PressRank({first, true, false, true});
  if (c == kSystem) return PressRank({first, false, false, true, true});
  return PressInverse({first, c == kAdjugate, c == kInverse, true});
}

std::string LogFault(Calculation c, const FractionMatrix& typed, const LoggedOutcome& outcome) {
  if (!outcome.write_log) return "no log written";
  if (c == kSystem) return SystemFault(typed, outcome);
  return c == kRank ? RankFault(typed, outcome) : JordanFault(typed, c == kInverse, outcome);
}

std::string LogFault(Calculation c, const std::string& typed, const LoggedOutcome& outcome) {
  FractionMatrix a;
  if (!ReadMatrixText(typed, a).ok()) return "the text is refused";
  return LogFault(c, a, outcome);
}

}  // namespace calc::testing
