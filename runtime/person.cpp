#include "runtime/person.h"

#include <algorithm>

namespace rt {

void Person::Target::user_resize_client(const Size&) {}
void Person::Target::user_cycle_children(Cycle) {}
void Person::Target::user_click() {}
void Person::Target::user_place(const Rect&) {}
void Person::Target::user_type(std::string_view) {}
void Person::Target::user_set_window_state(WindowState) {}
void Person::Target::user_activate() {}
void Person::Target::user_choose_window() {}

void Person::remove(const Object& owner) {
  const auto found = std::find_if(targets_.begin(), targets_.end(),
                                  [&](const auto& entry) { return entry.first == &owner; });
  if (found == targets_.end()) return;
  if (found->second == main_) main_ = nullptr;
  targets_.erase(found);
}

Person::Target* Person::find(const Object& owner) const {
  for (const auto& [object, target] : targets_) {
    if (object == &owner) return target;
  }
  return nullptr;
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

}  // namespace rt
