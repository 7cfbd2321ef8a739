// End-to-end checks of the four calculator programs, run under Wine (or on
// Windows): the dialog as built, the resources in the .exe file, the shell's
// behaviour, whole presses read from the real message boxes, and a long run
// of presses.
//
//   calc_e2e resources NAME=PROGRAM.exe ...
//   calc_e2e dialog    NAME PROGRAM.exe
//   calc_e2e presses   NAME PROGRAM.exe
//   calc_e2e load      NAME PROGRAM.exe [PRESSES]
//   calc_e2e show      NAME PROGRAM.exe MARKER_FILE
//   calc_e2e environment [PROGRAM.exe ...]
//
// NAME is Quorvit, Lumbrane, Tessovar or Zelcombe. Texts below are UTF-8 in
// the source and reach the program in code page 936, as typed text would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "messages.h"
#include "ui_session.h"

using e2e::Expect;
using e2e::ExpectBytes;
using e2e::SeenBox;
using e2e::Session;

namespace {

// ---- What each program must be ----------------------------------------------

constexpr int kCalculate = 1000;
constexpr int kMatrix = 1004;
constexpr int kGroup = -1;
// Quorvit
constexpr int kRank = 1005;
constexpr int kEigenvalues = 1006;
// Lumbrane
constexpr int kLumbraneInstructions = 1005;
constexpr int kAdjugate = 1006;
constexpr int kInverse = 1007;
// Tessovar
constexpr int kFirstMatrix = 1006;
constexpr int kAdd = 1007;
constexpr int kSubtract = 1008;
constexpr int kScalar = 1009;
constexpr int kMultiply = 1011;
// Zelcombe
constexpr int kZelcombeInstructions = 1002;
constexpr int kProcessLog = 1010;

constexpr char kDone[] = "计算完毕";
constexpr char kError[] = "Error";
constexpr char kLogName[] = "计算过程.txt";

enum class Kind { kDefaultButton, kButton, kGroupBox, kMatrixEdit, kRadio, kCheckBox };

struct ControlLayout {
  int id;
  Kind kind;
  DWORD extra_style;  // beyond what the kind implies
  const char* text;
  short x, y, cx, cy;
};

struct DialogLayout {
  const char* name;
  const char* title;
  bool minimize_box;
  bool extended;  // DIALOGEX template, which also gives weight, italic and charset
  const char* font;
  WORD point_size;
  short cx, cy;
  int icon_group;
  std::vector<ControlLayout> controls;  // in template (and tab) order
};

// clang-format off
const DialogLayout kDialogs[] = {
    {"Quorvit", "Quorvitv1.3", true, false, "宋体", 9, 295, 179, 104,
     {{kCalculate, Kind::kDefaultButton, 0, "计算", 222, 26, 61, 19},
      {kGroup, Kind::kGroupBox, 0, "输入矩阵", 16, 11, 185, 156},
      {kMatrix, Kind::kMatrixEdit, 0, "", 23, 22, 171, 139},
      {kRank, Kind::kRadio, 0, "秩", 227, 84, 50, 11},
      {kEigenvalues, Kind::kRadio, WS_DISABLED, "特征值", 227, 104, 50, 15}}},
    {"Lumbrane", "Lumbranev1.3", true, false, "宋体", 10, 238, 159, 101,
     {{kCalculate, Kind::kDefaultButton, 0, "计算", 181, 25, 48, 17},
      {kGroup, Kind::kGroupBox, 0, "输入原矩阵", 14, 11, 144, 135},
      {kMatrix, Kind::kMatrixEdit, 0, "", 19, 22, 133, 118},
      {kLumbraneInstructions, Kind::kButton, 0, "使用说明", 183, 126, 38, 11},
      {kAdjugate, Kind::kRadio, 0, "伴随阵", 182, 65, 52, 11},
      {kInverse, Kind::kRadio, 0, "逆矩阵", 182, 86, 51, 11}}},
    {"Tessovar", "Tessovarv1.3", false, false, "宋体", 9, 341, 192, 101,
     {{kCalculate, Kind::kDefaultButton, 0, "计算", 273, 165, 50, 17},
      {kGroup, Kind::kGroupBox, 0, "矩阵2", 195, 26, 135, 131},
      {kMatrix, Kind::kMatrixEdit, 0, "", 203, 39, 120, 111},
      {kFirstMatrix, Kind::kMatrixEdit, 0, "", 19, 38, 121, 114},
      {kGroup, Kind::kGroupBox, 0, "矩阵1", 11, 25, 136, 133},
      {kAdd, Kind::kRadio, 0, "加法", 157, 59, 30, 8},
      {kSubtract, Kind::kRadio, 0, "减法", 157, 76, 30, 8},
      {kScalar, Kind::kRadio, 0, "数乘", 157, 107, 32, 8},
      {kMultiply, Kind::kRadio, 0, "乘法", 157, 92, 29, 8}}},
    {"Zelcombe", "Zelcombev1.3", true, true, "Arial", 9, 242, 137, 104,
     {{kCalculate, Kind::kDefaultButton, 0, "计算", 182, 27, 55, 15},
      {kMatrix, Kind::kMatrixEdit, ES_AUTOVSCROLL, "", 16, 17, 149, 102},
      {kGroup, Kind::kGroupBox, 0, "输入行列式", 8, 7, 165, 119},
      {kZelcombeInstructions, Kind::kDefaultButton, 0, "使用说明", 194, 91, 36, 12},
      {kProcessLog, Kind::kCheckBox, 0, "生成计算过程", 183, 115, 54, 9}}},
};
// clang-format on

const DialogLayout* FindDialog(const std::string& name) {
  for (const DialogLayout& layout : kDialogs) {
    if (name == layout.name) return &layout;
  }
  return nullptr;
}

bool IsEdit(Kind kind) {
  return kind == Kind::kMatrixEdit;
}

DWORD KindStyle(Kind kind) {
  switch (kind) {
    case Kind::kDefaultButton:
      return BS_DEFPUSHBUTTON | WS_TABSTOP;
    case Kind::kButton:
      return BS_PUSHBUTTON | WS_TABSTOP;
    case Kind::kGroupBox:
      return BS_GROUPBOX;
    case Kind::kMatrixEdit:
      return ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
             WS_TABSTOP;
    case Kind::kRadio:
      return BS_AUTORADIOBUTTON;
    case Kind::kCheckBox:
      return BS_AUTOCHECKBOX | WS_TABSTOP;
  }
  return 0;
}

DWORD ControlStyle(const ControlLayout& c) {
  return WS_CHILD | WS_VISIBLE | KindStyle(c.kind) | c.extra_style;
}

DWORD DialogStyle(const DialogLayout& d) {
  return WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT |
         (d.minimize_box ? WS_MINIMIZEBOX : 0);
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(value));
  return text;
}

// ---- Dialog templates as stored in the .exe ------------------------------------

struct TemplateControl {
  DWORD style = 0, ex_style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  std::string cls;  // "BUTTON", "EDIT", ... (ordinals are named)
  std::string text;
};

struct Template {
  bool extended = false;
  DWORD style = 0, ex_style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  bool has_menu = false, has_class = false;
  std::string title, font;
  WORD point_size = 0, weight = 0;
  BYTE italic = 0, charset = 0;
  std::vector<TemplateControl> controls;
};

