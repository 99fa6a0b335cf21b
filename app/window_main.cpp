#include "app/window_main.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include "app/arguments.h"
#include "app/inspector.h"
#include "app/session.h"
#include "app/sweep.h"
#include "runtime/qt/classic_style.h"
#include "runtime/qt/qt_window_system.h"
#include "runtime/trace.h"
#include "shell/project.h"

namespace app {
namespace {

// Plays session commands from inside the event loop, one line per turn of the loop, so that
// the window shows each state and a person can watch. Lines come from a file read at once, or
// from standard input as they arrive.
class ScriptPlayer {
 public:
  // `window_up` says whether the window is on the screen yet.
  ScriptPlayer(Session& session, std::function<bool()> window_up, std::function<void()> on_end)
      : session_(&session), window_up_(std::move(window_up)), on_end_(std::move(on_end)) {}

  // Returns an error message, or empty.
  std::string open(const std::string& script) {
    if (script == "-") {
      stdin_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &context_);
      QObject::connect(stdin_, &QSocketNotifier::activated, &context_, [this] { read_stdin(); });
      return {};
    }
    std::ifstream file(script);
    if (!file) return "cannot read script " + script;
    for (std::string line; std::getline(file, line);) lines_.push_back(line);
    at_end_ = true;
    schedule();
    return {};
  }

 private:
  void read_stdin() {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (count <= 0) {
      if (!partial_.empty()) lines_.push_back(std::exchange(partial_, {}));
      at_end_ = true;
      stdin_->setEnabled(false);
    } else {
      partial_.append(buffer, static_cast<std::size_t>(count));
      for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
      }
    }
    schedule();
  }

  void schedule() {
    QTimer::singleShot(0, &context_, [this] { play_next(); });
  }

  void play_next() {
    // A command may turn the event loop itself (a resize waits for the window); the lines
    // that arrive meanwhile wait their turn.
    if (playing_ || ended_) return;
    if (!settled_) {
      // As a person starts once the window is there: on a desktop its window manager takes a
      // few turns to frame and show it (what is done before may never be painted), and then
      // whatever start-up set going (laying out, painting) is handled before the first line,
      // so that even a script of just `quit` ends on the complete first layout.
      if (!window_up_() && waited_for_window_++ < kWindowWaits) {
        QTimer::singleShot(kWindowWait, &context_, [this] { play_next(); });
        return;
      }
      playing_ = true;
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
      playing_ = false;
      settled_ = true;
    }
    if (lines_.empty()) {
      if (at_end_) end();
      return;
    }
    std::string line = std::move(lines_.front());
    lines_.pop_front();
    playing_ = true;
    const bool go_on = session_->execute(line, ++line_number_);
    playing_ = false;
    if (!go_on) return end();
    schedule();
  }

  void end() {
    ended_ = true;
    if (stdin_ != nullptr) stdin_->setEnabled(false);
    on_end_();
  }

  // Looked for every millisecond: a person's first line waits no longer than it must.
  static constexpr std::chrono::milliseconds kWindowWait{1};
  static constexpr int kWindowWaits = 5000;  // 5 s, and then the script goes on all the same

  Session* session_;
  std::function<bool()> window_up_;
  std::function<void()> on_end_;
  int waited_for_window_ = 0;
  QObject context_;
  QSocketNotifier* stdin_ = nullptr;
  std::deque<std::string> lines_;
  std::string partial_;
  int line_number_ = 0;
  bool at_end_ = false;
  bool playing_ = false;
  bool settled_ = false;
  bool ended_ = false;
};

// `shot FILE [inspector|both]`: the main window as it is now, the inspector, or the two side
// by side, as a PNG.
std::string shot(rt::qt::QtWindowSystem& ws, Inspector* inspector,
                 const std::vector<std::string_view>& args) {
  constexpr std::string_view kUsage = "shot FILE [inspector|both]";
  if (args.size() != 2) {
    if (std::string error = expect_count(args, 1, kUsage); !error.empty()) return error;
  }
  const std::string_view what = args.size() == 2 ? args[1] : "main";
  if (what != "main" && what != "inspector" && what != "both") {
    return "shot: " + printable(what) +
           " is neither inspector nor both; usage: " + std::string(kUsage);
  }
  QMainWindow* window = ws.main_window();
  if (window == nullptr) return "shot: there is no main window";
  if (what != "main" && inspector == nullptr) return "shot: there is no inspector (--inspect)";
  QImage image;
  if (what == "main") {
    image = window->grab().toImage();
  } else {
    inspector->refresh();  // what it shows at once, not at the next turn of the event loop
    image = inspector->grab().toImage();
    if (what == "both") {
      // As they stand on the screen: the main window, and the inspector beside it.
      const QImage main = window->grab().toImage();
      constexpr int kGap = 16;
      QImage both(main.width() + kGap + image.width(), std::max(main.height(), image.height()),
                  QImage::Format_RGB32);
      both.fill(QColor(0x80, 0x80, 0x80));
      QPainter painter(&both);
      painter.drawImage(0, 0, main);
      painter.drawImage(main.width() + kGap, 0, image);
      painter.end();
      image = both;
    }
  }
  const QString path = QString::fromUtf8(args[0].data(), static_cast<qsizetype>(args[0].size()));
  if (!image.save(path, "PNG")) return "shot: cannot write " + std::string(args[0]);
  return {};
}

