// Random matrices through every press and through GMP's exact rationals,
// compared as the user sees them.
//
//   differential_test [--seed S] [--count N] [--show K]
//
// For each of the eight calculations N cases are drawn from seed S. An
// answer whose reduced parts fit in 32 bits must be shown exactly, in the
// program's own text form; one that does not fit must be refused with the
// overflow message. The eliminated matrix of the rank has no single right
// form: it must be in row echelon form, have as many non-zero rows as the
// true rank, and span the same row space as the typed matrix.
//
// Exits with 1 if any answer is wrong. A refusal of an answer that would
// have fitted (some intermediate value did not) is not wrong, but counted
// and reported, with the first K such cases shown.
#include <gmpxx.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "basicops_press.h"
#include "box.h"
#include "determinant_press.h"
#include "inverse_press.h"
#include "messages.h"
#include "rank_press.h"

namespace calc {
namespace {

using Q = mpq_class;
using QMatrix = std::vector<std::vector<Q>>;

// ---------------------------------------------------------------------------
// Exact answers

QMatrix Zeros(size_t rows, size_t cols) {
  return QMatrix(rows, std::vector<Q>(cols));
}

// The number of pivots of Gaussian elimination with row exchanges.
int Rank(QMatrix m) {
  const size_t rows = m.size(), cols = m.empty() ? 0 : m[0].size();
  size_t rank = 0;
  for (size_t c = 0; c < cols && rank < rows; ++c) {
    size_t p = rank;
    while (p < rows && m[p][c] == 0) ++p;
    if (p == rows) continue;
    std::swap(m[p], m[rank]);
    for (size_t i = rank + 1; i < rows; ++i) {
      const Q f = m[i][c] / m[rank][c];
      for (size_t j = c; j < cols; ++j) m[i][j] -= f * m[rank][j];
    }
    ++rank;
  }
  return static_cast<int>(rank);
}

Q Determinant(QMatrix m) {
  const size_t n = m.size();
  Q det = 1;
  for (size_t c = 0; c < n; ++c) {
    size_t p = c;
    while (p < n && m[p][c] == 0) ++p;
    if (p == n) return 0;
    if (p != c) {
      std::swap(m[p], m[c]);
      det = -det;
    }
    det *= m[c][c];
    for (size_t i = c + 1; i < n; ++i) {
      const Q f = m[i][c] / m[c][c];
      for (size_t j = c; j < n; ++j) m[i][j] -= f * m[c][j];
    }
  }
  return det;
}

// The transpose of the matrix of cofactors, each the determinant of a minor.
QMatrix Adjugate(const QMatrix& m) {
  const size_t n = m.size();
  QMatrix adj = Zeros(n, n);
  if (n == 1) adj[0][0] = 1;
  for (size_t r = 0; r < n && n > 1; ++r) {
    for (size_t c = 0; c < n; ++c) {
      QMatrix minor;
      for (size_t i = 0; i < n; ++i) {
        if (i == r) continue;
        minor.emplace_back();
        for (size_t j = 0; j < n; ++j) {
          if (j != c) minor.back().push_back(m[i][j]);
        }
      }
      adj[c][r] = (r + c) % 2 == 0 ? Determinant(minor) : Q(-Determinant(minor));
    }
  }
  return adj;
}

QMatrix Product(const QMatrix& a, const QMatrix& b) {
  QMatrix p = Zeros(a.size(), b[0].size());
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t j = 0; j < b[0].size(); ++j) {
      for (size_t k = 0; k < b.size(); ++k) p[i][j] += a[i][k] * b[k][j];
    }
  }
  return p;
}

// The elimination Quorvit performs, done exactly: used only to tell whether
// the matrix it would show fits in 32 bits, not to judge what it shows.
QMatrix QuorvitElimination(QMatrix m) {
  const size_t rows = m.size(), cols = m[0].size();
  size_t k = 0;
  for (size_t c = 0; c < cols && k < rows; ++c) {
    if (m[k][c] == 0) {
      size_t j = k + 1;
      while (j < rows && m[j][c] == 0) ++j;
      if (j == rows) continue;
      for (size_t y = 0; y < cols; ++y) m[k][y] += m[j][y];
    }
    for (size_t i = k + 1; i < rows; ++i) {
      const Q f = m[i][c] / m[k][c];
      for (size_t y = 0; y < cols; ++y) m[i][y] -= f * m[k][y];
    }
    ++k;
  }
  return m;
}

