#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/geometry.h"

namespace rt {

class Object;

// Which way a person goes through the children from the keyboard (Ctrl+F6 or Ctrl+Tab): to the
// next one in the window list's order, or, with Shift, to the one before it.
enum class Cycle { Next, Previous };

// Where a cycle goes among `count` listed children from the one at `at`: after the last, the
// first. With none active (`at` past the end), the first one or the last.
constexpr std::size_t cycled(std::size_t at, std::size_t count, Cycle cycle) {
  if (at >= count) return cycle == Cycle::Next ? 0 : count - 1;
  return (at + (cycle == Cycle::Next ? 1 : count - 1)) % count;
}

// An edit of a text box's text in one place: at byte `position` of the text as the window
// system holds it (UTF-8, a line break CR LF), `removed` bytes taken away and `inserted` put in
// their place. Positions count as a text's length does: a line break is two, a character of
// UTF-8 its bytes; neither end of what is removed may fall inside one.
struct TextEdit {
  std::size_t position = 0;
  std::size_t removed = 0;
  std::string inserted;
  friend bool operator==(const TextEdit&, const TextEdit&) = default;
};

// What a person did to the windows, as it happens: what a recording is made of.
struct UserAction {
  enum class Kind {
    ResizeClient,
    Click,
    ChooseWindow,
    SetWindowState,
    Activate,
    Place,
    Type,
    CycleChildren,
    Edit
  };
  Kind kind = Kind::Click;
  const Object* target = nullptr;  // the form, control or menu item acted on; none for a resize
  Rect rect;                       // ResizeClient: the client area's size; Place: the new place
  WindowState state = WindowState::Normal;  // SetWindowState
  std::string text;                         // Type: what was typed, as typed_text() takes it
  Cycle cycle = Cycle::Next;                // CycleChildren
  TextEdit edit;                            // Edit: what changed where

  static UserAction resize_client(const Size& client) {
    return {Kind::ResizeClient, nullptr, Rect{0, 0, client.width, client.height}, {}, {}, {}, {}};
  }
  static UserAction on(Kind kind, const Object& target) {
    return {kind, &target, {}, {}, {}, {}, {}};
  }
  static UserAction place(const Object& target, const Rect& rect) {
    return {Kind::Place, &target, rect, {}, {}, {}, {}};
  }
  static UserAction set_window_state(const Object& target, WindowState state) {
    return {Kind::SetWindowState, &target, {}, state, {}, {}, {}};
  }
  static UserAction type(const Object& target, std::string_view text) {
    return {Kind::Type, &target, {}, {}, std::string(text), {}, {}};
  }
  static UserAction cycle_children(Cycle cycle) {
    return {Kind::CycleChildren, nullptr, {}, {}, {}, cycle, {}};
  }
  static UserAction edited(const Object& target, TextEdit edit) {
    return {Kind::Edit, &target, {}, {}, {}, {}, std::move(edit)};
  }
};

class UserActionListener {
 public:
  virtual ~UserActionListener() = default;
  virtual void acted(const UserAction& action) = 0;
};

// The person at a window system's windows: all they can do, each one event of the message
// loop. Sessions, tests and recordings act through here. What is acted on is named by the
// runtime object it stands for (a form, a control, a menu item); the window system hands the
// action to that object's native one, which does what its kind can. An action on an object
// without a window, or one that its kind does not offer (typing into a list, a click on a
// form), does nothing.
class Person {
 public:
  // What a native object lets a person do; each kind does what it offers.
  class Target {
   public:
    // The main window: its client area becomes `client`, before any scroll bars take their
    // part.
    virtual void user_resize_client(const Size& client);
    // The main window: Ctrl+F6 or Ctrl+Tab, with Shift the other way. The child after the active
    // one in the window list's order (the children's creation order; after the last, the
    // first) becomes the active one, in front, in the state it is in.
    virtual void user_cycle_children(Cycle cycle);
    // A menu item or a button.
    virtual void user_click();
    // A child form moved or sized by hand, to `rect` within the client area. Only a normal
    // child can be: the frame of an icon or of a maximised child stays where it is.
    virtual void user_place(const Rect& rect);
    // A text box: text typed at the end of its text, as typed_text() says.
    virtual void user_type(std::string_view text);
    // A text box: its text edited in one place, as edited_text() says; an edit that
    // edit_error() refuses does nothing.
    virtual void user_edit(const TextEdit& edit);
    // A child form minimised, maximised or restored with its title bar's buttons; a change of
    // state makes it the active child, in front.
    virtual void user_set_window_state(WindowState state);
    // A click on a child form: it becomes the active one and comes to the front.
    virtual void user_activate();
    // The child's entry chosen in the window list: restored if minimised, and activated.
    virtual void user_choose_window();

