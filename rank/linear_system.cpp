#include "linear_system.h"

#include <memory>

#include "jordan_log.h"
#include "text_forms.h"

namespace calc {

namespace {

// The reduced form from the fraction-free echelon form R: in each column c
// without a pivot, z = d T^-1 R(., c), where T holds the pivot columns of
// rows 1..r and d = p_r is the last pivot, the determinant of the pivot
// rows' pivot columns before elimination. By Cramer's rule z is an integer
// vector, so each step of the back substitution divides exactly, and the
// entries of the reduced form are z / d.
void BackSubstitute(const IntegerRows& r, const FractionFreeResult& done, int cols,
                    FractionMatrix& reduced) {
  const int rank = done.rank;
  bool pivot[kMaxOrder + 1] = {};
  for (int k = 1; k <= rank; ++k) {
    pivot[done.pivot_col[k]] = true;
    reduced(k, done.pivot_col[k]) = Fraction{Integer(1), Integer(1)};
  }
  // With |d| in place of d, z / |d| are the same entries.
  const Integer d = done.last_pivot.Sign() < 0 ? -done.last_pivot : done.last_pivot;
  const Integer zero(0), one(1);
  Integer z[kMaxOrder + 1];
  for (int c = 1; c <= cols; ++c) {
    if (pivot[c]) continue;
    for (int k = rank; k >= 1; --k) {
      if (done.pivot_col[k] > c) {
        z[k] = Integer(0);
        continue;
      }
      z[k] = r(k, c);
      z[k].MultiplySubtractDivide(d, zero, zero, one);
      for (int t = k + 1; t <= rank && done.pivot_col[t] < c; ++t) {
        if (!z[t].IsZero()) z[k].MultiplySubtractDivide(one, r(k, done.pivot_col[t]), z[t], one);
      }
      z[k].MultiplySubtractDivide(one, zero, zero, r(k, done.pivot_col[k]));
    }
    for (int k = 1; k <= rank; ++k) reduced(k, c) = Reduced(std::move(z[k]), d);
  }
}

// Reads the answer off the reduced form.
void ReadSolution(LinearSystem& s) {
  const int n = s.unknowns;
  if (s.rank_a < s.rank_ab) {
    s.verdict = SystemVerdict::kNone;
    return;
  }
  if (s.rank_a == n) {
    s.verdict = s.homogeneous ? SystemVerdict::kZeroOnly : SystemVerdict::kUnique;
  } else {
    s.verdict = SystemVerdict::kInfinite;
  }
  int* const pivot_row = s.pivot_row;
  for (int k = 1, j = 1; k <= s.rank_a; ++k) {
    while (s.reduced(k, j).num.IsZero()) ++j;
    pivot_row[j] = k;
  }
  for (int j = 1; j <= n; ++j) {
    if (pivot_row[j] == 0) {
      s.free_unknown[++s.free_count] = j;
    } else {
      s.particular[j] = s.reduced(pivot_row[j], n + 1);
    }
  }
  for (int t = 1; t <= s.free_count; ++t) {
    const int f = s.free_unknown[t];
    s.basis(t, f) = Fraction{Integer(1), Integer(1)};
    for (int j = 1; j <= n; ++j) {
      if (pivot_row[j] != 0) s.basis(t, j) = -s.reduced(pivot_row[j], f);
    }
  }
}

// Where the text of each entry of the reduced form lies in the text.
struct EntryTexts {
  size_t start[kMaxOrder + 1][kMaxOrder + 2];
  size_t end[kMaxOrder + 1][kMaxOrder + 2];
};

// The entries of a column of the reduced form share most denominators
// (|d| over small gcds), so a big denominator equal to the one written
// last is copied from the text instead of converted again. A big value's
// digits go straight into the text, so they can be copied from there.
class EntryWriter {
 public:
  explicit EntryWriter(TextWriter& out) : out_(out) {}
  void Put(const Fraction& x) {
    if (x.num.IsZero() || x.den.IsSmall()) return out_.Put(x);
    out_.Put(x.num);
    out_.Put('/');
    if (last_ != nullptr && x.den == *last_) return out_.Repeat(start_, end_ - start_);
    start_ = out_.Written();
    out_.Put(x.den);
    end_ = out_.Written();
    last_ = &x.den;
  }

