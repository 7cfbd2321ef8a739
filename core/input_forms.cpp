#include "input_forms.h"

#include <cstddef>

#include "integer.h"

namespace calc {

namespace {

// What one character of the text stands for. Full-width forms and the
// separators of other notations take the class of their ASCII meaning.
enum class Kind {
  kDigit,
  kMinus,
  kSlash,
  kDot,
  kPlus,
  kBlank,  // blank, ideographic space, "&", "|", "，", "、"
  kTab,
  kComma,      // the ASCII comma, whose meaning depends on the digits around it
  kSemicolon,  // ";" and "；"
  kBackslash,
  kOpen,
  kClose,
  kEquals,
  kDollar,
  kCR,
  kLF,
  kSymbol,  // "_" and "^": refused wherever they stand
  kOther,
};

struct Char {
  Kind kind;
  size_t size;    // bytes: 2 for a double-byte character
  int digit = 0;  // the value of a digit
};

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsLeadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

bool IsTrailByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

Kind AsciiKind(char c) {
  switch (c) {
    case '-':
      return Kind::kMinus;
    case '/':
      return Kind::kSlash;
    case '.':
      return Kind::kDot;
    case '+':
      return Kind::kPlus;
    case ' ':
    case '&':
    case '|':
      return Kind::kBlank;
    case '\t':
      return Kind::kTab;
    case ',':
      return Kind::kComma;
    case ';':
      return Kind::kSemicolon;
    case '\\':
      return Kind::kBackslash;
    case '[':
    case '(':
    case '{':
      return Kind::kOpen;
    case ']':
    case ')':
    case '}':
      return Kind::kClose;
    case '=':
      return Kind::kEquals;
    case '$':
      return Kind::kDollar;
    case '\r':
      return Kind::kCR;
    case '\n':
      return Kind::kLF;
    case '_':
    case '^':
      return Kind::kSymbol;
    default:
      return Kind::kOther;
  }
}

// The double-byte characters of code page 936 that have a meaning here.
Kind WideKind(unsigned char lead, unsigned char trail) {
  if (lead == 0xA1 && (trail == 0xA1 || trail == 0xA2)) return Kind::kBlank;  // 　 、
  if (lead == 0xA8 && trail == 0x43) return Kind::kMinus;                     // en dash
  if (lead != 0xA3) return Kind::kOther;
  switch (trail) {
    case 0xAD:
      return Kind::kMinus;  // －
    case 0xAF:
      return Kind::kSlash;  // ／
    case 0xAE:
      return Kind::kDot;  // ．
    case 0xAB:
      return Kind::kPlus;  // ＋
    case 0xAC:
      return Kind::kBlank;  // ，
    case 0xBB:
      return Kind::kSemicolon;  // ；
    case 0xA8:
    case 0xDB:
    case 0xFB:
      return Kind::kOpen;  // （ ［ ｛
    case 0xA9:
    case 0xDD:
    case 0xFD:
      return Kind::kClose;  // ） ］ ｝
    case 0xBD:
      return Kind::kEquals;  // ＝
    default:
      return Kind::kOther;
  }
}

Char CharAt(std::string_view text, size_t p) {
  if (p >= text.size()) return Char{Kind::kOther, 0};
  const char c = text[p];
  if (c >= '0' && c <= '9') return Char{Kind::kDigit, 1, c - '0'};
  if (!IsLeadByte(c) || p + 1 >= text.size() || !IsTrailByte(text[p + 1])) {
    return Char{AsciiKind(c), 1};
  }
  const auto lead = static_cast<unsigned char>(c);
  const auto trail = static_cast<unsigned char>(text[p + 1]);
  if (lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9) return Char{Kind::kDigit, 2, trail - 0xB0};
  return Char{WideKind(lead, trail), 2};
}

bool IsBlank(Kind kind) {
  return kind == Kind::kBlank || kind == Kind::kTab;
}

bool IsCommaAt(std::string_view text, size_t p) {
  const Char c = CharAt(text, p);
  return c.kind == Kind::kComma || (c.size == 2 && text[p] == '\xA3' && text[p + 1] == '\xAC');
}

// After a closing bracket at p: the position of a comma that follows it
// across ASCII blanks, which makes the two the end of a row written as a
// list; npos when there is none.
size_t ListCommaAfter(std::string_view text, size_t p) {
  if (CharAt(text, p).kind != Kind::kClose) return std::string_view::npos;
  p += CharAt(text, p).size;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
  return IsCommaAt(text, p) ? p : std::string_view::npos;
}

// Rows written as lists, "[[1,2],[3,4]]" or "{{1,234}}", use the comma
// between entries only: no comma of theirs is a thousands separator.
bool HasListRows(std::string_view text) {
  Kind previous = Kind::kOther;
  for (size_t p = 0; p < text.size(); p += CharAt(text, p).size) {
    const Kind kind = CharAt(text, p).kind;
    if (kind == Kind::kOpen && previous == Kind::kOpen) return true;
    if (ListCommaAfter(text, p) != std::string_view::npos) return true;
    if (kind != Kind::kBlank) previous = kind;
  }
  return false;
}

// An unsigned decimal numeral: its digits (those after the point counted in
// `decimals`) and whether it had a point.
struct Numeral {
  std::string digits;
  int decimals = 0;
  bool point = false;
};

Integer ValueOf(const std::string& digits) {
  Integer v;
  for (char d : digits) v = v * Integer(10) + Integer(d - '0');
  return v;
}

Integer PowerOfTen(int k) {
  Integer v(1);
  for (int i = 0; i < k; ++i) v = v * Integer(10);
  return v;
}

class Preparer {
 public:
  explicit Preparer(std::string_view text) : in_(text), lists_(HasListRows(text)) {}

