// Our presses against FLINT's exact rational matrix routines, on the same
// matrices in the same run, with a table of the ratios ours / FLINT.
//
// Two times are given for ours where the calculation can be called on its
// own: the whole press (text in, result text out) and the calculation
// alone on a matrix already read, which is what FLINT's routine does. The
// FLINT side never reads or writes text.

#include <benchmark/benchmark.h>
#include <fmpq.h>
#include <fmpq_mat.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "basicops_press.h"
#include "bench_matrices.h"
#include "determinant_press.h"
#include "inverse_press.h"
#include "matrix_reader.h"
#include "messages.h"
#include "rank_press.h"

namespace calc::bench {
namespace {

// A FractionMatrix as a FLINT matrix of the same order.
class FlintMatrix {
 public:
  explicit FlintMatrix(const FractionMatrix& m) {
    fmpq_mat_init(mat_, m.rows, m.cols);
    for (int i = 1; i <= m.rows; ++i) {
      for (int j = 1; j <= m.cols; ++j) {
        fmpq_set_si(fmpq_mat_entry(mat_, i - 1, j - 1), m.num[i][j], m.den[i][j]);
      }
    }
  }
  FlintMatrix(int rows, int cols) { fmpq_mat_init(mat_, rows, cols); }
  ~FlintMatrix() { fmpq_mat_clear(mat_); }
  FlintMatrix(const FlintMatrix&) = delete;
  FlintMatrix& operator=(const FlintMatrix&) = delete;

  fmpq_mat_struct* get() { return mat_; }

 private:
  fmpq_mat_t mat_;
};

class FlintNumber {
 public:
  FlintNumber() { fmpq_init(q_); }
  ~FlintNumber() { fmpq_clear(q_); }
  FlintNumber(const FlintNumber&) = delete;
  FlintNumber& operator=(const FlintNumber&) = delete;
  fmpq* get() { return q_; }

