#include "eigen_oracle.h"

#include <flint/fmpq.h>
#include <flint/fmpq_mat.h>
#include <flint/fmpq_poly.h>
#include <flint/fmpz_poly.h>
#include <flint/fmpz_poly_factor.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <map>
#include <numeric>

#include "certified_decimals.h"
#include "result_text.h"

namespace calc::testing {

namespace {

std::string PolyText(const QPolynomial& f) {
  std::string text;
  for (size_t k = f.size(); k-- > 0;) {
    if (f[k] == 0) continue;
    text += (text.empty() ? "" : " + ") + f[k].get_str() + (k > 0 ? "x^" + std::to_string(k) : "");
  }
  return text.empty() ? "0" : text;
}

// The monic polynomial of an integer one.
QPolynomial Monic(const ZPolynomial& g) {
  QPolynomial f(g.size());
  for (size_t k = 0; k < g.size(); ++k) {
    f[k] = mpq_class(g[k], g.back());
    f[k].canonicalize();
  }
  return f;
}

size_t Rank(QMatrix m) {
  return Eliminate(m, m.empty() ? 0 : m[0].size(), false);
}

// h(A) by Horner's rule.
QMatrix Evaluate(const QPolynomial& h, const QMatrix& a) {
  const size_t n = a.size();
  QMatrix v(n, std::vector<mpq_class>(n));
  for (size_t k = h.size(); k-- > 0;) {
    v = Multiply(v, a);
    for (size_t i = 0; i < n; ++i) v[i][i] += h[k];
  }
  return v;
}

// "what s, expected e".
std::string Count(const std::string& what, size_t s, size_t e) {
  return what + " " + std::to_string(s) + ", expected " + std::to_string(e);
}

mpq_class Q(const Integer& num, const Integer& den) {
  mpz_class p, q;
  num.CopyTo(p.get_mpz_t());
  den.CopyTo(q.get_mpz_t());
  mpq_class r(p, q);
  r.canonicalize();
  return r;
}

ZPolynomial Z(const ZPoly& f) {
  ZPolynomial z(f.size());
  for (size_t k = 0; k < f.size(); ++k) mpz_set(z[k].get_mpz_t(), f[k].get());
  return z;
}

// The facts of an analysis in the oracle's terms.
struct Stated {
  QPolynomial polynomial;                            // monic
  std::vector<std::pair<QPolynomial, int>> factors;  // monic

  struct Rational {
    mpq_class value;
    int algebraic = 0;
    std::vector<std::vector<mpz_class>> basis;
  };
  std::vector<Rational> rational;

  struct Quadratic {
    std::string text;  // the monic factor, for messages
    mpq_class sum, product;
    bool complex = false;
    int algebraic = 0;
    const QuadraticEigenvalue* value = nullptr;
  };
  std::vector<Quadratic> quadratics;

