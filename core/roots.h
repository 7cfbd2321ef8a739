// The roots of a square-free integer polynomial, each isolated in a disk
// that is proved to hold it alone, and certified decimals of them.
//
// Approximations come from the Aberth-Ehrlich iteration, in doubles and,
// where more is needed, in fixed point on GMP's integers; they are only
// candidates. The proof is exact: for distinct centres z_i of
// a polynomial f of degree d, the disks |z - z_i| <= d |f(z_i)| /
// |lc(f) prod_{j != i} (z_i - z_j)| hold every root, and a group of k disks
// that meets no other disk holds exactly k roots. The radii are bounded
// from above, in doubles with every rounding error accounted for or else
// with integers, so pairwise disjoint disks hold one root each.
// The centres are symmetric under conjugation (real ones on the axis), so a
// disk centred on the real axis holds a real root and any other disk a
// non-real one.
#pragma once

#include <string>
#include <vector>

#include "polynomial.h"

namespace calc {

// A disk in the plane on the grid of 2^-e: centre (re + im i) / 2^e, radius
// radius / 2^e.
struct Disk {
  Mpz re, im, radius;
};

class RootIsolation {
 public:
  // f square-free, of degree 1 or more, f(0) != 0.
  explicit RootIsolation(const ZPoly& f);

  // The first call isolates every root; each later one doubles the
  // precision. The disks stay in the same order (a root keeps its index).
  void Refine();

  const std::vector<Disk>& disks() const { return disks_; }
  long exponent() const { return e_; }

 private:
  bool StartInDoubles();
  void StartingPoints();
  void Regrid(long precision);
  bool Iterate(int max_rounds);
  bool Certify();
  bool RadiiInDoubles(std::vector<Disk>& disks, const std::vector<int>& partner) const;

  ZPoly f_;
  int degree_;
  long precision_ = 0;
  // The approximations (re + im i) / 2^e_, on the grid of the disks.
  std::vector<Mpz> re_, im_;
  std::vector<Disk> disks_;
  long e_ = 0;
};

// The certified decimal of the point in disk d (grid 2^-e): 10 significant
// digits, the true value within one unit of the last digit; a complex value
// as "a ± bi" (b = |im|), its digits counted in the larger part. False when
// the disk is too wide to tell; the caller then narrows it.
bool CertifiedDecimal(const Disk& d, long e, bool complex, std::string& text);

}  // namespace calc
