#include "rank_press.h"

#include "fraction.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式";
constexpr char kRankPrefix[] = "矩阵的秩为";

// Row k += row j over columns 1..cols. Used to repair a zero pivot: rows
// are never exchanged.
bool AddRow(FractionMatrix& m, int k, int j, int cols) {
  for (int y = 1; y <= cols; ++y) {
    const Wide n = Wide{m.num[j][y]} * m.den[k][y] + Wide{m.num[k][y]} * m.den[j][y];
    const Wide d = Wide{m.den[k][y]} * m.den[j][y];
    if (!StoreReduced(n, d, m.num[k][y], m.den[k][y])) return false;
  }
  return true;
}

// Row i -= (entry (i, c) / pivot (k, c)) * row k over columns 1..cols, every
// entry as one fraction over the common denominator.
bool EliminateRow(FractionMatrix& m, int k, int c, int i, int cols) {
  if (m.num[i][c] == 0) return true;  // nothing to clear; every entry would stay as it is
  // The factors common to the whole row, each exact in 64 bits, so that
  // every term below is one product of two 64-bit values.
  const int64_t keep = int64_t{m.num[k][c]} * m.den[i][c];
  const int64_t take = int64_t{m.den[k][c]} * m.num[i][c];
  for (int y = 1; y <= cols; ++y) {
    const Wide n = Wide{int64_t{m.den[k][y]} * m.num[i][y]} * keep -
                   Wide{int64_t{m.num[k][y]} * m.den[i][y]} * take;
    Wide d = Wide{int64_t{m.den[i][y]} * m.den[k][y]} * keep;
    if (n == 0) d = 1;
    if (!StoreReduced(n, d, m.num[i][y], m.den[i][y])) return false;
  }
  return true;
}

}  // namespace

bool EliminateForRank(FractionMatrix& m, int& rank) {
  const int rows = m.rows;
  const int cols = m.cols;
  int k = 1;  // pivot row: advances by one for each pivot found
  rank = 0;
  for (int c = 1; c <= cols && k <= rows; ++c) {
    if (m.num[k][c] == 0) {
      int j = k + 1;
      while (j <= rows && m.num[j][c] == 0) ++j;
      if (j > rows) continue;  // no pivot in this column: the pivot row stays
      if (!AddRow(m, k, j, cols)) return false;
    }
    for (int i = k + 1; i <= rows; ++i) {
      if (!EliminateRow(m, k, c, i, cols)) return false;
    }
    ++k;
    ++rank;
  }
  return true;
}

Box PressRank(const RankInput& input) {
  if (!input.rank_chosen) return ErrorBox(kMsgChooseCalculation);
  FractionMatrix m;
  const ReadError error = ReadMatrixText(input.matrix_text, m);
  if (error != ReadError::kNone) return ErrorBox(ReadErrorText(error));

  int rank = 0;
  if (!EliminateForRank(m, rank) || !MakeDenominatorsPositive(m, m.rows, m.cols)) {
    return ErrorBox(kMsgOutOfRange);
  }
  ReduceMatrix(m, m.rows, m.cols);
  std::string text;
  FormatMatrixText(m, m.rows, m.cols, text);
  text += '\n';
  text += kRankPrefix;
  AppendDecimal(rank, text);
  return ResultBox(std::move(text), Owner::kNone);
}

}  // namespace calc
