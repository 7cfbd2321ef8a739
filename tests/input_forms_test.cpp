#include "input_forms.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "matrix_reader.h"
#include "text_forms.h"

namespace calc {

void PrintTo(const ReadResult& r, std::ostream* os) {
  *os << "error " << static_cast<int>(r.error) << " row " << r.row << " col " << r.col << " \""
      << r.what << "\"";
}

namespace {

// The matrix a text stands for, as a result box shows it, with its shape.
std::string Reading(const std::string& text) {
  FractionMatrix m;
  const ReadResult read = ReadMatrixText(text, m);
  if (!read.ok()) return "refused: " + ReadMessage(read);
  std::string shown = std::to_string(m.rows) + "x" + std::to_string(m.cols) + "\n";
  FormatMatrixText(m, m.rows, m.cols, shown);
  return shown;
}

struct FormCase {
  const char* typed;
  const char* plain;  // the plain text it must read as
};

TEST(PrepareMatrixText, ReadsEveryFormAsThePlainTextItStandsFor) {
  // Each form on typical input; the differential test writes random
  // matrices in the forms of whole programs (tables, MATLAB, lists,
  // LaTeX, full-width, decimals, thousands separators) and reads them back.
  const FormCase cases[] = {
      // Blanks.
      {"1\t2\t3\r\n4\t5\t6\r\n7\t8\t10\r\n", "1 2 3\r\n4 5 6\r\n7 8 10"},
      {"1\t2\t\r\n3\t4\t\r\n", "1 2\r\n3 4"},  // a tab at each row's end
      {"1　2", "1 2"},
      {"1，2，3、4", "1 2 3 4"},
      {"1 2 | 3\r\n4 5 | 6", "1 2 3\r\n4 5 6"},
      {"+3 ＋4 -+5 1/+2", "3 4 -5 1/2"},
      // Row ends.
      {"1 2\n3 4", "1 2\r\n3 4"},
      {"[1, 2;\r\n 3, 4]", "1 2\r\n3 4"},
      {"[1 2;;3 4;]", "1 2\r\n3 4"},
      {"1 2\r\n;3 4", "1 2\r\n3 4"},
      {"1 2；3 4", "1 2\r\n3 4"},
      {"array([[1, 2],\n       [3, 4]])", "1 2\r\n3 4"},
      {"1 & 2 \\\\\r\n3 & 4 \\\\", "1 2\r\n3 4"},
      // The comma.
      {"1,2,3 1,5000 1,50", "1 2 3 1 5000 1 50"},
      {"[[1,234],[5,678]]", "1 234\r\n5 678"},  // in lists every comma separates
      {"{{1,234}}", "1 234"},
      // Full-width forms and the en dash.
      {"１　２\r\n－３／４ ５．５", "1 2\r\n-3/4 11/2"},
      {"–2 1", "-2 1"},
      // Decimals, exactly.
      {"0.5 -1.25 .5 3.", "1/2 -5/4 1/2 3"},
      {"1.5/2 1/0.5 1./4 0.0", "3/4 2 1/4 0"},
      {"0.000000000931322574615478515625", "1/1073741824"},
      {"-2147483648.0 0.25", "-2147483648 1/4"},
      // LaTeX.
      {"\\left(\\begin{array}{cc|c} 1 & 2 & 3 \\\\[2pt] \\hline 4 & 5 & 6\r\n\\end{array}\\right)",
       "1 2 3\r\n4 5 6"},
      {"$\\frac{1}{2}\\,-\\dfrac{3}{4}\\quad\\tfrac{-5}{6} -\\frac{-1}{2} \\frac{ 1.5 }{2}$",
       "1/2 -3/4 -5/6 1/2 3/4"},
      {"\\left| \\begin{matrix} 1 & 0 \\\\ 0 & 1 \\end{matrix} \\right|", "1 0\r\n0 1"},
      {"\\left\\{ 1 \\right.", "1"},
      // A name, and text before the first number.
      {"A = [1 2; 3 4]", "1 2\r\n3 4"},
      {"A1 = 5", "5"},
      {"矩阵A＝（1 2；3 4）", "1 2\r\n3 4"},
      // The quirks of the plain syntax stay.
      {"5-3 1", "47 1"},
      {"x1 2\r\n3 4", "1 2\r\n3 4"},
  };
  for (const FormCase& c : cases) {
    EXPECT_EQ(Reading(c.typed), Reading(c.plain)) << c.typed;
    EXPECT_EQ(Reading(c.typed).rfind("refused", 0), std::string::npos) << c.typed;
  }
}

TEST(PrepareMatrixText, RefusesWhatNoFormExplains) {
  const struct {
    const char* typed;
    ReadResult refusal;
  } cases[] = {
      {"3 x", {ReadError::kUnknownCharacter, 1, 0, "x"}},
      {"1 2\r\n3 4 矩阵", {ReadError::kUnknownCharacter, 2, 0, "矩"}},
      {"[1 2; 3 * 4]", {ReadError::kUnknownCharacter, 2, 0, "*"}},
      {"1 2\r\n3 4\r\n1e5", {ReadError::kUnknownCharacter, 3, 0, "e"}},
      {"1+2", {ReadError::kUnknownCharacter, 1, 0, "+"}},
      {"1/2/3", {ReadError::kUnknownCharacter, 1, 0, "/"}},
      {"1.2.3", {ReadError::kUnknownCharacter, 1, 0, "."}},
      {"1 . 2", {ReadError::kUnknownCharacter, 1, 0, "."}},
      {"1 2 =", {ReadError::kUnknownCharacter, 1, 0, "="}},
      {"1\x01", {ReadError::kUnknownCharacter, 1, 0, "0x01"}},
      {"x_{1} 2", {ReadError::kUnknownCharacter, 1, 0, "_"}},
      {"array([[1, 2]], dtype=int32)", {ReadError::kUnknownCharacter, 2, 0, "d"}},
      {"\\sqrt{2} 1", {ReadError::kUnknownCommand, 1, 0, "\\sqrt"}},
      {"1 & 2 \\\\ \\vdots & 3", {ReadError::kUnknownCommand, 2, 0, "\\vdots"}},
      {"\\frac{\\pi}{2}", {ReadError::kUnknownCommand, 1, 0, "\\pi"}},
      {"\\frac{a}{2}", {ReadError::kUnknownCharacter, 1, 0, "a"}},
      {"\\frac12", {ReadError::kUnknownCommand, 1, 0, "\\frac"}},
      {"1/\\frac{1}{2}", {ReadError::kUnknownCharacter, 1, 0, "/"}},
      {"1 2\\", {ReadError::kUnknownCommand, 1, 0, "\\"}},
      {"1/-2", {ReadError::kMinusInDenominator, 1, 0, ""}},
      {"\\frac{1}{-2}", {ReadError::kMinusInDenominator, 1, 0, ""}},
      {"1\t\t3", {ReadError::kEmptyCell, 1, 2, ""}},
      {"1\t2\r\n\t4", {ReadError::kEmptyCell, 2, 1, ""}},
      {"1\t2\r\n3 \t \t4", {ReadError::kEmptyCell, 2, 2, ""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PrepareMatrixText(c.typed).refusal, c.refusal) << c.typed;
  }
}

// (The messages of an unknown character and of a long row are in the
// presses' tables.)
TEST(ReadMessage, NamesThePlaceAndTheCharacter) {
  EXPECT_EQ(ReadMessage({ReadError::kUnknownCommand, 1, 0, "\\sqrt"}),
            "无法识别第1行的命令“\\sqrt”");
  EXPECT_EQ(ReadMessage({ReadError::kMinusInDenominator, 3, 0, ""}), "第3行: 负号请写在分子前");
  EXPECT_EQ(ReadMessage({ReadError::kEmptyCell, 2, 3, ""}), "第2行第3列为空, 请填入数值");
}

}  // namespace
}  // namespace calc
