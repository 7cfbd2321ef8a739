// Ids shared by all four programs: the dialog's common controls and the
// result window. Plain macros, because the resource compiler reads this
// header too.
#pragma once

#define IDD_CALCULATOR 101
#define IDC_CALCULATE 1000
#define IDC_MATRIX 1004
#define IDC_STATIC_GROUP (-1)
// The check box "生成计算过程" of Quorvit, Lumbrane and Zelcombe.
#define IDC_PROCESS_LOG 1010

// The system menu's item "关于…" (below 0xF000, a multiple of 16, as
// system menu commands are).
#define IDM_ABOUT 0x0010

// The result window: the text and its buttons "复制", "复制为 LaTeX" and
// "保存…" ("确定" is IDOK).
#define IDD_RESULT 201
#define IDC_RESULT_TEXT 2001
#define IDC_RESULT_COPY 2002
#define IDC_RESULT_SAVE 2003
#define IDC_RESULT_COPY_LATEX 2004
