#pragma once

#include <functional>

#include <QMargins>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "runtime/qt/qt_peer.h"

class QCloseEvent;
class QMoveEvent;
class QResizeEvent;

namespace rt::qt {

class ChildPeer;
class MdiClient;

// A child form's frame. The forms live as long as the program (no code unloads one), so a
// child cannot be closed by hand: it offers no close button, and refuses Ctrl+F4. What the
// person does to the frame (minimise, maximise, restore, move, size) goes to its peer.
class ChildWindow final : public QMdiSubWindow {
 public:
  ChildPeer* peer() const { return peer_; }
  void set_peer(ChildPeer* peer) { peer_ = peer; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  ChildPeer* peer_ = nullptr;
  int state_events_ = 0;  // window-state changes under way, one inside another
};

// A child form's client area: the controls' parent, and what ScaleWidth measures.
class ChildClient final : public QWidget {
 public:
  void set_resize_handler(std::function<void()> handler) { on_resize_ = std::move(handler); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::function<void()> on_resize_;
};

// A child form. Qt keeps the place a minimised or maximised window goes back to out of reach,
// so the peer keeps its own: the placement the form has when normal. The program's Move and
// Width change it in every state, its reads give it, and a restored window goes there.
class ChildPeer final : public WindowPeer<ChildWindow> {
 public:
  ChildPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design, MdiClient& area);
  ~ChildPeer() override;
  QWidget* client() const { return client_.data(); }
  QWidget* placed_widget() const override { return window_.data(); }
  QWidget* control_parent() const override { return client_.data(); }
  ChildWindow* window() const { return window_.data(); }
  WindowState window_state() const { return state_; }

  void show() override;
  Rect geometry() override;
  bool place(const Placement& placement) override;
  Size client_size() override;
  PeerState inspect() const override;

  void user_place(const Rect& rect) override;
  void user_set_window_state(WindowState state) override;
  void user_activate() override;
  void user_choose_window() override;

  // The frame tells: its state is about to change, or has changed (Qt moves and sizes it on
  // the way, which is neither the program's doing nor the person's).
  void state_changing();
  void state_changed();
  // The frame moved or changed size.
  void frame_moved();

 private:
  // What the frame leaves of the normal placement (nothing, when it is smaller than its
  // frame); the client widget is laid out to exactly that while the form is normal.
  Size client_area() const;
  void client_resized();

  QPointer<ChildClient> client_;
  QRect normal_;    // pixels, in the client area
  QMargins frame_;  // of the normal frame
  WindowState state_ = WindowState::Normal;
  bool changing_state_ = false;
};

}  // namespace rt::qt