// ---------------------------------------------------------------------------
// Text forms

bool Fits(const Q& q) {
  return q.get_num() >= INT32_MIN && q.get_num() <= INT32_MAX && q.get_den() <= INT32_MAX;
}

bool AllFit(const QMatrix& m) {
  for (const auto& row : m) {
    for (const Q& q : row) {
      if (!Fits(q)) return false;
    }
  }
  return true;
}

std::string Shown(const Q& q) {
  if (q == 0) return "0";
  std::string text = q.get_num().get_str();
  if (q.get_den() != 1) text += "/" + q.get_den().get_str();
  return text;
}

std::string MatrixText(const QMatrix& m) {
  std::string text;
  for (const auto& row : m) {
    for (const Q& q : row) text += Shown(q) + " ";
    text += "\n";
  }
  return text;
}

// Reads a result matrix back; false unless it is exactly the canonical
// text of what it holds (reduced, positive denominators, one line per row).
bool ParseMatrixText(const std::string& text, QMatrix& m) {
  m.clear();
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) return false;
    m.emplace_back();
    size_t token = start;
    while (token < end) {
      const size_t blank = text.find(' ', token);
      if (blank == std::string::npos || blank > end) return false;
      Q q;
      if (q.set_str(text.substr(token, blank - token), 10) != 0 || q.get_den() == 0) return false;
      q.canonicalize();
      m.back().push_back(q);
      token = blank + 1;
    }
    start = end + 1;
  }
  return !m.empty() && MatrixText(m) == text;
}

// ---------------------------------------------------------------------------
// Random typed matrices

struct Typed {
  int64_t num;
  int64_t den;  // as typed: 1 or more
};
using TypedMatrix = std::vector<std::vector<Typed>>;

struct EntryKind {
  int64_t num_low, num_high;
  int64_t den_low, den_high;
};
constexpr EntryKind kKinds[] = {
    {0, 0, 1, 1},                          // zero
    {-9, 9, 1, 1},                         // small integer
    {-9, 9, 2, 9},                         // small fraction, maybe unreduced (2/4)
    {-999, 999, 1, 1},                     // medium integer
    {-999, 999, 2, 999},                   // medium fraction
    {INT32_MIN, INT32_MAX, 1, 1},          // large integer
    {INT32_MIN, INT32_MAX, 2, INT32_MAX},  // large fraction
    {-9, 9, 65536, INT32_MAX},             // small over large
    {INT32_MAX - 99, INT32_MAX, 1, 3},     // at the limit (either sign)
};
constexpr size_t kKindCount = std::size(kKinds);

// How often each kind of entry appears in a matrix.
constexpr int kProfiles[][kKindCount] = {
    {2, 8, 0, 0, 0, 0, 0, 0, 0},  // small integers
    {2, 4, 4, 0, 0, 0, 0, 0, 0},  // small fractions
    {1, 2, 2, 3, 2, 0, 0, 0, 0},  // medium
    {2, 4, 2, 1, 1, 1, 1, 1, 1},  // mostly small, some large
    {1, 0, 0, 0, 0, 4, 4, 1, 2},  // large
};

Q Value(const Typed& e) {
  Q q(mpz_class(e.num), mpz_class(e.den));
  q.canonicalize();
  return q;
}

class Generator {
 public:
  explicit Generator(uint64_t seed) : random_(seed) {}

  int64_t Between(int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random_);
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  // 1 to 8, the small orders more often.
  int Order() { return static_cast<int>(Chance(60) ? Between(1, 4) : Between(1, 8)); }
  int OtherOrder(int order) {
    const int other = static_cast<int>(Between(1, 7));
    return other >= order ? other + 1 : other;
  }

  TypedMatrix Matrix(int rows, int cols) {
    const int* weights = kProfiles[Between(0, std::size(kProfiles) - 1)];
    std::discrete_distribution<size_t> pick(weights, weights + kKindCount);
    TypedMatrix m(rows, std::vector<Typed>(cols));
    for (auto& row : m) {
      for (Typed& e : row) e = Entry(kKinds[pick(random_)]);
    }
    const int changes = static_cast<int>(Chance(40) ? Between(1, 2) : 0);
    for (int k = 0; k < changes; ++k) MakeDependent(m);
    return m;
  }

