// Quorvit's command handler: gathers the controls' state, runs the press and
// shows its box, after writing the process log when it is asked for.
#include "about.h"
#include "messages.h"
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
      input.solve_chosen = IsButtonChecked(dialog, IDC_SOLVE);
      input.log_chosen = IsButtonChecked(dialog, IDC_PROCESS_LOG);
      ShowOutcome(dialog, calc::PressRank(input));
      break;
    }
    default:
      break;
  }
}

calc::Box ProgramAboutBox() {
  return calc::AboutBox(QUORVIT_NAME, QUORVIT_TASK);
}

std::string ControlTip(int control_id) {
  switch (control_id) {
    case IDC_MATRIX:
      return calc::kTipMatrix;
    case IDC_RANK:
      return "化为行阶梯形, 求矩阵的秩";
    case IDC_EIGENVALUES:
      return "方阵的特征多项式、特征值和特征向量";
    case IDC_SOLVE:
      return "把矩阵看作方程组 Ax = b 的增广矩阵 [A | b] (最后一列是 b):\r\n"
             "行最简形、r(A) 和 r(A|b)、解或通解";
    default:
      return "";
  }
}
