// Lumbrane's calculation: the adjugate or the inverse of a square matrix,
// and its help box.
#pragma once

#include <cstdint>
#include <string>

#include "box.h"
#include "fraction_matrix.h"
#include "process_log.h"

namespace calc {

// The state of Lumbrane's controls when "计算" is pressed.
struct InverseInput {
  std::string matrix_text;       // IDC_MATRIX
  bool adjugate_chosen = false;  // IDC_ADJUGATE ("伴随阵") checked
  bool inverse_chosen = false;   // IDC_INVERSE ("逆矩阵") checked
  bool log_chosen = false;       // IDC_PROCESS_LOG ("生成计算过程") checked
};

// One press of "计算": the box the user sees and, when the log is chosen and
// the matrix was read, the process log: the Gauss-Jordan elimination of
// [A | E] step by step, then the box's text.
LoggedOutcome PressInverse(const InverseInput& input);

// The box shown by "使用说明".
Box LumbraneHelpBox();

}  // namespace calc