  // As a user types it: blanks between entries, CR LF between rows.
  std::string Text(const TypedMatrix& m) {
    std::string text = Chance(5) ? "\r\n" : "";
    for (size_t i = 0; i < m.size(); ++i) {
      if (i > 0) text += "\r\n";
      for (size_t j = 0; j < m[i].size(); ++j) {
        if (j > 0) text += Chance(10) ? "  " : " ";
        text += std::to_string(m[i][j].num);
        if (m[i][j].den != 1 || Chance(5)) text += "/" + std::to_string(m[i][j].den);
      }
      if (Chance(5)) text += " ";
    }
    return text;
  }

 private:
  Typed Entry(const EntryKind& kind) {
    Typed e{Between(kind.num_low, kind.num_high), Between(kind.den_low, kind.den_high)};
    if (kind.num_low > 0 && Chance(50)) e.num = -e.num;
    return e;
  }

  // Makes the rows (or columns) dependent: a zero row or column, a row
  // repeated, scaled or summed from others, as far as the values typed
  // stay in range.
  void MakeDependent(TypedMatrix& m) {
    const int rows = static_cast<int>(m.size()), cols = static_cast<int>(m[0].size());
    const int i = static_cast<int>(Between(0, rows - 1)),
              j = static_cast<int>(Between(0, rows - 1));
    const int k = static_cast<int>(Between(0, rows - 1));
    switch (Between(0, 4)) {
      case 0:
        for (Typed& e : m[i]) e = Typed{0, 1};
        break;
      case 1: {
        const int c = static_cast<int>(Between(0, cols - 1));
        for (auto& row : m) row[c] = Typed{0, 1};
        break;
      }
      case 2:
        m[i] = m[j];
        break;
      case 3:
        SetRow(m, i, Q(Between(-3, 3)), j, Q(0), k);
        break;
      default: {
        const Q a(Between(-2, 2));
        const Q b(Between(-2, 2));
        SetRow(m, i, a, j, b, k);
        break;
      }
    }
  }

  // Row i := a * row j + b * row k, if every entry can be typed.
  static void SetRow(TypedMatrix& m, int i, const Q& a, int j, const Q& b, int k) {
    std::vector<Typed> row;
    for (size_t y = 0; y < m[i].size(); ++y) {
      const Q value = a * Value(m[j][y]) + b * Value(m[k][y]);
      if (!Fits(value)) return;
      row.push_back(Typed{value.get_num().get_si(), value.get_den().get_si()});
    }
    m[i] = row;
  }

  std::mt19937_64 random_;
};

// Rows and columns 1..n, as Lumbrane and Zelcombe take a typed matrix: the
// order is the row count, columns beyond it are ignored, missing ones are 0.
QMatrix Exact(const TypedMatrix& m, size_t cols) {
  QMatrix q = Zeros(m.size(), cols);
  for (size_t i = 0; i < m.size(); ++i) {
    for (size_t j = 0; j < cols && j < m[i].size(); ++j) q[i][j] = Value(m[i][j]);
  }
  return q;
}
QMatrix Exact(const TypedMatrix& m) {
  return Exact(m, m[0].size());
}

// ---------------------------------------------------------------------------
// Verdicts

enum Verdict { kExact, kRefusedTooLarge, kRefusedFits, kWrong, kVerdictCount };

const Box kOutOfRange = ErrorBox(kMsgOutOfRange);

// `expected` is the box the answer gives; `fits` whether the answer fits.
Verdict Judge(const Box& shown, const Box& expected, bool fits) {
  if (shown == kOutOfRange) return fits ? kRefusedFits : kRefusedTooLarge;
  return fits && shown == expected ? kExact : kWrong;
}

Verdict JudgeRank(const QMatrix& typed, const Box& shown) {
  const bool fits = AllFit(QuorvitElimination(typed));
  if (shown == kOutOfRange) return fits ? kRefusedFits : kRefusedTooLarge;
  if (shown.caption != kCaptionDone || shown.owner != Owner::kNone) return kWrong;
  const int rank = Rank(typed);
  const std::string tail = "\n矩阵的秩为" + std::to_string(rank);
  if (shown.text.size() < tail.size()) return kWrong;
  const size_t matrix_end = shown.text.size() - tail.size();
  QMatrix e;
  if (shown.text.substr(matrix_end) != tail ||
      !ParseMatrixText(shown.text.substr(0, matrix_end), e) || e.size() != typed.size() ||
      e[0].size() != typed[0].size()) {
    return kWrong;
  }
  // Row echelon form with `rank` non-zero rows, spanning the typed rows.
  size_t previous_lead = 0;
  int nonzero_rows = 0;
  bool below_zero_row = false;
  for (const auto& row : e) {
    size_t lead = 0;
    while (lead < row.size() && row[lead] == 0) ++lead;
    if (lead == row.size()) {
      below_zero_row = true;
      continue;
    }
    if (below_zero_row || (nonzero_rows > 0 && lead <= previous_lead)) return kWrong;
    previous_lead = lead;
    ++nonzero_rows;
  }
  QMatrix both = typed;
  both.insert(both.end(), e.begin(), e.end());
  return nonzero_rows == rank && Rank(both) == rank ? kExact : kWrong;
}

