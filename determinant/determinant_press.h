// Zelcombe's calculation: the exact value of a determinant, and the record
// of its elimination steps that the user can ask for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "box.h"
#include "elimination.h"

namespace calc {

// The file the steps are written to, in the current directory.
inline constexpr char kProcessLogName[] = "计算过程.txt";
inline constexpr char kMsgLogNotWritten[] = "无法写入计算过程.txt";

// The state of Zelcombe's controls when "计算" is pressed.
struct DeterminantInput {
  std::string matrix_text;  // IDC_MATRIX
  bool log_chosen = false;  // IDC_PROCESS_LOG ("生成计算过程") checked
};

// What one press produces: the box to show and, when write_log is set, the
// exact bytes of the process log (CR LF line ends, the last line without
// one). When write_log is false an existing log file must stay as it is.
struct DeterminantOutcome {
  Box box;
  bool write_log = false;
  std::string log;
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

// One press of "计算".
DeterminantOutcome PressDeterminant(const DeterminantInput& input);

// A whole press as the dialog runs it: computes, writes the log to
// log_path when asked to, and returns the boxes to show in order (a box
// saying the log could not be written, if so, then the press's own box).
std::vector<Box> RunDeterminantPress(const DeterminantInput& input, const char* log_path);

// The box shown by "使用说明".
Box ZelcombeHelpBox();

}  // namespace calc
