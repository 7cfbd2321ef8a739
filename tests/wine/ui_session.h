// Drives one of the programs from another process, as a user would: starts
// it, types into its edits, clicks its buttons, reads and closes its boxes
// and result windows. Texts are read as UTF-16 with WM_GETTEXT (whatever the
// system's code page) and handed to the checks in code page 936, as the
// programs' own texts are; buttons are pressed with a posted BM_CLICK, so
// the driver never blocks on a modal box. Every wait is bounded.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Counts one check; prints a failure with its context (code page 936).
bool Expect(bool ok, const std::string& context, const std::string& message);
// Compares two byte strings and prints both readably when they differ.
bool ExpectBytes(const std::string& context, const std::string& what, const std::string& actual,
                 const std::string& expected);
int CheckCount();
int FailureCount();

std::string ToUtf8(const std::string& cp936);
std::wstring FromCp936(const std::string& cp936);
std::string ToCp936(const std::wstring& wide);

// A host path (/...) as Wine maps it; anything else unchanged.
std::wstring ToWindowsPath(const std::string& path);
// A Windows path as the host names it (UTF-8); empty outside Wine.
std::string HostPath(const std::wstring& path);
// A fresh empty folder under the temporary folder.
std::wstring MakeScratchDirectory();
// The bytes of a file; false when it cannot be read.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);

// The number of windows of a process, children included.
int WindowCount(DWORD process_id);

// The work area of the monitor a window is on.
RECT WorkAreaOf(HWND window);
bool Inside(const RECT& inner, const RECT& outer);

// A message box or the result window of the program as the user sees it.
struct SeenBox {
  HWND window = nullptr;
  bool result_window = false;  // the result window, not a message box
  std::string text, caption;   // the window's text as its edit holds it (CR LF)
  HWND owner = nullptr;
  int buttons = 0;  // visible push buttons
  bool has_icon = false;
  RECT rect = {};       // the whole box or window on the screen
  int text_height = 0;  // a message box: the height of its text
};

class Session {
 public:
  explicit Session(std::string name) : name_(std::move(name)) {}
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Starts the program in work_dir and waits for its dialog.
  bool Start(const std::wstring& exe, const std::wstring& work_dir);

  const std::string& name() const { return name_; }
  HWND dialog() const { return dialog_; }
  HANDLE process() const { return process_; }
  DWORD process_id() const { return process_id_; }
  DWORD thread_id() const { return thread_id_; }
  HWND Item(int control_id) const { return GetDlgItem(dialog_, control_id); }
  // True while the process runs and its dialog exists.
  bool Alive() const;

  std::string Text(HWND window) const;
  std::string ItemText(int control_id) const { return Text(Item(control_id)); }
  bool SetText(int control_id, const std::string& text);
  // Sets UTF-16 text as it stands, characters code page 936 lacks included.
  bool SetWideText(int control_id, const std::wstring& text);
  // Moves the mouse onto the middle of a control and waits for the
  // program's tooltip to show; its text, or "" when none shows.
  std::string HoverTooltip(int control_id);
  // Clicks a radio button or check box until it shows the wanted state.
  bool SetChecked(int control_id, bool checked);
  // Posts a click; returns at once.
  void Click(int control_id);
  // Posts a key press (down and up) to a window.
  void PostKey(HWND window, WPARAM virtual_key);

  // The program's dialog windows other than its own (boxes), shown or not.
  std::vector<HWND> OpenBoxes() const;
  // Waits for a shown box that is not in `before` and reads it.
  bool WaitForNewBox(const std::vector<HWND>& before, SeenBox& box);
  // The control that has the keyboard focus in the program.
  HWND Focus() const;
  // Clicks the box's OK button and waits until it is gone.
  bool CloseBox(const SeenBox& box);
  // Returns once the program is back in a message loop.
  void Sync() const;
  // Sends WM_CLOSE to the dialog and waits for the process to end.
  bool CloseDialog(DWORD& exit_code);

 private:
  bool Checked(int control_id) const;
  std::string name_;
  HANDLE job_ = nullptr, process_ = nullptr;
  DWORD process_id_ = 0, thread_id_ = 0;
  HWND dialog_ = nullptr;
};

}  // namespace e2e
