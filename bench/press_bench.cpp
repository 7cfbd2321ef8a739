// Times one whole press of "计算" in each program, from the typed text to
// the text of the result box, on both input sets; and, in the same run,
// FLINT's exact rational routines on the same matrices when FLINT is
// installed. Benchmarks are named operation/set/who.
//
// An input that ends in a refusal instead would time the refusal, so every
// press benchmark first checks once that its press shows "计算完毕" and
// otherwise reports an error instead of a time.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "basicops_press.h"
#include "bench_matrices.h"
#include "determinant_press.h"
#include "inverse_press.h"
#include "matrix_reader.h"
#include "messages.h"
#include "rank_press.h"

namespace calc::bench {
namespace {

template <typename Press>
void Register(const std::string& name, Press press) {
  benchmark::RegisterBenchmark(name.c_str(), [press](benchmark::State& state) {
    const Box first = press();
    if (first.caption != kCaptionDone) {
      state.SkipWithError(("the press does not end in a result: " + first.text).c_str());
      return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(press());
  })->Unit(benchmark::kMicrosecond);
}

void RegisterPresses(const InputSet& set) {
  const std::string suffix = std::string("/") + set.name + "/ours";
  Register("rank" + suffix, [&set] { return PressRank({set.first, true}).box; });
  Register("determinant" + suffix, [&set] { return PressDeterminant({set.first, false}).box; });
  // With the log the press also builds the bytes of every step's matrix;
  // writing them to the file is the shell's part and is not timed.
  Register("determinant_log" + suffix, [&set] { return PressDeterminant({set.first, true}).box; });
  Register("rank_log" + suffix, [&set] { return PressRank({set.first, true, false, true}).box; });
  Register("adjugate" + suffix, [&set] { return PressInverse({set.first, true, false}).box; });
  Register("inverse" + suffix, [&set] { return PressInverse({set.first, false, true}).box; });
  Register("adjugate_log" + suffix, [&set] {
    return PressInverse({set.first, true, false, true}).box;
  });
  Register("inverse_log" + suffix, [&set] {
    return PressInverse({set.first, false, true, true}).box;
  });
  Register("sum" + suffix, [&set] {
    BasicOpsInput input{set.first, set.second};
    input.add = true;
    return PressBasicOps(input);
  });
  Register("product" + suffix, [&set] {
    BasicOpsInput input{set.left, set.right};
    input.multiply = true;
    return PressBasicOps(input);
  });
  Register("multiple" + suffix, [&set] {
    BasicOpsInput input{set.first, set.factor};
    input.scalar = true;
    return PressBasicOps(input);
  });
}

// Lumbrane's adjugate of a matrix of rank n - 1, which has no inverse to
// scale: the press takes its other way, through one minor.
void RegisterSingularAdjugate() {
  const FractionMatrix singular = FullRangeRank19Matrix(4);
  FractionMatrix eliminated = singular;
  if (EliminateForRank(eliminated) != 19) std::abort();  // the input is not what it says
  const InverseInput input{MatrixText(singular), true, false};
  Register("adjugate_rank19/full_range/ours", [input] { return PressInverse(input).box; });
  InverseInput logged = input;
  logged.log_chosen = true;
  Register("adjugate_rank19_log/full_range/ours", [logged] { return PressInverse(logged).box; });
}

// A choice of Quorvit's ("特征值", "解方程组") on each of its inputs: the
// whole press, from the typed text to the box text.
template <typename Input>
void RegisterQuorvit(const char* press, const std::vector<Input>& inputs, bool RankInput::*choice) {
  for (const Input& input : inputs) {
    Register(std::string(press) + "/" + input.name + "/ours", [&input, choice] {
      RankInput state;
      state.matrix_text = input.text;
      state.*choice = true;
      return PressRank(state).box;
    });
  }
}

void ReadLongestText(benchmark::State& state) {
  const std::string text = LongestMatrixText();
  FractionMatrix m;
  if (!ReadMatrixText(text, m).ok()) {
    state.SkipWithError("the longest text is refused");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadMatrixText(text, m));
    benchmark::ClobberMemory();
  }
}

}  // namespace
}  // namespace calc::bench

int main(int argc, char** argv) {
  using namespace calc::bench;
  for (const InputSet* set : {&InRangeSet(), &FullRangeSet()}) {
    RegisterPresses(*set);
#ifdef CALC_BENCH_FLINT
    RegisterFlintBenchmarks(*set);
#endif
  }
  RegisterSingularAdjugate();
  RegisterQuorvit("eigenvalues", EigenInputs(), &calc::RankInput::eigenvalues_chosen);
  RegisterQuorvit("system", SystemInputs(), &calc::RankInput::solve_chosen);
#ifdef CALC_BENCH_FLINT
  RegisterFlintEigenBenchmarks();
  RegisterFlintSystemBenchmarks();
#endif
  benchmark::RegisterBenchmark("read_longest/full_range/ours", ReadLongestText)
      ->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