  // Roots shown only as decimals, one group per algebraic multiplicity; a
  // pair a ± bi stands for both of its roots.
  struct Decimals {
    std::vector<ShownRoot> roots;
    int algebraic = 0;
  };
  std::vector<Decimals> others;
};

bool StateAnalysis(const EigenAnalysis& e, Stated& out, std::string& fault) {
  out.polynomial = Monic(Z(e.polynomial));
  for (const auto& [factor, m] : e.factors) out.factors.emplace_back(Monic(Z(factor)), m);
  for (const RationalEigenvalue& r : e.rational) {
    Stated::Rational x;
    x.value = Q(r.value.num, r.value.den);
    x.algebraic = r.algebraic;
    for (const std::vector<Integer>& v : r.basis) {
      x.basis.emplace_back();
      for (int j = 1; j <= e.order; ++j) {
        x.basis.back().emplace_back();
        v[j].CopyTo(x.basis.back().back().get_mpz_t());
      }
    }
    out.rational.push_back(std::move(x));
  }
  for (const QuadraticEigenvalue& q : e.quadratic) {
    const QPolynomial monic = Monic(Z(q.factor));
    out.quadratics.push_back(
        {PolyText(monic), -monic[1], monic[0], q.radicand.Sign() < 0, q.algebraic, &q});
  }
  for (const DecimalRoots& d : e.decimals) {
    Stated::Decimals group;
    group.algebraic = d.algebraic;
    for (const auto* texts : {&d.real, &d.complex}) {
      for (const std::string& text : *texts) {
        if (!ParseDecimalRoots(text, group.roots, fault)) return false;
      }
    }
    out.others.push_back(std::move(group));
  }
  return true;
}

// --- Root enclosures -----------------------------------------------------------

using Complex = std::complex<mpf_class>;

// All roots of g approximated by the Aberth-Ehrlich iteration, in floating
// point of `bits` (the default precision while it runs).
std::vector<Complex> ApproximateRoots(const ZPolynomial& g, unsigned bits) {
  const mp_bitcnt_t default_bits = mpf_get_default_prec();
  mpf_set_default_prec(bits);
  const size_t k = g.size() - 1;
  // Start on a circle whose radius bounds the roots: Fujiwara's bound
  // 2 max |g_j / g_k|^(1 / (k - j)), with |g_j / g_k| < 2^(size(g_j) -
  // size(g_k) + 1) in bits.
  long log_radius = -60;
  const long lead = static_cast<long>(mpz_sizeinbase(g.back().get_mpz_t(), 2));
  for (size_t j = 0; j < k; ++j) {
    const long ratio = static_cast<long>(mpz_sizeinbase(g[j].get_mpz_t(), 2)) - lead + 1;
    const long m = static_cast<long>(k - j);
    if (g[j] != 0) log_radius = std::max(log_radius, (ratio + m - 1) / m + 1);
  }
  mpf_class radius(1);
  if (log_radius >= 0)
    mpf_mul_2exp(radius.get_mpf_t(), radius.get_mpf_t(), log_radius);
  else
    mpf_div_2exp(radius.get_mpf_t(), radius.get_mpf_t(), -log_radius);
  std::vector<Complex> z(k);
  for (size_t i = 0; i < k; ++i) {
    const double angle = 6.283185307179586 * (static_cast<double>(i) + 0.25) / k + 0.4;
    z[i] = Complex(mpf_class(radius * std::cos(angle)), mpf_class(radius * std::sin(angle)));
  }
  mpf_class tolerance(1, bits);
  mpf_div_2exp(tolerance.get_mpf_t(), tolerance.get_mpf_t(), bits - 8);
  const Complex zero, one(1);
  for (int iteration = 0; iteration < 400 + 20 * static_cast<int>(k); ++iteration) {
    bool settled = true;
    for (size_t i = 0; i < k; ++i) {
      Complex value, slope;  // g and g' at z[i], by Horner's rule
      for (size_t j = g.size(); j-- > 0;) {
        slope = slope * z[i] + value;
        value = value * z[i] + Complex(mpf_class(g[j]));
      }
      if (value == zero) continue;
      if (slope == zero) slope = one;
      const Complex w = value / slope;
      Complex s;
      for (size_t j = 0; j < k; ++j) {
        if (j != i && z[i] != z[j]) s += one / (z[i] - z[j]);
      }
      const Complex step = w / (one - w * s);
      z[i] -= step;
      const mpf_class size = abs(z[i].real()) + abs(z[i].imag()) + tolerance;
      if (abs(step.real()) + abs(step.imag()) > size * tolerance) settled = false;
    }
    if (settled) break;
  }
  mpf_set_default_prec(default_bits);
  return z;
}

// 2^(s k) g(X / 2^s + i Y / 2^s) for integers X, Y: exact, as real and
// imaginary integers, by Horner's rule on the scaled polynomial.
void EvaluateScaled(const ZPolynomial& g, const mpz_class& x, const mpz_class& y, unsigned s,
                    mpz_class& re, mpz_class& im) {
  re = 0;
  im = 0;
  mpz_class t;
  for (size_t k = g.size(); k-- > 0;) {
    t = re * x - im * y;
    im = re * y + im * x;
    re = t;
    mpz_class term = g[k];
    mpz_mul_2exp(term.get_mpz_t(), term.get_mpz_t(), s * (g.size() - 1 - k));
    re += term;
  }
}

// The exact centre X / 2^s + i Y / 2^s of an approximation: its value cut to
// `bits` of the largest part, a real one when the imaginary part is below
// the noise of the approximation.
void Centre(const Complex& z, unsigned bits, mpz_class& x, mpz_class& y, unsigned& s) {
  long exponent = 0;
  const mpf_class size = abs(z.real()) + abs(z.imag());
  mpf_get_d_2exp(&exponent, size.get_mpf_t());
  const long shift = static_cast<long>(bits) - exponent;
  s = static_cast<unsigned>(std::max(shift, 0L));
  mpf_class scaled(z.real(), bits + 64), scaled_im(z.imag(), bits + 64);
  mpf_mul_2exp(scaled.get_mpf_t(), scaled.get_mpf_t(), s);
  mpf_mul_2exp(scaled_im.get_mpf_t(), scaled_im.get_mpf_t(), s);
  x = mpz_class(scaled);
  y = mpz_class(scaled_im);
  mpz_class noise = 1;
  noise <<= (bits / 2);
  if (abs(y) * noise < abs(x) + abs(y) + 1) y = 0;
}

QPolynomial CharacteristicPolynomial(const QMatrix& a) {
  const slong n = static_cast<slong>(a.size());
  fmpq_mat_t m;
  fmpq_mat_init(m, n, n);
  for (slong i = 0; i < n; ++i) {
    for (slong j = 0; j < n; ++j) fmpq_set_mpq(fmpq_mat_entry(m, i, j), a[i][j].get_mpq_t());
  }
  fmpq_poly_t f;
  fmpq_poly_init(f);
  fmpq_mat_charpoly(f, m);
  QPolynomial result(n + 1);
  for (slong k = 0; k <= n; ++k) fmpq_poly_get_coeff_mpq(result[k].get_mpq_t(), f, k);
  fmpq_poly_clear(f);
  fmpq_mat_clear(m);
  return result;
}

}  // namespace

QPolynomial Product(const QPolynomial& a, const QPolynomial& b) {
  QPolynomial p(a.size() + b.size() - 1);
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t j = 0; j < b.size(); ++j) p[i + j] += a[i] * b[j];
  }
  return p;
}

