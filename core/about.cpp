#include "about.h"

#include <gmp.h>

#include "version.h"

namespace calc {

namespace {

std::string GmpVersion() {
  return std::to_string(__GNU_MP_VERSION) + "." + std::to_string(__GNU_MP_VERSION_MINOR) + "." +
         std::to_string(__GNU_MP_VERSION_PATCHLEVEL);
}

}  // namespace

Box AboutBox(const char* program, const char* task) {
  Box box;
  box.caption = std::string("关于 ") + program;
  box.owner = Owner::kDialog;
  box.text = std::string(program) + " " + CALC_VERSION_TEXT + "\n" + task +
             "\n\n"
             "版权所有 (c) 2026 四个分数矩阵计算器的作者\n"
             "本程序以 MIT 许可证发布: 任何人都可以免费使用、复制、修改和分发, "
             "许可证全文见随附的 LICENSE.txt。\n\n"
             "本程序包含 GMP " +
             GmpVersion() +
             " (GNU 多精度算术库), 依 GNU LGPL v3 许可使用, "
             "见随附的 COPYING.LESSERv3 与 NOTICE.txt。GMP 的源代码: "
             "https://gmplib.org/ 及 Debian 的 gmp 源码包 "
             "https://sources.debian.org/src/gmp/";
  return box;
}

}  // namespace calc
