#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basicops_press.h"
#include "oracle.h"
#include "press_cases.h"

namespace calc {
namespace {

using cases::Done, cases::Refused;

// A press of Tessovar with one choice or none. Its four choices, kAdd ..
// kScalar, come in the order of the oracle's kSum .. kMultiple.
Box Press(const std::string& first, const std::string& second, cases::Choice choice) {
  if (choice == cases::kNoChoice) return PressBasicOps({first, second});
  return testing::Press(static_cast<testing::Calculation>(testing::kSum + choice - cases::kAdd),
                        first, second);
}

void CheckPresses(const std::vector<cases::PressRow>& rows) {
  for (const cases::PressRow& c : rows) {
    EXPECT_EQ(Press(c.first, c.second, c.choice), c.box)
        << "[" << c.first << "] " << c.choice << " [" << c.second << "]";
  }
}

TEST(PressBasicOps, SharedRows) {
  CheckPresses(cases::kBasicOpsRows);
}

TEST(PressBasicOps, ResultsAreReducedAndMissingEntriesAreZero) {
  CheckPresses({
      {"2/4 6/3", "0 0", cases::kAdd, Done("1/2 2 \n")},
      {"-1/2 1/3", "1/2 -1/3", cases::kAdd, Done("0 0 \n")},
      {"1 2\r\n3", "1 1\r\n1 1", cases::kAdd, Done("2 3 \n4 1 \n")},
      {"1 2\r\n\r\n3 4", "1 1\r\n1 1\r\n1 1", cases::kAdd, Done("2 3 \n1 1 \n4 5 \n")},
      {"1\r\n2\r\n-3", "1 2/3 3", cases::kMultiply, Done("1 2/3 3 \n2 4/3 6 \n-3 -2 -9 \n")},
      // Partial sums outside 32 bits are fine when the finished entry fits.
      {"2147483647 2147483647 -2147483647", "1\r\n1\r\n1", cases::kMultiply, Done("2147483647 \n")},
  });
}

TEST(PressBasicOps, MultiplesTakeOneNumber) {
  CheckPresses({
      {"2/3", "-3/2", cases::kScalar, Done("-1 \n")},
      {"1 -2/3\r\n3 4", "0", cases::kScalar, Done("0 0 \n0 0 \n")},
      {"1 -2/3\r\n3 4", "0 5", cases::kScalar, Refused("数乘时请在矩阵2中只输入一个数")},
      {"1", "2\r\n3", cases::kScalar, Refused("数乘时请在矩阵2中只输入一个数")},
      {"-2147483648", "-1", cases::kScalar, Done("2147483648 \n")},
      {"1 2", "", cases::kScalar, Refused("请输入矩阵")},
  });
}

TEST(PressBasicOps, RefusalsComeInOrder) {
  std::string too_many_rows;
  for (int i = 0; i < 21; ++i) too_many_rows += "1\r\n";
  CheckPresses({
      // Without a choice nothing else is looked at.
      {"", "5/0", cases::kNoChoice, Refused("请选择计算方式")},
      // Either text can be refused, matrix 1 first, before any shape check.
      {"", "5/0", cases::kAdd, Refused("请输入矩阵")},
      {"1 2", "5/0", cases::kAdd, Refused("分母不能为0")},
      {"1 x", "1", cases::kMultiply, Refused("无法识别第1行的字符“x”")},
      {"1", "2147483648", cases::kSubtract, Refused("数值超出范围")},
      {"1", too_many_rows, cases::kScalar, Refused("矩阵不能超过20行20列")},
      {"1 2\r\n3 4", "1 2 3\r\n4 5 6", cases::kAdd, Refused("矩阵有误")},
      {"1\r\n2", "1 2", cases::kSubtract, Refused("矩阵有误")},
  });
}

}  // namespace
}  // namespace calc
