#include "app/cli.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "app/session.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/trace.h"
#include "shell/project.h"

namespace app {

std::string parse_options(const std::vector<std::string_view>& args, Options& options) {
  bool tpp_given = false;
  ArgumentReader reader(args);
  while (reader.next()) {
    const std::string_view arg = reader.name();
    if (arg == "--help" || arg == "-h") {
      options.mode = Options::Mode::Help;
      return {};
    } else if (arg == "--version") {
      options.mode = Options::Mode::Version;
      return {};
    } else if (arg == "--headless" || arg == "--exact" || arg == "--trace" || arg == "--inspect") {
      if (reader.has_value()) return std::string(arg) + " takes no value";
      if (arg == "--headless") options.mode = Options::Mode::Headless;
      if (arg == "--exact") options.exact = true;
      if (arg == "--trace") options.trace = true;
      if (arg == "--inspect") options.inspect = true;
    } else if (arg == "--twips-per-pixel") {
      if (std::string error = reader.twips_per_pixel(options.twips_per_pixel); !error.empty()) {
        return error;
      }
      tpp_given = true;
    } else if (arg == "--script") {
      if (std::string error = reader.file_name(options.script, ", or - for standard input");
          !error.empty()) {
        return error;
      }
    } else if (arg == "--record") {
      if (std::string error = reader.file_name(options.record); !error.empty()) return error;
    } else {
      return reader.unknown();
    }
  }
  if (tpp_given && options.exact) return "--exact and --twips-per-pixel exclude each other";
  if (options.inspect && options.mode == Options::Mode::Headless) {
    return "--inspect opens a window beside the main window; it goes without --headless";
  }
  return {};
}

namespace {

// Qt's own command-line options, with one dash or two, and whether each takes a value.
struct QtOption {
  std::string_view name;
  bool takes_value;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},
    {"style", true},         {"stylesheet", true},
    {"session", true},       {"display", true},
    {"geometry", true},      {"qwindowgeometry", true},
    {"qwindowicon", true},   {"qwindowtitle", true},
    {"qmljsdebugger", true}, {"dialogs", true},
    {"fontengine", true},    {"reverse", false},
    {"widgetcount", false},  {"nograb", false},
    {"dograb", false},       {"sync", false},
};

// The option of Qt that `arg` is, if any.
const QtOption* qt_option(std::string_view arg) {
  if (!arg.starts_with('-')) return nullptr;
  arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
  arg = arg.substr(0, arg.find('='));
  for (const QtOption& option : kQtOptions) {
    if (option.name == arg) return &option;
  }
  return nullptr;
}

}  // namespace

std::vector<std::string_view> without_qt_options(const std::vector<std::string_view>& args) {
  std::vector<std::string_view> ours;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const QtOption* option = qt_option(args[i]);
    if (option == nullptr) {
      ours.push_back(args[i]);
    } else if (option->takes_value && args[i].find('=') == std::string_view::npos) {
      ++i;  // its value
    }
  }
  return ours;
}

std::string missing_qt_value(const std::vector<std::string_view>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const QtOption* option = qt_option(args[i]);
    if (option == nullptr || !option->takes_value) continue;
    const std::size_t equals = args[i].find('=');
    const bool missing = equals != std::string_view::npos
                             ? equals + 1 == args[i].size()
                             : i + 1 == args.size() || args[i + 1].empty();
    if (missing) return printable(args[i].substr(0, equals)) + " takes a value";
    if (equals == std::string_view::npos) ++i;  // its value
  }
  return {};
}

bool has_qt_option(const std::vector<std::string_view>& args, std::string_view name) {
  for (const std::string_view arg : args) {
    const QtOption* option = qt_option(arg);
    if (option != nullptr && option->name == name) return true;
  }
  return false;
}

std::string no_display(const std::vector<std::string_view>& args) {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM")) return {};
  if (has_qt_option(args, "platform")) return {};
  return "no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); try "
         "-platform offscreen for a window nobody sees, or --headless";
}

