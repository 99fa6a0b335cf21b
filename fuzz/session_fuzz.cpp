// Session commands from arbitrary bytes. The first line is the headless command line (the
// options after --headless), the rest is the script, played line by line as a session plays
// it. Every line either runs or is rejected with one error line that names it; a session has
// no faults, so the program itself never reports a run-time error; nothing crashes or hangs;
// and what was recorded of it plays again, without an error, to the same state.

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli.h"
#include "app/session.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/trace.h"
#include "shell/project.h"

namespace {

[[noreturn]] void fail(std::string_view what, std::string_view detail) {
  std::cerr << "fuzz_session: " << what << ": " << rt::quote(detail) << '\n';
  std::abort();
}

// One line of text that says what is wrong.
bool one_clear_line(const std::string& text, std::string_view prefix) {
  return text.starts_with(prefix) && text.size() > prefix.size() + 1 &&
         text.find('\n') == text.size() - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t first_end = input.find('\n');
  std::string_view script =
      first_end == std::string_view::npos ? std::string_view() : input.substr(first_end + 1);

  app::Options options;
  const std::string error =
      app::parse_options(app::split_words(input.substr(0, first_end)), options);
  if (!error.empty()) {
    if (!one_clear_line(error + '\n', "")) fail("an option error is not one line", error);
    return 0;
  }
  // As run_headless sets it up, the script's first line too; a script named on the command
  // line is not opened, nor is a recording: it is kept here, with its own first line.
  rt::headless::Config config;
  const auto set_up = [&config](const rt::Metrics& metrics) {
    config.twips_per_pixel = metrics.twips_per_pixel;
    config.scroll_bar_px = metrics.scroll_bar_px;
    config.border_px = metrics.border_px;
    config.caption_px = metrics.caption_px;
  };
  rt::Metrics metrics{config.twips_per_pixel, config.scroll_bar_px, config.border_px,
                      config.caption_px};
  if (const std::string header =
          app::read_recording_header(script.substr(0, script.find('\n')), metrics);
      !header.empty()) {
    if (!one_clear_line(header + '\n', "")) fail("a header's error is not one line", header);
    return 0;
  }
  set_up(metrics);
  if (options.twips_per_pixel > 0) config.twips_per_pixel = options.twips_per_pixel;
  config.exact = options.exact;
  rt::headless::HeadlessWindowSystem ws(config);
  std::ostringstream recording;
  recording << app::recording_header(ws.metrics()) << '\n';
  app::ActionWriter recorder(recording);
  ws.person().listen(&recorder);
  rt::Application application(shell::make_project(), ws);
  std::ostringstream out;
  std::ostringstream err;
  rt::TracePrinter trace(out);
  const rt::Subscription tracing = options.trace ? application.observe(trace) : rt::Subscription();
  std::string reported;
  application.set_error_reporter([&reported](const rt::Error& e) {
    reported += std::to_string(e.number()) + " " + e.message() + "; ";
  });
  application.start();
  if (!reported.empty()) fail("start-up reported a run-time error", reported);

  app::Session session(application, out, err);
  int number = 0;
  while (!script.empty()) {
    const std::size_t end = script.find('\n');
    const std::string_view line = script.substr(0, end);
    script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);

    const int rejected = session.rejected();
    const bool going = session.execute(line, ++number);
    const std::string said = err.str();
    if (session.rejected() == rejected) {
      if (!said.empty()) fail("an accepted line wrote an error", said);
    } else if (session.rejected() != rejected + 1 ||
               !one_clear_line(said, "mdiresize: line " + std::to_string(number) + ": ")) {
      fail("a rejected line did not get one error line naming it", said);
    }
    if (!reported.empty()) fail("the program reported a run-time error", reported);
    if (!going) break;
    out.str("");
    err.str("");
  }

  std::ostringstream state;
  app::print_state(application, state);
  rt::Metrics recorded_metrics;
  if (const std::string header = app::read_recording_header(
          recording.str().substr(0, recording.str().find('\n')), recorded_metrics);
      !header.empty() || recorded_metrics != ws.metrics()) {
    fail("the recording's first line does not read back", recording.str());
  }
  set_up(recorded_metrics);
  rt::headless::HeadlessWindowSystem replay_ws(config);
  rt::Application replay(shell::make_project(), replay_ws);
  replay.start();
  app::Session replayed(replay, out, err);
  std::istringstream recorded(recording.str());
  if (replayed.run(recorded) != 0) fail("a recorded line was rejected", err.str());
  std::ostringstream replayed_state;
  app::print_state(replay, replayed_state);
  if (replayed_state.str() != state.str()) fail("the recording replays elsewhere", recording.str());
  return 0;
}
