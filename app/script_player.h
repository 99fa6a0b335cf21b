#pragma once

#include <deque>
#include <functional>
#include <string>

#include "app/session.h"

namespace app {

// What a script player needs of the message loop it plays in.
struct MessageLoop {
  // `call` once, `milliseconds` from now (0: at the next turn), from inside the loop.
  std::function<void(int milliseconds, std::function<void()> call)> later;
  // Whether the main window is on the screen yet, where a person can see it.
  std::function<bool()> window_up;
  // Everything waiting in the loop, handled now.
  std::function<void()> settle;
};

// Plays session commands from inside a window system's message loop, one line per turn of the
// loop, so that the window shows each state and a person can watch. Lines come all at once (a
// file) or as they arrive (standard input, fed by whoever reads it); the session ends with the
// last one, or with `quit`.
class ScriptPlayer {
 public:
  ScriptPlayer(Session& session, MessageLoop loop, std::function<void()> on_end)
      : session_(&session), loop_(std::move(loop)), on_end_(std::move(on_end)) {}

  // Reads the lines of the file `script` and plays them. Returns an error message, or empty.
  std::string play_file(const std::string& script);
  // One more line to play; then no more.
  void add(std::string line);
  void finish();

 private:
  void schedule();
  void play_next();
  void end();

  // A person starts once the window is there: on a desktop its window manager takes a few
  // turns to frame and show it. Looked for every millisecond, for at most 5 s.
  static constexpr int kWindowWaitMs = 1;
  static constexpr int kWindowWaits = 5000;

  Session* session_;
  MessageLoop loop_;
  std::function<void()> on_end_;
  std::deque<std::string> lines_;
  int line_number_ = 0;
  int waited_for_window_ = 0;
  bool at_end_ = false;
  bool playing_ = false;
  bool settled_ = false;
  bool ended_ = false;
  bool scheduled_ = false;
};

}  // namespace app
