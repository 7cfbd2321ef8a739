#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "determinant_press.h"
#include "press_cases.h"

namespace calc {
namespace {

using cases::CrLf;

Box Result(const std::string& value) {
  return ResultBox("行列式的值为 " + value, Owner::kDialog);
}

// A press writes its log exactly when `log` is not empty.
struct PressCase {
  std::string text;
  bool log_chosen;
  Box box;
  std::string log;
};

void ExpectPresses(std::vector<PressCase> cases) {
  for (const cases::PressRow& c : cases::kDeterminantRows) {
    if (c.choice != cases::kHelp) cases.push_back({c.first, c.choice == cases::kLog, c.box, c.log});
  }
  for (const PressCase& c : cases) {
    const LoggedOutcome outcome = PressDeterminant({c.text, c.log_chosen});
    EXPECT_EQ(outcome.box.text, c.box.text) << c.text;
    EXPECT_EQ(outcome.box, c.box) << c.text;
    EXPECT_EQ(outcome.write_log, !c.log.empty()) << c.text;
    EXPECT_EQ(outcome.log, c.log) << c.text;
  }
}

TEST(PressDeterminant, EliminationStepsAndValues) {
  const std::string header1of2 = "用第1行对2~2行进行高斯消元可得如下:\n";
  const std::string header1of3 = "用第1行对2~3行进行高斯消元可得如下:\n";
  const std::string header2of3 = "用第2行对3~3行进行高斯消元可得如下:\n";
  ExpectPresses({
      // n = 1: no step, the log holds the result alone.
      {"5", true, Result("5"), "行列式的值为 5"},
      {"2/4", true, Result("1/2"), "行列式的值为 1/2"},
      {"-2147483648", true, Result("-2147483648"), "行列式的值为 -2147483648"},
      // A zero first column ends the step at the pivot test; the block shows
      // the matrix unchanged.
      {"0 1\r\n0 2", true, Result("0"), CrLf(header1of2 + " 0 1\n 0 2\n\n行列式的值为 0")},
      // The first lower row with a non-zero entry repairs the pivot, not a
      // later one.
      {"0 1 0\r\n2 0 1\r\n3 1 1", true, Result("1"),
       CrLf(header1of3 + " 2 1 1\n 0 -1 0\n 0 -1/2 -1/2\n\n" + header2of3 +
            " 2 1 1\n 0 -1 0\n 0 0 -1/2\n\n行列式的值为 1")},
      // A zero pivot in the second step, repaired, and one that ends it.
      {"1 2 3\r\n2 4 7\r\n1 3 1", true, Result("-1"),
       CrLf(header1of3 + " 1 2 3\n 0 0 1\n 0 1 -2\n\n" + header2of3 +
            " 1 2 3\n 0 1 -1\n 0 0 -1\n\n行列式的值为 -1")},
      {"1 2 3\r\n2 4 7\r\n3 6 1", true, Result("0"),
       CrLf(header1of3 + " 1 2 3\n 0 0 1\n 0 0 -8\n\n" + header2of3 +
            " 1 2 3\n 0 0 1\n 0 0 -8\n\n行列式的值为 0")},
      // A negative pivot: denominators are made positive inside the step.
      {"-2 1\r\n1 1", true, Result("-3"), CrLf(header1of2 + " -2 1\n 0 3/2\n\n行列式的值为 -3")},
      // The pivot row is written as typed (2/4, 0/5); eliminated rows, even
      // with a zero multiplier, come out reduced.
      {"2/4 1\r\n1 1", true, Result("-1/2"),
       CrLf(header1of2 + " 2/4 1\n 0 -1\n\n行列式的值为 -1/2")},
      {"2 0/5\r\n0/5 6/2", true, Result("6"), CrLf(header1of2 + " 2 0\n 0 3\n\n行列式的值为 6")},
      // An entry that comes out as exactly -1 over a product beyond 2^63 is
      // stored reduced, with its sign on the numerator.
      {"142397 6/8 6/16\r\n22\r\n1 2", true, Result("33/2"),
       CrLf(header1of3 +
            " 142397 6/8 6/16\n 0 -33/284794 -33/569588\n 0 1139173/569588 -3/1139176\n\n" +
            header2of3 +
            " 142397 6/8 6/16\n 0 -33/284794 -33/569588\n 0 0 -1\n\n行列式的值为 33/2")},
      // Entries a short row does not give are 0; a matrix that is not
      // square is refused, and an empty line is a row of its own.
      {"1 2\r\n3", false, Result("-6"), ""},
      {"1 2 3\r\n4 5 6", true, cases::Refused("请输入方阵"), ""},
      {"1 2\r\n\r\n3 4", false, cases::Refused("请输入方阵"), ""},
      // Entries and values beyond 32 bits, in the result and in the log.
      {"65536 0\r\n0 1/65536", true, Result("1"),
       CrLf(header1of2 + " 65536 0\n 0 1/65536\n\n行列式的值为 1")},
      {"1 0 0\r\n0 2147483647 1\r\n0 1 2147483647", true, Result("4611686014132420608"),
       CrLf(header1of3 + " 1 0 0\n 0 2147483647 1\n 0 1 2147483647\n\n" + header2of3 +
            " 1 0 0\n 0 2147483647 1\n 0 0 4611686014132420608/2147483647\n\n"
            "行列式的值为 4611686014132420608")},
  });
}

}  // namespace
}  // namespace calc
