#include "bench/ratios.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string_view>

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

// Keeps the CPU time per iteration of every repetition of every benchmark. CPU time, as this
// process's own: on a machine that other work shares, the time the process waited for a
// processor is not the runtime's. Nor is the time lost to another process sharing the core
// and its caches, which can only add; so the fastest repetition is the one that tells.
class ResultKeeper : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred) {
        continue;
      }
      const double seconds = run.GetAdjustedCPUTime();
      const auto [at, added] = fastest_.emplace(run.benchmark_name(), seconds);
      if (!added) at->second = std::min(at->second, seconds);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The fastest repetition; 0 when the benchmark did not run.
  double fastest(const std::string& name) const {
    const auto found = fastest_.find(name);
    return found != fastest_.end() ? found->second : 0;
  }

 private:
  std::map<std::string, double> fastest_;
};

}  // namespace

Ratio::Ratio(std::string name, std::string numerator, std::string denominator, double goal) {
  ratios().push_back({std::move(name), std::move(numerator), std::move(denominator), goal});
}

int run(int argc, char** argv) {
  // --figures=... is this layer's; Google Benchmark gets the rest.
  std::string figures = "all";
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--figures=")) {
      figures = std::string(arg.substr(std::strlen("--figures=")));
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

  const bool all_hold = run_checks();
  ResultKeeper recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);

  std::vector<Figure> table;
  for (const RatioSpec& r : ratios()) {
    const double numerator = recorder.fastest(r.numerator);
    const double denominator = recorder.fastest(r.denominator);
    if (numerator <= 0 || denominator <= 0) continue;
    table.push_back({r.name, numerator / denominator, "x", r.goal});
  }
  run_measurements(figures, table);
  print_table(table);
  benchmark::Shutdown();
  return all_hold ? 0 : 1;
}

}  // namespace bench
