#pragma once

#include <fstream>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/analysis.h"
#include "runtime/application.h"

namespace app {

// Plays session commands, one a line, as a person at the window would:
//   resize W H          the main window's client area becomes W x H twips, and gets its Resize
//   click NAME          clicks a menu item or a button (mnuOplossing, mnuWiskundig, mnuVulBox,
//                       Command1)
//   minimize NAME, maximize NAME, restore NAME
//                       a child form's title-bar buttons
//   activate NAME       a click on a child form: to the front
//   window NAME         the child's entry in the window list: restored if minimised, to the front
//   next, previous      Ctrl+F6 and Ctrl+Shift+F6: the child after (before) the active one in
//                       the window list becomes the active one, in front
//   place NAME L T W H  a child form moved and sized by hand, in twips
//   type NAME TEXT      TEXT typed at the end of a text box's text ("..." with C escapes)
//   edit NAME POS DELETE TEXT
//                       at byte POS of a text box's text, DELETE bytes taken away and TEXT put
//                       in their place (positions as `state`'s length counts: a line break is
//                       two)
//   state               prints every form and control as the window system holds it
//   explain             prints what the last layout pass left behind, and whether it came out
//                       right
//   quit                ends the session
// Blank lines are skipped; # starts a comment. A bad line gets a one-line error naming its
// line number on the error stream, and the session goes on.
class Session {
 public:
  // An extra command: gets its arguments; returns an error message, or empty on success.
  using Command = std::function<std::string(const std::vector<std::string_view>& args)>;

  // Watches the layout passes from here on, so make it before the program starts.
  Session(rt::Application& app, std::ostream& out, std::ostream& err);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void add_command(std::string name, Command command);

  // Runs one line; false once the session has ended.
  bool execute(std::string_view line, int line_number);
  // Runs every line of `in` until it ends or a quit, numbered on from `lines_before`; the exit
  // status: 1 when a line was rejected, else 0.
  int run(std::istream& in, int lines_before = 0);

  const PassWatcher& pass_watcher() const { return watcher_; }
  PassWatcher& pass_watcher() { return watcher_; }

  bool rejected_any() const { return rejected_ > 0; }
  int rejected() const { return rejected_; }

 private:
  std::string resize(const std::vector<std::string_view>& args);
  std::string click(const std::vector<std::string_view>& args);
  std::string set_window_state(const std::vector<std::string_view>& args, rt::WindowState state);
  std::string activate(const std::vector<std::string_view>& args, bool from_window_list);
  std::string place(const std::vector<std::string_view>& args);
  std::string type(const std::vector<std::string_view>& args);
  std::string edit(const std::vector<std::string_view>& args);
  // The text box called `name` on screen, or null with `error` set.
  const rt::Control* text_box(std::string_view command, std::string_view name,
                              std::string& error) const;
  // The child form called `name` on screen, or null with `error` set.
  rt::Form* child_form(std::string_view command, std::string_view name, std::string& error) const;

  rt::Application* app_;
  std::ostream* out_;
  std::ostream* err_;
  PassWatcher watcher_;
  std::map<std::string, Command, std::less<>> commands_;
  int rejected_ = 0;
  bool ended_ = false;
};

// Why a command's arguments are not `count` in number, with its usage; empty when they are.
std::string expect_count(const std::vector<std::string_view>& args, std::size_t count,
                         std::string_view usage);

// `shot FILE [inspector|both]`: what to take a picture of ("main" when not given). Returns an
// error message, or empty.
std::string read_shot(const std::vector<std::string_view>& args, std::string_view& what);

// The session command that puts a child in this state: "minimize", "maximize", "restore".
std::string_view state_command(rt::WindowState state);

// The session command for Ctrl+F6 ("next") or Ctrl+Shift+F6 ("previous").
std::string_view cycle_command(rt::Cycle cycle);

// Every loaded form, control and menu item as the window system holds it, a line each,
// without running any program code.
void print_state(const rt::Application& app, std::ostream& out);

// The session command that does what the person did.
std::string command_for(const rt::UserAction& action);

// Writes what the person does as session commands, a line each as it happens, so that a
// session replays it.
class ActionWriter final : public rt::UserActionListener {
 public:
  explicit ActionWriter(std::ostream& out) : out_(&out) {}
  void acted(const rt::UserAction& action) override;

 private:
  std::ostream* out_;
};

// A recording's first line: the metrics of the window system it was made on, so that the
// in-memory one replays it as that one laid it out.
//   # mdiresize session recorded at 15 twips per pixel, scroll bars 17, frame border 4,
//   caption 26 pixels
std::string recording_header(const rt::Metrics& metrics);
// Reads what a recording's first line says into `metrics`. A line that is no header leaves it
// as it is, and so does the header of older versions for all but the twips per pixel. Returns
// an error message for a header that says something else or a value out of range, and then
// leaves `metrics` as it is.
std::string read_recording_header(std::string_view line, rt::Metrics& metrics);

// The file of --record, and the ActionWriter that writes to it.
class RecordingFile {
 public:
  // Opens `path`, writes its first line, recording_header() of `ws`, and from then on records
  // what the person does on `ws`. Returns an error message, or empty.
  std::string start(const std::string& path, rt::WindowSystem& ws);

 private:
  std::ofstream file_;
  ActionWriter writer_{file_};
};

}  // namespace app
