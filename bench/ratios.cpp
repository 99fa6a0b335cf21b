#include "bench/ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <vector>

namespace bench {
namespace {

struct RatioSpec {
  std::string name, numerator, denominator;
  double goal;
};

std::vector<RatioSpec>& ratios() {
  static std::vector<RatioSpec> all;
  return all;
}

std::vector<std::pair<std::string, std::function<bool()>>>& checks() {
  static std::vector<std::pair<std::string, std::function<bool()>>> all;
  return all;
}

// Keeps the time per iteration of every benchmark while the console shows them.
class Recorder : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

Ratio::Ratio(std::string name, std::string numerator, std::string denominator, double goal) {
  ratios().push_back({std::move(name), std::move(numerator), std::move(denominator), goal});
}

Check::Check(std::string name, std::function<bool()> holds) {
  checks().emplace_back(std::move(name), std::move(holds));
}

int run(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bool all_hold = true;
  for (const auto& [name, holds] : checks()) {
    const bool ok = holds();
    std::printf("check: %s: %s\n", name.c_str(), ok ? "yes" : "NO");
    all_hold = all_hold && ok;
  }
  Recorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  std::printf("\n%-60s %10s %8s %s\n", "ratio", "value", "goal", "");
  for (const RatioSpec& r : ratios()) {
    const auto num = recorder.seconds.find(r.numerator);
    const auto den = recorder.seconds.find(r.denominator);
    if (num == recorder.seconds.end() || den == recorder.seconds.end() || den->second <= 0) {
      continue;
    }
    const double value = num->second / den->second;
    std::printf("%-60s %9.2fx %7.2fx %s\n", r.name.c_str(), value, r.goal,
                value <= r.goal ? "met" : "NOT MET");
  }
  benchmark::Shutdown();
  return all_hold ? 0 : 1;
}

}  // namespace bench
