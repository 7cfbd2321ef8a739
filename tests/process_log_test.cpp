#include "process_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "messages.h"

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

TEST(BoxesAfterLog, SaysFirstThatTheLogWasNotWritten) {
  LoggedOutcome outcome{Box{"1 \n\n矩阵的秩为1", kCaptionDone, Owner::kNone}, true, "x"};
  const Box not_written{"无法写入计算过程.txt", "Error", Owner::kDialog};
  EXPECT_EQ(BoxesAfterLog(outcome, false), (std::vector<Box>{not_written, outcome.box}));
  EXPECT_EQ(BoxesAfterLog(outcome, true), std::vector<Box>{outcome.box});
  outcome.write_log = false;  // nothing was asked of the file
  EXPECT_EQ(BoxesAfterLog(outcome, false), std::vector<Box>{outcome.box});
}

}  // namespace
}  // namespace calc
