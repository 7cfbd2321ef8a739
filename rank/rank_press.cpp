#include "rank_press.h"

#include <memory>

#include "eigen.h"
#include "elimination.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式";
constexpr char kRankPrefix[] = "矩阵的秩为";
constexpr char kMsgNotSquare[] = "请输入方阵";

}  // namespace

int EliminateForRank(FractionMatrix& m) {
  // On fractions while the entries keep 32-bit parts, where that is
  // fastest.
  const std::unique_ptr<FractionMatrix> typed(new FractionMatrix(m));
  RowSet rows = RowsOf(m, m.rows, m.cols);
  EliminationOptions options;
  options.stop_beyond_32_bits = true;
  const EliminationResult done = Eliminate(rows, options);
  if (!done.stopped) return done.rank;

  // Beyond, the same elimination on the rows cleared of their denominators,
  // fraction-free, and back to the fractions it stands for.
  const std::unique_ptr<IntegerRows> cleared(new IntegerRows);
  Integer scale[kMaxOrder + 1];
  ClearDenominators(*typed, m.rows, m.cols, *cleared, scale);
  const FractionFreeResult result =
      EliminateFractionFree(*cleared, scale, m.cols, false, PivotRepair::kAddLowerRow);
  for (int i = 1; i <= m.rows; ++i) {
    for (int j = 1; j <= m.cols; ++j) {
      m(i, j) = i <= result.rank ? Reduced((*cleared)(i, j), scale[i] * result.row_divisor[i])
                                 : Fraction{};
    }
  }
  return result.rank;
}

Box PressRank(const RankInput& input) {
  if (!input.rank_chosen && !input.eigenvalues_chosen) return ErrorBox(kMsgChooseCalculation);
  FractionMatrix m;
  const ReadError error = ReadMatrixText(input.matrix_text, m);
  if (error != ReadError::kNone) return ErrorBox(ReadErrorText(error));
  if (!input.rank_chosen) {
    if (m.rows != m.cols) return ErrorBox(kMsgNotSquare);
    return ResultBox(EigenvalueText(m), Owner::kNone);
  }

  const int rank = EliminateForRank(m);
  // Rows the elimination did not touch are shown reduced too.
  for (int i = 1; i <= m.rows; ++i) {
    for (int j = 1; j <= m.cols; ++j) Reduce(m(i, j));
  }
  std::string text;
  FormatMatrixText(m, m.rows, m.cols, text);
  text += '\n';
  text += kRankPrefix;
  AppendDecimal(Integer(rank), text);
  return ResultBox(std::move(text), Owner::kNone);
}

}  // namespace calc
