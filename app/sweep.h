#pragma once

#include <atomic>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/analysis.h"
#include "runtime/window_system.h"

namespace app {

// `mdiresize sweep`: every client width from one size to another, for each combination of
// the two options, dragged through as a person would, and what each width brings.
struct SweepOptions {
  double from = 3000;
  double to = 12000;
  double step = 0;  // 0: one pixel
  double height = 4860;
  double twips_per_pixel = 0;  // 0: the window system's own
  std::string csv;
  std::string svg;
  enum class WindowSystem { Headless, Qt, Win32 } window_system = WindowSystem::Headless;
};

// The most client widths one sweep takes: every pixel of the largest client width at 8 twips a
// pixel. Each width is a pass per combination, and every pass is kept in memory.
inline constexpr double kMaxSweepWidths = 2097152;

// Parses the arguments after `sweep`. Returns an error message, or empty.
std::string parse_sweep_options(const std::vector<std::string_view>& args, SweepOptions& options);
std::string sweep_usage_text();

// Whether the arguments after `sweep` ask for real windows anywhere (--window-system qt). Qt
// has to start before they can be parsed in full: its own options are among them until then.
bool sweep_wants_qt(const std::vector<std::string_view>& args);

// "headless", "qt", "win32".
std::string_view window_system_name(SweepOptions::WindowSystem window_system);

struct Combination {
  bool oplossing = false;
  bool wiskundig = false;
  bool operator==(const Combination&) const = default;
};
std::string combination_name(const Combination& combination);
inline constexpr Combination kCombinations[] = {
    {false, false}, {true, false}, {false, true}, {true, true}};

struct Sample {
  double width = 0;  // twips, as the client area holds it
  Combination combination;
  Edge forms = Edge::Exact;  // the right form's right edge against the client area's
  double forms_delta_px = 0;
  Edge lists = Edge::Exact;  // the last list column's right edge against the left form's client
  double lists_delta_px = 0;
  Edge bottom = Edge::Exact;  // the bottom form's lower edge against the client area's
  double bottom_delta_px = 0;
  rt::ScrollBars bars;
  LabelText label = LabelText::Empty;
  // The double-scroll-bar text claims both bars; the other two claim none.
  bool label_agrees = true;
};

// What a chart band shows for a sample.
Outcome outcome_of(const Sample& sample);

struct SweepResult {
  std::vector<Sample> samples;  // by combination, then by width
  std::size_t planned = 0;
  bool interrupted = false;
};

using WindowSystemFactory = std::function<std::unique_ptr<rt::WindowSystem>()>;
// The window system for real windows that this build has, if any, and how to make one.
struct RealWindowSystem {
  SweepOptions::WindowSystem kind = SweepOptions::WindowSystem::Headless;
  WindowSystemFactory make;
};
// Called now and then with the passes done so far and all there are to do.
using Progress = std::function<void(std::size_t done, std::size_t total)>;

// Runs the sweep; stops early, keeping what it measured, when `stop` becomes true.
SweepResult run_sweep(const SweepOptions& options, const WindowSystemFactory& make_window_system,
                      const Progress& progress, const std::atomic<bool>* stop);

void write_summary(const SweepResult& result, std::ostream& out);
void write_csv(const SweepResult& result, std::ostream& out);

// The whole command: parses, sweeps on the in-memory window system (or the build's one for real
// windows, when asked for), writes what was asked for. Returns the exit status.
int sweep_main(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err,
               const RealWindowSystem& real = {});

}  // namespace app
