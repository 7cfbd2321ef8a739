// Drives one of the calculator programs from another process, as a user
// would: starts it, finds its dialog, types into its edit controls, clicks
// its buttons, reads the message boxes it shows and closes them.
//
// Everything here works across processes: texts are read with WM_GETTEXT
// (GetWindowTextA returns nothing for another process's edit control), and
// buttons are pressed with a posted BM_CLICK, so the driver never blocks on
// a modal box. Every wait is bounded.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// ---- Results -------------------------------------------------------------

// Counts one check; prints a failure line with its context when !ok.
// Context and message are code page 936 texts, like the programs' own.
bool Expect(bool ok, const std::string& context, const std::string& message);

// Compares two byte strings and prints both readably when they differ.
bool ExpectBytes(const std::string& context, const std::string& what, const std::string& actual,
                 const std::string& expected);

int CheckCount();
int FailureCount();

// The text with CR, LF and other control bytes written as escapes, so that
// line ends can be told apart.
std::string Escaped(const std::string& cp936);

// A code page 936 text as UTF-8 for the terminal.
std::string ToUtf8(const std::string& cp936);

// Conversions between code page 936 and UTF-16.
std::wstring FromCp936(const std::string& cp936);
std::string ToCp936(const std::wstring& wide);

// ---- Paths and files -----------------------------------------------------

// A path as given on the command line: a host path (/...) becomes the path
// Wine maps it to; anything else is returned unchanged.
std::wstring ToWindowsPath(const std::string& path);

// A fresh empty directory under the temporary directory.
std::wstring MakeScratchDirectory();

// Removes a directory made by MakeScratchDirectory with everything in it.
void RemoveTree(const std::wstring& path);

// The bytes of a file; false when it cannot be read.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);

bool FileExists(const std::wstring& path);

// ---- The program under test ------------------------------------------------

// A message box of the program as the user sees it.
struct SeenBox {
  HWND window = nullptr;
  std::string text;
  std::string caption;
  HWND owner = nullptr;
  int buttons = 0;  // visible push buttons
  bool has_icon = false;
};

class Session {
 public:
  explicit Session(std::string name) : name_(std::move(name)) {}
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Starts the program with the given working directory and waits for its
  // dialog to show. The programs ignore their command line; an argument can
  // tag the process so that it can be found among the host's processes.
  bool Start(const std::wstring& exe, const std::wstring& work_dir,
             const std::wstring& argument = std::wstring());

  const std::string& name() const { return name_; }
  HWND dialog() const { return dialog_; }
  HANDLE process() const { return process_; }
  DWORD process_id() const { return process_id_; }
  DWORD thread_id() const { return thread_id_; }
  HWND Item(int control_id) const { return GetDlgItem(dialog_, control_id); }

  // True while the process runs and its dialog exists.
  bool Alive() const;

  // The text of any window of the program.
  std::string Text(HWND window) const;
  std::string ItemText(int control_id) const { return Text(Item(control_id)); }

  // Replaces the text of an edit control.
  bool SetText(int control_id, const std::string& text);

  // BST_CHECKED or not.
  bool Checked(int control_id) const;

  // Clicks a radio button or check box until it shows the wanted state.
  bool SetChecked(int control_id, bool checked);

  // Posts a click to a button; returns at once.
  void Click(int control_id);

  // The program's message boxes: every dialog window but the main one,
  // also one that is still being set up and not yet shown.
  std::vector<HWND> OpenBoxes() const;

  // Returns once the program's thread is back in a message loop (of its
  // dialog, or of a box it has just opened).
  void Sync() const;

  // Waits for a box that was not open before, until it shows, and reads it.
  bool WaitForNewBox(const std::vector<HWND>& before, SeenBox& box);

  // Clicks a button and reads the box it opens.
  bool Press(int control_id, SeenBox& box);

  // Clicks the box's OK button and waits until the box is gone.
  bool CloseBox(const SeenBox& box);

  // Posts a key press (down and up) to a control, as the keyboard would
  // deliver it to the window with the focus.
  void PostKey(HWND window, WPARAM virtual_key);

  // Sends WM_CLOSE to the dialog and waits for the process to end.
  bool CloseDialog(DWORD& exit_code);

  // Kills the program (after a failure that leaves it in an unknown state).
  void Kill();

 private:
  std::string name_;
  HANDLE job_ = nullptr;
  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
  DWORD thread_id_ = 0;
  HWND dialog_ = nullptr;
};

// Top-level windows of a process: the dialog and any boxes.
std::vector<HWND> TopLevelWindows(DWORD process_id);

// The number of windows a process owns: its top-level windows and all their
// descendants. A window leak shows up here.
int WindowCount(DWORD process_id);

}  // namespace e2e
