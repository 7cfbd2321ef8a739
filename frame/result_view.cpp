#include "result_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "control_ids.h"

namespace {

struct Line {
  size_t begin = 0, length = 0;  // in the text, without the line end
};

// A place in the text: a line and a character of it.
struct Place {
  size_t line = 0, column = 0;
  bool operator<(const Place& other) const {
    return line != other.line ? line < other.line : column < other.column;
  }
  bool operator==(const Place& other) const { return line == other.line && column == other.column; }
};

struct View {
  HWND window = nullptr;
  std::wstring text;
  std::vector<Line> lines;
  size_t widest = 0;  // in cells
  HFONT font = nullptr;
  int cell = 8, height = 16;  // a digit's width; a line's height
  // How many cells each character takes in the font (0: not measured yet).
  std::vector<unsigned char> cells;
  int top = 0, left = 0;  // the first line and cell shown
  Place anchor, caret;    // the selection runs between them
  bool selecting = false;
  // Wheel turns not yet scrolled (in 120ths of a line or a character): a
  // touchpad sends many small deltas.
  int wheel_rest = 0, tilt_rest = 0;
};

View* ViewOf(HWND window) {
  return reinterpret_cast<View*>(GetWindowLongPtrW(window, 0));
}

HGDIOBJ FontOf(const View& v) {
  return v.font != nullptr ? v.font : GetStockObject(SYSTEM_FIXED_FONT);
}

// The cells a character takes: one for ASCII; for others as many as the
// font draws it wide (Chinese characters, and in a Chinese font λ, ± and ≈
// too, take two), measured once.
int Cells(View& v, wchar_t c) {
  if (c < 0x80) return 1;
  unsigned char& cells = v.cells[c];
  if (cells == 0) {
    HDC dc = GetDC(v.window);
    HGDIOBJ old = SelectObject(dc, FontOf(v));
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, &c, 1, &size);
    SelectObject(dc, old);
    ReleaseDC(v.window, dc);
    cells = static_cast<unsigned char>(
        std::max(1, std::min(4, static_cast<int>((size.cx + v.cell / 2) / v.cell))));
  }
  return cells;
}

size_t LineCells(View& v, const Line& line) {
  size_t cells = 0;
  for (size_t i = 0; i < line.length; ++i) cells += Cells(v, v.text[line.begin + i]);
  return cells;
}

void SetText(View& v, const wchar_t* text) {
  v.text = text != nullptr ? text : L"";
  v.lines.clear();
  v.widest = 0;
  size_t begin = 0;
  for (;;) {
    size_t end = v.text.find(L'\n', begin);
    const bool last = end == std::wstring::npos;
    if (last) end = v.text.size();
    Line line{begin, end - begin};
    if (line.length > 0 && v.text[begin + line.length - 1] == L'\r') --line.length;
    v.lines.push_back(line);
    if (last) break;
    begin = end + 1;
  }
  v.top = v.left = 0;
  v.anchor = v.caret = Place();
}

// Measures the font, then each line in its cells.
void Measure(HWND window, View& v) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, FontOf(v));
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  SIZE digit = {8, 16};
  GetTextExtentPoint32W(dc, L"0", 1, &digit);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  v.cell = std::max(1, static_cast<int>(digit.cx));
  v.height = std::max(1, static_cast<int>(metrics.tmHeight));
  v.cells.assign(0x10000, 0);
  v.widest = 0;
  for (const Line& line : v.lines) v.widest = std::max(v.widest, LineCells(v, line));
}

int VisibleLines(HWND window, const View& v) {
  RECT client;
  GetClientRect(window, &client);
  return std::max(1, static_cast<int>(client.bottom) / v.height);
}
int VisibleCells(HWND window, const View& v) {
  RECT client;
  GetClientRect(window, &client);
  return std::max(1, static_cast<int>(client.right) / v.cell);
}

// Keeps the first line and cell shown within the text and updates the
// scroll bars. Scroll positions are ints: a line of more than 2^31 cells
// cannot occur (the text would not fit in memory).
void Clamp(HWND window, View& v) {
  const int lines = static_cast<int>(v.lines.size()), cells = static_cast<int>(v.widest) + 1;
  const int page_lines = VisibleLines(window, v), page_cells = VisibleCells(window, v);
  v.top = std::max(0, std::min(v.top, lines - page_lines));
  v.left = std::max(0, std::min(v.left, cells - page_cells));
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = lines - 1;
  info.nPage = static_cast<UINT>(page_lines);
  info.nPos = v.top;
  SetScrollInfo(window, SB_VERT, &info, TRUE);
  info.nMax = cells - 1;
  info.nPage = static_cast<UINT>(page_cells);
  info.nPos = v.left;
  SetScrollInfo(window, SB_HORZ, &info, TRUE);
}

