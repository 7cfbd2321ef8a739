#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inverse_press.h"
#include "log_replay.h"
#include "press_cases.h"

namespace calc {
namespace {

using cases::CrLf, cases::Done, cases::Refused, cases::kAdjugate, cases::kInverse, cases::kNoChoice;

const Box kSingular{"该矩阵的值为0,不存在逆矩阵!", "False !", Owner::kDialog};

// Each row's box, and its log exactly when the row has one.
void ExpectPresses(const std::vector<cases::PressRow>& rows) {
  for (const cases::PressRow& c : rows) {
    if (c.choice == cases::kHelp) continue;  // the help box is the shell's to show
    const LoggedOutcome outcome =
        PressInverse({c.first, c.choice == kAdjugate, c.choice == kInverse, c.with_log});
    EXPECT_EQ(outcome.box, c.box) << c.first << " choice " << c.choice;
    EXPECT_EQ(outcome.write_log, !c.log.empty()) << c.first;
    if (c.log == cases::kLogReplayed) {
      const auto calculation = c.choice == kInverse ? testing::kInverse : testing::kAdjugate;
      EXPECT_EQ(testing::LogFault(calculation, c.first, outcome), "") << c.first;
    } else {
      EXPECT_EQ(outcome.log, c.log) << c.first << " choice " << c.choice;
    }
  }
}

TEST(InversePress, Table) {
  std::vector<cases::PressRow> rows = {
      // The choice comes before anything is read.
      {"", "", kNoChoice, Refused("请选择计算方式!")},
      {"1 2\r\n2 4", "", kAdjugate, Done("4 -2 \n-2 1 \n")},
      {"5", "", kInverse, Done("1/5 \n")},
      {"0", "", kAdjugate, Done("1 \n")},
      {"0", "", kInverse, kSingular},
      // One row exchange: the determinant is -1.
      {"0 1\r\n1 0", "", kInverse, Done("0 1 \n1 0 \n")},
      {"1/2 1/3\r\n1/4 1/5", "", kInverse, Done("12 -20 \n-15 30 \n")},
      // Negative pivots: the signs end on the numerators.
      {"-1 2 0\r\n3 4 0\r\n0 0 1", "", kAdjugate, Done("4 -2 0 \n-3 -1 0 \n0 0 -10 \n")},
      {"-2147483648", "", kInverse, Done("-1/2147483648 \n")},
      {"-1 1 0\r\n1 2147483647 0\r\n0 0 1", "", kAdjugate,
       Done("2147483647 -1 0 \n-1 -1 0 \n0 0 -2147483648 \n")},
      // A zero first pivot; the matrix is singular, its adjugate is not 0.
      {"0 1 5\r\n2 3 7\r\n1 1 1", "", kAdjugate, Done("-4 4 -8 \n5 -5 10 \n-1 1 -2 \n")},
      {"0 1 5\r\n2 3 7\r\n1 1 1", "", kInverse, kSingular},
      // Entries a short row does not give are 0; a matrix that is not
      // square is refused, and so is a row longer than the first.
      {"1 2\r\n3", "", kInverse, Done("0 1/3 \n1/2 -1/6 \n")},
      {"1 2 3\r\n4 5 6", "", kAdjugate, Refused("请输入方阵")},
      {"1 2\r\n\r\n3 4", "", kInverse, Refused("请输入方阵")},
      {"1\r\n2 3", "", kInverse, Refused("第2行的数比第1行多")},
      // Refusals of the reader, after the choice.
      {"", "", kInverse, Refused("请输入矩阵")},
      {"1 x", "", kAdjugate, Refused("无法识别第1行的字符“x”")},
  };
  rows.insert(rows.end(), cases::kInverseRows.begin(), cases::kInverseRows.end());
  ExpectPresses(rows);
}

// Logs of what the table rows leave out, checked by their replay
// (log_replay.h).
TEST(InversePress, LogsEveryStep) {
  const struct {
    const char* text;
    testing::Calculation choice;
  } cases[] = {
      // Order 1: no other row to clear, only the division; a zero matrix.
      {"5", testing::kInverse},
      {"0", testing::kAdjugate},
      // A column without a pivot, then the step that leaves a zero row.
      {"1 2 3\r\n2 4 7\r\n0 0 1", testing::kInverse},
      // A zero row as typed: no step at all; rank below n - 1.
      {"0 0 0\r\n1 2 3\r\n2 4 6", testing::kAdjugate},
      // Beyond 32 bits: the same step-by-step fractions as the answer's road.
      {"2147483647 1\r\n1 -2147483648", testing::kInverse},
  };
  for (const auto& c : cases) {
    const LoggedOutcome outcome = testing::PressWithLog(c.choice, c.text);
    EXPECT_EQ(testing::LogFault(c.choice, c.text, outcome), "") << c.text;
  }
  ExpectPresses({
      // Refused before anything is computed: no log.
      {"1 2\r\n3 4", "", kNoChoice, Refused("请选择计算方式!"), "", true},
      {"1 2 3\r\n4 5 6", "", kInverse, Refused("请输入方阵"), "", true},
  });
}

}  // namespace
}  // namespace calc
