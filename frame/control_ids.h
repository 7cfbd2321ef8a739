// Ids shared by all four dialogs. Plain macros, because the resource
// compiler reads this header too.
#pragma once

#define IDD_CALCULATOR 101
#define IDC_CALCULATE 1000
#define IDC_MATRIX 1004
#define IDC_STATIC_GROUP (-1)
// The check box "生成计算过程" of Quorvit, Lumbrane and Zelcombe.
#define IDC_PROCESS_LOG 1010
