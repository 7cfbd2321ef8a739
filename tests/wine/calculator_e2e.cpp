// End-to-end checks of the four programs under Wine (or on Windows), of what
// only a real window shows: the dialog and its controls, the keys, boxes
// and result windows with their owners and texts (read as UTF-16, on any
// system code page), the process log file, the exit code and a long run of
// presses; long results, copied and saved from the result window; a run
// with the keyboard alone. The presses are the unit tests' shared rows
// (press_cases.h) and the programs' own press functions; the ids come from
// the programs' resource headers.
//
//   calc_e2e dialog|presses|results|keyboard NAME PROGRAM.exe
//   calc_e2e load NAME PROGRAM.exe [PRESSES]
//   calc_e2e show NAME PROGRAM.exe MARKER_FILE [long|tip|system|maximised|resized|about]
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../press_cases.h"
#include "about.h"
#include "aligned_text.h"
#include "basicops_press.h"
#include "control_ids.h"
#include "determinant_press.h"
#include "inverse_press.h"
#include "latex_text.h"
#include "messages.h"
#include "rank_press.h"
#include "result_text.h"
#include "ui_session.h"
#include "version.h"
// Lumbrane and Zelcombe give IDC_INSTRUCTIONS different values.
#include "inverse/lumbrane_resource.h"
constexpr int kLumbraneHelp = IDC_INSTRUCTIONS;
#undef IDC_INSTRUCTIONS
#include "basicops/tessovar_resource.h"
#include "determinant/zelcombe_resource.h"
#include "rank/quorvit_resource.h"

using calc::Box;
using calc::Owner;
using calc::cases::PressRow;
using calc::testing::Escaped;
using e2e::Expect;
using e2e::ExpectBytes;
using e2e::SeenBox;
using e2e::Session;

