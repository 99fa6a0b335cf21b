#pragma once

// The native objects of the in-memory window system, a class for each kind, each set up once
// from its design. Lengths are twips as the window system holds them: on the pixel grid unless
// the grid is exact.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/object.h"

namespace rt::headless {

// What every native object has: the runtime object it stands for, its text, whether it shows.
// A person's actions on it come to it by its runtime object.
class HeadlessPeer : public Peer, public Person::Target {
 public:
  HeadlessPeer(HeadlessWindowSystem& ws, Object& owner, std::string text)
      : ws_(&ws), owner_(&owner), text_(std::move(text)) {
    ws.person().add(owner, *this);
  }
  ~HeadlessPeer() override { ws_->person().remove(*owner_); }
  HeadlessPeer(const HeadlessPeer&) = delete;
  HeadlessPeer& operator=(const HeadlessPeer&) = delete;

  Object& owner() const { return *owner_; }
  bool visible() const { return visible_; }

  void show() override { visible_ = true; }
  void set_text(std::string_view text) override { text_ = text; }
  std::string text() override { return text_; }
  PeerState inspect() const override {
    PeerState state;
    state.text = text_;
    state.visible = visible_;
    return state;
  }

 protected:
  HeadlessWindowSystem& ws() const { return *ws_; }
  // A click on a menu item or a control reaches the program as its Click.
  void clicked();

 private:
  HeadlessWindowSystem* ws_;
  Object* owner_;
  std::string text_;
  bool visible_ = false;
};

// A menu item: a caption and a check mark, without a window of its own.
class MenuPeer final : public HeadlessPeer {
 public:
  MenuPeer(HeadlessWindowSystem& ws, Object& owner, const MenuDesign& design)
      : HeadlessPeer(ws, owner, design.caption), checked_(design.checked) {}

  Rect geometry() override { return {}; }
  bool place(const Placement&) override { return false; }
  Size client_size() override { return {}; }
  WindowHandle handle() override { raise(ErrorCode::UnsupportedMember, owner().path() + ".hWnd"); }
  bool checked() override { return checked_; }
  void set_checked(bool checked) override { checked_ = checked; }
  void user_click() override { clicked(); }
  PeerState inspect() const override {
    PeerState state = HeadlessPeer::inspect();
    state.checked = checked_;
    return state;
  }

 private:
  bool checked_;
};

// A window: it has a handle for as long as it lives, and a place in its parent.
class WindowPeer : public HeadlessPeer {
 public:
  WindowPeer(HeadlessWindowSystem& ws, Object& owner, std::string text)
      : HeadlessPeer(ws, owner, std::move(text)), handle_(ws.handles_.add(*this)) {}
  ~WindowPeer() override { ws().handles_.remove(handle_); }

  // The width, in pixels, across which a list box scrolls sideways; other windows ignore it.
  virtual void set_horizontal_extent(int) {}
  const Rect& rect() const { return rect_; }
  void set_rect(const Rect& rect) { rect_ = fit(rect); }

  Rect geometry() override { return outer(); }
  bool place(const Placement& placement) override {
    Rect next = rect_;
    if (placement.left) next.left = *placement.left;
    if (placement.top) next.top = *placement.top;
    if (placement.width) next.width = *placement.width;
    if (placement.height) next.height = *placement.height;
    next = fit(next);
    const bool resized = next.width != rect_.width || next.height != rect_.height;
    rect_ = next;
    return resized;
  }
  Size client_size() override { return client(); }
  WindowHandle handle() override { return handle_; }
  PeerState inspect() const override {
    PeerState state = HeadlessPeer::inspect();
    state.geometry = outer();
    state.client = client();
    return state;
  }

 protected:
  virtual Rect outer() const { return rect_; }
  virtual Size client() const { return Size{rect_.width, rect_.height}; }
  // The rectangle as this window can have it.
  virtual Rect fit(const Rect& rect) const { return ws().snap(rect); }

 private:
  WindowHandle handle_;
  Rect rect_;
};

// The main window. Its rectangle is the client area, which the window system holds: what the
// children are laid out in, and what its scroll bars take from.
class MainPeer final : public WindowPeer {
 public:
  MainPeer(HeadlessWindowSystem& ws, Object& owner, const FormDesign& design)
      : WindowPeer(ws, owner, design.caption) {
    ws.person().set_main_window(this);
  }

