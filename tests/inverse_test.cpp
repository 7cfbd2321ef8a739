#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inverse_press.h"
#include "matrix_reader.h"
#include "messages.h"
#include "press_cases.h"

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
      {"1 2\r\n3 4", kAdjugate, "4 -2 \n-3 1 \n", kDone},
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
      // Values beyond 32 bits are exact: the determinant 2^32 would wrap to
      // 0 and claim the matrix singular.
      {"65536 0\r\n0 65536", kInverse, "1/65536 0 \n0 1/65536 \n", kDone},
      {"65536 0\r\n0 65536", kAdjugate, "65536 0 \n0 65536 \n", kDone},
      {"-2147483648", kAdjugate, "1 \n", kDone},
      {"-2147483648", kInverse, "-1/2147483648 \n", kDone},
      // Steps beyond 32 bits on the way to answers that fit, or do not.
      {"-4/1273 9/1446 -4/1026\r\n4/1072 -2/1401 0/1748\r\n0/610 3/2600 0/1564", kInverse,
       "0 268 1393600/4203 \n0 0 2600/3 \n-513/2 -216 125644350/112547 \n", kDone},
      {"-4/1273 9/1446 -4/1026\r\n4/1072 -2/1401 0/1748\r\n0/610 3/2600 0/1564", kAdjugate,
       "0 -1/222300 -4/718713 \n0 0 -1/68742 \n3/696800 3/827450 -64433/3438535944 \n", kDone},
      // A cofactor of -2^31 found as 2^31 over -1 still fits.
      {"-1 1 0\r\n1 2147483647 0\r\n0 0 1", kAdjugate,
       "2147483647 -1 0 \n-1 -1 0 \n0 0 -2147483648 \n", kDone},
  };
  for (const PressCase& c : cases) {
    const Box box = Press(c.text, c.choice);
    const Owner owner = std::string(c.caption) == kDone ? Owner::kNone : Owner::kDialog;
    EXPECT_EQ(box, (Box{c.expected, c.caption, owner})) << c.text << " choice " << c.choice;
  }
  for (const cases::PressRow& c : cases::kInverseRows) {
    const Box box =
        c.choice == cases::kHelp
            ? LumbraneHelpBox()
            : PressInverse({c.first, c.choice == cases::kAdjugate, c.choice == cases::kInverse});
    EXPECT_EQ(box, c.box) << c.first << " choice " << c.choice;
  }
}

}  // namespace
}  // namespace calc
