#include "aligned_text.h"

#include <gtest/gtest.h>

namespace calc {
namespace {

TEST(AlignColumns, RightAlignsTheColumnsOfNumberTables) {
  const struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"-9/2 7 -3/2\n-2 4 -1", "-9/2 7 -3/2\n  -2 4   -1"},
      // A rank box: trailing blanks go, the text line stays.
      {"1 2 \n0 -2 \n\n矩阵的秩为2", "1  2\n0 -2\n\n矩阵的秩为2"},
      // A log block with its bar and CR LF line ends.
      {" 1 0 | -1/3\r\n 0 12 | 1\r\n\r\n", "1  0 | -1/3\r\n0 12 |    1\r\n\r\n"},
      // Ragged rows; two tables apart, each aligned on its own.
      {"1 2 3\n10\nx\n100 1\n2 3", " 1 2 3\n10\nx\n100 1\n  2 3"},
      // Lines with anything but numbers and bars are kept as they are.
      {"x = (-4, 9/2)^T\nr(A) = 2, r(A|b) = 2\n1 2 x\n| |\n- 1",
       "x = (-4, 9/2)^T\nr(A) = 2, r(A|b) = 2\n1 2 x\n| |\n- 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(AlignColumns(c.text), c.shown) << c.text;
}

}  // namespace
}  // namespace calc
