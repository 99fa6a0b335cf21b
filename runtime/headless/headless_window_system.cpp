#include "runtime/headless/headless_window_system.h"

#include <algorithm>
#include <array>

#include "runtime/error.h"
#include "runtime/object.h"

namespace rt::headless {
// One native object held in memory. Lengths are twips as the window system holds them:
// on the pixel grid unless the grid is exact.
class HeadlessPeer final : public Peer {
 public:
  enum class Kind { Main, Child, Control, Menu };

  HeadlessPeer(HeadlessWindowSystem& ws, Kind kind, Object& owner)
      : ws_(&ws), kind_(kind), owner_(&owner) {
    if (kind != Kind::Menu) handle_ = ws.handles_.add(*this);
  }
  ~HeadlessPeer() override { ws_->unregister(*this); }

  Kind kind() const { return kind_; }
  Object& owner() const { return *owner_; }
  const std::string& path() const { return owner_->path(); }
  bool visible() const { return visible_; }
  const Rect& rect() const { return rect_; }
  WindowHandle window_handle() const { return handle_; }

  void set_rect(const Rect& rect) { rect_ = fit(rect); }
  void set_frame(float horizontal, float vertical, float min_width) {
    frame_width_ = horizontal;
    frame_height_ = vertical;
    min_width_ = min_width;
  }
  // The rectangle as this window can have it.
  Rect fit(const Rect& rect) const {
    Rect fitted = ws_->snap(rect);
    fitted.width = std::max(fitted.width, min_width_);
    return fitted;
  }
  void set_design(std::string text, std::vector<std::string> items, bool is_list, bool checked) {
    text_ = std::move(text);
    items_ = std::move(items);
    is_list_ = is_list;
    checked_ = checked;
  }
  void set_text_by_user(std::string_view text) { text_ = text; }
  void set_extent(int extent) { extent_ = extent; }
  bool is_list() const { return is_list_; }
  WindowState state() const { return state_; }
  void set_state(WindowState state) { state_ = state; }
  bool framed() const { return frame_height_ > 0; }

  void show() override {
    visible_ = true;
    // A child shown is the active one, as a new window on the desktop is.
    if (kind_ == Kind::Child) ws_->activate(*this);
  }

  Rect geometry() override {
    if (kind_ == Kind::Main) return Rect{0, 0, ws_->client_.width, ws_->client_.height};
    return rect_;
  }

