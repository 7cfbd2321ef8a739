// Resource ids of Lumbrane.
#pragma once

#include "control_ids.h"

// The program as its version resource and its "关于…" box name it.
#define LUMBRANE_NAME "Lumbrane"
#define LUMBRANE_TASK "分数方阵的伴随阵与逆矩阵的精确计算"

#define IDI_LUMBRANE 101
#define IDC_INSTRUCTIONS 1005
#define IDC_ADJUGATE 1006
#define IDC_INVERSE 1007
