#include <gtest/gtest.h>

#include <random>
#include <string>

#include "matrix_reader.h"
#include "press_cases.h"
#include "rank_press.h"
#include "result_text.h"

namespace calc {
namespace {

struct PressCase {
  const char* text;
  bool rank_chosen;
  Box expected;
};

Box Result(const char* text) {
  return Box{text, "计算完毕", Owner::kNone};
}
Box Error(const char* text) {
  return Box{text, "Error", Owner::kDialog};
}

TEST(PressRank, ShowsTheEliminatedMatrixAndTheRank) {
  const PressCase cases[] = {
      {"1 2\r\n2 4", true, Result("1 2 \n0 0 \n\n矩阵的秩为1")},
      {"0 1\r\n1 0", true, Result("1 1 \n0 -1 \n\n矩阵的秩为2")},
      {"1/2 -3/4\r\n5 6", true, Result("1/2 -3/4 \n0 27/2 \n\n矩阵的秩为2")},
      {"-1/2 3\r\n4 5/-7", true, Result("-1/2 3 \n0 173/7 \n\n矩阵的秩为2")},
      {"-2 1\r\n1 1", true, Result("-2 1 \n0 3/2 \n\n矩阵的秩为2")},
      {"1 2 3\r\n4 5 6\r\n7 8 9", true, Result("1 2 3 \n0 -3 -6 \n0 0 0 \n\n矩阵的秩为2")},
      {"0 2 3\r\n0 4 6\r\n1 1 1", true, Result("1 3 4 \n0 4 6 \n0 0 0 \n\n矩阵的秩为2")},
      {"2 4\r\n1 2\r\n3 7", true, Result("2 4 \n0 1 \n0 0 \n\n矩阵的秩为2")},
      {"1 2\r\n\r\n3 4", true, Result("1 2 \n0 -2 \n0 0 \n\n矩阵的秩为2")},
      {"0 0\r\n0 0", true, Result("0 0 \n0 0 \n\n矩阵的秩为0")},
      {"5", true, Result("5 \n\n矩阵的秩为1")},
      {"0", true, Result("0 \n\n矩阵的秩为0")},
      {"2/4 6/3", true, Result("1/2 2 \n\n矩阵的秩为1")},  // entries are shown reduced
      // A column without a pivot is skipped; the rank is the true rank.
      {"0 1 1\r\n0 1 1\r\n0 0 0", true, Result("0 1 1 \n0 0 0 \n0 0 0 \n\n矩阵的秩为1")},
      {"1 0 0\r\n0 0 1\r\n0 0 1", true, Result("1 0 0 \n0 0 1 \n0 0 0 \n\n矩阵的秩为2")},
      // More rows than columns, with an entry beyond the counted columns.
      {"1\r\n2 0\r\n3 7", true, Result("1 \n0 \n0 \n\n矩阵的秩为1")},
      {"", false, Error("请选择计算方式")},
      {"", true, Error("请输入矩阵")},
      {"3.14 1", true, Error("小数请按分数的形式输入")},
      {"5/0 1", true, Error("分母不能为0")},
      // Exact at any size: nothing wraps, nothing is refused.
      {"1 1\r\n1 2147483647", true, Result("1 1 \n0 2147483646 \n\n矩阵的秩为2")},
      // Beyond 32 bits with a column skipped and zero pivots repaired.
      {"0 0 2147483647 1\r\n0 0 5 -2147483648/3\r\n0 7 1/2147483647 3\r\n0 0 0 2147483646/5", true,
       Result("0 7 4611686014132420610/2147483647 4 \n0 0 5 -2147483648/3 \n"
              "0 0 0 -4611686016279904271/15 \n0 0 0 0 \n\n矩阵的秩为3")},
      {"0 2147483647 1\r\n2147483647 1 0\r\n1 0 2147483647", true,
       Result("2147483647 2147483648 1 \n0 -2147483647 -1 \n"
              "0 0 9903520300447984150353281024/4611686014132420609 \n\n矩阵的秩为3")},
  };
  for (const PressCase& c : cases) {
    EXPECT_EQ(PressRank({c.text, c.rank_chosen}), c.expected) << c.text;
  }
  for (const cases::PressRow& c : cases::kRankRows) {
    EXPECT_EQ(PressRank({c.first, c.choice == cases::kRank}), c.box) << c.first;
  }
}

std::string MatrixText(const int values[][8], int rows, int cols, bool transpose) {
  std::string text;
  const int out_rows = transpose ? cols : rows, out_cols = transpose ? rows : cols;
  for (int i = 0; i < out_rows; ++i) {
    for (int j = 0; j < out_cols; ++j) {
      text += std::to_string(transpose ? values[j][i] : values[i][j]) + " ";
    }
    text += "\r\n";
  }
  return text;
}

// A product L * R of an r-column and an r-row factor, both holding the
// identity in their top/left block, has rank exactly r; the rank of the
// transpose must agree.
TEST(EliminateForRank, FindsTheRankOfConstructedMatricesOfEveryShape) {
  std::mt19937 random(2024);
  std::uniform_int_distribution<int> small(-3, 3);
  for (int rows = 1; rows <= 8; ++rows) {
    for (int cols = 1; cols <= 8; ++cols) {
      for (int r = 0; r <= std::min(rows, cols); ++r) {
        int left[8][8] = {}, right[8][8] = {}, product[8][8] = {};
        for (int i = 0; i < rows; ++i) {
          for (int k = 0; k < r; ++k) left[i][k] = i < r ? (i == k) : small(random);
        }
        for (int k = 0; k < r; ++k) {
          for (int j = 0; j < cols; ++j) right[k][j] = j < r ? (j == k) : small(random);
        }
        for (int i = 0; i < rows; ++i) {
          for (int j = 0; j < cols; ++j) {
            for (int k = 0; k < r; ++k) product[i][j] += left[i][k] * right[k][j];
          }
        }
        for (bool transpose : {false, true}) {
          FractionMatrix m;
          ASSERT_EQ(ReadMatrixText(MatrixText(product, rows, cols, transpose), m),
                    ReadError::kNone);
          m.rows = transpose ? cols : rows;  // a zero first row still counts its columns
          m.cols = transpose ? rows : cols;
          const int rank = EliminateForRank(m);
          EXPECT_EQ(rank, r) << rows << "x" << cols << (transpose ? " transposed" : "");
          EXPECT_EQ(testing::RowEchelonFault(m, rank), "");
        }
      }
    }
  }
}

}  // namespace
}  // namespace calc
