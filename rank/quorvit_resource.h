// Resource ids of Quorvit.
#pragma once

#include "control_ids.h"

// The program as its version resource and its "关于…" box name it.
#define QUORVIT_NAME "Quorvit"
#define QUORVIT_TASK "分数矩阵的秩、特征值与线性方程组的精确计算"

#define IDI_QUORVIT 104
#define IDC_RANK 1005
#define IDC_EIGENVALUES 1006
#define IDC_SOLVE 1007
