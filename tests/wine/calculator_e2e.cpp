// End-to-end checks of the four programs under Wine (or on Windows), of what
// only a real window shows: the dialog and its controls, the keys, boxes
// with their owners and code page 936 texts, the process log file, the exit
// code and a long run of presses. The presses are the unit tests' shared
// rows (press_cases.h); the ids come from the programs' resource headers.
//
//   calc_e2e dialog|presses NAME PROGRAM.exe
//   calc_e2e load NAME PROGRAM.exe [PRESSES]
//   calc_e2e show NAME PROGRAM.exe MARKER_FILE
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../press_cases.h"
#include "determinant_press.h"
#include "inverse_press.h"
#include "result_text.h"
#include "ui_session.h"
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
  int log_box;     // Zelcombe's "生成计算过程", else 0
  Box (*help_box)();
  std::vector<Control> controls;
  const std::vector<PressRow>* rows;
};

// clang-format off
const Program kPrograms[] = {
    {"Quorvit", "Quorvitv1.3", 0, IDC_MATRIX, 0, nullptr,
     {{IDC_CALCULATE, "Button", "计算"}, {IDC_STATIC_GROUP, "Button", "输入矩阵"},
      {IDC_MATRIX, "Edit", ""}, {IDC_RANK, "Button", "秩"},
      {IDC_EIGENVALUES, "Button", "特征值", false}},
     &calc::cases::kRankRows},
    {"Lumbrane", "Lumbranev1.3", kLumbraneHelp, IDC_MATRIX, 0, calc::LumbraneHelpBox,
     {{IDC_CALCULATE, "Button", "计算"}, {IDC_STATIC_GROUP, "Button", "输入原矩阵"},
      {IDC_MATRIX, "Edit", ""}, {kLumbraneHelp, "Button", "使用说明"},
      {IDC_ADJUGATE, "Button", "伴随阵"}, {IDC_INVERSE, "Button", "逆矩阵"}},
     &calc::cases::kInverseRows},
    {"Tessovar", "Tessovarv1.3", 0, IDC_FIRST_MATRIX, 0, nullptr,
     {{IDC_CALCULATE, "Button", "计算"}, {IDC_STATIC_GROUP, "Button", "矩阵1"},
      {IDC_FIRST_MATRIX, "Edit", ""}, {IDC_STATIC_GROUP, "Button", "矩阵2"},
      {IDC_MATRIX, "Edit", ""}, {IDC_ADD, "Button", "加法"}, {IDC_SUBTRACT, "Button", "减法"},
      {IDC_MULTIPLY, "Button", "乘法"}, {IDC_SCALAR, "Button", "数乘"}},
     &calc::cases::kBasicOpsRows},
    {"Zelcombe", "Zelcombev1.3", IDC_INSTRUCTIONS, IDC_MATRIX, IDC_PROCESS_LOG, calc::ZelcombeHelpBox,
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

// The radio button of each choice, in the order of calc::cases::Choice.
const int kChoiceButtons[] = {
    0, IDC_RANK, IDC_ADJUGATE, IDC_INVERSE, IDC_ADD, IDC_SUBTRACT, IDC_MULTIPLY, IDC_SCALAR, 0, 0};

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
  // The focus starts on "计算" (shortly after the dialog shows, under Wine).
  GUITHREADINFO info = {sizeof info};
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(10)) {
    GetGUIThreadInfo(s.thread_id(), &info);
    if (info.hwndFocus == s.Item(IDC_CALCULATE)) break;
  }
  Expect(info.hwndFocus == s.Item(IDC_CALCULATE), ctx, "the focus starts on \"计算\"");
}