   protected:
    ~Target() = default;
  };

  Person() = default;
  Person(const Person&) = delete;
  Person& operator=(const Person&) = delete;

  void user_resize_client(float width, float height) {
    if (main_ != nullptr) main_->user_resize_client(Size{width, height});
  }
  void user_cycle_children(Cycle cycle) {
    if (main_ != nullptr) main_->user_cycle_children(cycle);
  }
  void user_click(const Object& target) { act(target, &Target::user_click); }
  void user_place(const Object& form, const Rect& rect) { act(form, &Target::user_place, rect); }
  void user_type(const Object& text_box, std::string_view text) {
    act(text_box, &Target::user_type, text);
  }
  void user_edit(const Object& text_box, const TextEdit& edit) {
    act(text_box, &Target::user_edit, edit);
  }
  void user_set_window_state(const Object& form, WindowState state) {
    act(form, &Target::user_set_window_state, state);
  }
  void user_activate(const Object& form) { act(form, &Target::user_activate); }
  void user_choose_window(const Object& form) { act(form, &Target::user_choose_window); }

  // Who hears of every action of the person, a session's own included; none by default.
  void listen(UserActionListener* listener) { listener_ = listener; }

  // The window system's side: its native objects come and go, one of them the main window,
  // and it tells what the person did.
  void add(const Object& owner, Target& target) { targets_.emplace_back(&owner, &target); }
  void remove(const Object& owner);
  void set_main_window(Target* main) { main_ = main; }
  void tell(const UserAction& action) const {
    if (listener_ != nullptr) listener_->acted(action);
  }

 private:
  template <class... Parameters, class... Arguments>
  void act(const Object& owner, void (Target::*action)(Parameters...), Arguments&&... arguments) {
    if (Target* target = find(owner)) (target->*action)(std::forward<Arguments>(arguments)...);
  }
  Target* find(const Object& owner) const;

  std::vector<std::pair<const Object*, Target*>> targets_;
  Target* main_ = nullptr;
  UserActionListener* listener_ = nullptr;
};

// Text typed at the end of `before`: each backspace (\b) takes away the last character (a
// line break, CR LF, as one), a line break however typed (CR LF, CR or LF) becomes CR LF,
// and any other byte is appended.
std::string typed_text(std::string before, std::string_view typed);
// What a person typed at the end of `before` to make `after` of it: backspaces, then the new
// end; typed_text(before, typing_between(before, after)) is `after`.
std::string typing_between(std::string_view before, std::string_view after);

// Why `edit` cannot be made to `text`: its position past the end, more removed than there is,
// or an end inside a line break or a character. Empty when it can.
std::string edit_error(std::string_view text, const TextEdit& edit);
// `text` edited: what is removed taken away, and `inserted` put there with its line breaks
// made CR LF as typing makes them. The edit must be one edit_error() accepts.
std::string edited_text(std::string_view text, const TextEdit& edit);
// Line breaks however given (CR LF, CR or LF) as CR LF, as an edit inserts them.
std::string with_line_breaks(std::string_view text);
// The least edit in one place that makes `after` of `before`, its ends on whole characters and
// line breaks.
TextEdit edit_between(std::string_view before, std::string_view after);
// What the person did to a text box whose text went from `before` to `after`, in proportion to
// the change: typing at the end (backspaces and the new end) when the change reaches the end,
// an edit in one place otherwise; either replays to `after`.
UserAction text_changed(const Object& text_box, std::string_view before, std::string_view after);

}  // namespace rt
