#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_replay.h"
#include "press_cases.h"
#include "rank_press.h"

namespace calc {
namespace {

using cases::CrLf, cases::Done, cases::Refused, cases::kRank, cases::kNoChoice, cases::kEigenvalues,
    cases::kSolve;

// Each row's box, and its log exactly when the row has one.
void ExpectPresses(const std::vector<cases::PressRow>& rows) {
  for (const cases::PressRow& c : rows) {
    const LoggedOutcome outcome = PressRank(
        {c.first, c.choice == kRank, c.choice == kEigenvalues, c.with_log, c.choice == kSolve});
    EXPECT_EQ(outcome.box, c.box) << c.first;
    EXPECT_EQ(outcome.write_log, !c.log.empty()) << c.first;
    if (c.log == cases::kLogReplayed) {
      const auto calculation = c.choice == kSolve ? testing::kSystem : testing::kRank;
      EXPECT_EQ(testing::LogFault(calculation, c.first, outcome), "") << c.first;
    } else {
      EXPECT_EQ(outcome.log, c.log) << c.first;
    }
  }
}

TEST(PressRank, ShowsTheEliminatedMatrixAndTheRank) {
  std::vector<cases::PressRow> rows = {
      {"1 2\r\n2 4", "", kRank, Done("1 2 \n0 0 \n\n矩阵的秩为1")},
      // A zero pivot is repaired by adding the first lower row non-zero there.
      {"0 1\r\n1 0", "", kRank, Done("1 1 \n0 -1 \n\n矩阵的秩为2")},
      {"0 2 3\r\n0 4 6\r\n1 1 1", "", kRank, Done("1 3 4 \n0 4 6 \n0 0 0 \n\n矩阵的秩为2")},
      {"1/2 -3/4\r\n5 6", "", kRank, Done("1/2 -3/4 \n0 27/2 \n\n矩阵的秩为2")},
      {"1 2\r\n\r\n3 4", "", kRank, Done("1 2 \n0 -2 \n0 0 \n\n矩阵的秩为2")},
      {"0 0\r\n0 0", "", kRank, Done("0 0 \n0 0 \n\n矩阵的秩为0")},
      {"2/4 6/3", "", kRank, Done("1/2 2 \n\n矩阵的秩为1")},  // entries are shown reduced
      // A column without a pivot is skipped; the rank is the true rank.
      {"0 1 1\r\n0 1 1\r\n0 0 0", "", kRank, Done("0 1 1 \n0 0 0 \n0 0 0 \n\n矩阵的秩为1")},
      {"1 0 0\r\n0 0 1\r\n0 0 1", "", kRank, Done("1 0 0 \n0 0 1 \n0 0 0 \n\n矩阵的秩为2")},
      // A row longer than the first is refused, not cut.
      {"1\r\n2 0\r\n3 7", "", kRank, Refused("第2行的数比第1行多")},
      {"", "", kNoChoice, Refused("请选择计算方式")},
      {"", "", kRank, Refused("请输入矩阵")},
      {"3.14 1", "", kRank, Done("157/50 1 \n\n矩阵的秩为1")},
      {"5/0 1", "", kRank, Refused("分母不能为0")},
      // Beyond 32 bits, with a column skipped and zero pivots repaired.
      {"0 0 2147483647 1\r\n0 0 5 -2147483648/3\r\n0 7 1/2147483647 3\r\n0 0 0 2147483646/5", "",
       kRank,
       Done("0 7 4611686014132420610/2147483647 4 \n0 0 5 -2147483648/3 \n"
            "0 0 0 -4611686016279904271/15 \n0 0 0 0 \n\n矩阵的秩为3")},
      {"0 2147483647 1\r\n2147483647 1 0\r\n1 0 2147483647", "", kRank,
       Done("2147483647 2147483648 1 \n0 -2147483647 -1 \n"
            "0 0 9903520300447984150353281024/4611686014132420609 \n\n矩阵的秩为3")},
  };
  rows.insert(rows.end(), cases::kRankRows.begin(), cases::kRankRows.end());
  ExpectPresses(rows);
}

// Logs of what the table rows leave out, checked by their replay
// (log_replay.h): the typed matrix first, every named row operation applied
// to the block before gives the block after it, and the result at the end.
TEST(PressRank, LogsEveryStep) {
  // One row; a zero matrix; a typed entry written reduced; a pivot in the
  // last row, which clears nothing; beyond 32 bits, where the press computes
  // fraction-free and the log shows the same step-by-step fractions.
  for (const char* text : {"5", "0 0\r\n0 0", "2/4 1\r\n1 1", "1\r\n2\r\n3",
                           "2147483647 1\r\n1 2147483647\r\n3 -2147483648/7"}) {
    const LoggedOutcome outcome = testing::PressWithLog(testing::kRank, text);
    EXPECT_EQ(testing::LogFault(testing::kRank, text, outcome), "") << text;
  }
  ExpectPresses({
      // Refused before anything is computed: no log.
      {"1 2", "", kNoChoice, Refused("请选择计算方式"), "", true},
      {"", "", kRank, Refused("请输入矩阵"), "", true},
  });
}

constexpr char kNoVectors[] = "\n三次及以上不可约因式的根不列出特征向量\n\n";

TEST(PressRank, ShowsTheEigenvalues) {
  std::vector<cases::PressRow> rows = {
      {"7/3", "", kEigenvalues,
       Done("特征多项式 f(λ) = λ - 7/3\n\nλ1 = 7/3    代数重数 1  几何重数 1\n  ξ1 = (1)^T\n\n"
            "可对角化")},
      {"0 0 0\r\n0 0 0\r\n0 0 0", "", kEigenvalues,
       Done("特征多项式 f(λ) = λ^3\n\nλ1 = 0    代数重数 3  几何重数 3\n  ξ1 = (1, 0, 0)^T\n"
            "  ξ2 = (0, 1, 0)^T\n  ξ3 = (0, 0, 1)^T\n\n可对角化")},
      {"3 0\r\n0 3", "", kEigenvalues,
       Done("特征多项式 f(λ) = λ^2 - 6λ + 9 = (λ - 3)^2\n\nλ1 = 3    代数重数 2  几何重数 2\n"
            "  ξ1 = (1, 0)^T\n  ξ2 = (0, 1)^T\n\n可对角化")},
      // A Jordan block: one eigenvector for multiplicity 4.
      {"2 1 0 0\r\n0 2 1 0\r\n0 0 2 1\r\n0 0 0 2", "", kEigenvalues,
       Done("特征多项式 f(λ) = λ^4 - 8λ^3 + 24λ^2 - 32λ + 16 = (λ - 2)^4\n\n"
            "λ1 = 2    代数重数 4  几何重数 1\n  ξ1 = (1, 0, 0, 0)^T\n\n不可对角化")},
      // Eigenvectors scaled to coprime integers, the first non-zero positive.
      {"0 0 0 -1\r\n1 0 0 0\r\n0 1 0 2\r\n0 0 1 0", "", kEigenvalues,
       Done("特征多项式 f(λ) = λ^4 - 2λ^2 + 1 = (λ + 1)^2 (λ - 1)^2\n\n"
            "λ1 = -1    代数重数 2  几何重数 1\n  ξ1 = (1, -1, -1, 1)^T\n"
            "λ2 = 1    代数重数 2  几何重数 1\n  ξ2 = (1, 1, -1, -1)^T\n\n不可对角化")},
      {"1 -1\r\n1 1", "", kEigenvalues,
       Done(std::string("特征多项式 f(λ) = λ^2 - 2λ + 2\n\n"
                        "λ = 1 ± i    代数重数各 1  几何重数各 1\n  ξ1 = (i, 1)^T\n"
                        "  另一个根的特征向量是以上向量的共轭 (i 换为 -i)\n\n在复数域上可对角化"))},
      {"0 -1\r\n1 0", "", kEigenvalues,
       Done("特征多项式 f(λ) = λ^2 + 1\n\nλ = ±i    代数重数各 1  几何重数各 1\n"
            "  ξ1 = (i, 1)^T\n  另一个根的特征向量是以上向量的共轭 (i 换为 "
            "-i)\n\n在复数域上可对角化")},
      // A square factor beyond the primes divided out: 27018003 = 3 * 3001^2.
      {"0 9003\r\n3001 0", "", kEigenvalues,
       Done(std::string("特征多项式 f(λ) = λ^2 - 27018003\n\n"
                        "λ = ±3001√3 ≈ 5197.884474, -5197.884474    代数重数各 1  几何重数各 1\n"
                        "  ξ1 = (√3, 1)^T\n  另一个根的特征向量是以上向量的共轭 (√3 换为 -√3)\n\n"
                        "可对角化"))},
      {"1/2 1/3\r\n1/4 1/5", "", kEigenvalues,
       Done(std::string(
           "特征多项式 f(λ) = λ^2 - (7/10)λ + 1/60\n\n"
           "λ = (21 ± √381)/60 ≈ 0.6753203549, 0.02467964507    代数重数各 1  几何重数各 1\n"
           "  ξ1 = ((9 + √381)/15, 1)^T\n"
           "  另一个根的特征向量是以上向量的共轭 (√381 换为 -√381)\n\n可对角化"))},
      // A root below 10^-5 in the power form.
      {"1 1\r\n1 2147483647/2147483646", "", kEigenvalues,
       Done(std::string("特征多项式 f(λ) = λ^2 - (4294967293/2147483646)λ + 1/2147483646\n\n"
                        "λ = (4294967293 ± √18446744039349813265)/4294967292 ≈ 2.000000000, "
                        "2.328306438×10^-10    代数重数各 1  几何重数各 1\n"
                        "  ξ1 = ((-1 + √18446744039349813265)/4294967292, 1)^T\n"
                        "  另一个根的特征向量是以上向量的共轭 (√18446744039349813265 换为 "
                        "-√18446744039349813265)\n\n可对角化"))},
      // An irreducible cubic: decimals only, the complex pair's parts with
      // 10 digits each.
      // What remains after the linear and quadratic factors, factored completely.
      {"0 0 2 0 0 0\r\n1 0 0 0 0 0\r\n0 1 0 0 0 0\r\n0 0 0 0 0 3\r\n0 0 0 1 0 0\r\n0 0 0 0 1 0", "",
       kEigenvalues,
       Done(std::string("特征多项式 f(λ) = λ^6 - 5λ^3 + 6 = (λ^3 - 3) (λ^3 - 2)\n\n"
                        "λ ≈ 1.259921050    代数重数 1\nλ ≈ 1.442249570    代数重数 1\n"
                        "λ ≈ -0.7211247852 ± 1.249024766i    代数重数各 1\n"
                        "λ ≈ -0.6299605249 ± 1.091123636i    代数重数各 1") +
            kNoVectors + "在复数域上可对角化")},
      {"0 0 2\r\n1 0 0\r\n0 1 0", "", kEigenvalues,
       Done(std::string("特征多项式 f(λ) = λ^3 - 2\n\nλ ≈ 1.259921050    代数重数 1\n"
                        "λ ≈ -0.6299605249 ± 1.091123636i    代数重数各 1") +
            kNoVectors + "在复数域上可对角化")},
      // A real part that is 0 exactly.
      {"0 0 0 -1\r\n1 0 0 0\r\n0 1 0 -3\r\n0 0 1 0", "", kEigenvalues,
       Done(std::string("特征多项式 f(λ) = λ^4 + 3λ^2 + 1\n\nλ ≈ ±0.6180339887i    代数重数各 1\n"
                        "λ ≈ ±1.618033989i    代数重数各 1") +
            kNoVectors + "在复数域上可对角化")},
      // A repeated irreducible quadratic: diagonalisable only when its value
      // at A is 0.
      {"0 1 0 0\r\n-2 0 0 0\r\n0 0 0 1\r\n0 0 -2 0", "", kEigenvalues,
       Done(std::string("特征多项式 f(λ) = λ^4 + 4λ^2 + 4 = (λ^2 + 2)^2\n\n"
                        "λ = ±(√2)i ≈ ±1.414213562i    代数重数各 2  几何重数各 2\n"
                        "  ξ1 = (-(√2/2)i, 1, 0, 0)^T\n  ξ2 = (0, 0, -(√2/2)i, 1)^T\n"
                        "  另一个根的特征向量是以上向量的共轭 (i 换为 -i)\n\n在复数域上可对角化"))},
      {"0 1 0 0\r\n-2 0 1 0\r\n0 0 0 1\r\n0 0 -2 0", "", kEigenvalues,
       Done(std::string("特征多项式 f(λ) = λ^4 + 4λ^2 + 4 = (λ^2 + 2)^2\n\n"
                        "λ = ±(√2)i ≈ ±1.414213562i    代数重数各 2  几何重数各 1\n"
                        "  ξ1 = (-(√2/2)i, 1, 0, 0)^T\n"
                        "  另一个根的特征向量是以上向量的共轭 (i 换为 -i)\n\n不可对角化"))},
      // A long polynomial goes below the eigenvalues.
      {"2147483647 0 0 0 0\r\n0 -2147483648 0 0 0\r\n0 0 2147483646 0 0\r\n"
       "0 0 0 1/2147483647 0\r\n0 0 0 0 3",
       "", kEigenvalues,
       Done("λ1 = -2147483648    代数重数 1  几何重数 1\n  ξ1 = (0, 1, 0, 0, 0)^T\n"
            "λ2 = 1/2147483647    代数重数 1  几何重数 1\n  ξ2 = (0, 0, 0, 1, 0)^T\n"
            "λ3 = 3    代数重数 1  几何重数 1\n  ξ3 = (0, 0, 0, 0, 1)^T\n"
            "λ4 = 2147483646    代数重数 1  几何重数 1\n  ξ4 = (0, 0, 1, 0, 0)^T\n"
            "λ5 = 2147483647    代数重数 1  几何重数 1\n  ξ5 = (1, 0, 0, 0, 0)^T\n\n"
            "可对角化\n\n"
            "特征多项式 f(λ) = λ^5 - (4611686016279904257/2147483647)λ^4 - "
            "(9903520295836298144810795001/2147483647)λ^3 + "
            "(21267647922655133666012928796952363021/2147483647)λ^2 - "
            "(63802943688737238511444564970154491898/2147483647)λ + 13835058042397261824\n"
            "  = (λ + 2147483648) (λ - 1/2147483647) (λ - 3) (λ - 2147483646) (λ - 2147483647)")},
      // The reader's messages come before the shape's, the choice's first.
      {"", "", kEigenvalues, Refused("请输入矩阵")},
      {"1 2 3\r\n4 5/0 6", "", kEigenvalues, Refused("分母不能为0")},
      {"1 2\r\n3 4\r\n5 6", "", kEigenvalues, Refused("请输入方阵")},
  };
  rows.insert(rows.end(), cases::kEigenvalueRows.begin(), cases::kEigenvalueRows.end());
  ExpectPresses(rows);
}

TEST(PressRank, SolvesSystems) {
  const std::string reduced = "增广矩阵的行最简形:\n";
  std::vector<cases::PressRow> rows = {
      {"1 2 0\r\n3 4 0", "", kSolve,
       Done(reduced + "1 0 | 0\n0 1 | 0\n\nr(A) = 2, r(A|b) = 2\n方程组只有零解\nx = (0, 0)^T")},
      // All-zero rows: every unknown free, no particular solution for b = 0.
      {"0 0 0\r\n0 0 0", "", kSolve,
       Done(reduced +
            "0 0 | 0\n0 0 | 0\n\nr(A) = 0, r(A|b) = 0\n方程组有无穷多解\n自由未知量 x1, x2\n"
            "基础解系:\nξ1 = (1, 0)^T\nξ2 = (0, 1)^T\n通解 x = k1ξ1 + k2ξ2 (k1, k2 为任意常数)")},
      // One equation; a zero column of A, a free unknown before a pivot.
      {"2 4 6", "", kSolve,
       Done(reduced +
            "1 2 | 3\n\nr(A) = 1, r(A|b) = 1\n方程组有无穷多解\n自由未知量 x2\n特解:\n"
            "η = (3, 0)^T\n基础解系:\nξ1 = (-2, 1)^T\n通解 x = η + k1ξ1 (k1 为任意常数)")},
      {"0 1 2 3", "", kSolve,
       Done(reduced +
            "0 1 2 | 3\n\nr(A) = 1, r(A|b) = 1\n方程组有无穷多解\n自由未知量 x1, x3\n特解:\n"
            "η = (0, 3, 0)^T\n基础解系:\nξ1 = (1, 0, 0)^T\nξ2 = (0, -2, 1)^T\n"
            "通解 x = η + k1ξ1 + k2ξ2 (k1, k2 为任意常数)")},
      // The choice first, then the reader, then the columns.
      {"1", "", kNoChoice, Refused("请选择计算方式")},
      {"1 x", "", kSolve, Refused("无法识别第1行的字符“x”")},
  };
  rows.insert(rows.end(), cases::kSolveRows.begin(), cases::kSolveRows.end());
  ExpectPresses(rows);
}

}  // namespace
}  // namespace calc
