// Resource ids of Zelcombe.
#pragma once

#include "control_ids.h"

#define IDI_ZELCOMBE 104
#define IDC_INSTRUCTIONS 1002
#define IDC_PROCESS_LOG 1010
