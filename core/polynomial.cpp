#include "polynomial.h"

#include <algorithm>

namespace calc {

void Trim(ZPoly& f) {
  while (!f.empty() && f.back().Sign() == 0) f.pop_back();
}

ZPoly Derivative(const ZPoly& f) {
  ZPoly d;
  for (size_t k = 1; k < f.size(); ++k) {
    d.emplace_back();
    mpz_mul_ui(d.back().get(), f[k].get(), k);
  }
  Trim(d);
  return d;
}

ZPoly Multiply(const ZPoly& a, const ZPoly& b) {
  if (a.empty() || b.empty()) return {};
  ZPoly c(a.size() + b.size() - 1);
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].Sign() == 0) continue;
    for (size_t j = 0; j < b.size(); ++j) mpz_addmul(c[i + j].get(), a[i].get(), b[j].get());
  }
  Trim(c);
  return c;
}

void MakePrimitive(ZPoly& f) {
  Mpz g;
  for (const Mpz& c : f) {
    mpz_gcd(g.get(), g.get(), c.get());
    if (mpz_cmp_ui(g.get(), 1) == 0) break;
  }
  if (mpz_sgn(Lead(f)) < 0) mpz_neg(g.get(), g.get());
  if (mpz_cmp_ui(g.get(), 1) == 0) return;
  for (Mpz& c : f) mpz_divexact(c.get(), c.get(), g.get());
}

bool DivideExactly(const ZPoly& a, const ZPoly& b, ZPoly& quotient) {
  const int da = Degree(a), db = Degree(b);
  if (da < db) return a.empty() ? (quotient.clear(), true) : false;
  // A cheap refusal first: b(0) divides a(0).
  if (b[0].Sign() == 0 ? a[0].Sign() != 0 : !Divides(a[0].get(), b[0].get())) {
    return false;
  }
  ZPoly r = a;
  ZPoly q(da - db + 1);
  const bool monic = mpz_cmp_ui(Lead(b), 1) == 0;
  Mpz rest;
  for (int k = da; k >= db; --k) {
    if (r[k].Sign() == 0) continue;
    Mpz& t = q[k - db];
    if (monic) {
      mpz_set(t.get(), r[k].get());
    } else {
      mpz_tdiv_qr(t.get(), rest.get(), r[k].get(), Lead(b));
      if (rest.Sign() != 0) return false;
    }
    for (int j = 0; j <= db; ++j) mpz_submul(r[k - db + j].get(), t.get(), b[j].get());
  }
  for (int k = 0; k < db; ++k) {
    if (r[k].Sign() != 0) return false;
  }
  Trim(q);
  quotient = std::move(q);
  return true;
}

namespace {

// lc(b)^(deg a - deg b + 1) a modulo b, made primitive (or 0).
ZPoly PrimitiveRemainder(ZPoly r, const ZPoly& b) {
  const int db = Degree(b);
  Mpz t;
  while (Degree(r) >= db) {
    const int shift = Degree(r) - db;
    mpz_set(t.get(), Lead(r));
    for (int k = 0; k < Degree(r); ++k) mpz_mul(r[k].get(), r[k].get(), Lead(b));
    r.back() = Mpz();
    for (int j = 0; j < db; ++j) mpz_submul(r[j + shift].get(), t.get(), b[j].get());
    Trim(r);
  }
  if (!r.empty()) MakePrimitive(r);
  return r;
}

// The gcd of the primitive x and y (degree of y 1 or more) from their gcds
// modulo word primes that divide neither leading coefficient, put together
// by the Chinese remainder theorem. The gcd g over Z has lc(g) dividing
// gamma = gcd(lc x, lc y), so gamma g / lc(g) is an integer polynomial that
// agrees with gamma times the monic gcd modulo p whenever p is not one of
// the few primes where the degree rises. A candidate counts only when it
// divides both x and y exactly and its degree is that of a gcd modulo a
// prime dividing neither leading coefficient, which bounds the true gcd's
// degree from above: then it is the gcd. False when the attempt gives up.
// The proof divides the given a and b (of which x and y are the primitive
// parts), and keeps the quotients.
bool ModularGcd(const ZPoly& x, const ZPoly& y, const ZPoly& a, const ZPoly& b, ZPoly& g,
                ZPoly& a_over, ZPoly& b_over) {
  Mpz gamma;
  mpz_gcd(gamma.get(), Lead(x), Lead(y));
  int degree = -1;
  Crt crt;
  for (int k = 0; k < 64; ++k) {
    const Montgomery m{WordPrime(k)};
    if (m.Reduce(Lead(x)) == 0 || m.Reduce(Lead(y)) == 0) continue;
    ModPoly h = GcdMod(ReduceModulo(x, m), ReduceModulo(y, m), m);
    const int d = static_cast<int>(h.size()) - 1;
    if (d == 0) {
      g = ZPoly{Mpz(1L)};
      return true;
    }
    if (degree >= 0 && d > degree) continue;  // an unlucky prime
    if (degree < 0 || d < degree) {
      degree = d;
      crt.Reset(d + 1);
    }
    // gamma times the monic gcd modulo p.
    const uint32_t scale = m.Reduce(gamma.get());
    for (uint32_t& c : h) c = m.Mul(scale, c);
    crt.Add(m, h.data());
    ZPoly candidate(d + 1);
    for (int j = 0; j <= d; ++j) crt.Symmetric(j, candidate[j].get());
    Trim(candidate);
    if (Degree(candidate) != d) continue;
    MakePrimitive(candidate);
    if (DivideExactly(a, candidate, a_over) && DivideExactly(b, candidate, b_over)) {
      g = std::move(candidate);
      return true;
    }
  }
  return false;
}

}  // namespace

