#include "app/session.h"

#include <array>
#include <charconv>
#include <istream>
#include <ostream>

#include "app/arguments.h"

namespace app {

namespace {

void print_geometry(const rt::Rect& r, std::ostream& out) {
  out << " left=" << rt::format_number(r.left) << " top=" << rt::format_number(r.top)
      << " width=" << rt::format_number(r.width) << " height=" << rt::format_number(r.height);
}

// How a session names what a person acted on: a form by its name, a control or menu item by
// its own ("Command1", "mnuOplossing").
std::string_view target_name(const rt::Object& object) {
  if (const auto* form = dynamic_cast<const rt::Form*>(&object)) return form->class_name();
  if (const auto* control = dynamic_cast<const rt::Control*>(&object)) return control->name();
  if (const auto* menu = dynamic_cast<const rt::Menu*>(&object)) return menu->name();
  return object.path();
}

}  // namespace

std::string expect_count(const std::vector<std::string_view>& args, std::size_t count,
                         std::string_view usage) {
  if (args.size() == count) return {};
  return (args.size() < count ? "missing argument; usage: " : "too many arguments; usage: ") +
         std::string(usage);
}

std::string read_shot(const std::vector<std::string_view>& args, std::string_view& what) {
  constexpr std::string_view kUsage = "shot FILE [inspector|both]";
  if (args.size() != 2) {
    if (std::string error = expect_count(args, 1, kUsage); !error.empty()) return error;
  }
  what = args.size() == 2 ? args[1] : "main";
  if (what != "main" && what != "inspector" && what != "both") {
    return "shot: " + printable(what) +
           " is neither inspector nor both; usage: " + std::string(kUsage);
  }
  return {};
}

std::string_view state_command(rt::WindowState state) {
  switch (state) {
    case rt::WindowState::Minimized:
      return "minimize";
    case rt::WindowState::Maximized:
      return "maximize";
    case rt::WindowState::Normal:
      break;
  }
  return "restore";
}

std::string_view cycle_command(rt::Cycle cycle) {
  return cycle == rt::Cycle::Next ? "next" : "previous";
}

Session::Session(rt::Application& app, std::ostream& out, std::ostream& err)
    : app_(&app), out_(&out), err_(&err), watcher_(app) {
  commands_["resize"] = [this](const auto& args) { return resize(args); };
  commands_["click"] = [this](const auto& args) { return click(args); };
  for (const rt::WindowState state :
       {rt::WindowState::Minimized, rt::WindowState::Maximized, rt::WindowState::Normal}) {
    commands_[std::string(state_command(state))] = [this, state](const auto& args) {
      return set_window_state(args, state);
    };
  }
  commands_["activate"] = [this](const auto& args) { return activate(args, false); };
  commands_["window"] = [this](const auto& args) { return activate(args, true); };
  for (const rt::Cycle cycle : {rt::Cycle::Next, rt::Cycle::Previous}) {
    commands_[std::string(cycle_command(cycle))] = [this, cycle](const auto& args) {
      std::string error = expect_count(args, 0, cycle_command(cycle));
      if (error.empty()) app_->window_system().person().user_cycle_children(cycle);
      return error;
    };
  }
  commands_["place"] = [this](const auto& args) { return place(args); };
  commands_["type"] = [this](const auto& args) { return type(args); };
  commands_["edit"] = [this](const auto& args) { return edit(args); };
  commands_["state"] = [this](const auto& args) {
    std::string error = expect_count(args, 0, "state");
    if (error.empty()) print_state(*app_, *out_);
    return error;
  };
  commands_["explain"] = [this](const auto& args) {
    std::string error = expect_count(args, 0, "explain");
    if (!error.empty()) return error;
    for (const std::string& line : explanation(analyse(read_facts(*app_, &watcher_)))) {
      *out_ << line << '\n';
    }
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
  std::vector<std::string_view> words = split_words(without_comment(line));
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

int Session::run(std::istream& in, int lines_before) {
  std::string line;
  int number = lines_before;
  while (!ended_ && std::getline(in, line)) {
    if (!execute(line, ++number)) break;
  }
  return rejected_any() ? kExitRejectedLines : kExitOk;
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
  app_->window_system().person().user_resize_client(static_cast<float>(width),
                                                    static_cast<float>(height));
  return {};
}

std::string Session::click(const std::vector<std::string_view>& args) {
  if (std::string error = expect_count(args, 1, "click NAME"); !error.empty()) return error;
  const std::string_view name = args[0];
  // Only what a person can click: a menu item or a button of a form on screen.
  for (rt::Form* form : app_->loaded_forms()) {
    if (const rt::Menu* menu = form->loaded_menu(name)) {
      app_->window_system().person().user_click(*menu);
      return {};
    }
    const rt::Control* button = form->loaded_control(name);
    if (button != nullptr && button->design().kind == rt::ControlKind::CommandButton) {
      app_->window_system().person().user_click(*button);
      return {};
    }
  }
  return "click: no menu item or button " + printable(name) + " on screen";
}

rt::Form* Session::child_form(std::string_view command, std::string_view name,
                              std::string& error) const {
  for (rt::Form* form : app_->loaded_forms()) {
    if (form->design().mdi_child && form->class_name() == name) return form;
  }
  error = std::string(command) + ": no child form " + printable(name) + " on screen";
  return nullptr;
}

std::string Session::set_window_state(const std::vector<std::string_view>& args,
                                      rt::WindowState state) {
  const std::string command(state_command(state));
  std::string error = expect_count(args, 1, command + " NAME");
  rt::Form* form = error.empty() ? child_form(command, args[0], error) : nullptr;
  if (form == nullptr) return error;
  // Only what its title bar offers.
  const rt::FormDesign& design = form->design();
  const bool framed = design.border_style != rt::BorderStyle::None;
  const std::string name = form->class_name();
  if (state == rt::WindowState::Minimized && !(framed && design.min_button)) {
    return command + ": " + name + " has no minimize button";
  }
  if (state == rt::WindowState::Maximized && !(framed && design.max_button)) {
    return command + ": " + name + " has no maximize button";
  }
  if (!framed) return command + ": " + name + " has no title bar";
  app_->window_system().person().user_set_window_state(*form, state);
  return {};
}

std::string Session::activate(const std::vector<std::string_view>& args, bool from_window_list) {
  const std::string command = from_window_list ? "window" : "activate";
  std::string error = expect_count(args, 1, command + " NAME");
  rt::Form* form = error.empty() ? child_form(command, args[0], error) : nullptr;
  if (form == nullptr) return error;
  rt::WindowSystem& ws = app_->window_system();
  if (from_window_list) {
    ws.person().user_choose_window(*form);
  } else {
    ws.person().user_activate(*form);
  }
  return {};
}

std::string Session::place(const std::vector<std::string_view>& args) {
  std::string error = expect_count(args, 5, "place NAME LEFT TOP WIDTH HEIGHT");
  rt::Form* form = error.empty() ? child_form("place", args[0], error) : nullptr;
  if (form == nullptr) return error;
  static constexpr std::array<std::string_view, 4> kWhat = {"left", "top", "width", "height"};
  std::array<double, 4> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    // A child may be dragged past the client area's left or top edge, not made smaller than
    // nothing.
    const double min = i < 2 ? -kMaxClientTwips : 0;
    error = parse_number(args[i + 1], min, kMaxClientTwips, values[i]);
    if (!error.empty()) return "place: " + std::string(kWhat[i]) + " " + error;
  }
  rt::Peer& peer = *form->peer_if_loaded();
  if (const rt::WindowState state = peer.inspect().window_state; state != rt::WindowState::Normal) {
    return "place: " + form->class_name() + " is " + std::string(rt::window_state_name(state)) +
           "; restore it first";
  }
  app_->window_system().person().user_place(
      *form, rt::Rect{static_cast<float>(values[0]), static_cast<float>(values[1]),
                      static_cast<float>(values[2]), static_cast<float>(values[3])});
  return {};
}

const rt::Control* Session::text_box(std::string_view command, std::string_view name,
                                     std::string& error) const {
  for (rt::Form* form : app_->loaded_forms()) {
    const rt::Control* box = form->loaded_control(name);
    if (box != nullptr && box->design().kind == rt::ControlKind::TextBox) return box;
  }
  error = std::string(command) + ": no text box " + printable(name) + " on screen";
  return nullptr;
}

std::string Session::type(const std::vector<std::string_view>& args) {
  if (std::string error = expect_count(args, 2, "type NAME TEXT"); !error.empty()) return error;
  std::string text;
  if (std::string error = unquote(args[1], text); !error.empty()) return "type: " + error;
  std::string error;
  const rt::Control* box = text_box("type", args[0], error);
  if (box != nullptr) app_->window_system().person().user_type(*box, text);
  return error;
}

std::string Session::edit(const std::vector<std::string_view>& args) {
  std::string error = expect_count(args, 4, "edit NAME POS DELETE TEXT");
  if (!error.empty()) return error;
  rt::TextEdit edit;
  static constexpr std::array<std::string_view, 2> kWhat = {"position", "count to delete"};
  for (std::size_t i = 0; i < kWhat.size(); ++i) {
    const std::string_view word = args[i + 1];
    std::size_t value = 0;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.starts_with('-'))
      return "edit: " + std::string(kWhat[i]) + " " + printable(word) + " is negative";
    if (result.ec != std::errc() || result.ptr != word.data() + word.size()) {
      return "edit: " + std::string(kWhat[i]) + " " + printable(word) + " is not a whole number";
    }
    (i == 0 ? edit.position : edit.removed) = value;
  }
  if (error = unquote(args[3], edit.inserted); !error.empty()) return "edit: " + error;
  const rt::Control* box = text_box("edit", args[0], error);
  if (box == nullptr) return error;
  if (error = rt::edit_error(box->peer().inspect().text, edit); !error.empty()) {
    return "edit: " + error + "; nothing changed";
  }
  app_->window_system().person().user_edit(*box, edit);
  return {};
}

void print_state(const rt::Application& app, std::ostream& out) {
  out << "scrollbars " << bars_name(app.window_system().client_scroll_bars()) << '\n';
  for (const rt::Form* form : app.loaded_forms()) {
    const rt::PeerState state = form->peer_if_loaded()->inspect();
    out << "form " << form->path();
    print_geometry(state.geometry, out);
    out << " scalewidth=" << rt::format_number(state.client.width)
        << " scaleheight=" << rt::format_number(state.client.height);
    if (form->design().mdi_child) {
      out << " window=" << rt::window_state_name(state.window_state) << " z=" << state.z;
    }
    out << '\n';
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

namespace {

// A length as a session reads it back: plain decimals, the fewest digits that give the same
// single again ("500000", where the trace writes 5e+05).
std::string plain(float twips) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, twips, std::chars_format::fixed);
  return std::string(text, result.ptr);
}

}  // namespace

std::string command_for(const rt::UserAction& action) {
  using Kind = rt::UserAction::Kind;
  const std::string name(action.target != nullptr ? target_name(*action.target) : "");
  const rt::Rect& r = action.rect;
  switch (action.kind) {
    case Kind::ResizeClient:
      return "resize " + plain(r.width) + " " + plain(r.height);
    case Kind::Click:
      return "click " + name;
    case Kind::ChooseWindow:
      return "window " + name;
    case Kind::SetWindowState:
      return std::string(state_command(action.state)) + " " + name;
    case Kind::Activate:
      return "activate " + name;
    case Kind::Place:
      return "place " + name + " " + plain(r.left) + " " + plain(r.top) + " " + plain(r.width) +
             " " + plain(r.height);
    case Kind::Type:
      return "type " + name + " " + rt::quote(action.text);
    case Kind::CycleChildren:
      return std::string(cycle_command(action.cycle));
    case Kind::Edit:
      return "edit " + name + " " + std::to_string(action.edit.position) + " " +
             std::to_string(action.edit.removed) + " " + rt::quote(action.edit.inserted);
  }
  return "# an action this version cannot say";
}

void ActionWriter::acted(const rt::UserAction& action) {
  *out_ << command_for(action) << std::endl;  // as it happens: a crash loses nothing before it
}

namespace {

constexpr std::string_view kHeaderStart = "# mdiresize session recorded at ";
constexpr std::string_view kHeaderPixel = " twips per pixel";
// More than any screen's frame or bar, and little enough that no sum of them overflows.
constexpr int kMaxMetricPx = 1000;

// A whole number of pixels from 0 to kMaxMetricPx at the start of `text`, which it leaves
// behind.
std::string read_pixels(std::string_view& text, std::string_view what, int& value) {
  int parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || parsed < 0 || parsed > kMaxMetricPx) {
    return std::string(what) + " " + printable(text.substr(0, text.find_first_of(", "))) +
           " is not a whole number of pixels from 0 to " + std::to_string(kMaxMetricPx);
  }
  text.remove_prefix(static_cast<std::size_t>(result.ptr - text.data()));
  value = parsed;
  return {};
}

}  // namespace