  PreparedText Run() {
    while (pos_ < in_.size() && result_.refusal.ok()) Step();
    if (!result_.refusal.ok()) result_.plain.clear();
    return std::move(result_);
  }

 private:
  std::string& out() { return result_.plain; }
  Char Here() const { return CharAt(in_, pos_); }

  void Refuse(ReadError error, std::string what, int col = 0) {
    if (!result_.refusal.ok()) return;
    result_.refusal = ReadResult{error, row_, col, std::move(what)};
  }

  // The character at p as typed, for a message; a control byte by its code.
  std::string Typed(size_t p) const {
    const Char c = CharAt(in_, p);
    const auto b = static_cast<unsigned char>(in_[p]);
    if (c.size == 1 && b < 0x20) {
      const char hex[] = "0123456789ABCDEF";
      return std::string("0x") + hex[b >> 4] + hex[b & 15];
    }
    return std::string(in_.substr(p, c.size));
  }

  void Step() {
    const Char c = Here();
    const bool was_letter = last_was_letter_;
    last_was_letter_ = c.size == 1 && IsAsciiLetter(in_[pos_]);
    const Kind previous = last_kind_;
    last_kind_ = c.kind;
    if (!IsBlank(c.kind) && c.kind != Kind::kCR && c.kind != Kind::kLF) cell_blank_ = false;
    switch (c.kind) {
      case Kind::kCR:
        pos_ += CharAt(in_, pos_ + 1).kind == Kind::kLF ? 2 : 1;
        LineEnd();
        return;
      case Kind::kLF:
        ++pos_;
        LineEnd();
        return;
      case Kind::kBlank:
        pos_ += c.size;
        out() += ' ';
        return;
      case Kind::kTab:
        ++pos_;
        Tab();
        return;
      case Kind::kComma:  // not part of a numeral: it separates
        ++pos_;
        out() += ' ';
        return;
      case Kind::kSemicolon:
        pos_ += c.size;
        RowEnd();
        return;
      case Kind::kBackslash:
        Command();
        return;
      case Kind::kClose: {
        const size_t comma = ListCommaAfter(in_, pos_);
        if (comma == std::string_view::npos) {
          pos_ += c.size;
        } else {
          pos_ = comma + CharAt(in_, comma).size;
          RowEnd();
        }
        return;
      }
      case Kind::kOpen:
      case Kind::kDollar:
        pos_ += c.size;
        return;
      case Kind::kDigit:
        if (!started_ && was_letter && NameAndEquals()) return;
        Number();
        return;
      case Kind::kDot:
        if (CharAt(in_, pos_ + c.size).kind == Kind::kDigit) {
          Number();
          return;
        }
        break;
      case Kind::kMinus:
      case Kind::kSlash:
        pos_ += c.size;
        out() += c.kind == Kind::kMinus ? '-' : '/';
        return;
      case Kind::kPlus:
        if (previous != Kind::kDigit && NumberStartsAt(pos_ + c.size)) {
          pos_ += c.size;
          return;
        }
        break;
      case Kind::kSymbol:
        Refuse(ReadError::kUnknownCharacter, Typed(pos_));
        return;
      case Kind::kEquals:
      case Kind::kOther:
        break;
    }
    // Nothing explains this character: before the first number it is text
    // that the reader skips, after it a refusal.
    if (started_) {
      Refuse(ReadError::kUnknownCharacter, Typed(pos_));
      return;
    }
    pos_ += c.size;
  }

