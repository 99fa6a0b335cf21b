#pragma once

// Figures measured outside Google Benchmark's loop (paired ratios, start-up over repeated
// processes, a drag's percentiles, a sweep's throughput), printed with their goals, and checks
// that two things being compared do the same work. Google Benchmark is not needed for these:
// the Windows build, which has no Google Benchmark, runs them alone (run_figures).

#include <time.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// This thread's CPU time, in seconds.
inline double thread_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The wall clock, in seconds: for where the thread's CPU clock is too coarse (Wine's ticks in
// 10 ms steps).
inline double wall_seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// How much longer `a` takes than `b`, measured in pairs: `block` calls of `a`, then `block` of
// `b`, `rounds` times over, each block timed by `clock`; the median of the rounds' ratios.
// Whatever else the machine does at a moment lands on both sides of that moment's ratio alike,
// where two benchmarks run one after the other would each meet other weather.
template <class A, class B>
double paired_ratio(A&& a, B&& b, int block, int rounds, double (*clock)() = thread_seconds) {
  std::vector<double> ratios;
  ratios.reserve(static_cast<std::size_t>(rounds));
  for (int round = 0; round < rounds; ++round) {
    const double start = clock();
    for (int i = 0; i < block; ++i) a();
    const double middle = clock();
    for (int i = 0; i < block; ++i) b();
    const double end = clock();
    if (end > middle) ratios.push_back((middle - start) / (end - middle));
  }
  if (ratios.empty()) return 0;
  const auto median = ratios.begin() + std::ssize(ratios) / 2;
  std::nth_element(ratios.begin(), median, ratios.end());
  return *median;
}

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

// Every check, each printed as it ends; whether all hold.
bool run_checks();
// The measurements whose names `selection` picks (--figures=all|none|REGEX), added to `table`.
void run_measurements(const std::string& selection, std::vector<Figure>& table);
void print_table(const std::vector<Figure>& table);

// For a program of checks and measurements only: takes --figures=all|none|REGEX and leaves
// out Google Benchmark's own options (--benchmark_...), which are for the runs it does not
// have; anything else is a usage error (status 2). Runs the checks, then the measurements, and
// prints the figures; the exit status is 1 when a check failed (the figures are then not worth
// reading).
int run_figures(int argc, char** argv);

}  // namespace bench