QMatrix Multiply(const QMatrix& a, const QMatrix& b) {
  const size_t n = a.size();
  QMatrix p(n, std::vector<mpq_class>(n));
  for (size_t i = 0; i < n; ++i) {
    for (size_t k = 0; k < n; ++k) {
      if (a[i][k] == 0) continue;
      for (size_t j = 0; j < n; ++j) p[i][j] += a[i][k] * b[k][j];
    }
  }
  return p;
}

std::vector<Factor> FactorOverQ(const QPolynomial& f) {
  fmpq_poly_t q;
  fmpq_poly_init(q);
  for (size_t k = 0; k < f.size(); ++k) fmpq_poly_set_coeff_mpq(q, k, f[k].get_mpq_t());
  fmpz_poly_t z;
  fmpz_poly_init(z);
  fmpq_poly_get_numerator(z, q);
  fmpz_poly_factor_t fac;
  fmpz_poly_factor_init(fac);
  fmpz_poly_factor(fac, z);
  std::vector<Factor> factors;
  for (slong i = 0; i < fac->num; ++i) {
    Factor factor{ZPolynomial(fmpz_poly_length(fac->p + i)), static_cast<int>(fac->exp[i])};
    fmpz_t c;
    fmpz_init(c);
    for (size_t k = 0; k < factor.poly.size(); ++k) {
      fmpz_poly_get_coeff_fmpz(c, fac->p + i, k);
      fmpz_get_mpz(factor.poly[k].get_mpz_t(), c);
    }
    fmpz_clear(c);
    if (factor.poly.back() < 0) {
      for (mpz_class& v : factor.poly) v = -v;
    }
    factors.push_back(std::move(factor));
  }
  fmpz_poly_factor_clear(fac);
  fmpz_poly_clear(z);
  fmpq_poly_clear(q);
  return factors;
}

