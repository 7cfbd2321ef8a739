// One libFuzzer target for the reader and every press. The first byte picks
// what runs ((byte - '0') mod 12, so that a seed can start with a digit):
// 0 the reader, 1..8 the calculations in the oracle's order (rank,
// determinant, adjugate, inverse, sum, difference, product, multiple), 9
// Zelcombe with its log, 10 (':') Quorvit's eigenvalues, 11 (';') Quorvit's
// systems (every fact against the oracle, and the log's replay). The rest is what the edit controls
// hold: the bytes before a NUL, and for Tessovar's second matrix those after it (without a NUL both
// matrices are the same text).
//
// On any input: no crash or sanitizer report; the box is the reader's first refusal or the oracle's
// box byte for byte;
// Zelcombe's log has a block per step, each with the typed determinant and
// zeros below the diagonal in the columns done, then the box text; the
// rank, adjugate and inverse are pressed again with the log checked, and
// their logs must replay (log_replay.h). The
// reader reads the typed form of what it read the same again, and ignores
// what comes before the first number and after the last. The eigenvalue
// press refuses as the reader does, or a matrix that is not square, and
// otherwise shows a result whose every fact is checked against FLINT
// (eigen_oracle.h) up to order 8, beyond which that check is too slow for
// fuzzing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "determinant_press.h"
#include "eigen_oracle.h"
#include "log_replay.h"
#include "matrix_reader.h"
#include "messages.h"
#include "oracle.h"
#include "rank_press.h"
#include "result_text.h"

