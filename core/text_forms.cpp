#include "text_forms.h"

namespace calc {

void TextWriter::Put(std::string_view s) {
  if (s.size() > sizeof buffer_) {
    Flush();
    text_.append(s);
    return;
  }
  MakeRoom(s.size());
  s.copy(buffer_ + used_, s.size());
  used_ += s.size();
}

void TextWriter::Repeat(size_t start, size_t length) {
  if (length > sizeof buffer_) {
    Flush();
    text_.append(text_, start, length);
    return;
  }
  // Flushing first keeps the bytes where they are read from.
  MakeRoom(length);
  text_.copy(buffer_ + used_, length, start);
  used_ += length;
}

void TextWriter::PutBig(const Integer& v) {
  Flush();
  v.AppendDecimal(text_);
}

void AppendDecimal(const Integer& v, std::string& text) {
  v.AppendDecimal(text);
}

void AppendFraction(const Fraction& f, std::string& text) {
  TextWriter(text).Put(f);
}

void FormatMatrixText(const FractionMatrix& m, int rows, int cols, std::string& text) {
  text.reserve(text.size() + static_cast<size_t>(rows) * (cols * 4 + 1));
  TextWriter out(text);
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) {
      out.Put(m(i, j));
      out.Put(' ');
    }
    out.Put('\n');
  }
}

}  // namespace calc
