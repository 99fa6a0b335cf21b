#include <iostream>
#include <string_view>
#include <vector>

#include "app/cli.h"
#include "app/sweep.h"
#ifdef MDIRESIZE_WITH_QT
#include "app/window_main.h"
#endif

namespace {

// Help, version and the headless session: the modes that need no window system.
int run_without_window(const app::Options& options) {
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

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "sweep") {
#ifdef MDIRESIZE_WITH_QT
    return app::run_sweep_command(argc, argv);
#else
    return app::sweep_main(std::vector<std::string_view>(argv + 2, argv + argc), std::cout,
                           std::cerr);
#endif
  }
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  app::Options options;
  const std::string error = app::parse_options(args, options);
  if (error.empty() && options.mode != app::Options::Mode::Window) {
    return run_without_window(options);
  }
#ifdef MDIRESIZE_WITH_QT
  // Arguments the program does not know may be Qt's own; the window takes those out first.
  return app::run_window(argc, argv, run_without_window);
#else
  if (!error.empty()) {
    std::cerr << "mdiresize: " << error << " (try --help)\n";
    return app::kExitUsage;
  }
  return run_without_window(options);
#endif
}
