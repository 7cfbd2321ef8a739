#include "text_forms.h"

namespace calc {

void AppendDecimal(int64_t v, std::string& text) {
  char digits[24];
  int n = 0;
  // Work on the negative magnitude so INT64_MIN needs no special case.
  int64_t rest = v < 0 ? v : -v;
  do {
    digits[n++] = static_cast<char>('0' - rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (v < 0) text += '-';
  while (n > 0) text += digits[--n];
}

void FormatFractionEntry(int32_t num, int32_t den, std::string& text) {
  if (num == 0) {
    text += "0 ";
    return;
  }
  AppendDecimal(num, text);
  if (den != 1) {
    text += '/';
    AppendDecimal(den, text);
  }
  text += ' ';
}

void FormatMatrixText(const FractionMatrix& m, int rows, int cols, std::string& text) {
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) FormatFractionEntry(m.num[i][j], m.den[i][j], text);
    text += '\n';
  }
}

}  // namespace calc
