// FLINT's exact rational matrix routines (fmpq_mat) on the same matrices as
// the presses, for the ratios ours / FLINT. FLINT starts from matrices it
// already holds: it never reads or writes text.

#include <benchmark/benchmark.h>
#include <flint/fmpq.h>
#include <flint/fmpq_mat.h>
#include <flint/fmpq_poly.h>
#include <flint/fmpz_poly.h>
#include <flint/fmpz_poly_factor.h>

#include <cstdlib>
#include <string>

#include "bench_matrices.h"
#include "matrix_reader.h"

namespace calc::bench {
namespace {

// A typed matrix as a FLINT matrix of the same order.
class FlintMatrix {
 public:
  explicit FlintMatrix(const std::string& text) {
    FractionMatrix m;
    if (!ReadMatrixText(text, m).ok()) std::abort();
    fmpq_mat_init(mat_, m.rows, m.cols);
    for (int i = 1; i <= m.rows; ++i) {
      for (int j = 1; j <= m.cols; ++j) {
        fmpq_set_si(fmpq_mat_entry(mat_, i - 1, j - 1), m(i, j).num.Small(), m(i, j).den.Small());
      }
    }
  }
  FlintMatrix(int rows, int cols) { fmpq_mat_init(mat_, rows, cols); }
  ~FlintMatrix() { fmpq_mat_clear(mat_); }
  FlintMatrix(const FlintMatrix&) = delete;
  FlintMatrix& operator=(const FlintMatrix&) = delete;

  fmpq_mat_struct* get() { return mat_; }

 private:
  fmpq_mat_t mat_;
};

class FlintNumber {
 public:
  explicit FlintNumber(const std::string& text) {
    fmpq_init(q_);
    FlintMatrix m(text);
    fmpq_set(q_, fmpq_mat_entry(m.get(), 0, 0));
  }
  FlintNumber() { fmpq_init(q_); }
  ~FlintNumber() { fmpq_clear(q_); }
  FlintNumber(const FlintNumber&) = delete;
  FlintNumber& operator=(const FlintNumber&) = delete;

  fmpq* get() { return q_; }

 private:
  fmpq_t q_;
};

template <typename Body>
void Register(const std::string& name, Body body) {
  benchmark::RegisterBenchmark(name.c_str(), body)->Unit(benchmark::kMicrosecond);
}

}  // namespace

void RegisterFlintBenchmarks(const InputSet& set) {
  using benchmark::State;
  const std::string suffix = std::string("/") + set.name + "/flint";
  // Quorvit shows the eliminated matrix with the rank, so FLINT's rank is
  // taken with its reduced row echelon form.
  Register("rank" + suffix, [&set](State& s) {
    FlintMatrix a(set.first), r(20, 20);
    for (auto _ : s) benchmark::DoNotOptimize(fmpq_mat_rref(r.get(), a.get()));
  });
  Register("determinant" + suffix, [&set](State& s) {
    FlintMatrix a(set.first);
    FlintNumber det;
    for (auto _ : s) fmpq_mat_det(det.get(), a.get());
  });
  // FLINT has no adjugate of its own: det(A) * inverse(A) is its way.
  Register("adjugate" + suffix, [&set](State& s) {
    FlintMatrix a(set.first), inv(20, 20);
    FlintNumber det;
    for (auto _ : s) {
      fmpq_mat_det(det.get(), a.get());
      fmpq_mat_inv(inv.get(), a.get());
      fmpq_mat_scalar_mul_fmpq(inv.get(), inv.get(), det.get());
    }
  });
  Register("inverse" + suffix, [&set](State& s) {
    FlintMatrix a(set.first), inv(20, 20);
    for (auto _ : s) benchmark::DoNotOptimize(fmpq_mat_inv(inv.get(), a.get()));
  });
  Register("sum" + suffix, [&set](State& s) {
    FlintMatrix a(set.first), b(set.second), c(20, 20);
    for (auto _ : s) fmpq_mat_add(c.get(), a.get(), b.get());
  });
  Register("product" + suffix, [&set](State& s) {
    FlintMatrix a(set.left), b(set.right), c(20, 20);
    for (auto _ : s) fmpq_mat_mul(c.get(), a.get(), b.get());
  });
  Register("multiple" + suffix, [&set](State& s) {
    FlintMatrix a(set.first), c(20, 20);
    FlintNumber factor(set.factor);
    for (auto _ : s) fmpq_mat_scalar_mul_fmpq(c.get(), a.get(), factor.get());
  });
}

void RegisterFlintEigenBenchmarks() {
  // The characteristic polynomial over Q, then the factors over Q of its
  // primitive integer multiple: what the eigenvalues are read from.
  for (const EigenInput& input : EigenInputs()) {
    Register(std::string("eigenvalues/") + input.name + "/flint", [&input](benchmark::State& s) {
      FlintMatrix a(input.text);
      fmpq_poly_t f;
      fmpz_poly_t z;
      fmpz_poly_factor_t factors;
      fmpq_poly_init(f);
      fmpz_poly_init(z);
      for (auto _ : s) {
        fmpq_mat_charpoly(f, a.get());
        fmpq_poly_get_numerator(z, f);
        fmpz_poly_factor_init(factors);
        fmpz_poly_factor(factors, z);
        benchmark::DoNotOptimize(factors->num);
        fmpz_poly_factor_clear(factors);
      }
      fmpz_poly_clear(z);
      fmpq_poly_clear(f);
    });
  }
}

void RegisterFlintSystemBenchmarks() {
  for (const SystemInput& input : SystemInputs()) {
    Register(std::string("system/") + input.name + "/flint", [&input](benchmark::State& s) {
      FlintMatrix a(input.text);
      const slong rows = fmpq_mat_nrows(a.get()), cols = fmpq_mat_ncols(a.get());
      if (rows + 1 != cols) {
        FlintMatrix r(rows, cols);
        for (auto _ : s) benchmark::DoNotOptimize(fmpq_mat_rref(r.get(), a.get()));
        return;
      }
      // Square: A x = b by FLINT's own solver.
      FlintMatrix left(rows, rows), right(rows, 1), x(rows, 1);
      for (slong i = 0; i < rows; ++i) {
        for (slong j = 0; j < rows; ++j) {
          fmpq_set(fmpq_mat_entry(left.get(), i, j), fmpq_mat_entry(a.get(), i, j));
        }
        fmpq_set(fmpq_mat_entry(right.get(), i, 0), fmpq_mat_entry(a.get(), i, rows));
      }
      for (auto _ : s) benchmark::DoNotOptimize(fmpq_mat_solve(x.get(), left.get(), right.get()));
    });
  }
}

}  // namespace calc::bench
