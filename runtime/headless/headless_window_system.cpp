#include "runtime/headless/headless_window_system.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/headless/headless_peers.h"

namespace rt::headless {

HeadlessWindowSystem::HeadlessWindowSystem(Config config)
    : config_(config), grid_(config.twips_per_pixel, config.exact) {}

HeadlessWindowSystem::~HeadlessWindowSystem() = default;

void HeadlessWindowSystem::forget(ChildPeer& child) {
  std::erase(children_, &child);
  std::erase(stack_, &child);
  if (active_ == &child) active_ = nullptr;
}

void HeadlessWindowSystem::activate(ChildPeer& child) {
  if (active_ == &child) return;
  for (ChildPeer* other : children_) {
    if (other == &child || other->state() != WindowState::Minimized) continue;
    std::erase(stack_, other);
    stack_.push_back(other);
  }
  std::erase(stack_, &child);
  stack_.insert(stack_.begin(), &child);
  active_ = &child;
}

int HeadlessWindowSystem::z_of(const ChildPeer& child) const {
  const auto found = std::find(stack_.begin(), stack_.end(), &child);
  return found == stack_.end() ? -1 : static_cast<int>(found - stack_.begin());
}

Rect HeadlessWindowSystem::shown(const ChildPeer& child, const Size& viewport) const {
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
  for (const ChildPeer* other : children_) {
    if (other == &child) break;
    if (other->visible() && other->framed() && other->state() == WindowState::Minimized) ++index;
  }
  const auto width = static_cast<float>(grid_.to_twips(config_.icon_width_px));
  const auto height = static_cast<float>(grid_.to_twips(config_.icon_height_px));
  const int columns = std::max(1, static_cast<int>(viewport.width / width));
  const std::div_t place = std::div(index, columns);
  const auto column = static_cast<float>(place.rem);
  const auto row = static_cast<float>(place.quot);
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
  auto peer = std::make_unique<MainPeer>(*this, owner, design);
  client_ = Size{grid_.snap(design.client_width), grid_.snap(design.client_height)};
  bars_ = {};
  closed_ = false;
  return peer;
}

std::unique_ptr<Peer> HeadlessWindowSystem::create_child_form(Peer&, const FormDesign& design,
                                                              Object& owner) {
  // New children cascade down from the top-left corner, one caption height apart.
  const auto offset = static_cast<float>(grid_.to_twips(static_cast<int>(children_.size()) *
                                                        (config_.caption_px + config_.border_px)));
  auto peer = std::make_unique<ChildPeer>(*this, owner, design, offset);
  children_.push_back(peer.get());
  stack_.insert(stack_.begin(), peer.get());  // a new window comes in front
  return peer;
}

std::unique_ptr<Peer> HeadlessWindowSystem::create_control(Peer&, const ControlDesign& design,
                                                           Object& owner) {
  std::unique_ptr<ControlPeer> peer;
  if (design.kind == ControlKind::ListBox) {
    peer = std::make_unique<ListPeer>(*this, owner, design);
  } else {
    peer = std::make_unique<ControlPeer>(*this, owner, design);
  }
  peer->show();
  return peer;
}

std::unique_ptr<Peer> HeadlessWindowSystem::create_menu_item(Peer&, const MenuDesign& design,
                                                             Object& owner) {
  return std::make_unique<MenuPeer>(*this, owner, design);
}

std::int32_t HeadlessWindowSystem::send_message(WindowHandle window, std::uint32_t message,
                                                std::int32_t wparam, std::int32_t) {
  return handles_.send(window, message, wparam);
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
    for (const ChildPeer* child : children_) {
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
  tell_program([](EventSink& sink) { sink.main_window_resized(); });
}

void HeadlessWindowSystem::user_click(Peer& target) {
  auto& peer = static_cast<HeadlessPeer&>(target);
  tell(UserAction::on(UserAction::Kind::Click, peer.owner()));
  tell_program([&](EventSink& sink) { sink.clicked(peer.owner()); });
}

void HeadlessWindowSystem::user_place(Peer& form, const Rect& rect) {
  auto* child = dynamic_cast<ChildPeer*>(&form);
  if (child == nullptr || child->state() != WindowState::Normal) return;
  const Rect before = child->rect();
  child->set_rect(rect);
  tell(UserAction::place(child->owner(), rect));
  const bool resized = before.width != child->rect().width || before.height != child->rect().height;
  if (resized) {
    tell_program([&](EventSink& sink) { sink.form_resized_by_user(child->owner()); });
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
  auto* child = dynamic_cast<ChildPeer*>(&form);
  if (child == nullptr || child->state() == state) return;
  child->set_state(state);
  activate(*child);
  tell(UserAction::set_window_state(child->owner(), state));
  idle();
}

void HeadlessWindowSystem::user_activate(Peer& form) {
  auto* child = dynamic_cast<ChildPeer*>(&form);
  if (child == nullptr || active_ == child) return;
  activate(*child);
  tell(UserAction::on(UserAction::Kind::Activate, child->owner()));
  idle();
}

void HeadlessWindowSystem::user_choose_window(Peer& form) {
  auto* child = dynamic_cast<ChildPeer*>(&form);
  if (child == nullptr) return;
  if (child->state() == WindowState::Minimized) child->set_state(WindowState::Normal);
  activate(*child);
  tell(UserAction::on(UserAction::Kind::ChooseWindow, child->owner()));
  idle();
}

}  // namespace rt::headless
