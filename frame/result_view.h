// A read-only view of a long text: every line on one line, scrollable both
// ways, in a fixed-pitch font, with the mouse, Ctrl+A and Ctrl+C to select
// and copy. Unlike an EDIT control it lays out only what is on the screen,
// so a text of megabytes in lines of a hundred thousand characters opens
// at once (an EDIT control needs minutes for such lines under Wine).
//
// The window class kResultViewClass; its text is set with WM_SETTEXT and
// read with WM_GETTEXT like an edit's, its font with WM_SETFONT.
#pragma once

#include <windows.h>

#include <string>

inline constexpr wchar_t kResultViewClass[] = L"CalcResultView";

// Registers the class once per process.
void RegisterResultView();

// Puts text (UTF-16, CR LF line ends) on the clipboard as Unicode text.
void CopyTextToClipboard(HWND owner, const std::wstring& text);