namespace calc::testing {
namespace {

void Require(bool ok, const char* what, const std::string& detail) {
  if (ok) return;
  std::fprintf(stderr, "check failed: %s\n%s\n", what, Escaped(detail, 2000).c_str());
  std::abort();
}

// Same shape and, in rows and columns 1..rows, 1..cols, the same entries in
// the same form.
bool SameReading(const FractionMatrix& a, const FractionMatrix& b, int rows, int cols) {
  return a.rows == b.rows && a.cols == b.cols &&
         TypedText(a, rows, cols) == TypedText(b, rows, cols);
}

void CheckReader(const std::string& text) {
  FractionMatrix m, again;
  const ReadResult read = ReadMatrixText(text, m);
  if (read.ok()) {
    Require(m.rows >= 1 && m.rows <= kMaxOrder && m.cols >= 1 && m.cols <= kMaxOrder,
            "a shape outside 1..20", text);
    Require(ReadMatrixText(TypedText(m, m.rows, m.cols), again).ok() &&
                SameReading(m, again, m.rows, m.cols),
            "the typed form reads otherwise", text);
  } else {
    Require(SameReading(m, FractionMatrix(), kMaxOrder, kMaxOrder), "a refusal left entries", text);
    Require(!ReadMessage(read).empty(), "a refusal without a message", text);
  }
  // A backslash at the end would make a LaTeX command of what follows.
  if (text.empty() || text.back() != '\\') {
    Require(ReadMatrixText(text + " \r\n-/\t", again) == read &&
                SameReading(m, again, kMaxOrder, kMaxOrder),
            "bytes after the last digit changed the reading", text);
  }
  Require(ReadMatrixText("x\r\n /\r\n" + text, again) == read &&
              SameReading(m, again, kMaxOrder, kMaxOrder),
          "lines before the first number changed the reading", text);
}

std::string StepHeader(int step, int n) {
  return "用第" + std::to_string(step) + "行对" + std::to_string(step + 1) + "~" +
         std::to_string(n) + "行进行高斯消元可得如下:\r\n";
}

void CheckLog(const std::string& text) {
  const LoggedOutcome outcome = PressDeterminant({text, true});
  const std::string& log = outcome.log;
  FractionMatrix a, block;
  const bool read = ReadMatrixText(text, a).ok() && a.rows == a.cols;
  Require(outcome.write_log == read, "the log is not written exactly for a read text", text);
  const std::string fault = Compare(outcome.box, ExpectedForTexts(kDeterminant, text, ""));
  Require(fault.empty(), "determinant with log", fault);
  const int n = read ? a.rows : 0;
  std::string_view rest = log;
  for (int step = 1; step < n; ++step) {
    Require(rest.substr(0, StepHeader(step, n).size()) == StepHeader(step, n), "a step header",
            log);
    rest.remove_prefix(StepHeader(step, n).size());
    block.rows = block.cols = n;
    for (int i = 1; i <= n; ++i) {
      const size_t end = rest.find("\r\n");
      Require(end != std::string_view::npos, "a log row without its line end", log);
      std::string_view line = rest.substr(0, end);
      rest.remove_prefix(end + 2);
      for (int j = 1; j <= n; ++j) {
        Require(line.size() > 1 && line[0] == ' ', "a log entry without its blank", log);
        const size_t next = std::min(line.find(' ', 1), line.size());
        Require(ParseShownFraction(line.substr(1, next - 1), block(i, j), false) &&
                    (j >= i || j > step || block(i, j).IsZero()),
                "a log entry malformed, or not 0 below the diagonal", log);
        line.remove_prefix(next);
      }
      Require(line.empty(), "a log row with too many entries", log);
    }
    Require(rest.substr(0, 2) == "\r\n", "a log block without its empty line", log);
    rest.remove_prefix(2);
    Require(Expected(kDeterminant, block, block) == outcome.box, "a step changed the value", log);
  }
  Require(!read || rest == outcome.box.text, "the log does not end with the box text", log);
}

void CheckEigenvalues(const std::string& text) {
  RankInput input;
  input.matrix_text = text;
  input.eigenvalues_chosen = true;
  const Box shown = PressRank(input).box;
  FractionMatrix a;
  const ReadResult read = ReadMatrixText(text, a);
  if (!read.ok() || a.rows != a.cols) {
    const Box refusal = ErrorBox(!read.ok() ? ReadMessage(read) : "请输入方阵");
    Require(shown == refusal, "eigenvalues: not the refusal", shown.text + "\ntyped: " + text);
    return;
  }
  Require(shown.caption == kCaptionDone && shown.owner == Owner::kNone,
          "eigenvalues: no result box", shown.text + "\ntyped: " + text);
  if (a.rows > 8) return;
  const EigenAnalysis analysis = AnalyseEigenvalues(a);
  Require(shown.text == EigenvalueText(analysis), "eigenvalues: not the analysis' text",
          shown.text + "\ntyped: " + text);
  const std::string fault = EigenAnalysisFault(a, analysis, nullptr);
  Require(fault.empty(), "eigenvalues", fault + "\nshown: " + shown.text + "\ntyped: " + text);
}

void CheckSystem(const std::string& text) {
  RankInput input;
  input.matrix_text = text;
  input.solve_chosen = true;
  input.log_chosen = true;
  const LoggedOutcome outcome = PressRank(input);
  FractionMatrix a;
  const ReadResult read = ReadMatrixText(text, a);
  if (!read.ok() || a.cols < 2) {
    Require(outcome.box.caption == kCaptionError && !outcome.write_log &&
                (!read.ok() ? outcome.box.text == ReadMessage(read) : true),
            "systems: not the refusal", outcome.box.text + "\ntyped: " + text);
    return;
  }
  const std::string fault = SystemAnswerFault(a, SolveLinearSystem(a, nullptr));
  Require(fault.empty(), "systems", fault + "\ntyped: " + text);
  const std::string log_fault = LogFault(kSystem, a, outcome);
  Require(log_fault.empty(), "systems: the log does not replay", log_fault + "\ntyped: " + text);
}

void Check(int selector, const std::string& first, const std::string& second) {
  if (selector == 0) return CheckReader(first);
  if (selector == 9) return CheckLog(first);
  if (selector == 10) return CheckEigenvalues(first);
  if (selector == 11) return CheckSystem(first);
  const Calculation c = static_cast<Calculation>(selector - 1);
  const Box expected = ExpectedForTexts(c, first, second);
  const std::string fault = Compare(Press(c, first, second), expected);
  Require(fault.empty(), kCalculationNames[c], fault + "\ntyped: " + first);
  if (c != kRank && c != kAdjugate && c != kInverse) return;
  // Quorvit and Lumbrane with "生成计算过程": the same box, and a log exactly
  // when the text was read, whose every step replays.
  const LoggedOutcome outcome = PressWithLog(c, first);
  Require(outcome.box == expected, "the box changes with the log", first);
  FractionMatrix a;
  if (!ReadMatrixText(first, a).ok() || expected.caption == kCaptionError) {
    Require(!outcome.write_log, "a log for a refused text", first);
    return;
  }
  const std::string log_fault = LogFault(c, a, outcome);
  Require(log_fault.empty(), "the log does not replay", log_fault + "\ntyped: " + first);
}

}  // namespace
}  // namespace calc::testing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string first = bytes.substr(0, bytes.find('\0'));
  const std::string second = first.size() < bytes.size() ? bytes.substr(first.size() + 1) : first;
  calc::testing::Check(static_cast<uint8_t>(data[0] - '0') % 12, first,
                       second.substr(0, second.find('\0')));
  return 0;
}
