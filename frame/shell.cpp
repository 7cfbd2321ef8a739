#include "shell.h"

#include <commctrl.h>

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

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return 0;
    case WM_INITDIALOG:
      return 1;  // focus goes to the first tab stop, the button "计算"
    case WM_COMMAND:
      HandleCommand(dialog, LOWORD(wparam), lparam, HIWORD(wparam));
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
