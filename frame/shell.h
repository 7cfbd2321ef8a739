// The Win32 side of every program: the entry point, the dialog procedure and
// the few calls a command handler needs to gather the controls' state and
// show a box. Everything a press computes lives in portable code, which
// speaks code page 936; this shell speaks UTF-16 to Windows.
#pragma once

#include <windows.h>

#include <string>

#include "box.h"
#include "process_log.h"

// Each program defines its command handler: called for every WM_COMMAND of
// the dialog, it acts on the control id alone.
void HandleCommand(HWND dialog, int control_id);

// Each program's tooltip for a control, in code page 936; empty for a
// control without one. The check box "生成计算过程" has its own, the full
// path of the log file, made by the shell.
std::string ControlTip(int control_id);

// Each program's "关于…" box, opened from the dialog's system menu.
calc::Box ProgramAboutBox();

// The whole text of an edit control, however long, in code page 936.
std::string ReadControlText(HWND dialog, int control_id);

// True when the radio button or check box is checked.
bool IsButtonChecked(HWND dialog, int control_id);

// Shows the box: one OK button, no icon, owned by the dialog or by nobody.
// A result ("计算完毕") that a message box cannot show whole opens in the
// result window instead, with the same owner.
void ShowBox(HWND dialog, const calc::Box& box);

// Shows what a press produced: writes the process log when it asks for one
// (kProcessLogName in the current directory), then shows the boxes in
// order, the one saying the log could not be written first.
void ShowOutcome(HWND dialog, const calc::LoggedOutcome& outcome);
