#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cofactor.h"
#include "fraction.h"
#include "inverse_press.h"
#include "matrix_reader.h"
#include "messages.h"

namespace calc {
namespace {

enum Choice { kNone, kAdjugate, kInverse };

Box Press(const std::string& text, Choice choice) {
  return PressInverse({text, choice == kAdjugate, choice == kInverse});
}

struct PressCase {
  const char* text;
  Choice choice;
  const char* expected;  // the box text
  const char* caption;
};

constexpr char kDone[] = "计算完毕";
constexpr char kError[] = "Error";
constexpr char kFalse[] = "False !";
constexpr char kSingular[] = "该矩阵的值为0,不存在逆矩阵!";

TEST(InversePress, Table) {
  const PressCase cases[] = {
      // The choice comes before anything is read.
      {"", kNone, "请选择计算方式!", kError},
      {"5/0", kNone, "请选择计算方式!", kError},
      {"1 2\r\n3 4", kInverse, "-2 1 \n3/2 -1/2 \n", kDone},
      {"1 2\r\n3 4", kAdjugate, "4 -2 \n-3 1 \n", kDone},
      {"1 2\r\n2 4", kInverse, kSingular, kFalse},
      {"1 2\r\n2 4", kAdjugate, "4 -2 \n-2 1 \n", kDone},
      {"5", kInverse, "1/5 \n", kDone},
      {"-3", kInverse, "-1/3 \n", kDone},
      {"0", kAdjugate, "1 \n", kDone},
      {"0", kInverse, kSingular, kFalse},
      // One row exchange: the determinant is -1.
      {"0 1\r\n1 0", kInverse, "0 1 \n1 0 \n", kDone},
      {"1 2 3\r\n4 5 6\r\n7 8 10", kInverse, "-2/3 -4/3 1 \n-2/3 11/3 -2 \n1 -2 1 \n", kDone},
      {"1 1 1\r\n1 1 2\r\n1 2 3", kInverse, "1 1 -1 \n1 -2 1 \n-1 1 0 \n", kDone},
      {"1/2 1/3\r\n1/4 1/5", kInverse, "12 -20 \n-15 30 \n", kDone},
      {"1/2 1/3\r\n1/4 1/5", kAdjugate, "1/5 -1/3 \n-1/4 1/2 \n", kDone},
      {"2 0 0\r\n0 3 0\r\n0 0 4", kInverse, "1/2 0 0 \n0 1/3 0 \n0 0 1/4 \n", kDone},
      // Negative pivots leave signs in denominators until the end.
      {"-1 2 0\r\n3 4 0\r\n0 0 1", kAdjugate, "4 -2 0 \n-3 -1 0 \n0 0 -10 \n", kDone},
      {"-1 2 0\r\n3 4 0\r\n0 0 1", kInverse, "-2/5 1/5 0 \n3/10 1/10 0 \n0 0 1 \n", kDone},
      // Zero first pivot in a minor, repaired by adding a lower row.
      {"0 1 5\r\n2 3 7\r\n1 1 1", kAdjugate, "-4 4 -8 \n5 -5 10 \n-1 1 -2 \n", kDone},
      {"0 1 5\r\n2 3 7\r\n1 1 1", kInverse, kSingular, kFalse},
      // The order is the row count: extra columns are ignored, missing
      // entries (a short row, an empty line) are 0.
      {"1 2 3\r\n4 5 6", kAdjugate, "5 -2 \n-4 1 \n", kDone},
      {"1 2\r\n\r\n3 4", kAdjugate, "0 0 0 \n0 0 0 \n0 2 0 \n", kDone},
      {"1 2\r\n\r\n3 4", kInverse, kSingular, kFalse},
      {"1\r\n2 3", kInverse, "1 0 \n-2/3 1/3 \n", kDone},
      // Refusals of the reader, after the choice.
      {"", kInverse, "请输入矩阵", kError},
      {"3.14", kAdjugate, "小数请按分数的形式输入", kError},
      {"1 5/0", kInverse, "分母不能为0", kError},
      {"2147483648", kInverse, "数值超出范围", kError},
      // Exact where 32-bit products would wrap (the denominator 6000 *
      // 8000 * 7000 does not fit, its reduced value does).
      {"1/5000 1/6000\r\n1/7000 1/8000", kInverse, "105000 -140000 \n-120000 168000 \n", kDone},
      // Values beyond 32 bits are refused, never wrapped: the determinant
      // 2^32 would wrap to 0 and claim the matrix singular.
      {"65536 0\r\n0 65536", kInverse, "数值超出范围", kError},
      {"65536 0\r\n0 65536", kAdjugate, "65536 0 \n0 65536 \n", kDone},
      {"65536 0 0\r\n0 65536 0\r\n0 0 1", kAdjugate, "数值超出范围", kError},
      {"-2147483648", kAdjugate, "1 \n", kDone},
      {"-2147483648", kInverse, "数值超出范围", kError},  // -1/2^31
      // The cofactors' eliminations leave 32 bits; the inverse fits and is
      // found by fraction-free elimination. The adjugate does not fit.
      {"-4/1273 9/1446 -4/1026\r\n4/1072 -2/1401 0/1748\r\n0/610 3/2600 0/1564", kInverse,
       "0 268 1393600/4203 \n0 0 2600/3 \n-513/2 -216 125644350/112547 \n", kDone},
      {"-4/1273 9/1446 -4/1026\r\n4/1072 -2/1401 0/1748\r\n0/610 3/2600 0/1564", kAdjugate,
       "数值超出范围", kError},
      // A cofactor of -2^31 found as 2^31 over -1 still fits.
      {"-1 1 0\r\n1 2147483647 0\r\n0 0 1", kAdjugate,
       "2147483647 -1 0 \n-1 -1 0 \n0 0 -2147483648 \n", kDone},
  };
  for (const PressCase& c : cases) {
    const Box box = Press(c.text, c.choice);
    const Owner owner = std::string(c.caption) == kDone ? Owner::kNone : Owner::kDialog;
    EXPECT_EQ(box, (Box{c.expected, c.caption, owner})) << c.text << " choice " << c.choice;
  }
}

// Where the elimination leaves each sign matters to nothing shown, but the
// stored forms are the ones the formulas give.
TEST(InversePress, StoredForms) {
  struct {
    const char* text;
    int r, c;
    int32_t num, den;
  } cofactors[] = {
      {"-1 2 0\r\n3 4 0\r\n0 0 1", 3, 3, 10, -1},
      {"-1 2 0\r\n3 4 0\r\n0 0 1", 2, 2, 1, -1},
      {"-1 2 0\r\n3 4 0\r\n0 0 1", 1, 1, 4, 1},
      {"0 1 5\r\n2 3 7\r\n1 1 1", 3, 3, -2, 1},
      {"1/2 1/3\r\n1/4 1/5", 1, 2, -1, 4},
      {"1 2 3\r\n0 5 6\r\n0 7 8", 1, 2, 0, 1},  // minor with a zero column
  };
  for (const auto& k : cofactors) {
    FractionMatrix work, result;
    ASSERT_EQ(ReadMatrixText(k.text, work), ReadError::kNone);
    ASSERT_TRUE(EvaluateCofactor(work, work.rows, k.r, k.c, result));
    EXPECT_EQ(result.num[k.c][k.r], k.num) << k.text << " " << k.r << "," << k.c;
    EXPECT_EQ(result.den[k.c][k.r], k.den) << k.text << " " << k.r << "," << k.c;
  }
  FractionMatrix m;
  ASSERT_EQ(ReadMatrixText("1 2 3\r\n4 5 6\r\n7 8 10", m), ReadError::kNone);
  int32_t num = 0, den = 0;
  ASSERT_TRUE(EvaluateDeterminant(m, 3, num, den));
  EXPECT_EQ(num, 3);
  EXPECT_EQ(den, -1);
}

// The largest order: the matrix of entries min(i, j) has determinant 1 and
// a tridiagonal inverse; no entry is zero, so every step does full work.
TEST(InversePress, OrderTwenty) {
  std::string text, expected;
  for (int i = 1; i <= kMaxOrder; ++i) {
    for (int j = 1; j <= kMaxOrder; ++j) {
      text += std::to_string(i < j ? i : j) + " ";
      const int v = i == j ? (i == kMaxOrder ? 1 : 2) : (i - j == 1 || j - i == 1 ? -1 : 0);
      expected += std::to_string(v) + " ";
    }
    text += "\r\n";
    expected += "\n";
  }
  EXPECT_EQ(Press(text, kInverse), (Box{expected, kDone, Owner::kNone}));
}

TEST(InversePress, HelpBox) {
  const Box box = LumbraneHelpBox();
  EXPECT_EQ(box.caption, "Lumbranev1.3使用说明");
  EXPECT_EQ(box.owner, Owner::kNone);
  std::vector<std::string> lines(1);
  for (char ch : box.text) {
    if (ch == '\n') {
      lines.emplace_back();
    } else {
      lines.back() += ch;
    }
  }
  ASSERT_EQ(lines.size(), 11u);
  for (int empty : {2, 4, 7, 9}) EXPECT_EQ(lines[empty], "");
  EXPECT_EQ(lines[0].rfind("Lumbranev1.3", 0), 0u);
  EXPECT_NE(lines[6].find(")，"), std::string::npos);  // the one full-width comma
  EXPECT_EQ(lines[8], std::string("    如有疑问,请到此留言") + kQuestionsAddress);
  EXPECT_EQ(lines[10], std::string(37, ' ') + "Program by Morrowfen");
}

// An independent exact check on random small matrices: cofactors by Laplace
// expansion, in wide rationals.
struct Q {
  Wide n = 0, d = 1;
};
Q Make(Wide n, Wide d) {
  if (d < 0) n = -n, d = -d;
  const Wide g = WideGcd(n < 0 ? -n : n, d);
  return {n / g, d / g};
}
Q operator+(Q a, Q b) {
  return Make(a.n * b.d + b.n * a.d, a.d * b.d);
}
Q operator*(Q a, Q b) {
  return Make(a.n * b.n, a.d * b.d);
}

using Square = std::vector<std::vector<Q>>;

Square Minor(const Square& a, int r, int c) {
  Square minor;
  for (size_t i = 0; i < a.size(); ++i) {
    if (static_cast<int>(i) == r) continue;
    minor.emplace_back();
    for (size_t j = 0; j < a.size(); ++j)
      if (static_cast<int>(j) != c) minor.back().push_back(a[i][j]);
  }
  return minor;
}

Q Determinant(const Square& a) {
  Q sum{a.empty() ? 1 : 0, 1};
  for (size_t c = 0; c < a.size(); ++c)  // along the first row
    sum = sum + a[0][c] * Determinant(Minor(a, 0, c)) * Q{c % 2 ? -1 : 1, 1};
  return sum;
}

std::string Format(const Square& a) {
  std::string text;
  for (const auto& row : a) {
    for (const Q& q : row) {
      text += std::to_string(static_cast<int64_t>(q.n));
      if (q.d != 1) text += "/" + std::to_string(static_cast<int64_t>(q.d));
      text += " ";
    }
    text += "\n";
  }
  return text;
}

TEST(InversePress, AgreesWithExpansionOnRandomMatrices) {
  std::mt19937 random(20240601);
  for (int trial = 0; trial < 400; ++trial) {
    const int n = 1 + trial % 4;
    const int span = trial % 3 == 0 ? 1 : 6;  // narrow entries: many singular matrices
    Square a(n, std::vector<Q>(n));
    std::string text;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        const int num = static_cast<int>(random() % (2 * span + 1)) - span;
        const int den = random() % 4 == 0 ? 2 + static_cast<int>(random() % 4) : 1;
        a[i][j] = Make(num, den);
        text += std::to_string(num) + "/" + std::to_string(den) + " ";
      }
      text += "\r\n";
    }
    const Q det = Determinant(a);
    Square adjugate(n, std::vector<Q>(n)), inverse = adjugate;
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) {
        adjugate[c][r] = Determinant(Minor(a, r, c)) * Q{(r + c) % 2 ? -1 : 1, 1};
        if (det.n != 0) inverse[c][r] = adjugate[c][r] * Make(det.d, det.n);
      }
    }
    EXPECT_EQ(Press(text, kAdjugate), (Box{Format(adjugate), kDone, Owner::kNone})) << text;
    if (det.n == 0) {
      EXPECT_EQ(Press(text, kInverse), (Box{kSingular, kFalse, Owner::kDialog})) << text;
      continue;
    }
    EXPECT_EQ(Press(text, kInverse), (Box{Format(inverse), kDone, Owner::kNone})) << text;
    for (int i = 0; i < n; ++i) {  // and the inverse times the matrix is the identity
      for (int j = 0; j < n; ++j) {
        Q sum;
        for (int k = 0; k < n; ++k) sum = sum + inverse[i][k] * a[k][j];
        EXPECT_TRUE(sum.n == (i == j ? 1 : 0) && sum.d == 1) << text;
      }
    }
  }
}

