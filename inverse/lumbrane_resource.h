// Resource ids of Lumbrane.
#pragma once

#include "control_ids.h"

#define IDI_LUMBRANE 101
#define IDC_INSTRUCTIONS 1005
#define IDC_ADJUGATE 1006
#define IDC_INVERSE 1007