 private:
  fmpq_t q_;
};

FractionMatrix Read(const std::string& text) {
  FractionMatrix m;
  ReadMatrixText(text, m);
  return m;
}

struct Inputs {
  std::string hard = MatrixText(GenerateMatrix(10, Spread::kLarge));
  std::string second = MatrixText(GenerateMatrix(7, Spread::kLarge));
  std::string product_left = MatrixText(GenerateMatrix(3, Spread::kSmall));
  std::string product_right = MatrixText(GenerateMatrix(4, Spread::kSmall));
  std::string factor = "-7/3";
};

const Inputs& TheInputs() {
  static const Inputs inputs;
  return inputs;
}

template <typename Press>
void TimePress(benchmark::State& state, Press press) {
  const Box first = press();
  if (first.caption != kCaptionDone) {
    state.SkipWithError(("the press does not end in a result: " + first.text).c_str());
    return;
  }
  for (auto _ : state) {
    Box box = press();
    benchmark::DoNotOptimize(box);
  }
}

// Times body(), which must return true; a false first result is reported
// as an error (the calculation refused the input).
template <typename Body>
void TimeKernel(benchmark::State& state, Body body) {
  if (!body()) {
    state.SkipWithError("the calculation refuses the input");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(body());
}

void RegisterAll() {
  const Inputs& in = TheInputs();
  using benchmark::RegisterBenchmark;
  using benchmark::State;

  // Adjugate: FLINT has none of its own; det(A) * inverse(A) is its way.
  RegisterBenchmark("adjugate/ours_press", [&in](State& s) {
    const InverseInput input{in.hard, true, false};
    TimePress(s, [&] { return PressInverse(input); });
  });
  RegisterBenchmark("adjugate/flint", [&in](State& s) {
    FlintMatrix a(Read(in.hard));
    FlintMatrix inv(20, 20);
    FlintNumber det;
    for (auto _ : s) {
      fmpq_mat_det(det.get(), a.get());
      fmpq_mat_inv(inv.get(), a.get());
      fmpq_mat_scalar_mul_fmpq(inv.get(), inv.get(), det.get());
    }
  });

  RegisterBenchmark("inverse/ours_press", [&in](State& s) {
    const InverseInput input{in.hard, false, true};
    TimePress(s, [&] { return PressInverse(input); });
  });
  RegisterBenchmark("inverse/flint", [&in](State& s) {
    FlintMatrix a(Read(in.hard));
    FlintMatrix inv(20, 20);
    for (auto _ : s) benchmark::DoNotOptimize(fmpq_mat_inv(inv.get(), a.get()));
  });

  // FLINT's rank comes from its reduced row echelon form, which clears
  // above the pivots too; ours stops at the echelon form.
  RegisterBenchmark("rank/ours_press", [&in](State& s) {
    const RankInput input{in.hard, true};
    TimePress(s, [&] { return PressRank(input); });
  });
  RegisterBenchmark("rank/ours_calc", [&in](State& s) {
    const FractionMatrix source = Read(in.hard);
    TimeKernel(s, [&] {
      FractionMatrix m = source;
      int rank = 0;
      return EliminateForRank(m, rank);
    });
  });
  RegisterBenchmark("rank/flint", [&in](State& s) {
    FlintMatrix a(Read(in.hard));
    FlintMatrix r(20, 20);
    for (auto _ : s) benchmark::DoNotOptimize(fmpq_mat_rref(r.get(), a.get()));
  });

  RegisterBenchmark("determinant/ours_press", [&in](State& s) {
    const DeterminantInput input{in.hard, false};
    TimePress(s, [&] { return PressDeterminant(input).box; });
  });
  RegisterBenchmark("determinant/ours_calc", [&in](State& s) {
    const FractionMatrix source = Read(in.hard);
    TimeKernel(s, [&] {
      FractionMatrix m = source;
      int32_t num = 0;
      int32_t den = 1;
      return CalculateDeterminant(m, 20, nullptr, num, den);
    });
  });
  RegisterBenchmark("determinant/flint", [&in](State& s) {
    FlintMatrix a(Read(in.hard));
    FlintNumber det;
    for (auto _ : s) fmpq_mat_det(det.get(), a.get());
  });

  RegisterBenchmark("sum/ours_press", [&in](State& s) {
    BasicOpsInput input{in.hard, in.second};
    input.add = true;
    TimePress(s, [&] { return PressBasicOps(input); });
  });
  RegisterBenchmark("sum/ours_calc", [&in](State& s) {
    const FractionMatrix a = Read(in.hard);
    const FractionMatrix b = Read(in.second);
    TimeKernel(s, [&] {
      FractionMatrix m = a;
      return AddMatrices(m, b, false);
    });
  });
  RegisterBenchmark("sum/flint", [&in](State& s) {
    FlintMatrix a(Read(in.hard));
    FlintMatrix b(Read(in.second));
    FlintMatrix c(20, 20);
    for (auto _ : s) fmpq_mat_add(c.get(), a.get(), b.get());
  });

  RegisterBenchmark("difference/ours_press", [&in](State& s) {
    BasicOpsInput input{in.hard, in.second};
    input.subtract = true;
    TimePress(s, [&] { return PressBasicOps(input); });
  });
  RegisterBenchmark("difference/ours_calc", [&in](State& s) {
    const FractionMatrix a = Read(in.hard);
    const FractionMatrix b = Read(in.second);
    TimeKernel(s, [&] {
      FractionMatrix m = a;
      return AddMatrices(m, b, true);
    });
  });
  RegisterBenchmark("difference/flint", [&in](State& s) {
    FlintMatrix a(Read(in.hard));
    FlintMatrix b(Read(in.second));
    FlintMatrix c(20, 20);
    for (auto _ : s) fmpq_mat_sub(c.get(), a.get(), b.get());
  });

  RegisterBenchmark("product/ours_press", [&in](State& s) {
    BasicOpsInput input{in.product_left, in.product_right};
    input.multiply = true;
    TimePress(s, [&] { return PressBasicOps(input); });
  });
  RegisterBenchmark("product/ours_calc", [&in](State& s) {
    const FractionMatrix a = Read(in.product_left);
    const FractionMatrix b = Read(in.product_right);
    TimeKernel(s, [&] {
      FractionMatrix m = a;
      return MultiplyMatrices(m, b);
    });
  });
  RegisterBenchmark("product/flint", [&in](State& s) {
    FlintMatrix a(Read(in.product_left));
    FlintMatrix b(Read(in.product_right));
    FlintMatrix c(20, 20);
    for (auto _ : s) fmpq_mat_mul(c.get(), a.get(), b.get());
  });

  RegisterBenchmark("multiple/ours_press", [&in](State& s) {
    BasicOpsInput input{in.hard, in.factor};
    input.scalar = true;
    TimePress(s, [&] { return PressBasicOps(input); });
  });
  RegisterBenchmark("multiple/ours_calc", [&in](State& s) {
    const FractionMatrix a = Read(in.hard);
    const FractionMatrix b = Read(in.factor);
    TimeKernel(s, [&] {
      FractionMatrix m = a;
      return MultiplyByNumber(m, b);
    });
  });
  RegisterBenchmark("multiple/flint", [&in](State& s) {
    FlintMatrix a(Read(in.hard));
    FlintMatrix c(20, 20);
    FlintNumber factor;
    fmpq_set_si(factor.get(), -7, 3);
    for (auto _ : s) fmpq_mat_scalar_mul_fmpq(c.get(), a.get(), factor.get());
  });
}

// Prints every run as usual and keeps each benchmark's CPU time (its median
// when repetitions are asked for) for the table of ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const double seconds =
          run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      // A median, when there is one, replaces the single runs' times.
      if (median || times_.count(run.run_name.function_name) == 0 ||
          !has_median_[run.run_name.function_name]) {
        times_[run.run_name.function_name] = seconds;
        has_median_[run.run_name.function_name] = median;
      }
    }
  }

  // One line per operation: the three times in microseconds ("-" where
  // there is none) and the two ratios.
  void PrintRatios() const {
    std::printf("\n%-12s %14s %14s %14s %12s %12s\n", "operation", "ours press us", "ours calc us",
                "FLINT us", "press/FLINT", "calc/FLINT");
    for (const char* op : {"adjugate", "inverse", "rank", "determinant", "sum", "difference",
                           "product", "multiple"}) {
      const double press = Find(std::string(op) + "/ours_press");
      const double calc = Find(std::string(op) + "/ours_calc");
      const double flint = Find(std::string(op) + "/flint");
      std::printf("%-12s %14s %14s %14s %12s %12s\n", op, Micro(press).c_str(), Micro(calc).c_str(),
                  Micro(flint).c_str(), Ratio(press, flint).c_str(), Ratio(calc, flint).c_str());
    }
  }

 private:
  double Find(const std::string& name) const {
    const auto it = times_.find(name);
    return it == times_.end() ? NAN : it->second;
  }
  static std::string Micro(double seconds) {
    if (std::isnan(seconds)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds * 1e6);
    return text;
  }
  static std::string Ratio(double ours, double theirs) {
    if (std::isnan(ours) || std::isnan(theirs)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", ours / theirs);
    return text;
  }

  std::map<std::string, double> times_;
  std::map<std::string, bool> has_median_;
};

}  // namespace
}  // namespace calc::bench

int main(int argc, char** argv) {
  calc::bench::RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  calc::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
