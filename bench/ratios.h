#pragma once

// Ratios between two benchmarks of one run, printed after the run with their goals; figures
// measured outside Google Benchmark's loop (start-up over repeated processes, a drag's
// percentiles, a sweep's throughput); and checks that two things being compared do the same
// work.

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

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

// This thread's CPU time, in seconds.
inline double thread_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// How much longer `a` takes than `b`, measured in pairs: `block` calls of `a`, then `block` of
// `b`, `rounds` times over, each block timed in this thread's CPU time; the median of the
// rounds' ratios. Whatever else the machine does at a moment lands on both sides of that
// moment's ratio alike, where two benchmarks run one after the other would each meet other
// weather.
template <class A, class B>
double paired_ratio(A&& a, B&& b, int block, int rounds) {
  std::vector<double> ratios;
  ratios.reserve(static_cast<std::size_t>(rounds));
  for (int round = 0; round < rounds; ++round) {
    const double start = thread_seconds();
    for (int i = 0; i < block; ++i) a();
    const double middle = thread_seconds();
    for (int i = 0; i < block; ++i) b();
    const double end = thread_seconds();
    if (end > middle) ratios.push_back((middle - start) / (end - middle));
  }
  if (ratios.empty()) return 0;
  const auto median = ratios.begin() + std::ssize(ratios) / 2;
  std::nth_element(ratios.begin(), median, ratios.end());
  return *median;
}

// numerator / denominator, each benchmark's CPU time per iteration in its fastest repetition
// (--benchmark_repetitions). A goal of 0 marks a ratio that explains another, with no goal of
// its own.
struct Ratio {
  Ratio(std::string name, std::string numerator, std::string denominator, double goal);
};

struct Check {
  Check(std::string name, std::function<bool()> holds);
};

// One line of the figures table. `goal` 0: none. A figure meets its goal when it is at most
// the goal, or at least the goal where higher is better.
struct Figure {
  std::string name;
  double value = 0;
  std::string unit;  // "x" for a ratio, "ms", "MiB", "passes/s", ...
  double goal = 0;
  bool higher_is_better = false;
};

// A measurement of its own, run after the benchmarks unless --figures=none; it returns its
// figures, or none when it could not run (it says why on standard error).
struct Measurement {
  Measurement(std::string name, std::function<std::vector<Figure>()> measure);
};

// Takes out the options of this layer (--figures=all|none|REGEX: which measurements to run,
// by name), runs the checks, the benchmarks and the measurements, and prints the ratios and
// figures. The exit status is 1 when a check failed (the figures are then not worth reading).
int run(int argc, char** argv);

}  // namespace bench