  // The end of the letters from p: a command's name after its backslash.
  size_t LettersEnd(size_t p) const {
    while (p < in_.size() && IsAsciiLetter(in_[p])) ++p;
    return p;
  }

  bool NumberStartsAt(size_t p) const {
    const Char c = CharAt(in_, p);
    if (c.kind == Kind::kDigit) return true;
    if (c.kind == Kind::kDot) return CharAt(in_, p + c.size).kind == Kind::kDigit;
    return c.kind == Kind::kBackslash && in_.substr(p + 1, 4) == "frac";
  }

  void NewRow() {
    if (started_) ++row_;
    col_ = 1;
    cell_blank_ = true;
    pending_col_ = 0;
    row_has_number_ = false;
    last_kind_ = Kind::kLF;
  }

  void LineEnd() {
    out() += "\r\n";
    NewRow();
  }

  // A row end other than a line end: one only after a number, and the
  // blanks and the one line end that follow it belong to it.
  void RowEnd() {
    if (row_has_number_) LineEnd();
    while (IsBlank(Here().kind)) pos_ += Here().size;
    const Kind next = Here().kind;
    if (next == Kind::kCR) pos_ += CharAt(in_, pos_ + 1).kind == Kind::kLF ? 2 : 1;
    if (next == Kind::kLF) ++pos_;
  }

  // Cells of a pasted table are separated by tabs; a cell holding nothing
  // before a later number on its line is an empty cell, which is refused
  // rather than closed up.
  void Tab() {
    if (cell_blank_ && pending_col_ == 0) pending_col_ = col_;
    ++col_;
    cell_blank_ = true;
    out() += ' ';
  }

  // "A = ...", "A1 = ...": a name and "=" before the first number. A name
  // without "=" stays text whose digits are read ("x1 2" is 1 2).
  bool NameAndEquals() {
    size_t p = pos_;
    while (p < in_.size() && (IsAsciiLetter(in_[p]) || (in_[p] >= '0' && in_[p] <= '9'))) ++p;
    while (CharAt(in_, p).kind == Kind::kBlank) p += CharAt(in_, p).size;
    if (CharAt(in_, p).kind != Kind::kEquals) return false;
    pos_ = p + CharAt(in_, p).size;
    return true;
  }

  // A number begins here: after an empty cell of the line it is refused.
  bool BeginNumber() {
    if (pending_col_ != 0) {
      Refuse(ReadError::kEmptyCell, "", pending_col_);
      return false;
    }
    started_ = true;
    row_has_number_ = true;
    last_kind_ = Kind::kDigit;  // a plus right after the number is no sign
    return true;
  }

  // Digits, full-width or not, with thousands commas and one decimal point.
  bool ReadNumeral(Numeral& n) {
    for (;;) {
      const Char c = Here();
      if (c.kind == Kind::kDigit) {
        n.digits += static_cast<char>('0' + c.digit);
        if (n.point) ++n.decimals;
      } else if (c.kind == Kind::kComma && !n.point && !lists_ && !n.digits.empty() &&
                 ThousandsFollow(pos_ + 1)) {
        // skipped: "1,500" is 1500
      } else if (c.kind == Kind::kDot && !n.point) {
        n.point = true;
      } else {
        break;
      }
      pos_ += c.size;
    }
    if (n.point && Here().kind == Kind::kDot) {
      Refuse(ReadError::kUnknownCharacter, Typed(pos_));
      return false;
    }
    return true;
  }

  bool ThousandsFollow(size_t p) const {
    for (int k = 0; k < 3; ++k) {
      const Char c = CharAt(in_, p);
      if (c.kind != Kind::kDigit) return false;
      p += c.size;
    }
    return CharAt(in_, p).kind != Kind::kDigit;
  }