std::string usage_text() {
#ifdef _WIN32
  // The windows are the Win32 API's own: there are no Qt options, and no inspector.
  const std::string window = "Usage: mdiresize [--trace] [--script FILE|-] [--record FILE]\n";
#else
  const std::string window =
      "Usage: mdiresize [--inspect] [--trace] [--script FILE|-] [--record FILE] [Qt options]\n";
#endif
  return window +
         R"(       mdiresize --headless [--twips-per-pixel N | --exact] [--trace] [--script FILE|-]
                 [--record FILE]
       mdiresize sweep [options]        (mdiresize sweep --help tells them)

A main window with four child windows laid out over its client area, and two menu
switches between naive fractional arithmetic, whose rounding leaves a one-pixel gap or
overhang (and with an overhang a double scroll bar), and corrected whole-unit arithmetic.

With no option it opens the window; with --script it plays the session commands of the
script in it, and ends with the script. --headless runs the same program on a window
system held in memory instead, and plays session commands from the script, or from
standard input when no script is given. "sweep" drags the window through a range of
widths and shows what each one brings.

Options:
  --headless             run on the in-memory window system
  --inspect              open the inspector beside the main window: after every layout
                         pass, its Move calls and what the window system holds, where each
                         edge ends, the scroll bars and the label's claim, the client
                         area's edges magnified, and the last passes' outcomes
  --twips-per-pixel N    twips per device pixel in memory (default 15, that is 96 dpi)
  --exact                keep fractional twips: every length reads back as it was set
  --trace                print every operation the program performs on the runtime
  --script FILE          read session commands from FILE (- for standard input)
  --record FILE          write what the person does to FILE as session commands, as it
                         happens, so that --script FILE plays it again (a text edited
                         in the middle as edit, at the end as type); its first line
                         says the twips per pixel, scroll bars, frame border and caption
                         it was made with, and --headless --script FILE plays it on an
                         in-memory window system that measures the same (the command
                         line's --twips-per-pixel wins)
  --help, --version

Session commands, one a line (# starts a comment):
  resize W H         the client area becomes W x H twips (0 to 16777216; snapped to whole
                     pixels unless --exact) and the main window gets its Resize
  click NAME         click mnuOplossing, mnuWiskundig, mnuVulBox or Command1
  minimize NAME      a child form's title-bar buttons: frmResizeL, frmResizeR or
  maximize NAME      frmResizeT (frmResizeB has no title bar); a child that changes
  restore NAME       state becomes the active one, in front
  activate NAME      a click on a child form: it comes to the front
  window NAME        its entry in the window list ("Solve Problem"): restored if
                     minimised, and to the front
  next               Ctrl+F6: the child after the active one in the window list becomes
                     the active one, in front, in the state it is in (after the last, the
                     first)
  previous           Ctrl+Shift+F6: the same, to the child before it
  place NAME L T W H a normal child moved and sized by hand, in twips
  type NAME TEXT     TEXT typed at the end of text box NAME (Text1): "..." with C escapes
                     as in the trace; \b is a backspace, \r\n a line break
  edit NAME POS DELETE TEXT
                     at position POS of text box NAME, DELETE taken away and TEXT (as
                     for type) put in; positions count bytes as state's length= does:
                     a line break (CR LF) is two, a UTF-8 character its bytes
  state              print every form, control and menu item as the window system holds
                     it; a child's line ends in window=normal|minimized|maximized z=N
                     (0 the front)
  explain            what the last layout pass left behind, a line each: where each edge
                     ends (edge NAME SIDE exact|gap N|overhang N, in pixels), the client
                     area as the pass read it and as it is now (twips), the scroll bars,
                     and the label's text and whether its claim agrees with the bars
  shot FILE [WHAT]   save a PNG of the main window as it is (in the window only); WHAT
                     "inspector" saves the inspector instead, "both" the two side by
                     side (with --inspect)
  quit               end the session

Mouse and keyboard, in the window (the session command for each in brackets):
  Alt or F10         the menu bar takes the keys: Left and Right go along it, Down opens
                     a menu, Return chooses, Esc leaves; in "Solve Problem" the numbers 1
                     to 4 choose from the window list
  Ctrl+F6, Ctrl+Tab  the next child in the window list becomes the active one (next)
  Ctrl+Shift+F6, Ctrl+Shift+Tab
                     the child before it (previous)
  Alt+F4             the window manager closes the main window, and the program ends
  a click on a child
                     it becomes the active one, in front (activate)
  title-bar buttons  minimise, maximise or restore a child; an icon has restore and
                     maximise (minimize, maximize, restore)
  a double-click on a title
                     maximises a normal child, restores a maximised one or an icon
  dragging a title or a border
                     moves or sizes a normal child (place); the main window's border
                     sizes the client area (resize)
  a right-click on a title
                     the child's window menu: Restore, Move and Size (by the arrow
                     keys), Minimize, Maximize
  the window list    the numbered entries at the end of "Solve Problem": restores a
                     minimised child and brings it to the front (window)
  About mdiresize    after the window list (on Windows in a Help menu): the version,
                     the licence and where the manual is
The children cannot be closed: they have no close button, and Ctrl+F4 does nothing.

A bad line gets a one-line error naming its line number on standard error; the session
goes on. Exit status: 0, 1 when a line was rejected, 2 for a bad command line or a
recording's first line that cannot be read (nothing is played).
Run-time errors of the program are reported on standard error with number and message.
)";
}

