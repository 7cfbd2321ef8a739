// Zelcombe's calculation: the exact value of a determinant, and the record
// of its elimination steps that the user can ask for.
#pragma once

#include <cstdint>
#include <string>

#include "box.h"
#include "elimination.h"
#include "process_log.h"

namespace calc {

// The state of Zelcombe's controls when "计算" is pressed.
struct DeterminantInput {
  std::string matrix_text;  // IDC_MATRIX
  bool log_chosen = false;  // IDC_PROCESS_LOG ("生成计算过程") checked
};

// Appends the header line of elimination step `step` of an order-n
// determinant: "用第s行对s+1~n行进行高斯消元可得如下:" and CR LF.
void WriteStepHeader(int step, int n, std::string& log);

// Appends rows and columns 1..n, every entry preceded by one blank, every
// row ended by CR LF, and one more CR LF after the block.
void WriteMatrixToLog(const RowSet& rows, int n, std::string& log);

// "行列式的值为 " and the value: "0", the numerator alone when the
// denominator is 1, otherwise "n/d".
std::string DeterminantResultText(const Fraction& value);

// Brings rows and columns 1..n of m to upper-triangular form in place
// (a zero pivot is repaired by adding the first lower row that has a
// non-zero entry in its column; rows are never exchanged), then multiplies
// the diagonal: the exact value, reduced. When log is not null, every step
// appends its header and the matrix after it.
Fraction CalculateDeterminant(FractionMatrix& m, int n, std::string* log);

// One press of "计算": the box and, when the log is chosen and the text
// was read, the bytes of the process log.
LoggedOutcome PressDeterminant(const DeterminantInput& input);

// The box shown by "使用说明".
Box ZelcombeHelpBox();

}  // namespace calc