// Reads the fields of a dialog template (DLGTEMPLATE or DLGTEMPLATEEX) in the
// order the format stores them.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, DWORD size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  WORD Word() {
    WORD value = 0;
    Take(&value, 2);
    return value;
  }
  DWORD Dword() {
    DWORD value = 0;
    Take(&value, 4);
    return value;
  }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() {
    BYTE value = 0;
    Take(&value, 1);
    return value;
  }
  std::string String() {
    std::wstring text;
    for (WORD c; (c = Word()) != 0 && ok_;) text += static_cast<wchar_t>(c);
    return e2e::ToCp936(text);
  }
  // A name or an ordinal; "present" tells whether there was either.
  std::string NameOrOrdinal(bool* present = nullptr) {
    const WORD first = PeekWord();
    if (present != nullptr) *present = first != 0;
    if (first == 0) {
      Word();
      return std::string();
    }
    if (first == 0xFFFF) {
      Word();
      static const char* const kClasses[] = {"BUTTON",  "EDIT",      "STATIC",
                                             "LISTBOX", "SCROLLBAR", "COMBOBOX"};
      const WORD ordinal = Word();
      if (ordinal >= 0x80 && ordinal <= 0x85) return kClasses[ordinal - 0x80];
      return "#" + std::to_string(ordinal);
    }
    return String();
  }
  void AlignDword() { position_ = (position_ + 3) & ~static_cast<DWORD>(3); }
  void Skip(DWORD bytes) { position_ += bytes; }

 private:
  WORD PeekWord() {
    WORD value = 0;
    if (position_ + 2 <= size_) std::memcpy(&value, data_ + position_, 2);
    return value;
  }
  void Take(void* out, DWORD bytes) {
    if (position_ + bytes > size_) {
      ok_ = false;
      return;
    }
    std::memcpy(out, data_ + position_, bytes);
    position_ += bytes;
  }
  const BYTE* data_;
  DWORD size_;
  DWORD position_ = 0;
  bool ok_ = true;
};

bool ParseTemplate(const BYTE* data, DWORD size, Template& t) {
  TemplateReader r(data, size);
  WORD count = 0;
  t.extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
  if (t.extended) {
    r.Word();   // version
    r.Word();   // signature
    r.Dword();  // help id
    t.ex_style = r.Dword();
    t.style = r.Dword();
  } else {
    t.style = r.Dword();
    t.ex_style = r.Dword();
  }
  count = r.Word();
  t.x = r.Short();
  t.y = r.Short();
  t.cx = r.Short();
  t.cy = r.Short();
  r.NameOrOrdinal(&t.has_menu);
  r.NameOrOrdinal(&t.has_class);
  t.title = r.String();
  if (t.style & (DS_SETFONT | DS_FIXEDSYS)) {
    t.point_size = r.Word();
    if (t.extended) {
      t.weight = r.Word();
      t.italic = r.Byte();
      t.charset = r.Byte();
    }
    t.font = r.String();
  }
  for (WORD i = 0; i < count && r.ok(); ++i) {
    r.AlignDword();
    TemplateControl c;
    if (t.extended) {
      r.Dword();  // help id
      c.ex_style = r.Dword();
      c.style = r.Dword();
    } else {
      c.style = r.Dword();
      c.ex_style = r.Dword();
    }
    c.x = r.Short();
    c.y = r.Short();
    c.cx = r.Short();
    c.cy = r.Short();
    c.id = t.extended ? static_cast<int>(r.Dword()) : static_cast<short>(r.Word());
    c.cls = r.NameOrOrdinal();
    c.text = r.NameOrOrdinal();
    r.Skip(r.Word());  // creation data
    t.controls.push_back(c);
  }
  return r.ok();
}

// ---- Resources -------------------------------------------------------------------

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052

struct Resource {
  const BYTE* data = nullptr;
  DWORD size = 0;
};

Resource FindIn(HMODULE module, LPCSTR type, int id) {
  Resource r;
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kChinesePrc);
  if (found == nullptr) return r;
  r.data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  r.size = SizeofResource(module, found);
  return r;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
  return TRUE;
}

std::vector<WORD> Languages(HMODULE module, LPCSTR type, int id) {
  std::vector<WORD> languages;
  EnumResourceLanguagesA(module, type, MAKEINTRESOURCEA(id), AddLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* out = reinterpret_cast<std::vector<std::string>*>(param);
  out->push_back(IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name))
                                      : std::string(name));
  return TRUE;
}

std::vector<std::string> Names(HMODULE module, LPCSTR type) {
  std::vector<std::string> names;
  EnumResourceNamesA(module, type, AddName, reinterpret_cast<LONG_PTR>(&names));
  return names;
}

// The value of attribute `name` in the first element `<element ...>` at or
// after `from`; empty when absent.
std::string XmlAttribute(const std::string& xml, size_t from, const std::string& element,
                         const std::string& name) {
  const size_t start = xml.find("<" + element, from);
  if (start == std::string::npos) return std::string();
  const size_t end = xml.find('>', start);
  const std::string tag = xml.substr(start, end - start);
  const size_t at = tag.find(" " + name + "=\"");
  if (at == std::string::npos) return std::string();
  const size_t value = at + name.size() + 3;
  return tag.substr(value, tag.find('"', value) - value);
}

void CheckTemplate(const DialogLayout& layout, const Template& t) {
  const std::string ctx = std::string(layout.name) + " template";
  Expect(t.extended == layout.extended, ctx,
         layout.extended ? "is an extended template (DIALOGEX)" : "is a plain template (DIALOG)");
  Expect(t.style == DialogStyle(layout), ctx,
         "dialog style " + Hex(t.style) + ", expected " + Hex(DialogStyle(layout)));
  Expect(t.ex_style == 0, ctx, "no extended dialog style, got " + Hex(t.ex_style));
  Expect(!t.has_menu && !t.has_class, ctx, "no menu and no window class of its own");
  Expect(t.cx == layout.cx && t.cy == layout.cy, ctx,
         "size " + std::to_string(t.cx) + " x " + std::to_string(t.cy) + " dialog units");
  ExpectBytes(ctx, "title", t.title, layout.title);
  ExpectBytes(ctx, "font", t.font, layout.font);
  Expect(t.point_size == layout.point_size, ctx, "font size " + std::to_string(t.point_size));
  if (layout.extended) {
    Expect(t.weight == 0 && t.italic == 0 && t.charset == DEFAULT_CHARSET, ctx,
           "font weight 0, not italic, character set 1");
  }
  if (!Expect(t.controls.size() == layout.controls.size(), ctx,
              std::to_string(t.controls.size()) + " controls, expected " +
                  std::to_string(layout.controls.size()))) {
    return;
  }
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& want = layout.controls[i];
    const TemplateControl& got = t.controls[i];
    const std::string where =
        ctx + " control " + std::to_string(i + 1) + " (id " + std::to_string(want.id) + ")";
    Expect(got.id == want.id, where, "id " + std::to_string(got.id));
    Expect(got.cls == (IsEdit(want.kind) ? "EDIT" : "BUTTON"), where, "class " + got.cls);
    Expect(got.style == ControlStyle(want), where,
           "style " + Hex(got.style) + ", expected " + Hex(ControlStyle(want)));
    Expect(got.ex_style == 0, where, "no extended style, got " + Hex(got.ex_style));
    ExpectBytes(where, "text", got.text, want.text);
    Expect(got.x == want.x && got.y == want.y && got.cx == want.cx && got.cy == want.cy, where,
           "rectangle " + std::to_string(got.x) + ", " + std::to_string(got.y) + ", " +
               std::to_string(got.cx) + ", " + std::to_string(got.cy));
  }
}

struct IconImage {
  std::string bytes;
};

