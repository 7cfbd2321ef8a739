// Lumbrane's command handler: gathers the controls' state, runs the press
// and shows its box (after writing the process log when it is asked for); "使用说明" shows the help
// box.
#include "about.h"
#include "inverse_press.h"
#include "lumbrane_resource.h"
#include "messages.h"
#include "shell.h"

void HandleCommand(HWND dialog, int control_id) {
  switch (control_id) {
    case IDC_INSTRUCTIONS:
      ShowBox(dialog, calc::LumbraneHelpBox());
      break;
    case IDC_CALCULATE: {
      calc::InverseInput input;
      input.adjugate_chosen = IsButtonChecked(dialog, IDC_ADJUGATE);
      input.inverse_chosen = IsButtonChecked(dialog, IDC_INVERSE);
      input.log_chosen = IsButtonChecked(dialog, IDC_PROCESS_LOG);
      // The text is only needed once a calculation has been chosen.
      if (input.adjugate_chosen || input.inverse_chosen) {
        input.matrix_text = ReadControlText(dialog, IDC_MATRIX);
      }
      ShowOutcome(dialog, calc::PressInverse(input));
      break;
    }
    default:
      break;
  }
}

calc::Box ProgramAboutBox() {
  return calc::AboutBox(LUMBRANE_NAME, LUMBRANE_TASK);
}

std::string ControlTip(int control_id) {
  switch (control_id) {
    case IDC_MATRIX:
      return calc::kTipMatrix;
    case IDC_ADJUGATE:
      return "方阵的伴随阵 A*";
    case IDC_INVERSE:
      return "方阵的逆矩阵 A^-1 (行列式不为0时)";
    default:
      return "";
  }
}
