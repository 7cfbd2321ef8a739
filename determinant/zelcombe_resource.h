// Resource ids of Zelcombe.
#pragma once

#include "control_ids.h"

// The program as its version resource and its "关于…" box name it.
#define ZELCOMBE_NAME "Zelcombe"
#define ZELCOMBE_TASK "分数方阵的行列式的精确计算, 可写出计算过程"

#define IDI_ZELCOMBE 104
#define IDC_INSTRUCTIONS 1002
