#include "eigenspace.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "modular.h"

namespace calc {

namespace {

// --- Rational eigenvectors modulo word primes ----------------------------

// v scaled to coprime integers with the first non-zero entry positive.
void Normalise(std::vector<Integer>& v, int n) {
  Integer g(0);
  for (int j = 1; j <= n; ++j) g = Gcd(g, v[j]);
  int first = 1;
  while (v[first].IsZero()) ++first;
  if (v[first].Sign() < 0) g = -g;
  for (int j = 1; j <= n; ++j) v[j] = DivideExact(v[j], g);
}

// The basis vector of free column f from one prime alone, in machine
// integers: entry c of each pivot row is the fraction within bound (the
// reconstruction bound of p) that matches its residue, all brought to
// their common denominator. residue[i] is -R(i, f) mod p for pivot row i.
// False when an entry has no such fraction or the common denominator
// leaves the bound; the general way then decides. Below the bound
// (< 2^31) every product stays below 2^62.
bool SmallCandidate(const Limb* residue, int rank, const int pivot_col[], int f, int n,
                    const CharacteristicArithmetic& m, int64_t bound, std::vector<Integer>& v) {
  int64_t num[kMaxOrder + 1] = {}, den[kMaxOrder + 1] = {};
  const int64_t p = static_cast<int64_t>(m.p);
  int64_t lcm = 1;
  for (int i = 0; i < rank; ++i) {
    const int c = pivot_col[i + 1];
    // Mostly the denominators so far cover the entry: u lcm (mod p,
    // nearest to 0) within the bound is its numerator over lcm.
    int64_t a = static_cast<int64_t>(m.Mul(m.To(residue[i]), static_cast<Limb>(lcm)));
    if (a > p / 2) a -= p;
    if (a <= bound && a >= -bound) {
      num[c] = a;
      den[c] = lcm;
      continue;
    }
    int64_t b = 0;
    if (!ReconstructSmall(static_cast<int64_t>(residue[i]), p, bound, a, b)) return false;
    num[c] = a;
    den[c] = b;
    const uint64_t g = Gcd64(static_cast<uint64_t>(lcm), static_cast<uint64_t>(b));
    lcm = lcm / static_cast<int64_t>(g) * b;
    if (lcm > bound) return false;
  }
  v.assign(n + 1, Integer(0));
  v[f] = lcm;
  for (int j = 1; j <= n; ++j) {
    if (num[j] != 0) v[j] = num[j] * (lcm / den[j]);
  }
  return true;
}

using Residues = Limb[kMaxOrder][kMaxOrder];

// What the modular null space needs of an integer matrix: its residues
// modulo a prime (or those of a non-zero multiple of it, whose reduced row
// echelon form is the same) and an exact test that it takes a vector to 0.
class NullSpaceSource {
 public:
  virtual void Reduce(const CharacteristicArithmetic& m, Residues h) const = 0;
  virtual bool Annihilates(const std::vector<Integer>& v) const = 0;

 protected:
  ~NullSpaceSource() = default;
};

// x mod p for an integer x.
Limb ResidueOf(const Integer& x, const CharacteristicArithmetic& m) {
  if (x.IsSmall()) return calc::ResidueOf(x.Small(), static_cast<int64_t>(m.p));
  Mpz big;
  x.CopyTo(big.get());
  return static_cast<Limb>(mpz_fdiv_ui(big.get(), m.p));
}

// An integer matrix given by its entries.
class GivenRows final : public NullSpaceSource {
 public:
  GivenRows(const IntegerRows& rows, int n) : rows_(rows), n_(n) {}
  // Taken as Montgomery's form as they are: the matrix times 2^-w.
  void Reduce(const CharacteristicArithmetic& m, Residues h) const override {
    for (int i = 0; i < n_; ++i) {
      for (int j = 0; j < n_; ++j) h[i][j] = ResidueOf(rows_(i + 1, j + 1), m);
    }
  }
  bool Annihilates(const std::vector<Integer>& v) const override {
    for (int i = 1; i <= n_; ++i) {
      if (!RowTimes(rows_, i, v, n_).IsZero()) return false;
    }
    return true;
  }

