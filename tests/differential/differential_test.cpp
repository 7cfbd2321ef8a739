// Random typed matrices through every press and through the oracle (GMP's
// exact rationals), compared as the user sees them.
//
//   differential_test [SEED [COUNT]]
//
// For each of the eight calculations COUNT presses (default 500) are drawn
// from SEED (default 1): shapes up to 20 x 20, entries up to full 32-bit
// fractions, matrices made singular of every rank below n, and every 250th
// press a 20 x 20 matrix of full 32-bit fractions (every other one of rank
// 19). Every answer must be the oracle's byte for byte;
// the only refusals expected are of unfit shapes and of a singular inverse.
// Every press of Quorvit and Lumbrane is made again with "生成计算过程"
// checked: the box must be the same, and every step of the log must replay
// on exact rationals (log_replay.h); the column "replayed" counts them.
// Prints the verdicts per calculation and the slowest press. Then 20 COUNT
// random matrices are written in every form a user may paste (tabs, MATLAB,
// Python lists, braces, NumPy, LaTeX with \frac, full-width, decimals where
// exact, thousands separators) and must read back as themselves. Then as
// many eigenvalue presses, checked fact by fact against FLINT
// (eigen_differential.h). Exits with 1 on any wrong, missing or refused
// answer.
#include <gmpxx.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <random>
#include <string>

#include "eigen_differential.h"
#include "log_replay.h"
#include "matrix_reader.h"
#include "oracle.h"
#include "result_text.h"
#include "text_forms.h"

namespace calc::testing {
namespace {

struct EntryKind {
  int64_t num_low, num_high, den_low, den_high;
};
constexpr EntryKind kKinds[] = {
    {0, 0, 1, 1},                          // zero
    {-9, 9, 1, 1},                         // small integer
    {-9, 9, 2, 9},                         // small fraction, maybe unreduced (2/4)
    {-999, 999, 1, 999},                   // medium
    {INT32_MIN, INT32_MAX, 1, 1},          // large integer
    {INT32_MIN, INT32_MAX, 1, INT32_MAX},  // full 32-bit fraction
    {-9, 9, 65536, INT32_MAX},             // small over large
    {INT32_MAX - 9, INT32_MAX, 1, 3},      // at the limits, either sign
};
// How often each kind appears in a matrix, one profile per matrix; the last
// is all full fractions.
constexpr int kProfiles[][std::size(kKinds)] = {
    {2, 8, 0, 0, 0, 0, 0, 0}, {2, 4, 4, 0, 0, 0, 0, 0}, {1, 2, 2, 4, 0, 0, 0, 0},
    {2, 4, 2, 1, 1, 1, 1, 1}, {1, 0, 0, 0, 4, 4, 1, 2}, {0, 0, 0, 0, 0, 1, 0, 0},
};

class Generator {
 public:
  explicit Generator(uint64_t seed) : random_(seed) {}

  int64_t Between(int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random_);
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  // 1 to 20, the small orders more often.
  int Order() { return static_cast<int>(Between(1, Chance(50) ? 4 : Chance(70) ? 10 : 20)); }
  int OtherOrder(int order) {
    const int other = static_cast<int>(Between(1, 19));
    return other >= order ? other + 1 : other;
  }

  FractionMatrix Matrix(int rows, int cols, int profile = -1, int dependent = -1) {
    if (profile < 0) profile = static_cast<int>(Between(0, std::size(kProfiles) - 2));
    std::discrete_distribution<size_t> pick(std::begin(kProfiles[profile]),
                                            std::end(kProfiles[profile]));
    FractionMatrix m;
    m.rows = rows;
    m.cols = cols;
    for (int i = 1; i <= rows; ++i) {
      for (int j = 1; j <= cols; ++j) {
        const EntryKind& kind = kKinds[pick(random_)];
        m(i, j).num = Between(kind.num_low, kind.num_high);
        m(i, j).den = Between(kind.den_low, kind.den_high);
        if (kind.num_low > 0 && Chance(50)) m(i, j).num = -m(i, j).num - Between(0, 1);
      }
    }
    if (dependent < 0) dependent = Chance(40) ? static_cast<int>(Between(1, rows)) : 0;
    for (int k = 0; k < dependent; ++k) MakeDependent(m);
    return m;
  }