namespace {

// A closed disk of the complex plane: centre re + im i, squared radius.
struct Disk {
  mpq_class re, im, radius2;
};

// Disks proven to hold one root each of the square-free integer polynomial
// g, pairwise disjoint, a real root's centred on the real axis and a
// non-real one's missing it: the roots approximated with `bits`, each disk
// proven exactly (radius deg(g) |g(z)/g'(z)| around any z holds a root).
// False when `bits` were too few.
bool IsolateRoots(const ZPolynomial& g, unsigned bits, std::vector<Disk>& disks) {
  const size_t k = g.size() - 1;
  disks.clear();
  ZPolynomial slope(k);
  for (size_t j = 1; j <= k; ++j) slope[j - 1] = g[j] * static_cast<unsigned long>(j);
  size_t real = 0;
  for (const Complex& z : ApproximateRoots(g, bits)) {
    mpz_class x, y, re, im, dre, dim;
    unsigned s = 0;
    Centre(z, bits, x, y, s);
    EvaluateScaled(g, x, y, s, re, im);
    EvaluateScaled(slope, x, y, s, dre, dim);
    // |g/g'|^2 = (re^2 + im^2) / (dre^2 + dim^2) / 2^(2 s).
    const mpz_class value2 = re * re + im * im, slope2 = dre * dre + dim * dim;
    if (slope2 == 0) return false;
    Disk disk;
    mpz_class den = slope2;
    mpz_mul_2exp(den.get_mpz_t(), den.get_mpz_t(), 2 * s);
    disk.radius2 = mpq_class(value2 * static_cast<unsigned long>(k * k), den);
    disk.radius2.canonicalize();
    mpz_class unit = 1;
    unit <<= s;
    disk.re = mpq_class(x, unit);
    disk.im = mpq_class(y, unit);
    disk.re.canonicalize();
    disk.im.canonicalize();
    if (disk.im == 0) {
      ++real;
    } else if (disk.im * disk.im <= disk.radius2) {
      return false;  // neither proven real nor proven non-real
    }
    disks.push_back(disk);
  }
  // Pairwise disjoint: |c_i - c_j| > r_i + r_j.
  for (size_t i = 0; i < disks.size(); ++i) {
    for (size_t j = i + 1; j < disks.size(); ++j) {
      const mpq_class dre = disks[i].re - disks[j].re, dim = disks[i].im - disks[j].im;
      const mpq_class gap = dre * dre + dim * dim - disks[i].radius2 - disks[j].radius2;
      if (gap <= 0 || gap * gap <= 4 * disks[i].radius2 * disks[j].radius2) return false;
    }
  }
  // A disk centred on the axis is symmetric: the one root it holds is real.
  // The others miss the axis, so the count proves the approximation did not
  // put two conjugate roots in one place.
  fmpz_poly_t p;
  fmpz_poly_init(p);
  for (size_t j = 0; j <= k; ++j) fmpz_poly_set_coeff_mpz(p, j, g[j].get_mpz_t());
  const slong real_roots = fmpz_poly_num_real_roots(p);
  fmpz_poly_clear(p);
  return static_cast<slong>(real) == real_roots;
}

// Whether the disk lies in the closed box of the shown root (for a real
// root, the interval on the axis).
bool Inside(const Disk& disk, const ShownRoot& root) {
  auto within = [&](const mpq_class& c, const ShownDecimal& d) {
    if (c < d.low || c > d.high) return false;
    const mpq_class left = c - d.low, right = d.high - c;
    return left * left >= disk.radius2 && right * right >= disk.radius2;
  };
  if (!root.complex && disk.im != 0) return false;
  if (root.complex && disk.im == 0) return false;
  return within(disk.re, root.re) && (!root.complex || within(disk.im, root.im));
}

std::string RootText(const ShownRoot& r) {
  return r.complex ? r.re.text + " + (" + r.im.text + ")i" : r.re.text;
}

// Matches shown decimal roots to the roots of irreducible factors: each
// shown box must hold a root of its own (a disk inside the box, at the first
// precision that shows it), and every root must be shown.
std::string MatchDecimals(const std::vector<const ZPolynomial*>& factors,
                          const std::vector<ShownRoot>& shown) {
  size_t degree = 0;
  for (const ZPolynomial* g : factors) degree += g->size() - 1;
  if (shown.size() != degree) {
    return std::string(shown.size() < degree ? "missing: " : "") + std::to_string(shown.size()) +
           " decimals shown for roots of degree " + std::to_string(degree);
  }
  std::string fault = "no precision proved the roots";
  for (unsigned bits = 96; bits <= 1u << 15; bits *= 2) {
    std::vector<Disk> disks, more;
    bool isolated = true;
    for (const ZPolynomial* g : factors) {
      isolated = isolated && IsolateRoots(*g, bits, more);
      disks.insert(disks.end(), more.begin(), more.end());
    }
    if (!isolated) continue;
    std::vector<bool> used(disks.size());
    fault.clear();
    for (const ShownRoot& root : shown) {
      size_t d = 0;
      while (d < disks.size() && (used[d] || !Inside(disks[d], root))) ++d;
      if (d == disks.size()) {
        fault = "the box of " + RootText(root) + " holds no root that is not shown otherwise";
        break;
      }
      used[d] = true;
    }
    if (fault.empty()) return "";
    // When every disk is far smaller than every box, more precision would
    // not change the answer.
    bool small = true;
    for (const ShownRoot& root : shown) {
      mpq_class half = (root.re.high - root.re.low) / 2;
      if (root.complex) half = std::min(half, mpq_class((root.im.high - root.im.low) / 2));
      for (const Disk& disk : disks) small = small && disk.radius2 * 1000000 < half * half;
    }
    if (small) break;
  }
  return fault;
}

}  // namespace

