#include "rank_press.h"

#include <memory>

#include "eigen.h"
#include "elimination.h"
#include "linear_system.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kMsgChooseCalculation[] = "请选择计算方式";
constexpr char kMsgNoUnknowns[] = "增广矩阵[A | b]只有一列, 没有未知量";
constexpr char kRankPrefix[] = "矩阵的秩为";

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

int EliminateForRankWithLog(FractionMatrix& m, std::string& log) {
  // Typed entries are shown reduced from the start, as every step leaves
  // the entries it writes.
  for (int i = 1; i <= m.rows; ++i) {
    for (int j = 1; j <= m.cols; ++j) Reduce(m(i, j));
  }
  RowSet rows = RowsOf(m, m.rows, m.cols);
  AppendOriginalMatrix(rows, 0, log);
  // The last block written: the pivot column's entries before a step.
  const std::unique_ptr<FractionMatrix> before(new FractionMatrix(m));
  const auto write_step = [&](const Step& step) {
    // A pivot in the last row has nothing left to clear.
    if (step.row == rows.rows) return;
    if (!step.found) return AppendSkippedColumn(step.col, log);
    if (step.repaired_from != 0) {
      TextWriter out(log);
      out.Put("第");
      out.Put(Integer(step.repaired_from));
      out.Put("行加到第");
      out.Put(Integer(step.row));
      out.Put("行:\r\n");
    }
    AppendEliminationHeader(step.row, step.row + 1, rows.rows, log);
    // The rows below are as before the step; the pivot row as repaired.
    Fraction column[kMaxOrder + 1];
    for (int i = 1; i <= rows.rows; ++i) column[i] = (*before)(i, step.col);
    column[step.row] = rows(step.row, step.col);
    AppendRowOperations(column, rows.rows, step.row, false, log);
    AppendLogBlock(rows, 0, log);
    for (int i = 1; i <= rows.rows; ++i) {
      for (int j = 1; j <= rows.cols; ++j) (*before)(i, j) = rows(i, j);
    }
  };
  return Eliminate(rows, EliminationOptions(), write_step).rank;
}

LoggedOutcome PressRank(const RankInput& input) {
  LoggedOutcome outcome;
  if (!input.rank_chosen && !input.eigenvalues_chosen && !input.solve_chosen) {
    return Refused(kMsgChooseCalculation);
  }
  FractionMatrix m;
  const ReadResult read = ReadMatrixText(input.matrix_text, m);
  if (!read.ok()) return Refused(ReadMessage(read));
  if (input.solve_chosen) {
    if (m.cols < 2) return Refused(kMsgNoUnknowns);
    outcome.write_log = input.log_chosen;
    const LinearSystem system = SolveLinearSystem(m, input.log_chosen ? &outcome.log : nullptr);
    outcome.box = ResultBox(LinearSystemText(system), Owner::kNone);
    if (outcome.write_log) AppendResultToLog(outcome.box.text, outcome.log);
    return outcome;
  }
  if (!input.rank_chosen) {
    if (m.rows != m.cols) return Refused(kMsgNotSquare);
    outcome.box = ResultBox(EigenvalueText(m), Owner::kNone);
    outcome.write_log = input.log_chosen;
    if (outcome.write_log) AppendResultToLog(outcome.box.text, outcome.log);
    return outcome;
  }

  outcome.write_log = input.log_chosen;
  const int rank = input.log_chosen ? EliminateForRankWithLog(m, outcome.log) : EliminateForRank(m);
  // Rows the elimination did not touch are shown reduced too.
  for (int i = 1; i <= m.rows; ++i) {
    for (int j = 1; j <= m.cols; ++j) Reduce(m(i, j));
  }
  std::string text;
  FormatMatrixText(m, m.rows, m.cols, text);
  text += '\n';
  text += kRankPrefix;
  AppendDecimal(Integer(rank), text);
  outcome.box = ResultBox(std::move(text), Owner::kNone);
  if (outcome.write_log) {
    AppendLogLine("行阶梯形:", outcome.log);
    AppendResultToLog(outcome.box.text, outcome.log);
  }
  return outcome;
}

}  // namespace calc