 private:
  // A zero row or column, a column repeated, or a row made a sum of
  // multiples of two others (where that cannot be typed, a copy of
  // another): the rank drops by one at most.
  void MakeDependent(FractionMatrix& m) {
    const int i = static_cast<int>(Between(1, m.rows)), j = OtherRow(m, i), k = OtherRow(m, i);
    const int c = static_cast<int>(Between(1, m.cols)), d = static_cast<int>(Between(1, m.cols));
    const int kind = static_cast<int>(Between(0, 3));
    const int a = static_cast<int>(Between(-2, 2)), b = static_cast<int>(Between(-2, 2));
    FractionMatrix changed = m;
    bool fits = true;
    for (int y = 1; y <= m.cols; ++y) {
      for (int x = 1; x <= m.rows; ++x) {
        if ((kind == 0 && x == i) || (kind == 1 && y == c)) changed(x, y) = Fraction{};
        if (kind == 2 && y == c) changed(x, y) = m(x, d);
      }
      const mpq_class value = a * Q(m(j, y)) + b * Q(m(k, y));
      fits =
          fits && mpz_fits_sint_p(value.get_num_mpz_t()) && mpz_fits_sint_p(value.get_den_mpz_t());
      if (kind == 3 && fits)
        changed(i, y) = Fraction{value.get_num().get_si(), value.get_den().get_si()};
    }
    if (kind == 3 && !fits) {
      for (int y = 1; y <= m.cols; ++y) changed(i, y) = m(j, y);
    }
    m = changed;
  }

  int OtherRow(const FractionMatrix& m, int i) {
    return m.rows == 1 ? i : (i + static_cast<int>(Between(0, m.rows - 2))) % m.rows + 1;
  }

  static mpq_class Q(const Fraction& f) {
    mpq_class q(f.num.Small(), f.den.Small());
    q.canonicalize();
    return q;
  }

