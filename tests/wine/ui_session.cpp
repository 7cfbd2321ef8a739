#include "ui_session.h"

#include <algorithm>
#include <cstdio>

#include "result_text.h"

namespace e2e {

using calc::testing::Escaped;
namespace {

constexpr DWORD kStartMs = 60000;  // a cold Wine start can be slow
constexpr DWORD kBoxMs = 30000;    // a 20 x 20 full-range press, under emulation
constexpr DWORD kMessageMs = 10000;
constexpr int kBoxTextId = 0xFFFF;   // the static that holds a box's text
constexpr int kResultTextId = 2001;  // the result window's edit (IDC_RESULT_TEXT)

int g_checks = 0;
int g_failures = 0;

std::string ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return std::string(name, name + lstrlenW(name));  // class names are ASCII
}

std::wstring Widen(const std::string& text, UINT code_page) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                  &wide[0], static_cast<int>(wide.size())));
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT code_page) {
  std::string text(wide.size() * 4, '\0');
  text.resize(WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                                  &text[0], static_cast<int>(text.size()), nullptr, nullptr));
  return text;
}

using Search = std::pair<DWORD, std::vector<HWND>>;

BOOL CALLBACK AddWindowOf(HWND window, LPARAM param) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == reinterpret_cast<Search*>(param)->first) {
    reinterpret_cast<Search*>(param)->second.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Top-level windows of a process: the dialog and any boxes.
std::vector<HWND> TopLevelWindows(DWORD process_id) {
  Search search = {process_id, {}};
  EnumWindows(AddWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

}  // namespace

bool Expect(bool ok, const std::string& context, const std::string& message) {
  ++g_checks;
  if (!ok) {
    ++g_failures;
    std::printf("FAIL [%s] %s\n", ToUtf8(context).c_str(), ToUtf8(message).c_str());
    std::fflush(stdout);
  }
  return ok;
}

bool ExpectBytes(const std::string& context, const std::string& what, const std::string& actual,
                 const std::string& expected) {
  if (actual == expected) return Expect(true, context, what);
  // Where long texts part is what matters: 2,000 bytes from a little before.
  size_t same = 0;
  while (same < actual.size() && same < expected.size() && actual[same] == expected[same]) ++same;
  const size_t from = same > 100 ? same - 100 : 0;
  return Expect(false, context,
                what + " (" + std::to_string(actual.size()) + " bytes, expected " +
                    std::to_string(expected.size()) + "; they part at byte " +
                    std::to_string(same) + ")\n      got:      \"" +
                    Escaped(actual.substr(from), 2000) + "\"\n      expected: \"" +
                    Escaped(expected.substr(from), 2000) + "\"");
}

int CheckCount() {
  return g_checks;
}
int FailureCount() {
  return g_failures;
}

std::wstring FromCp936(const std::string& cp936) {
  return Widen(cp936, 936);
}
std::string ToUtf8(const std::string& cp936) {
  return Narrow(Widen(cp936, 936), CP_UTF8);
}
std::string ToCp936(const std::wstring& wide) {
  return Narrow(wide, 936);
}
RECT WorkAreaOf(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}
bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::wstring ToWindowsPath(const std::string& path) {
  // Wine exports the mapping of host paths; Windows has none.
  using DosName = WCHAR*(CDECL*)(const char*);
  auto to_dos = reinterpret_cast<DosName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (!path.empty() && path[0] == '/' && to_dos != nullptr) {
    if (WCHAR* dos = to_dos(path.c_str())) {
      std::wstring result = dos;
      HeapFree(GetProcessHeap(), 0, dos);
      return result;
    }
  }
  return Widen(path, CP_UTF8);
}

std::string HostPath(const std::wstring& path) {
  using UnixName = char*(CDECL*)(const WCHAR*);
  auto to_unix = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (to_unix == nullptr) return std::string();
  char* name = to_unix(path.c_str());
  if (name == nullptr) return std::string();
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

std::wstring MakeScratchDirectory() {
  static int counter = 0;
  wchar_t temp[MAX_PATH], name[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  do {
    swprintf(name, MAX_PATH, L"%lscalc-e2e-%lu-%d", temp, GetCurrentProcessId(), ++counter);
  } while (!CreateDirectoryW(name, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
  return name;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return false;
  bytes.clear();
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    bytes.append(buffer, got);
  std::fclose(file);
  return true;
}

int WindowCount(DWORD process_id) {
  int count = 0;
  for (HWND window : TopLevelWindows(process_id)) {
    ++count;
    EnumChildWindows(window, CountWindow, reinterpret_cast<LPARAM>(&count));
  }
  return count;
}

// ---- Session -------------------------------------------------------------------

Session::~Session() {
  if (process_ != nullptr) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kBoxMs);
    CloseHandle(process_);
  }
  if (job_ != nullptr) CloseHandle(job_);
}

bool Session::Start(const std::wstring& exe, const std::wstring& work_dir) {
  // The job kills the program should the driver itself die.
  job_ = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION info = {};
  std::wstring command = L"\"" + exe + L"\"";
  if (!Expect(CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                             nullptr, work_dir.c_str(), &startup, &info) != 0,
              name_, "the program starts (error " + std::to_string(GetLastError()) + ")")) {
    return false;
  }
  AssignProcessToJobObject(job_, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  process_id_ = info.dwProcessId;
  thread_id_ = info.dwThreadId;
  WaitForInputIdle(process_, kStartMs);
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kStartMs;) {
    for (HWND window : TopLevelWindows(process_id_)) {
      if (ClassName(window) == "#32770" && IsWindowVisible(window)) {
        dialog_ = window;
        return true;
      }
    }
    if (WaitForSingleObject(process_, 20) == WAIT_OBJECT_0) break;
  }
  return Expect(false, name_, "the dialog shows within " + std::to_string(kStartMs / 1000) + " s");
}

bool Session::Alive() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT &&
         IsWindow(dialog_);
}

std::string Session::Text(HWND window) const {
  DWORD_PTR length = 0, copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageMs, &length);
  std::wstring text(length + 1, L'\0');
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kMessageMs, &copied)) {
    Expect(false, name_, "the window answers WM_GETTEXT");
  }
  text.resize(copied);
  return ToCp936(text);
}

