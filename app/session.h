#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/application.h"

namespace app {

// The largest client size a session accepts, in twips: every whole number up to it is a
// single exactly.
inline constexpr double kMaxClientTwips = 16777216.0;
// The finest pixel a session or a sweep accepts, in twips: 144000 dots an inch, finer than any
// screen. Much finer ones make the pixel arithmetic overflow, and every length infinite.
inline constexpr double kMinTwipsPerPixel = 0.01;

// Plays session commands, one a line, as a person at the window would:
//   resize W H   the main window's client area becomes W x H twips, and gets its Resize
//   click NAME   clicks a menu item or a button (mnuOplossing, mnuWiskundig, mnuVulBox, Command1)
//   state        prints every form and control as the window system holds it
//   quit         ends the session
// Blank lines are skipped; # starts a comment. A bad line gets a one-line error naming its
// line number on the error stream, and the session goes on.
class Session {
 public:
  // An extra command: gets its arguments; returns an error message, or empty on success.
  using Command = std::function<std::string(const std::vector<std::string_view>& args)>;

  Session(rt::Application& app, std::ostream& out, std::ostream& err);

  void add_command(std::string name, Command command);

  // Runs one line; false once the session has ended.
  bool execute(std::string_view line, int line_number);
  // Runs every line of `in` until it ends or a quit; the exit status: 1 when a line was
  // rejected, else 0.
  int run(std::istream& in);

  bool rejected_any() const { return rejected_ > 0; }
  int rejected() const { return rejected_; }

 private:
  std::string resize(const std::vector<std::string_view>& args);
  std::string click(const std::vector<std::string_view>& args);

  rt::Application* app_;
  std::ostream* out_;
  std::ostream* err_;
  std::map<std::string, Command, std::less<>> commands_;
  int rejected_ = 0;
  bool ended_ = false;
};

// The words of a line, split at white space.
std::vector<std::string_view> split_words(std::string_view line);

// Reads a length in twips: a finite, non-negative decimal number no larger than `max`.
// Returns an error message, or empty with `value` set.
std::string parse_length(std::string_view text, double max, double& value);

// Every loaded form, control and menu item as the window system holds it, a line each,
// without running any program code.
void print_state(const rt::Application& app, std::ostream& out);

}  // namespace app
