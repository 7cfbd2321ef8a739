#include "ui_session.h"

#include <algorithm>
#include <cstdio>

namespace e2e {
namespace {

constexpr DWORD kStartTimeoutMs = 60000;  // a cold Wine start can be slow
constexpr DWORD kBoxTimeoutMs = 15000;
constexpr DWORD kMessageTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 15000;
constexpr int kMessageBoxTextId = 0xFFFF;  // the static that holds a box's text

int g_checks = 0;
int g_failures = 0;

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool Contains(const std::vector<HWND>& windows, HWND window) {
  return std::find(windows.begin(), windows.end(), window) != windows.end();
}

std::wstring Widen(const std::string& text, UINT code_page) {
  if (text.empty()) return std::wstring();
  const int length =
      MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT code_page) {
  if (wide.empty()) return std::string();
  const int length = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length,
                      nullptr, nullptr);
  return text;
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
  return Expect(false, context,
                what + "\n      got:      \"" + Escaped(actual) + "\"\n      expected: \"" +
                    Escaped(expected) + "\"");
}

int CheckCount() {
  return g_checks;
}
int FailureCount() {
  return g_failures;
}

std::string Escaped(const std::string& cp936) {
  // Bytes below 0x20 are never part of a double-byte character.
  std::string out;
  for (char c : cp936) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring FromCp936(const std::string& cp936) {
  return Widen(cp936, 936);
}
std::string ToCp936(const std::wstring& wide) {
  return Narrow(wide, 936);
}

std::string ToUtf8(const std::string& cp936) {
  return Narrow(Widen(cp936, 936), CP_UTF8);
}

// ---- Paths and files -------------------------------------------------------

std::wstring ToWindowsPath(const std::string& path) {
  if (!path.empty() && path[0] == '/') {
    // Wine exports the mapping of host paths; on Windows there are none.
    using DosName = WCHAR*(CDECL*)(const char*);
    auto to_dos = reinterpret_cast<DosName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    if (to_dos != nullptr) {
      if (WCHAR* dos = to_dos(path.c_str())) {
        std::wstring result = dos;
        HeapFree(GetProcessHeap(), 0, dos);
        return result;
      }
    }
  }
  return Widen(path, CP_ACP);
}

std::wstring MakeScratchDirectory() {
  static int counter = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  for (;;) {
    wchar_t name[MAX_PATH];
    swprintf(name, MAX_PATH, L"%lscalc-e2e-%lu-%d", temp, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryW(name, nullptr)) return name;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::wstring();
  }
}

void RemoveTree(const std::wstring& path) {
  if (path.empty()) return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) {
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  return ok;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---- Windows of a process ----------------------------------------------------

namespace {

struct WindowSearch {
  DWORD process_id;
  std::vector<HWND> found;
};

BOOL CALLBACK AddWindowOfProcess(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner_process = 0;
  GetWindowThreadProcessId(window, &owner_process);
  if (owner_process == search->process_id) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CountWindow(HWND, LPARAM param) {
  ++*reinterpret_cast<int*>(param);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD process_id) {
  WindowSearch search{process_id, {}};
  EnumWindows(AddWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
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
  Kill();
  if (job_ != nullptr) CloseHandle(job_);
}

bool Session::Start(const std::wstring& exe, const std::wstring& work_dir,
                    const std::wstring& argument) {
  // The job kills the program should the driver itself die.
  job_ = CreateJobObjectW(nullptr, nullptr);
  if (job_ != nullptr) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::wstring command = L"\"" + exe + L"\"";
  if (!argument.empty()) command += L" " + argument;
  if (!Expect(CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                             nullptr, work_dir.c_str(), &startup, &info) != 0,
              name_,
              "the program starts (CreateProcess error " + std::to_string(GetLastError()) + ")")) {
    return false;
  }
  if (job_ != nullptr) AssignProcessToJobObject(job_, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  process_id_ = info.dwProcessId;
  thread_id_ = info.dwThreadId;

  WaitForInputIdle(process_, kStartTimeoutMs);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kStartTimeoutMs) {
    for (HWND window : TopLevelWindows(process_id_)) {
      if (ClassName(window) == "#32770" && IsWindowVisible(window)) {
        dialog_ = window;
        return true;
      }
    }
    if (WaitForSingleObject(process_, 20) == WAIT_OBJECT_0) break;
  }
  Expect(false, name_, "the dialog shows within " + std::to_string(kStartTimeoutMs / 1000) + " s");
  return false;
}

bool Session::Alive() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT &&
         IsWindow(dialog_);
}

std::string Session::Text(HWND window) const {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                           &length)) {
    Expect(false, name_, "the window answers WM_GETTEXTLENGTH");
    return std::string();
  }
  // The length may count characters rather than bytes: leave room for both.
  std::string text(length * 2 + 2, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
    Expect(false, name_, "the window answers WM_GETTEXT");
    return std::string();
  }
  text.resize(copied);
  return text;
}

bool Session::SetText(int control_id, const std::string& text) {
  DWORD_PTR result = 0;
  const bool sent =
      SendMessageTimeoutA(Item(control_id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result) != 0;
  return Expect(
      sent && result != 0 && ItemText(control_id) == text, name_,
      "control " + std::to_string(control_id) + " takes the text \"" + Escaped(text) + "\"");
}

bool Session::Checked(int control_id) const {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(Item(control_id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                      &state);
  return state == BST_CHECKED;
}

bool Session::SetChecked(int control_id, bool checked) {
  if (Checked(control_id) != checked) Click(control_id);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kBoxTimeoutMs) {
    if (Checked(control_id) == checked) return true;
    Sleep(2);
  }
  return Expect(false, name_,
                "button " + std::to_string(control_id) + (checked ? " becomes" : " stops being") +
                    " checked when clicked");
}

void Session::Click(int control_id) {
  PostMessageA(Item(control_id), BM_CLICK, 0, 0);
}

std::vector<HWND> Session::OpenBoxes() const {
  std::vector<HWND> boxes;
  for (HWND window : TopLevelWindows(process_id_)) {
    if (window != dialog_ && ClassName(window) == "#32770") boxes.push_back(window);
  }
  return boxes;
}

void Session::Sync() const {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kMessageTimeoutMs, &result);
}

bool Session::WaitForNewBox(const std::vector<HWND>& before, SeenBox& box) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kBoxTimeoutMs) {
    for (HWND window : OpenBoxes()) {
      if (Contains(before, window) || !IsWindowVisible(window)) continue;
      box = SeenBox();
      box.window = window;
      box.caption = Text(window);
      box.text = Text(GetDlgItem(window, kMessageBoxTextId));
      box.owner = GetWindow(window, GW_OWNER);
      for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
           child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const std::string kind = ClassName(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (lstrcmpiA(kind.c_str(), "Button") == 0) ++box.buttons;
        if (lstrcmpiA(kind.c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
          DWORD_PTR icon = 0;
          SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &icon);
          if (icon != 0) box.has_icon = true;
        }
      }
      return true;
    }
    if (WaitForSingleObject(process_, 2) == WAIT_OBJECT_0) break;
  }
  return Expect(false, name_, "a message box opens");
}

