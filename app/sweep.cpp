#include "app/sweep.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>

#include "app/arguments.h"
#include "app/chart.h"
#include "app/session.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "shell/project.h"

namespace app {
namespace {

// The sweep's own exit statuses: an output file not written, and Ctrl-C as a shell reports it.
constexpr int kExitNotWritten = 1;
constexpr int kExitInterrupted = 128 + SIGINT;

// The state after one pass, as the analysis sees it, in the sweep's terms.
Sample measure(const rt::Application& app, const Combination& combination) {
  const PassFacts facts = read_facts(app, nullptr);
  const Analysis analysis = analyse(facts);
  Sample sample;
  sample.width = facts.client.width;
  sample.combination = combination;
  const auto take = [&](Meeting meeting, Edge& edge, double& px) {
    if (const EdgeVerdict* verdict = analysis.edge(meeting)) {
      edge = verdict->edge;
      px = verdict->pixels;
    }
  };
  take(Meeting::RightForm, sample.forms, sample.forms_delta_px);
  take(Meeting::LastColumn, sample.lists, sample.lists_delta_px);
  take(Meeting::BottomFormBottom, sample.bottom, sample.bottom_delta_px);
  sample.bars = analysis.bars;
  sample.label = analysis.label_text;
  sample.label_agrees = analysis.label_agrees;
  return sample;
}

void click(rt::Application& app, std::string_view menu_name) {
  if (const rt::Menu* menu = app.main_form().loaded_menu(menu_name)) {
    app.window_system().person().user_click(*menu);
  }
}

std::atomic<bool> interrupted{false};

extern "C" void on_interrupt(int) {
  interrupted = true;
}

// How many client widths a sweep from `from` to `to` takes, `step` twips apart.
double width_count(double from, double to, double step) {
  return std::floor((to - from) / step + 1e-9) + 1;
}

// --window-system's value. Returns an error message, or empty.
std::string read_window_system(ArgumentReader& reader, SweepOptions::WindowSystem& out) {
  std::string_view value;
  if (std::string error = reader.value(value); !error.empty()) return error;
  using WS = SweepOptions::WindowSystem;
  for (const WS kind : {WS::Headless, WS::Qt, WS::Win32}) {
    if (value == window_system_name(kind)) {
      out = kind;
      return {};
    }
  }
  return "--window-system: headless, qt or win32, not " + rt::quote(value.substr(0, 40));
}

}  // namespace

std::string_view window_system_name(SweepOptions::WindowSystem window_system) {
  switch (window_system) {
    case SweepOptions::WindowSystem::Qt:
      return "qt";
    case SweepOptions::WindowSystem::Win32:
      return "win32";
    case SweepOptions::WindowSystem::Headless:
      break;
  }
  return "headless";
}

std::string combination_name(const Combination& c) {
  if (c.oplossing && c.wiskundig) return "Oplossing + Wiskundig juist";
  if (c.oplossing) return "Oplossing";
  if (c.wiskundig) return "Wiskundig juist";
  return "neither";
}

Outcome outcome_of(const Sample& sample) {
  return outcome_of(sample.bars, sample.forms, sample.bottom);
}

std::string parse_sweep_options(const std::vector<std::string_view>& args, SweepOptions& o) {
  ArgumentReader reader(args);
  while (reader.next()) {
    const std::string_view arg = reader.name();
    std::string error;
    if (arg == "--from") {
      error = reader.length(kMaxClientTwips, o.from);
    } else if (arg == "--to") {
      error = reader.length(kMaxClientTwips, o.to);
    } else if (arg == "--height") {
      error = reader.length(kMaxClientTwips, o.height);
    } else if (arg == "--step") {
      error = reader.length(kMaxClientTwips, o.step);
      if (error.empty() && o.step <= 0) error = "--step: must be more than 0";
    } else if (arg == "--twips-per-pixel") {
      error = reader.twips_per_pixel(o.twips_per_pixel);
    } else if (arg == "--csv" || arg == "--svg") {
      error = reader.file_name(arg == "--csv" ? o.csv : o.svg);
    } else if (arg == "--window-system") {
      error = read_window_system(reader, o.window_system);
    } else {
      return reader.unknown();
    }
    if (!error.empty()) return error;
  }
  if (o.window_system != SweepOptions::WindowSystem::Headless && o.twips_per_pixel > 0) {
    return "--twips-per-pixel goes with the in-memory window system; real windows measure in "
           "the screen's pixels";
  }
  if (o.to < o.from) {
    return "--to (" + rt::format_number(o.to) + ") is less than --from (" +
           rt::format_number(o.from) + ")";
  }
  // Without --step the sweep goes one pixel a step; before the window system is there, a pixel
  // is taken to be what the in-memory one makes it by default.
  const double step = o.step > 0              ? o.step
                      : o.twips_per_pixel > 0 ? o.twips_per_pixel
                                              : rt::headless::Config{}.twips_per_pixel;
  if (const double widths = width_count(o.from, o.to, step); !(widths <= kMaxSweepWidths)) {
    return "a step of " + rt::format_number(step) + " twips from " + rt::format_number(o.from) +
           " to " + rt::format_number(o.to) + " makes " + rt::format_number(widths) +
           " client widths; at most " + rt::format_number(kMaxSweepWidths) +
           " (take a larger --step or a shorter range)";
  }
  return {};
}

bool sweep_wants_qt(const std::vector<std::string_view>& args) {
  ArgumentReader reader(args);
  while (reader.next()) {
    auto chosen = SweepOptions::WindowSystem::Headless;
    if (reader.name() == "--window-system" && read_window_system(reader, chosen).empty() &&
        chosen == SweepOptions::WindowSystem::Qt) {
      return true;
    }
  }
  return false;
}

std::string sweep_usage_text() {
  return R"(Usage: mdiresize sweep [--from W0] [--to W1] [--step S] [--height H]
                      [--twips-per-pixel N] [--csv FILE] [--svg FILE]
                      [--window-system headless|qt|win32]

Drags the main window through every client width from W0 to W1 twips (default 3000 to
12000, one pixel a step) at client height H (default 4860), once for each combination of
"Oplossing" and "Wiskundig juist", and records after each layout pass where the right form
ends against the client area (gap, exact, overhang), where the last list column ends against
the left form, where the bottom form ends, which scroll bars the client area shows, the
label's text, and whether the label's claim agrees with the scroll bars.

Prints a summary per combination; --csv writes one row per width and combination, --svg a
chart. Ctrl-C stops the sweep and still writes what was measured.
)";
}