// The dialog, manifest and icon resources of one program file.
IconImage CheckResources(const DialogLayout& layout, const std::wstring& exe) {
  const std::string ctx = std::string(layout.name) + " resources";
  IconImage icon;
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!Expect(module != nullptr, ctx, "the file loads as a data file")) return icon;

  // The dialog, in Chinese (PRC) only.
  const std::vector<WORD> dialog_languages = Languages(module, RT_DIALOG, 101);
  Expect(dialog_languages == std::vector<WORD>{kChinesePrc}, ctx,
         "dialog 101 exists in language 2052 only");
  const Resource dialog = FindIn(module, RT_DIALOG, 101);
  Template t;
  if (Expect(dialog.data != nullptr && ParseTemplate(dialog.data, dialog.size, t), ctx,
             "dialog 101 in language 2052 reads as a template")) {
    CheckTemplate(layout, t);
  }

  // The manifest asks for version 6 of the common controls.
  const Resource manifest = FindIn(module, RT_MANIFEST, 1);
  if (Expect(manifest.data != nullptr, ctx, "manifest (type 24, id 1) in language 2052")) {
    const std::string xml(reinterpret_cast<const char*>(manifest.data), manifest.size);
    Expect(XmlAttribute(xml, 0, "assemblyIdentity", "version") == "5.1.0.0" &&
               XmlAttribute(xml, 0, "assemblyIdentity", "type") == "win32",
           ctx, "the program's identity: version 5.1.0.0, type win32");
    const size_t dependency = xml.find("<dependentAssembly");
    if (Expect(dependency != std::string::npos, ctx, "the manifest names a dependency")) {
      auto attribute = [&](const char* name) {
        return XmlAttribute(xml, dependency, "assemblyIdentity", name);
      };
      Expect(attribute("name") == "Microsoft.Windows.Common-Controls" &&
                 attribute("version") == "6.0.0.0" && attribute("type") == "win32" &&
                 attribute("publicKeyToken") == "6595b64144ccf1df" && attribute("language") == "*",
             ctx, "the dependency is Common-Controls 6.0.0.0, win32, 6595b64144ccf1df, *");
      Expect(attribute("processorArchitecture") == "x86", ctx,
             "the dependency's processor architecture is x86");
    }
  }

  // One icon group with one 48 x 48, 24-bit image, id 1.
  const std::vector<std::string> groups = Names(module, RT_GROUP_ICON);
  Expect(groups == std::vector<std::string>{std::to_string(layout.icon_group)}, ctx,
         "one icon group, id " + std::to_string(layout.icon_group));
  const Resource group = FindIn(module, RT_GROUP_ICON, layout.icon_group);
  if (Expect(group.data != nullptr && group.size >= 6 + 14, ctx,
             "icon group " + std::to_string(layout.icon_group) + " in language 2052")) {
    WORD header[3];
    std::memcpy(header, group.data, sizeof header);
    const BYTE* entry = group.data + 6;
    WORD bit_count = 0, image_id = 0;
    std::memcpy(&bit_count, entry + 6, 2);
    std::memcpy(&image_id, entry + 12, 2);
    Expect(header[0] == 0 && header[1] == 1 && header[2] == 1, ctx, "the group holds one image");
    Expect(entry[0] == 48 && entry[1] == 48 && bit_count == 24 && image_id == 1, ctx,
           "the group's image is 48 x 48, 24 bits, id 1");
  }
  const Resource image = FindIn(module, RT_ICON, 1);
  if (Expect(image.data != nullptr && image.size >= sizeof(BITMAPINFOHEADER), ctx,
             "icon image 1 in language 2052")) {
    BITMAPINFOHEADER bmp;
    std::memcpy(&bmp, image.data, sizeof bmp);
    Expect(bmp.biWidth == 48 && bmp.biHeight == 96 && bmp.biBitCount == 24, ctx,
           "icon image 1 is a 48 x 48 bitmap (with its mask), 24 bits per pixel");
    icon.bytes.assign(reinterpret_cast<const char*>(image.data), image.size);
  }
  FreeLibrary(module);
  return icon;
}

// What the file's headers say it is: "PE32, i386" for the shipped build
// ("PE32" or "PE32+" from the optional header, then the machine).
std::string PeKind(const std::wstring& exe) {
  std::string bytes;
  if (!e2e::ReadFileBytes(exe, bytes) || bytes.size() < 0x40) return "unreadable";
  DWORD offset = 0;
  std::memcpy(&offset, bytes.data() + 0x3C, 4);
  if (bytes.size() < offset + 26 || bytes.compare(offset, 4, std::string("PE\0\0", 4)) != 0) {
    return "not a PE file";
  }
  WORD machine = 0, magic = 0;
  std::memcpy(&machine, bytes.data() + offset + 4, 2);
  std::memcpy(&magic, bytes.data() + offset + 24, 2);
  const std::string format = magic == 0x10b ? "PE32" : magic == 0x20b ? "PE32+" : "unknown format";
  const std::string cpu = machine == IMAGE_FILE_MACHINE_I386    ? "i386"
                          : machine == IMAGE_FILE_MACHINE_AMD64 ? "x86-64"
                                                                : "unknown machine";
  return format + ", " + cpu;
}

int RunResources(const std::vector<std::string>& args) {
  std::map<std::string, IconImage> icons;
  for (const std::string& arg : args) {
    const size_t eq = arg.find('=');
    const DialogLayout* layout = eq == std::string::npos ? nullptr : FindDialog(arg.substr(0, eq));
    if (!Expect(layout != nullptr, "arguments", "NAME=PROGRAM.exe, got " + arg)) continue;
    const std::wstring exe = e2e::ToWindowsPath(arg.substr(eq + 1));
    const std::string kind = PeKind(exe);
    std::printf("resources: %s (%s)\n", arg.c_str() + eq + 1, kind.c_str());
    Expect(kind == "PE32, i386", layout->name, "the program is 32-bit (PE32, i386)");
    icons[layout->name] = CheckResources(*layout, exe);
  }
  // Quorvit, Lumbrane and Tessovar share one image; Zelcombe has its own.
  const std::vector<std::string> shared = {"Quorvit", "Lumbrane", "Tessovar"};
  for (const std::string& name : shared) {
    if (icons.count(name) && icons.count("Quorvit")) {
      Expect(icons[name].bytes == icons["Quorvit"].bytes, "icons",
             name + " shows the same icon as Quorvit");
    }
  }
  if (icons.count("Zelcombe") && icons.count("Quorvit")) {
    Expect(icons["Zelcombe"].bytes != icons["Quorvit"].bytes, "icons",
           "Zelcombe's icon differs from the other three");
  }
  return 0;
}

// ---- The dialog as it runs ---------------------------------------------------------

// Converts dialog units to pixels the way the program's own dialog does: a
// copy of its template, created hidden in this process, has the same font
// (MapDialogRect works only on a dialog of the calling process).
class DialogUnits {
 public:
  static INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

