// Any bytes at all reach the reader: it either refuses them with one of its
// errors and leaves an empty matrix, or fills at most 20 x 20 entries with
// non-zero denominators. Bytes that cannot start or end a matrix change
// nothing, and a matrix written back as typed text reads the same again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "matrix_reader.h"

namespace calc::fuzz {
namespace {

bool SameReading(const FractionMatrix& a, const FractionMatrix& b) {
  if (a.rows != b.rows || a.cols != b.cols) return false;
  for (int i = 0; i <= kMaxOrder; ++i) {
    for (int j = 0; j <= kMaxOrder; ++j) {
      if (a.num[i][j] != b.num[i][j] || a.den[i][j] != b.den[i][j]) return false;
    }
  }
  return true;
}

// Rows 1..rows, columns 1..cols as the user would type them.
std::string TypedText(const FractionMatrix& m) {
  std::string text;
  for (int i = 1; i <= m.rows; ++i) {
    for (int j = 1; j <= m.cols; ++j) {
      text += std::to_string(m.num[i][j]) + "/" + std::to_string(m.den[i][j]) + " ";
    }
    text += "\r\n";
  }
  return text;
}

void CheckReading(std::string_view text) {
  FractionMatrix m;
  const ReadError error = ReadMatrixText(text, m);
  if (error == ReadError::kNone) {
    Require(m.rows >= 1 && m.rows <= kMaxOrder, "row count outside 1..20");
    Require(m.cols >= 1 && m.cols <= kMaxOrder, "column count outside 1..20");
    for (int i = 0; i <= kMaxOrder; ++i) {
      for (int j = 0; j <= kMaxOrder; ++j) {
        if (i == 0 || j == 0) {
          Require(m.num[i][j] == 0 && m.den[i][j] == 1, "row or column 0 was written");
        } else {
          Require(m.den[i][j] > 0, "a denominator that is not positive");
        }
      }
    }
    // The entries the text gives, written back in full, read the same.
    FractionMatrix again;
    Require(ReadMatrixText(TypedText(m), again) == ReadError::kNone, "the typed form is refused");
    Require(again.rows == m.rows && again.cols == m.cols, "the typed form has another shape");
    for (int i = 1; i <= m.rows; ++i) {
      for (int j = 1; j <= m.cols; ++j) {
        Require(again.num[i][j] == m.num[i][j] && again.den[i][j] == m.den[i][j],
                "the typed form reads another entry");
      }
    }
  } else {
    Require(ReadErrorText(error) != nullptr, "a refusal without a message");
    FractionMatrix cleared;
    cleared.Clear();
    Require(SameReading(m, cleared), "a refused text left entries behind");
  }

  // Nothing before the first digit or minus, nor after the last digit,
  // counts (full stops excepted: they may start a refused decimal).
  FractionMatrix padded;
  Require(
      ReadMatrixText(std::string(text) + " \r\n-/x\t", padded) == error && SameReading(m, padded),
      "bytes after the last digit changed the reading");
  Require(
      ReadMatrixText("x\r\n\t /" + std::string(text), padded) == error && SameReading(m, padded),
      "bytes before the first digit changed the reading");
}

}  // namespace
}  // namespace calc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  calc::fuzz::CheckReading(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
