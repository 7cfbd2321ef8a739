#include "factorisation.h"

#include <algorithm>
#include <utility>

namespace calc {

namespace {

// --- Modulo a word prime ----------------------------------------------------

ModPoly MultiplyPlain(const ModPoly& a, const ModPoly& b, const Montgomery& m) {
  if (a.empty() || b.empty()) return {};
  ModPoly c(a.size() + b.size() - 1, 0);
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t j = 0; j < b.size(); ++j) c[i + j] = m.Add(c[i + j], m.Mul(a[i], b[j]));
  }
  TrimMod(c);
  return c;
}

ModPoly SubtractMod(ModPoly a, const ModPoly& b, const Montgomery& m) {
  if (a.size() < b.size()) a.resize(b.size(), 0);
  for (size_t k = 0; k < b.size(); ++k) a[k] = m.Sub(a[k], b[k]);
  TrimMod(a);
  return a;
}

// a = q b + r, deg r < deg b (b not 0).
ModPoly QuotientMod(ModPoly a, const ModPoly& b, const Montgomery& m) {
  if (a.size() < b.size()) return {};
  ModPoly q(a.size() - b.size() + 1, 0);
  const uint32_t inverse = m.Inverse(b.back());
  for (size_t k = a.size(); k-- >= b.size();) {
    const uint32_t t = m.Mul(a[k], inverse);
    q[k - (b.size() - 1)] = t;
    for (size_t j = 0; j < b.size(); ++j) {
      a[k - (b.size() - 1) + j] = m.Sub(a[k - (b.size() - 1) + j], m.Mul(t, b[j]));
    }
  }
  TrimMod(q);
  return q;
}

// s a + t b = 1 for coprime a and b, deg s < deg b, deg t < deg a.
void ExtendedGcdMod(const ModPoly& a, const ModPoly& b, const Montgomery& m, ModPoly& s,
                    ModPoly& t) {
  ModPoly r0 = a, r1 = b, s0{m.One()}, s1, t0, t1{m.One()};
  while (!r1.empty()) {
    const ModPoly q = QuotientMod(r0, r1, m);
    ModPoly r2 = SubtractMod(r0, MultiplyPlain(q, r1, m), m);
    ModPoly s2 = SubtractMod(s0, MultiplyPlain(q, s1, m), m);
    ModPoly t2 = SubtractMod(t0, MultiplyPlain(q, t1, m), m);
    r0 = std::move(r1), r1 = std::move(r2);
    s0 = std::move(s1), s1 = std::move(s2);
    t0 = std::move(t1), t1 = std::move(t2);
  }
  const uint32_t inverse = m.Inverse(r0[0]);  // r0 is a non-zero constant
  for (uint32_t& c : s0) c = m.Mul(c, inverse);
  for (uint32_t& c : t0) c = m.Mul(c, inverse);
  s = std::move(s0);
  t = std::move(t0);
}

// A fixed sequence of pseudo-random residues, so that a factorisation is
// the same on every run.
struct Residues {
  uint64_t state = 0x9E3779B97F4A7C15u;
  uint32_t Next(uint32_t p) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<uint32_t>((state >> 33) % p);
  }
};

// The monic irreducible factors of g (monic, square-free, each of degree
// d), by Cantor and Zassenhaus' equal-degree splitting (p odd).
void SplitEqualDegree(const ModPoly& g, int d, const Montgomery& m, Residues& random,
                      std::vector<ModPoly>& out) {
  if (static_cast<int>(g.size()) - 1 == d) {
    out.push_back(g);
    return;
  }
  for (;;) {
    ModPoly r(g.size() - 1);
    for (uint32_t& c : r) c = random.Next(m.p);
    TrimMod(r);
    if (r.size() < 2) continue;
    // r^((p^d - 1) / 2) = (r r^p ... r^(p^(d-1)))^((p - 1) / 2).
    ModPoly power = r, norm = r;
    for (int i = 1; i < d; ++i) {
      power = PowerMod(power, m.p, g, m);
      norm = MultiplyMod(norm, power, g, m);
    }
    ModPoly w = PowerMod(norm, (m.p - 1) / 2, g, m);
    w = SubtractMod(std::move(w), ModPoly{m.One()}, m);
    const ModPoly u = GcdMod(g, w, m);
    if (u.size() > 1 && u.size() < g.size()) {
      SplitEqualDegree(u, d, m, random, out);
      SplitEqualDegree(QuotientMod(g, u, m), d, m, random, out);
      return;
    }
  }
}