 private:
  const IntegerRows& rows_;
  int n_;
};

// The pivot columns of a reduced row echelon form, and where the entries
// -R(i, f) of pivot row i and free column f are kept: at Index(i, f).
struct PivotShape {
  int rank = -1;
  int pivot_col[kMaxOrder + 1] = {};  // from 1
  bool pivot[kMaxOrder + 1] = {};
  int free_index[kMaxOrder + 1] = {};
  int free = 0;

  bool Is(int r, const int cols[]) const {
    bool same = r == rank;
    for (int i = 0; same && i < r; ++i) same = cols[i] == pivot_col[i + 1];
    return same;
  }
  void Set(int r, const int cols[], int n) {
    rank = r;
    for (int j = 1; j <= n; ++j) pivot[j] = false;
    for (int i = 0; i < r; ++i) pivot[pivot_col[i + 1] = cols[i]] = true;
    free = 0;
    for (int j = 1; j <= n; ++j) free_index[j] = pivot[j] ? -1 : free++;
  }
  size_t Index(int i, int f) const { return static_cast<size_t>(i * free + free_index[f]); }
};

// The reduced row echelon form of h modulo m.p, pivots made 1, as far as
// the null space needs it: every pivot row on the free columns (0 left of
// its pivot). Returns the rank; cols[0..rank) are the pivot columns, from 1.
// Column by column in Crout's order: each entry is a dot product of the
// multipliers found so far with the column's entries in the pivot rows,
// reduced once per four products (as Dot does) instead of once for each
// product of a row operation. pivot row k = sum over j <= k of l[k][j]
// times the normalised row j (pivot 1); for the other rows, the sum over
// all pivot rows so far, and the rest is their residual.
int ReducedEchelonMod(Residues h, int n, const CharacteristicArithmetic& m, int cols[]) {
  Limb l[kMaxOrder][kMaxOrder], inverse[kMaxOrder], column[kMaxOrder];
  int r = 0;
  bool is_pivot[kMaxOrder + 1] = {};
  for (int c = 0; c < n; ++c) {
    // The normalised pivot rows' entries in column c.
    for (int k = 0; k < r; ++k) {
      column[k] = m.Mul(m.Sub(h[k][c], m.Dot(l[k], column, 1, k)), inverse[k]);
      h[k][c] = column[k];
    }
    // The other rows' residuals; the first non-zero one is the pivot.
    int t = -1;
    for (int i = r; i < n; ++i) {
      h[i][c] = m.Sub(h[i][c], m.Dot(l[i], column, 1, r));
      if (t < 0 && h[i][c] != 0) t = i;
    }
    if (t < 0) continue;  // a free column: every residual is 0
    if (t != r) {
      std::swap(h[t], h[r]);
      std::swap(l[t], l[r]);
    }
    for (int i = r; i < n; ++i) l[i][r] = h[i][c];
    inverse[r] = m.Inverse(h[r][c]);
    h[r][c] = m.One();
    is_pivot[c + 1] = true;
    cols[r++] = c + 1;
  }
  // From the last pivot row up: row i less its entries in later pivot
  // columns times those rows, on the free columns alone.
  for (int i = r - 1; i >= 0; --i) {
    Limb later[kMaxOrder];
    int count = 0;
    for (int f = cols[i] + 1; f <= n; ++f) {
      if (is_pivot[f]) {
        later[count++] = h[i][f - 1];
        continue;
      }
      h[i][f - 1] = m.Sub(h[i][f - 1], m.Dot(later, &h[i + 1][f - 1], kMaxOrder, count));
    }
  }
  return r;
}

// The basis vector of free column f from the entries -R(i, f) put
// together by the CRT: each read back as a fraction, all brought to their
// common denominator; false when an entry has no fraction within the
// reconstruction bound.
bool CrtCandidate(const Crt& crt, const PivotShape& shape, int f, int n, std::vector<Integer>& v) {
  std::vector<Mpz> num(n + 1), den(n + 1);
  Mpz a, lcm(1L), half, bound;
  // floor(sqrt(modulus / 2)), and half the modulus.
  mpz_fdiv_q_2exp(half.get(), crt.modulus(), 1);
  SquareRoot(bound.get(), half.get());
  mpz_set_ui(num[f].get(), 1);
  mpz_set_ui(den[f].get(), 1);
  for (int i = 0; i < shape.rank; ++i) {
    const int c = shape.pivot_col[i + 1];
    mpz_srcptr u = crt[shape.Index(i, f)];
    // Mostly the denominators found so far cover the entry: when u lcm
    // (mod the modulus, nearest to 0) and lcm are both within the bound,
    // the entry is their quotient, the one fraction within the bound that
    // matches u (and the proof checks every entry).
    mpz_mul(a.get(), u, lcm.get());
    mpz_fdiv_r(a.get(), a.get(), crt.modulus());
    if (mpz_cmp(a.get(), half.get()) > 0) mpz_sub(a.get(), a.get(), crt.modulus());
    if (mpz_cmpabs(a.get(), bound.get()) <= 0 && mpz_cmp(lcm.get(), bound.get()) <= 0) {
      mpz_set(num[c].get(), a.get());
      mpz_set(den[c].get(), lcm.get());
      continue;
    }
    if (!Reconstruct(u, crt.modulus(), num[c], den[c])) return false;
    mpz_lcm(lcm.get(), lcm.get(), den[c].get());
  }
  v.assign(n + 1, Integer(0));
  for (int j = 1; j <= n; ++j) {
    if (num[j].Sign() == 0) continue;
    mpz_divexact(a.get(), lcm.get(), den[j].get());
    mpz_mul(a.get(), a.get(), num[j].get());
    v[j] = Integer::FromGmp(a.get());
  }
  return true;
}

// The null space by reduced row echelon forms modulo word primes, put
// together by the Chinese remainder theorem and read back as fractions
// after 1, 2, 4, 8, ... primes of the same pivot columns; accepted only
// when every vector is proved exactly (the source takes it to 0). Mostly
// one prime suffices, read back in machine integers. False when the
// attempt gives up.
bool ModularNullSpace(const NullSpaceSource& source, int n,
                      std::vector<std::vector<Integer>>& basis) {
  PivotShape shape;
  Crt crt;
  std::vector<Limb> entries, first;  // -R(i, f) modulo this prime, the first
  Residues h;
  int used = 0;
  for (int k = 0; k < 80; ++k) {
    const CharacteristicArithmetic m(LimbPrime(k));
    source.Reduce(m, h);
    int cols[kMaxOrder];
    const int r = ReducedEchelonMod(h, n, m, cols);
    if (r < shape.rank) continue;  // a prime that divides a pivot minor
    if (!shape.Is(r, cols)) {
      // A first prime, or one of larger rank: start over from it.
      shape.Set(r, cols, n);
      crt.Reset(static_cast<size_t>(shape.rank) * shape.free);
      entries.resize(static_cast<size_t>(shape.rank) * shape.free);
      used = 0;
    }
    for (int i = 0; i < shape.rank; ++i) {
      for (int f = 1; f <= n; ++f) {
        if (!shape.pivot[f]) entries[shape.Index(i, f)] = m.Sub(0, h[i][f - 1]);
      }
    }
    crt.Add(m, entries.data());
    if (used == 0) {
      first = entries;
      for (Limb& x : first) x = m.From(x);
    }
    ++used;
    if ((used & (used - 1)) != 0) continue;
    std::vector<std::vector<Integer>> candidate;
    for (int f = 1; f <= n; ++f) {
      if (shape.pivot[f]) continue;
      // After one prime mostly in machine integers; otherwise on GMP's.
      std::vector<Integer> v;
      Limb residue[kMaxOrder];
      for (int i = 0; i < shape.rank && used == 1; ++i) residue[i] = first[shape.Index(i, f)];
      const bool small =
          used == 1 && SmallCandidate(residue, shape.rank, shape.pivot_col, f, n, m,
                                      ReconstructionBound(static_cast<int64_t>(m.p)), v);
      if (!small && !CrtCandidate(crt, shape, f, n, v)) break;
      if (!source.Annihilates(v)) break;
      Normalise(v, n);
      candidate.push_back(std::move(v));
    }
    if (static_cast<int>(candidate.size()) == shape.free) {
      basis = std::move(candidate);
      return true;
    }
  }
  return false;
}

}  // namespace

// A basis of the null space of A - lambda I, lambda = p / q, each vector
// coprime integers with its first non-zero entry positive; from A's rows
// cleared of denominators (cleared, with the row factors scale): q times
// row i of cleared less scale_i p at the diagonal is row i of A - lambda I
// times q scale_i, an integer row.
std::vector<std::vector<Integer>> NullSpace(const IntegerRows& cleared, const Integer scale[],
                                            const Integer& p, const Integer& q, int n) {
  const std::unique_ptr<IntegerRows> rows(new IntegerRows);
  rows->rows = rows->cols = n;
  Integer row_scale[kMaxOrder + 1];
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) (*rows)(i, j) = q.IsOne() ? cleared(i, j) : q * cleared(i, j);
    if (!p.IsZero()) (*rows)(i, i) = (*rows)(i, i) - scale[i] * p;
    row_scale[i] = q * scale[i];
  }
  return IntegerNullSpace(*rows, row_scale, n);
}

