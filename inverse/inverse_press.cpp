#include "inverse_press.h"

#include <memory>
#include <string_view>

#include "elimination.h"
#include "jordan_log.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式!";
constexpr char kMsgSingular[] = "该矩阵的值为0,不存在逆矩阵!";
constexpr char kCaptionSingular[] = "False !";
constexpr char kCaptionHelp[] = "Lumbranev1.3使用说明";

// Gauss-Jordan elimination of [A | I] on fractions, the fastest road while
// the values stay small: true, with the answer in result, when A is
// invertible and every entry kept 32-bit parts; false otherwise.
bool SmallInvertibleAnswer(const FractionMatrix& a, int n, bool invert, FractionMatrix& result) {
  struct Augmented {
    Fraction cells[kMaxOrder + 1][2 * kMaxOrder + 1];
  };
  const std::unique_ptr<Augmented> augmented(new Augmented);  // large: off the stack
  RowSet r;
  r.rows = n;
  r.cols = 2 * n;
  for (int i = 1; i <= n; ++i) {
    Fraction* row = augmented->cells[i];
    for (int j = 1; j <= n; ++j) {
      row[j] = a(i, j);
      row[n + j] = Fraction{Integer(i == j ? 1 : 0), Integer(1)};
    }
    r.row[i] = row;
  }
  EliminationOptions options;
  options.repair = PivotRepair::kExchangeRows;
  options.clear_above = true;
  options.pivot_cols = n;
  options.stop_beyond_32_bits = true;
  const EliminationResult done = Eliminate(r, options);
  if (done.stopped || done.rank < n) return false;
  // Row k of the left block is its pivot on the diagonal: A^-1 is the
  // right block with row k divided by it, and adj(A) = det(A) A^-1.
  Fraction det = DiagonalProduct(r, n);
  if (done.exchanges % 2 != 0) det = -det;
  for (int k = 1; k <= n; ++k) {
    const Fraction factor = (invert ? Fraction{Integer(1), Integer(1)} : det) / r(k, k);
    for (int j = 1; j <= n; ++j) result(k, j) = factor * r(k, n + j);
  }
  return true;
}

// [B | I], ready for EliminateAugmented.
void PrepareAugmented(const FractionMatrix& a, int n, JordanForm& form) {
  ClearDenominators(a, n, n, form.rows, form.scale);
  form.rows.cols = 2 * n;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) form.rows(i, n + j) = Integer(i == j ? 1 : 0);
  }
}

void EliminateAugmented(int n, JordanForm& form, const StepObserver& after_step = nullptr) {
  form.result =
      EliminateFractionFree(form.rows, form.scale, n, true, PivotRepair::kExchangeRows, after_step);
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

// The answers of an invertible A. The elimination leaves P det(B) B^-1 in
// the right block, P = +-1 by the row exchanges and det(B) = P * the last
// pivot p; A^-1 = B^-1 D, and adj(A) = det(A) A^-1 with det(A) = det(B) /
// (d_1 ... d_n). So A^-1 (i, j) = R(i, j) d_j / p and adj(A) (i, j) =
// P R(i, j) d_j / (d_1 ... d_n).
void InvertibleAnswer(const JordanForm& form, int n, bool invert, FractionMatrix& result) {
  Integer denominator = form.result.last_pivot;
  if (!invert) {
    denominator = Integer(1);
    for (int i = 1; i <= n; ++i) denominator = denominator * form.scale[i];
    if (form.result.odd_exchanges) denominator = -denominator;
  }
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j)
      result(i, j) = Reduced(form.rows(i, n + j) * form.scale[j], denominator);
  }
}

// The adjugate of a matrix of rank n - 1, which has rank one: it is
// t * u * w^T with A u = 0 and w^T A = 0, and t is fixed by one cofactor.
void SingularAdjugate(const FractionMatrix& a, int n, JordanForm& form, FractionMatrix& result) {
  IntegerRows& r = form.rows;
  // u: the column without a pivot is free (u_f = p); each pivot row k, its
  // pivot p in column c, gives u_c = -B'(k, f).
  int free_col = 1;
  for (int k = 1; k < n && form.result.pivot_col[k] == free_col; ++k) ++free_col;
  Integer u[kMaxOrder + 1];
  u[free_col] = form.result.last_pivot;
  for (int k = 1; k < n; ++k) u[form.result.pivot_col[k]] = -r(k, free_col);
  // w: row n of the left block is 0, so row n of the right block, v, has
  // v^T B = 0, and w = D v has w^T A = v^T B = 0.
  Integer w[kMaxOrder + 1];
  for (int j = 1; j <= n; ++j) w[j] = r(n, n + j) * form.scale[j];
  int i = 1;
  while (w[i].IsZero()) ++i;
  // adj(A) (f, i) is the cofactor of entry (i, f); it equals t u_f w_i.
  Fraction cofactor = Minor(a, n, i, free_col);
  if ((i + free_col) % 2 != 0) cofactor = -cofactor;
  const Fraction t = cofactor / Fraction{u[free_col] * w[i], Integer(1)};
  for (int row = 1; row <= n; ++row) {
    for (int col = 1; col <= n; ++col) {
      result(row, col) = t * Fraction{u[row] * w[col], Integer(1)};
    }
  }
}

