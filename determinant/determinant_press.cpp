#include "determinant_press.h"

#include "fraction.h"
#include "fraction_free.h"
#include "matrix_reader.h"
#include "messages.h"
#include "process_log.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kResultPrefix[] = "行列式的值为 ";
constexpr char kHelpCaption[] = "Zelcombev1.3使用说明";

// Row p += row t over columns 1..n, each entry reduced. Repairs a zero
// pivot without exchanging rows, so the determinant keeps its value.
bool AddRowToPivotRow(FractionMatrix& m, int p, int t, int n) {
  for (int j = 1; j <= n; ++j) {
    const Wide sum = Wide{m.num[t][j]} * m.den[p][j] + Wide{m.num[p][j]} * m.den[t][j];
    const Wide den = Wide{m.den[p][j]} * m.den[t][j];
    if (!StoreReduced(sum, den, m.num[p][j], m.den[p][j])) return false;
  }
  return true;
}

// Row i -= (entry (i, p) / pivot (p, p)) * row p over all columns 1..n, each
// entry as one fraction over the product of the denominators, reduced, with
// its denominator made positive (so a zero entry is stored as 0/1). Rows
// whose multiplier is 0 are still rewritten: their entries come out reduced.
bool EliminateRow(FractionMatrix& m, int p, int i, int n) {
  // The factors common to the whole row, each exact in 64 bits, so that
  // every term below is one product of two 64-bit values.
  const int64_t keep = int64_t{m.num[p][p]} * m.den[i][p];
  const int64_t take = int64_t{m.den[p][p]} * m.num[i][p];
  for (int j = 1; j <= n; ++j) {
    Wide num = Wide{int64_t{m.num[i][j]} * m.den[p][j]} * keep -
               Wide{int64_t{m.num[p][j]} * m.den[i][j]} * take;
    Wide den = Wide{int64_t{m.den[i][j]} * m.den[p][j]} * keep;
    if (den < Wide(0)) {
      num = -num;
      den = -den;
    }
    if (!StoreReduced(num, den, m.num[i][j], m.den[i][j])) return false;
  }
  return true;
}

// One elimination step with pivot (p, p). A column that is zero from the
// pivot down ends the step with no row eliminated.
bool EliminationStep(FractionMatrix& m, int p, int n) {
  if (m.num[p][p] == 0) {
    int t = p + 1;
    while (t <= n && m.num[t][p] == 0) ++t;
    if (t > n) return true;
    // Exact arithmetic: the new pivot is num(t, p) * den(p, p), never 0.
    if (!AddRowToPivotRow(m, p, t, n)) return false;
  }
  for (int i = p + 1; i <= n; ++i) {
    if (!EliminateRow(m, p, i, n)) return false;
  }
  return true;
}

// The product of the diagonal. The running product is kept reduced in 64
// bits, so a partial product may leave the 32-bit range as long as the
// final value comes back into it.
bool MultiplyDiagonal(const FractionMatrix& m, int n, int32_t& num, int32_t& den) {
  int64_t product_num = 1;
  int64_t product_den = 1;
  for (int q = 1; q <= n; ++q) {
    if (!ReduceWide(Wide{m.num[q][q]} * product_num, Wide{m.den[q][q]} * product_den, product_num,
                    product_den)) {
      return false;
    }
  }
  if (product_den < 0) {
    product_num = -product_num;
    product_den = -product_den;
  }
  if (!FitsInt32(product_num) || !FitsInt32(product_den)) return false;
  num = static_cast<int32_t>(product_num);
  den = static_cast<int32_t>(product_den);
  return true;
}

}  // namespace

void WriteStepHeader(int step, int n, std::string& log) {
  log += "用第";
  AppendDecimal(step, log);
  log += "行对";
  AppendDecimal(step + 1, log);
  log += '~';
  AppendDecimal(n, log);
  log += "行进行高斯消元可得如下:";
  log += kLineEnd;
}

void WriteMatrixToLog(const FractionMatrix& m, int n, std::string& log) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      log += ' ';
      if (m.num[i][j] == 0) {
        log += '0';
        continue;
      }
      AppendDecimal(m.num[i][j], log);
      if (m.den[i][j] != 1) {
        log += '/';
        AppendDecimal(m.den[i][j], log);
      }
    }
    log += kLineEnd;
  }
  log += kLineEnd;
}

std::string DeterminantResultText(int32_t num, int32_t den) {
  std::string text = kResultPrefix;
  AppendDecimal(num, text);
  if (num != 0 && den != 1) {
    text += '/';
    AppendDecimal(den, text);
  }
  return text;
}

bool CalculateDeterminant(FractionMatrix& m, int n, std::string* log, int32_t& num, int32_t& den) {
  for (int step = 1; step < n; ++step) {
    const size_t step_start = log != nullptr ? log->size() : 0;
    if (log != nullptr) WriteStepHeader(step, n, *log);
    if (!EliminationStep(m, step, n)) {
      // The log keeps whole steps only; the interrupted one is dropped.
      if (log != nullptr) log->resize(step_start);
      return false;
    }
    if (log != nullptr) WriteMatrixToLog(m, n, *log);
  }
  return MultiplyDiagonal(m, n, num, den);
}

namespace {

// The value alone, by the fraction-free method, for a press without a log.
bool FractionFreeDeterminant(const FractionMatrix& m, int n, int32_t& num, int32_t& den) {
  FractionFreeForm form;
  if (!FractionFreeSolve(m, n, false, form)) return false;
  if (form.singular) {
    num = 0;
    den = 1;
    return true;
  }
  const Wide value = form.sign < 0 ? -form.pivot_product : form.pivot_product;
  if (!StoreReduced(value, form.scale, num, den)) return false;
  return den > 0;  // the scale is positive, and reduction keeps the signs
}

}  // namespace

DeterminantOutcome PressDeterminant(const DeterminantInput& input) {
  DeterminantOutcome outcome;
  FractionMatrix m;
  const ReadError error = ReadMatrixText(input.matrix_text, m);
  if (error != ReadError::kNone) {
    // Refused before anything is computed: an earlier log stays as it was.
    outcome.box = ErrorBox(ReadErrorText(error));
    return outcome;
  }

  // The order is the number of rows; columns beyond it are ignored, and
  // entries a short row does not give are 0.
  const int n = m.rows;
  std::string* log = input.log_chosen ? &outcome.log : nullptr;
  outcome.write_log = input.log_chosen;
  int32_t num = 0;
  int32_t den = 1;
  const FractionMatrix typed = m;
  // Without a log only the value is shown: when the steps leave the 32-bit
  // range, another exact method may still reach it.
  if (!CalculateDeterminant(m, n, log, num, den) &&
      (log != nullptr || !FractionFreeDeterminant(typed, n, num, den))) {
    if (log != nullptr) *log += kMsgOutOfRange;
    outcome.box = ErrorBox(kMsgOutOfRange);
    return outcome;
  }
  std::string text = DeterminantResultText(num, den);
  if (log != nullptr) *log += text;
  outcome.box = ResultBox(std::move(text), Owner::kDialog);
  return outcome;
}

std::vector<Box> RunDeterminantPress(const DeterminantInput& input, const char* log_path) {
  DeterminantOutcome outcome = PressDeterminant(input);
  std::vector<Box> boxes;
  if (outcome.write_log && !WriteProcessLog(log_path, outcome.log)) {
    boxes.push_back(ErrorBox(kMsgLogNotWritten));
  }
  boxes.push_back(std::move(outcome.box));
  return boxes;
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