// Below this the columns of the Frobenius matrix come from x^0 by
// multiplying by x, deg(f) products a step, cheaper than deg(f) - 1 full
// products modulo f once p is small.
constexpr uint32_t kShiftedColumns = 64;

// x^(p^d) modulo f (monic) for d = 1, 2, ... by the matrix of the
// Frobenius map h -> h^p modulo f, whose column k is x^(k p): a step costs
// deg(f)^2 products instead of a power.
class Frobenius {
 public:
  Frobenius(const ModPoly& f, const Montgomery& m) : degree_(f.size() - 1), m_(m) {
    column_.push_back(ModPoly{m.One()});
    if (m.p < kShiftedColumns) {
      ShiftedColumns(f);
      return;
    }
    const ModPoly xp = PowerMod(ModPoly{0, m.One()}, m.p, f, m);
    for (size_t k = 1; k + 1 < f.size(); ++k) {
      column_.push_back(MultiplyMod(column_.back(), xp, f, m_));
    }
  }
  // h^p modulo f.
  ModPoly Apply(const ModPoly& h) const {
    ModPoly r(degree_, 0);
    for (size_t k = 0; k < h.size(); ++k) {
      if (h[k] == 0) continue;
      for (size_t j = 0; j < column_[k].size(); ++j)
        r[j] = m_.Add(r[j], m_.Mul(h[k], column_[k][j]));
    }
    TrimMod(r);
    return r;
  }

 private:
  // x h modulo the monic f is h shifted up less its top coefficient t
  // times f. The entries, in Montgomery's form, are reduced once per
  // column: p steps add less than p^3 to them, far below p 2^32; the plain
  // top coefficient is their Montgomery reduction.
  void ShiftedColumns(const ModPoly& f) {
    std::vector<uint64_t> h(degree_, 0);
    h[0] = m_.One();
    for (size_t k = 1; k < degree_; ++k) {
      for (uint32_t step = 0; step < m_.p; ++step) {
        const uint64_t minus = m_.p - m_.Redc(h[degree_ - 1]);
        for (size_t j = degree_ - 1; j > 0; --j) h[j] = h[j - 1] + minus * f[j];
        h[0] = minus * f[0];
      }
      ModPoly c(degree_);
      for (size_t j = 0; j < degree_; ++j) h[j] = c[j] = m_.Mul(m_.Redc(h[j]), m_.r2);
      TrimMod(c);
      column_.push_back(std::move(c));
    }
  }

  size_t degree_;
  const Montgomery& m_;
  std::vector<ModPoly> column_;
};

// Distinct-degree factorisation of the monic square-free f: for d = 1, 2,
// ..., the product of its irreducible factors of degree d (a product of
// degree 0 left out), passed to found(product, d).
template <typename Found>
void DistinctDegrees(ModPoly f, const Montgomery& m, Found found) {
  const Frobenius frobenius(f, m);
  const ModPoly x{0, m.One()};
  ModPoly h = x;  // x^(p^d) modulo the first f
  for (int d = 1; 2 * d <= static_cast<int>(f.size()) - 1; ++d) {
    h = frobenius.Apply(h);
    const ModPoly g = GcdMod(f, SubtractMod(h, x, m), m);
    if (g.size() > 1) {
      found(g, d);
      f = QuotientMod(f, g, m);
    }
  }
  if (f.size() > 1) found(f, static_cast<int>(f.size()) - 1);
}

// The degrees of the irreducible factors of the monic square-free f, each
// as often as it occurs.
std::vector<int> FactorDegreesMod(const ModPoly& f, const Montgomery& m) {
  std::vector<int> degrees;
  DistinctDegrees(f, m, [&degrees](const ModPoly& g, int d) {
    degrees.insert(degrees.end(), (g.size() - 1) / d, d);
  });
  return degrees;
}

