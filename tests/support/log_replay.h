// The independent replay of a process log of Quorvit or Lumbrane: every
// line read back, every named row operation redone on GMP's exact
// rationals, every block compared with the replayed matrix.
#pragma once

#include <string>

#include "fraction_matrix.h"
#include "oracle.h"
#include "process_log.h"

namespace calc::testing {

// One press of c (kRank, kAdjugate or kInverse) with "生成计算过程" checked.
LoggedOutcome PressWithLog(Calculation c, const std::string& first);

// Empty when the press's log replays from `typed` (the matrix as read):
// each row operation a line names is the one the elimination must do next
// (the pivot repair or exchange with the first lower row that has an entry
// in the column, each column without a pivot skipped, the pivot row and the
// rows it clears), applied to the previous block, gives the next block
// exactly; the log stops where the elimination ends (Lumbrane: where a row
// of the left half becomes 0); its closing lines (det(A), the rank) are
// true; the last block agrees with the box; and the log ends with the
// box's text. Otherwise the first fault, with the line it was found on.
std::string LogFault(Calculation c, const FractionMatrix& typed, const LoggedOutcome& outcome);

// The same from the text as typed, which it reads first.
std::string LogFault(Calculation c, const std::string& typed, const LoggedOutcome& outcome);

}  // namespace calc::testing
