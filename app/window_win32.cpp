#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/arguments.h"
#include "app/png_file.h"
#include "app/script_player.h"
#include "app/session.h"
#include "app/window_main.h"
#include "runtime/trace.h"
#include "runtime/win32/message_loop.h"
#include "runtime/win32/win32_window_system.h"
#include "shell/project.h"

namespace app {
namespace {

// Standard input, read on a thread of its own (a console or a pipe cannot be waited for in the
// message loop), its lines handed to the player from inside the loop.
class StandardInput {
 public:
  StandardInput(ScriptPlayer& player, rt::win32::LaterCalls& later)
      : player_(&player), later_(&later) {
    // The reader keeps what it shares: a read that has not returned when the program ends
    // touches nothing that is gone.
    std::thread([read = read_] {
      for (std::string line; std::getline(std::cin, line);) {
        const std::lock_guard<std::mutex> lock(read->mutex);
        read->lines.push_back(std::move(line));
      }
      const std::lock_guard<std::mutex> lock(read->mutex);
      read->done = true;
    }).detach();
    hand_over();
  }

 private:
  struct Read {
    std::mutex mutex;
    std::vector<std::string> lines;
    bool done = false;
  };

  // Every few milliseconds, what has come.
  void hand_over() {
    std::vector<std::string> lines;
    bool done = false;
    {
      const std::lock_guard<std::mutex> lock(read_->mutex);
      lines.swap(read_->lines);
      done = read_->done;
    }
    for (std::string& line : lines) player_->add(std::move(line));
    if (done) return player_->finish();
    later_->later(kPollMs, [this] { hand_over(); });
  }

  static constexpr unsigned kPollMs = 5;

  ScriptPlayer* player_;
  rt::win32::LaterCalls* later_;
  std::shared_ptr<Read> read_ = std::make_shared<Read>();
};

// `shot FILE`: the main window as it is on the screen, as a PNG.
std::string shot(const rt::win32::Win32WindowSystem& ws,
                 const std::vector<std::string_view>& args) {
  std::string_view what;
  if (std::string error = read_shot(args, what); !error.empty()) return error;
  if (what != "main") return "shot: there is no inspector on this window system";
  const rt::win32::Pixels pixels = ws.capture();
  if (pixels.width == 0 || pixels.height == 0) return "shot: there is no main window";
  if (std::string error = write_png(pixels, std::string(args[0])); !error.empty()) {
    return "shot: " + error;
  }
  return {};
}

}  // namespace

int run_window(int& /*argc*/, char** /*argv*/, const Options& options) {
  rt::win32::Win32WindowSystem ws;
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
  session.add_command("shot", [&ws](const auto& args) { return shot(ws, args); });

  rt::win32::LaterCalls later;
  MessageLoop loop;
  loop.later = [&later](int milliseconds, std::function<void()> call) {
    later.later(static_cast<unsigned>(milliseconds), std::move(call));
  };
  loop.window_up = [&ws] { return ws.window_up(); };
  loop.settle = [&ws] { ws.process_pending(); };
  // The program ends with its script, as the headless session does.
  ScriptPlayer player(session, loop, [&ws] { ws.quit(); });
  std::unique_ptr<StandardInput> standard_input;
  if (options.script == "-") {
    standard_input = std::make_unique<StandardInput>(player, later);
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

}  // namespace app