rt::About about() {
  return rt::About{"mdiresize",
                   "A main window lays four child windows out over its client area: halves in "
                   "fractional twips overhang by a pixel and bring a double scroll bar, "
                   "whole-unit arithmetic ends exactly on the edge.",
                   MDIRESIZE_VERSION, "MIT", "man mdiresize"};
}

int run_headless(const Options& options, std::istream& in, std::ostream& out, std::ostream& err) {
  std::ifstream file;
  std::istream* script = &in;
  if (!options.script.empty() && options.script != "-") {
    file.open(options.script);
    if (!file) {
      err << "mdiresize: cannot read script " << options.script << '\n';
      return kExitUsage;
    }
    script = &file;
  }
  // A recording says what the window system it was made on measures; the command line
  // overrides it, and without one the in-memory window system's own apply.
  rt::headless::Config config;
  rt::Metrics metrics{config.twips_per_pixel, config.scroll_bar_px, config.border_px,
                      config.caption_px};
  std::string first_line;
  const bool has_first_line = static_cast<bool>(std::getline(*script, first_line));
  if (has_first_line) {
    if (const std::string error = read_recording_header(first_line, metrics); !error.empty()) {
      err << "mdiresize: "
          << (options.script.empty() || options.script == "-" ? "standard input" : options.script)
          << ": line 1: " << error << "; nothing played\n";
      return kExitUsage;
    }
  }
  config.twips_per_pixel =
      options.twips_per_pixel > 0 ? options.twips_per_pixel : metrics.twips_per_pixel;
  config.scroll_bar_px = metrics.scroll_bar_px;
  config.border_px = metrics.border_px;
  config.caption_px = metrics.caption_px;
  config.exact = options.exact;
  rt::headless::HeadlessWindowSystem ws(config);
  // The recording outlives the program, which may still act as it closes its windows.
  RecordingFile recording;
  rt::Application application(shell::make_project(), ws);
  rt::TracePrinter trace(out);
  const rt::Subscription tracing = options.trace ? application.observe(trace) : rt::Subscription();
  application.set_error_reporter([&err](const rt::Error& error) { err << rt::report_line(error); });

  if (!options.record.empty()) {
    if (const std::string error = recording.start(options.record, ws); !error.empty()) {
      err << "mdiresize: " << error << '\n';
      return kExitUsage;
    }
  }
  Session session(application, out, err);
  application.start();
  if (has_first_line) session.execute(first_line, 1);
  return session.run(*script, has_first_line ? 1 : 0);
}

}  // namespace app
