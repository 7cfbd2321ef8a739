// Presses whose boxes are known byte for byte, shared by the unit tests
// (which call the press functions) and the Windows driver (which types the
// same texts into the real programs). A handful per program: a result, a
// refusal, an answer beyond 32 bits, and what only that program shows.
// Literals reach both builds in code page 936, as the programs show them.
#pragma once

#include <string>
#include <vector>

#include "box.h"
#include "messages.h"

namespace calc::cases {

// What the user picks before pressing "计算": a radio button, Zelcombe's
// check box "生成计算过程", or the help button "使用说明" instead of "计算".
enum Choice {
  kNoChoice,
  kRank,
  kAdjugate,
  kInverse,
  kAdd,
  kSubtract,
  kMultiply,
  kScalar,
  kLog,
  kHelp,
  kEigenvalues,  // Quorvit's "特征值"
  kSolve,        // Quorvit's "解方程组"
};

struct PressRow {
  std::string first;   // the matrix edit (Tessovar: matrix 1)
  std::string second;  // Tessovar: matrix 2
  Choice choice;
  Box box = {};          // the box shown; for kHelp, the program's own help box
  std::string log = {};  // the process log written; empty when none is
  // Quorvit and Lumbrane: "生成计算过程" checked besides the choice.
  bool with_log = false;
};

// Whether the row's press has "生成计算过程" checked.
inline bool LogChecked(const PressRow& row) {
  return row.choice == kLog || row.with_log;
}

// A text with each LF as CR LF: a log file's line ends, or a text as an
// edit or the clipboard holds it.
inline std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

inline Box Done(std::string text, Owner owner = Owner::kNone) {
  return Box{std::move(text), kCaptionDone, owner};
}
inline Box Refused(std::string text) {
  return Box{std::move(text), kCaptionError, Owner::kDialog};
}

// 20 x 20 typed as fractions over 7, a text longer than 999 bytes, and the
// identity it shows.
inline std::string LongIdentity(const char* one, const char* zero, const char* row_end) {
  std::string text;
  for (int i = 1; i <= 20; ++i) {
    for (int j = 1; j <= 20; ++j) text += i == j ? one : zero;
    text += row_end;
  }
  return text;
}

// The logs of Quorvit and Lumbrane are checked by their replay
// (log_replay.h) in the unit tests, and against the press function's own
// log in the Windows tests: a row whose log is this writes one.
inline const std::string kLogReplayed = "(the log the replay checks)";

// Quorvit's log: a column without a pivot, a pivot repaired by adding a
// lower row, fractions.
inline constexpr char kRankLogExample[] = "2 4 1/2 1\r\n1 2 1/4 3/2\r\n1 2 3/4 0";
inline constexpr char kRankLogExampleResult[] =
    "2 4 1/2 1 \n0 0 1/2 1/2 \n0 0 0 -1 \n\n矩阵的秩为3";

inline const std::vector<PressRow> kRankRows = {
    {"1 2\r\n3 4", "", kNoChoice, Refused("请选择计算方式")},
    {"1 2\r\n3 4", "", kRank, Done("1 2 \n0 -2 \n\n矩阵的秩为2")},
    {"2147483648", "", kRank, Refused("数值超出范围")},
    {"-2147483647 1\r\n1 -2147483647", "", kRank,
     Done("-2147483647 1 \n0 -4611686014132420608/2147483647 \n\n矩阵的秩为2")},
    {LongIdentity("7/7 ", "0/7 ", "\r\n"), "", kRank,
     Done(LongIdentity("1 ", "0 ", "\n") + "\n矩阵的秩为20")},
    {kRankLogExample, "", kRank, Done(kRankLogExampleResult), kLogReplayed, true},
    {kRankLogExample, "", kRank, Done(kRankLogExampleResult)},
    {"1 2\r\n3 x/0", "", kRank, Refused("无法识别第2行的字符“x”"), "", true},
};

// Lumbrane's log of [A | E]: a row exchange, then a step per pivot, and
// the division by the pivots; a singular matrix: the steps until a row of
// the left half is 0, then how the adjugate of rank n - 1 is formed.
inline constexpr char kJordanLogExample[] = "0 2 1\r\n1 1 0\r\n1 0 1";
inline constexpr char kSingularLogExample[] = "1 2 3\r\n4 5 6\r\n7 8 9";

// Quorvit's "特征值": the polynomial, the eigenvalues with their
// eigenspaces, the verdict; a matrix that is not square is refused after the
// reader's messages, and the choice is tested before either.
inline const std::vector<PressRow> kEigenvalueRows = {
    {"2 1 0\r\n0 2 0\r\n0 0 3", "", kEigenvalues,
     Done("特征多项式 f(λ) = λ^3 - 7λ^2 + 16λ - 12 = (λ - 2)^2 (λ - 3)\n\n"
          "λ1 = 2    代数重数 2  几何重数 1\n  ξ1 = (1, 0, 0)^T\n"
          "λ2 = 3    代数重数 1  几何重数 1\n  ξ2 = (0, 0, 1)^T\n\n不可对角化")},
    {"5 1\r\n2 0", "", kEigenvalues,
     Done("特征多项式 f(λ) = λ^2 - 5λ - 2\n\n"
          "λ = (5 ± √33)/2 ≈ 5.372281323, -0.3722813233    代数重数各 1  几何重数各 1\n"
          "  ξ1 = ((5 + √33)/4, 1)^T\n  另一个根的特征向量是以上向量的共轭 (√33 换为 -√33)\n\n"
          "可对角化")},
    {"1 2 3\r\n4 5 6", "", kEigenvalues, Refused("请输入方阵")},
    {"1 2 3\r\n4 5/0 6", "", kNoChoice, Refused("请选择计算方式")},
};

// Quorvit's "解方程组": a unique solution with its log (the steps of
// [A | b] as Lumbrane writes them), infinitely many (a typed bar before b),
// none, and the system of no unknowns.
inline constexpr char kUniqueSystem[] =
    "增广矩阵的行最简形:\n1 0 | -4\n0 1 | 9/2\n\nr(A) = 2, r(A|b) = 2\n方程组有唯一解\n"
    "x = (-4, 9/2)^T";
inline const std::vector<PressRow> kSolveRows = {
    {"1 2 5\r\n3 4 6", "", kSolve, Done(kUniqueSystem), kLogReplayed, true},
    {"1 2 -1 | 3\r\n2 4 -2 | 6", "", kSolve,
     Done("增广矩阵的行最简形:\n1 2 -1 | 3\n0 0 0 | 0\n\nr(A) = 1, r(A|b) = 1\n方程组有无穷多解\n"
          "自由未知量 x2, x3\n特解:\nη = (3, 0, 0)^T\n基础解系:\nξ1 = (-2, 1, 0)^T\n"
          "ξ2 = (1, 0, 1)^T\n通解 x = η + k1ξ1 + k2ξ2 (k1, k2 为任意常数)")},
    {"1 1 2\r\n1 1 3", "", kSolve,
     Done("增广矩阵的行最简形:\n1 1 | 0\n0 0 | 1\n\nr(A) = 1, r(A|b) = 2\n方程组无解")},
    {"1\r\n2", "", kSolve, Refused("增广矩阵[A | b]只有一列, 没有未知量"), "", true},
};

inline const std::vector<PressRow> kInverseRows = {
    {"", "", kHelp},
    {"5/0", "", kNoChoice, Refused("请选择计算方式!")},
    {"1 2\r\n3 4", "", kInverse, Done("-2 1 \n3/2 -1/2 \n")},
    {"1 2\r\n2 4", "", kInverse, Box{"该矩阵的值为0,不存在逆矩阵!", "False !", Owner::kDialog}},
    {"65536 0 0\r\n0 65536 0\r\n0 0 1", "", kAdjugate,
     Done("65536 0 0 \n0 65536 0 \n0 0 4294967296 \n")},
    {kJordanLogExample, "", kInverse, Done("-1/3 2/3 1/3 \n1/3 1/3 -1/3 \n1/3 -2/3 2/3 \n"),
     kLogReplayed, true},
    {kJordanLogExample, "", kAdjugate, Done("1 -2 -1 \n-1 -1 1 \n-1 2 -2 \n"), kLogReplayed, true},
    {kSingularLogExample, "", kAdjugate, Done("-3 6 -3 \n6 -12 6 \n-3 6 -3 \n"), kLogReplayed,
     true},
    {kSingularLogExample, "", kInverse,
     Box{"该矩阵的值为0,不存在逆矩阵!", "False !", Owner::kDialog}, kLogReplayed, true},
    {"1 2", "", kNoChoice, Refused("请选择计算方式!"), "", true},
};

inline const std::vector<PressRow> kBasicOpsRows = {
    {"1 2\r\n3 4", "1 2 3", kNoChoice, Refused("请选择计算方式")},
    {"1/2 1/3\r\n1 2", "1/2 2/3\r\n-1 0", kAdd, Done("1 1 \n0 2 \n")},
    {"1", "3/2", kSubtract, Done("-1/2 \n")},
    {"65536", "65536", kMultiply, Done("4294967296 \n")},
    {"1 2\r\n3 4", "1/2", kScalar, Done("1/2 1 \n3/2 2 \n")},
    {"1 2\r\n3 4", "1/2 9 9\r\n9 9", kScalar, Refused("数乘时请在矩阵2中只输入一个数")},
    {"1 2 3\r\n4 5 6", "1 2\r\n3 4", kMultiply, Refused("矩阵有误")},
};

// The worked example of the process log: a fraction, a step per pivot.
inline constexpr char kWorkedExample[] = "1/2 2 0\r\n3 -1/3 4\r\n0 5 6";
inline constexpr char kWorkedExampleLog[] =
    "用第1行对2~3行进行高斯消元可得如下:\r\n"
    " 1/2 2 0\r\n"
    " 0 -37/3 4\r\n"
    " 0 5 6\r\n"
    "\r\n"
    "用第2行对3~3行进行高斯消元可得如下:\r\n"
    " 1/2 2 0\r\n"
    " 0 -37/3 4\r\n"
    " 0 0 282/37\r\n"
    "\r\n"
    "行列式的值为 -47";

inline const std::vector<PressRow> kDeterminantRows = {
    {"", "", kHelp},
    {kWorkedExample, "", kNoChoice, Done("行列式的值为 -47", Owner::kDialog)},
    {kWorkedExample, "", kLog, Done("行列式的值为 -47", Owner::kDialog), kWorkedExampleLog},
    {"", "", kLog, Refused("请输入矩阵")},
    {"2147483647 1\r\n1 2147483647", "", kLog,
     Done("行列式的值为 4611686014132420608", Owner::kDialog),
     "用第1行对2~2行进行高斯消元可得如下:\r\n 2147483647 1\r\n"
     " 0 4611686014132420608/2147483647\r\n\r\n行列式的值为 4611686014132420608"},
};

}  // namespace calc::cases