bool Session::SetText(int control_id, const std::string& text) {
  DWORD_PTR result = 0;
  const std::wstring wide = FromCp936(text);
  SendMessageTimeoutW(Item(control_id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                      SMTO_ABORTIFHUNG, kMessageMs, &result);
  return Expect(
      result != 0 && ItemText(control_id) == text, name_,
      "control " + std::to_string(control_id) + " takes the text \"" + Escaped(text, 40) + "\"");
}

bool Session::SetWideText(int control_id, const std::wstring& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Item(control_id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, kMessageMs, &result);
  return Expect(result != 0, name_, "control " + std::to_string(control_id) + " takes the text");
}

std::string Session::HoverTooltip(int control_id) {
  RECT r = {};
  GetWindowRect(Item(control_id), &r);
  // Off the control first, so that arriving on it is a move onto it.
  SetCursorPos(r.left - 20, r.top - 20);
  Sleep(100);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kBoxMs; Sleep(20)) {
    for (HWND window : TopLevelWindows(process_id_)) {
      if (ClassName(window) == "tooltips_class32" && IsWindowVisible(window)) {
        const std::string text = Text(window);
        if (!text.empty()) return text;
      }
    }
  }
  return "";
}

bool Session::Checked(int control_id) const {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(Item(control_id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageMs, &state);
  return state == BST_CHECKED;
}

bool Session::SetChecked(int control_id, bool checked) {
  if (Checked(control_id) != checked) Click(control_id);
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kBoxMs; Sleep(2)) {
    if (Checked(control_id) == checked) return true;
  }
  return Expect(false, name_,
                "button " + std::to_string(control_id) + " takes its state on a click");
}

void Session::Click(int control_id) {
  PostMessageA(Item(control_id), BM_CLICK, 0, 0);
}

void Session::PostKey(HWND window, WPARAM key) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), 0)) << 16;
  PostMessageA(window, WM_KEYDOWN, key, 1 | scan);
  PostMessageA(window, WM_KEYUP, key, 1 | scan | 0xC0000000);
}

std::vector<HWND> Session::OpenBoxes() const {
  std::vector<HWND> boxes;
  for (HWND window : TopLevelWindows(process_id_)) {
    if (window != dialog_ && ClassName(window) == "#32770") boxes.push_back(window);
  }
  return boxes;
}

bool Session::WaitForNewBox(const std::vector<HWND>& before, SeenBox& box) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kBoxMs;) {
    for (HWND window : OpenBoxes()) {
      if (std::count(before.begin(), before.end(), window) || !IsWindowVisible(window)) continue;
      HWND result_text = GetDlgItem(window, kResultTextId);
      HWND box_text = result_text != nullptr ? result_text : GetDlgItem(window, kBoxTextId);
      box = SeenBox{window, result_text != nullptr, Text(box_text), Text(window),
                    GetWindow(window, GW_OWNER)};
      GetWindowRect(window, &box.rect);
      RECT text_rect = {};
      GetWindowRect(box_text, &text_rect);
      box.text_height = text_rect.bottom - text_rect.top;
      for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
           child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const std::string kind = ClassName(child);
        if (lstrcmpiA(kind.c_str(), "Button") == 0) ++box.buttons;
        DWORD_PTR icon = 0;
        if (lstrcmpiA(kind.c_str(), "Static") == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kMessageMs, &icon)) {
          box.has_icon = box.has_icon || icon != 0;
        }
      }
      return true;
    }
    if (WaitForSingleObject(process_, 2) == WAIT_OBJECT_0) break;
  }
  return Expect(false, name_, "a message box opens");
}

HWND Session::Focus() const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(thread_id_, &info);
  return info.hwndFocus;
}

bool Session::CloseBox(const SeenBox& box) {
  PostMessageA(GetDlgItem(box.window, IDOK), BM_CLICK, 0, 0);
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kBoxMs; Sleep(2)) {
    if (!IsWindow(box.window)) return true;
  }
  return Expect(false, name_, "the box \"" + box.caption + "\" closes on OK");
}

void Session::Sync() const {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kMessageMs, &result);
}

bool Session::CloseDialog(DWORD& exit_code) {
  PostMessageA(dialog_, WM_CLOSE, 0, 0);
  if (!Expect(WaitForSingleObject(process_, kBoxMs) == WAIT_OBJECT_0, name_,
              "the process ends after WM_CLOSE")) {
    return false;
  }
  return GetExitCodeProcess(process_, &exit_code) != 0;
}

}  // namespace e2e
