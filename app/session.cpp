#include "app/session.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

namespace app {

std::vector<std::string_view> split_words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    const std::size_t start = i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

namespace {

std::string printable(std::string_view word) {
  constexpr std::size_t kShown = 40;
  return rt::quote(word.size() > kShown ? word.substr(0, kShown) : word) +
         (word.size() > kShown ? "..." : "");
}

std::string expect_count(const std::vector<std::string_view>& args, std::size_t count,
                         std::string_view usage) {
  if (args.size() == count) return {};
  return (args.size() < count ? "missing argument; usage: " : "too many arguments; usage: ") +
         std::string(usage);
}

void print_geometry(const rt::Rect& r, std::ostream& out) {
  out << " left=" << rt::format_number(r.left) << " top=" << rt::format_number(r.top)
      << " width=" << rt::format_number(r.width) << " height=" << rt::format_number(r.height);
}

std::string_view bars_name(const rt::ScrollBars& bars) {
  if (bars.horizontal && bars.vertical) return "both";
  if (bars.horizontal) return "horizontal";
  if (bars.vertical) return "vertical";
  return "none";
}

}  // namespace

std::string parse_length(std::string_view text, double max, double& value) {
  double parsed = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, parsed, std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) return printable(text) + " is too large";
  if (result.ec != std::errc() || result.ptr != end || text.empty()) {
    return printable(text) + " is not a number";
  }
  if (!std::isfinite(parsed)) return printable(text) + " is not a finite number";
  if (parsed < 0) return printable(text) + " is negative";
  if (parsed > max) {
    return printable(text) + " is too large (at most " + rt::format_number(max) + " twips)";
  }
  value = parsed;
  return {};
}

Session::Session(rt::Application& app, std::ostream& out, std::ostream& err)
    : app_(&app), out_(&out), err_(&err) {
  commands_["resize"] = [this](const auto& args) { return resize(args); };
  commands_["click"] = [this](const auto& args) { return click(args); };
  commands_["state"] = [this](const auto& args) {
    std::string error = expect_count(args, 0, "state");
    if (error.empty()) print_state(*app_, *out_);
    return error;
  };
  commands_["quit"] = [this](const auto& args) {
    std::string error = expect_count(args, 0, "quit");
    if (error.empty()) ended_ = true;
    return error;
  };
}

void Session::add_command(std::string name, Command command) {
  commands_[std::move(name)] = std::move(command);
}

bool Session::execute(std::string_view line, int line_number) {
  if (ended_) return false;
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> words = split_words(line);
  if (words.empty()) return true;
  const std::string_view name = words.front();
  words.erase(words.begin());
  std::string error;
  if (const auto found = commands_.find(name); found != commands_.end()) {
    error = found->second(words);
  } else {
    error = "unknown command " + printable(name) + " (try --help)";
  }
  if (!error.empty()) {
    ++rejected_;
    *err_ << "mdiresize: line " << line_number << ": " << error << '\n';
  }
  out_->flush();
  return !ended_;
}

int Session::run(std::istream& in) {
  std::string line;
  int number = 0;
  while (!ended_ && std::getline(in, line)) {
    if (!execute(line, ++number)) break;
  }
  return rejected_any() ? 1 : 0;
}

std::string Session::resize(const std::vector<std::string_view>& args) {
  if (std::string error = expect_count(args, 2, "resize WIDTH HEIGHT"); !error.empty()) {
    return error;
  }
  double width = 0;
  double height = 0;
  if (std::string error = parse_length(args[0], kMaxClientTwips, width); !error.empty()) {
    return "resize: width " + error;
  }
  if (std::string error = parse_length(args[1], kMaxClientTwips, height); !error.empty()) {
    return "resize: height " + error;
  }
  app_->window_system().user_resize_client(static_cast<float>(width), static_cast<float>(height));
  return {};
}

std::string Session::click(const std::vector<std::string_view>& args) {
  if (std::string error = expect_count(args, 1, "click NAME"); !error.empty()) return error;
  const std::string_view name = args[0];
  // Only what a person can click: a menu item or a button of a form on screen.
  for (rt::Form* form : app_->loaded_forms()) {
    for (const auto& menu : form->menus()) {
      if (menu->name() == name) {
        app_->window_system().user_click(menu->peer());
        return {};
      }
    }
    for (const auto& control : form->controls()) {
      if (control->design().kind == rt::ControlKind::CommandButton && control->name() == name) {
        app_->window_system().user_click(control->peer());
        return {};
      }
    }
  }
  return "click: no menu item or button " + printable(name) + " on screen";
}

void print_state(const rt::Application& app, std::ostream& out) {
  out << "scrollbars " << bars_name(app.window_system().client_scroll_bars()) << '\n';
  for (const rt::Form* form : app.loaded_forms()) {
    const rt::PeerState state = form->peer_if_loaded()->inspect();
    out << "form " << form->path();
    print_geometry(state.geometry, out);
    out << " scalewidth=" << rt::format_number(state.client.width)
        << " scaleheight=" << rt::format_number(state.client.height) << '\n';
    for (const auto& control : form->controls()) {
      const rt::PeerState c = control->peer().inspect();
      out << "control " << control->path();
      print_geometry(c.geometry, out);
      switch (control->design().kind) {
        case rt::ControlKind::ListBox:
          out << " items=" << c.item_count << " extent=" << c.horizontal_extent;
          break;
        case rt::ControlKind::TextBox:
          out << " length=" << c.text.size();
          break;
        case rt::ControlKind::Label:
        case rt::ControlKind::CommandButton:
          out << " caption=" << rt::quote(c.text);
          break;
      }
      out << '\n';
    }
    for (const auto& menu : form->menus()) {
      out << "menu " << menu->path()
          << " checked=" << (menu->peer().inspect().checked ? "True" : "False") << '\n';
    }
  }
}

}  // namespace app