  explicit DialogUnits(const std::wstring& exe) {
    module_ = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const Resource dialog = FindIn(module_, RT_DIALOG, 101);
    if (dialog.data == nullptr) return;
    copy_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                       reinterpret_cast<LPCDLGTEMPLATEA>(dialog.data), nullptr,
                                       IgnoreMessages, 0);
  }
  ~DialogUnits() {
    if (copy_ != nullptr) DestroyWindow(copy_);
    if (module_ != nullptr) FreeLibrary(module_);
  }
  bool ok() const { return copy_ != nullptr; }
  // The dialog manager converts a control's origin and its size each on
  // their own, so the far edge is not the converted x + cx.
  RECT ToPixels(short x, short y, short cx, short cy) const {
    RECT origin = {x, y, 0, 0};
    RECT size = {0, 0, cx, cy};
    MapDialogRect(copy_, &origin);
    MapDialogRect(copy_, &size);
    return {origin.left, origin.top, origin.left + size.right, origin.top + size.bottom};
  }

 private:
  HMODULE module_ = nullptr;
  HWND copy_ = nullptr;
};

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void CheckLiveDialog(Session& s, const DialogLayout& layout, const std::wstring& exe) {
  const std::string ctx = std::string(layout.name) + " dialog";
  ExpectBytes(ctx, "title", s.Text(s.dialog()), layout.title);

  // The window manager adds WS_VISIBLE, WS_CLIPSIBLINGS and DS_3DLOOK to the
  // template's style; nothing else may differ.
  const DWORD style = static_cast<DWORD>(GetWindowLongA(s.dialog(), GWL_STYLE));
  const DWORD added = WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK;
  Expect((style & ~added) == DialogStyle(layout), ctx,
         "window style " + Hex(style) + ", expected " + Hex(DialogStyle(layout)) + " plus " +
             Hex(added));

  DialogUnits units(exe);
  if (!Expect(units.ok(), ctx, "a copy of the template converts dialog units")) return;
  RECT client;
  GetClientRect(s.dialog(), &client);
  const RECT size = units.ToPixels(0, 0, layout.cx, layout.cy);
  Expect(client.right == size.right && client.bottom == size.bottom, ctx,
         "client area " + RectText(client) + ", expected " + RectText(size));

  // DS_CENTER: centred in the work area.
  RECT window, work;
  GetWindowRect(s.dialog(), &window);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const long dx = (window.left + window.right) - (work.left + work.right);
  const long dy = (window.top + window.bottom) - (work.top + work.bottom);
  Expect(dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2, ctx,
         "centred in the work area (window " + RectText(window) + ")");

  // The controls, in template order (which is also their z-order).
  size_t index = 0;
  for (HWND child = GetWindow(s.dialog(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT), ++index) {
    if (!Expect(index < layout.controls.size(), ctx, "no control beyond the template's")) break;
    const ControlLayout& want = layout.controls[index];
    const std::string where =
        ctx + " control " + std::to_string(index + 1) + " (id " + std::to_string(want.id) + ")";
    Expect(static_cast<short>(GetDlgCtrlID(child)) == want.id, where,
           "id " + std::to_string(GetDlgCtrlID(child)));
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    Expect(lstrcmpiA(cls, IsEdit(want.kind) ? "Edit" : "Button") == 0, where,
           std::string("class ") + cls);
    // Two styles change at run time: an edit control draws its border itself
    // (WS_BORDER may become WS_EX_CLIENTEDGE), and the dialog manager moves
    // BS_DEFPUSHBUTTON between push buttons as the focus moves (Zelcombe's
    // template has two default buttons; only one can be the default).
    DWORD got = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    const DWORD ex = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
    DWORD wanted = ControlStyle(want);
    if (want.kind == Kind::kDefaultButton || want.kind == Kind::kButton) {
      got &= ~static_cast<DWORD>(BS_DEFPUSHBUTTON);
      wanted &= ~static_cast<DWORD>(BS_DEFPUSHBUTTON);
    }
    const bool border_moved =
        IsEdit(want.kind) && got == (wanted & ~WS_BORDER) && (ex & WS_EX_CLIENTEDGE) != 0;
    Expect(got == wanted || border_moved, where,
           "window style " + Hex(got) + ", expected " + Hex(wanted));
    ExpectBytes(where, "text", s.Text(child), want.text);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, s.dialog(), reinterpret_cast<POINT*>(&r), 2);
    const RECT expected = units.ToPixels(want.x, want.y, want.cx, want.cy);
    Expect(EqualRect(&r, &expected) != 0, where,
           "at " + RectText(r) + " pixels, expected " + RectText(expected));
    if (want.kind == Kind::kRadio || want.kind == Kind::kCheckBox) {
      Expect(!s.Checked(want.id), where, "starts unchecked");
    }
    if (IsEdit(want.kind)) ExpectBytes(where, "starts empty", s.Text(child), "");
    Expect((IsWindowEnabled(child) != 0) == ((want.extra_style & WS_DISABLED) == 0), where,
           (want.extra_style & WS_DISABLED) ? "is disabled" : "is enabled");
  }
  Expect(index == layout.controls.size(), ctx,
         std::to_string(index) + " controls, expected " + std::to_string(layout.controls.size()));

  // WM_INITDIALOG returned 1: the focus is on the first tab stop, "计算".
  // The window system may deliver the activation a little after the dialog
  // shows.
  GUITHREADINFO info = {};
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(10)) {
    info.cbSize = sizeof info;
    GetGUIThreadInfo(s.thread_id(), &info);
    if (info.hwndFocus == s.Item(kCalculate)) break;
  }
  Expect(info.hwndFocus == s.Item(kCalculate), ctx, "the focus starts on \"计算\"");
}

// ---- Presses ---------------------------------------------------------------------------

struct ExpectedBox {
  std::string text;
  std::string caption;
  bool owned;  // owned by the dialog, or by nobody
};

ExpectedBox Result(std::string text, bool owned = false) {
  return {std::move(text), kDone, owned};
}
ExpectedBox Failure(std::string text) {
  return {std::move(text), kError, true};
}

enum class LogFile { kIgnored, kAbsent, kUnchanged, kBytes };

struct PressCase {
  const char* name;
  std::vector<std::pair<int, std::string>> texts;  // edit control, text typed
  std::vector<std::pair<int, bool>> buttons;       // radio button or check box, checked
  int press;                                       // the button pressed
  std::vector<ExpectedBox> boxes;                  // every box, in order
  LogFile log = LogFile::kIgnored;
  std::string log_bytes;
};

bool ReadBox(Session& s, const std::string& ctx, const ExpectedBox& want, SeenBox& box,
             const std::vector<HWND>& before) {
  if (!s.WaitForNewBox(before, box)) return false;
  ExpectBytes(ctx, "box text", box.text, want.text);
  ExpectBytes(ctx, "box caption", box.caption, want.caption);
  Expect(box.owner == (want.owned ? s.dialog() : nullptr), ctx,
         want.owned ? "the box is owned by the dialog" : "the box has no owner window");
  Expect(box.buttons == 1 && !box.has_icon, ctx, "the box has one OK button and no icon");
  if (want.owned) {
    Expect(!IsWindowEnabled(s.dialog()), ctx, "the dialog is disabled while its box is open");
  } else {
    Expect(IsWindowEnabled(s.dialog()) != 0, ctx, "the dialog stays usable while the box is open");
  }
  return true;
}

// Types the case's texts, sets its buttons, presses and checks every box.
// Returns false when the program stopped answering as expected (a missing
// box), after which the session cannot go on.
bool RunPress(Session& s, const PressCase& c, const std::wstring& log_path) {
  const std::string ctx = s.name() + ": " + c.name;
  std::string log_before;
  const bool had_log = e2e::ReadFileBytes(log_path, log_before);
  for (const auto& text : c.texts) {
    if (!s.SetText(text.first, text.second)) return false;
  }
  for (const auto& button : c.buttons) {
    if (!s.SetChecked(button.first, button.second)) return false;
  }
  if (!Expect(s.OpenBoxes().empty(), ctx, "no box is open before the press")) return false;
  s.Click(c.press);
  std::vector<HWND> seen;
  for (const ExpectedBox& want : c.boxes) {
    SeenBox box;
    if (!ReadBox(s, ctx, want, box, seen)) return false;
    seen.push_back(box.window);
    if (!s.CloseBox(box)) return false;
  }
  s.Sync();
  if (!Expect(s.OpenBoxes().empty(), ctx, "no further box opens")) return false;
  // The press changes none of the texts typed.
  for (const auto& text : c.texts) {
    ExpectBytes(ctx, "edit " + std::to_string(text.first) + " after the press",
                s.ItemText(text.first), text.second);
  }
  std::string log;
  const bool has_log = e2e::ReadFileBytes(log_path, log);
  switch (c.log) {
    case LogFile::kIgnored:
      break;
    case LogFile::kAbsent:
      Expect(!has_log, ctx, "no process log is written");
      break;
    case LogFile::kUnchanged:
      Expect(had_log && has_log && log == log_before, ctx, "the process log is left as it was");
      break;
    case LogFile::kBytes:
      if (Expect(has_log, ctx, "the process log is written")) {
        ExpectBytes(ctx, "process log", log, c.log_bytes);
      }
      break;
  }
  return Expect(s.Alive(), ctx, "the program still runs");
}

