#include "oracle.h"

#include <gmpxx.h>

#include <random>
#include <vector>

#include "basicops_press.h"
#include "determinant_press.h"
#include "inverse_press.h"
#include "linear_system.h"
#include "matrix_reader.h"
#include "rank_press.h"
#include "result_text.h"

namespace calc::testing {

const char* const kCalculationNames[kCalculationCount] = {
    "rank", "determinant", "adjugate", "inverse", "sum", "difference", "product", "multiple"};

namespace {

using Q = mpq_class;

mpz_class Z(const Integer& v) {
  if (v.IsSmall()) return mpz_class(static_cast<long>(v.Small()));
  std::string decimal;
  v.AppendDecimal(decimal);
  return mpz_class(decimal);
}

}  // namespace

QMatrix Exact(const FractionMatrix& m, int rows, int cols) {
  QMatrix q(rows, std::vector<Q>(cols));
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      q[i][j] = Q(Z(m(i + 1, j + 1).num), Z(m(i + 1, j + 1).den));
      q[i][j].canonicalize();
    }
  }
  return q;
}

namespace {

std::string Text(const QMatrix& m) {
  std::string text;
  for (const auto& row : m) {
    for (const Q& q : row) text += q.get_str() + " ";  // "0", "n" or "n/d", reduced
    text += "\n";
  }
  return text;
}

Box Result(std::string text, Owner owner = Owner::kNone) {
  return Box{std::move(text), "计算完毕", owner};
}

}  // namespace

size_t Eliminate(QMatrix& m, size_t pivot_cols, bool clear_above) {
  size_t k = 0;
  for (size_t c = 0; c < pivot_cols && k < m.size(); ++c) {
    size_t t = k;
    while (t < m.size() && m[t][c] == 0) ++t;
    if (t == m.size()) continue;
    for (size_t j = 0; t != k && j < m[k].size(); ++j) m[k][j] += m[t][j];
    for (size_t i = clear_above ? 0 : k + 1; i < m.size(); ++i) {
      if (i == k || m[i][c] == 0) continue;
      const Q f = m[i][c] / m[k][c];
      for (size_t j = 0; j < m[i].size(); ++j) m[i][j] -= f * m[k][j];
    }
    ++k;
  }
  return k;
}

bool Invert(const QMatrix& a, QMatrix& inverse, Q& det) {
  const size_t n = a.size();
  QMatrix m = a;
  for (size_t i = 0; i < n; ++i) {
    m[i].resize(2 * n);
    m[i][n + i] = 1;
  }
  if (Eliminate(m, n, true) < n) return false;
  det = 1;
  inverse.assign(n, std::vector<Q>(n));
  for (size_t i = 0; i < n; ++i) {
    det *= m[i][i];
    for (size_t j = 0; j < n; ++j) inverse[i][j] = m[i][n + j] / m[i][i];
  }
  return true;
}

namespace {

// det(A) A^-1 when A is invertible; 0 below rank n - 1. At rank n - 1 every
// cofactor of A + t u v^T is the determinant of a rank-one change of a minor
// of A, affine in t (matrix determinant lemma), so adj(A) = 2 adj(A + u v^T)
// - adj(A + 2 u v^T), with u, v drawn until A + u v^T is invertible.
QMatrix Adjugate(const QMatrix& a) {
  const size_t n = a.size();
  QMatrix adj(n, std::vector<Q>(n)), inverse, rows = a;
  Q det;
  if (Invert(a, inverse, det)) {
    for (size_t i = 0; i < n; ++i) {
      for (size_t j = 0; j < n; ++j) adj[i][j] = det * inverse[i][j];
    }
    return adj;
  }
  if (Eliminate(rows, n, false) + 1 < n) return adj;
  std::mt19937 random(1);
  for (;;) {
    std::vector<int> u(n), v(n);
    for (size_t i = 0; i < n; ++i) u[i] = random() % 7 - 3, v[i] = random() % 7 - 3;
    for (int t = 1; t <= 2; ++t) {
      QMatrix b = a;
      for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) b[i][j] += t * u[i] * v[j];
      }
      if (!Invert(b, inverse, det)) break;
      for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) adj[i][j] += (t == 1 ? 2 : -1) * det * inverse[i][j];
      }
      if (t == 2) return adj;
    }
  }
}

}  // namespace

Box Press(Calculation c, const std::string& first, const std::string& second) {
  switch (c) {
    case kRank:
      return PressRank({first, true}).box;
    case kDeterminant:
      return PressDeterminant({first, false}).box;
    case kAdjugate:
    case kInverse:
      return PressInverse({first, c == kAdjugate, c == kInverse}).box;
    default:
      return PressBasicOps(
          {first, second, c == kSum, c == kDifference, c == kProduct, c == kMultiple});
  }
}

