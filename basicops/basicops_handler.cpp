// Tessovar's command handler: gathers the controls' state, runs the press and
// shows its box.
#include "basicops_press.h"
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
