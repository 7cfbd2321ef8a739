// Quorvit's calculation: the eliminated matrix and its rank.
#pragma once

#include <string>

#include "box.h"
#include "fraction_matrix.h"

namespace calc {

// The state of Quorvit's controls when "计算" is pressed.
struct RankInput {
  std::string matrix_text;          // IDC_MATRIX
  bool rank_chosen = false;         // IDC_RANK ("秩") checked
  bool eigenvalues_chosen = false;  // IDC_EIGENVALUES ("特征值") checked
};

// Brings m (rows 1..m.rows, columns 1..m.cols) to row echelon form in place
// by exact fraction elimination (a zero pivot repaired by adding the first
// lower row that has a non-zero entry in its column) and returns the rank,
// the number of pivots.
int EliminateForRank(FractionMatrix& m);

// One press of "计算": the box the user sees. With "特征值" chosen, the
// eigenvalues of a square matrix (EigenvalueText in eigen.h).
Box PressRank(const RankInput& input);

}  // namespace calc
