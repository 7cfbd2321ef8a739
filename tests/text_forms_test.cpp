#include "text_forms.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace calc {
namespace {

struct EntryCase {
  int32_t num, den;
  const char* text;
};

TEST(FormatFractionEntry, Forms) {
  const EntryCase cases[] = {
      {5, 1, "5 "},
      {-5, 1, "-5 "},
      {1, 3, "1/3 "},
      {0, 7, "0 "},
      {0, -1, "0 "},
      {-3, 2, "-3/2 "},
      {3, -2, "3/-2 "},  // a denominator left negative keeps its minus
      {INT32_MIN, 1, "-2147483648 "},
      {INT32_MAX, INT32_MIN, "2147483647/-2147483648 "},
  };
  for (const EntryCase& c : cases) {
    std::string text = "x";
    FormatFractionEntry(c.num, c.den, text);
    EXPECT_EQ(text, std::string("x") + c.text);
  }
}

TEST(FormatMatrixText, EveryEntryEndsWithABlankEveryRowWithALineFeed) {
  FractionMatrix m;
  m.Clear();
  m.num[1][1] = 1;
  m.num[1][2] = 2;
  m.num[2][2] = -2;
  m.num[3][1] = 7;  // outside the rows asked for
  std::string text;
  FormatMatrixText(m, 2, 2, text);
  EXPECT_EQ(text, "1 2 \n0 -2 \n");
}

TEST(AppendDecimal, ExtremeValues) {
  std::string text;
  AppendDecimal(INT64_MIN, text);
  text += ' ';
  AppendDecimal(0, text);
  text += ' ';
  AppendDecimal(1000000007, text);
  EXPECT_EQ(text, "-9223372036854775808 0 1000000007");
}

}  // namespace
}  // namespace calc
