#pragma once

// Ratios between two benchmarks of one run, printed after the run with their goals, beside
// the figures and checks of figures.h.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/figures.h"

namespace bench {

// One resize per iteration, through `widths` and round again, as a drag goes.
template <class Resize>
void drag_through(benchmark::State& state, const std::vector<float>& widths, Resize&& resize) {
  std::size_t i = 0;
  for (auto _ : state) {
    resize(widths[i]);
    i = (i + 1) % widths.size();
  }
  state.SetItemsProcessed(state.iterations());
}

// numerator / denominator, each benchmark's CPU time per iteration in its fastest repetition
// (--benchmark_repetitions). A goal of 0 marks a ratio that explains another, with no goal of
// its own.
struct Ratio {
  Ratio(std::string name, std::string numerator, std::string denominator, double goal);
};

// Takes out the options of this layer (--figures=all|none|REGEX: which measurements to run,
// by name), runs the checks, the benchmarks and the measurements, and prints the ratios and
// figures. The exit status is 1 when a check failed (the figures are then not worth reading).
int run(int argc, char** argv);

}  // namespace bench