std::string recording_header(const rt::Metrics& metrics) {
  // Plain decimals, as the header is read: the fewest digits that give the same double again.
  char tpp[64];
  const auto written =
      std::to_chars(tpp, tpp + sizeof tpp, metrics.twips_per_pixel, std::chars_format::fixed);
  return std::string(kHeaderStart) + std::string(tpp, written.ptr) + std::string(kHeaderPixel) +
         ", scroll bars " + std::to_string(metrics.scroll_bar_px) + ", frame border " +
         std::to_string(metrics.border_px) + ", caption " + std::to_string(metrics.caption_px) +
         " pixels";
}

std::string read_recording_header(std::string_view line, rt::Metrics& metrics) {
  if (!line.starts_with(kHeaderStart)) return {};
  line.remove_prefix(kHeaderStart.size());
  if (line.ends_with('\r')) line.remove_suffix(1);  // written on Windows, read elsewhere
  const std::size_t pixel = line.find(kHeaderPixel);
  if (pixel == std::string_view::npos) {
    return "the recording's header says no " + std::string(kHeaderPixel.substr(1));
  }
  rt::Metrics read = metrics;
  if (std::string error = parse_number(line.substr(0, pixel), kMinTwipsPerPixel, kMaxTwipsPerPixel,
                                       read.twips_per_pixel);
      !error.empty()) {
    return "the recording's header: twips per pixel " + error;
  }
  line.remove_prefix(pixel + kHeaderPixel.size());
  if (!line.empty()) {  // the older header ends here
    const std::pair<std::string_view, int*> parts[] = {{", scroll bars ", &read.scroll_bar_px},
                                                       {", frame border ", &read.border_px},
                                                       {", caption ", &read.caption_px}};
    for (const auto& [label, value] : parts) {
      const std::string_view what = label.substr(2, label.size() - 3);
      if (!line.starts_with(label)) {
        return "the recording's header: " + (line.empty() ? "its end" : printable(line)) +
               " where \"" + std::string(what) + " N\" should be";
      }
      line.remove_prefix(label.size());
      if (std::string error = read_pixels(line, what, *value); !error.empty()) {
        return "the recording's header: " + error;
      }
    }
    if (line != " pixels") {
      return "the recording's header ends in " + printable(line) + ", not in \" pixels\"";
    }
  }
  metrics = read;
  return {};
}

std::string RecordingFile::start(const std::string& path, rt::WindowSystem& ws) {
  file_.open(path);
  if (!file_) return "cannot write the recording " + path;
  file_ << recording_header(ws.metrics()) << '\n' << std::flush;
  if (!file_) return "cannot write the recording " + path;
  ws.person().listen(&writer_);
  return {};
}

}  // namespace app
