#include "roots.h"

#include <cmath>
#include <cstring>

#include "integer.h"

namespace calc {

namespace {

void Square(mpz_ptr r, mpz_srcptr x) {
  mpz_mul(r, x, x);
}

// x 2^k for doubles, by products with powers of two (exact while in range).
double Scale2(double x, long k) {
  for (; k > 0; k -= k > 60 ? 60 : k) x *= static_cast<double>(uint64_t{1} << (k > 60 ? 60 : k));
  for (; k < 0; k += k < -60 ? 60 : -k)
    x /= static_cast<double>(uint64_t{1} << (k < -60 ? 60 : -k));
  return x;
}

// floor(log2 |x|) + 1 for a finite x not 0, from its binary form.
int BinaryExponent(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const int field = static_cast<int>((bits >> 52) & 0x7ff);
  if (field != 0) return field - 1022;
  // Subnormal: scale up first.
  return BinaryExponent(x * 18014398509481984.0) - 54;
}

// f's coefficients times 2^-top, truncated to doubles (each within 2^-52
// of its own size), top the largest one's binary exponent; false when one
// that is not 0 would fall below 2^-1000.
bool CoefficientsInDoubles(const ZPoly& f, std::vector<double>& c) {
  const size_t size = f.size();
  c.assign(size, 0);
  std::vector<long> exponent(size);
  long top = 0;
  for (size_t k = 0; k < size; ++k) {
    c[k] = mpz_get_d_2exp(&exponent[k], f[k].get());
    if (k == 0 || exponent[k] > top) top = exponent[k];
  }
  for (size_t k = 0; k < size; ++k) {
    if (c[k] == 0) continue;
    if (exponent[k] - top < -1000) return false;
    c[k] = Scale2(c[k], exponent[k] - top);
  }
  return true;
}

// The number of bits of the larger part of a + bi (0 for 0).
long Bits(mpz_srcptr a, mpz_srcptr b) {
  const long x = mpz_sgn(a) != 0 ? static_cast<long>(mpz_sizeinbase(a, 2)) : 0;
  const long y = mpz_sgn(b) != 0 ? static_cast<long>(mpz_sizeinbase(b, 2)) : 0;
  return x > y ? x : y;
}

// cos and sin of 2 pi j / 20: the directions of the starting points.
constexpr double kCircle[20][2] = {
    {1.0, 0.0},
    {0.951056516, 0.309016994},
    {0.809016994, 0.587785252},
    {0.587785252, 0.809016994},
    {0.309016994, 0.951056516},
    {0.0, 1.0},
    {-0.309016994, 0.951056516},
    {-0.587785252, 0.809016994},
    {-0.809016994, 0.587785252},
    {-0.951056516, 0.309016994},
    {-1.0, 0.0},
    {-0.951056516, -0.309016994},
    {-0.809016994, -0.587785252},
    {-0.587785252, -0.809016994},
    {-0.309016994, -0.951056516},
    {0.0, -1.0},
    {0.309016994, -0.951056516},
    {0.587785252, -0.809016994},
    {0.809016994, -0.587785252},
    {0.951056516, -0.309016994},
};

// Complex numbers in fixed point, (re + im i) / 2^e, on GMP's integers,
// with the scratch space their products and quotients need.
class FixedPoint {
 public:
  explicit FixedPoint(long e) : e_(e) {}
  // r = x y
  void Mul(Mpz& rr, Mpz& ri, const Mpz& xr, const Mpz& xi, const Mpz& yr, const Mpz& yi) {
    mpz_mul(a_.get(), xr.get(), yr.get());
    mpz_submul(a_.get(), xi.get(), yi.get());
    mpz_mul(b_.get(), xr.get(), yi.get());
    mpz_addmul(b_.get(), xi.get(), yr.get());
    mpz_fdiv_q_2exp(rr.get(), a_.get(), e_);
    mpz_fdiv_q_2exp(ri.get(), b_.get(), e_);
  }
  // r = x / y (y not 0)
  void Div(Mpz& rr, Mpz& ri, const Mpz& xr, const Mpz& xi, const Mpz& yr, const Mpz& yi) {
    mpz_mul(n_.get(), yr.get(), yr.get());
    mpz_addmul(n_.get(), yi.get(), yi.get());
    mpz_mul(a_.get(), xr.get(), yr.get());
    mpz_addmul(a_.get(), xi.get(), yi.get());
    mpz_mul(b_.get(), xi.get(), yr.get());
    mpz_submul(b_.get(), xr.get(), yi.get());
    mpz_mul_2exp(a_.get(), a_.get(), e_);
    mpz_mul_2exp(b_.get(), b_.get(), e_);
    mpz_tdiv_qr(rr.get(), rest_.get(), a_.get(), n_.get());
    mpz_tdiv_qr(ri.get(), rest_.get(), b_.get(), n_.get());
  }

