#include "app/window_main.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
#include "app/script_player.h"
#include "app/session.h"
#include "app/sweep.h"
#include "runtime/qt/classic_style.h"
#include "runtime/qt/qt_window_system.h"
#include "runtime/trace.h"
#include "shell/project.h"

namespace app {
namespace {

// Standard input, line by line as it arrives, to a script player.
class StandardInput {
 public:
  explicit StandardInput(ScriptPlayer& player)
      : player_(&player), notifier_(STDIN_FILENO, QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { read(); });
  }

 private:
  void read() {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (count <= 0) {
      if (!partial_.empty()) player_->add(std::exchange(partial_, {}));
      notifier_.setEnabled(false);
      player_->finish();
      return;
    }
    partial_.append(buffer, static_cast<std::size_t>(count));
    for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
      player_->add(partial_.substr(0, end));
      partial_.erase(0, end + 1);
    }
  }

  ScriptPlayer* player_;
  QSocketNotifier notifier_;
  std::string partial_;
};

// `shot FILE [inspector|both]`: the main window as it is now, the inspector, or the two side
// by side, as a PNG.
std::string shot(rt::qt::QtWindowSystem& ws, Inspector* inspector,
                 const std::vector<std::string_view>& args) {
  std::string_view what;
  if (std::string error = read_shot(args, what); !error.empty()) return error;
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
  ws.set_about(about());
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
  QObject context;  // what is called later dies with the player's loop
  MessageLoop loop;
  loop.later = [&context](int milliseconds, std::function<void()> call) {
    QTimer::singleShot(milliseconds, &context, std::move(call));
  };
  loop.window_up = [&ws] {
    const QMainWindow* window = ws.main_window();
    return window != nullptr && window->windowHandle() != nullptr &&
           window->windowHandle()->isExposed();
  };
  loop.settle = [] {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  };
  ScriptPlayer player(session, loop, [&ws] { ws.quit(); });
  std::unique_ptr<StandardInput> standard_input;
  if (options.script == "-") {
    standard_input = std::make_unique<StandardInput>(player);
  } else if (!options.script.empty()) {
    if (const std::string error = player.play_file(options.script); !error.empty()) {
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
  return sweep_main(
      args, std::cout, std::cerr,
      {SweepOptions::WindowSystem::Qt, [] { return std::make_unique<rt::qt::QtWindowSystem>(); }});
}

}  // namespace app