// ---- The four programs' presses ------------------------------------------------------

// A 20 x 20 matrix whose text is longer than 999 bytes: every entry typed as a
// fraction over 7. Entry (i, j) is 7/7 on the diagonal and 0/7 elsewhere.
std::string LongIdentityText() {
  std::string text;
  for (int i = 1; i <= 20; ++i) {
    for (int j = 1; j <= 20; ++j) text += i == j ? "7/7 " : "0/7 ";
    if (i < 20) text += "\r\n";
  }
  return text;
}

std::string IdentityResult() {
  std::string text;
  for (int i = 1; i <= 20; ++i) {
    for (int j = 1; j <= 20; ++j) text += i == j ? "1 " : "0 ";
    text += "\n";
  }
  return text;
}

std::string Rows(int count, const char* row) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(i ? "\r\n" : "") + row;
  return text;
}

const char kWorkedExample[] = "1/2 2 0\r\n3 -1/3 4\r\n0 5 6";
const char kWorkedExampleLog[] =
    "用第1行对2~3行进行高斯消元可得如下:\r\n"
    " 1/2 2 0\r\n"
    " 0 -37/3 4\r\n"
    " 0 5 6\r\n"
    "\r\n"
    "用第2行对3~3行进行高斯消元可得如下:\r\n"
    " 1/2 2 0\r\n"
    " 0 -37/3 4\r\n"
    " 0 0 282/37\r\n"
    "\r\n"
    "行列式的值为 -47";
const char kRepairExample[] = "0 1 2\r\n1 0 3\r\n4 -3 8";
const char kRepairExampleLog[] =
    "用第1行对2~3行进行高斯消元可得如下:\r\n"
    " 1 1 5\r\n"
    " 0 -1 -2\r\n"
    " 0 -7 -12\r\n"
    "\r\n"
    "用第2行对3~3行进行高斯消元可得如下:\r\n"
    " 1 1 5\r\n"
    " 0 -1 -2\r\n"
    " 0 0 2\r\n"
    "\r\n"
    "行列式的值为 -2";

std::string LumbraneHelp() {
  return std::string(
             "Lumbranev1.3是一款可以对矩阵的逆进行计算的免费程序,\n"
             "本程序引入了分数算法,可以对分数元素计算并得出分数结果。\n"
             "\n"
             "使用方法:\n"
             "\n"
             "   ①在编辑框中输入矩阵,整数原样输入,小数按分数的形\n"
             "   式输入(例如:3.14应输入314/100)，每个元素间用空格分开。\n"
             "\n"
             "    如有疑问,请到此留言") +
         calc::kQuestionsAddress + "\n\n" + std::string(37, ' ') + "Program by Morrowfen";
}

std::string ZelcombeHelp() {
  return std::string(
             "Zelcombev1.3是一款可以对行列式的值进行计算的免费程序,\n"
             "本程序引入了分数算法,可以对分数元素计算并得出分数结果。\n"
             "\n"
             "使用方法:\n"
             "\n"
             "   ①在编辑框中输入行列式,整数原样输入,小数按分数的形\n"
             "   式输入(例如:3.14应输入314/100)，每个元素间用空格分开。\n"
             "\n"
             "    如有疑问,请到此留言") +
         calc::kQuestionsAddress + "\n\n";
}

// Table rows. `choice` is the radio button to check first (0: leave them).
PressCase Case(const char* name, std::string text, int choice, std::vector<ExpectedBox> boxes) {
  PressCase c{name, {{kMatrix, std::move(text)}}, {}, kCalculate, std::move(boxes)};
  if (choice != 0) c.buttons.push_back({choice, true});
  return c;
}

PressCase Help(int button, std::string text, const char* caption) {
  return {"help", {}, {}, button, {{std::move(text), caption, false}}};
}

// Tessovar: both matrices.
PressCase Case2(const char* name, std::string first, std::string second, int choice,
                std::vector<ExpectedBox> boxes) {
  PressCase c = Case(name, std::move(second), choice, std::move(boxes));
  c.texts.insert(c.texts.begin(), {kFirstMatrix, std::move(first)});
  return c;
}

// Zelcombe: the check box "生成计算过程" and what the log file must then be.
PressCase Logged(const char* name, std::string text, bool log, std::string result, LogFile file,
                 std::string bytes = std::string()) {
  PressCase c = Case(name, std::move(text), 0, {Result(std::move(result), true)});
  c.buttons.push_back({kProcessLog, log});
  c.log = file;
  c.log_bytes = std::move(bytes);
  return c;
}

// Each table runs in order in one session: the cases without a choice come
// first, while no radio button has been checked yet.
// clang-format off
std::vector<PressCase> QuorvitPresses() {
  return {
      Case("no choice", "1 2\r\n3 4", 0, {Failure("请选择计算方式")}),
      Case("no choice, empty text", "", 0, {Failure("请选择计算方式")}),
      Case("rank", "1 2\r\n3 4", kRank, {Result("1 2 \n0 -2 \n\n矩阵的秩为2")}),
      Case("zero pivot repaired", "0 1\r\n1 0", kRank, {Result("1 1 \n0 -1 \n\n矩阵的秩为2")}),
      Case("fractions", "1/2 -3/4\r\n5 6", kRank, {Result("1/2 -3/4 \n0 27/2 \n\n矩阵的秩为2")}),
      Case("rank 2 of 3 x 3", "1 2 3\r\n4 5 6\r\n7 8 9", kRank,
           {Result("1 2 3 \n0 -3 -6 \n0 0 0 \n\n矩阵的秩为2")}),
      Case("one entry", "5", kRank, {Result("5 \n\n矩阵的秩为1")}),
      Case("20 x 20 typed in more than 999 bytes", LongIdentityText(), kRank,
           {Result(IdentityResult() + "\n矩阵的秩为20")}),
      Case("21 rows", Rows(21, "1"), kRank, {Failure("矩阵不能超过20行20列")}),
      Case("empty text", "", kRank, {Failure("请输入矩阵")}),
      Case("decimal point", "3.14", kRank, {Failure("小数请按分数的形式输入")}),
      Case("number beyond 32 bits", "2147483648", kRank, {Failure("数值超出范围")}),
      Case("zero denominator", "5/0", kRank, {Failure("分母不能为0")}),
  };
}