  // An entry: a numeral, and a slash and a second numeral right after it.
  // Integers pass as typed; a decimal in either part makes the entry its
  // exact value.
  void Number() {
    if (!BeginNumber()) return;
    Numeral top;
    if (!ReadNumeral(top)) return;
    const Char c = Here();
    if (c.kind == Kind::kSlash) {
      const size_t after = pos_ + c.size;
      const Kind next = CharAt(in_, after).kind;
      if (next == Kind::kMinus) {
        Refuse(ReadError::kMinusInDenominator, "");
        return;
      }
      if (next == Kind::kBackslash) {  // "1/\frac{..}": a fraction over a fraction
        Refuse(ReadError::kUnknownCharacter, Typed(pos_));
        return;
      }
      if (NumberStartsAt(after)) {
        pos_ = after;
        Numeral bottom;
        if (!ReadNumeral(bottom)) return;
        if (Here().kind == Kind::kSlash) {
          Refuse(ReadError::kUnknownCharacter, Typed(pos_));
          return;
        }
        WriteEntry(top, &bottom);
        return;
      }
      if (top.point) {
        Refuse(ReadError::kUnknownCharacter, Typed(pos_));
        return;
      }
    }
    WriteEntry(top, nullptr);
  }

  void WriteEntry(const Numeral& top, const Numeral* bottom) {
    if (!top.point && (bottom == nullptr || !bottom->point)) {
      out() += top.digits;
      if (bottom != nullptr) out() += '/' + bottom->digits;
      return;
    }
    // top / bottom = T 10^-t / (B 10^-b) = T 10^b / (B 10^t)
    Integer num = ValueOf(top.digits);
    Integer den = PowerOfTen(top.decimals);
    if (bottom != nullptr) {
      num = num * PowerOfTen(bottom->decimals);
      den = den * ValueOf(bottom->digits);
    }
    if (den.IsZero()) {
      // A blank after it stores the zero denominator for the reader to refuse.
      num.AppendDecimal(out());
      out() += "/0 ";
      return;
    }
    const Integer g = Gcd(num, den);
    DivideExact(num, g).AppendDecimal(out());
    den = DivideExact(den, g);
    if (!den.IsOne()) {
      out() += '/';
      den.AppendDecimal(out());
    }
  }

  void SkipBlanks() {
    while (Here().kind == Kind::kBlank) pos_ += Here().size;
  }

  // A brace group {name}, skipped whole; false when none starts here.
  bool SkipGroup(std::string* name) {
    SkipBlanks();
    if (pos_ >= in_.size() || in_[pos_] != '{') return false;
    const size_t close = in_.find('}', pos_);
    if (close == std::string_view::npos) return false;
    if (name != nullptr) *name = std::string(in_.substr(pos_ + 1, close - pos_ - 1));
    pos_ = close + 1;
    return true;
  }

  void Command() {
    const size_t start = pos_;
    const char next = pos_ + 1 < in_.size() ? in_[pos_ + 1] : '\0';
    if (next == '\\') {
      pos_ += 2;
      if (Here().size == 1 && in_[pos_] == '*') ++pos_;
      if (pos_ < in_.size() && in_[pos_] == '[') {  // the spacing argument, "\\[2pt]"
        const size_t close = in_.find(']', pos_);
        if (close != std::string_view::npos) pos_ = close + 1;
      }
      RowEnd();
      return;
    }
    if (next != '\0' && std::string_view("{}[]()").find(next) != std::string_view::npos) {
      pos_ += 2;  // \{ \[ \( and their closings are brackets
      return;
    }
    if (next != '\0' && std::string_view(",;:! |").find(next) != std::string_view::npos) {
      pos_ += 2;
      out() += ' ';
      return;
    }
    size_t end = LettersEnd(pos_ + 1);
    const std::string_view name = in_.substr(pos_ + 1, end - pos_ - 1);
    pos_ = end;
    if (name == "begin" || name == "end") {
      std::string environment;
      if (SkipGroup(&environment) && name == "begin" &&
          (environment == "array" || environment == "tabular")) {
        SkipGroup(nullptr);  // the column layout, "{cc|c}"
      }
    } else if (name == "left" || name == "right") {
      SkipDelimiter();
    } else if (name == "hline" || name == "quad" || name == "qquad" || name == "displaystyle") {
      out() += ' ';
    } else if (name == "frac" || name == "dfrac" || name == "tfrac") {
      Fraction(in_.substr(start, end - start));
    } else {
      pos_ = start;
      const size_t length = name.empty() ? 1 + CharAt(in_, start + 1).size : end - start;
      Refuse(ReadError::kUnknownCommand, std::string(in_.substr(start, length)));
    }
  }

