#include "eigenvalue_roots.h"

#include "roots.h"

namespace calc {

// --- Square-free decomposition (Yun) ---------------------------------------

std::vector<Part> SquareFreeParts(const ZPoly& f) {
  const ZPoly df = Derivative(f);
  ZPoly b, c, d;
  ZPoly a = Gcd(f, df, &b, &c);
  if (Degree(a) == 0) return {{f, 1}};
  std::vector<Part> parts;
  for (int i = 1;; ++i) {
    // d = c - b'
    d = c;
    const ZPoly db = Derivative(b);
    if (d.size() < db.size()) d.resize(db.size());
    for (size_t k = 0; k < db.size(); ++k) mpz_sub(d[k].get(), d[k].get(), db[k].get());
    Trim(d);
    ZPoly next;
    if (d.empty()) {
      a = b;
      MakePrimitive(a);
      DivideExactly(b, a, next);
      c.clear();
    } else {
      // a = gcd(b, d), with b / a and d / a.
      a = Gcd(b, d, &next, &c);
    }
    if (Degree(a) > 0) parts.push_back({a, i});
    b = std::move(next);
    if (Degree(b) <= 0) break;
  }
  return parts;
}

namespace {

// --- Small factors ---------------------------------------------------------

// Whether t may have a linear or a quadratic factor over Q, from its
// factors' degrees modulo a few primes: a linear factor over Q leaves a root
// modulo every prime not dividing lc(t), a quadratic one an irreducible
// quadratic factor or two roots.
struct SmallFactors {
  bool linear = true;
  bool quadratic = true;
};

SmallFactors SmallFactorsPossible(const ZPoly& t) {
  SmallFactors possible;
  int tried = 0;
  for (int k = 0; k < 60 && tried < 16 && (possible.linear || possible.quadratic); ++k) {
    const Montgomery m{SmallPrime(k)};
    if (m.Reduce(Lead(t)) == 0) continue;
    ModPoly f = ReduceModulo(t, m);
    if (GcdMod(f, DerivativeMod(f, m), m).size() != 1) continue;
    const uint32_t inverse = m.Inverse(f.back());
    for (uint32_t& c : f) c = m.Mul(c, inverse);
    ++tried;
    const ModPoly x{0, m.One()};
    auto roots_of = [&](const ModPoly& power) {
      ModPoly g = power;  // x^(p^k) - x
      if (g.size() < 2) g.resize(2, 0);
      g[1] = m.Sub(g[1], m.One());
      TrimMod(g);
      return static_cast<int>(GcdMod(g, f, m).size()) - 1;
    };
    const ModPoly xp = PowerMod(x, m.p, f, m);
    const int n1 = roots_of(xp);
    const int n2 = (roots_of(PowerMod(xp, m.p, f, m)) - n1) / 2;
    if (n1 == 0) possible.linear = false;
    if (n2 == 0 && n1 < 2) possible.quadratic = false;
  }
  return possible;
}

// --- The roots of one square-free part -------------------------------------

// x / 2^bits rounded to the nearest integer (halves upwards).
void RoundedShift(mpz_ptr r, mpz_srcptr x, long bits) {
  Mpz half;
  mpz_setbit(half.get(), bits - 1);
  mpz_add(r, x, half.get());
  mpz_fdiv_q_2exp(r, r, bits);
}

// q x - p for p / q.
ZPoly LinearFactor(mpz_srcptr p, mpz_srcptr q) {
  ZPoly l(2);
  mpz_neg(l[0].get(), p);
  mpz_set(l[1].get(), q);
  return l;
}

void AddRational(PartRoots& out, mpz_srcptr p, mpz_srcptr q) {
  out.rational.push_back(Reduced(Integer::FromGmp(p), Integer::FromGmp(q)));
}

// q(x / 2^e) 4^e for q = c2 x^2 + c1 x + c0: its sign is q's at x / 2^e.
int QuadraticSignAt(const ZPoly& q, mpz_srcptr x, long e) {
  Mpz v, t;
  mpz_mul(v.get(), q[2].get(), x);
  mpz_mul_2exp(t.get(), q[1].get(), e);
  mpz_add(v.get(), v.get(), t.get());
  mpz_mul(v.get(), v.get(), x);
  mpz_mul_2exp(t.get(), q[0].get(), 2 * e);
  mpz_add(v.get(), v.get(), t.get());
  return v.Sign();
}

// Whether the irreducible quadratic q has a root in the disk (grid 2^-e).
// Real disk: a sign change across it. Otherwise the root with positive
// imaginary part, (-c1 + i sqrt(-D)) / (2 c2), is tested against the disk
// (the im > 0 member of the pair) with |Re| + |Im| distances.
bool QuadraticRootInDisk(const ZPoly& q, const Disk& disk, long e) {
  Mpz lo, hi;
  if (disk.im.Sign() == 0) {
    mpz_sub(lo.get(), disk.re.get(), disk.radius.get());
    mpz_add(hi.get(), disk.re.get(), disk.radius.get());
    return QuadraticSignAt(q, lo.get(), e) * QuadraticSignAt(q, hi.get(), e) < 0;
  }
  // In units of 2^-e times 2 c2: real part -c1 2^e, imaginary sqrt(-D) 2^e.
  Mpz two_a, x, rest, minus_disc, t;
  mpz_mul_2exp(two_a.get(), q[2].get(), 1);
  mpz_mul_2exp(x.get(), q[1].get(), e);
  mpz_neg(x.get(), x.get());
  mpz_submul(x.get(), two_a.get(), disk.re.get());
  mpz_abs(x.get(), x.get());  // |Re distance| 2 c2 2^e
  mpz_mul(rest.get(), two_a.get(), disk.radius.get());
  mpz_sub(rest.get(), rest.get(), x.get());  // what the imaginary distance may use
  if (rest.Sign() < 0) return false;
  mpz_mul(minus_disc.get(), q[2].get(), q[0].get());
  mpz_mul_ui(minus_disc.get(), minus_disc.get(), 4);
  mpz_submul(minus_disc.get(), q[1].get(), q[1].get());
  mpz_mul_2exp(minus_disc.get(), minus_disc.get(), 2 * e);  // (sqrt(-D) 2^e)^2
  // 2 c2 b - rest <= sqrt(-D) 2^e <= 2 c2 b + rest
  mpz_mul(t.get(), two_a.get(), disk.im.get());
  mpz_add(hi.get(), t.get(), rest.get());
  mpz_mul(hi.get(), hi.get(), hi.get());
  if (mpz_cmp(minus_disc.get(), hi.get()) > 0) return false;
  mpz_sub(lo.get(), t.get(), rest.get());
  if (lo.Sign() <= 0) return true;
  mpz_mul(lo.get(), lo.get(), lo.get());
  return mpz_cmp(minus_disc.get(), lo.get()) >= 0;
}

// The roots of a part of degree 2 at most (t(0) = 0 already taken out):
// rational roots, or an irreducible quadratic.
void RootsOfLowDegree(const ZPoly& t, PartRoots& out) {
  if (Degree(t) == 1) {
    Mpz p;
    mpz_neg(p.get(), t[0].get());
    AddRational(out, p.get(), t[1].get());
  } else if (Degree(t) == 2) {
    Mpz disc, g, root;
    mpz_mul(disc.get(), t[1].get(), t[1].get());
    mpz_mul(g.get(), t[2].get(), t[0].get());
    mpz_submul_ui(disc.get(), g.get(), 4);
    if (IsSquare(disc.get())) {
      SquareRoot(root.get(), disc.get());
      Mpz p, q;
      mpz_mul_2exp(q.get(), t[2].get(), 1);
      for (int sign : {-1, 1}) {
        mpz_neg(p.get(), t[1].get());
        if (sign < 0) {
          mpz_sub(p.get(), p.get(), root.get());
        } else {
          mpz_add(p.get(), p.get(), root.get());
        }
        AddRational(out, p.get(), q.get());
      }
    } else {
      out.quadratics.push_back(t);
    }
  }
  out.rest = ZPoly{Mpz(1L)};
}

// The search for the roots of a part of degree 3 or more on its isolated
// roots: each step works on the disks as they stand and says whether they
// must be refined first.
class PartSearch {
 public:
  PartSearch(const ZPoly& t, mpz_srcptr lcm, PartRoots& out)
      : t_(t),
        d_(Degree(t)),
        lcm_(lcm),
        out_(out),
        roots_(t),
        kind_(d_, kOpen),
        pair_tested_(d_ * d_, false),
        remaining_(t) {
    // With a small scale the candidates are few and cheap to test; with a
    // large one the sieve saves refining the roots to its size.
    Mpz scale;
    mpz_gcd(scale.get(), lcm, Lead(t));
    if (mpz_sizeinbase(scale.get(), 2) > 64) possible_ = SmallFactorsPossible(t);
    linear_tested_.assign(d_, !possible_.linear);
    roots_.Refine();
  }

