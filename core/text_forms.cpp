#include "text_forms.h"

namespace calc {

void AppendDecimal(const Integer& v, std::string& text) {
  v.AppendDecimal(text);
}

void AppendFraction(const Fraction& f, std::string& text) {
  if (f.num.IsZero()) {
    text += '0';
    return;
  }
  f.num.AppendDecimal(text);
  if (!f.den.IsOne()) {
    text += '/';
    f.den.AppendDecimal(text);
  }
}

void FormatMatrixText(const FractionMatrix& m, int rows, int cols, std::string& text) {
  text.reserve(text.size() + static_cast<size_t>(rows) * (cols * 4 + 1));
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) {
      AppendFraction(m(i, j), text);
      text += ' ';
    }
    text += '\n';
  }
}

}  // namespace calc
