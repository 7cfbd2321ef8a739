#include "process_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace calc {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// As the shell does it, with the name in the native encoding.
bool WriteTo(const std::string& path, const std::string& bytes) {
  return WriteProcessLog(std::fopen(path.c_str(), "wb"), bytes);
}

TEST(WriteProcessLog, WritesTheBytesUnchangedAndReportsEveryFailure) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("process-log-test-" + std::to_string(getpid()));
  fs::create_directories(dir / "sub");
  const std::string path = dir / kProcessLogName;
  ASSERT_TRUE(WriteTo(path, std::string(5000, 'x')));
  ASSERT_TRUE(WriteTo(path, "a\r\nb\n"));
  EXPECT_EQ(ReadFile(path), "a\r\nb\n");               // replaced whole, no line end translated
  EXPECT_FALSE(WriteTo((dir / "sub").string(), "x"));  // the path is a directory
  EXPECT_FALSE(WriteTo((dir / "missing/log.txt").string(), "x"));
  // A full disk: the open succeeds, the buffered bytes fail on close.
  if (access("/dev/full", W_OK) == 0) {
    EXPECT_FALSE(WriteTo("/dev/full", "x"));
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace calc