bool Session::Press(int control_id, SeenBox& box) {
  const std::vector<HWND> before = OpenBoxes();
  Click(control_id);
  return WaitForNewBox(before, box);
}

bool Session::CloseBox(const SeenBox& box) {
  PostMessageA(GetDlgItem(box.window, IDOK), BM_CLICK, 0, 0);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kBoxTimeoutMs) {
    if (!IsWindow(box.window)) return true;
    Sleep(2);
  }
  return Expect(false, name_, "the box \"" + box.caption + "\" closes on OK");
}

void Session::PostKey(HWND window, WPARAM virtual_key) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(virtual_key), 0));
  PostMessageA(window, WM_KEYDOWN, virtual_key, 1 | (scan << 16));
  PostMessageA(window, WM_KEYUP, virtual_key, 1 | (scan << 16) | 0xC0000000);
}

bool Session::CloseDialog(DWORD& exit_code) {
  PostMessageA(dialog_, WM_CLOSE, 0, 0);
  if (!Expect(WaitForSingleObject(process_, kExitTimeoutMs) == WAIT_OBJECT_0, name_,
              "the process ends after WM_CLOSE")) {
    return false;
  }
  GetExitCodeProcess(process_, &exit_code);
  return true;
}

void Session::Kill() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kExitTimeoutMs);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

}  // namespace e2e
