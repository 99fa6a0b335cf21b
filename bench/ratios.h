#pragma once

// Ratios between two benchmarks of one run, printed after the run with their goals, and
// checks that two benchmarks being compared do the same work.

#include <functional>
#include <string>

namespace bench {

struct Ratio {
  Ratio(std::string name, std::string numerator, std::string denominator, double goal);
};

struct Check {
  Check(std::string name, std::function<bool()> holds);
};

// Runs the checks, then the benchmarks; prints the ratios. The exit status is 1 when a check
// failed (the ratios are then not worth reading).
int run(int argc, char** argv);

}  // namespace bench
