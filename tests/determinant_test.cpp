#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "determinant_press.h"
#include "fraction_matrix.h"
#include "matrix_reader.h"
#include "messages.h"
#include "press_cases.h"
#include "process_log.h"
#include "wide_int.h"

namespace calc {
namespace {

Box Result(const std::string& value) {
  return ResultBox("行列式的值为 " + value, Owner::kDialog);
}

Box Error(const char* text) {
  return ErrorBox(text);
}

// The expected log written with plain line feeds; the file has CR LF.
std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const char kRepairExample[] = "0 1 2\r\n1 0 3\r\n4 -3 8";
const char kRepairExampleLog[] =
    "用第1行对2~3行进行高斯消元可得如下:\r\n"
    " 1 1 5\r\n"
    " 0 -1 -2\r\n"
    " 0 -7 -12\r\n"
    "\r\n"
    "用第2行对3~3行进行高斯消元可得如下:\r\n"
    " 1 1 5\r\n"
    " 0 -1 -2\r\n"
    " 0 0 2\r\n"
    "\r\n"
    "行列式的值为 -2";

// A press writes its log exactly when `log` is not empty.
struct PressCase {
  std::string text;
  bool log_chosen;
  Box box;
  std::string log;
};

void ExpectPresses(const std::vector<PressCase>& cases) {
  for (const PressCase& c : cases) {
    const DeterminantOutcome outcome = PressDeterminant({c.text, c.log_chosen});
    EXPECT_EQ(outcome.box.text, c.box.text) << c.text;
    EXPECT_EQ(outcome.box, c.box) << c.text;
    EXPECT_EQ(outcome.write_log, !c.log.empty()) << c.text;
    EXPECT_EQ(outcome.log, c.log) << c.text;
  }
}

TEST(PressDeterminant, WorkedExamplesComeOutByteForByte) {
  ExpectPresses({
      {kRepairExample, true, Result("-2"), kRepairExampleLog},
  });
  for (const cases::PressRow& c : cases::kDeterminantRows) {
    if (c.choice == cases::kHelp) {
      EXPECT_EQ(ZelcombeHelpBox(), c.box);
    } else {
      ExpectPresses({{c.first, c.choice == cases::kLog, c.box, c.log}});
    }
  }
}

TEST(PressDeterminant, EliminationStepsAndValues) {
  const std::string header1of2 = "用第1行对2~2行进行高斯消元可得如下:\n";
  const std::string header1of3 = "用第1行对2~3行进行高斯消元可得如下:\n";
  const std::string header2of3 = "用第2行对3~3行进行高斯消元可得如下:\n";
  ExpectPresses({
      // n = 1: no step, the log holds the result alone.
      {"5", true, Result("5"), "行列式的值为 5"},
      {"2/4", true, Result("1/2"), "行列式的值为 1/2"},
      {"-2147483648", true, Result("-2147483648"), "行列式的值为 -2147483648"},
      // A zero first column ends the step at the pivot test; the block shows
      // the matrix unchanged.
      {"0 1\r\n0 2", true, Result("0"), Crlf(header1of2 + " 0 1\n 0 2\n\n行列式的值为 0")},
      // The first lower row with a non-zero entry repairs the pivot, not a
      // later one.
      {"0 1 0\r\n2 0 1\r\n3 1 1", true, Result("1"),
       Crlf(header1of3 + " 2 1 1\n 0 -1 0\n 0 -1/2 -1/2\n\n" + header2of3 +
            " 2 1 1\n 0 -1 0\n 0 0 -1/2\n\n行列式的值为 1")},
      // A zero pivot in the second step, repaired, and one that ends it.
      {"1 2 3\r\n2 4 7\r\n1 3 1", true, Result("-1"),
       Crlf(header1of3 + " 1 2 3\n 0 0 1\n 0 1 -2\n\n" + header2of3 +
            " 1 2 3\n 0 1 -1\n 0 0 -1\n\n行列式的值为 -1")},
      {"1 2 3\r\n2 4 7\r\n3 6 1", true, Result("0"),
       Crlf(header1of3 + " 1 2 3\n 0 0 1\n 0 0 -8\n\n" + header2of3 +
            " 1 2 3\n 0 0 1\n 0 0 -8\n\n行列式的值为 0")},
      // A negative pivot: denominators are made positive inside the step.
      {"-2 1\r\n1 1", true, Result("-3"), Crlf(header1of2 + " -2 1\n 0 3/2\n\n行列式的值为 -3")},
      // The pivot row is written as typed (2/4, 0/5); eliminated rows, even
      // with a zero multiplier, come out reduced.
      {"2/4 1\r\n1 1", true, Result("-1/2"),
       Crlf(header1of2 + " 2/4 1\n 0 -1\n\n行列式的值为 -1/2")},
      {"2 0/5\r\n0/5 6/2", true, Result("6"), Crlf(header1of2 + " 2 0\n 0 3\n\n行列式的值为 6")},
      // An entry that comes out as exactly -1 over a product beyond 2^63 is
      // stored reduced, with its sign on the numerator.
      {"142397 6/8 6/16\r\n22\r\n1 2", true, Result("33/2"),
       Crlf(header1of3 +
            " 142397 6/8 6/16\n 0 -33/284794 -33/569588\n 0 1139173/569588 -3/1139176\n\n" +
            header2of3 +
            " 142397 6/8 6/16\n 0 -33/284794 -33/569588\n 0 0 -1\n\n行列式的值为 33/2")},
      // Signs and denominators of the value.
      {"1/2 0\r\n0 1/3", false, Result("1/6"), ""},
      {"-1/2 0\r\n0 1/3", false, Result("-1/6"), ""},
      {"1 2\r\n1 2", false, Result("0"), ""},
      // The order is the number of rows: further columns are ignored,
      // entries a short row does not give are 0.
      {"1 2 3\r\n4 5 6", false, Result("-3"), ""},
      {"1 2\r\n3", false, Result("-6"), ""},
      {"1 2\r\n\r\n3 4", false, Result("0"), ""},  // the empty line is a zero row
  });
}

const char kSingularSum[] =
    "4/1274 5/646 1/2508\r\n1/1700 8/472 2/2536\r\n8074/2165800 7528/304912 7552/6360288";

TEST(PressDeterminant, ValuesBeyondThirtyTwoBitsAreExact) {
  const std::string header1of2 = "用第1行对2~2行进行高斯消元可得如下:\n";
  ExpectPresses({
      // Intermediate products leave 32 bits, the stored entries do not.
      {"46341 46341\r\n46341 46342", false, Result("46341"), ""},
      {"65536 0\r\n0 1/65536", true, Result("1"),
       Crlf(header1of2 + " 65536 0\n 0 1/65536\n\n行列式的值为 1")},
      // Entries and values beyond 32 bits, in the result and in the log.
      {"1 0 0\r\n0 2147483647 1\r\n0 1 2147483647", true, Result("4611686014132420608"),
       Crlf("用第1行对2~3行进行高斯消元可得如下:\n 1 0 0\n 0 2147483647 1\n"
            " 0 1 2147483647\n\n"
            "用第2行对3~3行进行高斯消元可得如下:\n 1 0 0\n 0 2147483647 1\n"
            " 0 0 4611686014132420608/2147483647\n\n行列式的值为 4611686014132420608")},
      {"2147483647 0\r\n0 2", true, Result("4294967294"),
       Crlf(header1of2 + " 2147483647 0\n 0 2\n\n行列式的值为 4294967294")},
      // Row 3 is the sum of rows 1 and 2; its steps leave 32 bits.
      {kSingularSum, false, Result("0"), ""},
  });
}

TEST(PressDeterminant, RefusedTextsWriteNoLog) {
  std::string twenty_one_rows;
  for (int i = 0; i < 21; ++i) twenty_one_rows += "1\r\n";
  ExpectPresses({
      {twenty_one_rows, true, Error("矩阵不能超过20行20列"), ""},
      {"5/0 1\r\n1 1", true, Error("分母不能为0"), ""},
  });
}

// A fresh directory for files, removed with its contents afterwards.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/zelcombe-test-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() {
    std::remove(File(kProcessLogName).c_str());
    std::remove(File("sub").c_str());
    rmdir(path_.c_str());
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(WriteProcessLog, WritesTheBytesUnchangedAndReportsEveryFailure) {
  TempDir dir;
  const std::string path = dir.File(kProcessLogName);
  ASSERT_TRUE(WriteProcessLog(path.c_str(), std::string(5000, 'x')));
  ASSERT_TRUE(WriteProcessLog(path.c_str(), "a\r\nb\n"));
  EXPECT_EQ(ReadFile(path), "a\r\nb\n");  // replaced whole, no line end translated

  const std::string sub = dir.File("sub");
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  EXPECT_FALSE(WriteProcessLog(sub.c_str(), "x"));  // the path is a directory
  EXPECT_FALSE(WriteProcessLog(dir.File("missing/log.txt").c_str(), "x"));
  // A full disk: the open succeeds, the buffered bytes fail on close.
  if (access("/dev/full", W_OK) == 0) {
    EXPECT_FALSE(WriteProcessLog("/dev/full", "x"));
  }
}

TEST(RunDeterminantPress, WritesTheLogOnlyWhenAskedAndReportsAFailedWrite) {
  TempDir dir;
  const std::string path = dir.File(kProcessLogName);

  EXPECT_EQ(RunDeterminantPress({cases::kWorkedExample, true}, path.c_str()),
            std::vector<Box>{Result("-47")});
  EXPECT_EQ(ReadFile(path), cases::kWorkedExampleLog);

  // Unchecked, or refused before calculating: the earlier file stays.
  EXPECT_EQ(RunDeterminantPress({kRepairExample, false}, path.c_str()),
            std::vector<Box>{Result("-2")});
  EXPECT_EQ(RunDeterminantPress({"", true}, path.c_str()), std::vector<Box>{Error("请输入矩阵")});
  EXPECT_EQ(RunDeterminantPress({"1/0", true}, path.c_str()),
            std::vector<Box>{Error("分母不能为0")});
  EXPECT_EQ(ReadFile(path), cases::kWorkedExampleLog);

  // Every press with the log replaces the whole file.
  EXPECT_EQ(RunDeterminantPress({"7", true}, path.c_str()), std::vector<Box>{Result("7")});
  EXPECT_EQ(ReadFile(path), "行列式的值为 7");

  // A log that cannot be written is reported first, then the result.
  const std::string sub = dir.File("sub");
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  EXPECT_EQ(RunDeterminantPress({cases::kWorkedExample, true}, sub.c_str()),
            (std::vector<Box>{Error("无法写入计算过程.txt"), Result("-47")}));
  EXPECT_EQ(RunDeterminantPress({cases::kWorkedExample, false}, sub.c_str()),
            std::vector<Box>{Result("-47")});
}

}  // namespace
}  // namespace calc
