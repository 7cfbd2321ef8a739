// Where a result is shown: today's message box when the box shows it whole,
// otherwise the result window.
#pragma once

#include <windows.h>

#include <string>

// True when a message box shows every line of text on one line of its own
// and the whole box lies inside the work area of the monitor of `anchor`:
// the text is laid out with the message box's font at the current DPI and
// held to limits measured to be safe on Windows and under Wine.
bool FitsInMessageBox(HWND anchor, const std::wstring& text);

// Shows a result (code page 936, LF line ends) in the result window, its
// number tables aligned, owned by `owner` (the dialog) so that it stays
// above it, and returns when the user closes it. "复制为 LaTeX" copies it
// as LatexText writes it.
// A modal window keeps the dialog disabled meanwhile, as a box owned by it
// does; otherwise the dialog stays usable, and a further press opens a
// further window, cascaded from the last.
void ShowResultWindow(HWND owner, const std::string& result, bool modal);

// Closes every result window that is open (the dialog is closing).
void CloseResultWindows();
