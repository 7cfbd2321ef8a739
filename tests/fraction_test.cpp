#include "fraction.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace calc {
namespace {

struct GcdCase {
  int32_t a, b, expected;
};

TEST(Gcd, KeepsTheResultsTheToolsRelyOn) {
  const GcdCase cases[] = {
      {0, 0, 0},
      {0, -4, 4},
      {-4, 6, 2},
      {5, 5, 5},
      {1, 1000000, 1},
      {12, 8, 4},
      {8, 12, 4},
      {-6, 9, 3},
      {7, 1, 1},
      {0, 5, 5},
      {9, 0, 9},
      {-2147483647, 2147483647, 2147483647},
      {INT32_MIN, 6, 2},
      {0, INT32_MIN, INT32_MIN},
      {INT32_MIN, INT32_MIN, INT32_MIN},
  };
  for (const GcdCase& c : cases) {
    EXPECT_EQ(Gcd(c.a, c.b), c.expected) << c.a << ", " << c.b;
  }
}

struct ReduceCase {
  int64_t n, d;
  bool fits;
  int32_t num, den;
};

TEST(StoreReduced, ReducesExactlyAndRefusesWhatDoesNotFit) {
  const int64_t big = int64_t{1} << 40;
  const ReduceCase cases[] = {
      {6, -4, true, 3, -2},  // the sign stays on its own part
      {0, 7, true, 0, 1},
      {0, -7, true, 0, -1},
      {-12, 18, true, -2, 3},
      {big, 2 * big, true, 1, 2},  // wide intermediates may reduce into range
      {-3 * big, big, true, -3, 1},
      {INT32_MIN, 1, true, INT32_MIN, 1},
      {int64_t{INT32_MAX} + 1, 1, false, 0, 0},
      {1, int64_t{INT32_MAX} + 1, false, 0, 0},
      {int64_t{46341} * 46341, 1, false, 0, 0},
      {5, 0, false, 0, 0},  // never divides by zero
  };
  for (const ReduceCase& c : cases) {
    int32_t num = 99, den = 99;
    ASSERT_EQ(StoreReduced(Wide(c.n), Wide(c.d), num, den), c.fits) << c.n << "/" << c.d;
    if (c.fits) {
      EXPECT_EQ(num, c.num) << c.n << "/" << c.d;
      EXPECT_EQ(den, c.den) << c.n << "/" << c.d;
    } else {
      EXPECT_EQ(num, 99);  // nothing is stored on refusal
    }
  }
}

TEST(StoreReduced, HandlesProductsOfFourFullSizeFactors) {
  // (2^31 - 1)^4 / (2^31 - 1)^3 reduces to 2^31 - 1.
  const Wide m(INT32_MAX);
  int32_t num = 0, den = 0;
  ASSERT_TRUE(StoreReduced(m * m * m * m, m * m * m, num, den));
  EXPECT_EQ(num, INT32_MAX);
  EXPECT_EQ(den, 1);
  ASSERT_TRUE(StoreReduced(-(m * m * m), m * m * m * Wide(-2), num, den));
  EXPECT_EQ(num, -1);
  EXPECT_EQ(den, -2);
  // A common factor between 2^63 and 2^64, as when an elimination step
  // yields exactly 1 or -1 over a large product.
  const Wide g = Wide(INT64_MAX) + Wide(0x38a4de17d1df9a01);
  ASSERT_TRUE(StoreReduced(g, g, num, den));
  EXPECT_EQ(num, 1);
  EXPECT_EQ(den, 1);
  ASSERT_TRUE(StoreReduced(-g, g, num, den));
  EXPECT_EQ(num, -1);
  EXPECT_EQ(den, 1);
}

TEST(MakeDenominatorsPositive, MovesSignsToNumeratorsAndRefusesInt32Min) {
  FractionMatrix m;
  m.Clear();
  m.num[1][1] = 3;
  m.den[1][1] = -2;
  m.num[1][2] = -5;
  m.den[1][2] = -1;
  m.num[2][1] = 0;
  m.den[2][1] = -1;
  ASSERT_TRUE(MakeDenominatorsPositive(m, 2, 2));
  EXPECT_EQ(m.num[1][1], -3);
  EXPECT_EQ(m.den[1][1], 2);
  EXPECT_EQ(m.num[1][2], 5);
  EXPECT_EQ(m.den[1][2], 1);
  EXPECT_EQ(m.den[2][1], 1);
  m.num[2][2] = INT32_MIN;
  m.den[2][2] = -1;
  EXPECT_FALSE(MakeDenominatorsPositive(m, 2, 2));
}

#if defined(__SIZEOF_INT128__)
// The 32-bit build does its exact arithmetic with the portable Int128; here
// it is checked against the compiler's own 128-bit type.
TEST(Int128, AgreesWithTheNativeType) {
  std::mt19937_64 random(12345);
  std::uniform_int_distribution<int32_t> any32(INT32_MIN, INT32_MAX);
  auto to_native = [](Int128 v) {
    return static_cast<__int128>((static_cast<unsigned __int128>(v.high()) << 64) | v.low());
  };
  for (int k = 0; k < 20000; ++k) {
    const int64_t a1 = any32(random), a2 = any32(random), b1 = any32(random), b2 = any32(random);
    const Int128 a = Int128(a1) * Int128(a2) * Int128(b1 % 1000);
    const Int128 b = Int128(b1) * Int128(b2);
    const __int128 na = __int128{a1} * a2 * (b1 % 1000), nb = __int128{b1} * b2;
    ASSERT_EQ(to_native(a), na);
    ASSERT_EQ(to_native(a + b), na + nb);
    ASSERT_EQ(to_native(a - b), na - nb);
    ASSERT_EQ(to_native(-a), -na);
    ASSERT_EQ(a < b, na < nb);
    ASSERT_EQ(a == b, na == nb);
    if (nb != 0) {
      ASSERT_EQ(to_native(a / b), na / nb);
    }
    const int shift = static_cast<int>(k % 100);
    if (na >= 0) {
      ASSERT_EQ(to_native(a >> shift), na >> shift);
    }
  }
}

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