std::string SurdEigenvectorFault(const QMatrix& a, const QuadraticEigenvalue& q) {
  const size_t n = a.size();
  // The root with "+": (-c1 + s √d) / (2 c2), s^2 d the discriminant.
  const ZPolynomial c = Z(q.factor);
  mpz_class d, s2, s;
  q.radicand.CopyTo(d.get_mpz_t());
  const mpz_class disc = c[1] * c[1] - 4 * c[2] * c[0];
  if (d == 0 || disc % d != 0 || !mpz_perfect_square_p(mpz_class(disc / d).get_mpz_t()))
    return "the radicand does not divide the discriminant by a square";
  s = sqrt(mpz_class(disc / d));
  mpq_class tx(-c[1], 2 * c[2]), ty(s, 2 * c[2]);
  tx.canonicalize();
  ty.canonicalize();
  std::vector<size_t> free_at;
  for (const std::vector<Surd>& v : q.basis) {
    std::vector<mpq_class> x(n), y(n);
    for (size_t j = 0; j < n; ++j) {
      x[j] = Q(v[j + 1].x.num, v[j + 1].x.den);
      y[j] = Q(v[j + 1].y.num, v[j + 1].y.den);
    }
    for (size_t i = 0; i < n; ++i) {
      mpq_class ax = 0, ay = 0;
      for (size_t j = 0; j < n; ++j) {
        ax += a[i][j] * x[j];
        ay += a[i][j] * y[j];
      }
      if (ax != tx * x[i] + d * ty * y[i] || ay != tx * y[i] + ty * x[i])
        return "A xi != lambda xi in row " + std::to_string(i + 1);
    }
    size_t f = n;
    while (f > 0 && !(x[f - 1] == 1 && y[f - 1] == 0)) --f;
    if (f == 0) return "a vector without a free unknown 1";
    free_at.push_back(f);
  }
  // Each free unknown 1 in its own vector and 0 in the others (which also
  // makes the vectors independent).
  for (size_t t = 0; t < q.basis.size(); ++t) {
    for (size_t u = 0; u < q.basis.size(); ++u) {
      const Surd& entry = q.basis[u][free_at[t]];
      if (u != t && !(entry.x.IsZero() && entry.y.IsZero()))
        return "a free unknown not 0 in another vector";
    }
  }
  return "";
}

