// Times one whole press of "计算" in each program, from the typed text to
// the text of the result box, on 20 x 20 inputs that end in a result.
//
// An input that ends in a refusal instead would time the refusal, so every
// benchmark first checks that its press shows "计算完毕" and otherwise
// reports an error instead of a time.

#include <benchmark/benchmark.h>

#include "basicops_press.h"
#include "bench_matrices.h"
#include "determinant_press.h"
#include "inverse_press.h"
#include "matrix_reader.h"
#include "messages.h"
#include "rank_press.h"

namespace calc::bench {
namespace {

// The main input: dense fractions with the largest entries of the family.
const std::string& HardText() {
  static const std::string text = MatrixText(GenerateMatrix(10, Spread::kLarge));
  return text;
}

// A second matrix of the same kind for the two-matrix operations.
const std::string& SecondText() {
  static const std::string text = MatrixText(GenerateMatrix(7, Spread::kLarge));
  return text;
}

// For the product: smaller entries, so that sums of twenty products of
// them stay in range.
const std::string& ProductLeftText() {
  static const std::string text = MatrixText(GenerateMatrix(3, Spread::kSmall));
  return text;
}
const std::string& ProductRightText() {
  static const std::string text = MatrixText(GenerateMatrix(4, Spread::kSmall));
  return text;
}

bool IsResult(const Box& box) {
  return box.caption == kCaptionDone;
}

template <typename Press>
void RunPress(benchmark::State& state, Press press) {
  const Box first = press();
  if (!IsResult(first)) {
    state.SkipWithError(("the press does not end in a result: " + first.text).c_str());
    return;
  }
  for (auto _ : state) {
    Box box = press();
    benchmark::DoNotOptimize(box);
  }
}

void BM_Adjugate(benchmark::State& state) {
  const InverseInput input{HardText(), true, false};
  RunPress(state, [&] { return PressInverse(input); });
}
BENCHMARK(BM_Adjugate)->Unit(benchmark::kMillisecond);

void BM_Inverse(benchmark::State& state) {
  const InverseInput input{HardText(), false, true};
  RunPress(state, [&] { return PressInverse(input); });
}
BENCHMARK(BM_Inverse)->Unit(benchmark::kMillisecond);

void BM_Rank(benchmark::State& state) {
  const RankInput input{HardText(), true};
  RunPress(state, [&] { return PressRank(input); });
}
BENCHMARK(BM_Rank)->Unit(benchmark::kMicrosecond);

void BM_Determinant(benchmark::State& state) {
  const DeterminantInput input{HardText(), false};
  RunPress(state, [&] { return PressDeterminant(input).box; });
}
BENCHMARK(BM_Determinant)->Unit(benchmark::kMicrosecond);

// With the log the press also builds the bytes of every step's matrix;
// writing them to the file is the handler's part and is not timed.
void BM_DeterminantWithLog(benchmark::State& state) {
  const DeterminantInput input{HardText(), true};
  RunPress(state, [&] { return PressDeterminant(input).box; });
}
BENCHMARK(BM_DeterminantWithLog)->Unit(benchmark::kMicrosecond);

void BM_Sum(benchmark::State& state) {
  BasicOpsInput input{HardText(), SecondText()};
  input.add = true;
  RunPress(state, [&] { return PressBasicOps(input); });
}
BENCHMARK(BM_Sum)->Unit(benchmark::kMicrosecond);

void BM_Difference(benchmark::State& state) {
  BasicOpsInput input{HardText(), SecondText()};
  input.subtract = true;
  RunPress(state, [&] { return PressBasicOps(input); });
}
BENCHMARK(BM_Difference)->Unit(benchmark::kMicrosecond);

void BM_Product(benchmark::State& state) {
  BasicOpsInput input{ProductLeftText(), ProductRightText()};
  input.multiply = true;
  RunPress(state, [&] { return PressBasicOps(input); });
}
BENCHMARK(BM_Product)->Unit(benchmark::kMicrosecond);

void BM_Multiple(benchmark::State& state) {
  BasicOpsInput input{HardText(), "-7/3"};
  input.scalar = true;
  RunPress(state, [&] { return PressBasicOps(input); });
}
BENCHMARK(BM_Multiple)->Unit(benchmark::kMicrosecond);

void BM_ReadLongestText(benchmark::State& state) {
  const std::string text = LongestMatrixText();
  FractionMatrix m;
  if (ReadMatrixText(text, m) != ReadError::kNone) {
    state.SkipWithError("the longest text is refused");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadMatrixText(text, m));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadLongestText)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace calc::bench

BENCHMARK_MAIN();
