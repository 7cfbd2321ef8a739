// Zelcombe, for any typed text, with and without the process log: the box is
// the value or one of the program's errors; a refused text writes no log; a
// log holds, for each completed step, its header line and the matrix after
// it (zero below the diagonal in the columns done so far), then the text the
// box shows, or the overflow message in its place.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "determinant_press.h"
#include "fuzz_checks.h"
#include "matrix_reader.h"
#include "messages.h"

namespace calc::fuzz {
namespace {

constexpr char kResultPrefix[] = "行列式的值为 ";

std::string StepHeader(int step, int n) {
  return "用第" + Decimal(step) + "行对" + Decimal(step + 1) + "~" + Decimal(n) +
         "行进行高斯消元可得如下:\r\n";
}

// Checks the log of a press that computed (the box is its result or the
// overflow message) for a determinant of order n.
void CheckLog(const std::string& log, int n, const Box& box, bool computed) {
  std::string_view rest = log;
  const EntryRules rules{false, true};  // the first row may stay as typed
  int steps = 0;
  bool zero_on_diagonal = false;
  while (steps < n - 1 &&
         rest.substr(0, StepHeader(steps + 1, n).size()) == StepHeader(steps + 1, n)) {
    ++steps;
    rest.remove_prefix(StepHeader(steps, n).size());
    zero_on_diagonal = false;
    for (int i = 1; i <= n; ++i) {
      const size_t end = rest.find("\r\n");
      Require(end != std::string_view::npos, "a log row without its line end", log);
      std::string_view line = rest.substr(0, end);
      rest.remove_prefix(end + 2);
      for (int j = 1; j <= n; ++j) {
        Require(!line.empty() && line[0] == ' ', "a log entry without its blank", log);
        line.remove_prefix(1);
        const size_t next = line.find(' ');
        ShownEntry entry;
        Require(ParseShownEntry(line.substr(0, next), rules, entry), "a malformed log entry", log);
        line.remove_prefix(next == std::string_view::npos ? line.size() : next);
        if (j < i && j <= steps) {
          Require(entry.num == 0, "a log block not zero below the diagonal", log);
        }
        if (i == j && entry.num == 0) zero_on_diagonal = true;
      }
      Require(line.empty(), "a log row with too many entries", log);
    }
    Require(rest.substr(0, 2) == "\r\n", "a log block without its empty line", log);
    rest.remove_prefix(2);
  }
  if (computed) {
    Require(steps == n - 1, "the log misses a step", log);
    Require(rest == box.text, "the log does not end with the result", log);
    if (n > 1) {
      Require(zero_on_diagonal == (box.text == std::string(kResultPrefix) + "0"),
              "the value is 0 but the diagonal has no zero, or the other way round", log);
    }
  } else {
    Require(rest == kMsgOutOfRange, "the log does not end with the overflow message", log);
  }
}

void CheckPress(std::string_view text) {
  FractionMatrix m;
  const ReadError read = ReadMatrixText(text, m);
  for (bool log_chosen : {false, true}) {
    const DeterminantOutcome outcome = PressDeterminant({std::string(text), log_chosen});
    const Box& box = outcome.box;
    const bool result =
        CheckBox(box, Owner::kDialog,
                 {kMsgNoMatrix, kMsgTooLarge, kMsgDecimal, kMsgOutOfRange, kMsgZeroDenominator});
    if (read != ReadError::kNone) {
      Require(box == ErrorBox(ReadErrorText(read)), "not the reader's own refusal", box.text);
      Require(!outcome.write_log, "a refused text wrote the log", box.text);
      continue;
    }
    Require(result || box.text == kMsgOutOfRange, "a readable matrix refused as unreadable",
            box.text);
    if (result) {
      const std::string_view shown = box.text;
      Require(shown.substr(0, sizeof(kResultPrefix) - 1) == kResultPrefix,
              "the value's prefix is missing", box.text);
      ShownEntry value;
      Require(ParseShownEntry(shown.substr(sizeof(kResultPrefix) - 1), {}, value),
              "a malformed value", box.text);
    }
    Require(outcome.write_log == log_chosen,
            "the log was written without being asked for, or "
            "not written when asked for",
            box.text);
    if (log_chosen) CheckLog(outcome.log, m.rows, box, result);
  }
}

}  // namespace
}  // namespace calc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using calc::fuzz::ControlText;
  calc::fuzz::CheckPress(ControlText(std::string_view(reinterpret_cast<const char*>(data), size)));
  return 0;
}
