#pragma once

// What the desktop tests drive: the real program in a process of its own, on a real X server
// (Xvfb) under a real window manager (openbox), given real input (XTest), or under a Wayland
// compositor (weston); and the screen itself.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

typedef struct _XDisplay Display;

namespace desktop {

using namespace std::chrono_literals;

// A process of its own, with the environment given on top of this one's (NAME=VALUE; NAME= to
// leave one out).
class Process {
 public:
  Process(const std::vector<std::string>& command, const std::vector<std::string>& environment,
          bool piped = false);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool running();
  // Its exit status, once it has ended within `timeout`; -1 if it has not.
  int wait(std::chrono::milliseconds timeout);
  // Piped processes: a line to its standard input, and one from its standard output.
  void send(std::string_view line);
  std::string read_line(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  int in_ = -1, out_ = -1;
  std::string buffer_;
};

// The program, driven through its session commands on standard input (--script -): the one
// of MDIRESIZE_PROGRAM, or the one `command` starts.
class Program {
 public:
  Program(const std::vector<std::string>& environment, std::vector<std::string> args = {},
          std::vector<std::string> command = {});
  // What `state` prints, once the program has settled: asked until two answers 80 ms apart
  // are the same, so that what the last input set going has been handled.
  std::string settled_state();
  std::string state();
  void send(std::string_view line) { process_.send(line); }
  bool running() { return process_.running(); }
  int wait(std::chrono::milliseconds timeout) { return process_.wait(timeout); }

 private:
  Process process_;
};

// The program on its in-memory window system, playing a script file (--headless --script
// FILE): what it printed, and its exit status (-1 if it did not end).
struct Played {
  std::string out;
  int status = -1;
};
Played play_headless(const std::string& script);

// An X server with a window manager, for as long as it lives.
class XDesktop {
 public:
  // Why there can be none here, or empty.
  static std::string missing();

  // A screen of `screen` pixels, at 96 dpi.
  explicit XDesktop(QSize screen = QSize(1280, 1024));
  ~XDesktop();
  XDesktop(const XDesktop&) = delete;
  XDesktop& operator=(const XDesktop&) = delete;

  // DISPLAY=..., for the program's environment.
  std::string display_variable() const { return "DISPLAY=" + name_; }

  // The top-level window of this title, once mapped; 0 when none comes within `timeout`.
  unsigned long window(std::string_view title, std::chrono::milliseconds timeout = 5s);
  // A window's own area (without the window manager's frame) and its frame's, on the screen.
  QRect area_of(unsigned long window);
  QRect frame_of(unsigned long window);

  // Real input, as from a mouse and a keyboard.
  void move(QPoint to);
  void press(int button = 1);
  void release(int button = 1);
  void click(QPoint at, int button = 1);
  void double_click(QPoint at);
  // Keys by X name ("Alt_L", "Down", "F4"), pressed in order and released in reverse.
  void keys(const std::vector<std::string>& names);
  QImage grab(const QRect& area);

 private:
  void sync();

  Process* server_ = nullptr;
  Process* manager_ = nullptr;
  std::string name_;
  Display* display_ = nullptr;
};

// A Wayland compositor, weston, on its headless back end: no screen and no input devices, but
// a real compositor that the program's windows are made on.
class Weston {
 public:
  static std::string missing();

  Weston();
  // What the program needs to find it: WAYLAND_DISPLAY, XDG_RUNTIME_DIR, the platform.
  std::vector<std::string> environment() const;

 private:
  std::string socket_;
  std::unique_ptr<Process> compositor_;
};

// The Windows build's program under Wine with its x11 graphics driver (cmake/wine.sh, in the
// Windows build's prefix for that driver): the command that starts it, and why there can be
// none here, or empty.
std::vector<std::string> windows_program();
std::string windows_program_missing();

// A folder of this user's only, for Qt's runtime files, made once per run.
std::string private_runtime_folder();

// The client area's scroll bars as the screen shows them, told from the arrow buttons at its
// right corners: an up arrow at the top right means a vertical bar; at the bottom right, a
// right arrow means a horizontal bar alone, a down arrow a vertical one alone, a plain square
// both bars (their corner) or none (the corner of the text box's own bars, which lies there
// when the bottom form spans the width). `bar` is a bar's width in pixels.
struct Bars {
  bool horizontal = false, vertical = false;
};
Bars bars_on_screen(const QImage& client_area, int bar);

}  // namespace desktop