SweepResult run_sweep(const SweepOptions& options, const WindowSystemFactory& make_window_system,
                      const Progress& progress, const std::atomic<bool>* stop) {
  SweepResult result;
  const std::unique_ptr<rt::WindowSystem> probe = make_window_system();
  const double step = options.step > 0 ? options.step : probe->twips_per_pixel();
  const auto widths = static_cast<std::size_t>(width_count(options.from, options.to, step));
  result.planned = widths * std::size(kCombinations);
  result.samples.reserve(result.planned);
  std::size_t done = 0;
  for (const Combination& combination : kCombinations) {
    std::unique_ptr<rt::WindowSystem> ws = make_window_system();
    rt::Application app(shell::make_project(), *ws);
    app.start();
    if (combination.oplossing) click(app, "mnuOplossing");
    if (combination.wiskundig) click(app, "mnuWiskundig");
    for (std::size_t i = 0; i < widths; ++i) {
      if (stop != nullptr && *stop) {
        result.interrupted = true;
        return result;
      }
      const double width = options.from + static_cast<double>(i) * step;
      ws->person().user_resize_client(static_cast<float>(width),
                                      static_cast<float>(options.height));
      result.samples.push_back(measure(app, combination));
      if (progress && (++done % 64 == 0 || done == result.planned)) progress(done, result.planned);
    }
  }
  return result;
}

void write_summary(const SweepResult& result, std::ostream& out) {
  out << std::left << std::setw(30) << "combination" << std::right << std::setw(8) << "widths"
      << std::setw(6) << "gap" << std::setw(10) << "overhang" << std::setw(9) << "one bar"
      << std::setw(12) << "double bar" << std::setw(18) << "label disagrees" << '\n';
  for (const Combination& combination : kCombinations) {
    std::size_t widths = 0, gap = 0, overhang = 0, one = 0, both = 0, disagree = 0;
    for (const Sample& s : result.samples) {
      if (s.combination != combination) continue;
      ++widths;
      gap += s.forms == Edge::Gap;
      overhang += s.forms == Edge::Overhang;
      one += outcome_of(s) == Outcome::OneBar;
      both += outcome_of(s) == Outcome::DoubleBar;
      disagree += !s.label_agrees;
    }
    out << std::left << std::setw(30) << combination_name(combination) << std::right << std::setw(8)
        << widths << std::setw(6) << gap << std::setw(10) << overhang << std::setw(9) << one
        << std::setw(12) << both << std::setw(18) << disagree << '\n';
  }
}

