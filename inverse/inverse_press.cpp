#include "inverse_press.h"

#include <memory>

#include "elimination.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式!";
constexpr char kMsgSingular[] = "该矩阵的值为0,不存在逆矩阵!";
constexpr char kCaptionSingular[] = "False !";
constexpr char kCaptionHelp[] = "Lumbranev1.3使用说明";

// Gauss-Jordan elimination of [A | I]: the left block becomes a reduced
// row echelon form R of A and the right block the row operations E that
// give it (E A = R).
struct JordanForm {
  Fraction cells[kMaxOrder + 1][2 * kMaxOrder + 1];
  RowSet rows;
  EliminationResult result;
};

void EliminateAugmented(const FractionMatrix& a, int n, JordanForm& form) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      form.cells[i][j] = a(i, j);
      form.cells[i][n + j] = Fraction{Integer(i == j ? 1 : 0), Integer(1)};
    }
    form.rows.row[i] = form.cells[i];
  }
  form.rows.rows = n;
  form.rows.cols = 2 * n;
  EliminationOptions options;
  options.repair = PivotRepair::kExchangeRows;
  options.clear_above = true;
  options.pivot_cols = n;
  form.result = Eliminate(form.rows, options);
}

// The determinant of A without row r and column c (a minor of order n - 1).
Fraction Minor(const FractionMatrix& a, int n, int r, int c) {
  FractionMatrix minor;
  for (int i = 1, to = 1; i <= n; ++i) {
    if (i == r) continue;
    for (int j = 1, col = 1; j <= n; ++j) {
      if (j != c) minor(to, col++) = a(i, j);
    }
    ++to;
  }
  return Determinant(minor, n - 1);
}

// The adjugate of a matrix of rank n - 1, which has rank one: it is
// t * u * v^T with A u = 0 and v^T A = 0, and t is fixed by one cofactor.
void SingularAdjugate(const FractionMatrix& a, int n, const JordanForm& form,
                      FractionMatrix& result) {
  const RowSet& r = form.rows;
  // u: the column without a pivot is free (u_f = 1); each pivot row k with
  // its pivot in column c gives u_c = -R(k, f) / R(k, c).
  int free_col = 1;
  for (int k = 1; k < n && form.result.pivot_col[k] == free_col; ++k) ++free_col;
  Fraction u[kMaxOrder + 1];
  u[free_col] = Fraction{Integer(1), Integer(1)};
  for (int k = 1; k < n; ++k) {
    const int c = form.result.pivot_col[k];
    u[c] = -(r(k, free_col) / r(k, c));
  }
  // v: the zero row n of R = E A, so row n of E.
  int i = 1;
  while (r(n, n + i).IsZero()) ++i;
  // adj(A)(f, i) is the cofactor of entry (i, f); it equals t * u_f * v_i.
  Fraction cofactor = Minor(a, n, i, free_col);
  if ((i + free_col) % 2 != 0) cofactor = -cofactor;
  const Fraction t = cofactor / r(n, n + i);
  for (int row = 1; row <= n; ++row) {
    const Fraction tu = t * u[row];
    for (int col = 1; col <= n; ++col) result(row, col) = tu * r(n, n + col);
  }
}

}  // namespace

Box PressInverse(const InverseInput& input) {
  if (!input.adjugate_chosen && !input.inverse_chosen) return ErrorBox(kMsgChooseCalculation);

  FractionMatrix a;
  const ReadError error = ReadMatrixText(input.matrix_text, a);
  if (error != ReadError::kNone) return ErrorBox(ReadErrorText(error));
  // The order is the row count; entries right of column n are ignored, and
  // those the text does not give are 0.
  const int n = a.rows;

  // The dialog's two radio buttons exclude each other; were both set, the
  // inverse would be computed.
  const bool invert = input.inverse_chosen;
  const std::unique_ptr<JordanForm> augmented(new JordanForm);  // large: kept off the stack
  JordanForm& form = *augmented;
  EliminateAugmented(a, n, form);
  const RowSet& r = form.rows;
  const int rank = form.result.rank;
  if (rank < n && invert) return Box{kMsgSingular, kCaptionSingular, Owner::kDialog};

  FractionMatrix result;
  if (rank == n) {
    // Row k of R is its pivot d_k on the diagonal, so A^-1 is E with row k
    // divided by d_k, and adj(A) = det(A) A^-1.
    Fraction det = DiagonalProduct(r, n);
    if (form.result.exchanges % 2 != 0) det = -det;
    for (int k = 1; k <= n; ++k) {
      const Fraction factor = (invert ? Fraction{Integer(1), Integer(1)} : det) / r(k, k);
      for (int j = 1; j <= n; ++j) result(k, j) = factor * r(k, n + j);
    }
  } else if (rank == n - 1) {
    SingularAdjugate(a, n, form, result);
  }  // below rank n - 1 every minor of order n - 1 is 0

  std::string text;
  FormatMatrixText(result, n, n, text);
  return ResultBox(std::move(text), Owner::kNone);
}

Box LumbraneHelpBox() {
  std::string text;
  text += "Lumbranev1.3是一款可以对矩阵的逆进行计算的免费程序,\n";
  text += "本程序引入了分数算法,可以对分数元素计算并得出分数结果。\n";
  text += "\n";
  text += "使用方法:\n";
  text += "\n";
  text += "   ①在编辑框中输入矩阵,整数原样输入,小数按分数的形\n";
  text += "   式输入(例如:3.14应输入314/100)，每个元素间用空格分开。\n";
  text += "\n";
  text += "    如有疑问,请到此留言";
  text += kQuestionsAddress;
  text += "\n";
  text += "\n";
  text += std::string(37, ' ');
  text += "Program by Morrowfen";
  return Box{std::move(text), kCaptionHelp, Owner::kNone};
}

}  // namespace calc
