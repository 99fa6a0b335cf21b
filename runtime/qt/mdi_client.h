#pragma once

#include <functional>

#include <QMdiArea>

namespace rt::qt {

// The main window's client area. QMdiArea brings its scroll bars up to date the moment a child
// moves or changes size; a layout pass moves the children one after the other, and a child
// that overhangs for a moment would bring bars (and scroll the area) in the middle of the pass.
// This area holds those updates back until control returns to the event loop, or until
// update_scroll_bars() is called, as an MDI client does.
class MdiClient final : public QMdiArea {
 public:
  explicit MdiClient(QWidget* parent = nullptr);

  // Runs when the area itself has a new size, before the area reacts to it.
  void set_resize_handler(std::function<void()> handler) { on_resize_ = std::move(handler); }

  // Brings the scroll bars, and with them the size of the viewport, up to date now.
  void update_scroll_bars();
  bool update_held() const { return held_; }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void hold();

  std::function<void()> on_resize_;
  bool held_ = false;
  bool update_posted_ = false;
};

}  // namespace rt::qt
