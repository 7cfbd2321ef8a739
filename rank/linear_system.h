// Quorvit's "解方程组": the linear system A x = b, typed as its augmented
// matrix [A | b] (b the last column), solved exactly by one Gauss-Jordan
// elimination of [A | b] to its reduced row echelon form.
//
// The text, in code page 936, lines ended by LF:
//
//   增广矩阵的行最简形:
//   1 0 -1 | 2              a row per line, entries after one blank each,
//   0 1 2 | 3               " |" before the last column
//   0 0 0 | 0
//                           (an empty line)
//   r(A) = 2, r(A|b) = 2
//   方程组有无穷多解          the verdict: 方程组无解 (r(A) < r(A|b)),
//                           方程组有唯一解 (r(A) = n, b not 0),
//                           方程组只有零解 (r(A) = n, b = 0), or this one
//
// then, for one solution, "x = (-4, 9/2)^T" (also "x = (0, 0)^T" for the
// zero solution); for infinitely many:
//
//   自由未知量 x3, x5        the unknowns without a pivot, in order
//   特解:                    the free unknowns 0 (these two lines are left
//   η = (2, 3, 0, 1, 0)^T    out when b = 0)
//   基础解系:                 for each free unknown in order, that unknown 1
//   ξ1 = (1, -2, 1, 0, 0)^T  and the others 0: the basis a textbook reads
//   ξ2 = (…)^T               off the reduced form
//   通解 x = η + k1ξ1 + k2ξ2 (k1, k2 为任意常数)     (without "η + " when b = 0)
//
// Entries are reduced fractions with the sign on the numerator, vector
// entries separated by ", ".
#pragma once

#include <string>

#include "fraction_matrix.h"

namespace calc {

enum class SystemVerdict { kNone, kUnique, kZeroOnly, kInfinite };

struct LinearSystem {
  int equations = 0;
  int unknowns = 0;
  FractionMatrix reduced;  // [A | b] in reduced row echelon form
  int rank_a = 0;
  int rank_ab = 0;
  bool homogeneous = false;  // b = 0
  SystemVerdict verdict = SystemVerdict::kNone;
  int free_count = 0;
  int free_unknown[kMaxOrder + 1] = {};  // 1..free_count
  int pivot_row[kMaxOrder + 1] = {};     // per unknown: its pivot row, 0 when free
  Fraction particular[kMaxOrder + 1];    // x_1..x_n, the free unknowns 0
  FractionMatrix basis;                  // basis(k, j): entry j of ξk
};

// Solves the system whose augmented matrix is rows 1..a.rows, columns
// 1..a.cols of a (at least two columns). With a log, the steps of the
// elimination on fractions are appended to it, as Lumbrane writes them,
// and then the reduced form ("各行除以主元可得如下:").
LinearSystem SolveLinearSystem(const FractionMatrix& a, std::string* log);

// The text above.
std::string LinearSystemText(const LinearSystem& system);

}  // namespace calc
