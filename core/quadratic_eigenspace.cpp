#include "quadratic_eigenspace.h"

#include <memory>
#include <utility>

#include "eigenspace.h"
#include "elimination.h"
#include "text_forms.h"

namespace calc {

namespace {

const Fraction kZero{};

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
    AppendFraction(v.x, out);
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
  if (!v.x.IsZero()) AppendFraction(v.x, out);
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
      AppendFraction(y, out);
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
  const Fraction x0 = Reduced(-qb, qa * Integer(2)), y0 = Reduced(s, qa * Integer(2));
  // q(t) = qa t^2 + qb t + qc, its discriminant qb^2 - 4 qa qc = s^2 d.
  ZPoly q(3);
  qa.CopyTo(q[2].get());
  qb.CopyTo(q[1].get());
  DivideExact(qb * qb - s * s * d, qa * Integer(4)).CopyTo(q[0].get());
  // Over Q the null space of q(A) is twice as large as that of A - θI over
  // Q(√d), and (A - θ'I) w lies in the latter for each w of the former
  // (θ' = x0 - y0 √d, the other root): (A - θI)(A - θ'I) = q(A) / qa.
  // Row i of A w as (r_i A_i) w / r_i, r_i A_i an integer row.
  const std::unique_ptr<IntegerRows> cleared(new IntegerRows);
  Integer scale[kMaxOrder + 1];
  ClearDenominators(a, n, n, *cleared, scale);
  std::vector<std::vector<Surd>> span;
  for (const std::vector<Integer>& w : KernelOfPolynomialAt(a, n, q)) {
    std::vector<Surd> v(n + 1);
    for (int i = 1; i <= n; ++i) {
      const Fraction sum = Reduced(RowTimes(*cleared, i, w, n), scale[i]);
      const Fraction wi{w[i], Integer(1)};
      v[i] = Surd{sum - x0 * wi, y0 * wi};
    }
    span.push_back(std::move(v));
  }
  // The basis a reduced row echelon form of A - θI gives: a position is a
  // free unknown when some vector of the space has its last non-zero entry
  // there. From the last position up, each found one is made 1 and cleared
  // from every other vector.
  std::vector<std::vector<Surd>> basis;
  for (int i = n; i >= 1 && !span.empty(); --i) {
    size_t k = 0;
    while (k < span.size() && IsZero(span[k][i])) ++k;
    if (k == span.size()) continue;
    std::vector<Surd> chosen = std::move(span[k]);
    span.erase(span.begin() + static_cast<long>(k));
    const Surd inverse = Inverse(chosen[i], field);
    for (int j = 1; j <= n; ++j) chosen[j] = Multiply(chosen[j], inverse, field);
    for (auto* group : {&span, &basis}) {
      for (std::vector<Surd>& v : *group) {
        if (IsZero(v[i])) continue;
        const Surd factor = v[i];
        for (int j = 1; j <= n; ++j) v[j] = Subtract(v[j], Multiply(factor, chosen[j], field));
      }
    }
    basis.insert(basis.begin(), std::move(chosen));
  }
  return basis;
}

std::string SurdText(const Surd& v, const Integer& d) {
  if (IsZero(v)) return "0";
  return d.Sign() < 0 ? ComplexSurdText(v, d) : RealSurdText(v, d);
}

}  // namespace calc