namespace {

constexpr char kLogName[] = "计算过程.txt";

struct Control {
  int id;
  const char* cls;
  const char* text;
  bool enabled = true;
};

struct Program {
  const char* name;
  const char* title;
  int help;        // the help button, 0 where there is none
  int first_edit;  // where a row's first matrix is typed (its second: IDC_MATRIX)
  int log_box;     // "生成计算过程", 0 where there is none
  Box (*help_box)();
  Box (*about_box)();
  std::vector<Control> controls;
  const std::vector<PressRow>* rows;
};

// Quorvit's two calculations.
const std::vector<PressRow> kQuorvitRows = [] {
  std::vector<PressRow> rows = calc::cases::kRankRows;
  rows.insert(rows.end(), calc::cases::kEigenvalueRows.begin(), calc::cases::kEigenvalueRows.end());
  rows.insert(rows.end(), calc::cases::kSolveRows.begin(), calc::cases::kSolveRows.end());
  return rows;
}();

// clang-format off
const Program kPrograms[] = {
    {"Quorvit", "Quorvitv1.3", 0, IDC_MATRIX, IDC_PROCESS_LOG, nullptr,
     [] { return calc::AboutBox(QUORVIT_NAME, QUORVIT_TASK); },
     {{IDC_CALCULATE, "Button", "计算"}, {IDC_STATIC_GROUP, "Button", "输入矩阵"},
      {IDC_MATRIX, "Edit", ""}, {IDC_RANK, "Button", "秩"},
      {IDC_EIGENVALUES, "Button", "特征值"}, {IDC_SOLVE, "Button", "解方程组"},
      {IDC_PROCESS_LOG, "Button", "生成计算过程"}},
     &kQuorvitRows},
    {"Lumbrane", "Lumbranev1.3", kLumbraneHelp, IDC_MATRIX, IDC_PROCESS_LOG, calc::LumbraneHelpBox,
     [] { return calc::AboutBox(LUMBRANE_NAME, LUMBRANE_TASK); },
     {{IDC_CALCULATE, "Button", "计算"}, {IDC_STATIC_GROUP, "Button", "输入原矩阵"},
      {IDC_MATRIX, "Edit", ""}, {kLumbraneHelp, "Button", "使用说明"},
      {IDC_ADJUGATE, "Button", "伴随阵"}, {IDC_INVERSE, "Button", "逆矩阵"},
      {IDC_PROCESS_LOG, "Button", "生成计算过程"}},
     &calc::cases::kInverseRows},
    {"Tessovar", "Tessovarv1.3", 0, IDC_FIRST_MATRIX, 0, nullptr,
     [] { return calc::AboutBox(TESSOVAR_NAME, TESSOVAR_TASK); },
     {{IDC_CALCULATE, "Button", "计算"}, {IDC_STATIC_GROUP, "Button", "矩阵1"},
      {IDC_FIRST_MATRIX, "Edit", ""}, {IDC_STATIC_GROUP, "Button", "矩阵2"},
      {IDC_MATRIX, "Edit", ""}, {IDC_ADD, "Button", "加法"}, {IDC_SUBTRACT, "Button", "减法"},
      {IDC_MULTIPLY, "Button", "乘法"}, {IDC_SCALAR, "Button", "数乘"}},
     &calc::cases::kBasicOpsRows},
    {"Zelcombe", "Zelcombev1.3", IDC_INSTRUCTIONS, IDC_MATRIX, IDC_PROCESS_LOG, calc::ZelcombeHelpBox,
     [] { return calc::AboutBox(ZELCOMBE_NAME, ZELCOMBE_TASK); },
     {{IDC_CALCULATE, "Button", "计算"}, {IDC_STATIC_GROUP, "Button", "输入行列式"},
      {IDC_MATRIX, "Edit", ""}, {IDC_INSTRUCTIONS, "Button", "使用说明"},
      {IDC_PROCESS_LOG, "Button", "生成计算过程"}},
     &calc::cases::kDeterminantRows},
};
// clang-format on

const Program* Find(const std::string& name) {
  for (const Program& p : kPrograms) {
    if (name == p.name) return &p;
  }
  return nullptr;
}

// The box a row shows: its own, or for the help button the program's help box.
Box Shown(const Program& p, const PressRow& row) {
  return row.choice == calc::cases::kHelp ? p.help_box() : row.box;
}

// The program's own press function's outcome and box for a row, as the
// unit tests call it.
calc::LoggedOutcome OwnOutcome(const Program& p, const PressRow& row);
Box OwnBox(const Program& p, const PressRow& row);

// The radio button of each choice, in the order of calc::cases::Choice.
const int kChoiceButtons[] = {
    0, IDC_RANK, IDC_ADJUGATE,    IDC_INVERSE, IDC_ADD, IDC_SUBTRACT, IDC_MULTIPLY, IDC_SCALAR,
    0, 0,        IDC_EIGENVALUES, IDC_SOLVE};

// A scratch folder, removed when the run ends with the log (or the folder
// of its name) that is all it may hold.
struct Scratch {
  std::wstring path = e2e::MakeScratchDirectory();
  ~Scratch() {
    if (!DeleteFileW(Log().c_str())) RemoveDirectoryW(Log().c_str());
    RemoveDirectoryW(path.c_str());
  }
  std::wstring Log() const { return path + L"\\" + e2e::FromCp936(kLogName); }
};

// ---- The dialog --------------------------------------------------------------

RECT RectOf(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

void CheckDialog(Session& s, const Program& p) {
  const std::string ctx = std::string(p.name) + " dialog";
  ExpectBytes(ctx, "title", s.Text(s.dialog()), p.title);
  std::vector<HWND> children;
  for (HWND c = GetWindow(s.dialog(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    children.push_back(c);
  }
  Expect(children.size() == p.controls.size(), ctx, std::to_string(children.size()) + " controls");
  for (const Control& c : p.controls) {
    const std::string where = ctx + ", control " + std::to_string(c.id) + " \"" + c.text + "\"";
    HWND found = nullptr;
    for (HWND child : children) {
      if (static_cast<short>(GetDlgCtrlID(child)) == c.id &&
          (c.id != IDC_STATIC_GROUP || s.Text(child) == c.text)) {
        found = child;
        break;
      }
    }
    if (!Expect(found != nullptr, where, "exists")) continue;
    char cls[32] = {};
    GetClassNameA(found, cls, sizeof cls);
    Expect(lstrcmpiA(cls, c.cls) == 0, where, std::string("class ") + cls);
    ExpectBytes(where, "text", s.Text(found), c.text);
    Expect(IsWindowVisible(found) != 0, where, "is visible");
    Expect((IsWindowEnabled(found) != 0) == c.enabled, where, c.enabled ? "enabled" : "disabled");
    Expect(SendMessageA(found, BM_GETCHECK, 0, 0) == BST_UNCHECKED, where, "starts unchecked");
  }
  Expect(e2e::Inside(RectOf(s.dialog()), e2e::WorkAreaOf(s.dialog())), ctx,
         "the dialog lies inside the work area");
  // The focus starts in the (first) matrix edit, shortly after the dialog
  // shows under Wine.
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(10)) {
    if (s.Focus() == s.Item(p.first_edit)) break;
  }
  Expect(s.Focus() == s.Item(p.first_edit), ctx, "the focus starts in the matrix edit");
}

// ---- Presses -----------------------------------------------------------------

// Types the row's texts and makes its choice; returns the button to press
// (0 when the program did not take the input).
int Type(Session& s, const Program& p, const PressRow& row) {
  if (row.choice == calc::cases::kHelp) return p.help;
  if (!s.SetText(p.first_edit, row.first)) return 0;
  if (p.first_edit != IDC_MATRIX && !s.SetText(IDC_MATRIX, row.second)) return 0;
  if (p.log_box != 0 && !s.SetChecked(p.log_box, calc::cases::LogChecked(row))) return 0;
  const int chosen = kChoiceButtons[row.choice];
  if (chosen != 0) return s.SetChecked(chosen, true) ? IDC_CALCULATE : 0;
  // No choice: as when the dialog starts, no radio button is checked.
  for (const Control& c : p.controls) {
    if (c.id != p.log_box && std::strcmp(c.cls, "Button") == 0)
      SendMessageA(s.Item(c.id), BM_SETCHECK, BST_UNCHECKED, 0);
  }
  return IDC_CALCULATE;
}

// The height of one line of a message box's text: the message font's.
int MessageLineHeight() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW text_metrics = {};
  GetTextMetricsW(dc, &text_metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return text_metrics.tmHeight;
}

// Reads the next box or result window and checks that it shows the wanted
// box whole: inside the work area and, in a message box, every line of the
// text on one line of the box (a wrapped line makes the text taller).
bool ReadBox(Session& s, const std::string& ctx, const Box& want, SeenBox& box,
             const std::vector<HWND>& before) {
  if (!s.WaitForNewBox(before, box)) return false;
  ExpectBytes(ctx, "box caption", box.caption, want.caption);
  const bool owned = want.owner == Owner::kDialog;
  // A result window is always owned by the dialog, and stays above it.
  Expect(box.owner == (owned || box.result_window ? s.dialog() : nullptr), ctx,
         owned || box.result_window ? "owned by the dialog" : "the box has no owner window");
  Expect((IsWindowEnabled(s.dialog()) != 0) != owned, ctx,
         owned ? "the dialog is disabled under its box" : "the dialog stays usable");
  Expect(e2e::Inside(box.rect, e2e::WorkAreaOf(box.window)), ctx,
         "the box lies inside the work area");
  if (box.result_window) {
    Expect(want.caption == calc::kCaptionDone, ctx, "only a result opens the result window");
    ExpectBytes(ctx, "result window text", box.text,
                calc::cases::CrLf(calc::AlignColumns(want.text)));
    return Expect(box.buttons == 4, ctx, "the result window shows its four buttons");
  }
  ExpectBytes(ctx, "box text", box.text, want.text);
  // (Help boxes are as they always were: their long lines wrap.)
  if (want.caption != calc::kCaptionDone) {
    return Expect(box.buttons == 1 && !box.has_icon, ctx, "the box has one OK button, no icon");
  }
  const int lines = static_cast<int>(std::count(want.text.begin(), want.text.end(), '\n')) + 1;
  Expect(box.text_height <= lines * MessageLineHeight(), ctx,
         "every line of the text on one line of the box (" + std::to_string(box.text_height) +
             " px for " + std::to_string(lines) + " lines)");
  return Expect(box.buttons == 1 && !box.has_icon, ctx, "the box has one OK button, no icon");
}

// Presses the row's button and checks its boxes in order (with the log
// blocked, a press that writes the log first says it cannot), that the
// typed text is left as it was and, given a log path, the process log.
bool RunPress(Session& s, const Program& p, const PressRow& row, bool log_blocked,
              const std::wstring& log_path) {
  const std::string ctx = s.name() + ": [" + Escaped(row.first, 40) + "] [" + Escaped(row.second) +
                          "] choice " + std::to_string(row.choice);
  std::string log_before, log;
  const bool had_log = e2e::ReadFileBytes(log_path, log_before);
  const int button = Type(s, p, row);
  if (button == 0) return false;
  std::vector<Box> boxes = {Shown(p, row)};
  if (log_blocked && !row.log.empty()) {
    boxes.insert(boxes.begin(), calc::cases::Refused("无法写入计算过程.txt"));
  }
  s.Click(button);
  std::vector<HWND> seen;
  for (const Box& want : boxes) {
    SeenBox box;
    if (!ReadBox(s, ctx, want, box, seen) || !s.CloseBox(box)) return false;
    seen.push_back(box.window);
  }
  s.Sync();
  if (!Expect(s.OpenBoxes().empty(), ctx, "no further box opens")) return false;
  if (button == IDC_CALCULATE) {
    ExpectBytes(ctx, "the typed text after the press", s.ItemText(p.first_edit), row.first);
  }
  const bool has_log = e2e::ReadFileBytes(log_path, log);
  if (!log_path.empty() && row.log.empty()) {
    Expect(has_log == had_log && log == log_before, ctx, "the process log is left as it was");
  } else if (!log_path.empty() && Expect(has_log, ctx, "the process log is written")) {
    // A log the unit tests replay: the bytes of the press function's own.
    ExpectBytes(ctx, "process log", log,
                row.log == calc::cases::kLogReplayed ? OwnOutcome(p, row).log : row.log);
    // On the host the file has its name in UTF-8, on every locale.
    const std::string host = e2e::HostPath(log_path), name = e2e::ToUtf8(kLogName);
    Expect(host.size() > name.size() &&
               host.compare(host.size() - name.size(), name.size(), name) == 0 &&
               host[host.size() - name.size() - 1] == '/',
           ctx, "the log is named 计算过程.txt on the host (" + host + ")");
  }
  return Expect(s.Alive(), ctx, "the program still runs");
}

// A press made while a box without an owner is open runs nested in that
// box's message loop and opens its box over it; both close, newest first.
// (Zelcombe's results are owned: its help box stays open instead.)
void CheckNestedPress(Session& s, const Program& p) {
  const std::string ctx = s.name() + " nested press";
  const PressRow *outer = nullptr, *inner = nullptr;
  for (const PressRow& r : *p.rows) {
    if (Shown(p, r).owner == Owner::kNone && (!outer || outer->choice == calc::cases::kHelp))
      outer = &r;
    if (!inner && r.box.caption == calc::kCaptionDone) inner = &r;
  }
  SeenBox first, second;
  s.Click(Type(s, p, *outer));
  if (!ReadBox(s, ctx + ", first box", Shown(p, *outer), first, {})) return;
  s.Click(Type(s, p, *inner));
  if (!ReadBox(s, ctx + ", second box", inner->box, second, {first.window})) return;
  Expect(s.OpenBoxes().size() == 2, ctx, "both boxes are open at once");
  if (s.CloseBox(second) && s.CloseBox(first)) {
    Expect(s.OpenBoxes().empty() && s.Alive(), ctx, "every box closed, the dialog still open");
  }
}

void CheckExit(Session& s) {
  DWORD exit_code = 1;
  if (s.CloseDialog(exit_code)) {
    Expect(exit_code == 0, s.name(),
           "exit code 0 after WM_CLOSE, got " + std::to_string(exit_code));
  }
}

bool PutOnClipboard(const std::wstring& text) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20)) {
    if (!OpenClipboard(nullptr)) continue;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return put;
  }
  return false;
}

