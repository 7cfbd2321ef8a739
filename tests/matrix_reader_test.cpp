#include "matrix_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "text_forms.h"

namespace calc {
namespace {

struct ReadCase {
  const char* text;
  int rows, cols;
  const char* entries;  // rows 1..rows, columns 1..cols as a result box shows them
};

TEST(ReadMatrixText, ReadsTheSyntax) {
  const ReadCase cases[] = {
      {"1 2\r\n3 4", 2, 2, "1 2 \n3 4 \n"},
      {"1/2 -3/4\r\n5 6 ", 2, 2, "1/2 -3/4 \n5 6 \n"},
      {"1 2 \r\n3 4", 2, 2, "1 2 \n3 4 \n"},
      {"1    2\r\n3  4", 2, 2, "1 2 \n3 4 \n"},
      // An empty line between rows is a row of its own, with zero entries.
      {"1 2\r\n\r\n3 4", 3, 2, "1 2 \n0 0 \n3 4 \n"},
      {"1 2\r\n   \r\n3 4", 3, 2, "1 2 \n0 0 \n3 4 \n"},
      {"\r\n\r\n 1 2\r\n3 4\r\n\r\n  ", 2, 2, "1 2 \n3 4 \n"},
      {"x1 2\r\n3 4", 2, 2, "1 2 \n3 4 \n"},
      {"/3 4", 1, 2, "3 4 \n"},
      {"1,500 3", 1, 2, "1500 3 \n"},
      {"1 2 3\r\n4 5", 2, 3, "1 2 3 \n4 5 0 \n"},
      {"- 1 2", 1, 2, "-1 2 \n"},
      {"1 - 2", 1, 2, "1 -2 \n"},
      {"--5", 1, 1, "-5 \n"},
      {"5-3 1", 1, 2, "47 1 \n"},
      {"1 -\r\n2 3", 1, 3, "1 -2 3 \n"},
      {"1 /3", 1, 2, "1 0 \n"},
      {"1/\r\n2 3", 1, 2, "1/2 3 \n"},
      {"1/0\r\n5 6", 1, 2, "1/5 6 \n"},  // a line end while the denominator is 0 is skipped
      {"007 08", 1, 2, "7 8 \n"},
      {"-2147483648 2147483647", 1, 2, "-2147483648 2147483647 \n"},
      {"1. 2", 1, 2, "1 2 \n"},
      {"0.1 -1.5/2", 1, 2, "1/10 -3/4 \n"},
  };
  for (const ReadCase& c : cases) {
    FractionMatrix m;
    ASSERT_TRUE(ReadMatrixText(c.text, m).ok()) << c.text;
    EXPECT_EQ(m.rows, c.rows) << c.text;
    EXPECT_EQ(m.cols, c.cols) << c.text;
    std::string entries;
    FormatMatrixText(m, m.rows, m.cols, entries);
    EXPECT_EQ(entries, c.entries) << c.text;
  }
}

std::string Grid(int rows, int cols, const std::string& entry) {
  std::string text;
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) text += entry + " ";
    text += "\r\n";
  }
  return text;
}

struct RefusalCase {
  std::string text;
  ReadError error;
  int row = 0;
};

TEST(ReadMatrixText, RefusesWhatItCannotReadFaithfully) {
  const RefusalCase cases[] = {
      {"", ReadError::kNoDigit},
      {" \r\n - / ", ReadError::kNoDigit},
      {"矩阵", ReadError::kNoDigit},
      {"- \r\n5 6\r\n7 8", ReadError::kNoDigit},  // no column on the first line
      {"2147483648", ReadError::kOutOfRange},
      {"12345678901 2", ReadError::kOutOfRange},
      {"-2147483649", ReadError::kOutOfRange},
      {"1/2147483648", ReadError::kOutOfRange},
      {"1 99999999999999999999999999999999", ReadError::kOutOfRange},
      {"5/0", ReadError::kZeroDenominator},
      {"1/ 2", ReadError::kZeroDenominator},
      {"1/00 3", ReadError::kZeroDenominator},
      {"0.1234567890123", ReadError::kOutOfRange},  // 1234567890123/10^13 reduced
      {"1.5/0", ReadError::kZeroDenominator},
      {"1 2\r\n3 4 5", ReadError::kLongRow, 2},
      {"1/2\r\n3 4", ReadError::kLongRow, 2},
      {"1 2\r\n3\r\n4 5 6", ReadError::kLongRow, 3},
      {Grid(21, 2, "1"), ReadError::kTooLarge},
      {Grid(2, 21, "1"), ReadError::kTooLarge},
      {"1\r\n" + Grid(1, 21, "1"), ReadError::kTooLarge},  // an entry beyond column 20
      // When several apply, the first of this order wins.
      {Grid(21, 1, "3.14"), ReadError::kTooLarge},
      {"1\r\n2 3\r\n99999999999 5/0", ReadError::kLongRow, 2},
      {"99999999999 5/0", ReadError::kOutOfRange},
  };
  for (const RefusalCase& c : cases) {
    FractionMatrix m;
    const ReadResult read = ReadMatrixText(c.text, m);
    EXPECT_EQ(read.error, c.error) << c.text;
    EXPECT_EQ(read.row, c.row) << c.text;
  }
}

}  // namespace
}  // namespace calc