// Puts one line of the log: the words with the number between them, and
// CR LF.
void PutLine(TextWriter& out, std::string_view first, int number, std::string_view then) {
  out.Put(first);
  out.Put(Integer(number));
  out.Put(then);
  out.Put("\r\n");
}

// The end of Lumbrane's log, before the box's text: for an invertible A the
// division by the pivots, [E | A^-1], and for the adjugate det(A); for a
// singular A the zero row and, for the adjugate, how it is formed.
void FinishLog(JordanLog& steps, const JordanForm& form, int n, bool invert, std::string& log) {
  const FractionFreeResult& result = form.result;
  TextWriter out(log);
  if (steps.zero_row() != 0) {
    PutLine(out, "第", steps.zero_row(), "行左半全为0, det(A) = 0");
    if (invert) return;
    if (result.rank == n - 1) {
      PutLine(out, "秩(A) = ", result.rank,
              " = n-1, 伴随阵 = t·u·w^T (A·u = 0, w^T·A = 0, t为数):");
    } else {
      PutLine(out, "秩(A) = ", result.rank, " < n-1, 伴随阵 = 0:");
    }
    return;
  }
  out.Flush();
  steps.PutDivided();
  if (invert) {
    out.Put("A^-1 =\r\n");
    return;
  }
  // det(B) = +-p_n, and det(A) = det(B) / (s_1 ... s_n).
  Integer scales(1);
  for (int i = 1; i <= n; ++i) scales = scales * form.scale[i];
  out.Put("det(A) = ");
  out.Put(Reduced(result.odd_exchanges ? -result.last_pivot : result.last_pivot, scales));
  out.Put("\r\n伴随阵 = det(A)·A^-1:\r\n");
}

std::string ResultText(const FractionMatrix& result, int n) {
  std::string text;
  FormatMatrixText(result, n, n, text);
  return text;
}

// The box of one press whose choice was made and whose text was read; with
// a log, the steps are appended to it (the box's text is not).
Box AnswerBox(const FractionMatrix& a, int n, bool invert, std::string* log) {
  FractionMatrix result;
  if (log == nullptr && SmallInvertibleAnswer(a, n, invert, result))
    return ResultBox(ResultText(result, n), Owner::kNone);

  const std::unique_ptr<JordanForm> form(new JordanForm);  // large: kept off the stack
  PrepareAugmented(a, n, *form);
  if (log != nullptr) {
    JordanLog::Layout layout;
    layout.rows = n;
    layout.cols = 2 * n;
    layout.divider = n;
    layout.scaled_right = true;
    layout.stop_at_zero_left = true;
    // It keeps the last block written (up to 20 x 40 fractions): off the stack.
    const std::unique_ptr<JordanLog> steps(new JordanLog(*form, layout, *log));
    EliminateAugmented(n, *form, [&steps](const Step& step) { steps->AfterStep(step); });
    FinishLog(*steps, *form, n, invert, *log);
  } else {
    EliminateAugmented(n, *form);
  }
  const int rank = form->result.rank;
  if (rank < n && invert) return Box{kMsgSingular, kCaptionSingular, Owner::kDialog};

  if (rank == n) {
    InvertibleAnswer(*form, n, invert, result);
  } else if (rank == n - 1) {
    SingularAdjugate(a, n, *form, result);
  }  // below rank n - 1 every minor of order n - 1 is 0

  return ResultBox(ResultText(result, n), Owner::kNone);
}

}  // namespace

LoggedOutcome PressInverse(const InverseInput& input) {
  LoggedOutcome outcome;
  if (!input.adjugate_chosen && !input.inverse_chosen) return Refused(kMsgChooseCalculation);

  FractionMatrix a;
  const ReadResult read = ReadMatrixText(input.matrix_text, a);
  if (!read.ok()) return Refused(ReadMessage(read));
  if (a.rows != a.cols) return Refused(kMsgNotSquare);
  const int n = a.rows;

  // The dialog's two radio buttons exclude each other; were both set, the
  // inverse would be computed.
  const bool invert = input.inverse_chosen;
  outcome.write_log = input.log_chosen;
  outcome.box = AnswerBox(a, n, invert, input.log_chosen ? &outcome.log : nullptr);
  if (outcome.write_log) AppendResultToLog(outcome.box.text, outcome.log);
  return outcome;
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
