// Quorvit, for any typed text, with and without "秩" chosen: the box is the
// result or one of the program's errors, and a result shows the eliminated
// matrix in row echelon form, reduced, with positive denominators, one line
// per row, followed by a rank equal to its number of non-zero rows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "matrix_reader.h"
#include "messages.h"
#include "rank_press.h"

namespace calc::fuzz {
namespace {

constexpr char kChoose[] = "请选择计算方式";
constexpr char kRankPrefix[] = "\n矩阵的秩为";

void CheckPress(std::string_view text) {
  Require(PressRank({std::string(text), false}) == ErrorBox(kChoose),
          "a press without a choice did not ask for one");

  const Box box = PressRank({std::string(text), true});
  FractionMatrix m;
  const ReadError read = ReadMatrixText(text, m);
  if (!CheckBox(box, Owner::kNone,
                {kMsgNoMatrix, kMsgTooLarge, kMsgDecimal, kMsgOutOfRange, kMsgZeroDenominator})) {
    if (read != ReadError::kNone) {
      Require(box.text == ReadErrorText(read), "not the reader's own refusal", box.text);
    } else {
      Require(box.text == kMsgOutOfRange, "a readable matrix refused as unreadable", box.text);
    }
    return;
  }
  Require(read == ReadError::kNone, "a result for a text the reader refuses", box.text);

  const size_t tail = box.text.rfind(kRankPrefix);
  Require(tail != std::string::npos, "the rank line is missing", box.text);
  const std::vector<ShownEntry> entries =
      CheckMatrixText(std::string_view(box.text).substr(0, tail), m.rows, m.cols);
  ShownEntry rank;
  const std::string_view rank_text =
      std::string_view(box.text).substr(tail + sizeof(kRankPrefix) - 1);
  Require(ParseShownEntry(rank_text, {}, rank) && rank.den == 1 && rank.num >= 0,
          "the rank is not a plain number", box.text);

  // Row echelon form: each leading entry strictly right of the one above,
  // zero rows only at the bottom, as many non-zero rows as the rank.
  int previous_lead = 0;
  int nonzero_rows = 0;
  for (int i = 0; i < m.rows; ++i) {
    int lead = 0;
    for (int j = 0; j < m.cols && lead == 0; ++j) {
      if (entries[i * m.cols + j].num != 0) lead = j + 1;
    }
    if (lead == 0) {
      previous_lead = m.cols + 1;
      continue;
    }
    Require(lead > previous_lead, "the result is not in row echelon form", box.text);
    previous_lead = lead;
    ++nonzero_rows;
  }
  Require(rank.num == nonzero_rows, "the rank is not the number of non-zero rows", box.text);
}

}  // namespace
}  // namespace calc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using calc::fuzz::ControlText;
  calc::fuzz::CheckPress(ControlText(std::string_view(reinterpret_cast<const char*>(data), size)));
  return 0;
}
