#include <iostream>
#include <string_view>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

#include "app/cli.h"
#include "app/sweep.h"
#if defined(MDIRESIZE_WITH_QT) || defined(MDIRESIZE_WITH_WIN32)
#include "app/window_main.h"
#endif
#ifdef MDIRESIZE_WITH_WIN32
#include "runtime/win32/message_loop.h"
#include "runtime/win32/win32_window_system.h"
#endif

namespace {

// Help, version and the headless session: the modes that need no window system.
int run_without_window(const app::Options& options) {
  switch (options.mode) {
    case app::Options::Mode::Help:
      std::cout << app::usage_text();
      return app::kExitOk;
    case app::Options::Mode::Version:
      std::cout << "mdiresize " MDIRESIZE_VERSION "\n";
      return app::kExitOk;
    case app::Options::Mode::Headless:
      return app::run_headless(options, std::cin, std::cout, std::cerr);
    case app::Options::Mode::Window:
      break;
  }
  std::cerr << "mdiresize: this build has no window system for real windows; use --headless\n";
  return app::kExitUsage;
}

int usage_error(std::string_view error) {
  std::cerr << "mdiresize: " << error << " (try --help)\n";
  return app::kExitUsage;
}

int run(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "sweep") {
#if defined(MDIRESIZE_WITH_QT)
    return app::run_sweep_command(argc, argv);
#elif defined(MDIRESIZE_WITH_WIN32)
    return app::sweep_main(std::vector<std::string_view>(argv + 2, argv + argc), std::cout,
                           std::cerr, {app::SweepOptions::WindowSystem::Win32, [] {
                                         return std::make_unique<rt::win32::Win32WindowSystem>();
                                       }});
#else
    return app::sweep_main(std::vector<std::string_view>(argv + 2, argv + argc), std::cout,
                           std::cerr);
#endif
  }
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  app::Options options;
#ifdef MDIRESIZE_WITH_QT
  // Qt's own options are the window's; anything else must be the program's, and is checked
  // before any window system is touched.
  std::string error = app::missing_qt_value(args);
  if (error.empty()) error = app::parse_options(app::without_qt_options(args), options);
#else
  const std::string error = app::parse_options(args, options);
#endif
  if (!error.empty()) return usage_error(error);
  if (options.mode != app::Options::Mode::Window) return run_without_window(options);
  if (options.exact || options.twips_per_pixel > 0) {
    return usage_error(
        "--exact and --twips-per-pixel go with --headless; a window measures in the screen's "
        "pixels");
  }
#if defined(MDIRESIZE_WITH_QT)
  if (const std::string why = app::no_display(args); !why.empty()) {
    std::cerr << "mdiresize: " << why << '\n';
    return app::kExitUsage;
  }
  return app::run_window(argc, argv, options);
#elif defined(MDIRESIZE_WITH_WIN32)
  if (options.inspect) {
    return usage_error("--inspect: the inspector is Qt's, and this build has the Win32 windows");
  }
  return app::run_window(argc, argv, options);
#else
  return run_without_window(options);
#endif
}
}  // namespace

int main(int argc, char** argv) {
#ifdef MDIRESIZE_WITH_WIN32
  // A program with windows of its own has no console; one started from a console answers
  // there (--help, a session's output).
  rt::win32::write_to_parent_console();
#endif
#ifdef _WIN32
  // The trace and what a session prints are the same bytes on every platform: lines end in LF,
  // not in the CR LF of a text-mode stream. A script is still read in text mode.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  // What escapes here is not a run-time error of the program, which its handlers report and
  // go on: its own description cannot start (a broken build), or memory ran out.
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "mdiresize: cannot start: " << error.what() << '\n';
    return app::kExitBroken;
  }
}
