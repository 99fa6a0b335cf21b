#include "runtime/window_system.h"

#include "runtime/error.h"

namespace rt {

void Peer::add_item(std::string_view) {
  raise(ErrorCode::UnsupportedMember, "AddItem");
}
bool Peer::checked() {
  raise(ErrorCode::UnsupportedMember, "Checked");
}
void Peer::set_checked(bool) {
  raise(ErrorCode::UnsupportedMember, "Checked");
}

std::string_view window_state_name(WindowState state) {
  switch (state) {
    case WindowState::Minimized:
      return "minimized";
    case WindowState::Maximized:
      return "maximized";
    case WindowState::Normal:
      break;
  }
  return "normal";
}

namespace {

// Takes the last character away: a line break as a whole, a UTF-8 sequence as a whole.
void backspace(std::string& text) {
  if (text.ends_with("\r\n")) {
    text.resize(text.size() - 2);
    return;
  }
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text.back());
    text.pop_back();
    if ((byte & 0xC0) != 0x80) return;  // not a continuation byte: the character began here
  }
}

}  // namespace

std::string typed_text(std::string before, std::string_view typed) {
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const char c = typed[i];
    if (c == '\b') {
      backspace(before);
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') ++i;
      before += "\r\n";
    } else {
      before += c;
    }
  }
  return before;
}

std::string typing_between(std::string_view before, std::string_view after) {
  std::string kept(before);
  std::string typing;
  while (!after.starts_with(kept)) {
    backspace(kept);
    typing += '\b';
  }
  typing += after.substr(kept.size());
  // An end that typing cannot make as it stands (a lone CR or LF): all of it typed anew.
  if (typed_text(std::string(before), typing) != after) {
    kept = before;
    typing.clear();
    while (!kept.empty()) {
      backspace(kept);
      typing += '\b';
    }
    typing += after;
  }
  return typing;
}

std::string element_name(const ControlDesign& design) {
  if (design.index < 0) return design.name;
  return design.name + "(" + std::to_string(design.index) + ")";
}

}  // namespace rt