  void Run() {
    while (!FindRationalRoots() || !FindQuadraticFactors() || !WriteDecimals()) roots_.Refine();
    MakePrimitive(remaining_);
    out_.rest = std::move(remaining_);
  }

 private:
  enum Kind { kOpen, kFound };

  // Rational roots: one candidate k / S per real disk once the disk is
  // narrower than 1 / (4 S). False when a disk is still too wide.
  bool FindRationalRoots() {
    const std::vector<Disk>& disks = roots_.disks();
    const long e = roots_.exponent();
    bool done = true;
    Mpz s, x, y, k;
    mpz_gcd(s.get(), lcm_, Lead(t_));
    for (int i = 0; i < d_; ++i) {
      if (linear_tested_[i] || disks[i].im.Sign() != 0) continue;
      mpz_mul(x.get(), s.get(), disks[i].radius.get());
      mpz_mul_2exp(x.get(), x.get(), 2);
      if (mpz_sizeinbase(x.get(), 2) > static_cast<size_t>(e)) {
        done = false;
        continue;
      }
      linear_tested_[i] = true;
      // k = round(S re / 2^e), inside the disk.
      mpz_mul(x.get(), s.get(), disks[i].re.get());
      RoundedShift(k.get(), x.get(), e);
      mpz_mul_2exp(y.get(), k.get(), e);
      mpz_sub(y.get(), y.get(), x.get());
      mpz_mul(x.get(), s.get(), disks[i].radius.get());
      if (mpz_cmpabs(y.get(), x.get()) > 0) continue;
      Mpz g, p, q;
      mpz_gcd(g.get(), k.get(), s.get());
      mpz_divexact(p.get(), k.get(), g.get());
      mpz_divexact(q.get(), s.get(), g.get());
      ZPoly quotient;
      if (DivideExactly(remaining_, LinearFactor(p.get(), q.get()), quotient)) {
        remaining_ = std::move(quotient);
        kind_[i] = kFound;
        AddRational(out_, p.get(), q.get());
      }
    }
    return done;
  }

