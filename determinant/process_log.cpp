#include "process_log.h"

#include <cstdio>

namespace calc {

bool WriteProcessLog(const char* path, const std::string& bytes) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  // Buffered bytes reach the disk only on close, so a full disk shows here.
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace calc