void ScrollTo(HWND window, View& v, int top, int left) {
  v.top = top;
  v.left = left;
  Clamp(window, v);
  InvalidateRect(window, nullptr, FALSE);
}

// The new position a scroll bar asks for.
int Scrolled(HWND window, int bar, WPARAM request, int position, int page, int step) {
  switch (LOWORD(request)) {
    case SB_LINEUP:
      return position - step;
    case SB_LINEDOWN:
      return position + step;
    case SB_PAGEUP:
      return position - page;
    case SB_PAGEDOWN:
      return position + page;
    case SB_TOP:
      return 0;
    case SB_BOTTOM:
      return INT32_MAX / 2;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info = {};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(window, bar, &info);  // 32-bit, unlike the request's
      return info.nTrackPos;
    }
    default:
      return position;
  }
}

// The character at a point of the client area (the nearest boundary).
Place PlaceAt(View& v, int x, int y) {
  Place place;
  const int row = v.top + std::max(0, y) / v.height;
  place.line = std::min(static_cast<size_t>(row), v.lines.size() - 1);
  const Line& line = v.lines[place.line];
  const long target = static_cast<long>(v.left) * v.cell + std::max(0, x);
  long at = 0;
  size_t i = 0;
  while (i < line.length) {
    const int width = Cells(v, v.text[line.begin + i]) * v.cell;
    if (at + width / 2 > target) break;
    at += width;
    ++i;
  }
  place.column = i;
  return place;
}

void Paint(HWND window, View& v) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  HGDIOBJ old = SelectObject(dc, FontOf(v));
  const COLORREF text_color = GetSysColor(COLOR_WINDOWTEXT), back = GetSysColor(COLOR_WINDOW);
  const COLORREF chosen_text = GetSysColor(COLOR_HIGHLIGHTTEXT),
                 chosen = GetSysColor(COLOR_HIGHLIGHT);
  const Place from = std::min(v.anchor, v.caret), to = std::max(v.anchor, v.caret);
  const int cells = VisibleCells(window, v) + 2;
  std::vector<INT> advances;
  for (int row = 0; row * v.height < client.bottom; ++row) {
    RECT band = {0, row * v.height, client.right, (row + 1) * v.height};
    const size_t index = static_cast<size_t>(v.top + row);
    if (index >= v.lines.size()) {
      SetBkColor(dc, back);
      ExtTextOutW(dc, 0, band.top, ETO_OPAQUE, &band, L"", 0, nullptr);
      continue;
    }
    const Line& line = v.lines[index];
    // Skip to the first character shown; each is drawn in its own cells, so
    // that columns line up whatever the font's own widths.
    size_t i = 0;
    long cell = 0;
    while (i < line.length && cell + Cells(v, v.text[line.begin + i]) <= v.left) {
      cell += Cells(v, v.text[line.begin + i]);
      ++i;
    }
    int x = static_cast<int>(cell - v.left) * v.cell;
    SetBkColor(dc, back);
    ExtTextOutW(dc, 0, band.top, ETO_OPAQUE, &band, L"", 0, nullptr);
    // Runs of characters inside and outside the selection.
    while (i < line.length && cell < v.left + cells) {
      const Place here{index, i};
      const bool selected = !(here < from) && here < to;
      size_t end = i;
      advances.clear();
      while (end < line.length && cell < v.left + cells) {
        const Place next{index, end};
        if ((!(next < from) && next < to) != selected) break;
        const int width = Cells(v, v.text[line.begin + end]);
        advances.push_back(width * v.cell);
        cell += width;
        ++end;
      }
      SetTextColor(dc, selected ? chosen_text : text_color);
      SetBkColor(dc, selected ? chosen : back);
      ExtTextOutW(dc, x, band.top, ETO_OPAQUE | ETO_CLIPPED, &band, v.text.c_str() + line.begin + i,
                  static_cast<UINT>(end - i), advances.data());
      for (int advance : advances) x += advance;
      i = end;
    }
    // A selected line end shows as one selected cell.
    const Place end_of_line{index, line.length};
    if (i == line.length && !(end_of_line < from) && end_of_line < to) {
      RECT mark = {x, band.top, x + v.cell, band.bottom};
      SetBkColor(dc, chosen);
      ExtTextOutW(dc, x, band.top, ETO_OPAQUE, &mark, L"", 0, nullptr);
    }
  }
  SelectObject(dc, old);
  EndPaint(window, &paint);
}

