// The "关于…" box every program opens from its system menu: the program's
// name, version and task, its licence, and the GMP it is linked with.
#pragma once

#include "box.h"

namespace calc {

// The system menu's item.
inline constexpr char kMenuAbout[] = "关于…";

// The box for `program` ("Quorvit") doing `task` (one line, code page 936):
// captioned "关于 <program>", owned by the dialog.
Box AboutBox(const char* program, const char* task);

}  // namespace calc
