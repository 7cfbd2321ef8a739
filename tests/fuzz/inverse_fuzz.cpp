// Lumbrane, for any typed text and every choice: without a choice only the
// choice message; otherwise the reader's refusal, the singular-matrix box
// (inverse only), the overflow message or the result, a matrix of the order
// n (the row count) with reduced entries and positive denominators. Where
// both are shown, the inverse is the adjugate divided by one number: the
// two have the same zero entries and every ratio between them is the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "inverse_press.h"
#include "matrix_reader.h"
#include "messages.h"
#include "wide_int.h"

namespace calc::fuzz {
namespace {

constexpr char kChoose[] = "请选择计算方式!";
const Box kSingular{"该矩阵的值为0,不存在逆矩阵!", "False !", Owner::kDialog};

void CheckPresses(std::string_view text) {
  Require(PressInverse({std::string(text), false, false}) == ErrorBox(kChoose),
          "a press without a choice did not ask for one");
  FractionMatrix m;
  const ReadError read = ReadMatrixText(text, m);

  std::vector<ShownEntry> shown[2];  // adjugate, inverse
  for (int invert = 0; invert < 2; ++invert) {
    const Box box = PressInverse({std::string(text), invert == 0, invert == 1});
    if (read != ReadError::kNone) {
      Require(box == ErrorBox(ReadErrorText(read)), "not the reader's own refusal", box.text);
      continue;
    }
    if (box == kSingular) {
      Require(invert == 1, "the adjugate refused as singular", box.text);
      continue;
    }
    if (!CheckBox(box, Owner::kNone, {kMsgOutOfRange})) continue;
    shown[invert] = CheckMatrixText(box.text, m.rows, m.rows);
    if (m.rows == 1 && invert == 0) {
      Require(box.text == "1 \n", "the adjugate of a 1 x 1 matrix is not 1", box.text);
    }
  }

  if (shown[0].empty() || shown[1].empty()) return;
  // adj(k) / inv(k) is the same for every k: adj(k) * inv(l) == adj(l) * inv(k).
  size_t first = shown[0].size();
  for (size_t k = 0; k < shown[0].size(); ++k) {
    Require((shown[0][k].num == 0) == (shown[1][k].num == 0),
            "the adjugate and the inverse differ in their zero entries");
    if (shown[0][k].num != 0 && first == shown[0].size()) first = k;
  }
  for (size_t k = first + 1; k < shown[0].size(); ++k) {
    const ShownEntry &a = shown[0][first], &b = shown[1][first];
    const ShownEntry &c = shown[0][k], &d = shown[1][k];
    Require(Wide{a.num} * d.num * c.den * b.den == Wide{c.num} * b.num * a.den * d.den,
            "the inverse is not the adjugate divided by one number");
  }
}

}  // namespace
}  // namespace calc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using calc::fuzz::ControlText;
  calc::fuzz::CheckPresses(
      ControlText(std::string_view(reinterpret_cast<const char *>(data), size)));
  return 0;
}
