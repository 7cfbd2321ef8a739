#include "certified_decimals.h"

namespace calc::testing {

namespace {

constexpr std::string_view kPlusMinus = "±", kTimes = "×";

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

}  // namespace

bool ParseDecimalRoots(std::string_view text, std::vector<ShownRoot>& roots, std::string& fault) {
  Cursor c{text};
  if (!DecimalRoots(c, roots, fault)) return false;
  return c.rest.empty() || Fail(fault, "text after the decimal: " + std::string(c.rest));
}

}  // namespace calc::testing