  // The delimiter after \left or \right; a bracket or a bar is left to the
  // main loop, which ignores it.
  void SkipDelimiter() {
    SkipBlanks();
    if (pos_ >= in_.size()) return;
    if (in_[pos_] == '.') {
      ++pos_;
      return;
    }
    if (in_[pos_] != '\\') return;
    static constexpr std::string_view kDelimiters[] = {
        "{",     "}",     "|",     "lbrace", "rbrace", "vert",   "Vert",  "lvert",
        "rvert", "lVert", "rVert", "langle", "rangle", "lbrack", "rbrack"};
    size_t end = LettersEnd(pos_ + 1);
    if (end == pos_ + 1 && end < in_.size()) ++end;  // a symbol: \{ \} \|
    for (std::string_view d : kDelimiters) {
      if (in_.substr(pos_ + 1, end - pos_ - 1) == d) {
        pos_ = end;
        return;
      }
    }
  }

  // \frac{p}{q}: a sign before p is the entry's, one before q is refused.
  void Fraction(std::string_view command) {
    if (!BeginNumber()) return;
    bool negative = false;
    Numeral top, bottom;
    if (!FractionPart(top, &negative) || !FractionPart(bottom, nullptr)) {
      Refuse(ReadError::kUnknownCommand, std::string(command));
      return;
    }
    if (negative) {
      // A minus typed before \frac and the one inside cancel.
      size_t k = out().size();
      while (k > 0 && out()[k - 1] == ' ') --k;
      if (k > 0 && out()[k - 1] == '-') {
        out().erase(k - 1, 1);
      } else {
        out() += '-';
      }
    }
    WriteEntry(top, &bottom);
  }

  // One brace group of \frac: blanks, a sign, a numeral, blanks.
  bool FractionPart(Numeral& n, bool* negative) {
    SkipBlanks();
    if (pos_ >= in_.size() || in_[pos_] != '{') return false;
    ++pos_;
    SkipBlanks();
    const Kind sign = Here().kind;
    if (sign == Kind::kMinus && negative == nullptr) {
      Refuse(ReadError::kMinusInDenominator, "");
      return false;
    }
    if (sign == Kind::kMinus || sign == Kind::kPlus) {
      if (sign == Kind::kMinus) *negative = true;
      pos_ += Here().size;
    }
    if (!NumberStartsAt(pos_) || Here().kind == Kind::kBackslash) return RefuseInside();
    if (!ReadNumeral(n)) return false;
    SkipBlanks();
    if (pos_ >= in_.size() || in_[pos_] != '}') return RefuseInside();
    ++pos_;
    return true;
  }

  // What stands inside a \frac instead of a number: named when it is a
  // command or a visible character, else the \frac itself is refused.
  bool RefuseInside() {
    if (pos_ >= in_.size() || in_[pos_] == '}' || static_cast<unsigned char>(in_[pos_]) <= ' ') {
      return false;
    }
    if (in_[pos_] == '\\') {
      const size_t end = LettersEnd(pos_ + 1);
      Refuse(ReadError::kUnknownCommand, std::string(in_.substr(pos_, end - pos_)));
    } else {
      Refuse(ReadError::kUnknownCharacter, Typed(pos_));
    }
    return false;
  }

  std::string_view in_;
  const bool lists_;
  size_t pos_ = 0;
  PreparedText result_;
  bool started_ = false;  // the first number has been read
  int row_ = 1;
  int col_ = 1;             // the tab-separated cell of the line
  bool cell_blank_ = true;  // the cell holds nothing but blanks so far
  int pending_col_ = 0;     // an empty cell of this line, 0 for none
  bool row_has_number_ = false;
  bool last_was_letter_ = false;
  Kind last_kind_ = Kind::kLF;
};

// Whether the text is in the plain syntax already, which the preparation
// would pass unchanged: digits, blanks, minus and slash, CR and CR LF, and
// no slash after a number that the preparation refuses ("1/-2", "1/2/3").
bool IsPlain(std::string_view text) {
  bool number = false;    // in the digits of a number
  bool fraction = false;  // the number has had its slash
  for (size_t p = 0; p < text.size(); ++p) {
    const char c = text[p];
    if (c >= '0' && c <= '9') {
      number = true;
      continue;
    }
    if (c == '/' && number) {
      if (fraction || (p + 1 < text.size() && text[p + 1] == '-')) return false;
      fraction = true;
      if (p + 1 < text.size() && text[p + 1] >= '0' && text[p + 1] <= '9') continue;
    } else if (c == '\n') {
      if (p == 0 || text[p - 1] != '\r') return false;
    } else if (c != ' ' && c != '-' && c != '/' && c != '\r') {
      return false;
    }
    number = false;
    fraction = false;
  }
  return true;
}

}  // namespace

PreparedText PrepareMatrixText(std::string_view text) {
  if (IsPlain(text)) return PreparedText{std::string(text), ReadResult()};
  return Preparer(text).Run();
}

}  // namespace calc
