#include "latex_text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace calc {
namespace {

TEST(LatexText, WritesTablesAsMatricesAndTextWithItsSymbols) {
  const struct {
    const char* text;
    const char* latex;
  } cases[] = {
      {"1 -3/2 \n0 4 \n\n矩阵的秩为2",
       "\\[\n\\begin{pmatrix}\n1 & -\\frac{3}{2} \\\\\n0 & 4\n\\end{pmatrix}\n\\]\n\n"
       "矩阵的秩为2\\\\\n"},
      {"增广矩阵的行最简形:\n1 0 | -4\n0 1 | 9/2\n\nr(A) = 2, r(A|b) = 2",
       "增广矩阵的行最简形:\\\\\n\\[\n\\left(\\begin{array}{cc|c}\n1 & 0 & -4 \\\\\n"
       "0 & 1 & \\frac{9}{2}\n\\end{array}\\right)\n\\]\n\nr(A) = 2, r(A$|$b) = 2\\\\\n"},
      {"λ = (5 ± √33)/2 ≈ 5.37, ξ1 = (1, 0)^T, f = λ^2 - 5λ, 50% & a_1",
       "$\\lambda$ = (5 $\\pm$ $\\sqrt{33}$)/2 $\\approx$ 5.37, $\\xi$1 = (1, 0)$^{T}$, "
       "f = $\\lambda$$^{2}$ - 5$\\lambda$, 50\\% \\& a\\_1\\\\\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(LatexText(c.text), c.latex) << c.text;
}

std::string Utf8(const std::string& cp936) {
  iconv_t to = iconv_open("UTF-8", "GBK");
  std::string in = cp936, out(4 * in.size() + 4, '\0');
  char *from = in.data(), *into = out.data();
  size_t left = in.size(), room = out.size();
  iconv(to, &from, &left, &into, &room);
  iconv_close(to);
  out.resize(out.size() - room);
  return out;
}

// The LaTeX compiles with pdflatex and amsmath alone, where TeX is
// installed; the Chinese characters, which need a document set up for
// Chinese, are declared as placeholders.
TEST(LatexText, CompilesWithPdflatex) {
  if (std::system("command -v pdflatex >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdflatex";
  const std::string body = Utf8(
      LatexText("1 -3/2 \n0 4 \n\n矩阵的秩为2\n 1 0 | -1/3\n 0 12 | 1\n\n"
                "特征多项式 f(λ) = λ^2 - 5λ - 2\nλ = (5 ± √33)/2 ≈ 5.372281323, -0.3722813233\n"
                "  ξ1 = (1, 0, 0)^T\n通解 x = η + k1ξ1 (k1 为任意常数)\nA^-1 =\n秩(A) = 1 < n-1, "
                "伴随阵 = t·u·w^T\n50% & a_1 ~ \\ # {x}"));
  std::set<unsigned> wide;
  for (size_t i = 0; i < body.size();) {
    const auto b = static_cast<unsigned char>(body[i]);
    const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    unsigned code = length == 1 ? b : b & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k) code = code << 6 | (body[i + k] & 0x3F);
    if (code >= 0x80) wide.insert(code);
    i += length;
  }
  std::string document = "\\documentclass{article}\n\\usepackage{amsmath}\n";
  char declaration[64];
  for (unsigned code : wide) {
    std::snprintf(declaration, sizeof declaration, "\\DeclareUnicodeCharacter{%04X}{?}\n", code);
    document += declaration;
  }
  document += "\\begin{document}\n" + body + "\\end{document}\n";
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "latex-text-test";
  fs::create_directories(dir);
  std::ofstream(dir / "result.tex") << document;
  const std::string command = "cd '" + dir.string() +
                              "' && pdflatex -interaction=nonstopmode -halt-on-error result.tex "
                              ">result.out 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream log(dir / "result.out");
  const std::string output((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_EQ(status, 0) << output.substr(output.size() > 3000 ? output.size() - 3000 : 0);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace calc