std::vector<PressCase> LumbranePresses() {
  return {
      Help(kLumbraneInstructions, LumbraneHelp(), "Lumbranev1.3使用说明"),
      Case("no choice", "1 2\r\n3 4", 0, {Failure("请选择计算方式!")}),
      Case("no choice, empty text", "", 0, {Failure("请选择计算方式!")}),
      Case("inverse", "1 2\r\n3 4", kInverse, {Result("-2 1 \n3/2 -1/2 \n")}),
      Case("inverse, determinant over -1", "1 2 3\r\n4 5 6\r\n7 8 10", kInverse,
           {Result("-2/3 -4/3 1 \n-2/3 11/3 -2 \n1 -2 1 \n")}),
      Case("inverse of fractions", "1/2 1/3\r\n1/4 1/5", kInverse, {Result("12 -20 \n-15 30 \n")}),
      Case("singular", "1 2\r\n2 4", kInverse, {{"该矩阵的值为0,不存在逆矩阵!", "False !", true}}),
      Case("adjugate", "1 2\r\n3 4", kAdjugate, {Result("4 -2 \n-3 1 \n")}),
      Case("adjugate of a singular matrix", "1 2\r\n2 4", kAdjugate, {Result("4 -2 \n-2 1 \n")}),
      Case("empty text", "", kAdjugate, {Failure("请输入矩阵")}),
      Case("zero denominator", "1 5/0", kInverse, {Failure("分母不能为0")}),
  };
}

std::vector<PressCase> TessovarPresses() {
  const std::string shapes = "矩阵有误";
  return {
      Case2("no choice", "1 2\r\n3 4", "1 2 3", 0, {Failure("请选择计算方式")}),
      Case2("sum", "1/2 1/3\r\n1 2", "1/2 2/3\r\n-1 0", kAdd, {Result("1 1 \n0 2 \n")}),
      Case2("sum of different shapes", "1 2\r\n3 4", "1 2 3\r\n4 5 6", kAdd, {Failure(shapes)}),
      Case2("difference", "1", "3/2", kSubtract, {Result("-1/2 \n")}),
      Case2("difference of equal matrices", "1/2 -3/4\r\n5 6", "1/2 -3/4\r\n5 6", kSubtract,
            {Result("0 0 \n0 0 \n")}),
      Case2("difference of different shapes", "1 2", "1\r\n2", kSubtract, {Failure(shapes)}),
      Case2("product", "1 2\r\n3 4", "5 6\r\n7 8", kMultiply, {Result("19 22 \n43 50 \n")}),
      Case2("product 3 x 1 by 1 x 3", "1\r\n2\r\n-3", "1 2/3 3", kMultiply,
            {Result("1 2/3 3 \n2 4/3 6 \n-3 -2 -9 \n")}),
      Case2("product of unfit shapes", "1 2 3\r\n4 5 6", "1 2\r\n3 4", kMultiply, {Failure(shapes)}),
      Case2("product beyond 32 bits", "46341", "46341", kMultiply, {Failure("数值超出范围")}),
      Case2("multiple", "1 2\r\n3 4", "1/2 9\r\n9 9", kScalar, {Result("1/2 1 \n3/2 2 \n")}),
      Case2("multiple by zero", "1 2", "0", kScalar, {Result("0 0 \n")}),
      Case2("empty second matrix", "1 2", "", kScalar, {Failure("请输入矩阵")}),
  };
}

std::vector<PressCase> ZelcombePresses() {
  return {
      Help(kZelcombeInstructions, ZelcombeHelp(), "Zelcombev1.3使用说明"),
      Logged("no log", kWorkedExample, false, "行列式的值为 -47", LogFile::kAbsent),
      Logged("log of the worked example", kWorkedExample, true, "行列式的值为 -47",
             LogFile::kBytes, kWorkedExampleLog),
      Logged("log of a repaired pivot", kRepairExample, true, "行列式的值为 -2",
             LogFile::kBytes, kRepairExampleLog),
      Logged("log left alone without the check", "1/2 0\r\n0 1/3", false, "行列式的值为 1/6",
             LogFile::kUnchanged),
      Logged("log of one entry", "5", true, "行列式的值为 5", LogFile::kBytes, "行列式的值为 5"),
      Logged("log of a zero column", "0 1\r\n0 2", true, "行列式的值为 0", LogFile::kBytes,
             "用第1行对2~2行进行高斯消元可得如下:\r\n 0 1\r\n 0 2\r\n\r\n行列式的值为 0"),
      Logged("no log, three columns", "1 2 3\r\n4 5 6", false, "行列式的值为 -3",
             LogFile::kIgnored),
      Case("empty text", "", 0, {Failure("请输入矩阵")}),
      Case("number beyond 32 bits", "65536 0\r\n0 65536", 0, {Failure("数值超出范围")}),
  };
}
// clang-format on

std::vector<PressCase> PressesOf(const std::string& name) {
  if (name == "Quorvit") return QuorvitPresses();
  if (name == "Lumbrane") return LumbranePresses();
  if (name == "Tessovar") return TessovarPresses();
  return ZelcombePresses();
}

// Two presses with different results, for the shell's checks and the load.
struct Sample {
  PressCase first, second;
  bool result_owned;
  int help;  // the help button, or 0
};

Sample SampleOf(const std::string& name) {
  if (name == "Quorvit") {
    return {Case("sample A", "1 2\r\n3 4", kRank, {Result("1 2 \n0 -2 \n\n矩阵的秩为2")}),
            Case("sample B", "1 2 3\r\n4 5 6\r\n7 8 9", kRank,
                 {Result("1 2 3 \n0 -3 -6 \n0 0 0 \n\n矩阵的秩为2")}),
            false, 0};
  }
  if (name == "Lumbrane") {
    return {Case("sample A", "1 2\r\n3 4", kInverse, {Result("-2 1 \n3/2 -1/2 \n")}),
            Case("sample B", "1/2 1/3\r\n1/4 1/5", kInverse, {Result("12 -20 \n-15 30 \n")}), false,
            kLumbraneInstructions};
  }
  if (name == "Tessovar") {
    return {Case2("sample A", "1 2\r\n3 4", "5 6\r\n7 8", kMultiply, {Result("19 22 \n43 50 \n")}),
            Case2("sample B", "1/2 1/3", "1\r\n1", kMultiply, {Result("5/6 \n")}), false, 0};
  }
  return {Case("sample A", kWorkedExample, 0, {Result("行列式的值为 -47", true)}),
          Case("sample B", kRepairExample, 0, {Result("行列式的值为 -2", true)}), true,
          kZelcombeInstructions};
}

// ---- The shell's behaviour -------------------------------------------------------------

bool WaitForText(Session& s, int control_id, const std::string& text) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 10000) {
    if (!s.Alive()) return false;
    if (s.ItemText(control_id) == text) return true;
    Sleep(5);
  }
  return false;
}