// Each radio button, clicked with the mouse, is checked.
void CheckMouseChoices(Session& s, const Program& p) {
  const std::string ctx = s.name() + " mouse";
  for (const Control& c : p.controls) {
    HWND button = s.Item(c.id);
    if (c.id == IDC_STATIC_GROUP || std::strcmp(c.cls, "Button") != 0 ||
        (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) != BS_AUTORADIOBUTTON) {
      continue;
    }
    RECT r = {};
    GetWindowRect(button, &r);
    // Away first, so that the last control's tooltip is gone, then a click
    // at once, before this one's tooltip shows.
    SetCursorPos(0, 0);
    Sleep(200);
    SetCursorPos(r.left + 6, (r.top + r.bottom) / 2);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    bool checked = false;
    for (const DWORD start = GetTickCount(); !checked && GetTickCount() - start < 5000; Sleep(10)) {
      checked = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    Expect(checked, ctx, std::string("a click checks \"") + c.text + "\"");
  }
}

// A table copied from a spreadsheet and pasted into the edits (WM_PASTE),
// and a text with full-width forms, the minus sign U+2212 and a no-break
// space, must show the box of the plain text they stand for. The tooltips
// of the matrix edit and of "生成计算过程" (the log file's path) show when
// the mouse rests on them.
void CheckInputForms(Session& s, const Program& p, const std::wstring& folder) {
  const std::string ctx = s.name() + " input forms";
  const std::string name = p.name;
  const calc::cases::Choice choice = name == "Quorvit"    ? calc::cases::kRank
                                     : name == "Lumbrane" ? calc::cases::kInverse
                                     : name == "Tessovar" ? calc::cases::kAdd
                                                          : calc::cases::kNoChoice;
  const Box want = OwnBox(p, {"2 1\r\n-1 1", "2 1\r\n-1 1", choice});
  Expect(want.caption == calc::kCaptionDone, ctx, "the plain text computes");
  const std::wstring table = L"2\t1\r\n-1\t1\r\n";
  const std::wstring full_width = L"\xFF12\x3000\xFF11\r\n\x2212\xFF11\x00A0\xFF11";
  for (const std::wstring* form : {&table, &full_width}) {
    for (int edit : {p.first_edit, IDC_MATRIX}) {
      if (form == &table) {
        s.SetText(edit, "");
        DWORD_PTR ignored = 0;
        Expect(PutOnClipboard(table), ctx, "the table is on the clipboard");
        SendMessageTimeoutW(s.Item(edit), WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
        ExpectBytes(ctx, "the pasted table", s.ItemText(edit), e2e::ToCp936(table));
      } else {
        s.SetWideText(edit, full_width);
      }
    }
    if (p.log_box != 0) s.SetChecked(p.log_box, false);
    if (kChoiceButtons[choice] != 0) s.SetChecked(kChoiceButtons[choice], true);
    s.Click(IDC_CALCULATE);
    SeenBox box;
    if (ReadBox(s, ctx + (form == &table ? ", pasted table" : ", full-width"), want, box, {})) {
      s.CloseBox(box);
    }
  }
  ExpectBytes(ctx, "the matrix edit's tooltip", s.HoverTooltip(p.first_edit), calc::kTipMatrix);
  if (p.log_box != 0) {
    ExpectBytes(ctx, "the tooltip of 生成计算过程", s.HoverTooltip(p.log_box),
                std::string(calc::kTipProcessLog) + e2e::ToCp936(folder) + "\\" + kLogName);
  }
}

// The program's open popup menu (class #32768); null after 10 s without one.
HWND WaitForPopupMenu(const Session& s) {
  HWND menu = nullptr;
  for (const DWORD start = GetTickCount(); !menu && GetTickCount() - start < 10000; Sleep(20)) {
    for (HWND w = GetTopWindow(nullptr); w != nullptr && !menu; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      wchar_t cls[16] = {};
      GetClassNameW(w, cls, 16);
      if (pid == s.process_id() && IsWindowVisible(w) && lstrcmpW(cls, L"#32768") == 0) menu = w;
    }
  }
  return menu;
}

// Opens "关于…" from the system menu with the keys, as a user would:
// Alt+Space opens the menu, Up wraps to its last item, Enter chooses it; and
// reads the box it shows.
bool OpenAbout(Session& s, const Program& p, SeenBox& box) {
  const std::string ctx = std::string(p.name) + " 关于…";
  const std::vector<HWND> before = s.OpenBoxes();
  SetForegroundWindow(s.dialog());
  PostMessageW(s.dialog(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
  HWND menu = WaitForPopupMenu(s);
  if (!Expect(menu != nullptr, ctx, "Alt+Space opens the system menu")) return false;
  PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  return ReadBox(s, ctx, p.about_box(), box, before);
}

// The box names the program and the release's version.
void CheckAbout(Session& s, const Program& p) {
  SeenBox box;
  if (!OpenAbout(s, p, box)) return;
  Expect(box.text.rfind(std::string(p.name) + " " + CALC_VERSION_TEXT + "\n", 0) == 0,
         std::string(p.name) + " 关于…",
         "the box opens with the program's name and version " CALC_VERSION_TEXT);
  s.CloseBox(box);
}

int RunDialog(const Program& p, const std::wstring& exe) {
  Scratch dir;
  Session s(p.name);
  if (!s.Start(exe, dir.path)) return 1;
  CheckDialog(s, p);
  CheckAbout(s, p);
  CheckInputForms(s, p, dir.path);
  CheckMouseChoices(s, p);
  CheckNestedPress(s, p);
  CheckExit(s);
  return 0;
}

int RunPresses(const Program& p, const std::wstring& exe) {
  Scratch dir;
  {
    Session s(p.name);
    if (!s.Start(exe, dir.path)) return 1;
    bool running = true;
    for (const PressRow& row : *p.rows) {
      if (!(running = RunPress(s, p, row, false, p.log_box ? dir.Log() : L""))) break;
    }
    if (running) CheckExit(s);
  }
  if (p.log_box != 0) {
    // A folder of the log's name stands where the file would go.
    Scratch blocked;
    CreateDirectoryW(blocked.Log().c_str(), nullptr);
    Session s(std::string(p.name) + ", log blocked by a folder");
    if (!s.Start(exe, blocked.path)) return 1;
    for (const PressRow& row : *p.rows) {
      if (!row.log.empty() && !RunPress(s, p, row, true, L"")) return 1;
    }
    CheckExit(s);
  }
  return 0;
}

// ---- Long results --------------------------------------------------------------

// Typed matrices drawn from a fixed seed: integers -99..99, or fractions
// of the whole 32-bit range.
class Typed {
 public:
  std::string Integers(int rows, int cols) {
    return Text(rows, cols, [this] { return std::to_string(static_cast<int>(Next() % 199) - 99); });
  }
  std::string FullRange(int rows, int cols) {
    return Text(rows, cols, [this] {
      return std::to_string(static_cast<int32_t>(Next())) + "/" +
             std::to_string(Next() % 2147483647u + 1);
    });
  }

 private:
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state_ >> 32);
  }
  template <typename Entry>
  std::string Text(int rows, int cols, Entry entry) {
    std::string text;
    for (int i = 0; i < rows; ++i) {
      for (int j = 0; j < cols; ++j) text += entry() + (j + 1 < cols ? " " : "");
      text += i + 1 < rows ? "\r\n" : "";
    }
    return text;
  }
  uint64_t state_ = 20261207;
};

struct LongResult {
  const char* what;
  PressRow row;
  bool box;  // a short result: it must stay a message box
};

// The program's own box for a row: its press function, as the unit tests
// call it.
calc::LoggedOutcome OwnOutcome(const Program& p, const PressRow& row) {
  using calc::cases::LogChecked;
  const std::string name = p.name;
  if (name == "Quorvit") {
    calc::RankInput input;
    input.matrix_text = row.first;
    input.rank_chosen = row.choice == calc::cases::kRank;
    input.eigenvalues_chosen = row.choice == calc::cases::kEigenvalues;
    input.solve_chosen = row.choice == calc::cases::kSolve;
    input.log_chosen = LogChecked(row);
    return calc::PressRank(input);
  }
  if (name == "Lumbrane") {
    calc::InverseInput input;
    input.matrix_text = row.first;
    input.adjugate_chosen = row.choice == calc::cases::kAdjugate;
    input.inverse_chosen = row.choice == calc::cases::kInverse;
    input.log_chosen = LogChecked(row);
    return calc::PressInverse(input);
  }
  if (name == "Tessovar") {
    calc::LoggedOutcome outcome;
    outcome.box = calc::PressBasicOps({row.first, row.second, row.choice == calc::cases::kAdd,
                                       row.choice == calc::cases::kSubtract,
                                       row.choice == calc::cases::kMultiply,
                                       row.choice == calc::cases::kScalar});
    return outcome;
  }
  calc::DeterminantInput input;
  input.matrix_text = row.first;
  input.log_chosen = LogChecked(row);
  return calc::PressDeterminant(input);
}

Box OwnBox(const Program& p, const PressRow& row) {
  return OwnOutcome(p, row).box;
}

std::vector<LongResult> LongResults(const Program& p) {
  Typed typed;
  const std::string name = p.name;
  if (name == "Quorvit") {
    return {{"20 x 20 full-range echelon form", {typed.FullRange(20, 20), "", calc::cases::kRank}},
            {"20 x 20 full-range eigenvalues",
             {typed.FullRange(20, 20), "", calc::cases::kEigenvalues}},
            {"19 unknowns, full-range system", {typed.FullRange(19, 20), "", calc::cases::kSolve}},
            {"3 x 3 echelon form", {"1 2 3\r\n4 5 6\r\n7 8 10", "", calc::cases::kRank}, true}};
  }
  if (name == "Lumbrane") {
    return {{"3 x 3 inverse", {"2 0 1\r\n1 1 0\r\n0 3 1", "", calc::cases::kInverse}, true},
            {"12 x 12 integer inverse", {typed.Integers(12, 12), "", calc::cases::kInverse}},
            {"20 x 20 full-range inverse", {typed.FullRange(20, 20), "", calc::cases::kInverse}}};
  }
  if (name == "Tessovar") {
    return {{"3 x 3 product",
             {"1 2 3\r\n4 5 6\r\n7 8 9", "1/2 0 0\r\n0 1/3 0\r\n0 0 1", calc::cases::kMultiply},
             true},
            {"20 x 20 by 20 x 6 full-range product",
             {typed.FullRange(20, 20), typed.FullRange(20, 6), calc::cases::kMultiply}}};
  }
  return {
      {"3 x 3 determinant", {"2 0 1\r\n1 1 0\r\n0 3 1", "", calc::cases::kNoChoice}, true},
      {"20 x 20 full-range determinant", {typed.FullRange(20, 20), "", calc::cases::kNoChoice}}};
}

bool ClipboardHolds(const std::wstring& want) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(100)) {
    if (!OpenClipboard(nullptr)) continue;
    std::wstring held;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      held = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    if (held == want) return true;
  }
  return false;
}

