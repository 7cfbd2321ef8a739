// Eigenvalues of a square matrix of fractions, exactly: the characteristic
// polynomial, every eigenvalue with its algebraic multiplicity, a basis of
// the eigenspace of each rational eigenvalue and of each root of a quadratic
// factor, and whether the matrix can be diagonalised.
//
// The text (lines end with a line feed alone; the last line has none):
//
//   特征多项式 f(λ) = λ^3 - 7λ^2 + 16λ - 12 = (λ - 2)^2 (λ - 3)
//
//   λ1 = 2    代数重数 2  几何重数 1
//     ξ1 = (1, 0, 0)^T
//   λ2 = 3    代数重数 1  几何重数 1
//     ξ2 = (0, 0, 1)^T
//
//   不可对角化
//
//   特征多项式 f(λ) = λ^2 - 5λ - 2
//
//   λ = (5 ± √33)/2 ≈ 5.372281323, -0.3722813233    代数重数各 1  几何重数各 1
//     ξ1 = ((5 + √33)/4, 1)^T
//     另一个根的特征向量是以上向量的共轭 (√33 换为 -√33)
//
//   可对角化
//
// Three blocks separated by one empty line: the polynomial, the eigenvalues,
// the verdict. When the expanded and the factored form together are longer
// than kShortPolynomialLength bytes, the eigenvalues come first and the
// polynomial block last:
//
//   <eigenvalue lines>
//
//   可对角化 | 在复数域上可对角化 | 不可对角化
//
//   特征多项式 f(λ) = <expanded form>
//     = <factored form>            (only when there is a factored form)
//
// The polynomial f(λ) = det(λI - A), monic:
// - Expanded form: terms from the highest power down, zero terms left out,
//   "λ^k" for k > 1, "λ" for k = 1; a coefficient's sign is the term's
//   separator (" + ", " - "; a leading minus is "-" alone, never happens
//   for the monic first term), its magnitude written before the power: an
//   integer as is ("16λ"), a fraction in parentheses ("(5/2)λ^2"), 1
//   omitted before a power. The constant is a plain integer or fraction
//   ("- 12", "+ 1/3").
// - Factored form, after " = " on the same line (or "  = " on a line of its
//   own in the long layout), only when it differs from the expanded form:
//   factors separated by one blank, each with "^m" when its multiplicity m
//   is above 1: first the rational linear factors in ascending order of
//   their roots ("λ" for the root 0, "(λ - 2)", "(λ + 1/2)"), then the
//   irreducible quadratic factors ("(λ^2 - 5λ - 2)"), then the irreducible
//   factors of degree 3 and more ("(λ^3 - 3) (λ^3 - 2)^2"), by degree and
//   then by their coefficients from the top down: the complete
//   factorisation over Q, all factors monic and written like the expanded
//   form.
//
// Eigenvalue lines: the rational eigenvalues first, then the irrational and
// complex ones, grouped by their multiplicity (a quadratic's exact line and
// the decimal lines of other factors of the same multiplicity together):
// - Each rational eigenvalue, in ascending order, numbered λ1, λ2, ...:
//     "λ<k> = <value>    代数重数 <a>  几何重数 <g>"
//   the value an integer or a reduced fraction ("-1/2"), followed by one
//   line per basis vector of its eigenspace, the vectors numbered on across
//   all eigenvalues (ξ1, ξ2 for λ1; ξ3 for λ2; ...):
//     "  ξ<j> = (<e1>, <e2>, ..., <en>)^T"
//   entries coprime integers, the first non-zero one positive.
// - Each irreducible quadratic factor: its two roots exactly, then
//   certified decimals (below), then the multiplicity of each root:
//     real:    "λ = (5 ± √33)/2 ≈ 5.372281323, -0.3722813233    代数重数各 1"
//              (also "λ = 1 ± 2√3", "λ = ±√2/2", "λ = ±√6": the form
//               (p ± s√d)/q with gcd(p, s, q) = 1, q and s shown when not 1)
//     complex: "λ = 1/2 ± (√3/2)i ≈ 0.5000000000 ± 0.8660254038i    代数重数各 1"
//              (also "λ = ±i    代数重数各 1", "λ = ±2i", "λ = 1 ± (1/2)i", "λ = -1 ± (2√5)i",
//               "λ = ±(√3)i"; the real part is a reduced fraction, the
//               imaginary part in parentheses unless it is an integer)
//   then, after the multiplicity, "  几何重数各 g", and the eigenvectors of
//   the root with "+" (numbered on with the rational ones' vectors), one
//   line each, "  ξ<j> = (<e1>, ..., <en>)^T", each entry in the
//   eigenvalue's own form ("(3 + √33)/4", "-√33/4", "1 - (1/2)i",
//   "-(√2/2)i", "0"; the smallest common denominator of its two parts).
//   They are the basis a textbook writes: from the reduced row echelon form
//   of A - λI over Q(√d), one vector per free unknown, that unknown 1 and
//   the other free unknowns 0. Then one line saying that the other root's
//   vectors are their conjugates: "  另一个根的特征向量是以上向量的共轭
//   (√33 换为 -√33)" or "(i 换为 -i)".
//   The radicand's square factors are pulled out: the primes up to 3000
//   divided out, the cofactor tested for a perfect square; the value shown
//   is always exact. Complex roots whose parts are both rational ("±i",
//   "1 ± (1/2)i") get no decimal: it would add nothing to the exact value.
// - Every other root as a certified decimal, one line per real root or per
//   complex-conjugate pair:
//     "λ ≈ 1.324717957    代数重数 1"
//     "λ ≈ -0.6623589786 ± 0.5622795121i    代数重数各 1"
//   real roots before complex pairs of the same factor, each group in
//   ascending order of the real part.
// - One line "三次及以上不可约因式的根不列出特征向量" after the last
//   eigenvalue line, when a root is shown only as a decimal.
//
// Certified decimals: 10 significant digits; the true value lies strictly
// within one unit of the last digit shown. A magnitude from 1e-5 up to below
// 1e10 is written positionally ("5.372281323", "-0.00001234567890",
// "1234567890"), any other as a mantissa and a power of ten
// ("4.294967296×10^10", "-1.234567890×10^-12"). A complex pair a ± bi
// (b > 0, shown after "±") has 10 significant digits in each part, but no
// digit below the 20th significant digit of the larger part: a part that
// small rounds to 0 there, and a = 0 is written "±bi" ("±1.414213562i").
// The unit of the last digit of each part bounds that part's error. In the
// power form both parts share the larger part's power:
// "(1.234567890 ± 0.004567890123i)×10^12", or "±(1.234567890×10^12)i".
//
// The verdict: "可对角化" when the matrix is similar to a diagonal matrix
// over the real numbers (every eigenvalue real), "在复数域上可对角化" when
// it is over the complex numbers only, else "不可对角化".
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "eigenvalue_roots.h"
#include "fraction_matrix.h"
#include "quadratic_eigenspace.h"

