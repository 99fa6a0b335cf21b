#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/design.h"
#include "runtime/geometry.h"
#include "runtime/person.h"
#include "runtime/pixel_grid.h"

namespace rt {

class Object;

// The list-box message that sets the width, in pixels, across which the list scrolls sideways.
inline constexpr std::uint32_t LB_SETHORIZONTALEXTENT = 0x0194;

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

// A native object, owned by the runtime object it stands for.
using PeerPtr = std::unique_ptr<Peer>;

// What the window system reports of what the user did. The runtime delivers the events.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void main_window_resized() = 0;
  virtual void clicked(Object& source) = 0;
  virtual void form_resized_by_user(Object& form) = 0;
  virtual void main_window_closed() = 0;
};

// Stands between a window system and the runtime where each native object is made: fault
// injection does, for one.
class PeerWrapper {
 public:
  // `owner`'s native object is about to be made: this may raise the error of a failing call.
  virtual void creating(const Object& owner) = 0;
  virtual PeerPtr wrap(PeerPtr peer, const Object& owner) = 0;

 protected:
  ~PeerWrapper() = default;
};

// What a window system's frames and bars measure, in its pixels: what an in-memory window system
// needs to lay the children out and bring the bars as this one does.
struct Metrics {
  double twips_per_pixel = PixelGrid::kDefaultTwipsPerPixel;
  int scroll_bar_px = 0;  // the MDI client's scroll bars, across
  int border_px = 0;      // a sizable child frame's border, each side
  int caption_px = 0;     // its caption, between the top border and the client area
  friend bool operator==(const Metrics&, const Metrics&) = default;
};

// What the program says of itself in its About box.
struct About {
  std::string name;     // "mdiresize"
  std::string summary;  // one sentence on what it shows
  std::string version;
  std::string licence;
  std::string manual;  // where its manual page is
};
// The About box's text: the name and version, the summary, the licence and the manual, a
// paragraph each.
std::string about_text(const About& about);

// The platform: what the runtime needs of a window system. A person's actions on its windows
// are the other half, person().
class WindowSystem {
 public:
  // Lengths in twips become `grid`'s pixels.
  explicit WindowSystem(PixelGrid grid) : grid_(grid) {}
  virtual ~WindowSystem() = default;
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  const PixelGrid& grid() const { return grid_; }
  double twips_per_pixel() const { return grid_.twips_per_pixel(); }

  // Who hears of what the person does; none at first.
  void attach(EventSink* sink) { sink_ = sink; }
  // The person at these windows.
  Person& person() { return person_; }

  // The native objects, each made for `owner`, the runtime object it stands for: events and a
  // person's actions name it. A child form goes into the main window's client area and a menu
  // item onto its menu bar, so the main window comes first; a control goes onto the child form
  // `form`.
  PeerPtr create_main_window(const FormDesign& design, Object& owner) {
    return create(owner, [&] { return make_main_window(design, owner); });
  }
  PeerPtr create_child_form(const FormDesign& design, Object& owner) {
    return create(owner, [&] { return make_child_form(design, owner); });
  }
  PeerPtr create_control(const Object& form, const ControlDesign& design, Object& owner) {
    return create(owner, [&] { return make_control(form, design, owner); });
  }
  PeerPtr create_menu_item(const MenuDesign& design, Object& owner) {
    return create(owner, [&] { return make_menu_item(design, owner); });
  }
  // What the program says of itself: a window system with a menu bar offers an About box after
  // the window list, made with the main window; none by default, and then no entry.
  void set_about(About about) { about_ = std::move(about); }
  const std::optional<About>& about() const { return about_; }

  // What every native object made from now on is wrapped in; none by default.
  void wrap_peers(PeerWrapper* wrapper) { wrapper_ = wrapper; }

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
  // What its frames and bars measure, with or without windows yet.
  virtual Metrics metrics() const = 0;

 protected:
  // The window system's own native objects, as the create_ functions above describe them.
  virtual PeerPtr make_main_window(const FormDesign& design, Object& owner) = 0;
  virtual PeerPtr make_child_form(const FormDesign& design, Object& owner) = 0;
  virtual PeerPtr make_control(const Object& form, const ControlDesign& design, Object& owner) = 0;
  virtual PeerPtr make_menu_item(const MenuDesign& design, Object& owner) = 0;

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
  template <class Make>
  PeerPtr create(const Object& owner, Make&& make) {
    if (wrapper_ == nullptr) return make();
    wrapper_->creating(owner);
    return wrapper_->wrap(make(), owner);
  }

  PixelGrid grid_;
  std::optional<About> about_;
  EventSink* sink_ = nullptr;
  PeerWrapper* wrapper_ = nullptr;
  Person person_;
};

}  // namespace rt