BOOL CALLBACK FindNamedEdit(HWND child, LPARAM found) {
  wchar_t cls[16] = {}, text[32] = {};
  GetClassNameW(child, cls, 16);
  if (lstrcmpiW(cls, L"Edit") == 0 && IsWindowVisible(child) &&
      SendMessageW(child, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text)) > 0 &&
      lstrcmpW(text, L"结果.txt") == 0) {
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
  }
  return TRUE;
}

// "复制" puts the whole text on the clipboard; "保存…" asks for a file name
// (结果.txt unless another is typed) and saves the text there in UTF-8.
void CheckCopyAndSave(Session& s, const std::string& ctx, const SeenBox& window,
                      const std::string& result) {
  const std::string text = calc::AlignColumns(result);
  for (const bool latex : {false, true}) {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
    PostMessageW(GetDlgItem(window.window, latex ? IDC_RESULT_COPY_LATEX : IDC_RESULT_COPY),
                 BM_CLICK, 0, 0);
    Expect(
        ClipboardHolds(e2e::FromCp936(calc::cases::CrLf(latex ? calc::LatexText(result) : text))),
        ctx,
        latex ? "\"复制为 LaTeX\" puts the LaTeX on the clipboard"
              : "\"复制\" puts the whole text as shown on the clipboard (CR LF)");
  }

  Scratch dir;
  const std::wstring path = dir.path + L"\\saved.txt";
  PostMessageW(GetDlgItem(window.window, IDC_RESULT_SAVE), BM_CLICK, 0, 0);
  HWND save = nullptr, name = nullptr;
  for (const DWORD start = GetTickCount(); !name && GetTickCount() - start < 15000; Sleep(20)) {
    for (HWND box : s.OpenBoxes()) {
      if (GetWindow(box, GW_OWNER) == window.window && IsWindowVisible(box)) save = box;
    }
    if (save != nullptr) EnumChildWindows(save, FindNamedEdit, reinterpret_cast<LPARAM>(&name));
  }
  if (!Expect(name != nullptr, ctx, "\"保存…\" opens the save dialog, named 结果.txt")) return;
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(GetDlgItem(save, IDOK), BM_CLICK, 0, 0);
  std::string saved;
  const std::string want = "\xEF\xBB\xBF" + e2e::ToUtf8(calc::cases::CrLf(text));
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(20)) {
    if (!IsWindow(save) && e2e::ReadFileBytes(path, saved) && saved.size() >= want.size()) break;
  }
  ExpectBytes(ctx, "the saved file (UTF-8 with a byte-order mark, CR LF)", saved, want);
  DeleteFileW(path.c_str());
}