void write_csv(const SweepResult& result, std::ostream& out) {
  out << "width,oplossing,wiskundig,forms_edge,forms_delta_px,lists_edge,lists_delta_px,"
         "bottom_edge,bottom_delta_px,scrollbars,label,label_agrees\n";
  for (const Sample& s : result.samples) {
    out << rt::format_number(s.width) << ',' << s.combination.oplossing << ','
        << s.combination.wiskundig << ',' << edge_name(s.forms) << ','
        << rt::format_number(s.forms_delta_px) << ',' << edge_name(s.lists) << ','
        << rt::format_number(s.lists_delta_px) << ',' << edge_name(s.bottom) << ','
        << rt::format_number(s.bottom_delta_px) << ',' << bars_name(s.bars) << ','
        << label_name(s.label) << ',' << s.label_agrees << '\n';
  }
}

int sweep_main(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err,
               const RealWindowSystem& real) {
  SweepOptions options;
  for (const std::string_view arg : args) {
    if (arg == "--help" || arg == "-h") {
      out << sweep_usage_text();
      return kExitOk;
    }
  }
  if (std::string error = parse_sweep_options(args, options); !error.empty()) {
    err << "mdiresize sweep: " << error << " (try mdiresize sweep --help)\n";
    return kExitUsage;
  }
  WindowSystemFactory factory;
  if (options.window_system != SweepOptions::WindowSystem::Headless) {
    if (!real.make || real.kind != options.window_system) {
      err << "mdiresize sweep: --window-system " << window_system_name(options.window_system)
          << ": this build has headless"
          << (real.make ? " and " + std::string(window_system_name(real.kind)) : std::string())
          << '\n';
      return kExitUsage;
    }
    factory = real.make;
  } else {
    rt::headless::Config config;
    if (options.twips_per_pixel > 0) config.twips_per_pixel = options.twips_per_pixel;
    factory = [config] { return std::make_unique<rt::headless::HeadlessWindowSystem>(config); };
  }
  // Open the outputs first: a file that cannot be written is found before the work is done.
  std::ofstream csv, svg;
  for (auto [name, file] : {std::pair{&options.csv, &csv}, std::pair{&options.svg, &svg}}) {
    if (name->empty()) continue;
    file->open(*name);
    if (!*file) {
      err << "mdiresize sweep: cannot write " << *name << '\n';
      return kExitNotWritten;
    }
  }

  const bool terminal = &err == &std::cerr && isatty(STDERR_FILENO);
  const auto started = std::chrono::steady_clock::now();
  bool shown = false;
  const Progress progress = [&](std::size_t done, std::size_t total) {
    if (!terminal) return;
    if (!shown && std::chrono::steady_clock::now() - started < std::chrono::seconds(1)) return;
    shown = true;
    err << "\rsweep: " << (100 * done / total) << "% (" << done << " of " << total << " passes)"
        << std::flush;
  };

  interrupted = false;
  const auto previous = std::signal(SIGINT, on_interrupt);
  SweepResult result = run_sweep(options, factory, progress, &interrupted);
  std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
  if (shown) err << '\n';

  write_summary(result, out);
  if (csv.is_open()) write_csv(result, csv);
  if (svg.is_open()) write_svg(result, options, svg);
  for (auto* file : {&csv, &svg}) {
    if (file->is_open() && !file->flush()) {
      err << "mdiresize sweep: writing an output file failed\n";
      return kExitNotWritten;
    }
  }
  if (result.interrupted) {
    err << "mdiresize sweep: interrupted after " << result.samples.size() << " of "
        << result.planned << " passes; wrote what was measured\n";
    return kExitInterrupted;
  }
  return kExitOk;
}

}  // namespace app
