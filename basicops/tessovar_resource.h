// Resource ids of Tessovar.
#pragma once

#include "control_ids.h"

// The program as its version resource and its "关于…" box name it.
#define TESSOVAR_NAME "Tessovar"
#define TESSOVAR_TASK "两个分数矩阵的和、差、积与数乘的精确计算"

#define IDI_TESSOVAR 101
#define IDC_FIRST_MATRIX 1006
#define IDC_ADD 1007
#define IDC_SUBTRACT 1008
#define IDC_SCALAR 1009
#define IDC_MULTIPLY 1011
