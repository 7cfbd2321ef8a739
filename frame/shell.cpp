#include "shell.h"

#include <commctrl.h>

#include <cstdio>

#include "control_ids.h"

std::string ReadControlText(HWND dialog, int control_id) {
  const int length = GetWindowTextLengthA(GetDlgItem(dialog, control_id));
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const UINT copied = GetDlgItemTextA(dialog, control_id, &text[0], length + 1);
  text.resize(copied);
  return text;
}

bool IsButtonChecked(HWND dialog, int control_id) {
  return IsDlgButtonChecked(dialog, control_id) == BST_CHECKED;
}

void ShowBox(HWND dialog, const calc::Box& box) {
  HWND owner = box.owner == calc::Owner::kDialog ? dialog : nullptr;
  MessageBoxA(owner, box.text.c_str(), box.caption.c_str(), MB_OK);
}

void ShowOutcome(HWND dialog, const calc::LoggedOutcome& outcome) {
  bool written = false;
  if (outcome.write_log) {
    written = calc::WriteProcessLog(std::fopen(calc::kProcessLogName, "wb"), outcome.log);
  }
  for (const calc::Box& box : calc::BoxesAfterLog(outcome, written)) ShowBox(dialog, box);
}

// The window procedure of the EDIT class, which the matrix edits forward to.
static WNDPROC g_edit_class_proc;

// A multi-line edit in a dialog answers the Escape key by sending WM_CLOSE
// to the dialog: the program would end and the typed matrix be lost. Escape
// does nothing in these dialogs, so the key is dropped before the edit sees
// it.
static LRESULT CALLBACK MatrixEditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam) {
  if ((message == WM_KEYDOWN || message == WM_CHAR) && wparam == VK_ESCAPE) return 0;
  return CallWindowProcA(g_edit_class_proc, edit, message, wparam, lparam);
}

static BOOL CALLBACK KeepEscapeInEdit(HWND child, LPARAM) {
  char class_name[8];
  if (GetClassNameA(child, class_name, sizeof class_name) > 0 &&
      lstrcmpiA(class_name, "Edit") == 0) {
    g_edit_class_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MatrixEditProc)));
  }
  return TRUE;
}

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return 0;
    case WM_INITDIALOG:
      EnumChildWindows(dialog, KeepEscapeInEdit, 0);
      return 1;  // focus goes to the first tab stop, the button "计算"
    case WM_COMMAND:
      HandleCommand(dialog, LOWORD(wparam));
      return 0;
    default:
      return 0;
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CALCULATOR), nullptr, DialogProc, 0);
  return 0;
}