Box Expected(Calculation c, const FractionMatrix& a, const FractionMatrix& b) {
  const int n = a.rows;
  if (c != kRank && c <= kInverse && n != a.cols) return Box{"请输入方阵", "Error", Owner::kDialog};
  if (c == kMultiple && (b.rows != 1 || b.cols != 1)) {
    return Box{"数乘时请在矩阵2中只输入一个数", "Error", Owner::kDialog};
  }
  QMatrix m = c <= kInverse ? Exact(a, n, c == kRank ? a.cols : n) : QMatrix();
  Q det = 1;
  switch (c) {
    case kRank: {
      const size_t rank = Eliminate(m, a.cols, false);
      return Result(Text(m) + "\n矩阵的秩为" + std::to_string(rank));
    }
    case kDeterminant:
      if (Eliminate(m, n, false) < static_cast<size_t>(n)) det = 0;
      for (int i = 0; i < n; ++i) det *= m[i][i];
      return Result("行列式的值为 " + det.get_str(), Owner::kDialog);
    case kAdjugate:
      return Result(Text(Adjugate(m)));
    case kInverse: {
      QMatrix inverse;
      if (!Invert(m, inverse, det))
        return Box{"该矩阵的值为0,不存在逆矩阵!", "False !", Owner::kDialog};
      return Result(Text(inverse));
    }
    default:
      break;
  }
  const bool same_shape = a.rows == b.rows && a.cols == b.cols;
  if (c == kProduct ? a.cols != b.rows : c != kMultiple && !same_shape) {
    return Box{"矩阵有误", "Error", Owner::kDialog};
  }
  const QMatrix x = Exact(a, a.rows, a.cols), y = Exact(b, b.rows, b.cols);
  QMatrix r(a.rows, std::vector<Q>(c == kProduct ? b.cols : a.cols));
  for (int i = 0; i < a.rows; ++i) {
    for (size_t j = 0; j < r[i].size(); ++j) {
      if (c == kSum) r[i][j] = x[i][j] + y[i][j];
      if (c == kDifference) r[i][j] = x[i][j] - y[i][j];
      if (c == kMultiple) r[i][j] = x[i][j] * y[0][0];
      for (int k = 0; c == kProduct && k < a.cols; ++k) r[i][j] += x[i][k] * y[k][j];
    }
  }
  return Result(Text(r));
}

Box ExpectedForTexts(Calculation c, const std::string& first, const std::string& second) {
  FractionMatrix a, b;
  ReadResult read = ReadMatrixText(first, a);
  if (read.ok() && c >= kSum) read = ReadMatrixText(second, b);
  if (!read.ok()) return Box{ReadMessage(read), "Error", Owner::kDialog};
  return Expected(c, a, b);
}

std::string Compare(const Box& shown, const Box& expected) {
  if (!(shown == expected)) {
    return "shown \"" + Escaped(shown.text) + "\" (" + shown.caption + "), expected \"" +
           Escaped(expected.text) + "\" (" + expected.caption + ")";
  }
  return "";
}

std::string SystemAnswerFault(const FractionMatrix& a, const LinearSystem& s) {
  const size_t m = a.rows, n = a.cols - 1;
  const QMatrix q = Exact(a, a.rows, a.cols);
  QMatrix rref = q;
  const size_t rank_ab = Eliminate(rref, n + 1, true);
  size_t rank_a = 0;
  std::vector<bool> pivot(n + 1, false);
  for (size_t k = 0; k < rank_ab; ++k) {
    size_t j = 0;
    while (rref[k][j] == 0) ++j;
    const mpq_class p = rref[k][j];
    for (mpq_class& x : rref[k]) x /= p;
    if (j < n) ++rank_a, pivot[j] = true;
  }
  if (Exact(s.reduced, m, n + 1) != rref) return "not the reduced form";
  if (s.rank_a != static_cast<int>(rank_a) || s.rank_ab != static_cast<int>(rank_ab)) {
    return "the ranks";
  }
  bool homogeneous = true;
  for (size_t i = 0; i < m; ++i) homogeneous = homogeneous && q[i][n] == 0;
  const SystemVerdict verdict = rank_a < rank_ab ? SystemVerdict::kNone
                                : rank_a < n     ? SystemVerdict::kInfinite
                                : homogeneous    ? SystemVerdict::kZeroOnly
                                                 : SystemVerdict::kUnique;
  if (s.verdict != verdict) return "the verdict";
  if (verdict == SystemVerdict::kNone) return "";
  std::vector<size_t> free;
  for (size_t j = 0; j < n; ++j) {
    if (!pivot[j]) free.push_back(j);
  }
  if (s.free_count != static_cast<int>(free.size())) return "the number of free unknowns";
  FractionMatrix eta;
  for (size_t j = 0; j < n; ++j) eta(1, j + 1) = s.particular[j + 1];
  const QMatrix x = Exact(eta, 1, n), basis = Exact(s.basis, s.free_count, n);
  for (size_t t = 0; t < free.size(); ++t) {
    if (s.free_unknown[t + 1] != static_cast<int>(free[t]) + 1) return "the free unknowns";
    if (x[0][free[t]] != 0) return "η is not 0 on a free unknown";
    for (size_t u = 0; u < free.size(); ++u) {
      if (basis[t][free[u]] != (t == u ? 1 : 0)) return "ξ's unit pattern";
    }
  }
  for (size_t i = 0; i < m; ++i) {
    mpq_class ax = 0;
    for (size_t j = 0; j < n; ++j) ax += q[i][j] * x[0][j];
    if (ax != q[i][n]) return "A η is not b";
    for (size_t t = 0; t < free.size(); ++t) {
      mpq_class a_xi = 0;
      for (size_t j = 0; j < n; ++j) a_xi += q[i][j] * basis[t][j];
      if (a_xi != 0) return "A ξ is not 0";
    }
  }
  return "";
}

}  // namespace calc::testing
