#include "shell.h"

#include <commctrl.h>

#include <cstdio>

#include "about.h"
#include "code_page.h"
#include "control_ids.h"
#include "messages.h"
#include "result_window.h"

std::string ReadControlText(HWND dialog, int control_id) {
  HWND control = GetDlgItem(dialog, control_id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
  return ToCp936(text);
}

bool IsButtonChecked(HWND dialog, int control_id) {
  return IsDlgButtonChecked(dialog, control_id) == BST_CHECKED;
}

void ShowBox(HWND dialog, const calc::Box& box) {
  HWND owner = box.owner == calc::Owner::kDialog ? dialog : nullptr;
  const std::wstring text = FromCp936(box.text);
  // Only results grow long; errors and help texts are short and fixed.
  if (box.caption == calc::kCaptionDone && !FitsInMessageBox(dialog, text)) {
    // Always owned by the dialog, and modal where a box would be owned.
    ShowResultWindow(dialog, box.text, owner != nullptr);
    return;
  }
  MessageBoxW(owner, text.c_str(), FromCp936(box.caption).c_str(), MB_OK);
}

void ShowOutcome(HWND dialog, const calc::LoggedOutcome& outcome) {
  bool written = false;
  if (outcome.write_log) {
    // Opened by its UTF-16 name: the same file name on every system.
    written = calc::WriteProcessLog(_wfopen(FromCp936(calc::kProcessLogName).c_str(), L"wb"),
                                    outcome.log);
  }
  for (const calc::Box& box : calc::BoxesAfterLog(outcome, written)) ShowBox(dialog, box);
}

// The window procedure of the EDIT class, which the matrix edits forward to.
static WNDPROC g_edit_class_proc;

// Keys a matrix edit handles differently from the EDIT class:
// - Escape: a multi-line edit in a dialog answers it by sending WM_CLOSE to
//   the dialog, and the program would end with the typed matrix lost.
//   Escape does nothing in these dialogs, so the key is dropped.
// - Ctrl+Enter computes, as Enter does everywhere but in a matrix edit
//   (where it adds a line); the line feed character it also makes is
//   dropped.
static LRESULT CALLBACK MatrixEditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam) {
  if ((message == WM_KEYDOWN || message == WM_CHAR) && wparam == VK_ESCAPE) return 0;
  if (message == WM_KEYDOWN && wparam == VK_RETURN && GetKeyState(VK_CONTROL) < 0) {
    SendMessageW(GetParent(edit), WM_COMMAND, MAKEWPARAM(IDC_CALCULATE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(GetParent(edit), IDC_CALCULATE)));
    return 0;
  }
  if (message == WM_CHAR && wparam == L'\n') return 0;
  return CallWindowProcW(g_edit_class_proc, edit, message, wparam, lparam);
}

static BOOL CALLBACK SubclassMatrixEdit(HWND child, LPARAM) {
  wchar_t class_name[8];
  if (GetClassNameW(child, class_name, 8) > 0 && lstrcmpiW(class_name, L"Edit") == 0) {
    g_edit_class_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MatrixEditProc)));
  }
  return TRUE;
}

// The tooltip of a control, made when it is about to show: the log file's
// path follows the current folder.
static std::wstring TipText(int control_id) {
  if (control_id != IDC_PROCESS_LOG) return FromCp936(ControlTip(control_id));
  std::wstring folder(MAX_PATH, L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), &folder[0]));
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return FromCp936(calc::kTipProcessLog) + folder + FromCp936(calc::kProcessLogName);
}

// The tooltip being shown: its text must outlive the message that asks for it.
static std::wstring g_tip_text;

static BOOL CALLBACK AddTool(HWND child, LPARAM tooltip) {
  const int id = GetDlgCtrlID(child);
  if (id != IDC_PROCESS_LOG && ControlTip(id).empty()) return TRUE;
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(child);
  tool.uId = reinterpret_cast<UINT_PTR>(child);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(reinterpret_cast<HWND>(tooltip), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return TRUE;
}

// One tooltip window for the dialog's controls, lines up to 260 dialog
// units wide, shown for 30 s: the matrix edits' tips are long.
static void AddTooltips(HWND dialog) {
  HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  RECT width = {0, 0, 260, 0};
  MapDialogRect(dialog, &width);
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, width.right);
  SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  EnumChildWindows(dialog, AddTool, reinterpret_cast<LPARAM>(tooltip));
}

// "关于…" at the end of the system menu, below a separator.
static void AddAboutItem(HWND dialog) {
  HMENU menu = GetSystemMenu(dialog, FALSE);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_ABOUT, FromCp936(calc::kMenuAbout).c_str());
}

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      CloseResultWindows();
      EndDialog(dialog, 0);
      return 0;
    case WM_INITDIALOG:
      EnumChildWindows(dialog, SubclassMatrixEdit, 0);
      AddTooltips(dialog);
      AddAboutItem(dialog);
      return 1;  // the focus goes to the first tab stop, the (first) matrix edit
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      switch (header->code) {
        case TTN_GETDISPINFOW:
          g_tip_text = TipText(GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)));
          reinterpret_cast<NMTTDISPINFOW*>(lparam)->lpszText = &g_tip_text[0];
          return 0;
        default:
          return 0;
      }
    }
    case WM_COMMAND:
      HandleCommand(dialog, LOWORD(wparam));
      return 0;
    case WM_SYSCOMMAND:
      switch (wparam & 0xFFF0) {
        case IDM_ABOUT:
          ShowBox(dialog, ProgramAboutBox());
          return 1;
        default:
          return 0;  // the dialog manager's own handling
      }
    default:
      return 0;
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CALCULATOR), nullptr, DialogProc, 0);
  return 0;
}
