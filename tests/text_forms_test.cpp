#include "text_forms.h"

#include <gtest/gtest.h>

namespace calc {
namespace {

TEST(FormatMatrixText, EntryFormsBlanksAndLineFeeds) {
  FractionMatrix m;
  m(1, 1) = Fraction{Integer(5), Integer(1)};
  m(1, 2) = Fraction{Integer(-3), Integer(2)};
  m(1, 3) = Fraction{Integer(0), Integer(7)};  // a zero shows as 0 over any denominator
  m(2, 1) = Fraction{Integer(INT32_MIN), Integer(1)};
  m(2, 2) = Fraction{Integer(2), Integer(4)};  // as stored: nothing reduces here
  m(2, 3) = Fraction{Integer(INT64_MAX) * Integer(10), Integer(3)};
  m(3, 1) = Fraction{Integer(7), Integer(1)};  // outside the rows asked for
  std::string text = "x";
  FormatMatrixText(m, 2, 3, text);
  EXPECT_EQ(text, "x5 -3/2 0 \n-2147483648 2/4 92233720368547758070/3 \n");
}

}  // namespace
}  // namespace calc
