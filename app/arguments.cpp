#include "app/arguments.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "runtime/variant.h"

namespace app {
namespace {

bool is_space(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Where the double-quoted string that opens at `open` ends: just past its closing quote, or at
// the end of the line when it has none.
std::size_t quoted_end(std::string_view line, std::size_t open) {
  for (std::size_t i = open + 1; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '"') {
      return i + 1;
    }
  }
  return line.size();
}

// The value of an escape sequence after its backslash, at `i`; `i` moves to its last character.
// Returns an error message, or empty.
std::string unescape(std::string_view body, std::size_t& i, std::string& text) {
  const char c = body[i];
  static constexpr std::string_view kFrom = "abfnrtv\\\"'?";
  static constexpr std::string_view kTo = "\a\b\f\n\r\t\v\\\"'?";
  if (const std::size_t simple = kFrom.find(c); simple != std::string_view::npos) {
    text += kTo[simple];
    return {};
  }
  const bool hex = c == 'x';
  const int base = hex ? 16 : 8;
  const std::size_t first = hex ? i + 1 : i;
  const std::size_t most = hex ? 2 : 3;
  unsigned value = 0;
  std::size_t digits = 0;
  while (digits < most && first + digits < body.size()) {
    const char d = body[first + digits];
    const int digit = std::isdigit(static_cast<unsigned char>(d)) ? d - '0'
                      : hex && std::isxdigit(static_cast<unsigned char>(d))
                          ? std::tolower(static_cast<unsigned char>(d)) - 'a' + 10
                          : base;
    if (digit >= base) break;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    ++digits;
  }
  if (digits == 0) return "unknown escape \\" + std::string(1, c);
  if (value > 0xFF) return "escape \\" + std::string(body.substr(i, digits)) + " is not a byte";
  text += static_cast<char>(value);
  i = first + digits - 1;
  return {};
}

}  // namespace

bool ArgumentReader::next() {
  if (next_ >= args_->size()) return false;
  name_ = (*args_)[next_++];
  value_ = {};
  has_value_ = false;
  if (const auto eq = name_.find('='); name_.starts_with("--") && eq != std::string_view::npos) {
    value_ = name_.substr(eq + 1);
    name_ = name_.substr(0, eq);
    has_value_ = true;
  }
  return true;
}

std::string ArgumentReader::value(std::string_view& out) {
  if (!has_value_) {
    if (next_ >= args_->size()) return std::string(name_) + " needs a value";
    value_ = (*args_)[next_++];
  }
  out = value_;
  return {};
}

std::string ArgumentReader::length(double max, double& out) {
  std::string_view text;
  if (std::string error = value(text); !error.empty()) return error;
  if (std::string error = parse_length(text, max, out); !error.empty()) {
    return std::string(name_) + ": " + error;
  }
  return {};
}

std::string ArgumentReader::twips_per_pixel(double& out) {
  if (std::string error = length(kMaxTwipsPerPixel, out); !error.empty()) return error;
  if (out < kMinTwipsPerPixel) {
    return std::string(name_) + ": must be at least " + rt::format_number(kMinTwipsPerPixel);
  }
  return {};
}

std::string ArgumentReader::file_name(std::string& out, std::string_view otherwise) {
  std::string_view text;
  if (std::string error = value(text); !error.empty()) return error;
  if (text.empty()) return std::string(name_) + " needs a file name" + std::string(otherwise);
  out = std::string(text);
  return {};
}

std::string ArgumentReader::unknown() const {
  return "unknown option " + std::string(name_.substr(0, 60));
}

std::string parse_number(std::string_view text, double min, double max, double& value) {
  double parsed = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, parsed, std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) return printable(text) + " is too large";
  if (result.ec != std::errc() || result.ptr != end || text.empty()) {
    return printable(text) + " is not a number";
  }
  if (!std::isfinite(parsed)) return printable(text) + " is not a finite number";
  if (parsed < min && min == 0) return printable(text) + " is negative";
  if (parsed < min) {
    return printable(text) + " is too small (at least " + rt::format_number(min) + " twips)";
  }
  if (parsed > max) {
    return printable(text) + " is too large (at most " + rt::format_number(max) + " twips)";
  }
  value = parsed;
  return {};
}

std::string parse_length(std::string_view text, double max, double& value) {
  return parse_number(text, 0, max, value);
}

std::string printable(std::string_view word) {
  constexpr std::size_t kShown = 40;
  return rt::quote(word.size() > kShown ? word.substr(0, kShown) : word) +
         (word.size() > kShown ? "..." : "");
}

std::string_view without_comment(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') i = quoted_end(line, i) - 1;
    if (i < line.size() && line[i] == '#') return line.substr(0, i);
  }
  return line;
}

std::vector<std::string_view> split_words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_space(line[i])) ++i;
    const std::size_t start = i;
    if (i < line.size() && line[i] == '"') i = quoted_end(line, i);
    while (i < line.size() && !is_space(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::string unquote(std::string_view word, std::string& text) {
  if (!word.starts_with('"')) {
    text = word;
    return {};
  }
  const std::size_t end = quoted_end(word, 0);
  if (end > word.size() || word.size() < 2 || word[end - 1] != '"' || end == 1) {
    return "unterminated string " + printable(word);
  }
  if (end != word.size()) return "text after the closing quote of " + printable(word);
  const std::string_view body = word.substr(1, end - 2);
  std::string result;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '\\') {
      result += body[i];
      continue;
    }
    if (++i == body.size()) return "unterminated string " + printable(word);
    if (std::string error = unescape(body, i, result); !error.empty()) return error;
  }
  text = std::move(result);
  return {};
}

}  // namespace app