 private:
  long e_;
  Mpz a_, b_, n_, rest_;
};

// Real roots onto the axis (those whose imaginary part is below
// 2^-real_gap of their size), the others into exact conjugate pairs, each
// with the nearest mirror image of the other half-plane: partner[i] is the
// conjugate of root i (i itself for a real root). False when some root
// finds no partner.
bool PairConjugates(std::vector<Mpz>& re, std::vector<Mpz>& im, long real_gap,
                    std::vector<int>& partner) {
  const int d = static_cast<int>(re.size());
  partner.assign(d, -1);
  Mpz x, y;
  for (int i = 0; i < d; ++i) {
    if (im[i].Sign() == 0 ||
        Bits(re[i].get(), im[i].get()) - Bits(im[i].get(), x.get()) > real_gap) {
      mpz_set_ui(im[i].get(), 0);
      partner[i] = i;
    }
  }
  for (int i = 0; i < d; ++i) {
    if (partner[i] >= 0 || im[i].Sign() < 0) continue;
    int best = -1;
    long best_bits = 0;
    for (int j = 0; j < d; ++j) {
      if (partner[j] >= 0 || im[j].Sign() >= 0) continue;
      mpz_sub(x.get(), re[i].get(), re[j].get());
      mpz_add(y.get(), im[i].get(), im[j].get());
      const long distance = Bits(x.get(), y.get());
      if (best < 0 || distance < best_bits) {
        best = j;
        best_bits = distance;
      }
    }
    if (best < 0) return false;
    partner[i] = best;
    partner[best] = i;
    mpz_add(x.get(), re[i].get(), re[best].get());
    mpz_fdiv_q_2exp(re[i].get(), x.get(), 1);
    mpz_sub(y.get(), im[i].get(), im[best].get());
    mpz_fdiv_q_2exp(im[i].get(), y.get(), 1);
    mpz_set(re[best].get(), re[i].get());
    mpz_neg(im[best].get(), im[i].get());
  }
  for (int i = 0; i < d; ++i) {
    if (partner[i] < 0) return false;
  }
  return true;
}

// Working integers of the exact radii, with room for the largest values at
// once, so that Horner's rule does not grow them step by step.
struct RadiusWork {
  Mpz x, y, gr, gi, n, q;
};

// The radius of disk i on the grid 2^-e, exactly and rounded up, from
// shifted = 2^(e(d-k)) f_k (so that 2^(ed) f(w / 2^e) is a sum of
// integers) and the squared distances |z_i - z_j|^2 on the grid:
// (radius 2^e)^2 = d^2 |G|^2 / (lc^2 prod |delta|^2), G = 2^(ed) f(z_i).
void ExactRadius(const ZPoly& shifted, mpz_srcptr lead, const std::vector<Mpz>& distance, int i,
                 Disk& disk, RadiusWork& w) {
  const int d = Degree(shifted);
  // G on Gaussian integers (on integers for a real z_i).
  const bool real = disk.im.Sign() == 0;
  mpz_set(w.gr.get(), shifted[d].get());
  mpz_set_ui(w.gi.get(), 0);
  for (int k = d - 1; k >= 0; --k) {
    if (real) {
      mpz_mul(w.gr.get(), w.gr.get(), disk.re.get());
      mpz_add(w.gr.get(), w.gr.get(), shifted[k].get());
      continue;
    }
    mpz_mul(w.x.get(), w.gr.get(), disk.re.get());
    mpz_submul(w.x.get(), w.gi.get(), disk.im.get());
    mpz_mul(w.y.get(), w.gr.get(), disk.im.get());
    mpz_addmul(w.y.get(), w.gi.get(), disk.re.get());
    mpz_add(w.gr.get(), w.x.get(), shifted[k].get());
    mpz_swap(w.gi.get(), w.y.get());
  }
  // The product is bounded from below, cut to its leading 96 bits as it
  // grows.
  Square(w.n.get(), w.gr.get());
  mpz_addmul(w.n.get(), w.gi.get(), w.gi.get());
  mpz_mul_ui(w.n.get(), w.n.get(), static_cast<unsigned long>(d) * d);
  Square(w.q.get(), lead);
  unsigned long cut = 0;
  for (int j = 0; j < d; ++j) {
    if (j == i) continue;
    mpz_mul(w.q.get(), w.q.get(), distance[i < j ? i * d + j : j * d + i].get());
    const size_t size = mpz_sizeinbase(w.q.get(), 2);
    if (size > 128) {
      mpz_fdiv_q_2exp(w.q.get(), w.q.get(), size - 96);
      cut += size - 96;
    }
  }
  mpz_cdiv_q_2exp(w.n.get(), w.n.get(), cut);
  mpz_cdiv_q(w.n.get(), w.n.get(), w.q.get());
  SquareRoot(w.x.get(), w.n.get());
  mpz_mul(w.y.get(), w.x.get(), w.x.get());
  if (mpz_cmp(w.y.get(), w.n.get()) < 0) mpz_add_ui(w.x.get(), w.x.get(), 1);
  if (w.x.Sign() == 0) mpz_set_ui(w.x.get(), 1);
  mpz_swap(disk.radius.get(), w.x.get());
}

// The disks' radii in exact arithmetic (a conjugate's disk is the mirror
// image, of the same radius); false when two disks meet.
bool ExactRadii(const ZPoly& f, long e, std::vector<Disk>& disks, const std::vector<int>& partner) {
  const int d = Degree(f);
  ZPoly shifted(d + 1);
  for (int k = 0; k <= d; ++k) mpz_mul_2exp(shifted[k].get(), f[k].get(), e * (d - k));
  RadiusWork w;
  size_t room = 0;
  for (const Mpz& c : shifted) {
    if (mpz_sizeinbase(c.get(), 2) > room) room = mpz_sizeinbase(c.get(), 2);
  }
  long largest = 0;
  for (int i = 0; i < d; ++i) {
    const long bits = Bits(disks[i].re.get(), disks[i].im.get());
    if (bits > largest) largest = bits;
  }
  room += static_cast<size_t>(largest) * d + 128;
  for (Mpz* v : {&w.x, &w.y, &w.gr, &w.gi}) mpz_realloc2(v->get(), room);
  mpz_realloc2(w.n.get(), 2 * room + 64);
  // |z_i - z_j|^2 on the grid.
  std::vector<Mpz> distance(d * d);
  for (int i = 0; i < d; ++i) {
    for (int j = i + 1; j < d; ++j) {
      mpz_sub(w.x.get(), disks[i].re.get(), disks[j].re.get());
      mpz_sub(w.y.get(), disks[i].im.get(), disks[j].im.get());
      Square(w.x.get(), w.x.get());
      Square(w.y.get(), w.y.get());
      mpz_add(distance[i * d + j].get(), w.x.get(), w.y.get());
      if (distance[i * d + j].Sign() == 0) return false;
    }
  }
  for (int i = 0; i < d; ++i) {
    const int mirror = partner[i];
    if (mirror < i) {
      mpz_set(disks[i].radius.get(), disks[mirror].radius.get());
    } else {
      ExactRadius(shifted, Lead(f), distance, i, disks[i], w);
    }
  }
  for (int i = 0; i < d; ++i) {
    for (int j = i + 1; j < d; ++j) {
      mpz_add(w.x.get(), disks[i].radius.get(), disks[j].radius.get());
      Square(w.x.get(), w.x.get());
      if (mpz_cmp(w.x.get(), distance[i * d + j].get()) >= 0) return false;
    }
  }
  return true;
}

}  // namespace

RootIsolation::RootIsolation(const ZPoly& f)
    : f_(f), degree_(Degree(f)), re_(degree_), im_(degree_) {}

// Points on circles whose radii the Newton polygon of |coefficients| gives
// (as powers of two), as many on each as there are roots of that size; on
// the grid 2^-e_ for precision_.
void RootIsolation::StartingPoints() {
  std::vector<long> lg(degree_ + 1);
  std::vector<int> hull;
  for (int k = 0; k <= degree_; ++k) {
    if (f_[k].Sign() == 0) continue;
    lg[k] = static_cast<long>(mpz_sizeinbase(f_[k].get(), 2));
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
  std::vector<long> radius(degree_);
  long smallest = 0;
  int index = 0;
  for (size_t h = 0; h + 1 < hull.size(); ++h) {
    const int k1 = hull[h], k2 = hull[h + 1], count = k2 - k1;
    const long r = (lg[k1] - lg[k2]) / count;
    if (r < smallest) smallest = r;
    for (int j = 0; j < count; ++j) radius[index++] = r;
  }
  e_ = precision_ - smallest + 2;
  index = 0;
  for (size_t h = 0; h + 1 < hull.size(); ++h) {
    const int count = hull[h + 1] - hull[h];
    for (int j = 0; j < count; ++j, ++index) {
      const double* direction = kCircle[(20 * j / count + 3 * h + 1) % 20];
      // 2^30 (1 + h / 64) times the direction, then to 2^(radius + e_).
      const double size = 1073741824.0 * (1 + static_cast<double>(h) / 64);
      for (int part = 0; part < 2; ++part) {
        Mpz& x = part == 0 ? re_[index] : im_[index];
        mpz_set_d(x.get(), size * direction[part]);
        const long shift = radius[index] + e_ - 30;
        if (shift >= 0) {
          mpz_mul_2exp(x.get(), x.get(), static_cast<unsigned long>(shift));
        } else {
          mpz_tdiv_q_2exp(x.get(), x.get(), static_cast<unsigned long>(-shift));
        }
      }
    }
  }
}

// Aberth-Ehrlich rounds in doubles from the starting points, on the
// coefficients scaled by a power of two into the doubles' range; the result
// onto the grid for 48 bits. False when the doubles cannot hold the
// polynomial or its roots.
bool RootIsolation::StartInDoubles() {
  const int d = degree_;
  std::vector<double> c, zr(d), zi(d);
  if (!CoefficientsInDoubles(f_, c)) return false;
  for (int i = 0; i < d; ++i) {
    long x = 0;
    zr[i] = mpz_get_d_2exp(&x, re_[i].get());
    zr[i] = Scale2(zr[i], x - e_);
    zi[i] = mpz_get_d_2exp(&x, im_[i].get());
    zi[i] = Scale2(zi[i], x - e_);
  }
  const double tiny = Scale2(1.0, -48);
  // A root whose correction falls below 2^-48 of it stays where it is.
  std::vector<char> settled_root(d, 0);
  bool settled = false;
  for (int round = 0; round < 300 && !settled; ++round) {
    settled = true;
    for (int i = 0; i < d; ++i) {
      if (settled_root[i]) continue;
      double pr = c[d], pi = 0, dr = 0, di = 0;
      for (int k = d - 1; k >= 0; --k) {
        const double ndr = dr * zr[i] - di * zi[i] + pr, ndi = dr * zi[i] + di * zr[i] + pi;
        dr = ndr;
        di = ndi;
        const double npr = pr * zr[i] - pi * zi[i] + c[k], npi = pr * zi[i] + pi * zr[i];
        pr = npr;
        pi = npi;
      }
      if (pr == 0 && pi == 0) continue;
      const double dd = dr * dr + di * di;
      if (dd == 0 || !std::isfinite(dd)) return false;
      const double nr = (pr * dr + pi * di) / dd, ni = (pi * dr - pr * di) / dd;
      double sr = 0, si = 0;
      for (int j = 0; j < d; ++j) {
        if (j == i) continue;
        const double ar = zr[i] - zr[j], ai = zi[i] - zi[j], aa = ar * ar + ai * ai;
        if (aa == 0) continue;
        const double inverse = 1 / aa;
        sr += ar * inverse;
        si -= ai * inverse;
      }
      const double br = 1 - (nr * sr - ni * si), bi = -(nr * si + ni * sr);
      double wr = nr, wi = ni;
      const double bb = br * br + bi * bi;
      if (bb != 0) {
        wr = (nr * br + ni * bi) / bb;
        wi = (ni * br - nr * bi) / bb;
      }
      if (!std::isfinite(wr) || !std::isfinite(wi)) return false;
      zr[i] -= wr;
      zi[i] -= wi;
      if (std::fabs(wr) + std::fabs(wi) > tiny * (std::fabs(zr[i]) + std::fabs(zi[i]))) {
        settled = false;
      } else {
        settled_root[i] = 1;
      }
    }
  }
  // Onto the grid: 2^e_ with e_ = 48 - (the smallest root's exponent) + 2.
  int smallest = 0;
  for (int i = 0; i < d; ++i) {
    const double size = std::fabs(zr[i]) + std::fabs(zi[i]);
    if (size == 0) return false;
    const int x = BinaryExponent(size);
    if (x < smallest) smallest = x;
  }
  const long e = 48 - smallest + 2;
  for (int i = 0; i < d; ++i) {
    zr[i] = Scale2(zr[i], e);
    zi[i] = Scale2(zi[i], e);
    if (!std::isfinite(zr[i]) || !std::isfinite(zi[i])) return false;
  }
  e_ = e;
  for (int i = 0; i < d; ++i) {
    mpz_set_d(re_[i].get(), zr[i]);
    mpz_set_d(im_[i].get(), zi[i]);
  }
  return true;
}

// The approximations onto the grid for a new precision.
void RootIsolation::Regrid(long precision) {
  long smallest = 0;
  for (int i = 0; i < degree_; ++i) {
    const long bits = Bits(re_[i].get(), im_[i].get());
    if (bits != 0 && bits - e_ < smallest) smallest = bits - e_;
  }
  const long e = precision - smallest + 2;
  for (int i = 0; i < degree_; ++i) {
    for (Mpz* x : {&re_[i], &im_[i]}) {
      if (e >= e_) {
        mpz_mul_2exp(x->get(), x->get(), static_cast<unsigned long>(e - e_));
      } else {
        mpz_tdiv_q_2exp(x->get(), x->get(), static_cast<unsigned long>(e_ - e));
      }
    }
  }
  precision_ = precision;
  e_ = e;
}

// Aberth-Ehrlich steps in fixed point on the grid 2^-e_, each root
// corrected in turn, until every correction is below 2^-(3/4 precision) of
// its root or max_rounds pass.
bool RootIsolation::Iterate(int max_rounds) {
  const int d = degree_;
  FixedPoint fixed(e_);
  ZPoly c(d + 1);
  for (int k = 0; k <= d; ++k) mpz_mul_2exp(c[k].get(), f_[k].get(), e_);
  Mpz pr, pi, dr, di, nr, ni, sr, si, wr, wi, ar, ai, tr, ti, one;
  mpz_set_ui(one.get(), 1);
  mpz_mul_2exp(one.get(), one.get(), e_);
  const long goal = precision_ * 3 / 4;
  for (int round = 0; round < max_rounds; ++round) {
    bool converged = true;
    for (int i = 0; i < d; ++i) {
      Mpz& zr = re_[i];
      Mpz& zi = im_[i];
      // f(z) and f'(z) by Horner.
      mpz_set(pr.get(), c[d].get());
      mpz_set_ui(pi.get(), 0);
      mpz_set_ui(dr.get(), 0);
      mpz_set_ui(di.get(), 0);
      for (int k = d - 1; k >= 0; --k) {
        fixed.Mul(tr, ti, dr, di, zr, zi);
        mpz_add(dr.get(), tr.get(), pr.get());
        mpz_add(di.get(), ti.get(), pi.get());
        fixed.Mul(tr, ti, pr, pi, zr, zi);
        mpz_add(pr.get(), tr.get(), c[k].get());
        mpz_swap(pi.get(), ti.get());
      }
      if (pr.Sign() == 0 && pi.Sign() == 0) continue;
      if (dr.Sign() == 0 && di.Sign() == 0) {
        // A stationary point: nudge the root off it.
        mpz_tdiv_q_2exp(tr.get(), one.get(), 10);
        mpz_add(zi.get(), zi.get(), tr.get());
        converged = false;
        continue;
      }
      fixed.Div(nr, ni, pr, pi, dr, di);  // Newton's correction
      mpz_set_ui(sr.get(), 0);
      mpz_set_ui(si.get(), 0);
      for (int j = 0; j < d; ++j) {
        if (j == i) continue;
        mpz_sub(ar.get(), zr.get(), re_[j].get());
        mpz_sub(ai.get(), zi.get(), im_[j].get());
        if (ar.Sign() == 0 && ai.Sign() == 0) continue;
        fixed.Div(tr, ti, one, Mpz(), ar, ai);
        mpz_add(sr.get(), sr.get(), tr.get());
        mpz_add(si.get(), si.get(), ti.get());
      }
      // w = N / (1 - N S)
      fixed.Mul(ar, ai, nr, ni, sr, si);
      mpz_sub(ar.get(), one.get(), ar.get());
      mpz_neg(ai.get(), ai.get());
      if (ar.Sign() == 0 && ai.Sign() == 0) {
        mpz_set(wr.get(), nr.get());
        mpz_set(wi.get(), ni.get());
      } else {
        fixed.Div(wr, wi, nr, ni, ar, ai);
      }
      mpz_sub(zr.get(), zr.get(), wr.get());
      mpz_sub(zi.get(), zi.get(), wi.get());
      if (Bits(wr.get(), wi.get()) > Bits(zr.get(), zi.get()) - goal) converged = false;
    }
    if (converged) return true;
  }
  return false;
}

bool RootIsolation::Certify() {
  // The centres: the approximations made symmetric (the approximations
  // themselves stay as they are, so that a failed attempt goes on from
  // them and not from roots forced onto the axis).
  std::vector<Mpz> re = re_, im = im_;
  std::vector<int> partner;
  if (!PairConjugates(re, im, precision_ / 2, partner)) return false;
  std::vector<Disk> disks(degree_);
  for (int i = 0; i < degree_; ++i) {
    mpz_swap(disks[i].re.get(), re[i].get());
    mpz_swap(disks[i].im.get(), im[i].get());
  }
  if (!RadiiInDoubles(disks, partner) && !ExactRadii(f_, e_, disks, partner)) return false;
  disks_ = std::move(disks);
  return true;
}

bool RootIsolation::RadiiInDoubles(std::vector<Disk>& disks,
                                   const std::vector<int>& partner) const {
  const int d = degree_;
  const double u = std::ldexp(1.0, -52), tiny = std::ldexp(1.0, -1060);
  const double up = 1 + std::ldexp(1.0, -40), down = 1 - std::ldexp(1.0, -40);
  const double exact_limit = std::ldexp(1.0, 53);
  std::vector<double> c;
  if (!CoefficientsInDoubles(f_, c)) return false;
  // The centres on the grid, cut to 53 bits (towards 0, which keeps real
  // centres real and conjugate ones conjugate; the approximations are not
  // that precise anyway), and in their own size (times 2^-e, exact while
  // above the underflow).
  std::vector<double> x(d), y(d), zr(d), zi(d);
  for (int i = 0; i < d; ++i) {
    x[i] = mpz_get_d(disks[i].re.get());
    y[i] = mpz_get_d(disks[i].im.get());
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
    zr[i] = std::ldexp(x[i], static_cast<int>(-e_));
    zi[i] = std::ldexp(y[i], static_cast<int>(-e_));
    const double size = std::fabs(zr[i]) + std::fabs(zi[i]);
    if (!(size > std::ldexp(1.0, -1000)) || !std::isfinite(size)) return false;
  }
  // Distances on the grid, from below.
  std::vector<double> distance(d * d);
  for (int i = 0; i < d; ++i) {
    for (int j = i + 1; j < d; ++j) {
      const double dx = x[i] - x[j], dy = y[i] - y[j];
      const double g = std::sqrt(dx * dx + dy * dy) * down;
      if (!(g > 0)) return false;
      distance[i * d + j] = distance[j * d + i] = g;
    }
  }
  std::vector<double> radius(d);
  for (int i = 0; i < d; ++i) {
    if (partner[i] < i) {
      radius[i] = radius[partner[i]];
      continue;
    }
    const double az = (std::fabs(zr[i]) + std::fabs(zi[i])) * up;
    double pr = c[d], pi = 0, bound = 2 * u * std::fabs(c[d]);
    for (int k = d - 1; k >= 0; --k) {
      const double before = std::fabs(pr) + std::fabs(pi);
      const double nr = pr * zr[i] - pi * zi[i] + c[k], ni = pr * zi[i] + pi * zr[i];
      pr = nr;
      pi = ni;
      const double local = 2 * u * before * az + u * (std::fabs(pr) + std::fabs(pi)) +
                           2 * u * std::fabs(c[k]) + tiny;
      bound = bound * az + local;
    }
    const double value = (std::sqrt(pr * pr + pi * pi) + bound) * up;
    // (radius 2^e) = d |f(z)| / (|lc| prod |z_i - z_j|) with the distances
    // on the grid: d |f(z)| 2^(e d) / (|lc| prod distance), the product
    // kept as a mantissa and a power of two.
    double product = std::fabs(c[d]) * down;
    int power = 0;
    for (int j = 0; j < d; ++j) {
      if (j == i) continue;
      int k = 0;
      product = std::frexp(product * distance[i * d + j], &k);
      power += k;
    }
    const double r = std::ldexp(d * value / product * up, static_cast<int>(e_ * d - power));
    if (!std::isfinite(r) || !(r < exact_limit)) return false;
    radius[i] = r < 1 ? 1 : std::ceil(r);
  }
  for (int i = 0; i < d; ++i) {
    for (int j = i + 1; j < d; ++j) {
      if (!((radius[i] + radius[j]) * up < distance[i * d + j])) return false;
    }
  }
  for (int i = 0; i < d; ++i) {
    mpz_set_d(disks[i].re.get(), x[i]);
    mpz_set_d(disks[i].im.get(), y[i]);
    mpz_set_d(disks[i].radius.get(), radius[i]);
  }
  return true;
}

void RootIsolation::Refine() {
  if (precision_ == 0) {
    // Mostly doubles are proof enough.
    precision_ = 48;
    StartingPoints();
    if (StartInDoubles() && Certify()) return;
    if (precision_ == 48) {
      Regrid(96);
      Iterate(400);
    }
  } else {
    Regrid(precision_ * 2);
    Iterate(50);
  }
  while (!Certify()) {
    Regrid(precision_ * 2);
    // An approximation on the real axis stays there (the polynomial is
    // real), though the root near it may be one of a complex pair: move it
    // off the axis a little.
    for (int i = 0; i < degree_; ++i) {
      if (im_[i].Sign() != 0) continue;
      mpz_tdiv_q_2exp(im_[i].get(), re_[i].get(), static_cast<unsigned long>(precision_ / 4));
      mpz_abs(im_[i].get(), im_[i].get());
      mpz_add_ui(im_[i].get(), im_[i].get(), 1);
      if (i % 2 != 0) mpz_neg(im_[i].get(), im_[i].get());
    }
    Iterate(100);
  }
}

namespace {

void PowerOfTen(mpz_ptr r, long k) {
  mpz_ui_pow_ui(r, 10, static_cast<unsigned long>(k));
}

// The working integers of one certified decimal, kept through all its
// steps so that each is allocated once.
struct Scratch {
  Mpz left, right, ten, num, rad, den, x;
};

// The sign of |x| / 2^e - 10^p.
int CompareWithPowerOfTen(mpz_srcptr magnitude, long e, long p, Scratch& s) {
  mpz_abs(s.left.get(), magnitude);
  mpz_set_ui(s.right.get(), 1);
  mpz_mul_2exp(s.right.get(), s.right.get(), e);
  if (p >= 0) {
    PowerOfTen(s.ten.get(), p);
    mpz_mul(s.right.get(), s.right.get(), s.ten.get());
  } else {
    PowerOfTen(s.ten.get(), -p);
    mpz_mul(s.left.get(), s.left.get(), s.ten.get());
  }
  return mpz_cmp(s.left.get(), s.right.get());
}

// m / 10^decimals in positional form: "-0.0012", "1234".
void AppendScaled(mpz_srcptr m, long decimals, std::string& text, Scratch& s) {
  if (mpz_sgn(m) < 0) text += '-';
  mpz_srcptr magnitude = s.x.get();
  mpz_abs(s.x.get(), m);
  std::string digits(mpz_sizeinbase(magnitude, 10) + 2, '\0');
  mpz_get_str(&digits[0], 10, magnitude);
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
long DecimalExponent(mpz_srcptr v, long e, Scratch& s) {
  // log10(2) < 30103 / 100000; the estimate is corrected below.
  const int64_t bits = static_cast<int64_t>(mpz_sizeinbase(v, 2)) - 1 - e;
  long p = static_cast<long>(bits * 30103 / 100000 - (bits < 0 ? 1 : 0));
  while (CompareWithPowerOfTen(v, e, p, s) < 0) --p;
  while (CompareWithPowerOfTen(v, e, p + 1, s) >= 0) ++p;
  return p;
}

// m = v / 2^e rounded to a multiple of 10^k (in units of 10^k). Certified
// when the disk's radius leaves it within one unit: |v / 2^e - m 10^k| < 10^k.
bool RoundToUnit(mpz_srcptr v, mpz_srcptr radius, long e, long k, mpz_ptr m, Scratch& s) {
  mpz_ptr num = s.num.get(), rad = s.rad.get(), den = s.den.get(), x = s.x.get();
  mpz_set(num, v);
  mpz_set(rad, radius);
  mpz_set_ui(den, 1);
  mpz_mul_2exp(den, den, e);
  if (k <= 0) {
    PowerOfTen(s.ten.get(), -k);
    mpz_mul(num, num, s.ten.get());
    mpz_mul(rad, rad, s.ten.get());
  } else {
    PowerOfTen(s.ten.get(), k);
    mpz_mul(den, den, s.ten.get());
  }
  // floor((2 num + den) / (2 den))
  mpz_mul_2exp(x, num, 1);
  mpz_add(x, x, den);
  mpz_fdiv_q(m, x, den);
  mpz_fdiv_q_2exp(m, m, 1);
  mpz_submul(num, m, den);
  mpz_abs(x, num);
  mpz_add(x, x, rad);
  return mpz_cmp(x, den) < 0;
}

}  // namespace

bool CertifiedDecimal(const Disk& disk, long e, bool complex, std::string& text) {
  Mpz part[2], m[2], ten10;
  Scratch s;
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
    lead[i] = DecimalExponent(part[i].get(), e, s);
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
    if (!RoundToUnit(part[i].get(), disk.radius.get(), e, unit[i], m[i].get(), s)) return false;
    if (mpz_cmpabs(m[i].get(), ten10.get()) >= 0) {
      // Rounded up into an eleventh digit: one place further left.
      ++p;
      if (p > top) top = p;
      unit[i] = p - 9;
      if (!RoundToUnit(part[i].get(), disk.radius.get(), e, unit[i], m[i].get(), s)) return false;
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
    AppendScaled(m[0].get(), decimals(0), text, s);
    text += exponent;
    return true;
  }
  std::string im;
  AppendScaled(m[1].get(), decimals(1), im, s);
  if (m[0].Sign() == 0) {
    text += positional ? "±" + im + "i" : "±(" + im + exponent + ")i";
    return true;
  }
  if (!positional) text += '(';
  AppendScaled(m[0].get(), decimals(0), text, s);
  text += " ± " + im + "i";
  if (!positional) text += ")" + exponent;
  return true;
}

}  // namespace calc
