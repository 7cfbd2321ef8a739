#include "eigen_text.h"

#include <algorithm>
#include <map>

namespace calc::testing {

namespace {

constexpr std::string_view kLambda = "λ", kXi = "ξ", kRoot = "√", kPlusMinus = "±", kApprox = "≈",
                           kTimes = "×", kPolynomial = "特征多项式 f(λ) = ",
                           kNoVectors = "三次及以上不可约因式的根不列出特征向量",
                           kAlgebraic = "    代数重数 ", kAlgebraicEach = "    代数重数各 ",
                           kGeometric = "  几何重数 ", kGeometricEach = "  几何重数各 ",
                           kYes = "可对角化", kNo = "不可对角化",
                           kComplexYes = "在复数域上可对角化";

bool Fail(std::string& fault, std::string why) {
  fault = std::move(why);
  return false;
}

// A cursor over one line; every Take advances only on a match.
struct Cursor {
  std::string_view rest;

  bool Take(std::string_view s) {
    if (rest.substr(0, s.size()) != s) return false;
    rest.remove_prefix(s.size());
    return true;
  }
  bool AtDigit() const { return !rest.empty() && rest[0] >= '0' && rest[0] <= '9'; }
  // Decimal digits, without a leading zero unless `leading_zero`.
  bool Digits(std::string& out, bool leading_zero = false) {
    size_t k = 0;
    while (k < rest.size() && rest[k] >= '0' && rest[k] <= '9') ++k;
    if (k == 0 || (!leading_zero && k > 1 && rest[0] == '0')) return false;
    out.assign(rest.substr(0, k));
    rest.remove_prefix(k);
    return true;
  }
  bool Natural(mpz_class& v) {
    std::string d;
    if (!Digits(d)) return false;
    v = mpz_class(d, 10);
    return true;
  }
  // "n" or "n/d", reduced, d > 1; with `sign` a leading minus.
  bool Rational(mpq_class& q, bool sign = true) {
    const bool negative = sign && Take("-");
    mpz_class num, den = 1;
    if (!Natural(num)) return false;
    if (Take("/") && (!Natural(den) || den <= 1 || gcd(num, den) != 1)) return false;
    if (negative && num == 0) return false;
    q = mpq_class(negative ? -num : num, den);
    return true;
  }
  bool Int(int& v) {
    mpz_class z;
    if (!Natural(z) || !z.fits_sint_p()) return false;
    v = static_cast<int>(z.get_si());
    return true;
  }
};

mpq_class Power10(long e) {
  mpz_class p;
  mpz_ui_pow_ui(p.get_mpz_t(), 10, static_cast<unsigned long>(e < 0 ? -e : e));
  return e < 0 ? mpq_class(1, p) : mpq_class(p);
}

// A positional decimal "-12.34" (no exponent): its value and the power of
// ten of its last digit; `significant` counts digits from the first
// non-zero one.
bool Positional(Cursor& c, mpq_class& value, long& last, int& significant, std::string& text) {
  const std::string_view start = c.rest;
  const bool negative = c.Take("-");
  std::string whole, fraction;
  if (!c.Digits(whole)) return false;
  if (c.Take(".") && !c.Digits(fraction, true)) return false;
  const std::string digits = whole + fraction;
  const size_t first = digits.find_first_not_of('0');
  significant = first == std::string::npos ? 0 : static_cast<int>(digits.size() - first);
  last = -static_cast<long>(fraction.size());
  value = mpq_class(mpz_class(digits, 10)) * Power10(last);
  if (negative) value = -value;
  text.assign(start.substr(0, start.size() - c.rest.size()));
  return true;
}

bool Exponent(Cursor& c, long& e) {
  if (!c.Take(kTimes) || !c.Take("10^")) return false;
  const bool negative = c.Take("-");
  int v = 0;
  if (!c.Int(v)) return false;
  e = negative ? -v : v;
  return true;
}

ShownDecimal Box(const mpq_class& value, long last, long exponent, const std::string& text) {
  const mpq_class scale = Power10(exponent), unit = Power10(last + exponent);
  return ShownDecimal{text, value * scale - unit, value * scale + unit};
}

// "≈"-free decimals of one line: "x" (real), "a ± bi", "±bi", and the power
// forms "x×10^e", "(a ± bi)×10^e", "±(b×10^e)i". A pair gives both roots.
bool DecimalRoots(Cursor& c, std::vector<ShownRoot>& roots, std::string& fault) {
  const bool grouped = c.Take("(");
  mpq_class re = 0, im;
  long re_last = 0, im_last = 0;
  int re_digits = 0, im_digits = 0;
  std::string re_text, im_text;
  const bool pure_imaginary = c.rest.substr(0, kPlusMinus.size()) == kPlusMinus;
  if (!pure_imaginary && !Positional(c, re, re_last, re_digits, re_text))
    return Fail(fault, "a decimal");
  const bool complex = c.Take(pure_imaginary ? kPlusMinus : std::string_view(" ± "));
  long exponent = 0;
  if (complex) {
    // "±(b×10^e)i" puts the power inside.
    const bool inner_power = pure_imaginary && c.Take("(");
    if (!Positional(c, im, im_last, im_digits, im_text) || im <= 0 ||
        (inner_power && (!Exponent(c, exponent) || !c.Take(")"))) || !c.Take("i"))
      return Fail(fault, "the imaginary part");
    if (pure_imaginary) re_last = im_last, re_text = "0";
  }
  if (grouped && (!complex || !c.Take(")"))) return Fail(fault, "parentheses of a decimal");
  const bool powered = c.rest.substr(0, kTimes.size()) == kTimes;
  if (powered && !Exponent(c, exponent)) return Fail(fault, "the power of ten");
  if (grouped != (complex && powered))
    return Fail(fault, "a complex power form without parentheses, or parentheses without it");
  if (std::max(re_digits, im_digits) != 10)
    return Fail(fault, "not 10 significant digits: " + re_text + " " + im_text);
  ShownRoot root;
  root.re = Box(re, re_last, exponent, re_text);
  if (complex) {
    root.complex = true;
    root.im = Box(im, im_last, exponent, im_text);
    roots.push_back(root);
    root.im = Box(-im, im_last, exponent, "-" + im_text);
  }
  roots.push_back(root);
  return true;
}

// The multiplicity at the end of a root line: "    代数重数 a" for one real
// root, "    代数重数各 a" for a pair.
bool Multiplicity(Cursor& c, bool pair, int& m) {
  return c.Take(pair ? kAlgebraicEach : kAlgebraic) && c.Int(m) && m >= 1 && c.rest.empty();
}

// A polynomial in λ as the text writes it, from the highest power down; its
// coefficients with the constant first. Stops before anything that is not
// part of it.
bool Polynomial(Cursor& c, std::vector<mpq_class>& poly) {
  poly.clear();
  int previous = -1;
  for (bool first = true;; first = false) {
    bool negative = false;
    if (!first) {
      if (c.Take(" - "))
        negative = true;
      else if (!c.Take(" + "))
        return previous >= 0;
    } else {
      negative = c.Take("-");
    }
    mpq_class coefficient = 1;
    bool written = false, fraction_written = false;
    if (c.Take("(")) {
      if (!c.Rational(coefficient, false) || coefficient.get_den() == 1 || !c.Take(")")) {
        return false;
      }
      written = fraction_written = true;
    } else if (c.AtDigit()) {
      if (!c.Rational(coefficient, false)) return false;
      written = true;
    }
    int power = 0;
    if (c.Take(kLambda)) {
      power = 1;
      if (c.Take("^") && (!c.Int(power) || power < 2)) return false;
      if (written && (coefficient == 1 || (!fraction_written && coefficient.get_den() != 1))) {
        return false;
      }
    } else if (!written || fraction_written) {
      return false;
    }
    if (coefficient == 0 || (previous >= 0 && power >= previous)) return false;
    if (poly.empty()) poly.resize(power + 1);
    poly[power] = negative ? -coefficient : coefficient;
    previous = power;
    if (power == 0) return true;
  }
}

// The factored form: factors separated by one blank, each "λ" or
// "(<polynomial>)" with "^m" when m > 1.
bool Factored(Cursor& c, std::vector<std::pair<std::vector<mpq_class>, int>>& factors) {
  for (bool first = true; first || c.Take(" "); first = false) {
    std::vector<mpq_class> poly;
    if (c.Take(kLambda)) {
      poly = {0, 1};
    } else if (!c.Take("(") || !Polynomial(c, poly) || !c.Take(")")) {
      return false;
    }
    int m = 1;
    if (c.Take("^") && (!c.Int(m) || m < 2)) return false;
    if (poly.back() != 1) return false;
    factors.emplace_back(poly, m);
  }
  return c.rest.empty();
}

// The exact roots of a quadratic: "(p ± s√d)/q", "p ± s√d", "±s√d/q", ...
// (real) or "p ± (s√d/q)i", "±2i", "p ± (r)i", ... (complex); gives their
// sum and product.
bool ExactPair(Cursor& c, ShownEigenvalues::Quadratic& q) {
  const std::string_view start = c.rest;
  const bool grouped = c.Take("(");
  mpq_class p = 0;
  if (c.rest.substr(0, kPlusMinus.size()) != kPlusMinus) {
    if (!c.Rational(p) || !c.Take(" ")) return false;
  }
  if (!c.Take(kPlusMinus)) return false;
  if (p != 0 && !c.Take(" ")) return false;
  // The part after ±: s√d, optionally over q; or, for the imaginary part, a
  // rational.
  auto radical = [&](mpq_class& scale, mpz_class& d) {
    mpz_class s = 1, den = 1;
    if (c.AtDigit() && (!c.Natural(s) || s < 2)) return false;
    if (!c.Take(kRoot) || !c.Natural(d) || d < 2 || mpz_perfect_square_p(d.get_mpz_t())) {
      return false;
    }
    if (c.Take("/") && (!c.Natural(den) || den < 2)) return false;
    scale = mpq_class(s, den);
    scale.canonicalize();
    return true;
  };
  mpq_class scale = 1;
  mpz_class d = -1;
  const std::string_view exact = c.rest.substr(0, c.rest.find(kApprox));
  if (grouped || exact.find('i') == std::string_view::npos) {
    // Real: the whole of (p ± s√d) may be over q.
    mpq_class over = 1;
    if (!radical(scale, d)) return false;
    if (grouped) {
      if (!c.Take(")") || !c.Take("/")) return false;
      mpz_class den;
      if (!c.Natural(den) || den < 2) return false;
      over = mpq_class(1, den);
    }
    p *= over;
    scale *= over;
  } else {
    if (c.Take("(")) {
      if (c.rest.find(kRoot) < c.rest.find(')')) {
        if (!radical(scale, d)) return false;
      } else if (!c.Rational(scale, false) || scale <= 0 || scale.get_den() == 1) {
        return false;
      }
      if (!c.Take(")")) return false;
    } else if (c.AtDigit() && (!c.Rational(scale, false) || scale < 2 || scale.get_den() != 1)) {
      return false;
    }
    if (!c.Take("i")) return false;
    q.complex = true;
    q.plain = d < 0;
  }
  // Roots p ± scale √d (d = -1 for i alone, folded into the sign).
  const mpq_class r2 = scale * scale * (d < 0 ? mpq_class(1) : mpq_class(d));
  q.sum = 2 * p;
  q.product = q.complex ? mpq_class(p * p + r2) : mpq_class(p * p - r2);
  q.text.assign(start.substr(0, start.size() - c.rest.size()));
  return true;
}

}  // namespace

bool ParseEigenText(std::string_view text, ShownEigenvalues& shown, std::string& fault) {
  // The blocks: polynomial, eigenvalues, verdict; or eigenvalues, verdict,
  // polynomial (its factored form on a line of its own).
  std::vector<std::vector<std::string_view>> blocks(1);
  for (size_t start = 0, end = 0; end != std::string_view::npos; start = end + 1) {
    end = text.find('\n', start);
    const std::string_view line =
        text.substr(start, end == std::string_view::npos ? end : end - start);
    if (line.empty())
      blocks.emplace_back();
    else
      blocks.back().push_back(line);
  }
  if (blocks.size() != 3) return Fail(fault, std::to_string(blocks.size()) + " blocks");
  for (const auto& block : blocks) {
    if (block.empty()) return Fail(fault, "an empty block");
  }
  const bool long_layout = blocks[0][0].substr(0, kPolynomial.size()) != kPolynomial;
  const auto& poly_block = long_layout ? blocks[2] : blocks[0];
  const auto& roots = long_layout ? blocks[0] : blocks[1];
  const auto& verdict = long_layout ? blocks[1] : blocks[2];

  // The polynomial.
  Cursor c{poly_block[0]};
  if (!c.Take(kPolynomial) || !Polynomial(c, shown.polynomial) || shown.polynomial.back() != 1)
    return Fail(fault, "the polynomial line: " + std::string(poly_block[0]));
  if (!long_layout && c.rest.size() > 0 && !c.Take(" = "))
    return Fail(fault, "after the polynomial: " + std::string(c.rest));
  if (long_layout && poly_block.size() == 2) {
    if (!c.rest.empty()) return Fail(fault, "the long polynomial line goes on");
    c = Cursor{poly_block[1]};
    if (!c.Take("  = ")) return Fail(fault, "the factored line");
  }
  if (poly_block.size() > (long_layout ? 2u : 1u)) return Fail(fault, "too many polynomial lines");
  if ((!c.rest.empty() || (long_layout && poly_block.size() == 2)) && !Factored(c, shown.factors))
    return Fail(fault, "the factored form: " + std::string(c.rest));
  if (!shown.factors.empty() && shown.factors.size() == 1 && shown.factors[0].second == 1)
    return Fail(fault, "a factored form the same as the expanded one");
  // The polynomial goes last when its forms, expanded and factored, take
  // more than 160 bytes.
  size_t forms = poly_block[0].size() - kPolynomial.size();
  if (!long_layout && !shown.factors.empty()) forms -= 3;                        // " = "
  if (long_layout && poly_block.size() == 2) forms += poly_block[1].size() - 4;  // "  = "
  if (long_layout != (forms > 160))
    return Fail(fault, long_layout ? "a short polynomial last" : "a long polynomial first");

  // The eigenvalue lines.
  // 0 rational lines, 1 irrational ones (exact pairs and decimals, grouped by
  // multiplicity in any order), 3 after the line that closes them.
  int next_lambda = 1, next_xi = 1, stage = 0;
  std::map<int, size_t> group_of;
  for (size_t k = 0; k < roots.size(); ++k) {
    Cursor line{roots[k]};
    const std::string here = " in \"" + std::string(roots[k]) + "\"";
    if (line.Take(kLambda) && line.AtDigit()) {
      int number = 0;
      ShownEigenvalues::Rational r;
      if (stage > 0 || !line.Int(number) || number != next_lambda++ || !line.Take(" = ") ||
          !line.Rational(r.value) || !line.Take(kAlgebraic) || !line.Int(r.algebraic) ||
          !line.Take(kGeometric) || !line.Int(r.geometric) || !line.rest.empty())
        return Fail(fault, "a rational eigenvalue line" + here);
      if (!shown.rational.empty() && shown.rational.back().value >= r.value)
        return Fail(fault, "rational eigenvalues out of order" + here);
      while (k + 1 < roots.size() && roots[k + 1].substr(0, 2 + kXi.size()) == "  ξ") {
        Cursor v{roots[++k]};
        int j = 0;
        bool ok = v.Take("  ") && v.Take(kXi) && v.Int(j) && j == next_xi++ && v.Take(" = (");
        r.basis.emplace_back();
        for (mpq_class e; ok;) {
          ok = v.Rational(e) && e.get_den() == 1;
          r.basis.back().push_back(e.get_num());
          if (!v.Take(", ")) break;
        }
        if (!ok || !v.Take(")^T") || !v.rest.empty())
          return Fail(fault, "a vector line in \"" + std::string(roots[k]) + "\"");
      }
      shown.rational.push_back(std::move(r));
    } else if (Cursor q{roots[k]}; q.Take(kLambda) && q.Take(" = ")) {
      ShownEigenvalues::Quadratic pair;
      std::string why;
      if (stage > 1 || !ExactPair(q, pair) ||
          (!pair.plain && (!q.Take(" ") || !q.Take(kApprox) || !q.Take(" "))))
        return Fail(fault, "an exact pair" + here);
      if (!pair.plain &&
          (!DecimalRoots(q, pair.decimals, why) ||
           (!pair.complex &&
            (!q.Take(", ") || !DecimalRoots(q, pair.decimals, why) || pair.decimals.size() != 2))))
        return Fail(fault, "the decimals: " + why + here);
      if (!q.Take(kAlgebraicEach) || !q.Int(pair.algebraic) || pair.algebraic < 1 ||
          !q.Take(kGeometricEach) || !q.Int(pair.geometric) || !q.rest.empty())
        return Fail(fault, "a multiplicity" + here);
      // The vectors of the root with "+" (their values are checked where they
      // are computed), then the line on the other root's.
      for (int j = 0; k + 1 < roots.size() && roots[k + 1].substr(0, 2 + kXi.size()) == "  ξ";) {
        Cursor v{roots[++k]};
        if (!v.Take("  ") || !v.Take(kXi) || !v.Int(j) || j != next_xi++ || !v.Take(" = ("))
          return Fail(fault, "a vector line in \"" + std::string(roots[k]) + "\"");
        ++pair.vectors;
      }
      if (k + 1 == roots.size() || roots[++k].substr(0, 2) != "  ")
        return Fail(fault, "no line on the other root's vectors" + here);
      stage = 1;
      shown.quadratics.push_back(std::move(pair));
    } else if (Cursor d{roots[k]};
               d.Take(kLambda) && d.Take(" ") && d.Take(kApprox) && d.Take(" ")) {
      std::vector<ShownRoot> decimals;
      std::string why;
      int m = 0;
      if (stage > 1 || !DecimalRoots(d, decimals, why) || !Multiplicity(d, decimals.size() == 2, m))
        return Fail(fault, "a decimal root " + why + here);
      stage = 1;
      auto [it, inserted] = group_of.emplace(m, shown.others.size());
      if (inserted) shown.others.push_back({{}, m});
      auto& group = shown.others[it->second].roots;
      group.insert(group.end(), decimals.begin(), decimals.end());
    } else if (roots[k] == kNoVectors) {
      if (stage == 0 || stage == 3 || k + 1 != roots.size())
        return Fail(fault, "the line of irrational eigenvalues out of place");
      stage = 3;
      shown.no_vectors_line = true;
    } else {
      fault = "an unknown line" + here;
      return false;
    }
  }
  if (verdict.size() != 1 || (verdict[0] != kYes && verdict[0] != kNo && verdict[0] != kComplexYes))
    return Fail(fault, "the verdict");
  shown.diagonalisable = verdict[0] != kNo;
  shown.over_complex_only = verdict[0] == kComplexYes;
  return true;
}

}  // namespace calc::testing
