// Tessovar, for any two typed texts and every choice: without a choice only
// the choice message; otherwise the first text's refusal, then the second's,
// then the shape check, then the result (or the overflow message). A result
// has the shape of its operation, reduced entries and positive denominators;
// a sum does not depend on the order of its terms, and a matrix minus
// itself is zero.
//
// Input: the first matrix's text, a NUL byte, the second's. Without a NUL
// both edit controls hold the same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "basicops_press.h"
#include "fuzz_checks.h"
#include "matrix_reader.h"
#include "messages.h"

namespace calc::fuzz {
namespace {

constexpr char kChoose[] = "请选择计算方式";
constexpr char kWrongShape[] = "矩阵有误";

enum Choice { kNone, kAdd, kSubtract, kMultiply, kScalar };

BasicOpsInput Input(std::string_view first, std::string_view second, Choice choice) {
  BasicOpsInput input{std::string(first), std::string(second)};
  input.add = choice == kAdd;
  input.subtract = choice == kSubtract;
  input.multiply = choice == kMultiply;
  input.scalar = choice == kScalar;
  return input;
}

void CheckPresses(std::string_view first, std::string_view second) {
  FractionMatrix a;
  FractionMatrix b;
  const ReadError read_a = ReadMatrixText(first, a);
  const ReadError read_b = ReadMatrixText(second, b);
  Require(PressBasicOps(Input(first, second, kNone)) == ErrorBox(kChoose),
          "a press without a choice did not ask for one");

  for (Choice choice : {kAdd, kSubtract, kMultiply, kScalar}) {
    const Box box = PressBasicOps(Input(first, second, choice));
    const bool result = CheckBox(box, Owner::kNone,
                                 {kMsgNoMatrix, kMsgTooLarge, kMsgDecimal, kMsgOutOfRange,
                                  kMsgZeroDenominator, kWrongShape});
    if (read_a != ReadError::kNone || read_b != ReadError::kNone) {
      const ReadError first_error = read_a != ReadError::kNone ? read_a : read_b;
      Require(box == ErrorBox(ReadErrorText(first_error)), "not the first text's refusal",
              box.text);
      continue;
    }
    const bool same_shape = a.rows == b.rows && a.cols == b.cols;
    const bool shapes_fit =
        choice == kMultiply ? a.cols == b.rows : choice == kScalar || same_shape;
    if (!shapes_fit) {
      Require(box == ErrorBox(kWrongShape), "unfit shapes not refused", box.text);
      continue;
    }
    Require(result || box.text == kMsgOutOfRange, "fit shapes refused", box.text);
    if (!result) continue;
    const int cols = choice == kMultiply ? b.cols : a.cols;
    const std::vector<ShownEntry> entries = CheckMatrixText(box.text, a.rows, cols);
    if (choice == kSubtract && first == second) {
      for (const ShownEntry& e : entries) Require(e.num == 0, "a matrix minus itself", box.text);
    }
    if (choice == kAdd) {
      Require(PressBasicOps(Input(second, first, kAdd)) == box, "a sum depends on the order",
              box.text);
    }
  }
}

}  // namespace
}  // namespace calc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using calc::fuzz::ControlText;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string_view first = ControlText(bytes);
  const std::string_view second =
      first.size() < bytes.size() ? ControlText(bytes.substr(first.size() + 1)) : first;
  calc::fuzz::CheckPresses(first, second);
  return 0;
}