// Whether the person chose a widget style: Qt's -style option or QT_STYLE_OVERRIDE.
bool style_chosen(int argc, char** argv) {
  return qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE") ||
         has_qt_option(std::vector<std::string_view>(argv + 1, argv + argc), "style");
}

// Qt ends the process when its platform cannot start (a display that does not answer, a plugin
// that is missing), after a few lines of its own: say why in one line instead, and leave as for
// a bad command line. What Qt says while it starts is held back until it is clear which.
QtMessageHandler qt_handler = nullptr;
std::vector<std::pair<QtMsgType, QString>> held_messages;

void fatal_start_is_a_usage_error(QtMsgType type, const QMessageLogContext&,
                                  const QString& message) {
  if (type != QtFatalMsg) {
    held_messages.emplace_back(type, message);
    return;
  }
  // The first thing Qt said is what went wrong ("could not connect to display :1").
  const QString why = held_messages.empty() ? message : held_messages.front().second;
  std::cerr << "mdiresize: cannot open the window: "
            << why.section(QLatin1Char('\n'), 0, 0).toStdString()
            << " (try -platform offscreen, or --headless)" << std::endl;
  std::_Exit(kExitUsage);
}

void start_qt_messages() {
  qt_handler = qInstallMessageHandler(fatal_start_is_a_usage_error);
}

void qt_started() {
  qInstallMessageHandler(qt_handler);
  for (const auto& [type, message] : std::exchange(held_messages, {})) {
    if (qt_handler != nullptr) qt_handler(type, QMessageLogContext(), message);
  }
}

}  // namespace

int run_window(int& argc, char** argv, const Options& options) {
  const bool own_style = style_chosen(argc, argv);
  start_qt_messages();
  QApplication qt_application(argc, argv);
  qt_started();
  // So that a Wayland desktop finds the desktop entry, and with it the icon, for the windows.
  QGuiApplication::setDesktopFileName(QStringLiteral(MDIRESIZE_APP_ID));
  if (!own_style) QApplication::setStyle(rt::qt::make_classic_style());

  rt::qt::QtWindowSystem ws;
  // The recording outlives the program, which may still act as it closes its windows.
  RecordingFile recording;
  rt::Application application(shell::make_project(), ws);
  rt::TracePrinter trace(std::cout);
  const rt::Subscription tracing = options.trace ? application.observe(trace) : rt::Subscription();

  if (!options.record.empty()) {
    if (const std::string error = recording.start(options.record, ws); !error.empty()) {
      std::cerr << "mdiresize: " << error << '\n';
      return kExitUsage;
    }
  }

  Session session(application, std::cout, std::cerr);
  std::unique_ptr<Inspector> inspector;
  if (options.inspect) {
    inspector = std::make_unique<Inspector>(application, ws, session.pass_watcher());
  }
  session.add_command(
      "shot", [&ws, &inspector](const auto& args) { return shot(ws, inspector.get(), args); });
  // The program ends with its script, as the headless session does.
  ScriptPlayer player(
      session,
      [&ws] {
        const QMainWindow* window = ws.main_window();
        return window != nullptr && window->windowHandle() != nullptr &&
               window->windowHandle()->isExposed();
      },
      [&ws] { ws.quit(); });
  if (!options.script.empty()) {
    if (const std::string error = player.open(options.script); !error.empty()) {
      std::cerr << "mdiresize: " << error << '\n';
      return kExitUsage;
    }
  }
  const int status = application.run();
  std::cout.flush();
  if (session.rejected_any()) return kExitRejectedLines;
  return status;
}

int run_sweep_command(int& argc, char** argv) {
  std::vector<std::string_view> args(argv + 2, argv + argc);
  if (!sweep_wants_qt(args)) return sweep_main(args, std::cout, std::cerr);
  // The sweep is measured, not watched: no windows on the desktop unless asked for.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt_application(argc, argv);
  args.assign(argv + 2, argv + argc);  // without Qt's own options
  return sweep_main(args, std::cout, std::cerr,
                    [] { return std::make_unique<rt::qt::QtWindowSystem>(); });
}

}  // namespace app
