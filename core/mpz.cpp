#include "mpz.h"

namespace calc {

void SquareRoot(mpz_ptr root, mpz_srcptr n) {
  if (mpz_sgn(n) <= 0) {
    mpz_set_ui(root, 0);
    return;
  }
  // From above: x = 2^ceil(bits / 2) > sqrt(n); then x = (x + n / x) / 2
  // while it decreases.
  Mpz x, y, rest;
  mpz_set_ui(x.get(), 1);
  mpz_mul_2exp(x.get(), x.get(), (mpz_sizeinbase(n, 2) + 1) / 2);
  for (;;) {
    mpz_tdiv_qr(y.get(), rest.get(), n, x.get());
    mpz_add(y.get(), y.get(), x.get());
    mpz_fdiv_q_2exp(y.get(), y.get(), 1);
    if (mpz_cmp(y.get(), x.get()) >= 0) break;
    mpz_swap(x.get(), y.get());
  }
  mpz_set(root, x.get());
}

bool IsSquare(mpz_srcptr n) {
  if (mpz_sgn(n) < 0) return false;
  Mpz root;
  SquareRoot(root.get(), n);
  mpz_mul(root.get(), root.get(), root.get());
  return mpz_cmp(root.get(), n) == 0;
}

bool Divides(mpz_srcptr a, mpz_srcptr b) {
  return mpz_divisible_p(a, b) != 0;
}

}  // namespace calc
