// Writing a text file in one piece, with every failure reported.
#pragma once

#include <string>

namespace calc {

// Creates or empties the file at path and writes bytes to it unchanged
// (binary mode: the caller's line ends are kept as they are). True only if
// the file was opened, every byte written and the file closed without error.
bool WriteProcessLog(const char* path, const std::string& bytes);

}  // namespace calc