namespace calc {

// A rational eigenvalue: its algebraic multiplicity and a basis of its
// eigenspace (coprime integers, the first non-zero entry positive; entries
// 1..n).
struct RationalEigenvalue {
  Fraction value;  // reduced
  int algebraic = 0;
  std::vector<std::vector<Integer>> basis;
};

// The two roots of an irreducible quadratic factor: the eigenspace of the
// root with "+" over Q(√radicand) (radicand < 0: complex roots), as
// QuadraticEigenvectors gives it; the other root's is its conjugate.
struct QuadraticEigenvalue {
  ZPoly factor;  // primitive, positive leading coefficient
  int part = 0;  // the part of the square-free decomposition it belongs to
  int algebraic = 0;
  Integer radicand;
  std::vector<std::vector<Surd>> basis;
};

// The roots of the factors of degree 3 and more of one multiplicity, as
// certified decimals (real roots, and complex pairs a ± bi).
struct DecimalRoots {
  int part = 0;  // as for QuadraticEigenvalue
  int algebraic = 0;
  std::vector<std::string> real, complex;
};

// Everything the text states, as values.
struct EigenAnalysis {
  int order = 0;
  ZPoly polynomial;  // the characteristic polynomial's primitive integer multiple
  // Its complete factorisation into irreducible factors over Q (primitive),
  // with their multiplicities, in the text's order: first the linear
  // factors of the rational eigenvalues (in their order), then the
  // quadratic factors (in theirs), then those of degree 3 and more.
  std::vector<std::pair<ZPoly, int>> factors;
  std::vector<RationalEigenvalue> rational;  // in ascending order
  std::vector<QuadraticEigenvalue> quadratic;
  std::vector<DecimalRoots> decimals;
  bool diagonalisable = true;
  bool complex = false;  // some eigenvalue is not real
};

// The analysis of the square matrix in rows and columns 1..a.rows of a.
EigenAnalysis AnalyseEigenvalues(const FractionMatrix& a);

// The text above, written from the analysis.
std::string EigenvalueText(const EigenAnalysis& e);

// Above this many bytes the polynomial line moves below the eigenvalues.
constexpr size_t kShortPolynomialLength = 160;

// The text above for the square matrix in rows and columns 1..a.rows of a
// (a.rows from 1 to 20; columns beyond a.rows are ignored): the text of its
// analysis.
std::string EigenvalueText(const FractionMatrix& a);

}  // namespace calc