namespace {

// The null space by fraction-free Gauss-Jordan elimination (rows is work
// space), for what the primes do not settle.
std::vector<std::vector<Integer>> FractionFreeNullSpace(IntegerRows& rows, Integer row_scale[],
                                                        int n) {
  std::vector<std::vector<Integer>> basis;
  const FractionFreeResult done =
      EliminateFractionFree(rows, row_scale, n, true, PivotRepair::kExchangeRows);
  bool pivot[kMaxOrder + 1] = {};
  for (int k = 1; k <= done.rank; ++k) pivot[done.pivot_col[k]] = true;
  for (int f = 1; f <= n; ++f) {
    if (pivot[f]) continue;
    // Pivot row k reads last_pivot x_pc(k) + sum over free j of r(k, j) x_j = 0.
    std::vector<Integer> v(n + 1, Integer(0));
    v[f] = done.last_pivot;
    for (int k = 1; k <= done.rank; ++k) v[done.pivot_col[k]] = -rows(k, f);
    Normalise(v, n);
    basis.push_back(std::move(v));
  }
  return basis;
}

// D^deg(w) w(A) for the integer polynomial w of degree at least 1, with B =
// D A an integer matrix (D the lcm of A's denominators): the sum of w_j
// D^(deg - j) B^j, by Horner's rule; modulo primes for the null space, and
// on vectors for its proof, so that the matrix itself is formed over the
// integers only when the primes give up.
class PolynomialRows final : public NullSpaceSource {
 public:
  PolynomialRows(const FractionMatrix& a, int n, const ZPoly& w) : n_(n) {
    const Integer d = DenominatorLcm(a, n);
    b_.rows = b_.cols = n;
    Integer factor = d;  // d over the last denominator, mostly repeated
    const Integer* last = nullptr;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        const Integer& den = a(i, j).den;
        if (last == nullptr || !(den == *last)) {
          factor = DivideExact(d, den);
          last = &den;
        }
        b_(i, j) = factor * a(i, j).num;
      }
    }
    // coefficient_[j] = w_j D^(deg - j).
    Integer power(1);
    for (size_t j = w.size(); j-- > 0;) {
      coefficient_.insert(coefficient_.begin(), Integer::FromGmp(w[j].get()) * power);
      power = power * d;
    }
  }

  void Reduce(const CharacteristicArithmetic& m, Residues h) const override {
    Residues b, next;
    for (int i = 0; i < n_; ++i) {
      for (int j = 0; j < n_; ++j) b[i][j] = m.To(ResidueOf(b_(i + 1, j + 1), m));
    }
    const int deg = static_cast<int>(coefficient_.size()) - 1;
    const Limb top = m.To(ResidueOf(coefficient_[deg], m));
    for (int i = 0; i < n_; ++i) {
      for (int j = 0; j < n_; ++j) h[i][j] = m.Mul(top, b[i][j]);
    }
    for (int k = deg - 1;; --k) {
      const Limb c = m.To(ResidueOf(coefficient_[k], m));
      for (int i = 0; i < n_; ++i) h[i][i] = m.Add(h[i][i], c);
      if (k == 0) return;
      for (int i = 0; i < n_; ++i) {
        for (int j = 0; j < n_; ++j) next[i][j] = m.Dot(h[i], &b[0][j], kMaxOrder, n_);
      }
      std::copy(&next[0][0], &next[0][0] + kMaxOrder * kMaxOrder, &h[0][0]);
    }
  }

  bool Annihilates(const std::vector<Integer>& v) const override {
    const std::vector<Integer> product = Times(v);
    for (int i = 1; i <= n_; ++i) {
      if (!product[i].IsZero()) return false;
    }
    return true;
  }

  // The matrix itself, over the integers, column by column.
  void Form(IntegerRows& out) const {
    out.rows = out.cols = n_;
    std::vector<Integer> unit(n_ + 1, Integer(0));
    for (int j = 1; j <= n_; ++j) {
      unit[j] = Integer(1);
      const std::vector<Integer> column = Times(unit);
      for (int i = 1; i <= n_; ++i) out(i, j) = column[i];
      unit[j] = Integer(0);
    }
  }

 private:
  // The matrix times v (entries 1..n), by Horner's rule on vectors.
  std::vector<Integer> Times(const std::vector<Integer>& v) const {
    const int deg = static_cast<int>(coefficient_.size()) - 1;
    std::vector<Integer> acc(n_ + 1), next(n_ + 1);
    for (int i = 1; i <= n_; ++i) acc[i] = coefficient_[deg] * v[i];
    for (int k = deg - 1; k >= 0; --k) {
      for (int i = 1; i <= n_; ++i) next[i] = coefficient_[k] * v[i] + RowTimes(b_, i, acc, n_);
      std::swap(acc, next);
    }
    return acc;
  }

  int n_;
  IntegerRows b_;
  std::vector<Integer> coefficient_;
};

}  // namespace

