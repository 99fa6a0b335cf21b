// The sweep's arguments from arbitrary bytes, one argument a line. Whatever they are, the
// parser either gives one line of error or options that describe a sweep that can be run. The
// sweep itself is not run.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/arguments.h"
#include "app/sweep.h"
#include "runtime/variant.h"

namespace {

[[noreturn]] void fail(std::string_view what, std::string_view detail) {
  std::cerr << "fuzz_sweep_args: " << what << ": " << rt::quote(detail) << '\n';
  std::abort();
}

bool length_in_range(double value) {
  return std::isfinite(value) && value >= 0 && value <= app::kMaxClientTwips;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> args;
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    args.push_back(input.substr(0, end));
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  }

  app::SweepOptions options;
  const std::string error = app::parse_sweep_options(args, options);
  if (!error.empty()) {
    if (error.find('\n') != std::string::npos) fail("the error is not one line", error);
    return 0;
  }
  if (!length_in_range(options.from) || !length_in_range(options.to) ||
      !length_in_range(options.height) || options.to < options.from) {
    fail("accepted a range outside the client sizes", std::to_string(options.from) + " to " +
                                                          std::to_string(options.to) + " at " +
                                                          std::to_string(options.height));
  }
  if (!(options.step == 0 || (options.step > 0 && std::isfinite(options.step)))) {
    fail("accepted a step that is no length", std::to_string(options.step));
  }
  if (!(options.twips_per_pixel == 0 ||
        (options.twips_per_pixel >= app::kMinTwipsPerPixel && options.twips_per_pixel <= 1440))) {
    fail("accepted twips per pixel out of range", std::to_string(options.twips_per_pixel));
  }
  // One pass per width and combination, each kept in memory: a sweep has to end, and fit.
  const double pixel = options.step > 0              ? options.step
                       : options.twips_per_pixel > 0 ? options.twips_per_pixel
                                                     : 15;
  const double widths = std::floor((options.to - options.from) / pixel) + 1;
  if (!(widths <= app::kMaxSweepWidths)) {
    fail("accepted a sweep too long to run", std::to_string(widths));
  }
  return 0;
}
