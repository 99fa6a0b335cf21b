#include "runtime/qt/child_peer.h"

#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QStyle>

#include "runtime/qt/mdi_client.h"

namespace rt::qt {
namespace {

WindowState state_of(const QWidget& window) {
  if (window.isMinimized()) return WindowState::Minimized;
  if (window.isMaximized()) return WindowState::Maximized;
  return WindowState::Normal;
}

}  // namespace

void ChildWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
}

void ChildWindow::changeEvent(QEvent* event) {
  if (event->type() != QEvent::WindowStateChange || peer_ == nullptr) {
    QMdiSubWindow::changeEvent(event);
    return;
  }
  // Qt sends more of these from inside its own handling of one; the change is done when the
  // outermost one is.
  if (state_events_++ == 0) peer_->state_changing();
  QMdiSubWindow::changeEvent(event);
  if (--state_events_ == 0 && peer_ != nullptr) peer_->state_changed();
}

void ChildWindow::moveEvent(QMoveEvent* event) {
  QMdiSubWindow::moveEvent(event);
  if (peer_ != nullptr) peer_->frame_moved();
}

void ChildWindow::resizeEvent(QResizeEvent* event) {
  QMdiSubWindow::resizeEvent(event);
  if (peer_ != nullptr) peer_->frame_moved();
}

void ChildClient::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (on_resize_) on_resize_();
}

ChildPeer::ChildPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design, MdiClient& area)
    : WindowPeer(ws, owner, design) {
  Qt::WindowFlags flags = Qt::FramelessWindowHint;
  if (design.border_style != BorderStyle::None) {
    // No system menu: Qt's styles draw the close button with it.
    flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (design.min_button) flags |= Qt::WindowMinimizeButtonHint;
    if (design.max_button) flags |= Qt::WindowMaximizeButtonHint;
    if (design.border_style == BorderStyle::Fixed) flags |= Qt::MSWindowsFixedSizeDialogHint;
  }
  client_ = new ChildClient;
  window_->setWidget(client_);
  // Dragged past the right or bottom edge, a child brings the client area's scroll bars.
  window_->setOption(QMdiSubWindow::AllowOutsideAreaHorizontally);
  window_->setOption(QMdiSubWindow::AllowOutsideAreaVertically);
  const int cascade = static_cast<int>(area.subWindowList().size()) *
                      area.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window_);
  QtWindowSystem::ProgramChange change(ws);
  area.addSubWindow(window_);
  window_->setWindowFlags(flags);  // addSubWindow() keeps the flags of a ready-made frame
  // Qt's window menu of a child (the context menu of its title bar) offers "Stay on Top", its
  // one checkable entry: a state MDI children do not have, and a child kept on top would stay
  // in front of the one a click makes active.
  if (QMenu* menu = window_->systemMenu()) {
    for (QAction* entry : menu->actions()) {
      if (entry->isCheckable()) menu->removeAction(entry);
    }
  }
  // The designed client size; the frame comes on top of it.
  frame_ = window_->contentsMargins();
  window_->setGeometry(cascade, cascade,
                       ws.to_pixels(design.client_width) + frame_.left() + frame_.right(),
                       ws.to_pixels(design.client_height) + frame_.top() + frame_.bottom());
  normal_ = window_->geometry();
  // The caption last: a child's frame elides it again at every change on the way here.
  window_->setWindowTitle(to_display(design.caption));
  client_->set_resize_handler([this] { client_resized(); });
  window_->set_peer(this);
}

ChildPeer::~ChildPeer() {
  if (window_.isNull()) return;
  window_->set_peer(nullptr);
  // Taken down by the program: Qt making another child active on the way is not the person's
  // doing, nor is anything it reports of it.
  QtWindowSystem::ProgramChange change(ws());
  delete window_.data();
}

void ChildPeer::show() {
  ChildWindow& window = alive(window_);
  QtWindowSystem::ProgramChange change(ws());
  window.show();
}

Rect ChildPeer::geometry() {
  alive(window_);
  return ws().to_twips(normal_);
}

bool ChildPeer::place(const Placement& placement) {
  ChildWindow& window = alive(window_);
  if (state_ == WindowState::Normal) {
    const bool resized = place_widget(window, placement);
    normal_ = window.geometry();
    return resized;
  }
  // Minimised or maximised, the window stays as it is; it goes there when restored.
  const QRect next = ws().placed(normal_, placement);
  const bool resized = next.size() != normal_.size();
  normal_ = next;
  return resized;
}

Size ChildPeer::client_size() {
  alive(window_);
  return client_area();
}

PeerState ChildPeer::inspect() const {
  PeerState state;
  if (window_.isNull()) return state;
  state.geometry = ws().to_twips(normal_);
  state.client = client_area();
  state.text = caption_;
  state.visible = !window_->isHidden();
  state.window_state = state_;
  state.shown = ws().to_twips(window_->geometry());
  state.z = ws().z_of(*window_);
  return state;
}

void ChildPeer::state_changing() {
  if (state_ == WindowState::Normal) frame_ = window_->contentsMargins();
  changing_state_ = true;
  ws().begin_consequences();
}

void ChildPeer::state_changed() {
  changing_state_ = false;
  ws().end_consequences();
  const WindowState now = state_of(*window_);
  const WindowState before = std::exchange(state_, now);
  // Normal, it is where the last placement put it, not where Qt kept from before. Qt may put
  // it there after this peer heard of the change: restoring an icon that is not the active
  // child, it activates it first, and that tells of the new state before the restoring is done.
  if (now == WindowState::Normal && window_->geometry() != normal_) {
    QtWindowSystem::ProgramChange change(ws());
    window_->setGeometry(normal_);
  }
  if (now != before) ws().report_window_state(*this);
}

void ChildPeer::frame_moved() {
  // Moved or sized by the person: a normal window, and not by the program or by Qt on its
  // way to another state.
  if (state_ != WindowState::Normal || changing_state_ || !ws().person_acting()) return;
  if (window_->geometry() == normal_) return;
  normal_ = window_->geometry();
  ws().report_place(*this);
}

void ChildPeer::client_resized() {
  if (state_ != WindowState::Normal || changing_state_) return;
  ws().report_child_resized(*this);
}

void ChildPeer::user_place(const Rect& rect) {
  // Not a program change: a child that changes size reports it from its client's resize. An
  // icon or a maximised window has no frame to drag.
  if (state_ == WindowState::Normal && !window_.isNull()) {
    window_->setGeometry(ws().to_pixels(rect));
  }
  ws().settle();
}

void ChildPeer::user_set_window_state(WindowState state) {
  if (window_.isNull()) return;
  // As its title bar's buttons do.
  switch (state) {
    case WindowState::Minimized:
      window_->showMinimized();
      break;
    case WindowState::Maximized:
      window_->showMaximized();
      break;
    case WindowState::Normal:
      window_->showNormal();
      break;
  }
  ws().settle();
}

void ChildPeer::user_activate() {
  if (!window_.isNull() && !ws().area_.isNull()) ws().area_->setActiveSubWindow(window_);
  ws().settle();
}

void ChildPeer::user_choose_window() {
  ws().choose_window(*this);
  ws().settle();
}

Size ChildPeer::client_area() const {
  const bool normal = state_ == WindowState::Normal && !changing_state_;
  const QSize client = (normal ? window_->contentsRect().size() : normal_.size().shrunkBy(frame_))
                           .expandedTo(QSize(0, 0));
  return Size{ws().to_twips(client.width()), ws().to_twips(client.height())};
}

}  // namespace rt::qt
