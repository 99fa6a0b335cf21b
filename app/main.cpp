#include <iostream>
#include <string_view>
#include <vector>

#include "app/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  app::Options options;
  if (const std::string error = app::parse_options(args, options); !error.empty()) {
    std::cerr << "mdiresize: " << error << " (try --help)\n";
    return app::kExitUsage;
  }
  switch (options.mode) {
    case app::Options::Mode::Help:
      std::cout << app::usage_text();
      return app::kExitOk;
    case app::Options::Mode::Version:
      std::cout << "mdiresize 0.1\n";
      return app::kExitOk;
    case app::Options::Mode::Headless:
      return app::run_headless(options, std::cin, std::cout, std::cerr);
    case app::Options::Mode::Window:
      break;
  }
  std::cerr << "mdiresize: this build has no window system for real windows; use --headless\n";
  return app::kExitUsage;
}
