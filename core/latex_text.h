// A result as LaTeX, for "复制为 LaTeX": each number table (the lines
// AlignColumns aligns) becomes a matrix in display math, a pmatrix, or an
// array with a bar where the table has its " |" ([A | b], [A | E]); every
// number p/q becomes \frac{p}{q} there. Every other line stays text, with
// λ, ξ, η, √, ±, ≈, ·, powers (^2, ^T, ^-1) and the characters LaTeX
// reserves written as LaTeX writes them:
//
//   1 -3/2            \[
//   0 4          ->   \begin{pmatrix}
//                     1 & -\frac{3}{2} \\ (a row's end)
//   矩阵的秩为2        0 & 4
//                     \end{pmatrix}
//                     \]
//                     矩阵的秩为2\\ (a line's end)
//
// The text stays in code page 936, as the box's text is; the Chinese text
// needs a document that sets Chinese (ctex), the rest plain LaTeX with
// amsmath.
#pragma once

#include <string>
#include <string_view>

namespace calc {

std::string LatexText(std::string_view text);

}  // namespace calc
