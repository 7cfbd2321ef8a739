#include "eigen.h"

#include <algorithm>
#include <memory>

#include "characteristic_polynomial.h"
#include "eigenspace.h"
#include "eigenvalue_roots.h"
#include "elimination.h"
#include "factorisation.h"
#include "polynomial.h"
#include "quadratic_eigenspace.h"
#include "roots.h"
#include "text_forms.h"

namespace calc {

namespace {

// --- Text pieces -----------------------------------------------------------

std::string IntegerText(mpz_srcptr v) {
  std::string s;
  Integer::FromGmp(v).AppendDecimal(s);
  return s;
}

std::string NumberText(long v) {
  char digits[24];
  return std::string(digits, WriteDecimal(v, digits));
}

std::string FractionText(const Fraction& f) {
  std::string s;
  AppendFraction(f, s);
  return s;
}

// f / lc(f), written from the highest power down.
std::string MonicText(const ZPoly& f) {
  std::string s;
  const Integer lead = Integer::FromGmp(Lead(f));
  for (int k = Degree(f); k >= 0; --k) {
    if (f[k].Sign() == 0) continue;
    Fraction c = Reduced(Integer::FromGmp(f[k].get()), lead);
    const bool negative = c.num.Sign() < 0;
    if (s.empty()) {
      if (negative) s += '-';
    } else {
      s += negative ? " - " : " + ";
    }
    if (negative) c.num = -c.num;
    const bool one = c.num.IsOne() && c.den.IsOne();
    if (k == 0) {
      s += FractionText(c);
    } else if (!one) {
      s += c.den.IsOne() ? FractionText(c) : "(" + FractionText(c) + ")";
    }
    if (k >= 1) s += "λ";
    if (k >= 2) s.append("^").append(NumberText(k));
  }
  return s;
}

// --- Quadratic factors: exact roots and their decimals ---------------------

// |v| = s^2 d with every square factor pulled into s that these find: the
// primes up to 3000 are divided out completely (their odd powers stay in
// d); the cofactor left then has no prime factor below 3000, and is pulled
// out whole when it is a perfect square. A cofactor below 3000^3 has at
// most two prime factors, so there d is square-free; above, only a square
// of a prime beyond 3000 times further such primes may stay.
void PullSquares(mpz_srcptr v, Mpz& s, Mpz& d) {
  Mpz rest;
  mpz_abs(rest.get(), v);
  mpz_set_ui(s.get(), 1);
  mpz_set_ui(d.get(), 1);
  for (unsigned long p = 2; p <= 3000 && mpz_cmp_ui(rest.get(), p) >= 0; p += p == 2 ? 1 : 2) {
    int power = 0;
    while (mpz_divisible_ui_p(rest.get(), p)) {
      mpz_divexact_ui(rest.get(), rest.get(), p);
      ++power;
    }
    for (int k = 0; k + 1 < power; k += 2) mpz_mul_ui(s.get(), s.get(), p);
    if (power % 2 == 1) mpz_mul_ui(d.get(), d.get(), p);
  }
  if (IsSquare(rest.get())) {
    SquareRoot(rest.get(), rest.get());
    mpz_mul(s.get(), s.get(), rest.get());
  } else {
    mpz_mul(d.get(), d.get(), rest.get());
  }
}

std::string RadicalText(mpz_srcptr s, mpz_srcptr d) {
  std::string t = mpz_cmp_ui(s, 1) == 0 ? "" : IntegerText(s);
  if (mpz_cmp_ui(d, 1) != 0) t += "√" + IntegerText(d);
  return t;
}

// An isolating disk of (p + sign s sqrt(d)) / q on the grid 2^-e (q > 0):
// with T = floor(sqrt(d) 2^e), the value times 2^e lies within s/q + 1 of
// (p 2^e + sign s T) / q.
void RadicalDisk(mpz_srcptr p, int sign, mpz_srcptr s, mpz_srcptr d, mpz_srcptr q, long e,
                 mpz_ptr centre, mpz_ptr radius) {
  Mpz t;
  mpz_mul_2exp(t.get(), d, 2 * e);
  SquareRoot(t.get(), t.get());
  mpz_mul(t.get(), t.get(), s);
  if (sign < 0) mpz_neg(t.get(), t.get());
  mpz_mul_2exp(centre, p, e);
  mpz_add(centre, centre, t.get());
  mpz_fdiv_q(centre, centre, q);
  mpz_cdiv_q(radius, s, q);
  mpz_add_ui(radius, radius, 2);
}

// The roots of the irreducible a x^2 + b x + c (a > 0), exactly and in
// certified decimals: "(5 ± √33)/2 ≈ 5.372281323, -0.3722813233".
std::string QuadraticRootsText(const ZPoly& f) {
  mpz_srcptr a = f[2].get(), b = f[1].get(), c = f[0].get();
  Mpz disc, s, d, p, q, g;
  mpz_mul(disc.get(), b, b);
  mpz_mul(g.get(), a, c);
  mpz_submul_ui(disc.get(), g.get(), 4);
  PullSquares(disc.get(), s, d);
  mpz_neg(p.get(), b);
  mpz_mul_2exp(q.get(), a, 1);
  std::string text;
  const long base = static_cast<long>(mpz_sizeinbase(disc.get(), 2) + mpz_sizeinbase(q.get(), 2));
  if (disc.Sign() > 0) {
    // (p ± s√d) / q with gcd(p, s, q) = 1.
    mpz_gcd(g.get(), p.get(), s.get());
    mpz_gcd(g.get(), g.get(), q.get());
    for (Mpz* v : {&p, &s, &q}) mpz_divexact(v->get(), v->get(), g.get());
    std::string top = p.Sign() == 0 ? "±" + RadicalText(s.get(), d.get())
                                    : IntegerText(p.get()) + " ± " + RadicalText(s.get(), d.get());
    if (mpz_cmp_ui(q.get(), 1) != 0) {
      text = (p.Sign() == 0 ? top : "(" + top + ")") + "/" + IntegerText(q.get());
    } else {
      text = top;
    }
    text += " ≈ ";
    for (int sign : {1, -1}) {
      if (sign < 0) text += ", ";
      for (long e = 64 + base;; e *= 2) {
        Disk disk;
        RadicalDisk(p.get(), sign, s.get(), d.get(), q.get(), e, disk.re.get(), disk.radius.get());
        if (CertifiedDecimal(disk, e, false, text)) break;
      }
    }
    return text;
  }
  // p/q ± (s√d/q) i, each part reduced on its own; the imaginary part in
  // the form the eigenvectors' entries take.
  const Fraction re = Reduced(Integer::FromGmp(p.get()), Integer::FromGmp(q.get()));
  const Surd imaginary{Fraction{}, Reduced(Integer::FromGmp(s.get()), Integer::FromGmp(q.get()))};
  const std::string im = SurdText(imaginary, -Integer::FromGmp(d.get()));
  text = re.IsZero() ? "±" + im : FractionText(re) + " ± " + im;
  // Both parts rational: the exact value is as plain as a decimal.
  if (mpz_cmp_ui(d.get(), 1) == 0) return text;
  text += " ≈ ";
  for (long e = 64 + base;; e *= 2) {
    Disk disk;
    Mpz zero, radius;
    mpz_mul_2exp(disk.re.get(), p.get(), e);
    mpz_fdiv_q(disk.re.get(), disk.re.get(), q.get());
    RadicalDisk(zero.get(), 1, s.get(), d.get(), q.get(), e, disk.im.get(), disk.radius.get());
    mpz_add_ui(disk.radius.get(), disk.radius.get(), 1);
    if (CertifiedDecimal(disk, e, true, text)) break;
  }
  return text;
}

// The eigenvectors of the root with "+" of the irreducible quadratic q.
QuadraticEigenvalue QuadraticEigenspaceOf(const FractionMatrix& a, int n, const ZPoly& q,
                                          int algebraic) {
  QuadraticEigenvalue e;
  e.factor = q;
  e.algebraic = algebraic;
  Mpz disc, g, s, d;
  mpz_mul(disc.get(), q[1].get(), q[1].get());
  mpz_mul(g.get(), q[2].get(), q[0].get());
  mpz_submul_ui(disc.get(), g.get(), 4);
  PullSquares(disc.get(), s, d);
  if (disc.Sign() < 0) mpz_neg(d.get(), d.get());
  e.radicand = Integer::FromGmp(d.get());
  e.basis = QuadraticEigenvectors(a, n, Integer::FromGmp(q[2].get()), Integer::FromGmp(q[1].get()),
                                  Integer::FromGmp(s.get()), e.radicand);
  return e;
}

// "  几何重数各 g", the vectors (numbered on from vector_number), and a line
// saying that the other root's are their conjugates.
void PutQuadraticEigenvectors(const QuadraticEigenvalue& e, int n, int& vector_number,
                              std::string& lines) {
  lines.append("  几何重数各 ").append(NumberText(static_cast<long>(e.basis.size())));
  for (const std::vector<Surd>& v : e.basis) {
    lines.append("\n  ξ").append(NumberText(++vector_number)).append(" = (");
    for (int j = 1; j <= n; ++j) {
      if (j > 1) lines += ", ";
      lines += SurdText(v[j], e.radicand);
    }
    lines += ")^T";
  }
  if (e.radicand.Sign() < 0) {
    lines += "\n  另一个根的特征向量是以上向量的共轭 (i 换为 -i)";
  } else {
    std::string root = "√";
    e.radicand.AppendDecimal(root);
    lines.append("\n  另一个根的特征向量是以上向量的共轭 (").append(root).append(" 换为 -");
    lines.append(root).append(")");
  }
}

// "λ", "(λ - 2)", "(λ + 1/2)": the linear factor of a rational eigenvalue.
std::string LinearFactorText(const Fraction& r) {
  if (r.IsZero()) return "λ";
  const Fraction magnitude{r.num.Sign() < 0 ? -r.num : r.num, r.den};
  return (r.num.Sign() > 0 ? "(λ - " : "(λ + ") + FractionText(magnitude) + ")";
}

}  // namespace

EigenAnalysis AnalyseEigenvalues(const FractionMatrix& a) {
  const int n = a.rows;
  EigenAnalysis e;
  e.order = n;
  ZPoly f = ScaledCharacteristicPolynomial(a, n);
  MakePrimitive(f);
  Mpz lcm;
  DenominatorLcm(a, n).CopyTo(lcm.get());
  std::vector<PartRoots> parts;
  for (Part& part : SquareFreeParts(f)) {
    parts.push_back(RootsOfPart(std::move(part.factor), part.multiplicity, lcm.get()));
  }
  e.polynomial = std::move(f);

  // Rational eigenvalues, ascending, with their eigenspaces.
  for (const PartRoots& p : parts) {
    for (const Fraction& r : p.rational) {
      size_t at = e.rational.size();
      while (at > 0 && Compare(r, e.rational[at - 1].value) < 0) --at;
      e.rational.insert(e.rational.begin() + static_cast<long>(at),
                        RationalEigenvalue{r, p.multiplicity, {}});
    }
  }
  const std::unique_ptr<IntegerRows> cleared(new IntegerRows);
  Integer scale[kMaxOrder + 1];
  if (!e.rational.empty()) ClearDenominators(a, n, n, *cleared, scale);
  for (RationalEigenvalue& r : e.rational) {
    r.basis = NullSpace(*cleared, scale, r.value.num, r.value.den, n);
    if (static_cast<int>(r.basis.size()) < r.algebraic) e.diagonalisable = false;
    ZPoly linear(2);
    (-r.value.num).CopyTo(linear[0].get());
    r.value.den.CopyTo(linear[1].get());
    e.factors.push_back({linear, r.algebraic});
  }
  // The quadratic factors with theirs, then the roots of the rest.
  for (size_t part = 0; part < parts.size(); ++part) {
    const PartRoots& p = parts[part];
    for (const ZPoly& x : p.quadratics) {
      e.quadratic.push_back(QuadraticEigenspaceOf(a, n, x, p.multiplicity));
      e.quadratic.back().part = static_cast<int>(part);
      if (static_cast<int>(e.quadratic.back().basis.size()) < p.multiplicity) {
        e.diagonalisable = false;
      }
      e.complex = e.complex || e.quadratic.back().radicand.Sign() < 0;
    }
    if (!p.decimal_real.empty() || !p.decimal_complex.empty()) {
      e.decimals.push_back(
          {static_cast<int>(part), p.multiplicity, p.decimal_real, p.decimal_complex});
    }
    if (!p.decimal_complex.empty()) e.complex = true;
    // A repeated factor of degree 3 or more: diagonalisable on its roots
    // exactly when w(A) has a null space of dimension deg(w) m.
    if (p.multiplicity > 1 && e.diagonalisable && Degree(p.rest) > 0 &&
        n - RankOfPolynomialAt(a, n, p.rest) < Degree(p.rest) * p.multiplicity) {
      e.diagonalisable = false;
    }
  }
  for (const QuadraticEigenvalue& x : e.quadratic) e.factors.push_back({x.factor, x.algebraic});
  for (const PartRoots& p : parts) {
    // What remains has no factor of degree 1 or 2, so below degree 6 it is
    // irreducible; above, it is factored completely.
    if (Degree(p.rest) >= 6) {
      for (ZPoly& x : IrreducibleFactors(p.rest))
        e.factors.push_back({std::move(x), p.multiplicity});
    } else if (Degree(p.rest) > 0) {
      e.factors.push_back({p.rest, p.multiplicity});
    }
  }
  return e;
}

std::string EigenvalueText(const EigenAnalysis& e) {
  const int n = e.order;
  std::string lines;
  auto new_line = [&lines] {
    if (!lines.empty()) lines += '\n';
  };
  int vector_number = 0;
  for (size_t k = 0; k < e.rational.size(); ++k) {
    const RationalEigenvalue& r = e.rational[k];
    new_line();
    lines.append("λ").append(NumberText(static_cast<long>(k + 1))).append(" = ");
    AppendFraction(r.value, lines);
    lines.append("    代数重数 ").append(NumberText(r.algebraic));
    lines.append("  几何重数 ").append(NumberText(static_cast<long>(r.basis.size())));
    for (const std::vector<Integer>& v : r.basis) {
      lines.append("\n  ξ").append(NumberText(++vector_number)).append(" = (");
      for (int j = 1; j <= n; ++j) {
        if (j > 1) lines += ", ";
        v[j].AppendDecimal(lines);
      }
      lines += ")^T";
    }
  }
  // Part by part of the square-free decomposition: its quadratic factors'
  // roots, then its other roots.
  size_t next_quadratic = 0, next_decimals = 0;
  while (next_quadratic < e.quadratic.size() || next_decimals < e.decimals.size()) {
    const bool quadratic_first =
        next_decimals == e.decimals.size() ||
        (next_quadratic < e.quadratic.size() &&
         e.quadratic[next_quadratic].part <= e.decimals[next_decimals].part);
    new_line();
    if (quadratic_first) {
      const QuadraticEigenvalue& x = e.quadratic[next_quadratic++];
      lines.append("λ = ").append(QuadraticRootsText(x.factor)).append("    代数重数各 ");
      lines.append(NumberText(x.algebraic));
      PutQuadraticEigenvectors(x, n, vector_number, lines);
      continue;
    }
    const DecimalRoots& d = e.decimals[next_decimals++];
    for (size_t k = 0; k < d.real.size() + d.complex.size(); ++k) {
      if (k > 0) new_line();
      const bool real = k < d.real.size();
      lines.append("λ ≈ ").append(real ? d.real[k] : d.complex[k - d.real.size()]);
      lines.append(real ? "    代数重数 " : "    代数重数各 ").append(NumberText(d.algebraic));
    }
  }
  if (!e.decimals.empty()) lines += "\n三次及以上不可约因式的根不列出特征向量";

  // The polynomial, expanded and factored.
  const std::string expanded = MonicText(e.polynomial);
  std::string factored;
  int factors = 0;
  for (size_t k = 0; k < e.factors.size(); ++k) {
    const auto& [factor, multiplicity] = e.factors[k];
    if (!factored.empty()) factored += ' ';
    factored += k < e.rational.size() ? LinearFactorText(e.rational[k].value)
                                      : "(" + MonicText(factor) + ")";
    if (multiplicity > 1) factored.append("^").append(NumberText(multiplicity));
    factors += multiplicity;
  }
  const bool show_factored = factors > 1 && factored != expanded;

  std::string text;
  const char* verdict = !e.diagonalisable ? "不可对角化"
                        : e.complex       ? "在复数域上可对角化"
                                          : "可对角化";
  if (expanded.size() + (show_factored ? factored.size() : 0) <= kShortPolynomialLength) {
    text.append("特征多项式 f(λ) = ").append(expanded);
    if (show_factored) text.append(" = ").append(factored);
    text.append("\n\n").append(lines).append("\n\n").append(verdict);
    return text;
  }
  text.append(lines).append("\n\n").append(verdict).append("\n\n特征多项式 f(λ) = ");
  text.append(expanded);
  if (show_factored) text.append("\n  = ").append(factored);
  return text;
}

std::string EigenvalueText(const FractionMatrix& a) {
  return EigenvalueText(AnalyseEigenvalues(a));
}

}  // namespace calc
