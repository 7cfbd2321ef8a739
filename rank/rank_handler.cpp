// Quorvit's command handler: gathers the controls' state, runs the press and
// shows its box, after writing the process log when it is asked for.
#include "quorvit_resource.h"
#include "rank_press.h"
#include "shell.h"

void HandleCommand(HWND dialog, int control_id) {
  switch (control_id) {
    case IDC_CALCULATE: {
      calc::RankInput input;
      input.matrix_text = ReadControlText(dialog, IDC_MATRIX);
      input.rank_chosen = IsButtonChecked(dialog, IDC_RANK);
      input.eigenvalues_chosen = IsButtonChecked(dialog, IDC_EIGENVALUES);
      input.log_chosen = IsButtonChecked(dialog, IDC_PROCESS_LOG);
      ShowOutcome(dialog, calc::PressRank(input));
      break;
    }
    default:
      break;
  }
}