// Each long result shows whole in the result window, inside the work area,
// and can be copied and saved exactly; a short one stays a message box.
// The pixels of a window as the screen shows it, row by row.
std::vector<COLORREF> Pixels(HWND window) {
  // Painted by the program's own thread: given the time to.
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  RECT r = {};
  GetWindowRect(window, &r);
  const int width = std::max(0L, r.right - r.left), height = std::max(0L, r.bottom - r.top);
  std::vector<COLORREF> pixels;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(width, 1), std::max(height, 1));
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  for (int y = 0; y < height; y += 2) {
    for (int x = 0; x < width; x += 2) pixels.push_back(GetPixel(memory, x, y));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Drawn: its pixels are not all of one colour, as where nothing was painted.
bool Drawn(HWND control) {
  const std::vector<COLORREF> pixels = Pixels(control);
  return std::any_of(pixels.begin(), pixels.end(), [&](COLORREF c) { return c != pixels[0]; });
}

// The result window maximised and restored: every control laid out again
// and drawn, as the screen shows them. Its view scrolls by a touchpad's
// small wheel deltas (30 four times shows what one notch of 120 shows) and
// sideways.
void CheckWindowBehaviour(Session& s, const std::string& ctx, const SeenBox& window) {
  for (const WPARAM command : {SC_MAXIMIZE, SC_RESTORE}) {
    PostMessageW(window.window, WM_SYSCOMMAND, command, 0);
    Sleep(500);
    s.Sync();
    const std::string state = command == SC_MAXIMIZE ? "maximised" : "restored";
    for (int id :
         {IDC_RESULT_TEXT, IDC_RESULT_COPY, IDC_RESULT_COPY_LATEX, IDC_RESULT_SAVE, IDOK}) {
      Expect(Drawn(GetDlgItem(window.window, id)), ctx,
             state + ": control " + std::to_string(id) + " is drawn");
    }
  }
  // Small enough that the text scrolls both ways.
  SetWindowPos(window.window, nullptr, 0, 0, 320, 220, SWP_NOMOVE | SWP_NOZORDER);
  s.Sync();
  HWND view = GetDlgItem(window.window, IDC_RESULT_TEXT);
  const auto wheel = [&](UINT message, int delta, int times) {
    SendMessageW(view, WM_VSCROLL, SB_TOP, 0);
    SendMessageW(view, WM_HSCROLL, SB_TOP, 0);
    for (int i = 0; i < times; ++i) SendMessageW(view, message, MAKEWPARAM(0, delta), 0);
    return Pixels(view);
  };
  const std::vector<COLORREF> top = wheel(WM_MOUSEWHEEL, 0, 0),
                              notch = wheel(WM_MOUSEWHEEL, -WHEEL_DELTA, 1),
                              touchpad = wheel(WM_MOUSEWHEEL, -30, 4),
                              sideways = wheel(0x020E /* WM_MOUSEHWHEEL */, WHEEL_DELTA, 1);
  // The right-click menu: its 全选 (by its key A), then Ctrl+C's WM_COPY
  // puts the whole text on the clipboard.
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  SetForegroundWindow(window.window);
  RECT r = {};
  GetWindowRect(view, &r);
  PostMessageW(view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view),
               MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  HWND menu = WaitForPopupMenu(s);
  if (Expect(menu != nullptr, ctx, "a right click opens the menu")) {
    // The menu's loop reads the keys of the program's thread: its A.
    PostMessageW(menu, WM_KEYDOWN, 'A', 0);
    PostMessageW(menu, WM_CHAR, 'a', 0);
    for (const DWORD start = GetTickCount(); IsWindowVisible(menu) && GetTickCount() - start < 5000;
         Sleep(20)) {
    }
    Expect(!IsWindowVisible(menu), ctx, "its key chooses 全选 and closes the menu");
    s.Sync();
    PostMessageW(view, WM_COPY, 0, 0);
    Expect(ClipboardHolds(e2e::FromCp936(window.text)), ctx,
           "the menu's 全选, then copy, puts the whole text on the clipboard");
  }
  // (A text of a few lines, a determinant, has nothing to scroll down to.)
  if (std::count(window.text.begin(), window.text.end(), '\n') >= 10) {
    Expect(notch != top, ctx, "a notch of the wheel scrolls");
    Expect(touchpad == notch, ctx, "four wheel deltas of 30 scroll as one notch of 120");
  }
  Expect(sideways != top, ctx, "the sideways wheel scrolls");
}

// A second long result while the first is open (not in Zelcombe, whose
// window is modal): both owned by the dialog, the second cascaded down and
// right from the first; closing the dialog closes both and ends the
// program with 0.
void CheckTwoWindows(Session& s, const Program& p, const PressRow& row) {
  const std::string ctx = s.name() + ": two result windows";
  SeenBox first, second;
  s.Click(Type(s, p, row));
  if (!ReadBox(s, ctx, OwnBox(p, row), first, {})) return;
  s.Click(IDC_CALCULATE);
  if (!ReadBox(s, ctx, OwnBox(p, row), second, {first.window})) return;
  const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  const RECT area = e2e::WorkAreaOf(first.window);
  Expect((second.rect.left == first.rect.left + step && second.rect.top == first.rect.top + step) ||
             (second.rect.left == area.left && second.rect.top == area.top),
         ctx,
         "the second window cascades from the first: (" + std::to_string(first.rect.left) + ", " +
             std::to_string(first.rect.top) + ") then (" + std::to_string(second.rect.left) + ", " +
             std::to_string(second.rect.top) + ")");
  DWORD exit_code = 1;
  if (s.CloseDialog(exit_code)) {
    Expect(exit_code == 0, ctx, "exit code 0 with two result windows open");
  }
}

int RunResults(const Program& p, const std::wstring& exe) {
  Scratch dir;
  Session s(p.name);
  if (!s.Start(exe, dir.path)) return 1;
  for (const LongResult& result : LongResults(p)) {
    const std::string ctx = s.name() + ": " + result.what;
    const Box want = OwnBox(p, result.row);
    const int button = Type(s, p, result.row);
    if (button == 0) return 1;
    const DWORD pressed = GetTickCount();
    s.Click(button);
    SeenBox seen;
    if (!ReadBox(s, ctx, want, seen, {})) return 1;
    std::printf("%s: %zu bytes, shown in %s %.2f s after the press\n", ctx.c_str(),
                want.text.size(), seen.result_window ? "the result window" : "a message box",
                (GetTickCount() - pressed) / 1000.0);
    if (result.box) {
      Expect(!seen.result_window, ctx, "a short result stays a message box");
    } else if (Expect(seen.result_window, ctx, "a long result opens the result window")) {
      CheckCopyAndSave(s, ctx, seen, want.text);
      CheckWindowBehaviour(s, ctx, seen);
    }
    if (!s.CloseBox(seen)) return 1;
  }
  if (p.log_box != 0 && p.help != 0 && std::string(p.name) == "Zelcombe") {
    CheckExit(s);
  } else {
    const std::vector<LongResult> results = LongResults(p);
    const LongResult* window_result = &results.front();
    for (const LongResult& r : results) {
      if (!r.box) window_result = &r;
    }
    CheckTwoWindows(s, p, window_result->row);
  }
  return 0;
}

// ---- The keyboard alone ----------------------------------------------------------

void SendKey(WORD key, bool control = false, bool shift = false, bool alt = false) {
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (control) add(VK_CONTROL, false);
  if (shift) add(VK_SHIFT, false);
  if (alt) add(VK_MENU, false);
  add(key, false);
  add(key, true);
  if (alt) add(VK_MENU, true);
  if (shift) add(VK_SHIFT, true);
  if (control) add(VK_CONTROL, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Types a text as key presses: characters, and Enter for each line end.
void TypeKeys(const std::string& cp936) {
  for (wchar_t c : e2e::FromCp936(cp936)) {
    if (c == L'\r') continue;
    if (c == L'\n') {
      SendKey(VK_RETURN);
      continue;
    }
    INPUT input[2] = {};
    for (int i = 0; i < 2; ++i) {
      input[i].type = INPUT_KEYBOARD;
      input[i].ki.wScan = c;
      input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, input, sizeof(INPUT));
  }
}

bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(10)) {
    if (done()) return true;
  }
  return done();
}

// What each program computes in its keyboard run, and the radio button
// (counted from the first of the group) that chooses it.
struct KeyboardRun {
  PressRow row;
  int downs;  // arrow-key presses from the first choice; -1: no choices
};

KeyboardRun KeyboardRunOf(const Program& p) {
  const std::string name = p.name;
  if (name == "Quorvit") return {{"1 2\r\n3 4", "", calc::cases::kSolve}, 2};
  if (name == "Lumbrane") return {{"1 2\r\n3 4", "", calc::cases::kInverse}, 1};
  if (name == "Tessovar") return {{"1 2\r\n3 4", "1 0\r\n0 1", calc::cases::kMultiply}, 2};
  return {{"1 2\r\n3 4", "", calc::cases::kLog}, -1};
}

// Types, chooses, computes and closes with keys alone: Tab from edit to
// edit and to the choices, the arrow keys within them, Enter to compute
// and to close the box; then Ctrl+Enter from inside the matrix edit, and
// Alt+F4 to end the program.
int RunKeyboard(const Program& p, const std::wstring& exe) {
  Scratch dir;
  Session s(p.name + std::string(" keyboard"));
  if (!s.Start(exe, dir.path)) return 1;
  const std::string ctx = s.name();
  const KeyboardRun run = KeyboardRunOf(p);
  const Box want = OwnBox(p, run.row);
  SetForegroundWindow(s.dialog());
  if (!Expect(WaitFor([&] { return s.Focus() == s.Item(p.first_edit); }), ctx,
              "the focus starts in the matrix edit")) {
    return 1;
  }
  TypeKeys(run.row.first);
  Expect(WaitFor([&] { return s.ItemText(p.first_edit) == run.row.first; }), ctx,
         "the matrix is typed (Enter adds a line, and computes nothing)");
  // Escape in a matrix edit, and the IDCANCEL it stands for, leave the
  // dialog open and the text as it was.
  SendKey(VK_ESCAPE);
  PostMessageW(s.dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  s.Sync();
  Expect(s.Alive() && s.OpenBoxes().empty() && s.ItemText(p.first_edit) == run.row.first, ctx,
         "Escape and IDCANCEL leave the dialog open");
  if (p.first_edit != IDC_MATRIX) {
    SendKey(VK_TAB);
    Expect(WaitFor([&] { return s.Focus() == s.Item(IDC_MATRIX); }), ctx,
           "Tab goes from 矩阵1 to 矩阵2");
    TypeKeys(run.row.second);
    Expect(WaitFor([&] { return s.ItemText(IDC_MATRIX) == run.row.second; }), ctx,
           "the second matrix is typed");
  }
  SendKey(VK_TAB);
  const int wanted = kChoiceButtons[run.row.choice];
  if (run.downs >= 0) {
    Expect(WaitFor([&] { return GetWindowLongW(s.Focus(), GWL_STYLE) & WS_GROUP; }), ctx,
           "Tab goes to the first choice");
    // Space checks the focused choice, the arrow keys move to another.
    SendKey(VK_SPACE);
    for (int i = 0; i < run.downs; ++i) SendKey(VK_DOWN);
    Expect(WaitFor([&] {
             return SendMessageW(s.Item(wanted), BM_GETCHECK, 0, 0) == BST_CHECKED &&
                    s.Focus() == s.Item(wanted);
           }),
           ctx, "the arrow keys choose the calculation");
  } else {
    Expect(WaitFor([&] { return s.Focus() == s.Item(p.log_box); }), ctx,
           "Tab goes to \"生成计算过程\"");
    SendKey(VK_SPACE);
    Expect(
        WaitFor([&] { return SendMessageW(s.Item(p.log_box), BM_GETCHECK, 0, 0) == BST_CHECKED; }),
        ctx, "Space ticks \"生成计算过程\"");
  }
  // Enter computes, from the choices (in Zelcombe from the ticked check box).
  SendKey(VK_RETURN);
  SeenBox box;
  if (!ReadBox(s, ctx + ", Enter", want, box, {})) return 1;
  SendKey(VK_RETURN);
  Expect(WaitFor([&] { return !IsWindow(box.window); }), ctx, "Enter closes the box");
  // Back in the matrix edit, Ctrl+Enter computes too (Enter adds a line).
  SendKey(VK_TAB, false, true);
  const int last_edit = p.first_edit != IDC_MATRIX ? IDC_MATRIX : p.first_edit;
  Expect(WaitFor([&] { return s.Focus() == s.Item(last_edit); }), ctx,
         "Shift+Tab goes back to the matrix edit");
  SendKey(VK_RETURN, true);
  if (!ReadBox(s, ctx + ", Ctrl+Enter", want, box, {})) return 1;
  SendKey(VK_ESCAPE);
  Expect(WaitFor([&] { return !IsWindow(box.window); }), ctx, "Escape closes the box");
  Expect(s.ItemText(last_edit) == (last_edit == p.first_edit ? run.row.first : run.row.second), ctx,
         "Ctrl+Enter adds no line to the matrix");
  SendKey(VK_F4, false, false, true);
  DWORD exit_code = 1;
  Expect(WaitForSingleObject(s.process(), 10000) == WAIT_OBJECT_0, ctx, "Alt+F4 ends the program");
  GetExitCodeProcess(s.process(), &exit_code);
  Expect(exit_code == 0, ctx, "exit code 0");
  return 0;
}

// ---- Load --------------------------------------------------------------------

// The program's private memory in KiB as the system counts it (Wine on
// Linux: its resident anonymous memory); -1 where it is not known.
long PrivateKiB(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {sizeof counters};
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
  return static_cast<long>(counters.PagefileUsage / 1024);
}

// Cycles through the program's rows (Zelcombe's log blocked, so that the
// failed write runs too), with a nested press every 25; neither the
// program's windows nor its memory may grow.
int RunLoad(const Program& p, const std::wstring& exe, int presses) {
  Scratch dir;
  if (p.log_box != 0) CreateDirectoryW(dir.Log().c_str(), nullptr);
  const std::string ctx = std::string(p.name) + " load";
  Session s(ctx);
  if (!s.Start(exe, dir.path)) return 1;
  const int kWarmUp = 10, kNestedEvery = 25;
  int windows = 0, done = 0;
  long memory = 0;
  const DWORD start = GetTickCount();
  for (int i = 0; i < kWarmUp + presses; ++i) {
    if (i >= kWarmUp && (i - kWarmUp) % kNestedEvery == 0) CheckNestedPress(s, p);
    if (i == kWarmUp) {  // the first boxes of each kind allocate once
      windows = e2e::WindowCount(s.process_id());
      memory = PrivateKiB(s.process());
    }
    if (!RunPress(s, p, (*p.rows)[i % p.rows->size()], p.log_box != 0, L"")) break;
    done += i >= kWarmUp;
  }
  const int windows_after = e2e::WindowCount(s.process_id());
  const long memory_after = PrivateKiB(s.process());
  std::printf("%s: %d presses in %.1f s; windows %d -> %d; private memory %ld -> %ld KiB\n",
              ctx.c_str(), done, (GetTickCount() - start) / 1000.0, windows, windows_after, memory,
              memory_after);
  Expect(done == presses, ctx,
         std::to_string(done) + " of " + std::to_string(presses) + " presses");
  Expect(windows_after <= windows, ctx, "the number of windows does not grow");
  // A leak of even 1 KiB a press would pass this bound over 200 presses.
  Expect(memory < 0 || memory_after - memory <= 192, ctx, "memory grows by at most 192 KiB");
  if (s.Alive()) CheckExit(s);
  return 0;
}

// ---- A sample press to look at -------------------------------------------------

// Presses the program's first result row (or its first long result) and
// leaves its box open until the file `marker` exists (a screenshot has been
// taken).
// Waits (up to a minute) until the screenshot has been taken.
void WaitForMarker(const std::wstring& marker) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(50)) {
    if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES) break;
  }
}

