// Resource ids of Quorvit.
#pragma once

#include "control_ids.h"

#define IDI_QUORVIT 104
#define IDC_RANK 1005
#define IDC_EIGENVALUES 1006
#define IDC_SOLVE 1007
