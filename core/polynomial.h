// Polynomials with integer coefficients of any size, and their images
// modulo word-size primes: what the eigenvalue calculation needs of them.
#pragma once

#include <gmp.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "modular.h"
#include "mpz.h"

namespace calc {

// Coefficients from degree 0 up; the zero polynomial has none, any other a
// non-zero last one.
using ZPoly = std::vector<Mpz>;

inline int Degree(const ZPoly& f) {
  return static_cast<int>(f.size()) - 1;
}
inline mpz_srcptr Lead(const ZPoly& f) {
  return f.back().get();
}

// Drops zero coefficients at the top.
void Trim(ZPoly& f);
ZPoly Derivative(const ZPoly& f);
ZPoly Multiply(const ZPoly& a, const ZPoly& b);
// f divided by the gcd of its coefficients, its leading coefficient made
// positive. f must not be 0.
void MakePrimitive(ZPoly& f);
// a / b when b divides a in Z[x] (b primitive: then b divides a in Q[x]
// exactly when it does in Z[x]); false otherwise.
bool DivideExactly(const ZPoly& a, const ZPoly& b, ZPoly& quotient);
// The primitive gcd of two non-zero polynomials, leading coefficient
// positive; with a_over and b_over (both or neither), also a / gcd and
// b / gcd.
ZPoly Gcd(const ZPoly& a, const ZPoly& b, ZPoly* a_over = nullptr, ZPoly* b_over = nullptr);

// Coefficients modulo p from degree 0 up, no zero at the top, each in
// Montgomery's form (1 is m.One()).
using ModPoly = std::vector<uint32_t>;

ModPoly ReduceModulo(const ZPoly& f, const Montgomery& m);
void TrimMod(ModPoly& f);
// The remainder of a by b (b not 0).
ModPoly RemainderMod(ModPoly a, const ModPoly& b, const Montgomery& m);
// Monic gcd.
ModPoly GcdMod(ModPoly a, ModPoly b, const Montgomery& m);
ModPoly DerivativeMod(const ModPoly& f, const Montgomery& m);
// a b modulo f (fastest for SmallPrime moduli, a monic f and a, b reduced
// modulo f).
ModPoly MultiplyMod(const ModPoly& a, const ModPoly& b, const ModPoly& f, const Montgomery& m);
// base^e modulo f (monic, for the fast road of SmallPrime moduli).
ModPoly PowerMod(const ModPoly& base, uint64_t e, const ModPoly& f, const Montgomery& m);

}  // namespace calc
