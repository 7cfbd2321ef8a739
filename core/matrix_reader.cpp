#include "matrix_reader.h"

#include <cstdint>

#include "messages.h"

namespace calc {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Beyond this magnitude the accumulator stops growing: the number is already
// out of range and only the flag matters.
constexpr int64_t kAccumulatorCap = int64_t{1} << 40;

enum class Mode { kPositive, kNegative, kDenominator };

struct Parser {
  FractionMatrix& m;
  int64_t acc = 0;
  Mode mode = Mode::kPositive;
  bool digits_seen = false;
  int i = 1;
  int j = 1;
  int rows = 1;
  bool too_large = false;
  bool out_of_range = false;
  bool zero_denominator = false;
  int widest[kMaxOrder + 1] = {};  // the last column each row stores

  void AddDigit(int d, bool subtract) {
    if (acc > kAccumulatorCap || acc < -kAccumulatorCap) return;
    acc = acc * 10 + (subtract ? -d : d);
  }

  // A number's magnitude only grows as its digits come, so its range is
  // checked once, when it is stored.
  void CheckRange() {
    if (acc > INT32_MAX || acc < INT32_MIN) out_of_range = true;
  }

  bool InRange() {
    if (i > kMaxOrder || j > kMaxOrder) {
      too_large = true;
      return false;
    }
    return true;
  }

  void StoreNumerator() {
    CheckRange();
    if (InRange()) {
      m(i, j).num = acc;
      if (j > widest[i]) widest[i] = j;
    }
    acc = 0;
    digits_seen = false;
  }

  void StoreDenominator() {
    CheckRange();
    if (acc == 0) zero_denominator = true;
    if (InRange()) m(i, j).den = acc;
    acc = 0;
  }

  void NextRow() {
    ++i;
    j = 1;
    ++rows;
  }

  void Feed(char c) {
    const bool digit = IsDigit(c);
    switch (mode) {
      case Mode::kPositive:
        if (digit) {
          AddDigit(c - '0', false);
          digits_seen = true;
        } else if (c == '-') {
          mode = Mode::kNegative;
        } else if (c == '/') {
          StoreNumerator();
          mode = Mode::kDenominator;
        } else if (c == ' ') {
          if (digits_seen) {
            StoreNumerator();
            ++j;
          }
        } else if (c == '\r') {
          if (digits_seen) StoreNumerator();
          NextRow();
        }
        break;
      case Mode::kNegative:
        if (digit) {
          AddDigit(c - '0', true);
          digits_seen = true;
        } else if (c == '/') {
          StoreNumerator();
          mode = Mode::kDenominator;
        } else if (c == ' ') {
          if (digits_seen) {
            StoreNumerator();
            ++j;
            mode = Mode::kPositive;
          }
        } else if (c == '\r') {
          if (digits_seen) {
            StoreNumerator();
            mode = Mode::kPositive;
            NextRow();
          }
        }
        break;
      case Mode::kDenominator:
        if (digit) {
          AddDigit(c - '0', false);
        } else if (c == ' ') {
          StoreDenominator();
          ++j;
          mode = Mode::kPositive;
        } else if (c == '\r') {
          if (acc != 0) {
            StoreDenominator();
            mode = Mode::kPositive;
            NextRow();
          }
        }
        break;
    }
  }
};

// Words are runs of bytes between blanks; a column is a word with a digit.
int CountColumns(std::string_view text) {
  int columns = 0;
  bool in_word_with_digit = false;
  for (char c : text) {
    if (c == ' ') {
      if (in_word_with_digit) ++columns;
      in_word_with_digit = false;
    } else if (IsDigit(c)) {
      in_word_with_digit = true;
    }
  }
  if (in_word_with_digit) ++columns;
  return columns;
}

// The first row after the first with more entries than the column count.
int FirstLongRow(const Parser& parser, int columns) {
  for (int row = 2; row <= parser.rows && row <= kMaxOrder; ++row) {
    if (parser.widest[row] > columns) return row;
  }
  return 0;
}

ReadResult Refusal(ReadError error, int row = 0) {
  ReadResult result;
  result.error = error;
  result.row = row;
  return result;
}

}  // namespace

ReadResult ReadMatrixText(std::string_view typed, FractionMatrix& m) {
  m.Clear();
  const PreparedText prepared = PrepareMatrixText(typed);
  if (!prepared.refusal.ok()) return prepared.refusal;
  const std::string_view text = prepared.plain;
  const size_t last_digit = text.find_last_of("0123456789");
  if (last_digit == std::string_view::npos) return Refusal(ReadError::kNoDigit);

  // Cut after the last digit; two blanks end the last entry.
  const size_t start = text.find_first_of("0123456789-");
  const std::string_view body = text.substr(start, last_digit + 1 - start);

  Parser parser{m};
  for (char c : body) parser.Feed(c);
  parser.Feed(' ');
  parser.Feed(' ');

  const std::string_view counted = parser.rows > 1 ? body.substr(0, body.find('\r')) : body;
  const int columns = CountColumns(counted);

  ReadResult result;
  if (columns == 0) {
    // Only the first line counts the columns; one without a number (a lone
    // minus) would give a matrix of no columns and an empty result.
    result = Refusal(ReadError::kNoDigit);
  } else if (parser.too_large || parser.rows > kMaxOrder || columns > kMaxOrder) {
    result = Refusal(ReadError::kTooLarge);
  } else if (const int row = FirstLongRow(parser, columns); row != 0) {
    result = Refusal(ReadError::kLongRow, row);
  } else if (parser.out_of_range) {
    result = Refusal(ReadError::kOutOfRange);
  } else if (parser.zero_denominator) {
    result = Refusal(ReadError::kZeroDenominator);
  }
  if (!result.ok()) {
    m.Clear();
    return result;
  }
  m.rows = parser.rows;
  m.cols = columns;
  return result;
}

std::string ReadMessage(const ReadResult& result) {
  const std::string row = std::to_string(result.row);
  switch (result.error) {
    case ReadError::kNone:
      return "";
    case ReadError::kUnknownCharacter:
      return "无法识别第" + row + "行的字符“" + result.what + "”";
    case ReadError::kUnknownCommand:
      return "无法识别第" + row + "行的命令“" + result.what + "”";
    case ReadError::kMinusInDenominator:
      return "第" + row + "行: 负号请写在分子前";
    case ReadError::kEmptyCell:
      return "第" + row + "行第" + std::to_string(result.col) + "列为空, 请填入数值";
    case ReadError::kNoDigit:
      return kMsgNoMatrix;
    case ReadError::kTooLarge:
      return kMsgTooLarge;
    case ReadError::kLongRow:
      return "第" + row + "行的数比第1行多";
    case ReadError::kOutOfRange:
      return kMsgOutOfRange;
    case ReadError::kZeroDenominator:
      return kMsgZeroDenominator;
  }
  return "";
}

}  // namespace calc
