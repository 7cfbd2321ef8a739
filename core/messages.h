// Texts of the message boxes that all four programs share. Sources are
// UTF-8; the build has the compiler store them in code page 936.
#pragma once

namespace calc {

inline constexpr char kCaptionError[] = "Error";
inline constexpr char kCaptionDone[] = "计算完毕";

inline constexpr char kMsgNoMatrix[] = "请输入矩阵";
inline constexpr char kMsgTooLarge[] = "矩阵不能超过20行20列";
inline constexpr char kMsgDecimal[] = "小数请按分数的形式输入";
inline constexpr char kMsgOutOfRange[] = "数值超出范围";
inline constexpr char kMsgZeroDenominator[] = "分母不能为0";

// Where the help boxes of Lumbrane and Zelcombe send users with questions.
inline constexpr char kQuestionsAddress[] = "https://math.stackexchange.com/questions/ask";

}  // namespace calc