int RunShow(const Program& p, const std::wstring& exe, const std::wstring& marker,
            const std::string& kind) {
  Scratch dir;
  Session s(p.name);
  if (!s.Start(exe, dir.path)) return 1;
  if (kind == "tip") {
    const std::string tip = s.HoverTooltip(p.first_edit);
    std::printf("the matrix edit's tooltip:\n%s\nREADY\n", e2e::ToUtf8(tip).c_str());
    std::fflush(stdout);
    WaitForMarker(marker);
    CheckExit(s);
    return 0;
  }
  SeenBox box;
  if (kind == "about") {
    if (!OpenAbout(s, p, box)) return 1;
    std::printf("the box \"%s\":\n%s\nREADY\n", e2e::ToUtf8(box.caption).c_str(),
                e2e::ToUtf8(box.text).c_str());
    std::fflush(stdout);
    WaitForMarker(marker);
    s.CloseBox(box);
    CheckExit(s);
    return 0;
  }
  const bool long_result = kind == "long" || kind == "maximised" || kind == "resized";
  const PressRow* row = &p.rows->front();
  while (row->box.caption != calc::kCaptionDone || row->choice == calc::cases::kHelp) ++row;
  // Quorvit's "解方程组" with infinitely many solutions, for the README.
  if (kind == "system") row = &calc::cases::kSolveRows[1];
  const std::vector<LongResult> long_results = LongResults(p);
  if (long_result) {
    row = &long_results.front().row;
    for (const LongResult& result : long_results) {
      if (!result.box) row = &result.row;
    }
  }
  std::printf("%s: typed \"%s\"\n", p.name, Escaped(row->first).c_str());
  s.Click(Type(s, p, *row));
  if (!ReadBox(s, p.name, OwnBox(p, *row), box, {})) return 1;
  if (kind == "maximised") PostMessageW(box.window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  if (kind == "resized") {
    SetWindowPos(box.window, nullptr, 0, 0, 420, 300, SWP_NOMOVE | SWP_NOZORDER);
  }
  s.Sync();
  std::printf("%s \"%s\" shows %zu bytes%s:\n%s\nREADY\n",
              box.result_window ? "the result window" : "the box", e2e::ToUtf8(box.caption).c_str(),
              box.text.size(), box.text.size() > 300 ? ", beginning" : "",
              e2e::ToUtf8(box.text.substr(0, 300)).c_str());
  std::fflush(stdout);
  WaitForMarker(marker);
  s.CloseBox(box);
  CheckExit(s);
  return 0;
}

// ---- Main ----------------------------------------------------------------------

int PrintUsage(const char* program) {
  std::printf(
      "usage: %s dialog|presses|results|keyboard NAME PROGRAM.exe |\n"
      "       load NAME PROGRAM.exe [PRESSES] | show NAME PROGRAM.exe MARKER_FILE [long]\n",
      program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return PrintUsage(argv[0]);
  const std::string suite = argv[1];
  const Program* program = Find(argv[2]);
  if (program == nullptr) return PrintUsage(argv[0]);
  // The programs must look the same whatever the system's code page: the
  // tests run under zh_CN.UTF-8 (936) and en_US.UTF-8 (1252).
  const char* locale = std::getenv("CALC_WINE_LOCALE");
  const UINT code_page = locale != nullptr && std::strncmp(locale, "en_US", 5) == 0 ? 1252 : 936;
  std::printf("%s %s: ANSI code page %u\n", suite.c_str(), program->name, GetACP());
  if (!Expect(GetACP() == code_page, "environment",
              "the ANSI code page is " + std::to_string(code_page) + ", got " +
                  std::to_string(GetACP()))) {
    return 1;
  }
  // Window sizes are read in the screen's pixels at any DPI.
  SetProcessDPIAware();
  const std::wstring exe = e2e::ToWindowsPath(argv[3]);
  if (suite == "dialog") {
    RunDialog(*program, exe);
  } else if (suite == "presses") {
    RunPresses(*program, exe);
  } else if (suite == "results") {
    RunResults(*program, exe);
  } else if (suite == "keyboard") {
    RunKeyboard(*program, exe);
  } else if (suite == "show" && argc > 4) {
    RunShow(*program, exe, e2e::ToWindowsPath(argv[4]), argc > 5 ? argv[5] : "");
  } else if (suite == "load") {
    RunLoad(*program, exe, argc > 4 ? std::atoi(argv[4]) : 200);
  } else {
    return PrintUsage(argv[0]);
  }
  std::printf("%s %s: %d checks, %d failed\n", suite.c_str(), program->name, e2e::CheckCount(),
              e2e::FailureCount());
  return e2e::FailureCount() == 0 ? 0 : 1;
}
