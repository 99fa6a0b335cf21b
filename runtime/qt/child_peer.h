#pragma once

#include <functional>

#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

#include "runtime/qt/qt_peer.h"

class QCloseEvent;
class QResizeEvent;

namespace rt::qt {

class MdiClient;

// A child form's frame. The forms live as long as the program (no code unloads one), so a
// child cannot be closed by hand: it offers no close button, and refuses Ctrl+F4.
class ChildWindow final : public QMdiSubWindow {
 protected:
  void closeEvent(QCloseEvent* event) override;
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

class ChildPeer final : public WindowPeer<ChildWindow> {
 public:
  ChildPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design, MdiClient& area);
  QWidget* client() const { return client_.data(); }
  QWidget* placed_widget() const override { return window_.data(); }

  void show() override;
  Rect geometry() override;
  bool place(const Placement& placement) override;
  Size client_size() override;
  PeerState inspect() const override;

 private:
  // What the frame leaves of the window (nothing, when the window is smaller than its frame);
  // the client widget is laid out to exactly that.
  Size client_area() const;

  QPointer<ChildClient> client_;
};

}  // namespace rt::qt
