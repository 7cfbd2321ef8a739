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

// The tooltip of every matrix edit: the forms a matrix may be typed or
// pasted in, each with an example.
inline constexpr char kTipMatrix[] =
    "每行输入矩阵的一行, 数之间用空格分开, 例如:\r\n"
    "    1 2 -3/4\r\n"
    "    0.5 0 7\r\n"
    "整数、分数(3/4, -3/4)和小数(0.5 即 1/2)都可以。\r\n"
    "也可以直接粘贴:\r\n"
    "    Excel、WPS 表格: 选中单元格复制后粘贴\r\n"
    "    MATLAB: [1 2; 3 4]\r\n"
    "    Python: [[1, 2], [3, 4]]\r\n"
    "    Mathematica: {{1, 2}, {3, 4}}\r\n"
    "    LaTeX: \\begin{pmatrix} 1 & \\frac{1}{2} \\\\ 3 & 4 \\end{pmatrix}\r\n"
    "全角的数字和符号(１ －３／４, 逗号、分号)也可以。";
// The tooltip of "生成计算过程", followed by the log file's full path.
inline constexpr char kTipProcessLog[] = "选中后, 每次计算把计算步骤写入:\r\n";

// Where the help boxes of Lumbrane and Zelcombe send users with questions.
inline constexpr char kQuestionsAddress[] = "https://math.stackexchange.com/questions/ask";

}  // namespace calc
