// Tessovar's calculation: the sum, difference or product of two matrices,
// or the first matrix times a number taken from the second.
#pragma once

#include <string>

#include "box.h"
#include "fraction_matrix.h"

namespace calc {

// The state of Tessovar's controls when "计算" is pressed. In the dialog the
// four choices are radio buttons, so at most one is set; should several be,
// the first of subtract, scalar, add, multiply is the one run.
struct BasicOpsInput {
  std::string first_text;   // IDC_FIRST_MATRIX, "矩阵1"
  std::string second_text;  // IDC_MATRIX, "矩阵2"
  bool add = false;         // IDC_ADD, "加法"
  bool subtract = false;    // IDC_SUBTRACT, "减法"
  bool multiply = false;    // IDC_MULTIPLY, "乘法"
  bool scalar = false;      // IDC_SCALAR, "数乘"
};

// Each operation leaves its exact result in a (entries, and a.cols after a
// product), reduced. The shapes must already have been checked.

// a += b (b negated when subtract), entry by entry over a's rows and columns.
void AddMatrices(FractionMatrix& a, const FractionMatrix& b, bool subtract);

// a *= entry (1, 1) of b.
void MultiplyByNumber(FractionMatrix& a, const FractionMatrix& b);

// a := a * b; a.cols must equal b.rows.
void MultiplyMatrices(FractionMatrix& a, const FractionMatrix& b);

// One press of "计算": the box the user sees.
Box PressBasicOps(const BasicOpsInput& input);

}  // namespace calc
