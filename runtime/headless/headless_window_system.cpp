#include "runtime/headless/headless_window_system.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "runtime/headless/headless_peers.h"

namespace rt::headless {

HeadlessWindowSystem::HeadlessWindowSystem(Config config)
    : WindowSystem(PixelGrid(config.twips_per_pixel, config.exact)), config_(config) {}

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

void HeadlessWindowSystem::cycle_children(Cycle cycle) {
  std::vector<ChildPeer*> listed;  // as the window list has them: those on the screen
  std::copy_if(children_.begin(), children_.end(), std::back_inserter(listed),
               [](const ChildPeer* child) { return child->visible(); });
  if (listed.empty()) return;
  const auto at =
      static_cast<std::size_t>(std::find(listed.begin(), listed.end(), active_) - listed.begin());
  person().tell(UserAction::cycle_children(cycle));
  activate(*listed[cycled(at, listed.size(), cycle)]);
  idle();
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
                           static_cast<float>(grid().to_twips(config_.maximized_min_width_px))),
                  std::max(viewport.height,
                           static_cast<float>(grid().to_twips(config_.maximized_min_height_px)))};
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
  const auto width = static_cast<float>(grid().to_twips(config_.icon_width_px));
  const auto height = static_cast<float>(grid().to_twips(config_.icon_height_px));
  const int columns = std::max(1, static_cast<int>(viewport.width / width));
  const std::div_t place = std::div(index, columns);
  const auto column = static_cast<float>(place.rem);
  const auto row = static_cast<float>(place.quot);
  return Rect{column * width, viewport.height - height - row * height, width, height};
}

Size HeadlessWindowSystem::visible_client() const {
  const auto bar = static_cast<float>(grid().to_twips(config_.scroll_bar_px));
  return Size{std::max(0.0f, client_.width - (bars_.vertical ? bar : 0.0f)),
              std::max(0.0f, client_.height - (bars_.horizontal ? bar : 0.0f))};
}

Rect HeadlessWindowSystem::snap(const Rect& rect) const {
  return Rect{grid().snap(rect.left), grid().snap(rect.top),
              std::max(0.0f, grid().snap(rect.width)), std::max(0.0f, grid().snap(rect.height))};
}

PeerPtr HeadlessWindowSystem::make_main_window(const FormDesign& design, Object& owner) {
  auto peer = std::make_unique<MainPeer>(*this, owner, design);
  client_ = Size{grid().snap(design.client_width), grid().snap(design.client_height)};
  bars_ = {};
  closed_ = false;
  return peer;
}

PeerPtr HeadlessWindowSystem::make_child_form(const FormDesign& design, Object& owner) {
  // New children cascade down from the top-left corner, one caption height apart.
  const auto offset = static_cast<float>(grid().to_twips(static_cast<int>(children_.size()) *
                                                         (config_.caption_px + config_.border_px)));
  auto peer = std::make_unique<ChildPeer>(*this, owner, design, offset);
  children_.push_back(peer.get());
  stack_.insert(stack_.begin(), peer.get());  // a new window comes in front
  return peer;
}

PeerPtr HeadlessWindowSystem::make_control(const Object&, const ControlDesign& design,
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

PeerPtr HeadlessWindowSystem::make_menu_item(const MenuDesign& design, Object& owner) {
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
  const double bar = grid().to_twips(config_.scroll_bar_px);
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

void HeadlessPeer::clicked() {
  ws().person().tell(UserAction::on(UserAction::Kind::Click, owner()));
  ws().tell_program([&](EventSink& sink) { sink.clicked(owner()); });
}

void MainPeer::user_resize_client(const Size& client) {
  // Told as asked, which snaps to the same again when played back.
  ws().person().tell(UserAction::resize_client(client));
  const PixelGrid& grid = ws().grid();
  ws().client_ =
      Size{std::max(0.0f, grid.snap(client.width)), std::max(0.0f, grid.snap(client.height))};
  ws().tell_program([](EventSink& sink) { sink.main_window_resized(); });
}

void ControlPeer::user_type(std::string_view typed) {
  if (kind_ != ControlKind::TextBox) return;
  set_text(typed_text(text(), typed));
  ws().person().tell(UserAction::type(owner(), typed));
  ws().idle();
}

void ControlPeer::user_edit(const TextEdit& edit) {
  if (kind_ != ControlKind::TextBox || !edit_error(text(), edit).empty()) return;
  set_text(edited_text(text(), edit));
  ws().person().tell(UserAction::edited(owner(), edit));
  ws().idle();
}

void ChildPeer::user_place(const Rect& rect) {
  if (state_ != WindowState::Normal) return;
  const Rect before = this->rect();
  set_rect(rect);
  ws().person().tell(UserAction::place(owner(), rect));
  if (before.width != this->rect().width || before.height != this->rect().height) {
    ws().tell_program([&](EventSink& sink) { sink.form_resized_by_user(owner()); });
  } else {
    ws().idle();
  }
}

void ChildPeer::user_set_window_state(WindowState state) {
  if (state_ == state) return;
  state_ = state;
  ws().activate(*this);
  ws().person().tell(UserAction::set_window_state(owner(), state));
  ws().idle();
}

void ChildPeer::user_activate() {
  if (ws().active_ == this) return;
  ws().activate(*this);
  ws().person().tell(UserAction::on(UserAction::Kind::Activate, owner()));
  ws().idle();
}

void ChildPeer::user_choose_window() {
  if (state_ == WindowState::Minimized) state_ = WindowState::Normal;
  ws().activate(*this);
  ws().person().tell(UserAction::on(UserAction::Kind::ChooseWindow, owner()));
  ws().idle();
}

}  // namespace rt::headless
