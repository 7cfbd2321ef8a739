// Zelcombe's command handler: gathers the controls' state, runs the press
// (which writes the process log when asked to) and shows its boxes.
#include "about.h"
#include "determinant_press.h"
#include "messages.h"
#include "shell.h"
#include "zelcombe_resource.h"

void HandleCommand(HWND dialog, int control_id) {
  switch (control_id) {
    case IDC_INSTRUCTIONS:
      ShowBox(dialog, calc::ZelcombeHelpBox());
      break;
    case IDC_CALCULATE: {
      calc::DeterminantInput input;
      input.log_chosen = IsButtonChecked(dialog, IDC_PROCESS_LOG);
      input.matrix_text = ReadControlText(dialog, IDC_MATRIX);
      ShowOutcome(dialog, calc::PressDeterminant(input));
      break;
    }
    default:
      break;
  }
}

calc::Box ProgramAboutBox() {
  return calc::AboutBox(ZELCOMBE_NAME, ZELCOMBE_TASK);
}

std::string ControlTip(int control_id) {
  switch (control_id) {
    case IDC_MATRIX:
      return calc::kTipMatrix;
    default:
      return "";
  }
}