// The monic irreducible factors of the monic square-free f.
std::vector<ModPoly> FactorMod(const ModPoly& f, const Montgomery& m) {
  std::vector<ModPoly> out;
  Residues random;
  DistinctDegrees(f, m, [&](const ModPoly& g, int d) { SplitEqualDegree(g, d, m, random, out); });
  return out;
}

// --- Modulo a power of the prime ------------------------------------------

// Coefficients reduced into [0, modulus).
void ReduceInPlace(ZPoly& f, mpz_srcptr modulus) {
  for (Mpz& c : f) mpz_mod(c.get(), c.get(), modulus);
  Trim(f);
}

ZPoly FromMod(const ModPoly& f, const Montgomery& m) {
  ZPoly z(f.size());
  for (size_t k = 0; k < f.size(); ++k) mpz_set_ui(z[k].get(), m.From(f[k]));
  return z;
}

ZPoly Sum(ZPoly a, const ZPoly& b, int sign) {
  if (a.size() < b.size()) a.resize(b.size());
  for (size_t k = 0; k < b.size(); ++k) {
    if (sign > 0) {
      mpz_add(a[k].get(), a[k].get(), b[k].get());
    } else {
      mpz_sub(a[k].get(), a[k].get(), b[k].get());
    }
  }
  Trim(a);
  return a;
}

ZPoly MultiplyModulo(const ZPoly& a, const ZPoly& b, mpz_srcptr modulus) {
  if (a.empty() || b.empty()) return {};
  ZPoly c = Multiply(a, b);
  ReduceInPlace(c, modulus);
  return c;
}

// a = q h + r modulo `modulus`, h monic.
void DivideMonic(ZPoly a, const ZPoly& h, mpz_srcptr modulus, ZPoly& q, ZPoly& r) {
  ReduceInPlace(a, modulus);
  const size_t dh = h.size() - 1;
  q.assign(a.size() > dh ? a.size() - dh : 0, Mpz());
  for (size_t k = a.size(); k-- > dh;) {
    const Mpz t(a[k].get());
    mpz_set(q[k - dh].get(), t.get());
    for (size_t j = 0; j <= dh; ++j) mpz_submul(a[k - dh + j].get(), t.get(), h[j].get());
    for (size_t j = 0; j <= dh; ++j) mpz_mod(a[k - dh + j].get(), a[k - dh + j].get(), modulus);
  }
  a.resize(std::min(a.size(), dh));
  Trim(a);
  Trim(q);
  r = std::move(a);
}

// One doubling of Hensel's lifting: f = g h and s g + t h = 1 modulo m
// become the same modulo m^2 (h monic; von zur Gathen and Gerhard, 15.10).
void LiftOnce(const ZPoly& f, ZPoly& g, ZPoly& h, ZPoly& s, ZPoly& t, mpz_srcptr square) {
  ZPoly e = Sum(f, MultiplyModulo(g, h, square), -1);
  ReduceInPlace(e, square);
  ZPoly q, r;
  DivideMonic(MultiplyModulo(s, e, square), h, square, q, r);
  ZPoly g2 = Sum(Sum(g, MultiplyModulo(t, e, square), 1), MultiplyModulo(q, g, square), 1);
  ReduceInPlace(g2, square);
  ZPoly h2 = Sum(h, r, 1);
  ReduceInPlace(h2, square);
  ZPoly b =
      Sum(Sum(MultiplyModulo(s, g2, square), MultiplyModulo(t, h2, square), 1), ZPoly{Mpz(1L)}, -1);
  ReduceInPlace(b, square);
  ZPoly c, d;
  DivideMonic(MultiplyModulo(s, b, square), h2, square, c, d);
  s = Sum(s, d, -1);
  ReduceInPlace(s, square);
  t = Sum(Sum(t, MultiplyModulo(t, b, square), -1), MultiplyModulo(c, g2, square), -1);
  ReduceInPlace(t, square);
  g = std::move(g2);
  h = std::move(h2);
}

