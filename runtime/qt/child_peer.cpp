#include "runtime/qt/child_peer.h"

#include <QCloseEvent>
#include <QMargins>
#include <QResizeEvent>
#include <QStyle>

#include "runtime/qt/mdi_client.h"

namespace rt::qt {

void ChildWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
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
  // The designed client size; the frame comes on top of it.
  const QMargins frame = window_->contentsMargins();
  window_->setGeometry(cascade, cascade,
                       ws.to_pixels(design.client_width) + frame.left() + frame.right(),
                       ws.to_pixels(design.client_height) + frame.top() + frame.bottom());
  client_->set_resize_handler([this] { this->ws().report_child_resized(*this); });
}

void ChildPeer::show() {
  ChildWindow& window = alive(window_);
  QtWindowSystem::ProgramChange change(ws());
  window.show();
}

Rect ChildPeer::geometry() {
  return ws().to_twips(alive(window_).geometry());
}

bool ChildPeer::place(const Placement& placement) {
  return place_widget(alive(window_), placement);
}

Size ChildPeer::client_size() {
  alive(window_);
  return client_area();
}

PeerState ChildPeer::inspect() const {
  PeerState state;
  if (window_.isNull()) return state;
  state.geometry = ws().to_twips(window_->geometry());
  state.client = client_area();
  state.text = caption_;
  state.visible = !window_->isHidden();
  return state;
}

Size ChildPeer::client_area() const {
  const QSize client = window_->contentsRect().size().expandedTo(QSize(0, 0));
  return Size{ws().to_twips(client.width()), ws().to_twips(client.height())};
}

}  // namespace rt::qt