// Escape (on "计算" and in a matrix edit) and the IDCANCEL it stands for
// leave the dialog open; Enter in a matrix edit adds a line and presses
// nothing.
void CheckKeys(Session& s, const Program& p) {
  const std::string ctx = std::string(p.name) + " keys";
  for (const Control& c : p.controls) {
    if (std::strcmp(c.cls, "Edit") != 0 || !s.SetText(c.id, "1 2")) continue;
    SendMessageA(s.Item(c.id), EM_SETSEL, 3, 3);
    // Posted messages arrive in order: once the line end shows, the keys
    // before it have been handled.
    s.PostKey(s.Item(IDC_CALCULATE), VK_ESCAPE);
    s.PostKey(s.Item(c.id), VK_ESCAPE);
    PostMessageA(s.dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    s.PostKey(s.Item(c.id), VK_RETURN);
    bool inserted = false;
    for (const DWORD start = GetTickCount(); !inserted && GetTickCount() - start < 10000;
         Sleep(5)) {
      inserted = s.Alive() && s.ItemText(c.id) == "1 2\r\n";
    }
    Expect(s.Alive(), ctx, "Escape and IDCANCEL leave the dialog open");
    Expect(inserted && s.OpenBoxes().empty(), ctx,
           "Enter in edit " + std::to_string(c.id) + " adds CR LF and starts no press");
    s.SetText(c.id, "");
  }
}

// ---- Presses -----------------------------------------------------------------

// Types the row's texts and makes its choice; returns the button to press
// (0 when the program did not take the input).
int Type(Session& s, const Program& p, const PressRow& row) {
  if (row.choice == calc::cases::kHelp) return p.help;
  if (!s.SetText(p.first_edit, row.first)) return 0;
  if (p.first_edit != IDC_MATRIX && !s.SetText(IDC_MATRIX, row.second)) return 0;
  if (p.log_box != 0 && !s.SetChecked(p.log_box, row.choice == calc::cases::kLog)) return 0;
  const int chosen = kChoiceButtons[row.choice];
  if (chosen != 0) return s.SetChecked(chosen, true) ? IDC_CALCULATE : 0;
  // No choice: as when the dialog starts, no radio button is checked.
  for (const Control& c : p.controls) {
    if (c.id != p.log_box && std::strcmp(c.cls, "Button") == 0)
      SendMessageA(s.Item(c.id), BM_SETCHECK, BST_UNCHECKED, 0);
  }
  return IDC_CALCULATE;
}

bool ReadBox(Session& s, const std::string& ctx, const Box& want, SeenBox& box,
             const std::vector<HWND>& before) {
  if (!s.WaitForNewBox(before, box)) return false;
  ExpectBytes(ctx, "box text", box.text, want.text);
  ExpectBytes(ctx, "box caption", box.caption, want.caption);
  const bool owned = want.owner == Owner::kDialog;
  Expect(box.owner == (owned ? s.dialog() : nullptr), ctx,
         owned ? "the box is owned by the dialog" : "the box has no owner window");
  Expect((IsWindowEnabled(s.dialog()) != 0) != owned, ctx,
         owned ? "the dialog is disabled under its box" : "the dialog stays usable");
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
    ExpectBytes(ctx, "process log", log, row.log);
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

int RunDialog(const Program& p, const std::wstring& exe) {
  Scratch dir;
  Session s(p.name);
  if (!s.Start(exe, dir.path)) return 1;
  CheckDialog(s, p);
  CheckKeys(s, p);
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

// Presses the program's first result row and leaves its box open until the
// file `marker` exists (a screenshot has been taken).
int RunShow(const Program& p, const std::wstring& exe, const std::wstring& marker) {
  Scratch dir;
  Session s(p.name);
  if (!s.Start(exe, dir.path)) return 1;
  const PressRow* row = &p.rows->front();
  while (row->box.caption != calc::kCaptionDone || row->choice == calc::cases::kHelp) ++row;
  std::printf("%s: typed \"%s\"\n", p.name, Escaped(row->first).c_str());
  s.Click(Type(s, p, *row));
  SeenBox box;
  if (!ReadBox(s, p.name, row->box, box, {})) return 1;
  std::printf("the box \"%s\" shows:\n%s\nREADY\n", e2e::ToUtf8(box.caption).c_str(),
              e2e::ToUtf8(box.text).c_str());
  std::fflush(stdout);
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(50)) {
    if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES) break;
  }
  s.CloseBox(box);
  CheckExit(s);
  return 0;
}

// ---- Main ----------------------------------------------------------------------

int PrintUsage(const char* program) {
  std::printf(
      "usage: %s dialog|presses NAME PROGRAM.exe |\n"
      "       load NAME PROGRAM.exe [PRESSES] | show NAME PROGRAM.exe MARKER_FILE\n",
      program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return PrintUsage(argv[0]);
  const std::string suite = argv[1];
  const Program* program = Find(argv[2]);
  if (program == nullptr) return PrintUsage(argv[0]);
  if (!Expect(GetACP() == 936, "environment",
              "the ANSI code page is 936 (run under the zh_CN.UTF-8 locale), got " +
                  std::to_string(GetACP()))) {
    return 1;
  }
  const std::wstring exe = e2e::ToWindowsPath(argv[3]);
  if (suite == "dialog") {
    RunDialog(*program, exe);
  } else if (suite == "presses") {
    RunPresses(*program, exe);
  } else if (suite == "show" && argc > 4) {
    RunShow(*program, exe, e2e::ToWindowsPath(argv[4]));
  } else if (suite == "load") {
    RunLoad(*program, exe, argc > 4 ? std::atoi(argv[4]) : 200);
  } else {
    return PrintUsage(argv[0]);
  }
  std::printf("%s %s: %d checks, %d failed\n", suite.c_str(), program->name, e2e::CheckCount(),
              e2e::FailureCount());
  return e2e::FailureCount() == 0 ? 0 : 1;
}