Integer RowTimes(const IntegerRows& rows, int i, const std::vector<Integer>& v, int n) {
#ifdef __SIZEOF_INT128__
  // Below 2^61 each, 20 products add up below 2^127: exact in 128 bits.
  const int64_t limit = int64_t{1} << 61;
  auto fits = [limit](const Integer& x) {
    return x.IsSmall() && x.Small() < limit && x.Small() > -limit;
  };
  __int128 sum = 0;
  bool machine = true;
  for (int j = 1; j <= n && machine; ++j) {
    machine = fits(v[j]) && fits(rows(i, j));
    if (machine) sum += static_cast<__int128>(rows(i, j).Small()) * v[j].Small();
  }
  if (machine && sum < limit && sum > -limit) return Integer(static_cast<int64_t>(sum));
#endif
  Integer total(0);
  for (int j = 1; j <= n; ++j) {
    if (!v[j].IsZero() && !rows(i, j).IsZero()) total = total + rows(i, j) * v[j];
  }
  return total;
}

std::vector<std::vector<Integer>> IntegerNullSpace(IntegerRows& rows, Integer row_scale[], int n) {
  std::vector<std::vector<Integer>> basis;
  if (ModularNullSpace(GivenRows(rows, n), n, basis)) return basis;
  return FractionFreeNullSpace(rows, row_scale, n);
}

int RankOfPolynomialAt(const FractionMatrix& a, int n, const ZPoly& w) {
  return n - static_cast<int>(KernelOfPolynomialAt(a, n, w).size());
}

std::vector<std::vector<Integer>> KernelOfPolynomialAt(const FractionMatrix& a, int n,
                                                       const ZPoly& w) {
  const std::unique_ptr<PolynomialRows> source(new PolynomialRows(a, n, w));
  std::vector<std::vector<Integer>> basis;
  if (ModularNullSpace(*source, n, basis)) return basis;
  const std::unique_ptr<IntegerRows> rows(new IntegerRows);
  source->Form(*rows);
  Integer scale[kMaxOrder + 1];
  for (int i = 1; i <= n; ++i) scale[i] = Integer(1);
  return FractionFreeNullSpace(*rows, scale, n);
}

}  // namespace calc