// --- The adjugate with shared pivot steps ------------------------------------
// EvaluateAdjugate must give every cofactor exactly as EvaluateCofactor does,
// stored form and refusals included. Random matrices with many zeros bring
// zero pivots, repairs that add the deleted row and singular minors; a few
// huge entries make some rows, and only some minors, leave the range.
// Only the cofactor of (3, 3) leaves the range: its minor eliminates row 2
// (2147483647/2 - 1/3 needs 33 bits), which the other minors of column 3
// drop or never eliminate. The whole press refuses.
TEST(EvaluateAdjugate, OneCofactorOutOfRangeRefusesThePress) {
  const char text[] = "1 1 1\r\n1/3 2147483647/2 1\r\n0 0 1";
  EXPECT_EQ(Press(text, kAdjugate), (Box{kMsgOutOfRange, kError, Owner::kDialog}));
}

TEST(EvaluateAdjugate, SameAsEachCofactorOnItsOwn) {
  std::mt19937 random(7321);
  int refused = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = trial % 10 == 0 ? 20 : 1 + static_cast<int>(random() % 8);
    const unsigned zeros = random() % 4;  // none up to three in four entries
    const bool huge = trial % 5 == 0;
    FractionMatrix a;
    a.Clear();
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        if (random() % 4 < zeros) continue;
        a.num[i][j] = static_cast<int32_t>(random() % 7) - 3;
        a.den[i][j] = random() % 3 == 0 ? -2 - static_cast<int32_t>(random() % 3)
                                        : 1 + static_cast<int32_t>(random() % 4);
        if (huge && random() % 40 == 0)
          a.num[i][j] = INT32_MAX - static_cast<int32_t>(random() % 9);
      }
    }
    FractionMatrix expected;
    expected.Clear();
    bool expected_ok = true;
    for (int r = 1; r <= n && expected_ok; ++r) {
      for (int c = 1; c <= n && expected_ok; ++c) {
        FractionMatrix work = a;
        expected_ok = EvaluateCofactor(work, n, r, c, expected);
      }
    }
    FractionMatrix shared;
    shared.Clear();
    ASSERT_EQ(EvaluateAdjugate(a, n, shared), expected_ok) << "trial " << trial;
    if (!expected_ok) {
      ++refused;
      continue;
    }
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        ASSERT_EQ(shared.num[i][j], expected.num[i][j]) << "trial " << trial << " at " << i << j;
        ASSERT_EQ(shared.den[i][j], expected.den[i][j]) << "trial " << trial << " at " << i << j;
      }
    }
  }
  EXPECT_GT(refused, 10);  // the huge entries did reach the refusals
}

}  // namespace
}  // namespace calc
