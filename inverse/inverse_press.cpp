#include "inverse_press.h"

#include "cofactor.h"
#include "fraction.h"
#include "fraction_free.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式!";
constexpr char kMsgSingular[] = "该矩阵的值为0,不存在逆矩阵!";
constexpr char kCaptionSingular[] = "False !";
constexpr char kCaptionHelp[] = "Lumbranev1.3使用说明";

void ExchangeRows(FractionMatrix& m, int a, int b, int n) {
  for (int j = 1; j <= n; ++j) {
    const int32_t num = m.num[a][j];
    const int32_t den = m.den[a][j];
    m.num[a][j] = m.num[b][j];
    m.den[a][j] = m.den[b][j];
    m.num[b][j] = num;
    m.den[b][j] = den;
  }
}

enum class Outcome { kDone, kSingular, kOverflow };

// The adjugate from the cofactors and, for the inverse, the determinant by
// elimination with row exchanges. The adjugate alone does not need the
// determinant, so a determinant beyond 32 bits does not stop it.
Outcome ByCofactors(const FractionMatrix& source, int n, bool invert, FractionMatrix& result) {
  int32_t det_num = 1;
  int32_t det_den = 1;
  if (invert) {
    FractionMatrix work = source;
    if (!EvaluateDeterminant(work, n, det_num, det_den)) return Outcome::kOverflow;
    if (det_num == 0) return Outcome::kSingular;
  }
  if (!EvaluateAdjugate(source, n, result)) return Outcome::kOverflow;
  if (!invert) return Outcome::kDone;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      const Wide num = Wide{result.num[i][j]} * det_den;
      const Wide den = Wide{result.den[i][j]} * det_num;
      if (!StoreExact(num, den, result.num[i][j], result.den[i][j])) return Outcome::kOverflow;
    }
  }
  return Outcome::kDone;
}

// The same answers by fraction-free elimination, for matrices whose
// cofactor eliminations leave the 32-bit range. It reaches the adjugate of
// an invertible matrix only; a singular one still counts as out of range.
Outcome ByFractionFreeElimination(const FractionMatrix& source, int n, bool invert,
                                  FractionMatrix& result) {
  FractionFreeForm form;
  if (!FractionFreeSolve(source, n, true, form)) return Outcome::kOverflow;
  if (form.singular) return invert ? Outcome::kSingular : Outcome::kOverflow;
  const Wide det = form.sign < 0 ? -form.pivot_product : form.pivot_product;
  int32_t det_num = 0;
  int32_t det_den = 1;
  if (invert && !StoreExact(det, form.scale, det_num, det_den)) return Outcome::kOverflow;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      const bool stored = invert
                              ? StoreExact(form.scaled[i][j], form.pivot_product, result.num[i][j],
                                           result.den[i][j])
                              : StoreExact(form.sign < 0 ? -form.scaled[i][j] : form.scaled[i][j],
                                           form.scale, result.num[i][j], result.den[i][j]);
      if (!stored) return Outcome::kOverflow;
    }
  }
  return Outcome::kDone;
}

}  // namespace

bool EvaluateDeterminant(FractionMatrix& m, int n, int32_t& num, int32_t& den) {
  int exchanges = 0;
  for (int p = 1; p < n; ++p) {
    if (m.num[p][p] == 0) {
      int s = p + 1;
      while (s <= n && m.num[s][p] == 0) ++s;
      if (s > n) {
        // No pivot in this column: the rows from p on are dependent.
        num = 0;
        den = 1;
        return true;
      }
      ExchangeRows(m, p, s, n);
      ++exchanges;
    }
    for (int i = p + 1; i <= n; ++i) {
      if (!EliminateRowBelowPivot(m, p, i, n)) return false;
    }
  }
  int64_t product_num = 0;
  int64_t product_den = 1;
  if (!MultiplyDiagonal(m, n, product_num, product_den)) return false;
  if (exchanges % 2 != 0) product_num = -product_num;
  return StoreExact(product_num, product_den, num, den);
}

Box PressInverse(const InverseInput& input) {
  if (!input.adjugate_chosen && !input.inverse_chosen) return ErrorBox(kMsgChooseCalculation);

  FractionMatrix source;
  const ReadError error = ReadMatrixText(input.matrix_text, source);
  if (error != ReadError::kNone) return ErrorBox(ReadErrorText(error));
  // The order is the row count; entries right of column n are ignored, and
  // those the text does not give are 0.
  const int n = source.rows;

  // The dialog's two radio buttons exclude each other; were both set, the
  // inverse would be computed.
  const bool invert = input.inverse_chosen;
  FractionMatrix result;
  result.Clear();
  Outcome outcome = ByCofactors(source, n, invert, result);
  if (outcome == Outcome::kOverflow) {
    // Only the result is shown, so another exact method may still reach it.
    result.Clear();
    outcome = ByFractionFreeElimination(source, n, invert, result);
  }
  if (outcome == Outcome::kSingular) return Box{kMsgSingular, kCaptionSingular, Owner::kDialog};
  if (outcome == Outcome::kOverflow) return ErrorBox(kMsgOutOfRange);
  if (!MakeDenominatorsPositive(result, n, n)) return ErrorBox(kMsgOutOfRange);

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