  bool place(const Placement& placement) override {
    Size& client = ws().client_;
    const Size before = client;
    if (placement.width) client.width = std::max(0.0f, ws().grid().snap(*placement.width));
    if (placement.height) client.height = std::max(0.0f, ws().grid().snap(*placement.height));
    return before != client;
  }
  void user_resize_client(const Size& client) override;
  void user_cycle_children(Cycle cycle) override { ws().cycle_children(cycle); }

 protected:
  Rect outer() const override { return Rect{0, 0, ws().client_.width, ws().client_.height}; }
  Size client() const override { return ws().visible_client(); }
};

// A child form: inside the main window's client area, with a frame unless it has no border, and
// a window state of its own.
class ChildPeer final : public WindowPeer {
 public:
  // `offset`: where it starts, down and right from the client area's top-left corner.
  ChildPeer(HeadlessWindowSystem& ws, Object& owner, const FormDesign& design, float offset)
      : WindowPeer(ws, owner, design.caption) {
    if (design.border_style != BorderStyle::None) {
      const Config& config = ws.config();
      const auto px = [&](int pixels) { return static_cast<float>(ws.grid().to_twips(pixels)); };
      frame_ = Size{px(2 * config.border_px), px(2 * config.border_px + config.caption_px)};
      min_width_ = px(config.min_child_width_px);
    }
    set_rect(Rect{offset, offset, design.client_width + frame_.width,
                  design.client_height + frame_.height});
  }
  ~ChildPeer() override { ws().forget(*this); }

  WindowState state() const { return state_; }
  void set_state(WindowState state) { state_ = state; }
  bool framed() const { return frame_.height > 0; }

  // A child shown is the active one, as a new window on the desktop is.
  void show() override {
    WindowPeer::show();
    ws().activate(*this);
  }
  PeerState inspect() const override {
    PeerState state = WindowPeer::inspect();
    state.window_state = state_;
    state.shown = ws().shown(*this, ws().visible_client());
    state.z = ws().z_of(*this);
    return state;
  }
  void user_place(const Rect& rect) override;
  void user_set_window_state(WindowState state) override;
  void user_activate() override;
  void user_choose_window() override;

 protected:
  Size client() const override {
    return Size{std::max(0.0f, rect().width - frame_.width),
                std::max(0.0f, rect().height - frame_.height)};
  }
  Rect fit(const Rect& rect) const override {
    Rect fitted = WindowPeer::fit(rect);
    fitted.width = std::max(fitted.width, min_width_);
    return fitted;
  }

 private:
  Size frame_;  // what the frame takes of the outer size, caption included
  float min_width_ = 0;
  WindowState state_ = WindowState::Normal;
};

// A control on a child form.
class ControlPeer : public WindowPeer {
 public:
  ControlPeer(HeadlessWindowSystem& ws, Object& owner, const ControlDesign& design)
      : WindowPeer(ws, owner, design.kind == ControlKind::TextBox ? design.text : design.caption),
        kind_(design.kind) {
    set_rect(Rect{design.left, design.top, design.width, design.height});
  }

  void user_click() override { clicked(); }
  void user_type(std::string_view text) override;
  void user_edit(const TextEdit& edit) override;

 private:
  ControlKind kind_;
};

// A list box: it has items, and a width across which it scrolls sideways.
class ListPeer final : public ControlPeer {
 public:
  ListPeer(HeadlessWindowSystem& ws, Object& owner, const ControlDesign& design)
      : ControlPeer(ws, owner, design), items_(design.items) {}

  void set_horizontal_extent(int pixels) override { extent_ = std::max(0, pixels); }
  void add_item(std::string_view item) override { items_.emplace_back(item); }
  PeerState inspect() const override {
    PeerState state = ControlPeer::inspect();
    state.item_count = static_cast<int>(items_.size());
    state.items = items_;
    state.horizontal_extent = extent_;
    return state;
  }

 private:
  std::vector<std::string> items_;
  int extent_ = 0;
};

}  // namespace rt::headless
