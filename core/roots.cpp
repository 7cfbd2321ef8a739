#include "roots.h"

#include <cmath>

#include "integer.h"

namespace calc {

namespace {

// A few floats of one precision for the duration of a computation.
class Floats {
 public:
  Floats(int count, long precision) : v_(count) {
    for (__mpf_struct& f : v_) mpf_init2(&f, precision);
  }
  ~Floats() {
    for (__mpf_struct& f : v_) mpf_clear(&f);
  }
  Floats(const Floats&) = delete;
  Floats& operator=(const Floats&) = delete;
  mpf_ptr operator[](int k) { return &v_[k]; }

 private:
  std::vector<__mpf_struct> v_;
};

// The binary exponent of x: 2^(b-1) <= |x| < 2^b; a very small number for 0.
long BinaryExponent(mpf_srcptr x) {
  if (mpf_sgn(x) == 0) return -(1L << 30);
  long b = 0;
  mpf_get_d_2exp(&b, x);
  return b;
}

long ComplexExponent(mpf_srcptr re, mpf_srcptr im) {
  const long a = BinaryExponent(re), b = BinaryExponent(im);
  return a > b ? a : b;
}

// (xr + xi i) * (yr + yi i) into (rr, ri); t0, t1 are scratch. The result
// may not share storage with the operands.
void ComplexMultiply(mpf_ptr rr, mpf_ptr ri, mpf_srcptr xr, mpf_srcptr xi, mpf_srcptr yr,
                     mpf_srcptr yi, mpf_ptr t0) {
  mpf_mul(rr, xr, yr);
  mpf_mul(t0, xi, yi);
  mpf_sub(rr, rr, t0);
  mpf_mul(ri, xr, yi);
  mpf_mul(t0, xi, yr);
  mpf_add(ri, ri, t0);
}

// (xr + xi i) / (yr + yi i), as above; y not 0.
void ComplexDivide(mpf_ptr rr, mpf_ptr ri, mpf_srcptr xr, mpf_srcptr xi, mpf_srcptr yr,
                   mpf_srcptr yi, mpf_ptr t0, mpf_ptr t1) {
  mpf_mul(t1, yr, yr);
  mpf_mul(t0, yi, yi);
  mpf_add(t1, t1, t0);  // |y|^2
  mpf_mul(rr, xr, yr);
  mpf_mul(t0, xi, yi);
  mpf_add(rr, rr, t0);
  mpf_div(rr, rr, t1);
  mpf_mul(ri, xi, yr);
  mpf_mul(t0, xr, yi);
  mpf_sub(ri, ri, t0);
  mpf_div(ri, ri, t1);
}

void Square(mpz_ptr r, mpz_srcptr x) {
  mpz_mul(r, x, x);
}

}  // namespace

RootIsolation::RootIsolation(const ZPoly& f) : f_(f), degree_(Degree(f)) {}

RootIsolation::~RootIsolation() {
  for (auto* v : {&coef_, &re_, &im_}) {
    for (__mpf_struct& x : *v) mpf_clear(&x);
  }
}

void RootIsolation::SetPrecision(long bits) {
  precision_ = bits;
  if (coef_.empty()) {
    coef_.resize(degree_ + 1);
    re_.resize(degree_);
    im_.resize(degree_);
    for (auto* v : {&coef_, &re_, &im_}) {
      for (__mpf_struct& x : *v) mpf_init2(&x, bits);
    }
  } else {
    for (auto* v : {&coef_, &re_, &im_}) {
      for (__mpf_struct& x : *v) mpf_set_prec(&x, bits);
    }
  }
  for (int k = 0; k <= degree_; ++k) mpf_set_z(&coef_[k], f_[k].get());
}

// Points on circles whose radii the Newton polygon of |coefficients| gives,
// as many on each as the roots of that size.
void RootIsolation::StartingPoints() {
  std::vector<double> lg(degree_ + 1);
  std::vector<int> hull;
  for (int k = 0; k <= degree_; ++k) {
    if (f_[k].Sign() == 0) continue;
    long x = 0;
    const double d = mpz_get_d_2exp(&x, f_[k].get());
    lg[k] = static_cast<double>(x) + std::log2(std::fabs(d));
    // The upper hull of the points (k, lg[k]).
    while (hull.size() >= 2) {
      const int a = hull[hull.size() - 2], b = hull.back();
      if ((lg[b] - lg[a]) * (k - a) <= (lg[k] - lg[a]) * (b - a)) {
        hull.pop_back();
      } else {
        break;
      }
    }
    hull.push_back(k);
  }
  Floats t(1, precision_);
  int index = 0;
  for (size_t h = 0; h + 1 < hull.size(); ++h) {
    const int k1 = hull[h], k2 = hull[h + 1], count = k2 - k1;
    const double log_radius = (lg[k1] - lg[k2]) / count;
    const double whole = std::floor(log_radius);
    const double scale = std::exp2(log_radius - whole);
    for (int j = 0; j < count; ++j, ++index) {
      const double angle = 6.283185307179586 * j / count + 1.9 * h + 0.4;
      mpf_set_d(&re_[index], scale * std::cos(angle));
      mpf_set_d(&im_[index], scale * std::sin(angle));
      for (__mpf_struct* x : {&re_[index], &im_[index]}) {
        if (whole >= 0) {
          mpf_mul_2exp(x, x, static_cast<unsigned long>(whole));
        } else {
          mpf_div_2exp(x, x, static_cast<unsigned long>(-whole));
        }
      }
    }
  }
  (void)t;
}

// Aberth-Ehrlich steps, each root corrected in turn, until every
// correction is below 2^-(3/4 precision) of its root or max_rounds pass.
bool RootIsolation::Iterate(int max_rounds) {
  Floats t(14, precision_);
  mpf_ptr pr = t[0], pi = t[1], dr = t[2], di = t[3], sr = t[4], si = t[5];
  mpf_ptr nr = t[6], ni = t[7], wr = t[8], wi = t[9], ar = t[10], ai = t[11];
  mpf_ptr t0 = t[12], t1 = t[13];
  const long goal = precision_ * 3 / 4;
  for (int round = 0; round < max_rounds; ++round) {
    bool converged = true;
    for (int i = 0; i < degree_; ++i) {
      mpf_ptr zr = &re_[i], zi = &im_[i];
      // f(z) and f'(z) by Horner.
      mpf_set(pr, &coef_[degree_]);
      mpf_set_ui(pi, 0);
      mpf_set_ui(dr, 0);
      mpf_set_ui(di, 0);
      for (int k = degree_ - 1; k >= 0; --k) {
        ComplexMultiply(ar, ai, dr, di, zr, zi, t0);
        mpf_add(dr, ar, pr);
        mpf_set(di, ai);
        mpf_add(di, di, pi);
        ComplexMultiply(ar, ai, pr, pi, zr, zi, t0);
        mpf_add(pr, ar, &coef_[k]);
        mpf_set(pi, ai);
      }
      if (mpf_sgn(pr) == 0 && mpf_sgn(pi) == 0) continue;
      if (mpf_sgn(dr) == 0 && mpf_sgn(di) == 0) {
        // A stationary point: nudge the root off it.
        mpf_set_d(t0, 1.0 / 1024);
        mpf_add(zi, zi, t0);
        converged = false;
        continue;
      }
      ComplexDivide(nr, ni, pr, pi, dr, di, t0, t1);  // Newton's correction
      mpf_set_ui(sr, 0);
      mpf_set_ui(si, 0);
      for (int j = 0; j < degree_; ++j) {
        if (j == i) continue;
        mpf_sub(ar, zr, &re_[j]);
        mpf_sub(ai, zi, &im_[j]);
        if (mpf_sgn(ar) == 0 && mpf_sgn(ai) == 0) continue;
        // 1 / (z_i - z_j) = conj / |.|^2
        mpf_mul(t0, ar, ar);
        mpf_mul(t1, ai, ai);
        mpf_add(t0, t0, t1);
        mpf_div(t1, ar, t0);
        mpf_add(sr, sr, t1);
        mpf_div(t1, ai, t0);
        mpf_sub(si, si, t1);
      }
      // w = N / (1 - N S)
      ComplexMultiply(ar, ai, nr, ni, sr, si, t0);
      mpf_ui_sub(ar, 1, ar);
      mpf_neg(ai, ai);
      if (mpf_sgn(ar) == 0 && mpf_sgn(ai) == 0) {
        mpf_set(wr, nr);
        mpf_set(wi, ni);
      } else {
        ComplexDivide(wr, wi, nr, ni, ar, ai, t0, t1);
      }
      mpf_sub(zr, zr, wr);
      mpf_sub(zi, zi, wi);
      if (ComplexExponent(wr, wi) > ComplexExponent(zr, zi) - goal) converged = false;
    }
    if (converged) return true;
  }
  return false;
}

bool RootIsolation::Certify() {
  const int d = degree_;
  Floats t(3, precision_);
  // Real roots onto the axis, the others into exact conjugate pairs.
  const long real_gap = precision_ / 2;
  std::vector<int> partner(d, -1);
  for (int i = 0; i < d; ++i) {
    if (ComplexExponent(&re_[i], &im_[i]) - BinaryExponent(&im_[i]) > real_gap) {
      mpf_set_ui(&im_[i], 0);
      partner[i] = i;
    }
  }
  for (int i = 0; i < d; ++i) {
    if (partner[i] >= 0 || mpf_sgn(&im_[i]) < 0) continue;
    int best = -1;
    long best_exponent = 0;
    for (int j = 0; j < d; ++j) {
      if (partner[j] >= 0 || mpf_sgn(&im_[j]) >= 0) continue;
      mpf_sub(t[0], &re_[i], &re_[j]);
      mpf_add(t[1], &im_[i], &im_[j]);
      const long distance = ComplexExponent(t[0], t[1]);
      if (best < 0 || distance < best_exponent) {
        best = j;
        best_exponent = distance;
      }
    }
    if (best < 0) return false;
    partner[i] = best;
    partner[best] = i;
    mpf_add(&re_[i], &re_[i], &re_[best]);
    mpf_div_2exp(&re_[i], &re_[i], 1);
    mpf_sub(&im_[i], &im_[i], &im_[best]);
    mpf_div_2exp(&im_[i], &im_[i], 1);
    mpf_set(&re_[best], &re_[i]);
    mpf_neg(&im_[best], &im_[i]);
  }
  for (int i = 0; i < d; ++i) {
    if (partner[i] < 0) return false;
  }

  // The centres on the grid 2^-e, fine enough for the smallest root.
  long smallest = 0;
  for (int i = 0; i < d; ++i) {
    const long x = ComplexExponent(&re_[i], &im_[i]);
    if (x < smallest) smallest = x;
  }
  const long e = precision_ - smallest + 2;
  std::vector<Disk> disks(d);
  for (int i = 0; i < d; ++i) {
    mpf_mul_2exp(t[0], &re_[i], e);
    mpz_set_f(disks[i].re.get(), t[0]);
    mpf_mul_2exp(t[0], &im_[i], e);
    mpz_set_f(disks[i].im.get(), t[0]);
  }
  // 2^(e(d-k)) f_k, so that 2^(ed) f(w / 2^e) is a sum of integers.
  ZPoly shifted(d + 1);
  for (int k = 0; k <= d; ++k) mpz_mul_2exp(shifted[k].get(), f_[k].get(), e * (d - k));
  // |z_i - z_j|^2 on the grid.
  std::vector<Mpz> distance(d * d);
  Mpz x, y, gr, gi, n, q;
  for (int i = 0; i < d; ++i) {
    for (int j = i + 1; j < d; ++j) {
      mpz_sub(x.get(), disks[i].re.get(), disks[j].re.get());
      mpz_sub(y.get(), disks[i].im.get(), disks[j].im.get());
      Square(x.get(), x.get());
      Square(y.get(), y.get());
      mpz_add(distance[i * d + j].get(), x.get(), y.get());
      if (distance[i * d + j].Sign() == 0) return false;
      mpz_set(distance[j * d + i].get(), distance[i * d + j].get());
    }
  }
  for (int i = 0; i < d; ++i) {
    // The disk of a conjugate is the mirror image: its radius is the same.
    const int mirror = partner[i];
    if (mirror < i) {
      mpz_set(disks[i].radius.get(), disks[mirror].radius.get());
      continue;
    }
    // G = 2^(ed) f(z_i), on Gaussian integers (on integers for a real z_i).
    const bool real = disks[i].im.Sign() == 0;
    mpz_set(gr.get(), shifted[d].get());
    mpz_set_ui(gi.get(), 0);
    for (int k = d - 1; k >= 0; --k) {
      if (real) {
        mpz_mul(gr.get(), gr.get(), disks[i].re.get());
        mpz_add(gr.get(), gr.get(), shifted[k].get());
        continue;
      }
      mpz_mul(x.get(), gr.get(), disks[i].re.get());
      mpz_submul(x.get(), gi.get(), disks[i].im.get());
      mpz_mul(y.get(), gr.get(), disks[i].im.get());
      mpz_addmul(y.get(), gi.get(), disks[i].re.get());
      mpz_add(gr.get(), x.get(), shifted[k].get());
      mpz_swap(gi.get(), y.get());
    }
    // (radius 2^e)^2 = d^2 |G|^2 / (lc^2 prod |delta|^2), rounded up: the
    // product is bounded from below, cut to its leading 96 bits as it grows.
    Square(n.get(), gr.get());
    mpz_addmul(n.get(), gi.get(), gi.get());
    mpz_mul_ui(n.get(), n.get(), static_cast<unsigned long>(d) * d);
    Square(q.get(), Lead(f_));
    unsigned long cut = 0;
    for (int j = 0; j < d; ++j) {
      if (j == i) continue;
      mpz_mul(q.get(), q.get(), distance[i * d + j].get());
      const size_t size = mpz_sizeinbase(q.get(), 2);
      if (size > 128) {
        mpz_fdiv_q_2exp(q.get(), q.get(), size - 96);
        cut += size - 96;
      }
    }
    mpz_cdiv_q_2exp(n.get(), n.get(), cut);
    mpz_cdiv_q(n.get(), n.get(), q.get());
    mpz_sqrtrem(x.get(), y.get(), n.get());
    if (y.Sign() != 0) mpz_add_ui(x.get(), x.get(), 1);
    if (x.Sign() == 0) mpz_set_ui(x.get(), 1);
    mpz_swap(disks[i].radius.get(), x.get());
  }
  for (int i = 0; i < d; ++i) {
    for (int j = i + 1; j < d; ++j) {
      mpz_add(x.get(), disks[i].radius.get(), disks[j].radius.get());
      Square(x.get(), x.get());
      if (mpz_cmp(x.get(), distance[i * d + j].get()) >= 0) return false;
    }
  }
  disks_ = std::move(disks);
  e_ = e;
  return true;
}

// Aberth-Ehrlich rounds in machine floats until every correction is below
// tiny times its root; whether they got there within max_rounds. False
// also when a value leaves the floats' range.
template <typename Real>
bool AberthRounds(const Real* c, int d, Real* zr, Real* zi, Real tiny, int max_rounds,
                  bool& finite) {
  finite = true;
  for (int round = 0; round < max_rounds; ++round) {
    bool converged = true;
    for (int i = 0; i < d; ++i) {
      Real pr = c[d], pi = 0, dr = 0, di = 0;
      for (int k = d - 1; k >= 0; --k) {
        const Real ndr = dr * zr[i] - di * zi[i] + pr, ndi = dr * zi[i] + di * zr[i] + pi;
        dr = ndr;
        di = ndi;
        const Real npr = pr * zr[i] - pi * zi[i] + c[k], npi = pr * zi[i] + pi * zr[i];
        pr = npr;
        pi = npi;
      }
      if (pr == 0 && pi == 0) continue;
      const Real dd = dr * dr + di * di;
      if (dd == 0 || !std::isfinite(dd)) return finite = false;
      const Real nr = (pr * dr + pi * di) / dd, ni = (pi * dr - pr * di) / dd;
      Real sr = 0, si = 0;
      for (int j = 0; j < d; ++j) {
        if (j == i) continue;
        const Real ar = zr[i] - zr[j], ai = zi[i] - zi[j], aa = ar * ar + ai * ai;
        if (aa == 0) continue;
        sr += ar / aa;
        si -= ai / aa;
      }
      const Real br = 1 - (nr * sr - ni * si), bi = -(nr * si + ni * sr);
      Real wr = nr, wi = ni;
      const Real bb = br * br + bi * bi;
      if (bb != 0) {
        wr = (nr * br + ni * bi) / bb;
        wi = (ni * br - nr * bi) / bb;
      }
      if (!std::isfinite(wr) || !std::isfinite(wi)) return finite = false;
      zr[i] -= wr;
      zi[i] -= wi;
      if (std::fabs(wr) + std::fabs(wi) > tiny * (std::fabs(zr[i]) + std::fabs(zi[i]))) {
        converged = false;
      }
    }
    if (converged) return true;
  }
  return false;
}

// The iteration in machine floats: most of the way at a fraction of the
// cost of GMP's. In doubles first when the coefficients fit their range,
// then in the extended floats (64-bit mantissa, an exponent range to
// 10^4932, room for the coefficients of any polynomial here). False when a
// value leaves the range or the iteration does not settle.
bool RootIsolation::IterateInMachineFloats() {
  typedef long double Real;
  const int d = degree_;
  std::vector<Real> c(d + 1), zr(d), zi(d);
  bool doubles = true;
  for (int k = 0; k <= d; ++k) {
    long x = 0;
    const double m = mpz_get_d_2exp(&x, f_[k].get());
    c[k] = std::ldexp(static_cast<Real>(m), static_cast<int>(x));
    if (!std::isfinite(c[k])) return false;
    if (x > 900 || (m != 0 && x < -900)) doubles = false;
  }
  for (int i = 0; i < d; ++i) {
    zr[i] = static_cast<Real>(mpf_get_d(&re_[i]));
    zi[i] = static_cast<Real>(mpf_get_d(&im_[i]));
    if (!std::isfinite(zr[i]) || !std::isfinite(zi[i]) || (zr[i] == 0 && zi[i] == 0)) return false;
  }
  bool finite = true;
  if (doubles) {
    std::vector<double> cd(c.begin(), c.end()), zrd(zr.begin(), zr.end()), zid(zi.begin(), zi.end());
    AberthRounds(cd.data(), d, zrd.data(), zid.data(), std::ldexp(1.0, -48), 300, finite);
    if (finite) {
      for (int i = 0; i < d; ++i) {
        zr[i] = zrd[i];
        zi[i] = zid[i];
      }
    }
  }
  const bool settled = AberthRounds(c.data(), d, zr.data(), zi.data(),
                                    std::ldexp(static_cast<Real>(1), -60), 300, finite);
  if (!finite) return false;
  Floats t(1, precision_);
  for (int i = 0; i < d; ++i) {
    // Through a double's mantissa and an exponent: mpf takes no long double.
    for (auto [from, to] : {std::pair<Real, mpf_ptr>{zr[i], &re_[i]}, {zi[i], &im_[i]}}) {
      int x = 0;
      const Real m = std::frexp(from, &x);
      const double high = static_cast<double>(m);
      const double low = static_cast<double>(m - high);
      mpf_set_d(to, high);
      mpf_set_d(t[0], low);
      mpf_add(to, to, t[0]);
      if (x >= 0) {
        mpf_mul_2exp(to, to, x);
      } else {
        mpf_div_2exp(to, to, -x);
      }
    }
  }
  return settled;
}

void RootIsolation::Refine() {
  if (precision_ == 0) {
    // Mostly the extended floats' 64 bits are proof enough.
    SetPrecision(64);
    StartingPoints();
    if (IterateInMachineFloats() && Certify()) return;
    SetPrecision(128);
    Iterate(400);
  } else {
    SetPrecision(precision_ * 2);
    Iterate(50);
  }
  while (!Certify()) {
    SetPrecision(precision_ * 2);
    Iterate(100);
  }
}

namespace {

void PowerOfTen(mpz_ptr r, long k) {
  mpz_ui_pow_ui(r, 10, static_cast<unsigned long>(k));
}

// The sign of |x| / 2^e - 10^p.
int CompareWithPowerOfTen(mpz_srcptr magnitude, long e, long p) {
  Mpz left, right(1L), ten;
  mpz_abs(left.get(), magnitude);
  mpz_mul_2exp(right.get(), right.get(), e);
  if (p >= 0) {
    PowerOfTen(ten.get(), p);
    mpz_mul(right.get(), right.get(), ten.get());
  } else {
    PowerOfTen(ten.get(), -p);
    mpz_mul(left.get(), left.get(), ten.get());
  }
  return mpz_cmp(left.get(), right.get());
}

// m / 10^decimals in positional form: "-0.0012", "1234".
void AppendScaled(mpz_srcptr m, long decimals, std::string& text) {
  if (mpz_sgn(m) < 0) text += '-';
  Mpz magnitude;
  mpz_abs(magnitude.get(), m);
  std::string digits(mpz_sizeinbase(magnitude.get(), 10) + 2, '\0');
  mpz_get_str(&digits[0], 10, magnitude.get());
  digits.resize(digits.find('\0'));
  if (decimals <= 0) {
    text += digits;
    return;
  }
  if (static_cast<long>(digits.size()) <= decimals) {
    digits.insert(0, decimals + 1 - digits.size(), '0');
  }
  text.append(digits, 0, digits.size() - decimals);
  text += '.';
  text.append(digits, digits.size() - decimals, std::string::npos);
}

}  // namespace

namespace {

// p with 10^p <= |v| / 2^e < 10^(p+1), estimated from the bits, then exact.
long DecimalExponent(mpz_srcptr v, long e) {
  long p = static_cast<long>(
      std::floor((static_cast<double>(mpz_sizeinbase(v, 2)) - 1 - e) * 0.30102999566398120));
  while (CompareWithPowerOfTen(v, e, p) < 0) --p;
  while (CompareWithPowerOfTen(v, e, p + 1) >= 0) ++p;
  return p;
}

// m = v / 2^e rounded to a multiple of 10^k (in units of 10^k). Certified
// when the disk's radius leaves it within one unit: |v / 2^e - m 10^k| < 10^k.
bool RoundToUnit(mpz_srcptr v, mpz_srcptr radius, long e, long k, mpz_ptr m) {
  Mpz num(v), rad(radius), den(1L), ten, x;
  mpz_mul_2exp(den.get(), den.get(), e);
  if (k <= 0) {
    PowerOfTen(ten.get(), -k);
    mpz_mul(num.get(), num.get(), ten.get());
    mpz_mul(rad.get(), rad.get(), ten.get());
  } else {
    PowerOfTen(ten.get(), k);
    mpz_mul(den.get(), den.get(), ten.get());
  }
  // floor((2 num + den) / (2 den))
  mpz_mul_2exp(x.get(), num.get(), 1);
  mpz_add(x.get(), x.get(), den.get());
  mpz_fdiv_q(m, x.get(), den.get());
  mpz_fdiv_q_2exp(m, m, 1);
  mpz_submul(num.get(), m, den.get());
  mpz_abs(x.get(), num.get());
  mpz_add(x.get(), x.get(), rad.get());
  return mpz_cmp(x.get(), den.get()) < 0;
}

}  // namespace

bool CertifiedDecimal(const Disk& disk, long e, bool complex, std::string& text) {
  Mpz part[2], m[2], ten10;
  mpz_set(part[0].get(), disk.re.get());
  if (complex) mpz_abs(part[1].get(), disk.im.get());
  const int parts = complex ? 2 : 1;
  // Each part's leading digit; a part that is 0 on the grid has none.
  long lead[2] = {0, 0};
  bool zero[2] = {true, true};
  long top = 0;
  bool any = false;
  for (int i = 0; i < parts; ++i) {
    zero[i] = part[i].Sign() == 0;
    if (zero[i]) continue;
    lead[i] = DecimalExponent(part[i].get(), e);
    if (!any || lead[i] > top) top = lead[i];
    any = true;
  }
  if (!any) return false;
  PowerOfTen(ten10.get(), 10);
  // 10 significant digits per part, but none below the 20th digit of the
  // larger part (a part that small, or 0, shows as 0 there).
  long unit[2];
  for (int i = 0; i < parts; ++i) {
    long p = zero[i] || lead[i] < top - 10 ? top - 10 : lead[i];
    unit[i] = p - 9;
    if (!RoundToUnit(part[i].get(), disk.radius.get(), e, unit[i], m[i].get())) return false;
    if (mpz_cmpabs(m[i].get(), ten10.get()) >= 0) {
      // Rounded up into an eleventh digit: one place further left.
      ++p;
      if (p > top) top = p;
      unit[i] = p - 9;
      if (!RoundToUnit(part[i].get(), disk.radius.get(), e, unit[i], m[i].get())) return false;
    }
  }
  const bool positional = top >= -5 && top <= 9;
  // Digits after the point: of the value itself, or of its mantissa.
  auto decimals = [&](int i) { return positional ? -unit[i] : top - unit[i]; };
  std::string exponent;
  if (!positional) {
    char digits[24];
    exponent.append("×10^").append(digits, WriteDecimal(top, digits));
  }
  if (!complex) {
    AppendScaled(m[0].get(), decimals(0), text);
    text += exponent;
    return true;
  }
  std::string im;
  AppendScaled(m[1].get(), decimals(1), im);
  if (m[0].Sign() == 0) {
    text += positional ? "±" + im + "i" : "±(" + im + exponent + ")i";
    return true;
  }
  if (!positional) text += '(';
  AppendScaled(m[0].get(), decimals(0), text);
  text += " ± " + im + "i";
  if (!positional) text += ")" + exponent;
  return true;
}

}  // namespace calc
