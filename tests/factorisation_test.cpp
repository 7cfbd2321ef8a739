// The factorisation over Q against FLINT's: products of random irreducible
// factors of degrees 1 to 8, up to degree 20, with small and large
// coefficients, must split into exactly FLINT's factors.
#include "factorisation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "eigen_oracle.h"

namespace calc {
namespace {

using testing::FactorOverQ;
using testing::ZPolynomial;

ZPolynomial ToGmpxx(const ZPoly& f) {
  ZPolynomial z(f.size());
  for (size_t k = 0; k < f.size(); ++k) mpz_set(z[k].get_mpz_t(), f[k].get());
  return z;
}

ZPoly FromGmpxx(const ZPolynomial& f) {
  ZPoly z(f.size());
  for (size_t k = 0; k < f.size(); ++k) mpz_set(z[k].get(), f[k].get_mpz_t());
  return z;
}

// Each factor once: FLINT's factors of the square-free product, sorted.
std::vector<ZPolynomial> Sorted(std::vector<ZPolynomial> factors) {
  std::sort(factors.begin(), factors.end());
  return factors;
}

void ExpectFlintsFactors(const ZPoly& g, const std::string& what) {
  std::vector<ZPolynomial> flint;
  const ZPolynomial z = ToGmpxx(g);
  for (const auto& f : FactorOverQ(testing::QPolynomial(z.begin(), z.end()))) {
    if (f.poly.size() > 1) flint.push_back(f.poly);
  }
  std::vector<ZPolynomial> ours;
  for (const ZPoly& f : IrreducibleFactors(g)) ours.push_back(ToGmpxx(f));
  EXPECT_EQ(Sorted(ours), Sorted(flint)) << what;
}

TEST(Factorisation, AgreesWithFlint) {
  // (x^3 - 2)(x^3 - 3), and Swinnerton-Dyer's x^4 - 10x^2 + 1, irreducible
  // over Q but split into linear or quadratic factors modulo every prime.
  ExpectFlintsFactors(FromGmpxx({6, 0, 0, -5, 0, 0, 1}), "(x^3 - 2)(x^3 - 3)");
  ExpectFlintsFactors(FromGmpxx({1, 0, -10, 0, 1}), "x^4 - 10x^2 + 1");
  // x ± √2 ± √3 ± √5 times x^3 - 2: eight or more factors modulo every prime.
  const ZPoly eight = FromGmpxx({576, 0, -960, 0, 352, 0, -40, 0, 1});
  ExpectFlintsFactors(eight, "Swinnerton-Dyer's polynomial of degree 8");
  ExpectFlintsFactors(Multiply(eight, FromGmpxx({-2, 0, 0, 1})), "the same times x^3 - 2");
  std::mt19937 random(3);
  for (int trial = 0; trial < 150; ++trial) {
    const bool large = trial % 3 == 0;
    std::uniform_int_distribution<long> coefficient(large ? -2147483647L : -9,
                                                    large ? 2147483647L : 9);
    std::uniform_int_distribution<int> degree(1, 8);
    ZPoly g{Mpz(1L)};
    while (Degree(g) < 6) {
      ZPoly f(degree(random) + 1);
      for (Mpz& c : f) mpz_set_si(c.get(), coefficient(random));
      if (f.back().Sign() == 0) mpz_set_si(f.back().get(), 1);
      if (Degree(g) + Degree(f) > 20) break;
      g = Multiply(g, f);
    }
    Trim(g);
    // Only square-free primitive products are factored.
    const ZPolynomial z = ToGmpxx(g);
    const auto flint = FactorOverQ(testing::QPolynomial(z.begin(), z.end()));
    if (std::any_of(flint.begin(), flint.end(), [](const auto& f) { return f.multiplicity > 1; }))
      continue;
    MakePrimitive(g);
    ExpectFlintsFactors(g, "trial " + std::to_string(trial));
  }
}

}  // namespace
}  // namespace calc
