#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "app/arguments.h"
#include "runtime/window_system.h"

namespace app {

struct Options {
  enum class Mode { Window, Headless, Help, Version };
  Mode mode = Mode::Window;
  double twips_per_pixel = 0;  // 0: the window system's own (15 in memory; the screen's dpi)
  bool exact = false;
  bool trace = false;
  bool inspect = false;  // the inspector window beside the main one
  std::string script;    // empty: none given; "-": standard input
  std::string record;    // empty: none given
};

// Parses the program's own arguments (not the program name, and not the window system's own
// options: see without_qt_options()). Returns an error message, or empty.
std::string parse_options(const std::vector<std::string_view>& args, Options& options);

// The arguments less Qt's own options (-platform NAME, -style=NAME, --reverse, ...) and their
// values, which the window takes for itself.
std::vector<std::string_view> without_qt_options(const std::vector<std::string_view>& args);

// Why one of Qt's own options that takes a value is given none ("-platform" at the end, or
// "-style="); empty when each has its value. Qt itself would go on without it, or fail later
// for another reason.
std::string missing_qt_value(const std::vector<std::string_view>& args);

// Whether Qt's own option `name` ("platform", "style": without its dashes or value) is among
// the arguments.
bool has_qt_option(const std::vector<std::string_view>& args, std::string_view name);

// Why the window cannot be opened: no platform chosen (-platform, QT_QPA_PLATFORM) and no
// display (DISPLAY, WAYLAND_DISPLAY) to open it on. Empty when it can be tried.
std::string no_display(const std::vector<std::string_view>& args);

std::string usage_text();

// What the program says of itself in its About box: the version is the build's own.
rt::About about();

// The headless session: the program on the in-memory window system, commands from the script
// (standard input when none is given). Returns the exit status.
int run_headless(const Options& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace app