  bool place(const Placement& placement) override {
    if (kind_ == Kind::Main) {
      const Size before = ws_->client_;
      if (placement.width) ws_->client_.width = std::max(0.0f, ws_->grid_.snap(*placement.width));
      if (placement.height)
        ws_->client_.height = std::max(0.0f, ws_->grid_.snap(*placement.height));
      return before != ws_->client_;
    }
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

  void set_text(std::string_view text) override { text_ = text; }

  std::string text() override { return text_; }

  WindowHandle handle() override {
    if (kind_ == Kind::Menu) raise(ErrorCode::UnsupportedMember, path() + ".hWnd");
    return handle_;
  }

  void add_item(std::string_view item) override {
    if (!is_list_) Peer::add_item(item);
    items_.emplace_back(item);
  }

  bool checked() override {
    if (kind_ != Kind::Menu) return Peer::checked();
    return checked_;
  }

  void set_checked(bool checked) override {
    if (kind_ != Kind::Menu) return Peer::set_checked(checked);
    checked_ = checked;
  }

  PeerState inspect() const override {
    PeerState state;
    state.geometry =
        kind_ == Kind::Main ? Rect{0, 0, ws_->client_.width, ws_->client_.height} : rect_;
    state.client = client();
    state.text = text_;
    state.item_count = static_cast<int>(items_.size());
    state.items = items_;
    state.horizontal_extent = extent_;
    state.checked = checked_;
    state.visible = visible_;
    if (kind_ == Kind::Child) {
      state.window_state = state_;
      state.shown = ws_->shown(*this, ws_->visible_client());
      state.z = ws_->z_of(*this);
    }
    return state;
  }

 private:
  Size client() const {
    if (kind_ == Kind::Main) return ws_->visible_client();
    return Size{std::max(0.0f, rect_.width - frame_width_),
                std::max(0.0f, rect_.height - frame_height_)};
  }

  HeadlessWindowSystem* ws_;
  Kind kind_;
  Object* owner_;
  WindowHandle handle_ = 0;
  Rect rect_;
  float frame_width_ = 0;   // what the frame takes of the outer width
  float frame_height_ = 0;  // and of the outer height, caption included
  float min_width_ = 0;
  std::string text_;
  std::vector<std::string> items_;
  bool is_list_ = false;
  int extent_ = 0;
  bool checked_ = false;
  bool visible_ = false;
  WindowState state_ = WindowState::Normal;
};

HeadlessWindowSystem::HeadlessWindowSystem(Config config)
    : config_(config), grid_(config.twips_per_pixel, config.exact) {}

HeadlessWindowSystem::~HeadlessWindowSystem() = default;

void HeadlessWindowSystem::unregister(HeadlessPeer& peer) {
  handles_.remove(peer.window_handle());
  std::erase(children_, &peer);
  std::erase(stack_, &peer);
  if (active_ == &peer) active_ = nullptr;
}

void HeadlessWindowSystem::activate(HeadlessPeer& child) {
  if (active_ == &child) return;
  for (HeadlessPeer* other : children_) {
    if (other == &child || other->state() != WindowState::Minimized) continue;
    std::erase(stack_, other);
    stack_.push_back(other);
  }
  std::erase(stack_, &child);
  stack_.insert(stack_.begin(), &child);
  active_ = &child;
}

int HeadlessWindowSystem::z_of(const HeadlessPeer& child) const {
  const auto found = std::find(stack_.begin(), stack_.end(), &child);
  return found == stack_.end() ? -1 : static_cast<int>(found - stack_.begin());
}

Rect HeadlessWindowSystem::shown(const HeadlessPeer& child, const Size& viewport) const {
  switch (child.state()) {
    case WindowState::Normal:
      return child.rect();
    case WindowState::Maximized:
      // The whole client area, or as much as its title bar needs at the least.
      return Rect{0, 0,
                  std::max(viewport.width,
                           static_cast<float>(grid_.to_twips(config_.maximized_min_width_px))),
                  std::max(viewport.height,
                           static_cast<float>(grid_.to_twips(config_.maximized_min_height_px)))};
    case WindowState::Minimized:
      break;
  }
  // Icons lie in rows from the bottom left, in the order the children were made; a frameless
  // child has no icon to show.
  if (!child.framed()) return {};
  int index = 0;
  for (const HeadlessPeer* other : children_) {
    if (other == &child) break;
    if (other->visible() && other->framed() && other->state() == WindowState::Minimized) ++index;
  }
  const auto width = static_cast<float>(grid_.to_twips(config_.icon_width_px));
  const auto height = static_cast<float>(grid_.to_twips(config_.icon_height_px));
  const int columns = std::max(1, static_cast<int>(viewport.width / width));
  const auto column = static_cast<float>(index % columns);
  const auto row = static_cast<float>(index / columns);
  return Rect{column * width, viewport.height - height - row * height, width, height};
}

Size HeadlessWindowSystem::visible_client() const {
  const auto bar = static_cast<float>(grid_.to_twips(config_.scroll_bar_px));
  return Size{std::max(0.0f, client_.width - (bars_.vertical ? bar : 0.0f)),
              std::max(0.0f, client_.height - (bars_.horizontal ? bar : 0.0f))};
}

Rect HeadlessWindowSystem::snap(const Rect& rect) const {
  return Rect{grid_.snap(rect.left), grid_.snap(rect.top), std::max(0.0f, grid_.snap(rect.width)),
              std::max(0.0f, grid_.snap(rect.height))};
}

std::unique_ptr<Peer> HeadlessWindowSystem::create_main_window(const FormDesign& design,
                                                               Object& owner) {
  auto peer = std::make_unique<HeadlessPeer>(*this, HeadlessPeer::Kind::Main, owner);
  peer->set_design(design.caption, {}, false, false);
  client_ = Size{grid_.snap(design.client_width), grid_.snap(design.client_height)};
  bars_ = {};
  closed_ = false;
  return peer;
}

std::unique_ptr<Peer> HeadlessWindowSystem::create_child_form(Peer&, const FormDesign& design,
                                                              Object& owner) {
  auto peer = std::make_unique<HeadlessPeer>(*this, HeadlessPeer::Kind::Child, owner);
  const bool framed = design.border_style != BorderStyle::None;
  const auto px = [&](int pixels) { return static_cast<float>(grid_.to_twips(pixels)); };
  const float frame_width = framed ? px(2 * config_.border_px) : 0.0f;
  const float frame_height = framed ? px(2 * config_.border_px + config_.caption_px) : 0.0f;
  // New children cascade down from the top-left corner, one caption height apart.
  const float offset =
      px(static_cast<int>(children_.size()) * (config_.caption_px + config_.border_px));
  peer->set_frame(frame_width, frame_height, framed ? px(config_.min_child_width_px) : 0.0f);
  peer->set_rect(
      Rect{offset, offset, design.client_width + frame_width, design.client_height + frame_height});
  peer->set_design(design.caption, {}, false, false);
  children_.push_back(peer.get());
  stack_.insert(stack_.begin(), peer.get());  // a new window comes in front
  return peer;
}

std::unique_ptr<Peer> HeadlessWindowSystem::create_control(Peer&, const ControlDesign& design,
                                                           Object& owner) {
  auto peer = std::make_unique<HeadlessPeer>(*this, HeadlessPeer::Kind::Control, owner);
  peer->set_rect(Rect{design.left, design.top, design.width, design.height});
  const bool is_list = design.kind == ControlKind::ListBox;
  peer->set_design(design.kind == ControlKind::TextBox ? design.text : design.caption, design.items,
                   is_list, false);
  peer->show();
  return peer;
}

std::unique_ptr<Peer> HeadlessWindowSystem::create_menu_item(Peer&, const MenuDesign& design,
                                                             Object& owner) {
  auto peer = std::make_unique<HeadlessPeer>(*this, HeadlessPeer::Kind::Menu, owner);
  peer->set_design(design.caption, {}, false, design.checked);
  return peer;
}

std::int32_t HeadlessWindowSystem::send_message(WindowHandle window, std::uint32_t message,
                                                std::int32_t wparam, std::int32_t) {
  HeadlessPeer* peer = handles_.find(window);
  if (message == LB_SETHORIZONTALEXTENT && peer != nullptr && peer->is_list()) {
    peer->set_extent(std::max(0, wparam));
  }
  return 0;
}

void HeadlessWindowSystem::idle() {
  bars_ = settled_bars();
}

ScrollBars HeadlessWindowSystem::settled_bars() const {
  // As an MDI client does: a horizontal bar when a child reaches past the right (or left)
  // edge, a vertical one past the bottom (or top); a bar takes room from the other direction
  // and can bring the other bar with it. An active maximised child is all there is to see.
  const bool maximised_in_front = active_ != nullptr && active_->state() == WindowState::Maximized;
  const double bar = grid_.to_twips(config_.scroll_bar_px);
  ScrollBars bars;
  for (int round = 0; round < 3; ++round) {
    const double width = client_.width - (bars.vertical ? bar : 0.0);
    const double height = client_.height - (bars.horizontal ? bar : 0.0);
    const Size viewport{static_cast<float>(std::max(0.0, width)),
                        static_cast<float>(std::max(0.0, height))};
    bool any = false;
    double left = 0, top = 0, right = 0, bottom = 0;
    for (const HeadlessPeer* child : children_) {
      if (!child->visible() || (maximised_in_front && child != active_)) continue;
      const Rect r = shown(*child, viewport);
      if (r.width <= 0 && r.height <= 0 && child->state() == WindowState::Minimized) continue;
      const double child_right = double{r.left} + r.width;
      const double child_bottom = double{r.top} + r.height;
      left = any ? std::min(left, double{r.left}) : r.left;
      top = any ? std::min(top, double{r.top}) : r.top;
      right = any ? std::max(right, child_right) : child_right;
      bottom = any ? std::max(bottom, child_bottom) : child_bottom;
      any = true;
    }
    if (!any) break;
    const bool past_side = right > width || left < 0;
    const bool past_end = bottom > height || top < 0;
    const ScrollBars next{past_side, past_end};
    if (next == bars) break;
    bars = next;
  }
  return bars;
}

void HeadlessWindowSystem::user_resize_client(float width, float height) {
  // Told as asked, which snaps to the same again when played back.
  tell(UserAction::resize_client(Size{width, height}));
  client_ = Size{std::max(0.0f, grid_.snap(width)), std::max(0.0f, grid_.snap(height))};
  if (sink_ != nullptr) {
    sink_->main_window_resized();
  } else {
    idle();
  }
}

void HeadlessWindowSystem::user_click(Peer& target) {
  auto& peer = static_cast<HeadlessPeer&>(target);
  tell(UserAction::on(UserAction::Kind::Click, peer.owner()));
  if (sink_ != nullptr) {
    sink_->clicked(peer.owner());
  } else {
    idle();
  }
}

void HeadlessWindowSystem::user_place(Peer& form, const Rect& rect) {
  auto& peer = static_cast<HeadlessPeer&>(form);
  if (peer.kind() != HeadlessPeer::Kind::Child || peer.state() != WindowState::Normal) return;
  const Rect before = peer.rect();
  peer.set_rect(rect);
  tell(UserAction::place(peer.owner(), rect));
  const bool resized = before.width != peer.rect().width || before.height != peer.rect().height;
  if (resized && sink_ != nullptr) {
    sink_->form_resized_by_user(peer.owner());
  } else {
    idle();
  }
}

void HeadlessWindowSystem::user_type(Peer& text_box, std::string_view text) {
  auto& peer = static_cast<HeadlessPeer&>(text_box);
  peer.set_text_by_user(typed_text(peer.inspect().text, text));
  tell(UserAction::type(peer.owner(), text));
  idle();
}

void HeadlessWindowSystem::user_set_window_state(Peer& form, WindowState state) {
  auto& peer = static_cast<HeadlessPeer&>(form);
  if (peer.kind() != HeadlessPeer::Kind::Child || peer.state() == state) return;
  peer.set_state(state);
  activate(peer);
  tell(UserAction::set_window_state(peer.owner(), state));
  idle();
}

void HeadlessWindowSystem::user_activate(Peer& form) {
  auto& peer = static_cast<HeadlessPeer&>(form);
  if (peer.kind() != HeadlessPeer::Kind::Child || active_ == &peer) return;
  activate(peer);
  tell(UserAction::on(UserAction::Kind::Activate, peer.owner()));
  idle();
}

void HeadlessWindowSystem::user_choose_window(Peer& form) {
  auto& peer = static_cast<HeadlessPeer&>(form);
  if (peer.kind() != HeadlessPeer::Kind::Child) return;
  if (peer.state() == WindowState::Minimized) peer.set_state(WindowState::Normal);
  activate(peer);
  tell(UserAction::on(UserAction::Kind::ChooseWindow, peer.owner()));
  idle();
}

}  // namespace rt::headless
