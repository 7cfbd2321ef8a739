// The way back from the primes: values put together by the Chinese
// remainder theorem and fractions read back by rational reconstruction
// must be the ones whose residues went in, in both prime fields.
#include "modular.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

namespace calc {
namespace {

// Puts x (|x| < M / 2) back together from its residues modulo the primes
// `prime(0..count)` in the field F.
template <typename Field, typename Prime>
mpz_class RoundTrip(const mpz_class& x, int count, Prime prime) {
  Crt crt(1);
  for (int k = 0; k < count; ++k) {
    const Field m(prime(k));
    const typename Field::Word r = m.Reduce(x.get_mpz_t());
    crt.Add(m, &r);
  }
  mpz_class back;
  crt.Symmetric(0, back.get_mpz_t());
  return back;
}

TEST(Modular, CrtGivesBackEveryValueWithinHalfTheModulus) {
  gmp_randclass random(gmp_randinit_default);
  random.seed(7);
  for (int trial = 0; trial < 200; ++trial) {
    const int count = 1 + trial % 6;
    // Below 2^(30 count - 1): within half of either product of primes.
    mpz_class x = random.get_z_bits(30 * count - 1);
    if (trial % 2 == 1) x = -x;
    EXPECT_EQ(RoundTrip<CharacteristicArithmetic>(x, count, LimbPrime), x) << x;
    EXPECT_EQ(RoundTrip<Montgomery>(x, count, WordPrime), x) << x;
  }
}

TEST(Modular, ReconstructionFindsEveryFractionWithinTheBound) {
  gmp_randclass random(gmp_randinit_default);
  random.seed(11);
  for (int trial = 0; trial < 200; ++trial) {
    // A modulus of one prime (the machine road) or of several.
    mpz_class m = 1;
    for (int k = 0; k <= trial % 4; ++k) m *= mpz_class(static_cast<unsigned long>(LimbPrime(k)));
    const mpz_class bound = sqrt(m / 2);
    mpz_class a = random.get_z_range(bound + 1), b = random.get_z_range(bound) + 1;
    const mpz_class g = gcd(a, b);
    a /= g;
    b /= g;
    if (trial % 3 == 0) a = -a;
    mpz_class inverse, u;
    mpz_invert(inverse.get_mpz_t(), b.get_mpz_t(), m.get_mpz_t());
    u = a * inverse % m;
    if (u < 0) u += m;
    Mpz num, den;
    ASSERT_TRUE(Reconstruct(u.get_mpz_t(), m.get_mpz_t(), num, den)) << a << "/" << b;
    EXPECT_EQ(mpz_class(num.get()), a);
    EXPECT_EQ(mpz_class(den.get()), b);
  }
}

}  // namespace
}  // namespace calc