  // Quadratic factors: pairs of real roots, and conjugate pairs. False
  // when a pair's disks are still too wide.
  bool FindQuadraticFactors() {
    if (!quadratic_checked_) {
      quadratic_checked_ = true;
      if (Degree(remaining_) < Degree(t_) && Degree(remaining_) >= 2) {
        possible_.quadratic = SmallFactorsPossible(remaining_).quadratic;
      }
      if (Degree(remaining_) < 2) possible_.quadratic = false;
    }
    if (!possible_.quadratic) return true;
    bool done = true;
    for (int i = 0; i < d_ && Degree(remaining_) >= 2; ++i) {
      for (int j = i + 1; j < d_ && Degree(remaining_) >= 2; ++j) {
        if (kind_[i] != kOpen || kind_[j] != kOpen || pair_tested_[i * d_ + j]) continue;
        done = TryPair(i, j) && done;
      }
    }
    return done;
  }

  // Tests whether the roots in disks i and j, real or a conjugate pair, are
  // those of a quadratic factor; false when the disks are too wide to tell.
  bool TryPair(int i, int j) {
    const Disk& u = roots_.disks()[i];
    const Disk& v = roots_.disks()[j];
    const long e = roots_.exponent();
    const bool real = u.im.Sign() == 0 && v.im.Sign() == 0;
    const bool conjugate = u.im.Sign() * v.im.Sign() < 0 && mpz_cmp(u.re.get(), v.re.get()) == 0 &&
                           mpz_cmpabs(u.im.get(), v.im.get()) == 0;
    if (!real && !conjugate) return true;
    Mpz s1, s2, x, y, k1, k2;
    mpz_gcd(s1.get(), lcm_, Lead(remaining_));
    mpz_mul(s2.get(), lcm_, lcm_);
    mpz_gcd(s2.get(), s2.get(), Lead(remaining_));
    // The sum within ru + rv, the product within |u| rv + |v| ru + ru rv.
    mpz_add(x.get(), u.radius.get(), v.radius.get());
    mpz_mul(x.get(), x.get(), s1.get());
    mpz_mul_2exp(x.get(), x.get(), 2);
    // |z| <= |re| + |im|; (|u| + ru) rv + |v| ru bounds the product's error.
    Mpz size_u, size_v;
    mpz_abs(size_u.get(), u.re.get());
    mpz_abs(y.get(), u.im.get());
    mpz_add(size_u.get(), size_u.get(), y.get());
    mpz_add(size_u.get(), size_u.get(), u.radius.get());
    mpz_abs(size_v.get(), v.re.get());
    mpz_abs(y.get(), v.im.get());
    mpz_add(size_v.get(), size_v.get(), y.get());
    mpz_mul(y.get(), size_u.get(), v.radius.get());
    mpz_addmul(y.get(), size_v.get(), u.radius.get());
    mpz_mul(y.get(), y.get(), s2.get());
    mpz_mul_2exp(y.get(), y.get(), 2);
    if (mpz_sizeinbase(x.get(), 2) > static_cast<size_t>(e) ||
        mpz_sizeinbase(y.get(), 2) > static_cast<size_t>(2 * e)) {
      return false;
    }
    pair_tested_[i * d_ + j] = true;
    // K1 = round(S1 (re_u + re_v) / 2^e), K2 = round(S2 Re(u v) / 4^e).
    mpz_add(x.get(), u.re.get(), v.re.get());
    mpz_mul(x.get(), x.get(), s1.get());
    RoundedShift(k1.get(), x.get(), e);
    mpz_mul(x.get(), u.re.get(), v.re.get());
    mpz_submul(x.get(), u.im.get(), v.im.get());
    mpz_mul(x.get(), x.get(), s2.get());
    RoundedShift(k2.get(), x.get(), 2 * e);
    // S2 x^2 - K1 (S2 / S1) x + K2
    ZPoly q(3);
    mpz_set(q[2].get(), s2.get());
    mpz_divexact(x.get(), s2.get(), s1.get());
    mpz_mul(q[1].get(), k1.get(), x.get());
    mpz_neg(q[1].get(), q[1].get());
    mpz_set(q[0].get(), k2.get());
    Trim(q);
    if (Degree(q) != 2) return true;
    MakePrimitive(q);
    // Two rational roots would have been found above.
    mpz_mul(x.get(), q[1].get(), q[1].get());
    mpz_mul(y.get(), q[2].get(), q[0].get());
    mpz_submul_ui(x.get(), y.get(), 4);
    if (IsSquare(x.get())) return true;
    ZPoly quotient;
    if (!DivideExactly(remaining_, q, quotient)) return true;
    const Disk& upper = conjugate && u.im.Sign() > 0 ? u : v;
    if (!QuadraticRootInDisk(q, upper, e) || (real && !QuadraticRootInDisk(q, u, e))) return true;
    remaining_ = std::move(quotient);
    kind_[i] = kind_[j] = kFound;
    out_.quadratics.push_back(std::move(q));
    return true;
  }

