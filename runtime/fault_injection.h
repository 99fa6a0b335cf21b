#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/window_system.h"

namespace rt {

// The operations of a native object, as fault injection names them.
enum class PeerOp {
  Create,  // creating the window, control or menu item
  Show,
  Geometry,    // reading Left, Top, Width, Height
  Place,       // Move, or writing Width
  ClientSize,  // reading ScaleWidth, ScaleHeight
  SetText,     // writing Caption or Text
  Text,        // reading Caption or Text
  Handle,      // reading hWnd
  AddItem,
  Checked,     // reading Checked
  SetChecked,  // writing Checked
};

std::string_view op_name(PeerOp op);

// Which calls of which native objects are to fail: the nth call from now (1 is the next) of
// `op` on the object at `path` ("frmResizeT", "frmResizeT.Label1", "MDIResize.mnuOplossing")
// fails once with a run-time error.
class FaultPlan {
 public:
  void inject(std::string path, PeerOp op, int nth = 1,
              ErrorCode code = ErrorCode::PlatformCallFailed);
  // Raises the error of a fault whose turn this call is.
  void check(const std::string& path, PeerOp op) {
    if (!faults_.empty()) check_pending(path, op);
  }
  std::size_t pending() const { return faults_.size(); }
  std::size_t fired() const { return fired_; }
  void clear() { faults_.clear(); }

 private:
  struct Fault {
    std::string path;
    PeerOp op;
    int remaining;
    ErrorCode code;
  };
  void check_pending(const std::string& path, PeerOp op);

  std::vector<Fault> faults_;
  std::size_t fired_ = 0;
};

// Any window system with fault injection in front of it: each native object it makes fails
// as the plan says, and otherwise does what the window system's own does.
class FaultyWindowSystem final : public WindowSystem {
 public:
  explicit FaultyWindowSystem(WindowSystem& inner) : inner_(&inner) {}

  FaultPlan& faults() { return faults_; }
  WindowSystem& inner() const { return *inner_; }
  // The window system's own native object behind one of ours.
  static Peer& inner(Peer& peer);

  void attach(EventSink* sink) override { inner_->attach(sink); }
  std::unique_ptr<Peer> create_main_window(const FormDesign& design, Object& owner) override;
  std::unique_ptr<Peer> create_child_form(Peer& main, const FormDesign& design,
                                          Object& owner) override;
  std::unique_ptr<Peer> create_control(Peer& form, const ControlDesign& design,
                                       Object& owner) override;
  std::unique_ptr<Peer> create_menu_item(Peer& main, const MenuDesign& design,
                                         Object& owner) override;
  std::int32_t send_message(WindowHandle window, std::uint32_t message, std::int32_t wparam,
                            std::int32_t lparam) override {
    return inner_->send_message(window, message, wparam, lparam);
  }
  void idle() override { inner_->idle(); }
  int run_message_loop() override { return inner_->run_message_loop(); }
  void quit() override { inner_->quit(); }
  ScrollBars client_scroll_bars() const override { return inner_->client_scroll_bars(); }
  double twips_per_pixel() const override { return inner_->twips_per_pixel(); }
  void user_resize_client(float width, float height) override {
    inner_->user_resize_client(width, height);
  }
  void user_click(Peer& target) override { inner_->user_click(inner(target)); }
  void user_place(Peer& form, const Rect& rect) override { inner_->user_place(inner(form), rect); }
  void user_type(Peer& text_box, std::string_view text) override {
    inner_->user_type(inner(text_box), text);
  }
  void user_set_window_state(Peer& form, WindowState state) override {
    inner_->user_set_window_state(inner(form), state);
  }
  void user_activate(Peer& form) override { inner_->user_activate(inner(form)); }
  void user_choose_window(Peer& form) override { inner_->user_choose_window(inner(form)); }
  void listen(UserActionListener* listener) override { inner_->listen(listener); }

 private:
  std::unique_ptr<Peer> wrap(std::unique_ptr<Peer> peer, Object& owner);

  WindowSystem* inner_;
  FaultPlan faults_;
};

}  // namespace rt
