#include "app/script_player.h"

#include <fstream>
#include <utility>

namespace app {

std::string ScriptPlayer::play_file(const std::string& script) {
  std::ifstream file(script);
  if (!file) return "cannot read script " + script;
  for (std::string line; std::getline(file, line);) lines_.push_back(line);
  finish();
  return {};
}

void ScriptPlayer::add(std::string line) {
  lines_.push_back(std::move(line));
  schedule();
}

void ScriptPlayer::finish() {
  at_end_ = true;
  schedule();
}

void ScriptPlayer::schedule() {
  if (scheduled_) return;
  scheduled_ = true;
  loop_.later(0, [this] {
    scheduled_ = false;
    play_next();
  });
}

void ScriptPlayer::play_next() {
  // A command may turn the loop itself (a resize waits for the window); the lines that arrive
  // meanwhile wait their turn.
  if (playing_ || ended_) return;
  if (!settled_) {
    if (!loop_.window_up() && waited_for_window_++ < kWindowWaits) {
      loop_.later(kWindowWaitMs, [this] { play_next(); });
      return;
    }
    // Whatever start-up set going (laying out, painting) is handled before the first line, so
    // that even a script of just `quit` ends on the complete first layout.
    playing_ = true;
    loop_.settle();
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

void ScriptPlayer::end() {
  ended_ = true;
  on_end_();
}

}  // namespace app
