// The process log "计算过程.txt" that Quorvit, Lumbrane and Zelcombe write
// when "生成计算过程" is checked: what a press produces, the text forms of
// its lines and blocks, and writing its bytes to the file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "box.h"
#include "elimination.h"

namespace calc {

// The file the steps are written to, in the current directory.
inline constexpr char kProcessLogName[] = "计算过程.txt";
// Shown (owned by the dialog, caption "Error") when the log was asked for
// and could not be written; the press's own box follows it.
inline constexpr char kMsgLogNotWritten[] = "无法写入计算过程.txt";

// What one press produces: the box to show and, when write_log is set, the
// exact bytes of the process log (CR LF line ends, the last line without
// one). When write_log is false an existing log file must stay as it is.
struct LoggedOutcome {
  Box box;
  bool write_log = false;
  std::string log;
};

// A press refused before it computes: its error box, and no log (an earlier
// file stays as it was).
LoggedOutcome Refused(std::string message);

// The boxes to show after the log was written (or not), in order: the box
// saying the log could not be written when it was asked for and not
// written, then the press's own box.
std::vector<Box> BoxesAfterLog(const LoggedOutcome& outcome, bool log_written);

// Writes bytes unchanged to a file opened for writing (binary mode: the
// line ends are the caller's) and closes it. True only if every byte was
// written and the close succeeded; false for a null file.
bool WriteProcessLog(std::FILE* file, const std::string& bytes);

// Appends one line of the log and its CR LF.
void AppendLogLine(std::string_view line, std::string& log);

// Appends a block: rows 1..rows.rows, columns 1..rows.cols, every entry as
// stored after one blank, " |" after column `divider` when it is not 0,
// every row ended by CR LF, and one more CR LF after the block.
void AppendLogBlock(const RowSet& rows, int divider, std::string& log);

// The opening of a log: "原矩阵:" and the block of the matrix as typed
// (entries reduced).
void AppendOriginalMatrix(const RowSet& rows, int divider, std::string& log);

// The line that names the row operations of a step with pivot row k, from
// the pivot column's entries before the step (column[1..rows]): for each
// row i cleared (below k; with above, every row but k) whose multiplier
// m = column[i] / column[k] is not 0, "r<i> - m r<k>" (m > 0) or
// "r<i> + |m| r<k>" (m < 0), m written as an integer ("r2 - 4r1", "r2 - r1")
// or a fraction in parentheses ("r3 + (1/2)r1"), separated by ", ". No
// line when no row changes.
void AppendRowOperations(const Fraction column[], int rows, int k, bool above, std::string& log);

// The line of an elimination that finds no pivot in column `col`:
// "第c列无主元, 跳过" and CR LF.
void AppendSkippedColumn(int col, std::string& log);

// The header of a step that clears the rows below the pivot row:
// "用第p行对q~m行进行高斯消元可得如下:" and CR LF.
void AppendEliminationHeader(int pivot_row, int first_row, int last_row, std::string& log);

// Appends the text of a box as the last part of the log: its line feeds
// become CR LF, and nothing follows it.
void AppendResultToLog(std::string_view text, std::string& log);

}  // namespace calc
