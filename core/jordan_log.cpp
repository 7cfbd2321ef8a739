#include "jordan_log.h"

#include <string_view>
#include <utility>

#include "process_log.h"
#include "text_forms.h"

namespace calc {

namespace {

// Puts one line of the log: the words with the number between them, and
// CR LF.
void PutLine(TextWriter& out, std::string_view first, int number, std::string_view then) {
  out.Put(first);
  out.Put(Integer(number));
  out.Put(then);
  out.Put("\r\n");
}

Integer DivideIfNotOne(const Integer& a, const Integer& g) {
  return g.IsOne() ? a : DivideExact(a, g);
}

// r * x * factor, reduced, for a reduced factor (its denominator
// positive); x may be null (1). One gcd of r x with the denominator.
Fraction ReducedProduct(const Integer& r, const Integer* x, const Fraction& factor) {
  if (r.IsZero()) return Fraction{};
  Integer num = x != nullptr ? r * *x : r;
  const Integer g = Gcd(num, factor.den);
  num = DivideIfNotOne(num, g);
  return Fraction{factor.num.IsOne() ? std::move(num) : num * factor.num,
                  DivideIfNotOne(factor.den, g)};
}

}  // namespace

JordanLog::JordanLog(const JordanForm& form, const Layout& layout, std::string& log)
    : form_(form), layout_(layout), log_(log) {
  for (int i = 1; i <= layout.rows; ++i) typed_row_[i] = i;
  zero_row_ = ZeroLeftHalf(1);
  Fraction factor[kMaxOrder + 1];
  for (int i = 1; i <= layout.rows; ++i) factor[i] = Reduced(Integer(1), form.scale[i]);
  SetShown(factor);
  AppendOriginalMatrix(ShownRows(), layout_.divider, log_);
}

void JordanLog::AfterStep(const Step& step) {
  if (zero_row_ != 0) return;
  if (!step.found) return AppendSkippedColumn(step.col, log_);
  const int k = step.row;
  TextWriter out(log_);
  if (step.repaired_from != 0) {
    std::swap(typed_row_[k], typed_row_[step.repaired_from]);
    std::swap(shown_[k], shown_[step.repaired_from]);
    out.Put("交换第");
    out.Put(Integer(k));
    PutLine(out, "行与第", step.repaired_from, "行:");
    out.Flush();
    if (layout_.rows > 1) PutShown();
  }
  pivot_[k] = form_.rows(k, step.col);
  if (layout_.rows > 1) {
    PutLine(out, "用第", k, "行对其余各行进行消元可得如下:");
    out.Flush();
    Fraction column[kMaxOrder + 1];
    for (int i = 1; i <= layout_.rows; ++i) column[i] = shown_[i][step.col];
    AppendRowOperations(column, layout_.rows, k, true, log_);
    Fraction factor[kMaxOrder + 1];
    for (int i = 1; i <= layout_.rows; ++i) {
      const Integer& s = form_.scale[typed_row_[i]];
      factor[i] = i <= k ? Reduced(pivot_[i], s * pivot_[i - 1] * pivot_[k])
                         : Reduced(Integer(1), s * pivot_[k]);
    }
    PutBlock(factor);
  }
  zero_row_ = ZeroLeftHalf(k + 1);
}

void JordanLog::PutDivided() {
  AppendLogLine("各行除以主元可得如下:", log_);
  Fraction factor[kMaxOrder + 1];
  for (int i = 1; i <= layout_.rows; ++i) factor[i] = Reduced(Integer(1), form_.result.last_pivot);
  PutBlock(factor);
}

int JordanLog::ZeroLeftHalf(int from) const {
  if (!layout_.stop_at_zero_left) return 0;
  for (int i = from; i <= layout_.rows; ++i) {
    int j = 1;
    while (j <= layout_.divider && form_.rows(i, j).IsZero()) ++j;
    if (j > layout_.divider) return i;
  }
  return 0;
}

// Row i of the block is R_i times factor[i], the scaled columns also times
// s_j.
void JordanLog::SetShown(const Fraction factor[]) {
  for (int i = 1; i <= layout_.rows; ++i) {
    for (int j = 1; j <= layout_.cols; ++j) {
      const bool scaled = layout_.scaled_right && j > layout_.divider;
      const Integer* column_scale = scaled ? &form_.scale[j - layout_.divider] : nullptr;
      shown_[i][j] = ReducedProduct(form_.rows(i, j), column_scale, factor[i]);
    }
  }
}

RowSet JordanLog::ShownRows() {
  RowSet rows;
  for (int i = 1; i <= layout_.rows; ++i) rows.row[i] = shown_[i];
  rows.rows = layout_.rows;
  rows.cols = layout_.cols;
  return rows;
}

void JordanLog::PutBlock(const Fraction factor[]) {
  SetShown(factor);
  PutShown();
}

void JordanLog::PutShown() {
  AppendLogBlock(ShownRows(), layout_.divider, log_);
}

}  // namespace calc
