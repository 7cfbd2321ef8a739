// Quorvit's calculation: the eliminated matrix and its rank.
#pragma once

#include <string>

#include "box.h"
#include "fraction_matrix.h"
#include "process_log.h"

namespace calc {

// The state of Quorvit's controls when "计算" is pressed.
struct RankInput {
  std::string matrix_text;          // IDC_MATRIX
  bool rank_chosen = false;         // IDC_RANK ("秩") checked
  bool eigenvalues_chosen = false;  // IDC_EIGENVALUES ("特征值") checked
  bool log_chosen = false;          // IDC_PROCESS_LOG ("生成计算过程") checked
  bool solve_chosen = false;        // IDC_SOLVE ("解方程组") checked
};

// Brings m (rows 1..m.rows, columns 1..m.cols) to row echelon form in place
// by exact fraction elimination (a zero pivot repaired by adding the first
// lower row that has a non-zero entry in its column) and returns the rank,
// the number of pivots.
int EliminateForRank(FractionMatrix& m);

// The same elimination step by step on fractions, every entry reduced,
// appending to log what each step does: a line for a column without a
// pivot ("第c列无主元, 跳过"), a line for a pivot repair ("第t行加到第k行:"),
// and for each pivot with rows below it the header
// "用第k行对k+1~m行进行高斯消元可得如下:" and the matrix after the step.
int EliminateForRankWithLog(FractionMatrix& m, std::string& log);

// One press of "计算": the box the user sees and, when the log is chosen and
// the matrix was read, the process log (the steps, then the box's text).
// With "特征值" chosen, the eigenvalues of a square matrix (EigenvalueText
// in eigen.h); their log holds the result text alone. With "解方程组"
// chosen, the solution of the system whose augmented matrix was typed
// (linear_system.h); its log holds the Gauss-Jordan steps, then the text.
LoggedOutcome PressRank(const RankInput& input);

}  // namespace calc
