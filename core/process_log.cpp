#include "process_log.h"

#include "messages.h"
#include "text_forms.h"

namespace calc {

namespace {

constexpr char kLineEnd[] = "\r\n";

}  // namespace

LoggedOutcome Refused(std::string message) {
  LoggedOutcome outcome;
  outcome.box = ErrorBox(std::move(message));
  return outcome;
}

std::vector<Box> BoxesAfterLog(const LoggedOutcome& outcome, bool log_written) {
  std::vector<Box> boxes;
  if (outcome.write_log && !log_written) boxes.push_back(ErrorBox(kMsgLogNotWritten));
  boxes.push_back(outcome.box);
  return boxes;
}

bool WriteProcessLog(std::FILE* file, const std::string& bytes) {
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  // Buffered bytes reach the disk only on close, so a full disk shows here.
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

void AppendLogLine(std::string_view line, std::string& log) {
  log += line;
  log += kLineEnd;
}

void AppendLogBlock(const RowSet& rows, int divider, std::string& log) {
  TextWriter out(log);
  for (int i = 1; i <= rows.rows; ++i) {
    for (int j = 1; j <= rows.cols; ++j) {
      out.Put(' ');
      out.Put(rows(i, j));
      if (j == divider) out.Put(" |");
    }
    out.Put(kLineEnd);
  }
  out.Put(kLineEnd);
}

void AppendOriginalMatrix(const RowSet& rows, int divider, std::string& log) {
  AppendLogLine("原矩阵:", log);
  AppendLogBlock(rows, divider, log);
}

void AppendRowOperations(const Fraction column[], int rows, int k, bool above, std::string& log) {
  TextWriter out(log);
  bool any = false;
  for (int i = above ? 1 : k + 1; i <= rows; ++i) {
    if (i == k || column[i].num.IsZero()) continue;
    const Fraction m = column[i] / column[k];
    const bool negative = m.num.Sign() < 0;
    const Fraction size{negative ? -m.num : m.num, m.den};
    out.Put(any ? ", r" : "r");
    out.Put(Integer(i));
    out.Put(negative ? " + " : " - ");
    if (!size.den.IsOne()) {
      out.Put('(');
      out.Put(size);
      out.Put(')');
    } else if (!size.num.IsOne()) {
      out.Put(size);
    }
    out.Put('r');
    out.Put(Integer(k));
    any = true;
  }
  if (any) out.Put(kLineEnd);
}

void AppendSkippedColumn(int col, std::string& log) {
  TextWriter out(log);
  out.Put("第");
  out.Put(Integer(col));
  out.Put("列无主元, 跳过");
  out.Put(kLineEnd);
}

void AppendEliminationHeader(int pivot_row, int first_row, int last_row, std::string& log) {
  TextWriter out(log);
  out.Put("用第");
  out.Put(Integer(pivot_row));
  out.Put("行对");
  out.Put(Integer(first_row));
  out.Put('~');
  out.Put(Integer(last_row));
  out.Put("行进行高斯消元可得如下:");
  out.Put(kLineEnd);
}

void AppendResultToLog(std::string_view text, std::string& log) {
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      log += text.substr(start);
      return;
    }
    log += text.substr(start, end - start);
    log += kLineEnd;
    start = end + 1;
  }
}

}  // namespace calc