  std::mt19937_64 random_;
};

// The forms a matrix is pasted in, for the round trip through the reader.
enum Form { kTabs, kMatlab, kLists, kBraces, kNumpy, kLatex, kFullWidth, kDecimals, kThousands };
constexpr int kFormCount = kThousands + 1;
constexpr const char* kFormNames[kFormCount] = {
    "tabs", "matlab", "lists", "braces", "numpy", "latex", "fullwidth", "decimals", "thousands"};

// Digits in groups of three: 1234567 as 1,234,567.
std::string Grouped(const mpz_class& v) {
  const std::string digits = mpz_class(abs(v)).get_str();
  std::string out = v < 0 ? "-" : "";
  for (size_t k = 0; k < digits.size(); ++k) {
    if (k > 0 && (digits.size() - k) % 3 == 0) out += ',';
    out += digits[k];
  }
  return out;
}

// The value as a terminating decimal when its denominator is 2^a 5^b; an
// integer gets ".0".
bool AsDecimal(const mpq_class& v, std::string& out) {
  mpz_class rest = v.get_den();
  int twos = 0, fives = 0;
  for (; rest % 2 == 0; ++twos) rest /= 2;
  for (; rest % 5 == 0; ++fives) rest /= 5;
  if (rest != 1) return false;
  const int places = std::max(twos, fives);
  mpz_class ten_k;
  mpz_ui_pow_ui(ten_k.get_mpz_t(), 10, places);
  const mpz_class digits = abs(v.get_num()) * (ten_k / v.get_den());
  std::string fraction = places == 0 ? "0" : mpz_class(digits % ten_k).get_str();
  if (places > 0) fraction.insert(0, places - fraction.size(), '0');
  out = (v < 0 ? "-" : "") + mpz_class(digits / ten_k).get_str() + "." + fraction;
  return true;
}

std::string FullWidth(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    if (c >= '0' && c <= '9') out += std::string("\xA3") + static_cast<char>('\xB0' + (c - '0'));
    if (c == '-') out += "\xA3\xAD";
    if (c == '/') out += "\xA3\xAF";
  }
  return out;
}

std::string Written(const mpq_class& v, Form form) {
  const bool whole = v.get_den() == 1;
  std::string decimal;
  switch (form) {
    case kLatex:
      if (whole) return v.get_str();
      return (v < 0 ? "-\\frac{" : "\\frac{") + mpz_class(abs(v.get_num())).get_str() + "}{" +
             v.get_den().get_str() + "}";
    case kFullWidth:
      return FullWidth(v.get_str());
    case kDecimals:
      return AsDecimal(v, decimal) ? decimal : v.get_str();
    case kThousands:
      return Grouped(v.get_num()) + (whole ? "" : "/" + Grouped(v.get_den()));
    default:
      return v.get_str();
  }
}

// The matrix as it would be pasted in `form`.
std::string Pasted(const QMatrix& m, Form form, bool variant) {
  struct Layout {
    const char *open, *row_open, *entry_sep, *row_close, *row_sep, *close;
  };
  static constexpr Layout kLayouts[kFormCount][2] = {
      {{"", "", "\t", "", "\r\n", "\r\n"}, {"", "", "\t", "\t", "\n", "\n"}},
      {{"[", "", " ", "", "; ", "]"}, {"A = [", "", ", ", ";", "\n", "]"}},
      {{"[", "[", ", ", "]", ", ", "]"}, {"[", "[", ",", "]", ",\r\n", "]"}},
      {{"{", "{", ",", "}", ",", "}"}, {"{", "{", ", ", "}", ", ", "}"}},
      {{"array([", "[", ", ", "]", ",\n       ", "])"}, {"[", "[", " ", "]", ",\n", "]"}},
      {{"\\begin{pmatrix}\n", "", " & ", "", " \\\\\n", "\n\\end{pmatrix}"},
       {"$\\left(\\begin{array}{cc|c}", "", "&", "", "\\\\[2pt]\\hline ", "\\end{array}\\right)$"}},
      {{"", "", "\xA1\xA1", "", "\r\n", ""}, {"", "", "\xA3\xAC", "", "\xA3\xBB", ""}},
      {{"", "", " ", "", "\r\n", ""}, {"", "", " ", "", ";\r\n", ""}},
      {{"", "", " ", "", "\r\n", ""}, {"", "", "  ", " ", "\n", ""}},
  };
  const Layout& l = kLayouts[form][variant];
  std::string text = l.open;
  for (size_t i = 0; i < m.size(); ++i) {
    if (i > 0) text += l.row_sep;
    text += l.row_open;
    for (size_t j = 0; j < m[i].size(); ++j) {
      if (j > 0) text += l.entry_sep;
      text += Written(m[i][j], form);
    }
    text += l.row_close;
  }
  return text + l.close;
}

// Random matrices written in every form must read back as themselves.
int RunForms(uint64_t seed, int count) {
  Generator g(seed * 1000003 + 99);
  int differences = 0;
  for (int i = 0; i < count; ++i) {
    const FractionMatrix drawn = g.Matrix(g.Order(), g.Order());
    const QMatrix exact = Exact(drawn, drawn.rows, drawn.cols);
    for (int f = 0; f < kFormCount; ++f) {
      const std::string text = Pasted(exact, static_cast<Form>(f), g.Chance(50));
      FractionMatrix read;
      const ReadResult result = ReadMatrixText(text, read);
      if (result.ok() && read.rows == drawn.rows && read.cols == drawn.cols &&
          Exact(read, read.rows, read.cols) == exact) {
        continue;
      }
      if (++differences <= 3) {
        std::printf("input form %s read otherwise (%s):\n  \"%s\"\n", kFormNames[f],
                    ReadMessage(result).c_str(), Escaped(text).c_str());
      }
    }
  }
  std::printf("\ninput forms: %d matrices, each in %d forms, %d differences\n", count, kFormCount,
              differences);
  return differences;
}

// Whether the text shows the reduced form and the vectors as their values
// are; the text copies long entries rather than converting them again.
std::string SystemTextFault(const LinearSystem& s) {
  const std::string text = LinearSystemText(s);
  const int n = s.unknowns;
  auto joined = [n](std::string out, const Fraction* x, const char* gap, const char* end) {
    for (int j = 1; j <= n; ++j) {
      if (j > 1) out += gap;
      AppendFraction(x[j], out);
    }
    return out + end;
  };
  auto shows = [&text](const std::string& part) { return text.find(part) != std::string::npos; };
  for (int i = 1; i <= s.equations; ++i) {
    std::string row = joined("\n", s.reduced.entry[i], " ", " | ");
    AppendFraction(s.reduced(i, n + 1), row);
    if (!shows(row + "\n")) return "row text";
  }
  const bool vectors = s.verdict == SystemVerdict::kInfinite;
  if (s.verdict != SystemVerdict::kNone && !(vectors && s.homogeneous) &&
      !shows(joined(vectors ? "η = (" : "x = (", s.particular, ", ", ")^T"))) {
    return "solution text";
  }
  for (int t = 1; vectors && t <= s.free_count; ++t) {
    if (!shows(joined("ξ" + std::to_string(t) + " = (", s.basis.entry[t], ", ", ")^T"))) {
      return "basis text";
    }
  }
  return "";
}

// Random systems [A | b] of 1-20 equations and 1-19 unknowns, A often of
// lower rank, b a column of A (consistent), 0, or drawn (mostly not), every
// 250th of full-range fractions; every 10th press also with its log, which
// must replay.
int RunSystems(uint64_t seed, int count) {
  Generator g(seed * 1000003 + 77);
  int wrong = 0, replayed = 0, verdicts[4] = {}, most_free = 0;
  double slowest = 0;
  for (int i = 0; i < count; ++i) {
    const bool big = i % 250 == 0;
    const int unknowns = big ? 19 : std::min(g.Order(), 19);
    FractionMatrix a = g.Matrix(big ? 20 : g.Order(), unknowns + 1,
                                big ? static_cast<int>(std::size(kProfiles)) - 1 : -1);
    const int column = static_cast<int>(g.Between(1, unknowns));
    const int kind = static_cast<int>(g.Between(0, 2));
    for (int r = 1; r <= a.rows && kind > 0; ++r) {
      a(r, unknowns + 1) = kind == 1 ? a(r, column) : Fraction{};
    }
    const std::clock_t start = std::clock();
    const LinearSystem answer = SolveLinearSystem(a, nullptr);
    std::string fault = SystemAnswerFault(a, answer);
    if (fault.empty()) fault = SystemTextFault(answer);
    ++verdicts[static_cast<int>(answer.verdict)];
    most_free = std::max(most_free, answer.free_count);
    slowest = std::max(slowest, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    const std::string typed = TypedText(a, a.rows, a.cols);
    if (fault.empty() && i % 10 == 0) {
      fault = LogFault(kSystem, a, PressWithLog(kSystem, typed));
      if (fault.empty()) ++replayed;
    }
    if (!fault.empty() && ++wrong <= 3) {
      std::printf("system WRONG (%s):\n  typed: \"%s\"\n", fault.c_str(), Escaped(typed).c_str());
    }
  }
  std::printf(
      "\nsystems: %d (%d without a solution, %d unique, %d only zero, %d with up to %d free "
      "unknowns), %d wrong, %d logs replayed, slowest %.3f s\n",
      count, verdicts[0], verdicts[1], verdicts[2], verdicts[3], most_free, wrong, replayed,
      slowest);
  return wrong;
}

// One press of calculation c on random matrices; `big` asks for 20 x 20
// full 32-bit fractions (`singular`: of rank 19).
struct Case {
  FractionMatrix a, b;
};

Case Draw(Generator& g, Calculation c, bool big, bool singular) {
  const int rows = big ? 20 : g.Order(), cols = big ? 20 : g.Order();
  const int profile = big ? static_cast<int>(std::size(kProfiles)) - 1 : -1;
  const int dependent = big ? singular : -1;
  if (c == kDeterminant || c == kAdjugate || c == kInverse) {
    // Now and then a matrix that is not square, to be refused.
    return {g.Matrix(rows, big || g.Chance(90) ? rows : g.OtherOrder(rows), profile, dependent),
            {}};
  }
  Case drawn{g.Matrix(rows, cols, profile, dependent), {}};
  int rows2 = rows, cols2 = cols;
  if (c == kProduct) {
    rows2 = g.Chance(95) ? cols : g.OtherOrder(cols);
    cols2 = big ? 20 : g.Order();
  } else if (c == kMultiple) {
    rows2 = g.Chance(80) ? 1 : g.Order();
    cols2 = g.Chance(80) ? 1 : g.Order();
  } else if (c != kRank && g.Chance(5)) {
    rows2 = g.OtherOrder(rows);
  }
  if (c != kRank) drawn.b = g.Matrix(rows2, cols2, profile, 0);
  return drawn;
}

// The calculations whose programs write a process log of their steps.
bool Logged(Calculation c) {
  return c == kRank || c == kAdjugate || c == kInverse;
}

int Run(uint64_t seed, int count) {
  std::printf("seed %llu, %d presses per calculation\n", static_cast<unsigned long long>(seed),
              count);
  std::printf("%-12s %8s %8s %6s %8s %12s %8s\n", "calculation", "presses", "exact", "wrong",
              "refused", "slowest (s)", "replayed");
  int failures = 0;
  for (int c = 0; c < kCalculationCount; ++c) {
    const Calculation calculation = static_cast<Calculation>(c);
    Generator g(seed * 1000003 + c);
    int exact = 0, wrong = 0, refused = 0, replayed = 0;
    double slowest = 0;
    for (int i = 0; i < count; ++i) {
      const Case drawn = Draw(g, calculation, i % 250 == 0, i % 500 == 250);
      const std::string first = TypedText(drawn.a, drawn.a.rows, drawn.a.cols);
      const std::string second = TypedText(drawn.b, drawn.b.rows, drawn.b.cols);
      const std::clock_t start = std::clock();
      const Box shown = Press(calculation, first, second);
      slowest = std::max(slowest, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
      const Box expected = Expected(calculation, drawn.a, drawn.b);
      std::string fault = Compare(shown, expected);
      if (fault.empty() && Logged(calculation)) {
        // The same press with "生成计算过程" checked: the same box, and a
        // log whose every step replays, or none for a refusal.
        const LoggedOutcome outcome = PressWithLog(calculation, first);
        fault = Compare(outcome.box, expected);
        if (fault.empty() && expected.caption == "Error") {
          if (outcome.write_log) fault = "a log for a refused matrix";
        } else if (fault.empty()) {
          fault = LogFault(calculation, drawn.a, outcome);
          if (fault.empty()) ++replayed;
        }
      }
      if (fault.empty()) {
        ++exact;
        continue;
      }
      const bool refusal = shown.caption != expected.caption && shown.caption != "计算完毕";
      ++(refusal ? refused : wrong);
      if (wrong + refused <= 3) {
        std::printf("%s %s:\n  typed: \"%s\"\n  second: \"%s\"\n  %s\n", kCalculationNames[c],
                    refusal ? "REFUSED" : "WRONG", Escaped(first).c_str(), Escaped(second).c_str(),
                    fault.c_str());
      }
    }
    std::printf("%-12s %8d %8d %6d %8d %12.3f %8s\n", kCalculationNames[c], count, exact, wrong,
                refused, slowest, Logged(calculation) ? std::to_string(replayed).c_str() : "-");
    failures += wrong + refused;
  }
  failures += RunForms(seed, 20 * count);
  failures += RunSystems(seed, 20 * count);
  failures += RunEigenvalues(seed, count);
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace calc::testing

int main(int argc, char** argv) {
  const uint64_t seed = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1;
  return calc::testing::Run(seed, argc > 2 ? std::atoi(argv[2]) : 500);
}