// The selected text, lines joined by CR LF.
std::wstring Selection(const View& v) {
  const Place from = std::min(v.anchor, v.caret), to = std::max(v.anchor, v.caret);
  std::wstring result;
  for (size_t l = from.line; l <= to.line && l < v.lines.size(); ++l) {
    const Line& line = v.lines[l];
    const size_t begin = l == from.line ? std::min(from.column, line.length) : 0;
    const size_t end = l == to.line ? std::min(to.column, line.length) : line.length;
    result.append(v.text, line.begin + begin, end - std::min(begin, end));
    if (l != to.line) result += L"\r\n";
  }
  return result;
}

void SelectAll(HWND window, View& v) {
  v.anchor = Place();
  v.caret = Place{v.lines.size() - 1, v.lines.back().length};
  InvalidateRect(window, nullptr, FALSE);
}

bool KeyDown(HWND window, View& v, WPARAM key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const int page = VisibleLines(window, v), width = VisibleCells(window, v);
  switch (key) {
    case 'A':
      if (control) SelectAll(window, v);
      return control;
    case 'C':
    case VK_INSERT:
      if (control && !(v.anchor == v.caret)) CopyTextToClipboard(window, Selection(v));
      return control;
    case VK_UP:
      ScrollTo(window, v, v.top - 1, v.left);
      return true;
    case VK_DOWN:
      ScrollTo(window, v, v.top + 1, v.left);
      return true;
    case VK_LEFT:
      ScrollTo(window, v, v.top, v.left - (control ? width : 1));
      return true;
    case VK_RIGHT:
      ScrollTo(window, v, v.top, v.left + (control ? width : 1));
      return true;
    case VK_PRIOR:
      ScrollTo(window, v, v.top - page, v.left);
      return true;
    case VK_NEXT:
      ScrollTo(window, v, v.top + page, v.left);
      return true;
    case VK_HOME:
      ScrollTo(window, v, control ? 0 : v.top, 0);
      return true;
    case VK_END:
      ScrollTo(window, v, control ? INT32_MAX / 2 : v.top, INT32_MAX / 2);
      return true;
    default:
      return false;
  }
}

// Scrolls by the wheel's turns, down and right for negative and positive
// deltas: the user's lines (or characters, sideways) per notch of 120, the
// remainder kept for the next turn, or a page where the setting asks.
void Wheel(HWND window, View& v, int delta, bool sideways) {
  UINT per_notch = 3;
  SystemParametersInfoW(sideways ? 0x006C /* SPI_GETWHEELSCROLLCHARS */ : SPI_GETWHEELSCROLLLINES,
                        0, &per_notch, 0);
  if (per_notch == WHEEL_PAGESCROLL) {
    per_notch = static_cast<UINT>(sideways ? VisibleCells(window, v) : VisibleLines(window, v));
  }
  if (per_notch == 0) return;
  // In 120ths of a line: the turns so far times the lines per notch.
  int& rest = sideways ? v.tilt_rest : v.wheel_rest;
  rest += delta * static_cast<int>(per_notch);
  const int steps = rest / WHEEL_DELTA;
  rest -= steps * WHEEL_DELTA;
  if (sideways) {
    ScrollTo(window, v, v.top, v.left + steps);
  } else {
    ScrollTo(window, v, v.top - steps, v.left);
  }
}

