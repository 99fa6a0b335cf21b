#include "runtime/person.h"

#include <algorithm>
#include <string>

namespace rt {

void Person::Target::user_resize_client(const Size&) {}
void Person::Target::user_cycle_children(Cycle) {}
void Person::Target::user_click() {}
void Person::Target::user_place(const Rect&) {}
void Person::Target::user_type(std::string_view) {}
void Person::Target::user_edit(const TextEdit&) {}
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

namespace {

// Whether `at` is between two characters of `text`: not inside a line break (CR LF) nor inside
// the bytes of one UTF-8 character.
bool on_boundary(std::string_view text, std::size_t at) {
  if (at == 0 || at >= text.size()) return at <= text.size();
  const auto byte = static_cast<unsigned char>(text[at]);
  return (byte & 0xC0) != 0x80 && !(text[at - 1] == '\r' && text[at] == '\n');
}

}  // namespace

std::string with_line_breaks(std::string_view text) {
  std::string made;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      made += "\r\n";
    } else {
      made += text[i];
    }
  }
  return made;
}

std::string edit_error(std::string_view text, const TextEdit& edit) {
  const std::string length = " (the length is " + std::to_string(text.size()) + ")";
  if (edit.position > text.size()) {
    return "position " + std::to_string(edit.position) + " is past the end" + length;
  }
  if (edit.removed > text.size() - edit.position) {
    return "cannot delete " + std::to_string(edit.removed) + " from position " +
           std::to_string(edit.position) + length;
  }
  if (!on_boundary(text, edit.position)) {
    return "position " + std::to_string(edit.position) + " is inside a line break or a character";
  }
  if (!on_boundary(text, edit.position + edit.removed)) {
    return "deleting " + std::to_string(edit.removed) + " from position " +
           std::to_string(edit.position) + " ends inside a line break or a character";
  }
  return {};
}

std::string edited_text(std::string_view text, const TextEdit& edit) {
  std::string made(text.substr(0, edit.position));
  made += with_line_breaks(edit.inserted);
  made += text.substr(edit.position + edit.removed);
  return made;
}

TextEdit edit_between(std::string_view before, std::string_view after) {
  std::size_t same = 0;
  while (same < before.size() && same < after.size() && before[same] == after[same]) ++same;
  std::size_t same_end = 0;
  while (same_end < before.size() - same && same_end < after.size() - same &&
         before[before.size() - 1 - same_end] == after[after.size() - 1 - same_end]) {
    ++same_end;
  }
  // Whole characters and line breaks, in both texts.
  while (same > 0 && !(on_boundary(before, same) && on_boundary(after, same))) --same;
  while (same_end > 0 && !(on_boundary(before, before.size() - same_end) &&
                           on_boundary(after, after.size() - same_end))) {
    --same_end;
  }
  return TextEdit{same, before.size() - same - same_end,
                  std::string(after.substr(same, after.size() - same - same_end))};
}

UserAction text_changed(const Object& text_box, std::string_view before, std::string_view after) {
  const TextEdit edit = edit_between(before, after);
  const bool to_the_end = edit.position + edit.removed == before.size();
  if (!to_the_end && edited_text(before, edit) == after) {
    return UserAction::edited(text_box, edit);
  }
  return UserAction::type(text_box, typing_between(before, after));
}

}  // namespace rt
