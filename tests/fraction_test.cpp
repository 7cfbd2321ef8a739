#include "fraction.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
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

#if defined(__SIZEOF_INT128__)
// Division takes different roads by the sizes of its operands (both within
// 64 bits, a divisor within 32 bits, anything else): every pairing of
// sizes and signs, exact and inexact, against the native type.
TEST(Int128, DividesLikeTheNativeTypeAtEverySize) {
  std::mt19937_64 random(777);
  auto to_native = [](Int128 v) {
    return static_cast<__int128>((static_cast<unsigned __int128>(v.high()) << 64) | v.low());
  };
  // A value of about `bits` bits (at most 123), built from 32-bit factors.
  auto make = [&](int bits) {
    Int128 v(1);
    for (; bits > 31; bits -= 31) v = v * Int128(static_cast<int64_t>(random() >> 33) | 1 << 30);
    return v * Int128(static_cast<int64_t>(random() >> (64 - bits)) | 1);
  };
  for (int k = 0; k < 20000; ++k) {
    const int a_bits = 1 + static_cast<int>(random() % 123);
    const int b_bits = 1 + static_cast<int>(random() % 123);
    Int128 b = make(b_bits);
    Int128 a = k % 2 == 0 ? make(a_bits) : b * make(a_bits > 124 - b_bits ? 1 : a_bits);
    if (random() % 2) a = -a;
    if (random() % 2) b = -b;
    ASSERT_EQ(to_native(a / b), to_native(a) / to_native(b))
        << a_bits << " bits over " << b_bits << " bits";
  }
}
#endif

}  // namespace
}  // namespace calc
