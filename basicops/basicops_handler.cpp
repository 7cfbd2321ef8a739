// Tessovar's command handler: gathers the controls' state, runs the press and
// shows its box.
#include "about.h"
#include "basicops_press.h"
#include "messages.h"
#include "shell.h"
#include "tessovar_resource.h"

void HandleCommand(HWND dialog, int control_id) {
  switch (control_id) {
    case IDC_CALCULATE: {
      calc::BasicOpsInput input;
      input.first_text = ReadControlText(dialog, IDC_FIRST_MATRIX);
      input.second_text = ReadControlText(dialog, IDC_MATRIX);
      input.add = IsButtonChecked(dialog, IDC_ADD);
      input.subtract = IsButtonChecked(dialog, IDC_SUBTRACT);
      input.multiply = IsButtonChecked(dialog, IDC_MULTIPLY);
      input.scalar = IsButtonChecked(dialog, IDC_SCALAR);
      ShowBox(dialog, calc::PressBasicOps(input));
      break;
    }
    default:
      break;
  }
}

calc::Box ProgramAboutBox() {
  return calc::AboutBox(TESSOVAR_NAME, TESSOVAR_TASK);
}

std::string ControlTip(int control_id) {
  switch (control_id) {
    case IDC_FIRST_MATRIX:
      return calc::kTipMatrix;
    case IDC_MATRIX:
      return std::string(calc::kTipMatrix) + "\r\n数乘时, 在矩阵2中只输入一个数。";
    case IDC_ADD:
      return "矩阵1 + 矩阵2 (行数、列数相同)";
    case IDC_SUBTRACT:
      return "矩阵1 - 矩阵2 (行数、列数相同)";
    case IDC_MULTIPLY:
      return "矩阵1 × 矩阵2 (矩阵1的列数等于矩阵2的行数)";
    case IDC_SCALAR:
      return "矩阵1 乘以矩阵2中的一个数";
    default:
      return "";
  }
}