// ---------------------------------------------------------------------------
// The calculations

struct Case {
  std::string first;   // the (first) matrix's text
  std::string second;  // Tessovar's second matrix
  Box shown;
  Box expected;  // empty when no single box is expected
  Verdict verdict;
};

Box Result(const std::string& text, Owner owner = Owner::kNone) {
  return ResultBox(text, owner);
}

Case RunRank(Generator& g) {
  const int rows = g.Order();
  const TypedMatrix a = g.Matrix(rows, g.Order());
  Case c{g.Text(a), "", {}, {}, kWrong};
  c.shown = PressRank({c.first, true});
  c.verdict = JudgeRank(Exact(a), c.shown);
  return c;
}

Case RunDeterminant(Generator& g) {
  const int n = g.Order();
  const TypedMatrix a = g.Matrix(n, g.Chance(90) ? n : g.OtherOrder(n));
  const Q det = Determinant(Exact(a, n));
  Case c{g.Text(a), "", {}, Result("行列式的值为 " + Shown(det), Owner::kDialog), kWrong};
  c.shown = PressDeterminant({c.first, false}).box;
  c.verdict = Judge(c.shown, c.expected, Fits(det));
  return c;
}

Case RunLumbrane(Generator& g, bool invert) {
  const int n = g.Order();
  const TypedMatrix a = g.Matrix(n, g.Chance(90) ? n : g.OtherOrder(n));
  const QMatrix exact = Exact(a, n);
  QMatrix answer = Adjugate(exact);
  bool fits = AllFit(answer);
  Case c{g.Text(a), "", {}, Result(MatrixText(answer)), kWrong};
  if (invert) {
    const Q det = Determinant(exact);
    if (det == 0) {
      c.expected = Box{"该矩阵的值为0,不存在逆矩阵!", "False !", Owner::kDialog};
      fits = true;
    } else {
      for (auto& row : answer) {
        for (Q& q : row) q /= det;
      }
      c.expected = Result(MatrixText(answer));
      fits = AllFit(answer);
    }
  }
  c.shown = PressInverse({c.first, !invert, invert});
  c.verdict = Judge(c.shown, c.expected, fits);
  return c;
}

enum class TwoMatrixOp { kAdd, kSubtract, kMultiply, kScalar };

Case RunTessovar(Generator& g, TwoMatrixOp op) {
  const int rows = g.Order(), cols = g.Order();
  int rows2 = rows, cols2 = cols;
  bool shapes_fit = true;
  if (op == TwoMatrixOp::kMultiply) {
    rows2 = g.Chance(95) ? cols : g.OtherOrder(cols);
    cols2 = g.Order();
    shapes_fit = rows2 == cols;
  } else if (op == TwoMatrixOp::kScalar) {
    rows2 = g.Chance(80) ? 1 : g.Order();
    cols2 = g.Chance(80) ? 1 : g.Order();
  } else if (g.Chance(5)) {
    rows2 = g.OtherOrder(rows);
    shapes_fit = false;
  }
  const TypedMatrix a = g.Matrix(rows, cols), b = g.Matrix(rows2, cols2);
  Case c{g.Text(a), g.Text(b), {}, ErrorBox("矩阵有误"), kWrong};
  BasicOpsInput input{c.first, c.second};
  input.add = op == TwoMatrixOp::kAdd;
  input.subtract = op == TwoMatrixOp::kSubtract;
  input.multiply = op == TwoMatrixOp::kMultiply;
  input.scalar = op == TwoMatrixOp::kScalar;
  c.shown = PressBasicOps(input);

  bool fits = true;
  if (shapes_fit) {
    const QMatrix x = Exact(a), y = Exact(b);
    QMatrix answer = x;
    for (size_t i = 0; i < x.size() && op != TwoMatrixOp::kMultiply; ++i) {
      for (size_t j = 0; j < x[0].size(); ++j) {
        if (op == TwoMatrixOp::kAdd) answer[i][j] += y[i][j];
        if (op == TwoMatrixOp::kSubtract) answer[i][j] -= y[i][j];
        if (op == TwoMatrixOp::kScalar) answer[i][j] *= y[0][0];
      }
    }
    if (op == TwoMatrixOp::kMultiply) answer = Product(x, y);
    c.expected = Result(MatrixText(answer));
    fits = AllFit(answer);
  }
  c.verdict = Judge(c.shown, c.expected, fits);
  return c;
}