// The right-click menu: 复制 (the selection), 全选, and 复制为 LaTeX and
// 保存…, which the result window handles as its buttons.
void ContextMenu(HWND window, View& v, LPARAM where) {
  enum { kCopy = 1, kSelectAll, kCopyLatex, kSave };
  POINT at = {GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (where == -1) {  // from the keyboard: at the top left of the view
    at = POINT{0, 0};
    ClientToScreen(window, &at);
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING | (v.anchor == v.caret ? MF_GRAYED : 0), kCopy, L"复制(&C)");
  AppendMenuW(menu, MF_STRING, kSelectAll, L"全选(&A)");
  AppendMenuW(menu, MF_STRING, kCopyLatex, L"复制为 LaTeX(&L)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kSave, L"保存(&S)…");
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                    at.y, 0, window, nullptr);
  DestroyMenu(menu);
  switch (chosen) {
    case kCopy:
      CopyTextToClipboard(window, Selection(v));
      break;
    case kSelectAll:
      SelectAll(window, v);
      break;
    case kCopyLatex:
    case kSave: {
      const int button = chosen == kSave ? IDC_RESULT_SAVE : IDC_RESULT_COPY_LATEX;
      SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      break;
    }
    default:
      break;
  }
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  View* v = ViewOf(window);
  switch (message) {
    case WM_NCCREATE:
      v = new View;
      v->window = window;
      SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(v));
      SetText(*v, nullptr);
      Measure(window, *v);
      break;
    case WM_NCDESTROY:
      delete v;
      SetWindowLongPtrW(window, 0, 0);
      break;
    case WM_SETTEXT:
      SetText(*v, reinterpret_cast<const wchar_t*>(lparam));
      Measure(window, *v);
      Clamp(window, *v);
      InvalidateRect(window, nullptr, FALSE);
      return TRUE;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(v->text.size());
    case WM_GETTEXT: {
      if (wparam == 0) return 0;
      const size_t copied = std::min(v->text.size(), static_cast<size_t>(wparam) - 1);
      auto* buffer = reinterpret_cast<wchar_t*>(lparam);
      std::memcpy(buffer, v->text.data(), copied * sizeof(wchar_t));
      buffer[copied] = L'\0';
      return static_cast<LRESULT>(copied);
    }
    case WM_SETFONT:
      v->font = reinterpret_cast<HFONT>(wparam);
      Measure(window, *v);
      Clamp(window, *v);
      if (LOWORD(lparam)) InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(v->font);
    case WM_SIZE:
      Clamp(window, *v);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting covers the whole client area
    case WM_PAINT:
      Paint(window, *v);
      return 0;
    case WM_VSCROLL:
      ScrollTo(window, *v, Scrolled(window, SB_VERT, wparam, v->top, VisibleLines(window, *v), 1),
               v->left);
      return 0;
    case WM_HSCROLL:
      ScrollTo(window, *v, v->top,
               Scrolled(window, SB_HORZ, wparam, v->left, VisibleCells(window, *v), 4));
      return 0;
    case WM_MOUSEWHEEL:
      Wheel(window, *v, GET_WHEEL_DELTA_WPARAM(wparam), false);
      return 0;
    case 0x020E:  // WM_MOUSEHWHEEL: a tilted wheel or a touchpad's sideways swipe
      Wheel(window, *v, GET_WHEEL_DELTA_WPARAM(wparam), true);
      return 0;
    case WM_CONTEXTMENU:
      ContextMenu(window, *v, lparam);
      return 0;
    case WM_GETDLGCODE:
      // Arrows and characters here; Tab, Enter and Escape stay the dialog's.
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (KeyDown(window, *v, wparam)) return 0;
      break;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      SetCapture(window);
      v->selecting = true;
      v->caret = PlaceAt(*v, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      if (GetKeyState(VK_SHIFT) >= 0) v->anchor = v->caret;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE:
      if (v->selecting) {
        v->caret = PlaceAt(*v, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      v->selecting = false;
      ReleaseCapture();
      return 0;
    case WM_COPY:
      if (!(v->anchor == v->caret)) CopyTextToClipboard(window, Selection(*v));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void RegisterResultView() {
  WNDCLASSW existing;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoW(instance, kResultViewClass, &existing)) return;
  WNDCLASSW view = {};
  view.style = CS_DBLCLKS;
  view.lpfnWndProc = ViewProc;
  view.cbWndExtra = sizeof(View*);
  view.hInstance = instance;
  view.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_IBEAM));
  view.lpszClassName = kResultViewClass;
  RegisterClassW(&view);
}

void CopyTextToClipboard(HWND owner, const std::wstring& text) {
  // Another program may hold the clipboard open for a moment.
  bool opened = false;
  for (int attempt = 0; attempt < 50 && !(opened = OpenClipboard(owner) != 0); ++attempt) Sleep(20);
  if (!opened) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
  }
  CloseClipboard();
}
