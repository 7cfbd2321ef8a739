// The fraction-free Gauss-Jordan elimination that Lumbrane ([A | E]) and
// Quorvit's systems ([A | b]) run, and its process log written as the
// elimination on fractions goes, step by step.
#pragma once

#include <string>

#include "elimination.h"

namespace calc {

// The integer rows B = D M of a matrix M, each row multiplied by the lcm of
// its denominators (scale[i]), and the result of their elimination.
struct JordanForm {
  IntegerRows rows;
  Integer scale[kMaxOrder + 1];
  FractionFreeResult result;
};

// The log of the Gauss-Jordan elimination on fractions, every entry
// reduced, read back from the integer rows while the fraction-free
// elimination of B runs: after the step with pivot row k, a row i > k of
// the fractions is R_i / (s_i p_k), and a pivot row i <= k is R_i p_i /
// (s_i p_(i-1) p_k), where p_k is the pivot of step k (p_0 = 1) and s_i the
// scale of the typed row that row i holds. These are the values the
// step-by-step elimination on fractions has, whichever road the answer
// takes.
class JordanLog {
 public:
  struct Layout {
    int rows = 0;
    int cols = 0;
    int divider = 0;                 // " |" after this column
    bool scaled_right = false;       // columns right of the divider j are further times s_j (an E)
    bool stop_at_zero_left = false;  // no step once a row's left half is 0
  };

  // form holds the rows as prepared for the elimination; the log opens
  // with "原矩阵:" and their block.
  JordanLog(const JordanForm& form, const Layout& layout, std::string& log);

  // The observer of each step: "交换第k行与第t行:" and the block after the
  // exchange, then "用第k行对其余各行进行消元可得如下:", the line naming
  // the row operations (AppendRowOperations) and the block (no header and
  // no block with a single row); "第c列无主元, 跳过" for a column without
  // a pivot.
  void AfterStep(const Step& step);

  // With stop_at_zero_left: the first row whose left half became 0, else 0.
  int zero_row() const { return zero_row_; }

  // "各行除以主元可得如下:" and the block with each pivot row divided by its
  // pivot: R_i / p_last.
  void PutDivided();

 private:
  int ZeroLeftHalf(int from) const;
  // Row i of the block is R_i times factor[i], kept in shown_; PutBlock
  // also writes it.
  void SetShown(const Fraction factor[]);
  void PutBlock(const Fraction factor[]);
  void PutShown();
  RowSet ShownRows();

  const JordanForm& form_;
  const Layout layout_;
  std::string& log_;
  int typed_row_[kMaxOrder + 1];
  Integer pivot_[kMaxOrder + 1] = {Integer(1)};
  int zero_row_ = 0;
  // The last block written, up to 2n columns for [A | E].
  Fraction shown_[kMaxOrder + 1][2 * kMaxOrder + 1];
};

}  // namespace calc