struct Calculation {
  const char* name;
  Case (*run)(Generator&);
};
const Calculation kCalculations[] = {
    {"rank", RunRank},
    {"determinant", RunDeterminant},
    {"adjugate", [](Generator& g) { return RunLumbrane(g, false); }},
    {"inverse", [](Generator& g) { return RunLumbrane(g, true); }},
    {"sum", [](Generator& g) { return RunTessovar(g, TwoMatrixOp::kAdd); }},
    {"difference", [](Generator& g) { return RunTessovar(g, TwoMatrixOp::kSubtract); }},
    {"product", [](Generator& g) { return RunTessovar(g, TwoMatrixOp::kMultiply); }},
    {"multiple", [](Generator& g) { return RunTessovar(g, TwoMatrixOp::kScalar); }},
};

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

void Report(const char* name, const char* what, const Case& c) {
  std::printf("%s, %s:\n  typed:    \"%s\"\n", name, what, Escaped(c.first).c_str());
  if (!c.second.empty()) std::printf("  second:   \"%s\"\n", Escaped(c.second).c_str());
  std::printf("  shown:    \"%s\" (%s)\n", Escaped(c.shown.text).c_str(), c.shown.caption.c_str());
  if (!c.expected.caption.empty()) {
    std::printf("  expected: \"%s\" (%s)\n", Escaped(c.expected.text).c_str(),
                c.expected.caption.c_str());
  }
}

int Run(uint64_t seed, int count, int show) {
  std::printf("seed %llu, %d cases per calculation\n", static_cast<unsigned long long>(seed),
              count);
  std::printf("%-12s %7s %7s %10s %10s %7s\n", "calculation", "cases", "exact", "too large",
              "refused*", "wrong");
  int totals[kVerdictCount] = {};
  int shown_refusals = 0;
  for (size_t k = 0; k < std::size(kCalculations); ++k) {
    const Calculation& calculation = kCalculations[k];
    Generator g(seed * 1000003 + k);
    int counts[kVerdictCount] = {};
    for (int i = 0; i < count; ++i) {
      const Case c = calculation.run(g);
      ++counts[c.verdict];
      if (c.verdict == kWrong && counts[kWrong] <= 5) Report(calculation.name, "WRONG", c);
      if (c.verdict == kRefusedFits && shown_refusals++ < show) {
        Report(calculation.name, "refused although the answer fits", c);
      }
    }
    std::printf("%-12s %7d %7d %10d %10d %7d\n", calculation.name, count, counts[kExact],
                counts[kRefusedTooLarge], counts[kRefusedFits], counts[kWrong]);
    for (int v = 0; v < kVerdictCount; ++v) totals[v] += counts[v];
  }
  std::printf("%-12s %7d %7d %10d %10d %7d\n", "all",
              count * static_cast<int>(std::size(kCalculations)), totals[kExact],
              totals[kRefusedTooLarge], totals[kRefusedFits], totals[kWrong]);
  std::printf(
      "(too large: refused, the exact answer does not fit in 32 bits; refused*: refused"
      " although it fits, an intermediate value did not)\n");
  return totals[kWrong] == 0 ? 0 : 1;
}

}  // namespace
}  // namespace calc

int main(int argc, char** argv) {
  uint64_t seed = 1;
  int count = 500;
  int show = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seed") == 0) {
      seed = std::strtoull(argv[i + 1], nullptr, 10);
    } else if (std::strcmp(argv[i], "--count") == 0) {
      count = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--show") == 0) {
      show = std::atoi(argv[i + 1]);
    } else {
      std::fprintf(stderr, "usage: %s [--seed S] [--count N] [--show K]\n", argv[0]);
      return 2;
    }
  }
  return calc::Run(seed, count, show);
}