 private:
  TextWriter& out_;
  const Integer* last_ = nullptr;
  size_t start_ = 0, end_ = 0;
};

// η is column n + 1 of the reduced form on the pivot unknowns, and each ξ
// the negated column of its free unknown, so their entries' texts are
// copied from the reduced form's instead of converted again: entry j is
// column `col` of the pivot row of unknown j (negated with `negate`), or
// free_entry[j] when unknown j is free.
void PutVector(TextWriter& out, const LinearSystem& s, const EntryTexts& texts, int col,
               bool negate, const Fraction* free_entry) {
  out.Put("(");
  for (int j = 1; j <= s.unknowns; ++j) {
    if (j > 1) out.Put(", ");
    const int k = s.pivot_row[j];
    if (k == 0) {
      out.Put(free_entry[j]);
      continue;
    }
    size_t start = texts.start[k][col];
    const size_t end = texts.end[k][col];
    if (negate && !s.reduced(k, col).num.IsZero()) {
      if (s.reduced(k, col).num.Sign() < 0) {
        ++start;  // past the minus
      } else {
        out.Put('-');
      }
    }
    out.Repeat(start, end - start);
  }
  out.Put(")^T\n");
}

// "k1, k2" or "k1ξ1 + k2ξ2".
void PutConstants(TextWriter& out, int count, bool with_vectors) {
  for (int t = 1; t <= count; ++t) {
    if (t > 1) out.Put(with_vectors ? " + " : ", ");
    out.Put('k');
    out.Put(Integer(t));
    if (with_vectors) {
      out.Put("ξ");
      out.Put(Integer(t));
    }
  }
}

void PutInfinitelyMany(TextWriter& out, const LinearSystem& s, const EntryTexts& texts) {
  out.Put("自由未知量 ");
  for (int t = 1; t <= s.free_count; ++t) {
    if (t > 1) out.Put(", ");
    out.Put('x');
    out.Put(Integer(s.free_unknown[t]));
  }
  out.Put('\n');
  if (!s.homogeneous) {
    out.Put("特解:\nη = ");
    PutVector(out, s, texts, s.unknowns + 1, false, s.particular);
  }
  out.Put("基础解系:\n");
  for (int t = 1; t <= s.free_count; ++t) {
    out.Put("ξ");
    out.Put(Integer(t));
    out.Put(" = ");
    PutVector(out, s, texts, s.free_unknown[t], true, s.basis.entry[t]);
  }
  out.Put(s.homogeneous ? "通解 x = " : "通解 x = η + ");
  PutConstants(out, s.free_count, true);
  out.Put(" (");
  PutConstants(out, s.free_count, false);
  out.Put(" 为任意常数)");
}

}  // namespace

LinearSystem SolveLinearSystem(const FractionMatrix& a, std::string* log) {
  LinearSystem s;
  s.equations = a.rows;
  s.unknowns = a.cols - 1;
  const int m = a.rows, cols = a.cols;
  s.homogeneous = true;
  for (int i = 1; i <= m; ++i) s.homogeneous = s.homogeneous && a(i, cols).num.IsZero();

  const std::unique_ptr<JordanForm> form(new JordanForm);  // large: kept off the stack
  ClearDenominators(a, m, cols, form->rows, form->scale);
  std::unique_ptr<JordanLog> steps;
  StepObserver observer;
  if (log != nullptr) {
    JordanLog::Layout layout;
    layout.rows = m;
    layout.cols = cols;
    layout.divider = s.unknowns;
    steps.reset(new JordanLog(*form, layout, *log));
    observer = [&steps](const Step& step) { steps->AfterStep(step); };
  }
  // The log shows the Gauss-Jordan steps; without it the echelon form and
  // a back substitution give the same reduced form with less work.
  const bool jordan = log != nullptr;
  form->result = EliminateFractionFree(form->rows, form->scale, cols, jordan,
                                       PivotRepair::kExchangeRows, observer);
  if (steps != nullptr) steps->PutDivided();
  const FractionFreeResult& done = form->result;
  s.rank_ab = done.rank;
  for (int k = 1; k <= done.rank; ++k) {
    if (done.pivot_col[k] <= s.unknowns) s.rank_a = k;
  }
  if (jordan) {
    // Every pivot row holds the last pivot in its pivot column.
    for (int k = 1; k <= done.rank; ++k) {
      for (int j = 1; j <= cols; ++j) s.reduced(k, j) = Reduced(form->rows(k, j), done.last_pivot);
    }
  } else {
    BackSubstitute(form->rows, done, cols, s.reduced);
  }
  ReadSolution(s);
  return s;
}

std::string LinearSystemText(const LinearSystem& s) {
  std::string text;
  const std::unique_ptr<EntryTexts> texts(new EntryTexts);
  TextWriter out(text);
  EntryWriter entries(out);
  out.Put("增广矩阵的行最简形:\n");
  for (int i = 1; i <= s.equations; ++i) {
    for (int j = 1; j <= s.unknowns + 1; ++j) {
      if (j > 1) out.Put(j == s.unknowns + 1 ? " | " : " ");
      texts->start[i][j] = out.Written();
      entries.Put(s.reduced(i, j));
      texts->end[i][j] = out.Written();
    }
    out.Put('\n');
  }
  out.Flush();
  out.Put("\nr(A) = ");
  out.Put(Integer(s.rank_a));
  out.Put(", r(A|b) = ");
  out.Put(Integer(s.rank_ab));
  out.Put('\n');
  switch (s.verdict) {
    case SystemVerdict::kNone:
      out.Put("方程组无解");
      break;
    case SystemVerdict::kUnique:
    case SystemVerdict::kZeroOnly:
      out.Put(s.verdict == SystemVerdict::kUnique ? "方程组有唯一解\nx = "
                                                  : "方程组只有零解\nx = ");
      PutVector(out, s, *texts, s.unknowns + 1, false, s.particular);
      break;
    case SystemVerdict::kInfinite:
      out.Put("方程组有无穷多解\n");
      PutInfinitelyMany(out, s, *texts);
      break;
  }
  out.Flush();
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace calc