// The monic factors modulo p lifted to monic factors modulo p^(2^steps) of
// f, one at a time against the product of the rest.
std::vector<ZPoly> Lift(const ZPoly& f, const std::vector<ModPoly>& factors, const Montgomery& m,
                        int steps, Mpz& modulus) {
  std::vector<ZPoly> lifted;
  ZPoly rest = f;  // modulo the final modulus: what is left to split
  ModPoly rest_mod = ReduceModulo(f, m);
  mpz_set_ui(modulus.get(), m.p);
  for (int k = 0; k < steps; ++k) mpz_mul(modulus.get(), modulus.get(), modulus.get());
  ReduceInPlace(rest, modulus.get());
  for (size_t i = 0; i + 1 < factors.size(); ++i) {
    const ModPoly other = QuotientMod(rest_mod, factors[i], m);
    ModPoly s_mod, t_mod;
    ExtendedGcdMod(other, factors[i], m, s_mod, t_mod);
    ZPoly g = FromMod(other, m), h = FromMod(factors[i], m), s = FromMod(s_mod, m),
          t = FromMod(t_mod, m);
    Mpz square(static_cast<long>(m.p));
    for (int k = 0; k < steps; ++k) {
      mpz_mul(square.get(), square.get(), square.get());
      ZPoly target = rest;
      ReduceInPlace(target, square.get());
      LiftOnce(target, g, h, s, t, square.get());
    }
    lifted.push_back(std::move(h));
    rest = std::move(g);
    rest_mod = other;
  }
  // The last factor: what is left, made monic.
  Mpz inverse;
  mpz_invert(inverse.get(), Lead(rest), modulus.get());
  for (Mpz& c : rest) {
    mpz_mul(c.get(), c.get(), inverse.get());
    mpz_mod(c.get(), c.get(), modulus.get());
  }
  lifted.push_back(std::move(rest));
  return lifted;
}

// --- Recombination -----------------------------------------------------------

// lc(g) times the product of the chosen lifted factors, in symmetric form
// modulo `modulus`, made primitive: a candidate true factor.
ZPoly Candidate(const ZPoly& g, const std::vector<ZPoly>& lifted, const std::vector<int>& chosen,
                mpz_srcptr modulus) {
  ZPoly c{Mpz(Lead(g))};
  for (int i : chosen) c = MultiplyModulo(c, lifted[i], modulus);
  ReduceInPlace(c, modulus);
  Mpz half;
  mpz_fdiv_q_2exp(half.get(), modulus, 1);
  for (Mpz& x : c) {
    if (mpz_cmp(x.get(), half.get()) > 0) mpz_sub(x.get(), x.get(), modulus);
  }
  Trim(c);
  if (Degree(c) >= 1) MakePrimitive(c);
  return c;
}

// The next subset of `size` from 0..count-1 after `chosen` (ascending);
// false after the last.
bool NextSubset(std::vector<int>& chosen, int count) {
  const int size = static_cast<int>(chosen.size());
  int k = size - 1;
  while (k >= 0 && chosen[k] == count - size + k) --k;
  if (k < 0) return false;
  ++chosen[k];
  for (int j = k + 1; j < size; ++j) chosen[j] = chosen[j - 1] + 1;
  return true;
}

// The true factors of g from its lifted factors modulo `modulus`: the
// products of 1, 2, ... of them that divide g, skipping those whose degree
// no true factor can have (possible, by degree).
std::vector<ZPoly> Recombine(ZPoly g, std::vector<ZPoly> lifted, mpz_srcptr modulus,
                             const std::vector<bool>& possible) {
  std::vector<ZPoly> found;
  for (int size = 1; 2 * size <= static_cast<int>(lifted.size());) {
    std::vector<int> chosen(size);
    for (int k = 0; k < size; ++k) chosen[k] = k;
    bool split = false;
    do {
      int degree = 0;
      for (int i : chosen) degree += Degree(lifted[i]);
      if (!possible[degree]) continue;
      const ZPoly c = Candidate(g, lifted, chosen, modulus);
      ZPoly quotient;
      if (Degree(c) >= 1 && DivideExactly(g, c, quotient)) {
        found.push_back(c);
        g = std::move(quotient);
        for (int k = size - 1; k >= 0; --k) lifted.erase(lifted.begin() + chosen[k]);
        split = true;
      }
    } while (!split && NextSubset(chosen, static_cast<int>(lifted.size())));
    if (!split) ++size;
  }
  if (Degree(g) >= 1) {
    MakePrimitive(g);
    found.push_back(std::move(g));
  }
  return found;
}

