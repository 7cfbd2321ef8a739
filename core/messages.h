// Texts of the message boxes that all four programs share. Sources are
// UTF-8; the build has the compiler store them in code page 936.
#pragma once

namespace calc {

inline constexpr char kCaptionError[] = "Error";
inline constexpr char kCaptionDone[] = "计算完毕";

inline constexpr char kMsgNoMatrix[] = "请输入矩阵";
inline constexpr char kMsgTooLarge[] = "矩阵不能超过20行20列";
// A square matrix is needed (Lumbrane, Zelcombe, Quorvit's "特征值").
inline constexpr char kMsgNotSquare[] = "请输入方阵";
inline constexpr char kMsgOutOfRange[] = "数值超出范围";
inline constexpr char kMsgZeroDenominator[] = "分母不能为0";

// Where the help boxes of Lumbrane and Zelcombe send users with questions.
inline constexpr char kQuestionsAddress[] = "https://math.stackexchange.com/questions/ask";

}  // namespace calc
