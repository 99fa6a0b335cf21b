#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/design.h"

namespace rt {

class Object;

// Lengths at this interface are twips; each window system turns them into its own units.
struct Rect {
  float left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  float width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A change of position and size; what is not given stays as it is.
struct Placement {
  std::optional<float> left, top, width, height;
};

using WindowHandle = std::int32_t;

struct ScrollBars {
  bool horizontal = false;
  bool vertical = false;
  friend bool operator==(const ScrollBars&, const ScrollBars&) = default;
};

// The list-box message that sets the width, in pixels, across which the list scrolls sideways.
inline constexpr std::uint32_t LB_SETHORIZONTALEXTENT = 0x0194;

// A child form as the person leaves it with the buttons of its title bar.
enum class WindowState { Normal, Minimized, Maximized };

// "normal", "minimized", "maximized".
std::string_view window_state_name(WindowState state);

// What a native object holds, read without side effects, for tools and tests.
struct PeerState {
  Rect geometry;
  Size client;
  std::string text;
  int item_count = 0;
  std::vector<std::string> items;  // list boxes: the items, in order
  int horizontal_extent = 0;
  bool checked = false;
  bool visible = false;
  // Child forms. `geometry` is the placement the form has when normal, which the program's
  // Move and Width change in every state; `shown` is where it is on the screen: the whole
  // client area when maximised, an icon when minimised.
  WindowState window_state = WindowState::Normal;
  Rect shown;
  int z = -1;  // place in the stacking order, 0 the front
};

// One native object: the main window, a child form, a control or a menu item. Every call
// may fail; a failure is a thrown rt::Error.
class Peer {
 public:
  virtual ~Peer() = default;

  virtual void show() = 0;
  virtual Rect geometry() = 0;
  // Returns whether the size, as the window system holds it, changed.
  virtual bool place(const Placement& placement) = 0;
  virtual Size client_size() = 0;
  virtual void set_text(std::string_view text) = 0;
  virtual std::string text() = 0;
  virtual WindowHandle handle() = 0;
  // List boxes only.
  virtual void add_item(std::string_view item);
  // Menu items only.
  virtual bool checked();
  virtual void set_checked(bool checked);

  virtual PeerState inspect() const = 0;
};

// What the window system reports of what the user did. The runtime delivers the events.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void main_window_resized() = 0;
  virtual void clicked(Object& source) = 0;
  virtual void form_resized_by_user(Object& form) = 0;
  virtual void main_window_closed() = 0;
};

// What a person did to the windows, as it happens: what a recording is made of.
struct UserAction {
  enum class Kind { ResizeClient, Click, ChooseWindow, SetWindowState, Activate, Place, Type };
  Kind kind = Kind::Click;
  const Object* target = nullptr;  // the form, control or menu item acted on; none for a resize
  Rect rect;                       // ResizeClient: the client area's size; Place: the new place
  WindowState state = WindowState::Normal;  // SetWindowState
  std::string text;                         // Type: what was typed, as typed_text() takes it

  static UserAction resize_client(const Size& client) {
    return {Kind::ResizeClient, nullptr, Rect{0, 0, client.width, client.height}, {}, {}};
  }
  static UserAction on(Kind kind, const Object& target) { return {kind, &target, {}, {}, {}}; }
  static UserAction place(const Object& target, const Rect& rect) {
    return {Kind::Place, &target, rect, {}, {}};
  }
  static UserAction set_window_state(const Object& target, WindowState state) {
    return {Kind::SetWindowState, &target, {}, state, {}};
  }
  static UserAction type(const Object& target, std::string_view text) {
    return {Kind::Type, &target, {}, {}, std::string(text)};
  }
};

class UserActionListener {
 public:
  virtual ~UserActionListener() = default;
  virtual void acted(const UserAction& action) = 0;
};

// Text typed at the end of `before`: each backspace (\b) takes away the last character (a
// line break, CR LF, as one), a line break however typed (CR LF, CR or LF) becomes CR LF,
// and any other byte is appended.
std::string typed_text(std::string before, std::string_view typed);
// What a person typed at the end of `before` to make `after` of it: backspaces, then the new
// end; typed_text(before, typing_between(before, after)) is `after`.
std::string typing_between(std::string_view before, std::string_view after);

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Who hears of what the person does; none at first.
  virtual void attach(EventSink* sink) { sink_ = sink; }

  // `owner` is the runtime object the native one stands for; events name it.
  virtual std::unique_ptr<Peer> create_main_window(const FormDesign& design, Object& owner) = 0;
  virtual std::unique_ptr<Peer> create_child_form(Peer& main, const FormDesign& design,
                                                  Object& owner) = 0;
  virtual std::unique_ptr<Peer> create_control(Peer& form, const ControlDesign& design,
                                               Object& owner) = 0;
  virtual std::unique_ptr<Peer> create_menu_item(Peer& main, const MenuDesign& design,
                                                 Object& owner) = 0;

  // The send-message call: an unknown window handle is ignored and gives 0.
  virtual std::int32_t send_message(WindowHandle window, std::uint32_t message, std::int32_t wparam,
                                    std::int32_t lparam) = 0;

  // Control has returned to the message loop: the moment native windows catch up with what
  // the handlers did (the MDI client's scroll bars, above all).
  virtual void idle() = 0;
  // Runs until the main window is closed or quit() is called; returns the exit status.
  virtual int run_message_loop() = 0;
  virtual void quit() = 0;

  // Inspection, without side effects.
  virtual ScrollBars client_scroll_bars() const = 0;
  virtual double twips_per_pixel() const = 0;

  // Acting as a person would; each is one event of the message loop. The client area of
  // the main window becomes width x height twips (before any scroll bars take their part).
  virtual void user_resize_client(float width, float height) = 0;
  virtual void user_click(Peer& target) = 0;
  // A child form moved or sized by hand, to `rect` within the client area. Only a normal child
  // can be: the frame of an icon or of a maximised child stays where the window system has it.
  virtual void user_place(Peer& form, const Rect& rect) = 0;
  // Text typed at the end of a text box's text, as typed_text() says.
  virtual void user_type(Peer& text_box, std::string_view text) = 0;
  // A child form minimised, maximised or restored with its title bar's buttons; a change of
  // state makes it the active child, in front.
  virtual void user_set_window_state(Peer& form, WindowState state) = 0;
  // A click on a child form: it becomes the active one and comes to the front.
  virtual void user_activate(Peer& form) = 0;
  // The child's entry chosen in the window list: restored if minimised, and activated.
  virtual void user_choose_window(Peer& form) = 0;

  // Who hears of every action of a person, the session's own included; none by default.
  virtual void listen(UserActionListener* listener) { listener_ = listener; }

 protected:
  void tell(const UserAction& action) const {
    if (listener_ != nullptr) listener_->acted(action);
  }
  EventSink* sink() const { return sink_; }
  // An event of the message loop reaches the program, `deliver(sink)`; with no program to hear
  // of it, the windows catch up all the same.
  template <class Deliver>
  void tell_program(Deliver&& deliver) {
    if (sink_ != nullptr) {
      deliver(*sink_);
    } else {
      idle();
    }
  }

 private:
  EventSink* sink_ = nullptr;
  UserActionListener* listener_ = nullptr;
};

}  // namespace rt
