#include "determinant_press.h"

#include "elimination.h"
#include "matrix_reader.h"
#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kResultPrefix[] = "行列式的值为 ";
constexpr char kHelpCaption[] = "Zelcombev1.3使用说明";

// Makes room in the log for the steps still to come, forecast from the
// first two: the k-th step after step 2 as long as step 2 plus k times the
// growth from step 1 to step 2 (entries lengthen by about as much at each
// step while they grow; no growth when the steps get shorter). A large log
// then takes one allocation instead of a dozen doublings, each of which
// copies the whole log so far into fresh memory.
void ReserveForLaterSteps(size_t first, size_t second, int later_steps, std::string& log) {
  const size_t count = later_steps > 0 ? static_cast<size_t>(later_steps) : 0;
  const size_t growth = second > first ? second - first : 0;
  log.reserve(log.size() + count * second + growth * count * (count + 1) / 2);
}

}  // namespace

void WriteStepHeader(int step, int n, std::string& log) {
  AppendEliminationHeader(step, step + 1, n, log);
}

void WriteMatrixToLog(const RowSet& rows, int n, std::string& log) {
  RowSet square = rows;
  square.rows = square.cols = n;
  AppendLogBlock(square, 0, log);
}

std::string DeterminantResultText(const Fraction& value) {
  std::string text = kResultPrefix;
  AppendFraction(value, text);
  return text;
}

Fraction CalculateDeterminant(FractionMatrix& m, int n, std::string* log) {
  RowSet rows = RowsOf(m, n, n);
  EliminationOptions options;
  options.walk = PivotWalk::kDiagonal;
  // The log shows every row below the pivot as the step leaves it.
  options.zero_multiplier_row = ZeroMultiplierRow::kReduce;
  StepObserver write_step;
  size_t first_step_length = 0;
  if (log != nullptr) {
    write_step = [&](const Step& done) {
      const int step = done.row;
      const size_t start = log->size();
      WriteStepHeader(step, n, *log);
      WriteMatrixToLog(rows, n, *log);
      if (step == 1) first_step_length = log->size() - start;
      if (step == 2) ReserveForLaterSteps(first_step_length, log->size() - start, n - 3, *log);
    };
  }
  Eliminate(rows, options, write_step);
  return DiagonalProduct(rows, n);
}

LoggedOutcome PressDeterminant(const DeterminantInput& input) {
  LoggedOutcome outcome;
  FractionMatrix m;
  const ReadResult read = ReadMatrixText(input.matrix_text, m);
  if (!read.ok()) return Refused(ReadMessage(read));
  if (m.rows != m.cols) return Refused(kMsgNotSquare);

  const int n = m.rows;
  std::string* log = input.log_chosen ? &outcome.log : nullptr;
  outcome.write_log = input.log_chosen;
  // Without the log only the value is shown, and any road to it will do.
  std::string text =
      DeterminantResultText(log != nullptr ? CalculateDeterminant(m, n, log) : Determinant(m, n));
  if (log != nullptr) *log += text;
  outcome.box = ResultBox(std::move(text), Owner::kDialog);
  return outcome;
}

Box ZelcombeHelpBox() {
  std::string text =
      "Zelcombev1.3是一款可以对行列式的值进行计算的免费程序,\n"
      "本程序引入了分数算法,可以对分数元素计算并得出分数结果。\n"
      "\n"
      "使用方法:\n"
      "\n"
      "   ①在编辑框中输入行列式,整数原样输入,小数按分数的形\n"
      "   式输入(例如:3.14应输入314/100)，每个元素间用空格分开。\n"
      "\n"
      "    如有疑问,请到此留言";
  text += kQuestionsAddress;
  text += "\n\n";
  return Box{std::move(text), kHelpCaption, Owner::kNone};
}

}  // namespace calc