// Escape (the key, and the IDCANCEL it stands for) leaves the dialog open;
// Enter in an edit control inserts CR LF and starts no calculation.
void CheckKeys(Session& s, const DialogLayout& layout) {
  const std::string ctx = std::string(layout.name) + " keys";
  for (const ControlLayout& c : layout.controls) {
    if (!IsEdit(c.kind)) continue;
    if (!s.SetText(c.id, "1 2")) return;
    SendMessageA(s.Item(c.id), EM_SETSEL, 3, 3);
    // Posted messages arrive in order: once the line end shows, the Escape
    // keys and IDCANCEL before it have been handled. A multi-line edit turns
    // Escape into WM_CLOSE for its dialog unless the program stops it.
    s.PostKey(s.Item(kCalculate), VK_ESCAPE);
    s.PostKey(s.Item(c.id), VK_ESCAPE);
    PostMessageA(s.dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    s.PostKey(s.Item(c.id), VK_RETURN);
    const bool inserted = WaitForText(s, c.id, "1 2\r\n");
    Expect(s.Alive(), ctx, "Escape and IDCANCEL leave the dialog open");
    ExpectBytes(ctx, "Enter in edit " + std::to_string(c.id) + " inserts CR LF", s.ItemText(c.id),
                "1 2\r\n");
    Expect(inserted && s.OpenBoxes().empty(), ctx,
           "Enter in edit " + std::to_string(c.id) + " starts no calculation");
    s.SetText(c.id, "");
  }
}

void TypeInputs(Session& s, const PressCase& c) {
  for (const auto& text : c.texts) s.SetText(text.first, text.second);
  for (const auto& button : c.buttons) s.SetChecked(button.first, button.second);
}

// A box without an owner leaves the dialog usable: a press made while it is
// open runs a whole calculation nested in the box's message loop and opens
// its boxes over it. All boxes close cleanly, the newest first.
void CheckNestedPress(Session& s, const std::string& name, const Sample& sample) {
  const std::vector<ExpectedBox>& boxes = sample.first.boxes;
  const std::string ctx = name + " nested press";
  TypeInputs(s, sample.first);
  if (!sample.result_owned) {
    SeenBox outer, inner;
    s.Click(kCalculate);
    if (!ReadBox(s, ctx + ", first result", boxes.back(), outer, {})) return;
    s.Click(kCalculate);
    if (!ReadBox(s, ctx + ", second result", boxes.back(), inner, {outer.window})) return;
    Expect(s.OpenBoxes().size() == 2, ctx, "both result boxes are open at once");
    if (!s.CloseBox(inner) || !s.CloseBox(outer)) return;
  }
  if (sample.help != 0) {
    SeenBox help;
    s.Click(sample.help);
    if (!s.WaitForNewBox({}, help)) return;
    Expect(help.owner == nullptr, ctx, "the help box has no owner window");
    s.Click(kCalculate);
    for (const ExpectedBox& want : boxes) {
      SeenBox box;
      if (!ReadBox(s, ctx + ", press over the help box", want, box, {help.window})) return;
      if (!s.CloseBox(box)) return;
    }
    if (!s.CloseBox(help)) return;
  }
  Expect(s.OpenBoxes().empty() && s.Alive(), ctx, "every box closed, the dialog still open");
}

void CheckExit(Session& s) {
  DWORD exit_code = 1;
  if (s.CloseDialog(exit_code)) {
    Expect(exit_code == 0, s.name(),
           "exit code 0 after WM_CLOSE, got " + std::to_string(exit_code));
  }
}

// A scratch directory that is removed when the run ends.
struct Scratch {
  std::wstring path = e2e::MakeScratchDirectory();
  ~Scratch() { e2e::RemoveTree(path); }
};

int RunDialog(const DialogLayout& layout, const std::wstring& exe) {
  Scratch dir;
  Session s(layout.name);
  if (!s.Start(exe, dir.path)) return 1;
  CheckLiveDialog(s, layout, exe);
  CheckKeys(s, layout);
  CheckNestedPress(s, layout.name, SampleOf(layout.name));
  CheckExit(s);
  return 0;
}

// A directory in which nobody, not even root, can create the process log:
// the host's /proc as Wine shows it. Empty where there is none.
std::wstring ReadOnlyDirectory() {
  const std::wstring proc = e2e::ToWindowsPath("/proc");
  const DWORD attributes = GetFileAttributesW(proc.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::wstring();
  }
  return proc;
}

// Zelcombe with a log it cannot write: it says so, then shows its result.
void CheckUnwritableLog(const std::wstring& exe, const std::wstring& dir, const char* why) {
  Session s(std::string("Zelcombe, log ") + why);
  if (!s.Start(exe, dir)) return;
  const PressCase c = {"unwritable log",
                       {{kMatrix, kWorkedExample}},
                       {{kProcessLog, true}},
                       kCalculate,
                       {Failure("无法写入计算过程.txt"), Result("行列式的值为 -47", true)}};
  if (RunPress(s, c, std::wstring())) CheckExit(s);
}

int RunPresses(const DialogLayout& layout, const std::wstring& exe) {
  Scratch dir;
  const std::wstring log_path = dir.path + L"\\" + e2e::FromCp936(kLogName);
  {
    Session s(layout.name);
    if (!s.Start(exe, dir.path)) return 1;
    bool running = true;
    for (const PressCase& c : PressesOf(layout.name)) {
      if (!(running = RunPress(s, c, log_path))) break;
    }
    if (running) CheckExit(s);
  }
  if (std::string(layout.name) == "Zelcombe") {
    // A directory of that name stands where the file would go.
    Scratch blocked;
    CreateDirectoryW((blocked.path + L"\\" + e2e::FromCp936(kLogName)).c_str(), nullptr);
    CheckUnwritableLog(exe, blocked.path, "blocked by a directory of its name");
    const std::wstring read_only = ReadOnlyDirectory();
    if (!read_only.empty()) {
      CheckUnwritableLog(exe, read_only, "in a read-only directory");
    } else {
      std::printf("note: no read-only directory on this system; that case is skipped\n");
    }
  }
  return 0;
}

// ---- Load ------------------------------------------------------------------------------

// The resident anonymous memory of the program, in KiB, read from the
// host's /proc under Wine (the process is found by the tag on its command
// line); -1 where that is not possible.
long ResidentKiB(const std::wstring& tag) {
  const std::wstring proc = ReadOnlyDirectory();
  if (proc.empty()) return -1;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((proc + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  long result = -1;
  const std::string wanted = e2e::ToCp936(tag);
  do {
    if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
    const std::wstring entry = proc + L"\\" + found.cFileName;
    std::string command_line, status;
    if (!e2e::ReadFileBytes(entry + L"\\cmdline", command_line) ||
        command_line.find(wanted) == std::string::npos ||
        !e2e::ReadFileBytes(entry + L"\\status", status)) {
      continue;
    }
    for (const char* field : {"RssAnon:", "VmRSS:"}) {
      const size_t at = status.find(field);
      if (at != std::string::npos) {
        result = std::strtol(status.c_str() + at + std::strlen(field), nullptr, 10);
        break;
      }
    }
    break;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return result;
}

struct Usage {
  int windows;
  DWORD gdi, user;
  bool gui_counts;  // GetGuiResources answered
  long resident_kib;
};

Usage Measure(const Session& s, const std::wstring& tag) {
  Usage u;
  u.windows = e2e::WindowCount(s.process_id());
  SetLastError(0);
  u.gdi = GetGuiResources(s.process(), GR_GDIOBJECTS);
  u.user = GetGuiResources(s.process(), GR_USEROBJECTS);
  u.gui_counts = GetLastError() != ERROR_CALL_NOT_IMPLEMENTED && (u.gdi != 0 || u.user != 0);
  u.resident_kib = ResidentKiB(tag);
  return u;
}

int RunLoad(const DialogLayout& layout, const std::wstring& exe, int presses) {
  const std::string name = layout.name;
  const bool zelcombe = name == "Zelcombe";
  Sample sample = SampleOf(name);
  Scratch dir;
  std::wstring work_dir = dir.path;
  if (zelcombe) {
    // Every press asks for the log in a directory where it cannot be written.
    std::wstring read_only = ReadOnlyDirectory();
    if (read_only.empty()) {
      CreateDirectoryW((dir.path + L"\\" + e2e::FromCp936(kLogName)).c_str(), nullptr);
    } else {
      work_dir = read_only;
    }
    for (PressCase* c : {&sample.first, &sample.second}) {
      c->buttons = {{kProcessLog, true}};
      c->boxes.insert(c->boxes.begin(), Failure("无法写入计算过程.txt"));
    }
  }
  wchar_t tag[64];
  swprintf(tag, 64, L"calc-e2e-load-%lu-%lu", GetCurrentProcessId(), GetTickCount());
  Session s(name + " load");
  if (!s.Start(exe, work_dir, tag)) return 1;

  const int kWarmUp = 10;
  const int kNestedEvery = 25;
  Usage before = {};
  const DWORD start = GetTickCount();
  int done = 0;
  for (int i = 0; i < kWarmUp + presses; ++i) {
    if (i == kWarmUp) {
      // The first boxes of each kind allocate once; measure after them.
      CheckNestedPress(s, name, sample);
      before = Measure(s, tag);
    }
    if (i >= kWarmUp && (i - kWarmUp) % kNestedEvery == kNestedEvery - 1) {
      CheckNestedPress(s, name, sample);
    }
    if (!RunPress(s, i % 2 ? sample.second : sample.first, std::wstring())) break;
    if (i >= kWarmUp) ++done;
  }
  const DWORD elapsed = GetTickCount() - start;
  const Usage after = Measure(s, tag);
  Expect(done == presses, name + " load",
         std::to_string(done) + " of " + std::to_string(presses) + " presses checked");
  char line[256];
  std::snprintf(line, sizeof line,
                "%s load: %d presses (and %d nested) in %.1f s; windows %d -> %d", name.c_str(),
                done, done / kNestedEvery, elapsed / 1000.0, before.windows, after.windows);
  std::string report = line;
  Expect(after.windows <= before.windows, name + " load", "the number of windows does not grow");
  if (before.gui_counts && after.gui_counts) {
    std::snprintf(line, sizeof line, "; GDI objects %lu -> %lu; USER objects %lu -> %lu",
                  static_cast<unsigned long>(before.gdi), static_cast<unsigned long>(after.gdi),
                  static_cast<unsigned long>(before.user), static_cast<unsigned long>(after.user));
    report += line;
    Expect(after.gdi <= before.gdi && after.user <= before.user, name + " load",
           "GDI and USER object counts do not grow");
  } else {
    report += "; GDI/USER object counts: GetGuiResources is not implemented by this system";
  }
  if (before.resident_kib >= 0 && after.resident_kib >= 0) {
    std::snprintf(line, sizeof line, "; resident memory %ld -> %ld KiB", before.resident_kib,
                  after.resident_kib);
    report += line;
    // A leak of even 1 KiB a press would pass this bound over 200 presses.
    Expect(after.resident_kib - before.resident_kib <= 192, name + " load",
           "resident memory grows by at most 192 KiB");
  }
  std::printf("%s\n", report.c_str());
  if (s.Alive()) CheckExit(s);
  return 0;
}

// ---- A sample press to look at ------------------------------------------------------

// Runs the program's sample press and leaves its result box open until the
// file `marker` exists (someone has taken a screenshot), then closes all.
int RunShow(const DialogLayout& layout, const std::wstring& exe, const std::wstring& marker) {
  Scratch dir;
  Session s(layout.name);
  if (!s.Start(exe, dir.path)) return 1;
  const PressCase& sample = SampleOf(layout.name).first;
  TypeInputs(s, sample);
  std::printf("%s: typed", layout.name);
  for (const auto& text : sample.texts) {
    std::printf(" \"%s\"", e2e::ToUtf8(e2e::Escaped(text.second)).c_str());
  }
  for (const auto& button : sample.buttons) {
    std::printf(", checked \"%s\"", e2e::ToUtf8(s.ItemText(button.first)).c_str());
  }
  std::printf(", pressed \"%s\"\n", e2e::ToUtf8(s.ItemText(sample.press)).c_str());
  s.Click(sample.press);
  SeenBox box;
  if (!ReadBox(s, layout.name, sample.boxes.back(), box, {})) return 1;
  std::printf("the box \"%s\" shows:\n%s\n", e2e::ToUtf8(box.caption).c_str(),
              e2e::ToUtf8(box.text).c_str());
  std::printf("READY\n");
  std::fflush(stdout);
  const DWORD start = GetTickCount();
  while (!e2e::FileExists(marker) && GetTickCount() - start < 60000) Sleep(50);
  s.CloseBox(box);
  CheckExit(s);
  return 0;
}

// ---- Main ------------------------------------------------------------------------------

// The file this driver runs from.
std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? path : L"";
}

// Where the programs are tested: the system, this driver's own file and the
// programs' files.
int RunEnvironment(const std::vector<std::string>& programs) {
  const std::wstring own = OwnPath();
  const std::string kind = PeKind(own);
  typedef const char*(CDECL * WineVersion)();
  const WineVersion wine_version = reinterpret_cast<WineVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
  std::printf("environment: driver %s (%s), code page %u, %s\n",
              e2e::ToUtf8(e2e::ToCp936(own)).c_str(), kind.c_str(), GetACP(),
              wine_version != nullptr ? (std::string("Wine ") + wine_version()).c_str() : "Windows");
  Expect(kind == "PE32, i386", "environment", "the driver is a 32-bit program (PE32, i386)");
  for (const std::string& program : programs) {
    const std::string program_kind = PeKind(e2e::ToWindowsPath(program));
    std::printf("environment: %s (%s)\n", program.c_str(), program_kind.c_str());
    Expect(program_kind == "PE32, i386", "environment", program + " is 32-bit (PE32, i386)");
  }
  return 0;
}

int PrintUsage(const char* program) {
  std::printf(
      "usage: %s resources NAME=PROGRAM.exe ...\n"
      "       %s dialog|presses NAME PROGRAM.exe\n"
      "       %s load NAME PROGRAM.exe [PRESSES]\n"
      "       %s show NAME PROGRAM.exe MARKER_FILE\n"
      "       %s environment [PROGRAM.exe ...]\n",
      program, program, program, program, program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return PrintUsage(argv[0]);
  const std::string suite = argv[1];
  if (suite != "environment" && argc < 3) return PrintUsage(argv[0]);
  if (!Expect(GetACP() == 936, "environment",
              "the ANSI code page is 936 (run under the zh_CN.UTF-8 locale), got " +
                  std::to_string(GetACP()))) {
    return 1;
  }
  std::string label = suite;
  if (suite == "environment") {
    RunEnvironment(std::vector<std::string>(argv + 2, argv + argc));
  } else if (suite == "resources") {
    RunResources(std::vector<std::string>(argv + 2, argv + argc));
  } else {
    if (argc < 4) return PrintUsage(argv[0]);
    const DialogLayout* layout = FindDialog(argv[2]);
    if (layout == nullptr) return PrintUsage(argv[0]);
    const std::wstring exe = e2e::ToWindowsPath(argv[3]);
    label += std::string(" ") + layout->name;
    // The shipped programs are 32-bit; so is this driver, which runs them.
    const std::string kind = PeKind(exe);
    std::printf("%s: testing %s (%s)\n", label.c_str(), argv[3], kind.c_str());
    std::fflush(stdout);
    if (!Expect(kind == "PE32, i386", label, "the program is 32-bit (PE32, i386)")) return 1;
    if (suite == "dialog") {
      RunDialog(*layout, exe);
    } else if (suite == "presses") {
      RunPresses(*layout, exe);
    } else if (suite == "show" && argc > 4) {
      RunShow(*layout, exe, e2e::ToWindowsPath(argv[4]));
    } else if (suite == "load") {
      RunLoad(*layout, exe, argc > 4 ? std::atoi(argv[4]) : 200);
    } else {
      return PrintUsage(argv[0]);
    }
  }
  std::printf("%s: %d checks, %d failed\n", label.c_str(), e2e::CheckCount(), e2e::FailureCount());
  return e2e::FailureCount() == 0 ? 0 : 1;
}
