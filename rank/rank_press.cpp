#include "rank_press.h"

#include "elimination.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式";
constexpr char kRankPrefix[] = "矩阵的秩为";

}  // namespace

int EliminateForRank(FractionMatrix& m) {
  RowSet rows = RowsOf(m, m.rows, m.cols);
  return Eliminate(rows, EliminationOptions{}).rank;
}

Box PressRank(const RankInput& input) {
  if (!input.rank_chosen) return ErrorBox(kMsgChooseCalculation);
  FractionMatrix m;
  const ReadError error = ReadMatrixText(input.matrix_text, m);
  if (error != ReadError::kNone) return ErrorBox(ReadErrorText(error));

  const int rank = EliminateForRank(m);
  // Rows the elimination did not touch are shown reduced too.
  for (int i = 1; i <= m.rows; ++i) {
    for (int j = 1; j <= m.cols; ++j) m(i, j) = Reduced(m(i, j));
  }
  std::string text;
  FormatMatrixText(m, m.rows, m.cols, text);
  text += '\n';
  text += kRankPrefix;
  AppendDecimal(Integer(rank), text);
  return ResultBox(std::move(text), Owner::kNone);
}

}  // namespace calc
