#include "integer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace calc {
namespace {

// Values near the edge between machine and GMP integers: every result must
// be exact and compare equal however it was reached.
TEST(Integer, IsExactAcrossTheMachineRange) {
  const Integer max(INT64_MAX);
  const Integer two_63 = max + Integer(1);  // beyond the machine range
  struct Case {
    Integer value;
    const char* text;
    bool small;
  };
  const Case cases[] = {
      {two_63, "9223372036854775808", false},
      {two_63 - Integer(1), "9223372036854775807", true},
      {-two_63, "-9223372036854775808", false},
      {Integer(INT64_MIN), "-9223372036854775808", false},
      {-two_63 + Integer(1), "-9223372036854775807", true},
      {two_63 * two_63, "85070591730234615865843651857942052864", false},
      {DivideExact(two_63 * two_63, two_63), "9223372036854775808", false},
      {DivideExact(two_63, Integer(2)), "4611686018427387904", true},
      {Gcd(two_63 * Integer(3), Integer(-6)), "6", true},
      {max * max - max * max, "0", true},
      {Integer::FromWide(Wide(INT64_MAX) * Wide(-4)), "-36893488147419103228", false},
  };
  for (const Case& c : cases) {
    std::string text;
    c.value.AppendDecimal(text);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(c.value.IsSmall(), c.small) << c.text;
  }
  EXPECT_EQ(-two_63, Integer(INT64_MIN));
  EXPECT_EQ(Compare(-two_63, Integer(-5)), -1);
  EXPECT_EQ(Compare(two_63, max), 1);
}

}  // namespace
}  // namespace calc
