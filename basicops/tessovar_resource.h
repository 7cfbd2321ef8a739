// Resource ids of Tessovar.
#pragma once

#include "control_ids.h"

#define IDI_TESSOVAR 101
#define IDC_FIRST_MATRIX 1006
#define IDC_ADD 1007
#define IDC_SUBTRACT 1008
#define IDC_SCALAR 1009
#define IDC_MULTIPLY 1011
