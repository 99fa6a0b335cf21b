#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRejectedLines = 1;
inline constexpr int kExitUsage = 2;
// The program's own description is broken (a build of it that must never ship): EX_SOFTWARE.
inline constexpr int kExitBroken = 70;

// The largest client size a session accepts, in twips: every whole number up to it is a
// single exactly.
inline constexpr double kMaxClientTwips = 16777216.0;
// The finest pixel a session or a sweep accepts, in twips: 144000 dots an inch, finer than any
// screen. Much finer ones make the pixel arithmetic overflow, and every length infinite.
inline constexpr double kMinTwipsPerPixel = 0.01;
// The coarsest: one pixel an inch.
inline constexpr double kMaxTwipsPerPixel = 1440;

// Reads the arguments of a command line in order: "--name value", "--name=value", "--flag".
class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string_view>& args) : args_(&args) {}
  // Moves to the next argument; false after the last.
  bool next();
  // The argument, without any "=value".
  std::string_view name() const { return name_; }
  // Whether a value came with it after '='.
  bool has_value() const { return has_value_; }
  // The option's value: after its '=', or else the next argument, which it then takes.
  // Returns an error message, or empty.
  std::string value(std::string_view& out);
  // The option's value as a length in twips (see parse_length). Returns an error message that
  // names the option, or empty.
  std::string length(double max, double& out);
  // The option's value as twips per pixel: from a pixel finer than any screen to one pixel an
  // inch. Returns an error message, or empty.
  std::string twips_per_pixel(double& out);
  // The option's value as a file name, which must not be empty; `otherwise` follows "needs a
  // file name" where something else may stand for one. Returns an error message, or empty.
  std::string file_name(std::string& out, std::string_view otherwise = {});
  // The error for an argument that is none of the command's options.
  std::string unknown() const;

 private:
  const std::vector<std::string_view>* args_;
  std::size_t next_ = 0;
  std::string_view name_;
  std::string_view value_;
  bool has_value_ = false;
};

// A decimal number of twips from `min` to `max`. Returns an error message, or empty with
// `value` set.
std::string parse_number(std::string_view text, double min, double max, double& value);

// Reads a length in twips: a finite, non-negative decimal number no larger than `max`.
// Returns an error message, or empty with `value` set.
std::string parse_length(std::string_view text, double max, double& value);

// A word as an error message shows it: quoted, and cut short when long.
std::string printable(std::string_view word);

// A line without its comment, which starts at its first # outside a quoted string.
std::string_view without_comment(std::string_view line);

// The words of a line, split at white space; a double-quoted string is one word, quotes and
// all, white space and escaped quotes included.
std::vector<std::string_view> split_words(std::string_view line);

// The text of a word: a double-quoted string with C escapes as the trace writes them, or the
// word as it stands. Returns an error message, or empty with `text` set.
std::string unquote(std::string_view word, std::string& text);

}  // namespace app
