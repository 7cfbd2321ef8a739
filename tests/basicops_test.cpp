#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "basicops_press.h"
#include "press_cases.h"

namespace calc {
namespace {

using cases::Choice, cases::kNoChoice, cases::kAdd, cases::kSubtract, cases::kMultiply,
    cases::kScalar;
enum Shown { kResult, kError };  // "计算完毕" with no owner, or "Error" owned by the dialog

Box Press(const std::string& first, const std::string& second, Choice choice) {
  BasicOpsInput input{first, second};
  input.add = choice == kAdd;
  input.subtract = choice == kSubtract;
  input.multiply = choice == kMultiply;
  input.scalar = choice == kScalar;
  return PressBasicOps(input);
}

struct PressCase {
  std::string first, second;
  Choice choice;
  std::string text;
  Shown shown;
};

void CheckPresses(const std::vector<PressCase>& cases) {
  for (const PressCase& c : cases) {
    const Box box = Press(c.first, c.second, c.choice);
    SCOPED_TRACE("[" + c.first + "] " + std::to_string(c.choice) + " [" + c.second + "]");
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, c.shown == kResult ? "计算完毕" : "Error");
    EXPECT_EQ(box.owner, c.shown == kResult ? Owner::kNone : Owner::kDialog);
  }
}

TEST(PressBasicOps, SharedRows) {
  for (const cases::PressRow& c : cases::kBasicOpsRows) {
    EXPECT_EQ(Press(c.first, c.second, c.choice), c.box) << c.first << " " << c.choice;
  }
}

TEST(PressBasicOps, SumsAndDifferences) {
  CheckPresses({
      {"2/4 6/3", "0 0", kAdd, "1/2 2 \n", kResult},
      {"1/3", "1/6", kAdd, "1/2 \n", kResult},
      {"-1/2 1/3", "1/2 -1/3", kAdd, "0 0 \n", kResult},
      // The product of the denominators leaves 32 bits; the reduced sum does not.
      {"1/46341", "1/46341", kAdd, "2/46341 \n", kResult},
      {"2147483647", "1", kAdd, "2147483648 \n", kResult},
      {"1/65536", "1/65537", kAdd, "131073/4295032832 \n", kResult},
      // Entries a text does not give are 0.
      {"1 2\r\n3", "1 1\r\n1 1", kAdd, "2 3 \n4 1 \n", kResult},
      {"1 2\r\n\r\n3 4", "1 1\r\n1 1\r\n1 1", kAdd, "2 3 \n1 1 \n4 5 \n", kResult},
      {"1/2 -3/4\r\n5 6", "1/2 -3/4\r\n5 6", kSubtract, "0 0 \n0 0 \n", kResult},
      {"-1", "-2147483648", kSubtract, "2147483647 \n", kResult},
      {"0", "-2147483648", kSubtract, "2147483648 \n", kResult},
  });
}

TEST(PressBasicOps, Products) {
  CheckPresses({
      {"1 2\r\n3 4", "5 6\r\n7 8", kMultiply, "19 22 \n43 50 \n", kResult},
      {"1/2 1/3", "1\r\n1", kMultiply, "5/6 \n", kResult},
      {"1\r\n2\r\n-3", "1 2/3 3", kMultiply, "1 2/3 3 \n2 4/3 6 \n-3 -2 -9 \n", kResult},
      {"1 2 3", "1\r\n2\r\n3", kMultiply, "14 \n", kResult},
      {"46341", "46341", kMultiply, "2147488281 \n", kResult},
      {"1/65536", "1/65536", kMultiply, "1/4294967296 \n", kResult},
      // Partial sums outside 32 bits are fine when the finished entry fits.
      {"2147483647 2147483647 -2147483647", "1\r\n1\r\n1", kMultiply, "2147483647 \n", kResult},
      {"1/65536 1/65536", "1/65536\r\n-1/65536", kMultiply, "0 \n", kResult},
  });
}

TEST(PressBasicOps, MultiplesTakeTheFactorFromTheFirstEntry) {
  CheckPresses({
      {"1 2\r\n3 4", "1/2", kScalar, "1/2 1 \n3/2 2 \n", kResult},
      {"1/3", "1/6", kScalar, "1/18 \n", kResult},
      {"2/3", "-3/2", kScalar, "-1 \n", kResult},
      {"1 -2/3\r\n3 4", "0 5", kScalar, "0 0 \n0 0 \n", kResult},
      {"-2147483648", "-1", kScalar, "2147483648 \n", kResult},
      {"2147483647 -2147483648/2147483647", "-2147483648/2147483647", kScalar,
       "-2147483648 4611686018427387904/4611686014132420609 \n", kResult},
      {"1 2", "", kScalar, "请输入矩阵", kError},
  });
}

TEST(PressBasicOps, RefusalsComeInOrder) {
  std::string too_many_rows;
  for (int i = 0; i < 21; ++i) too_many_rows += "1\r\n";
  CheckPresses({
      // Without a choice nothing else is looked at.
      {"", "5/0", kNoChoice, "请选择计算方式", kError},
      // Either text can be refused, matrix 1 first, before any shape check.
      {"", "5/0", kAdd, "请输入矩阵", kError},
      {"1 2", "5/0", kAdd, "分母不能为0", kError},
      {"3.14", "1", kMultiply, "小数请按分数的形式输入", kError},
      {"1", "2147483648", kSubtract, "数值超出范围", kError},
      {"1", too_many_rows, kScalar, "矩阵不能超过20行20列", kError},
      {"1 2\r\n3 4", "1 2 3\r\n4 5 6", kAdd, "矩阵有误", kError},
      {"1\r\n2", "1 2", kSubtract, "矩阵有误", kError},
  });
}

}  // namespace
}  // namespace calc
