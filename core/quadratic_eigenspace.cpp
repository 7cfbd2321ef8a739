#include "quadratic_eigenspace.h"

#include <utility>

namespace calc {

namespace {

const Fraction kZero{};
const Fraction kOne{Integer(1), Integer(1)};

bool IsZero(const Surd& v) {
  return v.x.IsZero() && v.y.IsZero();
}

Surd Subtract(const Surd& u, const Surd& v) {
  return Surd{u.x - v.x, u.y - v.y};
}

Surd Multiply(const Surd& u, const Surd& v, const Fraction& d) {
  return Surd{u.x * v.x + d * u.y * v.y, u.x * v.y + u.y * v.x};
}

// 1 / (x + y√d) = (x - y√d) / (x^2 - d y^2); the norm is not 0 for a
// non-zero value, d being no square.
Surd Inverse(const Surd& v, const Fraction& d) {
  const Fraction norm = v.x * v.x - d * v.y * v.y;
  return Surd{v.x / norm, -v.y / norm};
}

void PutFraction(std::string& out, const Fraction& f) {
  f.num.AppendDecimal(out);
  if (!f.den.IsOne()) {
    out += '/';
    f.den.AppendDecimal(out);
  }
}

// "√33", "3√2" for the magnitude m (a positive integer) of the radical.
void PutRadical(std::string& out, const Integer& m, const Integer& root) {
  if (!m.IsOne()) m.AppendDecimal(out);
  out += "√";
  root.AppendDecimal(out);
}

Integer Magnitude(const Integer& v) {
  return v.Sign() < 0 ? -v : v;
}

// (P + S√d) / Q over the smallest common denominator Q.
std::string RealSurdText(const Surd& v, const Integer& d) {
  std::string out;
  if (v.y.IsZero()) {
    PutFraction(out, v.x);
    return out;
  }
  const Integer q = Lcm(v.x.den, v.y.den);
  const Integer p = v.x.num * DivideExact(q, v.x.den);
  const Integer s = v.y.num * DivideExact(q, v.y.den);
  const bool grouped = !p.IsZero() && !q.IsOne();
  if (grouped) out += '(';
  if (!p.IsZero()) {
    p.AppendDecimal(out);
    out += s.Sign() < 0 ? " - " : " + ";
  } else if (s.Sign() < 0) {
    out += '-';
  }
  PutRadical(out, Magnitude(s), d);
  if (grouped) out += ')';
  if (!q.IsOne()) {
    out += '/';
    q.AppendDecimal(out);
  }
  return out;
}

// x + (y√e)i for e = -d, each part reduced on its own.
std::string ComplexSurdText(const Surd& v, const Integer& d) {
  std::string out;
  if (!v.x.IsZero()) PutFraction(out, v.x);
  if (v.y.IsZero()) return out;
  const bool negative = v.y.num.Sign() < 0;
  if (!v.x.IsZero()) {
    out += negative ? " - " : " + ";
  } else if (negative) {
    out += '-';
  }
  const Integer e = -d;
  const Fraction y{Magnitude(v.y.num), v.y.den};
  if (e.IsOne() && y.den.IsOne()) {
    if (!y.num.IsOne()) y.num.AppendDecimal(out);
  } else {
    out += '(';
    if (e.IsOne()) {
      PutFraction(out, y);
    } else {
      PutRadical(out, y.num, e);
      if (!y.den.IsOne()) {
        out += '/';
        y.den.AppendDecimal(out);
      }
    }
    out += ')';
  }
  out += 'i';
  return out;
}

}  // namespace

std::vector<std::vector<Surd>> QuadraticEigenvectors(const FractionMatrix& a, int n,
                                                     const Integer& qa, const Integer& qb,
                                                     const Integer& s, const Integer& d) {
  const Fraction field{d, Integer(1)};
  const Surd theta{Reduced(-qb, qa * Integer(2)), Reduced(s, qa * Integer(2))};
  // A - θI, brought to its reduced row echelon form.
  std::vector<std::vector<Surd>> m(n + 1, std::vector<Surd>(n + 1));
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      m[i][j].x = Reduced(a(i, j).num, a(i, j).den);
      m[i][j].y = kZero;
    }
    m[i][i] = Subtract(m[i][i], theta);
  }
  std::vector<int> pivot_col(1, 0);
  int k = 1;
  for (int c = 1; c <= n && k <= n; ++c) {
    int t = k;
    while (t <= n && IsZero(m[t][c])) ++t;
    if (t > n) continue;
    std::swap(m[k], m[t]);
    const Surd inverse = Inverse(m[k][c], field);
    for (int j = c; j <= n; ++j) m[k][j] = Multiply(m[k][j], inverse, field);
    for (int i = 1; i <= n; ++i) {
      if (i == k || IsZero(m[i][c])) continue;
      const Surd factor = m[i][c];
      for (int j = c; j <= n; ++j) m[i][j] = Subtract(m[i][j], Multiply(factor, m[k][j], field));
    }
    pivot_col.push_back(c);
    ++k;
  }
  const int rank = k - 1;
  std::vector<bool> pivot(n + 1, false);
  for (int r = 1; r <= rank; ++r) pivot[pivot_col[r]] = true;
  std::vector<std::vector<Surd>> basis;
  for (int f = 1; f <= n; ++f) {
    if (pivot[f]) continue;
    std::vector<Surd> v(n + 1);
    v[f].x = kOne;
    for (int r = 1; r <= rank; ++r) v[pivot_col[r]] = Subtract(Surd{}, m[r][f]);
    basis.push_back(std::move(v));
  }
  return basis;
}

std::string SurdText(const Surd& v, const Integer& d) {
  if (IsZero(v)) return "0";
  return d.Sign() < 0 ? ComplexSurdText(v, d) : RealSurdText(v, d);
}

}  // namespace calc