std::string EigenAnalysisFault(const FractionMatrix& typed, const EigenAnalysis& analysis,
                               const JordanFacts* known) {
  Stated shown;
  std::string fault;
  if (!StateAnalysis(analysis, shown, fault)) return "an unreadable decimal: " + fault;
  const int n = typed.rows;
  const QMatrix a = Exact(typed, n, n);

  // The polynomial, exactly, and its factored form.
  const QPolynomial f = CharacteristicPolynomial(a);
  if (shown.polynomial != f) {
    return "polynomial " + PolyText(shown.polynomial) + ", expected " + PolyText(f);
  }
  QPolynomial product{1};
  for (const auto& [factor, exponent] : shown.factors) {
    for (int e = 0; e < exponent; ++e) product = Product(product, factor);
  }
  if (product != f) return "the factored form is " + PolyText(product);

  // The rational roots are the linear factors (the text shows them in
  // increasing order, so none twice).
  const std::vector<Factor> factors = FactorOverQ(f);
  // The factored form is complete: each factor shown is irreducible.
  for (const auto& shown_factor : shown.factors) {
    if (std::none_of(factors.begin(), factors.end(),
                     [&](const Factor& g) { return Monic(g.poly) == shown_factor.first; }))
      return "the factor " + PolyText(shown_factor.first) + " is reducible";
  }
  std::vector<bool> factor_shown(factors.size());
  std::map<mpq_class, int> roots;
  for (const Factor& factor : factors) {
    if (factor.poly.size() == 2) roots[-Monic(factor.poly)[0]] = factor.multiplicity;
  }
  // Roots of factors of degree 3 and more get no vectors.
  const bool irrational = std::any_of(factors.begin(), factors.end(),
                                      [](const Factor& factor) { return factor.poly.size() > 3; });
  for (const auto& entry : roots) {
    const mpq_class& root = entry.first;
    const int multiplicity = entry.second;
    auto it = std::find_if(shown.rational.begin(), shown.rational.end(),
                           [&](const Stated::Rational& r) { return r.value == root; });
    if (it == shown.rational.end()) return "missing: the eigenvalue " + root.get_str();
    if (it->algebraic != multiplicity) {
      return Count("the eigenvalue " + root.get_str() + ": algebraic multiplicity", it->algebraic,
                   multiplicity);
    }
  }
  for (size_t k = 1; k < shown.rational.size(); ++k) {
    if (shown.rational[k - 1].value >= shown.rational[k].value)
      return "rational eigenvalues out of order";
  }
  if (known != nullptr && known->rational.size() != shown.rational.size()) {
    return "J has " + std::to_string(known->rational.size()) + " rational eigenvalues";
  }

  // Each rational eigenvalue's eigenspace, and what J says of it.
  for (const Stated::Rational& r : shown.rational) {
    const std::string which = "the eigenvalue " + r.value.get_str() + ": ";
    if (roots.count(r.value) == 0) return which + "no root";
    const int geometric = n - static_cast<int>(Rank(Evaluate({-r.value, 1}, a)));
    if (known != nullptr) {
      auto it = known->rational.find(r.value);
      if (it == known->rational.end()) return which + "not an eigenvalue of J";
      const std::vector<int>& blocks = it->second;
      if (static_cast<int>(blocks.size()) != geometric ||
          std::accumulate(blocks.begin(), blocks.end(), 0) != r.algebraic) {
        return Count(which + "J's blocks, the rank says", blocks.size(), geometric);
      }
    }
    if (static_cast<int>(r.basis.size()) != geometric) {
      return Count(which + "geometric multiplicity", r.basis.size(), geometric);
    }
    QMatrix vectors;
    for (const std::vector<mpz_class>& v : r.basis) {
      if (static_cast<int>(v.size()) != n) return which + "a vector of the wrong length";
      mpz_class content = 0;
      for (const mpz_class& x : v) content = gcd(content, x);
      const auto lead = std::find_if(v.begin(), v.end(), [](const mpz_class& x) { return x != 0; });
      if (content != 1 || *lead < 0) {
        return which + "a vector not of coprime integers with a positive first entry";
      }
      // A xi = lambda xi.
      for (int i = 0; i < n; ++i) {
        mpq_class sum = 0;
        for (int j = 0; j < n; ++j) sum += a[i][j] * v[j];
        if (sum != r.value * v[i])
          return which + "A xi != lambda xi in row " + std::to_string(i + 1);
      }
      vectors.emplace_back(v.begin(), v.end());
    }
    if (static_cast<int>(Rank(vectors)) != geometric) return which + "the vectors are dependent";
  }

  // Each exact quadratic is a factor, with its multiplicity and decimals.
  for (const Stated::Quadratic& q : shown.quadratics) {
    const QPolynomial monic{q.product, -q.sum, 1};
    size_t i = 0;
    while (i < factors.size() && (factor_shown[i] || Monic(factors[i].poly) != monic)) ++i;
    if (i == factors.size()) return q.text + " are not the roots of an unshown factor";
    factor_shown[i] = true;
    if (q.algebraic != factors[i].multiplicity) {
      return Count(q.text + ": algebraic multiplicity", q.algebraic, factors[i].multiplicity);
    }
    if (q.complex != (q.sum * q.sum < 4 * q.product)) return q.text + ": real and complex mixed up";
    // Over Q, the kernel of q(A) is twice as large as each root's eigenspace.
    const int geometric = (n - static_cast<int>(Rank(Evaluate({q.product, -q.sum, 1}, a)))) / 2;
    if (static_cast<int>(q.value->basis.size()) != geometric) {
      return Count(q.text + ": geometric multiplicity", q.value->basis.size(), geometric);
    }
    fault = SurdEigenvectorFault(a, *q.value);
    if (!fault.empty()) return q.text + ": " + fault;
  }
  // The roots of every factor of degree 3 or more as decimals, grouped by
  // multiplicity: each group is the roots of all the factors of that
  // multiplicity (a quadratic's roots are always shown exactly).
  for (const Stated::Decimals& group : shown.others) {
    std::vector<const ZPolynomial*> members;
    for (size_t i = 0; i < factors.size(); ++i) {
      if (factor_shown[i] || factors[i].poly.size() <= 3 ||
          factors[i].multiplicity != group.algebraic) {
        continue;
      }
      members.push_back(&factors[i].poly);
      factor_shown[i] = true;
    }
    fault = MatchDecimals(members, group.roots);
    if (!fault.empty()) {
      return "decimals of multiplicity " + std::to_string(group.algebraic) + ": " + fault;
    }
  }
  for (size_t i = 0; i < factors.size(); ++i) {
    if (factors[i].poly.size() > 2 && !factor_shown[i]) {
      return "missing: the roots of " + PolyText({factors[i].poly.begin(), factors[i].poly.end()});
    }
  }
  if (shown.others.empty() == irrational) {
    return irrational ? "missing: the decimals of factors of degree 3 and more"
                      : "decimals of factors that do not exist";
  }

  // The verdict: every root's eigenspace as large as its multiplicity. A
  // factor h of degree d and multiplicity e has d e roots in the kernel of
  // h(A) exactly when each of its roots has e vectors.
  bool diagonalisable = true;
  for (const Factor& factor : factors) {
    if (factor.multiplicity == 1) continue;
    const size_t d = factor.poly.size() - 1;
    const QMatrix h = Evaluate(QPolynomial(factor.poly.begin(), factor.poly.end()), a);
    diagonalisable = diagonalisable && a.size() - Rank(h) == d * factor.multiplicity;
  }
  if (known != nullptr && known->diagonalisable != diagonalisable) {
    return std::string("J says ") + (known->diagonalisable ? "" : "not ") + "diagonalisable";
  }
  if (analysis.diagonalisable != diagonalisable) {
    return std::string("stated ") + (analysis.diagonalisable ? "" : "not ") + "diagonalisable";
  }
  // The roots shown are the factors' (above), so whether one is complex can
  // be read off them.
  bool complex = false;
  for (const Stated::Quadratic& q : shown.quadratics) complex = complex || q.complex;
  for (const Stated::Decimals& group : shown.others) {
    for (const ShownRoot& r : group.roots) complex = complex || r.complex;
  }
  if (analysis.complex != complex) {
    return complex ? "complex eigenvalues not stated" : "complex eigenvalues stated, all real";
  }
  return "";
}

}  // namespace calc::testing
