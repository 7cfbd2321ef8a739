// Resource ids of Zelcombe.
#pragma once

#include "control_ids.h"

#define IDI_ZELCOMBE 104
#define IDC_INSTRUCTIONS 1002
