#include "result_window.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "aligned_text.h"
#include "code_page.h"
#include "control_ids.h"
#include "latex_text.h"
#include "result_view.h"

namespace {

// ---- Where a result goes ----------------------------------------------------

// A message box wraps a line wider than a fixed width and grows taller than
// the screen without scrolling; its text is cut or lost once it is long.
// Wine 8 wraps at 279 px at 96 DPI (176 dialog units of its template's
// font), which is 160 units of the message font the text is drawn in
// (average character 7 px); Windows wraps later. Lines up to 150 units of
// the message font, and at most half the work area, are shown whole on
// both. The box adds its caption, margins and OK button (77 px at 96 DPI
// under Wine) to the text's height.
constexpr int kBoxWidthDialogUnits = 150;
constexpr int kBoxWidthPercent = 50;
constexpr int kBoxChrome96 = 120;
// Texts that cannot fit anyway are refused before anything is measured.
constexpr size_t kMostBoxChars = 4000;
constexpr size_t kMostBoxLineChars = 250;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// The DPI the window is drawn at: its monitor's for a per-monitor aware
// program (Windows 10), else the system's.
int DpiOf(HWND window) {
  const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (window != nullptr && get_dpi_for_window != nullptr) {
    if (const UINT dpi = get_dpi_for_window(window)) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int SystemDpi() {
  return DpiOf(nullptr);
}

RECT WorkAreaNear(HWND window) {
  const POINT origin = {0, 0};
  HMONITOR monitor = window != nullptr ? MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)
                                       : MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  }
  return info.rcWork;
}

// Calls f(begin, length) for every line of text, split at LF.
template <typename F>
void ForEachLine(const std::wstring& text, F f) {
  size_t begin = 0;
  for (;;) {
    const size_t end = text.find(L'\n', begin);
    f(text.c_str() + begin, (end == std::wstring::npos ? text.size() : end) - begin);
    if (end == std::wstring::npos) return;
    begin = end + 1;
  }
}

// ---- The window --------------------------------------------------------------

struct ResultState {
  std::wstring text;   // as shown: CR LF line ends
  std::string source;  // the result's own text (code page 936), for LaTeX
  HFONT font = nullptr;
  bool modal = false;  // the owner stays disabled while the window is open
};

// Posted to itself by a window that leaves its owner usable.
constexpr UINT kEnableOwner = WM_APP + 1;

// The result windows open now, oldest first: a new one cascades from the
// last, and the dialog closes them all when it closes.
std::vector<HWND> g_open_windows;

ResultState* StateOf(HWND window) {
  return reinterpret_cast<ResultState*>(GetWindowLongPtrW(window, DWLP_USER));
}

// A fixed-pitch font with the Chinese characters, so that columns of
// digits line up as far as the text allows.
HFONT CreateFixedFont(int dpi) {
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(9, dpi, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  wcscpy(font.lfFaceName, L"新宋体");
  return CreateFontIndirectW(&font);
}

void SetFixedFont(HWND window, ResultState& state) {
  HFONT old = state.font;
  state.font = CreateFixedFont(DpiOf(window));
  SendDlgItemMessageW(window, IDC_RESULT_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(state.font),
                      TRUE);
  if (old != nullptr) DeleteObject(old);
}

// Dialog units to pixels in this window's font.
RECT Units(HWND window, int left, int top, int right, int bottom) {
  RECT r = {left, top, right, bottom};
  MapDialogRect(window, &r);
  return r;
}

// The text fills the window above a row of buttons on the right.
void LayOut(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  const RECT m = Units(window, 7, 7, 50, 15);  // margin; a button's width and height
  const RECT gap = Units(window, 5, 6, 0, 0);
  const int buttons_top = client.bottom - m.top - m.bottom;
  const int ids[] = {IDC_RESULT_COPY, IDC_RESULT_COPY_LATEX, IDC_RESULT_SAVE, IDOK};
  const int wide = Units(window, 0, 0, 65, 0).right;  // "复制为 LaTeX"
  int x = client.right - m.left - 3 * m.right - wide - 3 * gap.left;
  HDWP positions = BeginDeferWindowPos(5);
  for (int id : ids) {
    const int width = id == IDC_RESULT_COPY_LATEX ? wide : m.right;
    positions = DeferWindowPos(positions, GetDlgItem(window, id), nullptr, x, buttons_top, width,
                               m.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    x += width + gap.left;
  }
  positions =
      DeferWindowPos(positions, GetDlgItem(window, IDC_RESULT_TEXT), nullptr, m.left, m.top,
                     std::max(0L, client.right - 2 * m.left),
                     std::max(0L, buttons_top - gap.top - m.top), SWP_NOZORDER | SWP_NOACTIVATE);
  EndDeferWindowPos(positions);
  // The buttons moved over ground the window has just erased: every part is
  // drawn again at once (the window clips its children, so none flickers).
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// A further window opens offset down and right from the last one still
// open, by the height of a caption, back at the work area's top left once
// it would leave it.
void Cascade(HWND window) {
  if (g_open_windows.size() < 2) return;
  RECT last, own;
  GetWindowRect(g_open_windows[g_open_windows.size() - 2], &last);
  GetWindowRect(window, &own);
  const RECT area = WorkAreaNear(window);
  const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  const int width = own.right - own.left, height = own.bottom - own.top;
  int x = last.left + step, y = last.top + step;
  if (x + width > area.right || y + height > area.bottom) {
    x = area.left;
    y = area.top;
  }
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window's first size: the whole text if it fits, never beyond the
// work area, centred in it.
void SizeToText(HWND window, const ResultState& state) {
  const RECT area =
      WorkAreaNear(GetWindow(window, GW_OWNER) ? GetWindow(window, GW_OWNER) : window);
  const int area_width = area.right - area.left, area_height = area.bottom - area.top;
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, state.font);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  // No line need be measured beyond what the screen can show.
  const size_t most_chars =
      static_cast<size_t>(area_width / std::max(1L, metrics.tmAveCharWidth)) + 2;
  int widest = 0, lines = 0;
  ForEachLine(state.text, [&](const wchar_t* line, size_t length) {
    if (length > 0 && line[length - 1] == L'\r') --length;
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, line, static_cast<int>(std::min(length, most_chars)), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
    ++lines;
  });
  SelectObject(dc, old);
  ReleaseDC(window, dc);

  const RECT m = Units(window, 7, 7, 50, 15);
  const RECT gap = Units(window, 5, 6, 0, 0);
  const int edge = 2 * GetSystemMetrics(SM_CXEDGE) + 4;
  RECT frame = {
      0, 0, widest + 2 * m.left + edge + GetSystemMetrics(SM_CXVSCROLL) + metrics.tmAveCharWidth,
      lines * metrics.tmHeight + 2 * m.top + m.bottom + gap.top + edge +
          GetSystemMetrics(SM_CYHSCROLL)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  RECT smallest;
  GetWindowRect(window, &smallest);  // the template's size
  const int width = std::min<long>(
      area_width, std::max(frame.right - frame.left, smallest.right - smallest.left));
  const int height = std::min<long>(
      area_height, std::max(frame.bottom - frame.top, smallest.bottom - smallest.top));
  SetWindowPos(window, nullptr, area.left + (area_width - width) / 2,
               area.top + (area_height - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Asks for a file name (结果.txt unless the user picks another) and writes
// the text there in UTF-8 with a byte-order mark.
void SaveToFile(HWND window, const std::wstring& text) {
  wchar_t path[4 * MAX_PATH] = L"结果.txt";
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window;
  dialog.lpstrFilter = L"文本文件 (*.txt)\0*.txt\0所有文件 (*.*)\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path / sizeof path[0];
  dialog.lpstrDefExt = L"txt";
  // The current folder stays where it was: the process log is written there.
  dialog.Flags =
      OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return;
  const std::string bytes = "\xEF\xBB\xBF" + ToUtf8(text);
  std::FILE* file = _wfopen(path, L"wb");
  bool saved = file != nullptr;
  if (file != nullptr) {
    saved = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    saved = std::fclose(file) == 0 && saved;
  }
  if (!saved) {
    const std::wstring message = std::wstring(L"无法保存") + path;
    MessageBoxW(window, message.c_str(), L"Error", MB_OK);
  }
}

INT_PTR CALLBACK ResultProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  ResultState* state = StateOf(window);
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(window, DWLP_USER, lparam);
      state = reinterpret_cast<ResultState*>(lparam);
      HWND view = GetDlgItem(window, IDC_RESULT_TEXT);
      SetFixedFont(window, *state);
      SetWindowTextW(view, state->text.c_str());
      g_open_windows.push_back(window);
      // Owned by the dialog, so that it stays above it; but, unless it is
      // modal, the dialog stays usable while it is open: enabled again once
      // the window's loop has begun (which disables the owner first).
      if (!state->modal) PostMessageW(window, kEnableOwner, 0, 0);
      SizeToText(window, *state);
      Cascade(window);
      LayOut(window);
      SetFocus(view);
      return FALSE;  // the focus is set
    }
    case WM_SIZE:
      if (state != nullptr) LayOut(window);
      return TRUE;
    case WM_GETMINMAXINFO: {
      const RECT smallest = Units(window, 0, 0, 250, 80);
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize.x = smallest.right;
      info->ptMinTrackSize.y = smallest.bottom;
      return TRUE;
    }
    case 0x02E0: {  // WM_DPICHANGED: the window moved to a monitor of another DPI
      if (state != nullptr) SetFixedFont(window, *state);
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
        case IDCANCEL:
          EndDialog(window, IDOK);
          return TRUE;
        case IDC_RESULT_COPY:
          CopyTextToClipboard(window, state->text);
          return TRUE;
        case IDC_RESULT_COPY_LATEX:
          CopyTextToClipboard(window, WithCrLf(FromCp936(calc::LatexText(state->source))));
          return TRUE;
        case IDC_RESULT_SAVE:
          SaveToFile(window, state->text);
          return TRUE;
        default:
          return FALSE;
      }
    case kEnableOwner:
      if (GetWindow(window, GW_OWNER) != nullptr) EnableWindow(GetWindow(window, GW_OWNER), TRUE);
      return TRUE;
    case WM_DESTROY:
      g_open_windows.erase(std::remove(g_open_windows.begin(), g_open_windows.end(), window),
                           g_open_windows.end());
      if (state != nullptr && state->font != nullptr) DeleteObject(state->font);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool FitsInMessageBox(HWND anchor, const std::wstring& text) {
  size_t lines = 0, longest = 0;
  ForEachLine(text, [&](const wchar_t*, size_t length) {
    longest = std::max(longest, length);
    ++lines;
  });
  if (text.size() > kMostBoxChars || longest > kMostBoxLineChars) return false;

  const int dpi = DpiOf(anchor);
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
  LOGFONTW font_spec = metrics.lfMessageFont;
  font_spec.lfHeight = MulDiv(font_spec.lfHeight, dpi, SystemDpi());
  HFONT font = CreateFontIndirectW(&font_spec);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  int widest = 0;
  ForEachLine(text, [&](const wchar_t* line, size_t length) {
    RECT r = {0, 0, 0, 0};
    if (length > 0) {
      DrawTextW(dc, line, static_cast<int>(length), &r,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    }
    widest = std::max(widest, static_cast<int>(r.right - r.left));
  });
  TEXTMETRICW text_metrics;
  GetTextMetricsW(dc, &text_metrics);
  // A dialog unit is a quarter of the average width of the letters.
  SIZE letters = {0, 0};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
  const int average_char = (letters.cx / 26 + 1) / 2;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);

  const RECT area = WorkAreaNear(anchor);
  const int height =
      static_cast<int>(lines) * text_metrics.tmHeight + MulDiv(kBoxChrome96, dpi, 96);
  const int width_limit = std::min<int>(kBoxWidthDialogUnits * average_char / 4,
                                        (area.right - area.left) * kBoxWidthPercent / 100);
  return widest <= width_limit && height <= area.bottom - area.top;
}

void CloseResultWindows() {
  // Each window's loop returns once it runs again, the newest first.
  for (HWND window : g_open_windows) {
    EndDialog(window, IDOK);
    PostMessageW(window, WM_NULL, 0, 0);
  }
}

void ShowResultWindow(HWND owner, const std::string& result, bool modal) {
  ResultState state;
  state.source = result;
  // The number tables with their columns aligned.
  state.text = WithCrLf(FromCp936(calc::AlignColumns(result)));
  state.modal = modal;
  RegisterResultView();
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RESULT), owner, ResultProc,
                  reinterpret_cast<LPARAM>(&state));
}