  // Certified decimals of the rest, in ascending order of the real part;
  // false when a disk is too wide for its digits.
  bool WriteDecimals() {
    const std::vector<Disk>& disks = roots_.disks();
    const long e = roots_.exponent();
    std::vector<int> order;
    for (int i = 0; i < d_; ++i) {
      if (kind_[i] != kOpen || disks[i].im.Sign() < 0) continue;
      size_t at = order.size();
      // By the real part, then by the size of the imaginary part.
      auto after = [&](int first, int second) {
        const int c = mpz_cmp(disks[first].re.get(), disks[second].re.get());
        return c > 0 || (c == 0 && mpz_cmpabs(disks[first].im.get(), disks[second].im.get()) > 0);
      };
      while (at > 0 && after(order[at - 1], i)) --at;
      order.insert(order.begin() + static_cast<long>(at), i);
    }
    out_.decimal_real.clear();
    out_.decimal_complex.clear();
    for (int i : order) {
      const bool complex = disks[i].im.Sign() != 0;
      std::string text;
      if (!CertifiedDecimal(disks[i], e, complex, text)) return false;
      (complex ? out_.decimal_complex : out_.decimal_real).push_back(std::move(text));
    }
    return true;
  }

  const ZPoly& t_;
  const int d_;
  mpz_srcptr lcm_;
  PartRoots& out_;
  RootIsolation roots_;
  SmallFactors possible_;
  std::vector<Kind> kind_;
  std::vector<bool> linear_tested_, pair_tested_;
  bool quadratic_checked_ = false;
  ZPoly remaining_;
};

}  // namespace

// Every root of the square-free part t: rational roots exactly, the roots of
// quadratic factors over Q, and certified decimals of the rest. A rational
// root r of t has D r an integer (D the lcm of all denominators of the
// matrix: D A is an integer matrix, so D r an algebraic integer) and lc(t) r
// one too: so S r is an integer for S = gcd(D, lc(t)); a quadratic factor
// x^2 - sigma x + tau has S sigma and gcd(D^2, lc(t)) tau integers.
PartRoots RootsOfPart(ZPoly t, int multiplicity, mpz_srcptr lcm) {
  PartRoots out;
  out.multiplicity = multiplicity;
  if (t[0].Sign() == 0) {
    Mpz zero, one(1L);
    AddRational(out, zero.get(), one.get());
    t.erase(t.begin());
  }
  if (Degree(t) <= 2) {
    RootsOfLowDegree(t, out);
    return out;
  }
  PartSearch(t, lcm, out).Run();
  return out;
}

}  // namespace calc
