#include "basicops_press.h"

#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式";
constexpr char kMsgWrongShape[] = "矩阵有误";
constexpr char kMsgOneNumber[] = "数乘时请在矩阵2中只输入一个数";

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

void AddMatrices(FractionMatrix& a, const FractionMatrix& b, bool subtract) {
  for (int i = 1; i <= a.rows; ++i) {
    for (int j = 1; j <= a.cols; ++j) a(i, j) = subtract ? a(i, j) - b(i, j) : a(i, j) + b(i, j);
  }
}

void MultiplyByNumber(FractionMatrix& a, const FractionMatrix& b) {
  for (int i = 1; i <= a.rows; ++i) {
    for (int j = 1; j <= a.cols; ++j) a(i, j) = a(i, j) * b(1, 1);
  }
}

void MultiplyMatrices(FractionMatrix& a, const FractionMatrix& b) {
  // Each entry's terms over one common denominator: row i of a over the
  // lcm of its denominators, column j of b over the lcm of its own, so the
  // sum is one of integers and is reduced once.
  const int n = a.rows, inner = a.cols, m = b.cols;
  Integer row_den[kMaxOrder + 1], col_den[kMaxOrder + 1];
  Integer left[kMaxOrder + 1][kMaxOrder + 1], right[kMaxOrder + 1][kMaxOrder + 1];
  for (int i = 1; i <= n; ++i) {
    row_den[i] = 1;
    for (int k = 1; k <= inner; ++k) row_den[i] = Lcm(row_den[i], a(i, k).den);
    for (int k = 1; k <= inner; ++k) {
      left[i][k] = a(i, k).num * DivideExact(row_den[i], a(i, k).den);
    }
  }
  for (int j = 1; j <= m; ++j) {
    col_den[j] = 1;
    for (int k = 1; k <= inner; ++k) col_den[j] = Lcm(col_den[j], b(k, j).den);
    for (int k = 1; k <= inner; ++k) {
      right[k][j] = b(k, j).num * DivideExact(col_den[j], b(k, j).den);
    }
  }
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= m; ++j) {
      Integer sum;
      for (int k = 1; k <= inner; ++k) sum = sum + left[i][k] * right[k][j];
      a(i, j) = Reduced(std::move(sum), row_den[i] * col_den[j]);
    }
  }
  a.cols = m;
}

Box PressBasicOps(const BasicOpsInput& input) {
  const Operation op = ChosenOperation(input);
  if (op == Operation::kNone) return ErrorBox(kMsgChooseCalculation);

  FractionMatrix first;
  ReadResult read = ReadMatrixText(input.first_text, first);
  if (!read.ok()) return ErrorBox(ReadMessage(read));
  FractionMatrix second;
  read = ReadMatrixText(input.second_text, second);
  if (!read.ok()) return ErrorBox(ReadMessage(read));

  // A whole matrix as the multiplier would be read as its first entry.
  if (op == Operation::kScalar && (second.rows != 1 || second.cols != 1)) {
    return ErrorBox(kMsgOneNumber);
  }
  if (!ShapesFit(op, first, second)) return ErrorBox(kMsgWrongShape);

  switch (op) {
    case Operation::kSubtract:
      AddMatrices(first, second, true);
      break;
    case Operation::kScalar:
      MultiplyByNumber(first, second);
      break;
    case Operation::kAdd:
      AddMatrices(first, second, false);
      break;
    case Operation::kMultiply:
      MultiplyMatrices(first, second);
      break;
    case Operation::kNone:
      break;
  }

  std::string text;
  FormatMatrixText(first, first.rows, first.cols, text);
  return ResultBox(std::move(text), Owner::kNone);
}

}  // namespace calc
