#include "matrix_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace calc {
namespace {

// Rows 1..rows, columns 1..cols as "a b; c d", each entry n or n/d.
std::string Render(const FractionMatrix& m) {
  std::string out;
  for (int i = 1; i <= m.rows; ++i) {
    if (i > 1) out += "; ";
    for (int j = 1; j <= m.cols; ++j) {
      if (j > 1) out += ' ';
      m(i, j).num.AppendDecimal(out);
      if (!m(i, j).den.IsOne()) {
        out += '/';
        m(i, j).den.AppendDecimal(out);
      }
    }
  }
  return out;
}

struct ReadCase {
  const char* text;
  int rows, cols;
  const char* entries;
};

TEST(ReadMatrixText, ReadsTheSyntax) {
  const ReadCase cases[] = {
      {"1 2\r\n3 4", 2, 2, "1 2; 3 4"},
      {"1/2 -3/4\r\n5 6 ", 2, 2, "1/2 -3/4; 5 6"},
      {"1 2 \r\n3 4", 2, 2, "1 2; 3 4"},
      {"1    2\r\n3  4", 2, 2, "1 2; 3 4"},
      // An empty line between rows is a row of its own, with zero entries.
      {"1 2\r\n\r\n3 4", 3, 2, "1 2; 0 0; 3 4"},
      {"1 2\r\n   \r\n3 4", 3, 2, "1 2; 0 0; 3 4"},
      {"\r\n\r\n 1 2\r\n3 4\r\n\r\n  ", 2, 2, "1 2; 3 4"},
      {"x1 2\r\n3 4", 2, 2, "1 2; 3 4"},
      {"/3 4", 1, 2, "3 4"},
      {"1\t2 3", 1, 2, "12 3"},
      {"1,500 3", 1, 2, "1500 3"},
      {"1 2\n3 4", 1, 3, "1 23 4"},  // a lone LF ends no row
      {"1 2 3\r\n4 5", 2, 3, "1 2 3; 4 5 0"},
      {"1 2\r\n3 4 5", 2, 2, "1 2; 3 4"},
      {"1/2\r\n3 4", 2, 1, "1/2; 3"},
      {"- 1 2", 1, 2, "-1 2"},
      {"1 - 2", 1, 2, "1 -2"},
      {"--5", 1, 1, "-5"},
      {"5-3 1", 1, 2, "47 1"},
      {"1 -\r\n2 3", 1, 3, "1 -2 3"},
      {"1/-2 3", 1, 2, "1/2 3"},
      {"1/2/3 4", 1, 2, "1/23 4"},
      {"1 /3", 1, 2, "1 0/3"},
      {"1/\r\n2 3", 1, 2, "1/2 3"},
      {"1/0\r\n5 6", 1, 2, "1/5 6"},  // a line end while the denominator is 0 is skipped
      {"007 08", 1, 2, "7 8"},
      {"-2147483648 2147483647", 1, 2, "-2147483648 2147483647"},
      {"1 2 矩阵", 1, 2, "1 2"},  // double-byte characters are other bytes
      {"1矩2 3", 1, 2, "12 3"},
      {"1. 2", 1, 2, "1 2"},  // a full stop not followed by a digit is skipped
  };
  for (const ReadCase& c : cases) {
    FractionMatrix m;
    ASSERT_EQ(ReadMatrixText(c.text, m), ReadError::kNone) << c.text;
    EXPECT_EQ(m.rows, c.rows) << c.text;
    EXPECT_EQ(m.cols, c.cols) << c.text;
    EXPECT_EQ(Render(m), c.entries) << c.text;
  }
}

TEST(ReadMatrixText, EntriesBeyondTheCountedColumnsAreStillRead) {
  FractionMatrix m;
  ASSERT_EQ(ReadMatrixText("1 2\r\n3 4 5", m), ReadError::kNone);
  EXPECT_EQ(m(2, 3).num, Integer(5));
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
      {"3.14", ReadError::kDecimalPoint},
      {"1 0.5\r\n2 3", ReadError::kDecimalPoint},
      {Grid(21, 2, "1"), ReadError::kTooLarge},
      {Grid(2, 21, "1"), ReadError::kTooLarge},
      {"1\r\n" + Grid(1, 21, "1"), ReadError::kTooLarge},  // an entry beyond column 20
      // When several apply, the first of this order wins.
      {Grid(21, 1, "3.14"), ReadError::kTooLarge},
      {"3.14 99999999999 5/0", ReadError::kDecimalPoint},
      {"99999999999 5/0", ReadError::kOutOfRange},
  };
  for (const RefusalCase& c : cases) {
    FractionMatrix m;
    EXPECT_EQ(ReadMatrixText(c.text, m), c.error) << c.text;
  }
}

TEST(ReadMatrixText, ReadsTheWholeOfALongText) {
  // 20 x 20 entries of 13 bytes each: far beyond any fixed small buffer.
  const std::string text = Grid(20, 20, "-12345/67891");
  ASSERT_GT(text.size(), 5000u);
  FractionMatrix m;
  ASSERT_EQ(ReadMatrixText(text, m), ReadError::kNone);
  EXPECT_EQ(m.rows, 20);
  EXPECT_EQ(m.cols, 20);
  EXPECT_EQ(m(20, 20).num, Integer(-12345));
  EXPECT_EQ(m(20, 20).den, Integer(67891));
}

TEST(ReadMatrixText, MissingEntriesAreZeroWhateverWasReadBefore) {
  FractionMatrix m;
  ASSERT_EQ(ReadMatrixText("7 7 7\r\n7 7 7\r\n7 7 7", m), ReadError::kNone);
  ASSERT_EQ(ReadMatrixText("1 2 3\r\n4", m), ReadError::kNone);
  EXPECT_EQ(Render(m), "1 2 3; 4 0 0");
}

}  // namespace
}  // namespace calc
