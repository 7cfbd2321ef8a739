// GMP's integers as values that clean up after themselves, and the few
// operations on them that GMP's own would bring a second algorithm for.
#pragma once

#include <gmp.h>

namespace calc {

// A GMP integer that cleans up after itself.
class Mpz {
 public:
  Mpz() { mpz_init(v_); }
  explicit Mpz(long v) { mpz_init_set_si(v_, v); }
  explicit Mpz(mpz_srcptr v) { mpz_init_set(v_, v); }
  Mpz(const Mpz& other) { mpz_init_set(v_, other.v_); }
  Mpz(Mpz&& other) noexcept {
    mpz_init(v_);
    mpz_swap(v_, other.v_);
  }
  Mpz& operator=(const Mpz& other) {
    mpz_set(v_, other.v_);
    return *this;
  }
  Mpz& operator=(Mpz&& other) noexcept {
    mpz_swap(v_, other.v_);
    return *this;
  }
  ~Mpz() { mpz_clear(v_); }

  mpz_ptr get() { return v_; }
  mpz_srcptr get() const { return v_; }
  int Sign() const { return mpz_sgn(v_); }

 private:
  mpz_t v_;
};

// floor(sqrt(n)) for n >= 0, and whether n is a square (Newton's iteration
// on GMP's division with remainder: GMP's own square roots would bring a
// second division algorithm into the programs).
void SquareRoot(mpz_ptr root, mpz_srcptr n);
bool IsSquare(mpz_srcptr n);
// Whether b (not 0) divides a.
bool Divides(mpz_srcptr a, mpz_srcptr b);

}  // namespace calc