namespace {

// The gcd; divided set when a_over and b_over hold a / gcd and b / gcd.
ZPoly GcdOf(const ZPoly& a, const ZPoly& b, ZPoly& a_over, ZPoly& b_over, bool& divided) {
  divided = false;
  ZPoly x = a, y = b;
  MakePrimitive(x);
  MakePrimitive(y);
  if (Degree(x) < Degree(y)) std::swap(x, y);
  if (Degree(y) == 0) return ZPoly{Mpz(1)};
  // A constant gcd modulo the first prime that divides neither leading
  // coefficient, the common case and the cheap one, is proof of a constant
  // gcd here (ModularGcd's first step).
  ZPoly g;
  if (ModularGcd(x, y, a, b, g, a_over, b_over)) {
    divided = true;
    return g;
  }
  while (!y.empty()) {
    ZPoly r = PrimitiveRemainder(std::move(x), y);
    x = std::move(y);
    y = std::move(r);
  }
  return x;
}

}  // namespace

ZPoly Gcd(const ZPoly& a, const ZPoly& b, ZPoly* a_over, ZPoly* b_over) {
  ZPoly x, y;
  bool divided = false;
  ZPoly g = GcdOf(a, b, x, y, divided);
  if (a_over != nullptr && b_over != nullptr) {
    if (Degree(g) == 0) {
      *a_over = a;
      *b_over = b;
    } else if (divided) {
      *a_over = std::move(x);
      *b_over = std::move(y);
    } else {
      DivideExactly(a, g, *a_over);
      DivideExactly(b, g, *b_over);
    }
  }
  return g;
}

void TrimMod(ModPoly& f) {
  while (!f.empty() && f.back() == 0) f.pop_back();
}

ModPoly ReduceModulo(const ZPoly& f, const Montgomery& m) {
  ModPoly r(f.size());
  for (size_t k = 0; k < f.size(); ++k) r[k] = m.Reduce(f[k].get());
  TrimMod(r);
  return r;
}

ModPoly RemainderMod(ModPoly a, const ModPoly& b, const Montgomery& m) {
  const size_t db = b.size() - 1;
  if (a.size() <= db) return a;
  const uint32_t inverse = m.Inverse(b.back());
  while (a.size() > db) {
    const uint32_t t = m.Mul(a.back(), inverse);
    const size_t shift = a.size() - 1 - db;
    for (size_t j = 0; j < db; ++j) a[j + shift] = m.Sub(a[j + shift], m.Mul(t, b[j]));
    a.pop_back();
    TrimMod(a);
  }
  return a;
}

ModPoly GcdMod(ModPoly a, ModPoly b, const Montgomery& m) {
  while (!b.empty()) {
    ModPoly r = RemainderMod(std::move(a), b, m);
    a = std::move(b);
    b = std::move(r);
  }
  if (a.empty()) return a;
  const uint32_t inverse = m.Inverse(a.back());
  for (uint32_t& c : a) c = m.Mul(c, inverse);
  return a;
}

ModPoly DerivativeMod(const ModPoly& f, const Montgomery& m) {
  ModPoly d;
  for (size_t k = 1; k < f.size(); ++k) {
    d.push_back(m.Mul(f[k], m.To(static_cast<uint32_t>(k % m.p))));
  }
  TrimMod(d);
  return d;
}

// Below 2^26 products stay below 2^52, and each coefficient sums at most
// 32 of them and deg f <= 32 more from the reduction: below p 2^32, so
// that one Montgomery reduction each at the end gives it (and the leading
// one of each reduction step).
ModPoly MultiplyMod(const ModPoly& a, const ModPoly& b, const ModPoly& f, const Montgomery& m) {
  if (a.empty() || b.empty()) return {};
  const size_t size = a.size() + b.size() - 1, df = f.size() - 1;
  if (m.p >= (1u << 26) || f.back() != m.One() || df > 32 || size > 128 ||
      std::min(a.size(), b.size()) > 32) {
    ModPoly c(size, 0);
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i] == 0) continue;
      for (size_t j = 0; j < b.size(); ++j) c[i + j] = m.Add(c[i + j], m.Mul(a[i], b[j]));
    }
    TrimMod(c);
    return RemainderMod(std::move(c), f, m);
  }
  uint64_t c[128] = {};
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t j = 0; j < b.size(); ++j) c[i + j] += static_cast<uint64_t>(a[i]) * b[j];
  }
  // Modulo the monic f, from the top down.
  for (size_t k = size; k-- > df;) {
    const uint64_t t = m.Redc(c[k]);
    if (t == 0) continue;
    const uint64_t minus = m.p - t;
    for (size_t j = 0; j < df; ++j) c[k - df + j] += minus * f[j];
  }
  ModPoly r(df < size ? df : size);
  for (size_t j = 0; j < r.size(); ++j) r[j] = m.Redc(c[j]);
  TrimMod(r);
  return r;
}

ModPoly PowerMod(const ModPoly& base, uint64_t e, const ModPoly& f, const Montgomery& m) {
  ModPoly result{m.One()};
  ModPoly square = RemainderMod(base, f, m);
  while (e != 0) {
    if (e & 1) result = MultiplyMod(result, square, f, m);
    e >>= 1;
    if (e != 0) square = MultiplyMod(square, square, f, m);
  }
  return RemainderMod(std::move(result), f, m);
}

}  // namespace calc
