#include "basicops_press.h"

#include "fraction.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式";
constexpr char kMsgWrongShape[] = "矩阵有误";

enum class Operation { kNone, kSubtract, kScalar, kAdd, kMultiply };

Operation ChosenOperation(const BasicOpsInput& input) {
  if (input.subtract) return Operation::kSubtract;
  if (input.scalar) return Operation::kScalar;
  if (input.add) return Operation::kAdd;
  if (input.multiply) return Operation::kMultiply;
  return Operation::kNone;
}

bool ShapesFit(Operation op, const FractionMatrix& a, const FractionMatrix& b) {
  switch (op) {
    case Operation::kAdd:
    case Operation::kSubtract:
      return a.rows == b.rows && a.cols == b.cols;
    case Operation::kMultiply:
      return a.cols == b.rows;
    default:
      return true;  // a number times a matrix of any shape
  }
}

}  // namespace

bool AddMatrices(FractionMatrix& a, const FractionMatrix& b, bool subtract) {
  for (int i = 1; i <= a.rows; ++i) {
    for (int j = 1; j <= a.cols; ++j) {
      // Cross-multiplied over the product of the denominators. Subtracting
      // here instead of negating b first keeps INT32_MIN exact.
      const Wide left = Wide{a.num[i][j]} * b.den[i][j];
      const Wide right = Wide{b.num[i][j]} * a.den[i][j];
      Wide n = subtract ? left - right : left + right;
      Wide d = Wide{a.den[i][j]} * b.den[i][j];
      if (d < Wide(0)) {  // the sum keeps its sign in the numerator
        n = -n;
        d = -d;
      }
      if (!StoreReduced(n, d, a.num[i][j], a.den[i][j])) return false;
    }
  }
  return true;
}

bool MultiplyByNumber(FractionMatrix& a, const FractionMatrix& b) {
  const int32_t factor_num = b.num[1][1];
  const int32_t factor_den = b.den[1][1];
  for (int i = 1; i <= a.rows; ++i) {
    for (int j = 1; j <= a.cols; ++j) {
      const Wide n = Wide{a.num[i][j]} * factor_num;
      const Wide d = Wide{a.den[i][j]} * factor_den;
      if (!StoreReduced(n, d, a.num[i][j], a.den[i][j])) return false;
    }
  }
  return true;
}

bool MultiplyMatrices(FractionMatrix& a, const FractionMatrix& b) {
  FractionMatrix product;
  product.Clear();
  for (int i = 1; i <= a.rows; ++i) {
    for (int j = 1; j <= b.cols; ++j) {
      // The running sum is reduced after every term. It is kept in 64 bits
      // so that a partial sum may leave the 32-bit range as long as the
      // finished entry comes back into it.
      int64_t sum_num = 0;
      int64_t sum_den = 1;
      for (int k = 1; k <= a.cols; ++k) {
        const Wide term_num = Wide{a.num[i][k]} * b.num[k][j];
        const Wide term_den = Wide{a.den[i][k]} * b.den[k][j];
        const Wide n = term_num * sum_den + term_den * sum_num;
        const Wide d = n == Wide(0) ? Wide(1) : term_den * sum_den;
        if (!ReduceWide(n, d, sum_num, sum_den)) return false;
      }
      if (!FitsInt32(sum_num) || !FitsInt32(sum_den)) return false;
      product.num[i][j] = static_cast<int32_t>(sum_num);
      product.den[i][j] = static_cast<int32_t>(sum_den);
    }
  }
  for (int i = 1; i <= a.rows; ++i) {
    for (int j = 1; j <= b.cols; ++j) {
      a.num[i][j] = product.num[i][j];
      a.den[i][j] = product.den[i][j];
    }
  }
  a.cols = b.cols;
  return true;
}

Box PressBasicOps(const BasicOpsInput& input) {
  const Operation op = ChosenOperation(input);
  if (op == Operation::kNone) return ErrorBox(kMsgChooseCalculation);

  FractionMatrix first;
  ReadError error = ReadMatrixText(input.first_text, first);
  if (error != ReadError::kNone) return ErrorBox(ReadErrorText(error));
  FractionMatrix second;
  error = ReadMatrixText(input.second_text, second);
  if (error != ReadError::kNone) return ErrorBox(ReadErrorText(error));

  if (!ShapesFit(op, first, second)) return ErrorBox(kMsgWrongShape);

  bool fits = false;
  switch (op) {
    case Operation::kSubtract:
      fits = AddMatrices(first, second, true);
      break;
    case Operation::kScalar:
      fits = MultiplyByNumber(first, second);
      break;
    case Operation::kAdd:
      fits = AddMatrices(first, second, false);
      break;
    case Operation::kMultiply:
      fits = MultiplyMatrices(first, second);
      break;
    case Operation::kNone:
      break;
  }
  if (!fits) return ErrorBox(kMsgOutOfRange);

  std::string text;
  FormatMatrixText(first, first.rows, first.cols, text);
  return ResultBox(std::move(text), Owner::kNone);
}

}  // namespace calc