// A bound on the coefficients of lc(g) times any factor of g: |lc| 2^n
// (||g||_2 + 1), n the degree (Mignotte's bound, generously).
void CoefficientBound(const ZPoly& g, Mpz& bound) {
  Mpz sum;
  for (const Mpz& c : g) mpz_addmul(sum.get(), c.get(), c.get());
  SquareRoot(bound.get(), sum.get());
  mpz_add_ui(bound.get(), bound.get(), 1);
  mpz_mul_2exp(bound.get(), bound.get(), static_cast<unsigned long>(Degree(g)));
  mpz_mul(bound.get(), bound.get(), Lead(g));
  mpz_abs(bound.get(), bound.get());
}

}  // namespace

std::vector<ZPoly> IrreducibleFactors(const ZPoly& g) {
  if (Degree(g) <= 1) return {g};
  // The prime of the fewest factors among a few for which g stays
  // square-free and keeps its degree.
  // The degrees a true factor may have: for each prime, a sum of the
  // degrees of some of its factors there. When only 0 and deg g remain, g
  // is irreducible, without any lifting. Small primes make this cheap; the
  // one of the fewest factors is used for the lifting.
  const int n = Degree(g);
  std::vector<bool> possible(n + 1, true);
  size_t fewest = 0;
  uint32_t best_prime = 0;
  for (uint32_t p = 3, tried = 0; tried < 5 && p < 100000; p += 2) {
    if (!IsPrimeWord(p)) continue;
    const Montgomery m(p);
    if (m.Reduce(Lead(g)) == 0) continue;
    ModPoly f = ReduceModulo(g, m);
    if (GcdMod(f, DerivativeMod(f, m), m).size() != 1) continue;
    const uint32_t inverse = m.Inverse(f.back());
    for (uint32_t& c : f) c = m.Mul(c, inverse);
    const std::vector<int> degrees = FactorDegreesMod(f, m);
    ++tried;
    std::vector<bool> sums(n + 1, false);
    sums[0] = true;
    for (int d : degrees) {
      for (int s = n; s >= d; --s) sums[s] = sums[s] || sums[s - d];
    }
    bool split = false;
    for (int d = 1; d < n; ++d) {
      possible[d] = possible[d] && sums[d];
      if (possible[d]) split = true;
    }
    if (!split) return {g};
    if (best_prime == 0 || degrees.size() < fewest) {
      fewest = degrees.size();
      best_prime = p;
    }
  }
  // (Only a g that is not square-free, against the precondition, finds no
  // prime at all; it is given back whole.)
  if (best_prime == 0) return {g};
  const Montgomery m(best_prime);
  Mpz bound, modulus(static_cast<long>(m.p));
  CoefficientBound(g, bound);
  mpz_mul_2exp(bound.get(), bound.get(), 1);
  int steps = 0;
  while (mpz_cmp(modulus.get(), bound.get()) <= 0) {
    mpz_mul(modulus.get(), modulus.get(), modulus.get());
    ++steps;
  }
  ModPoly monic = ReduceModulo(g, m);
  const uint32_t inverse = m.Inverse(monic.back());
  for (uint32_t& c : monic) c = m.Mul(c, inverse);
  std::vector<ZPoly> lifted = Lift(g, FactorMod(monic, m), m, steps, modulus);
  std::vector<ZPoly> factors = Recombine(g, std::move(lifted), modulus.get(), possible);
  // A fixed order: by degree, then by the coefficients from the top down.
  std::sort(factors.begin(), factors.end(), [](const ZPoly& a, const ZPoly& b) {
    if (Degree(a) != Degree(b)) return Degree(a) < Degree(b);
    for (size_t k = a.size(); k-- > 0;) {
      const int c = mpz_cmp(a[k].get(), b[k].get());
      if (c != 0) return c < 0;
    }
    return false;
  });
  return factors;
}

}  // namespace calc
