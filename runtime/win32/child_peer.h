#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/win32/win32_peer.h"

namespace rt::win32 {

class ControlPeer;
class MdiClient;

// A child form: an MDI child window, with a sizable frame and caption, or without either for a
// form whose design has no border. The forms live as long as the program (no code unloads one),
// so a child cannot be closed: its class has no Close (CS_NOCLOSE), and WM_CLOSE and SC_CLOSE
// (Ctrl+F4) are ignored.
//
// Its window state is the peer's, changed by the title bar's buttons (WM_SYSCOMMAND) only, and
// the peer keeps the placement the form has when normal: the program's Move and Width change it
// in every state, its reads give it, and a restored window goes there.
class ChildPeer final : public Win32Peer {
 public:
  ChildPeer(Win32WindowSystem& ws, Object& owner, const FormDesign& design, MdiClient& client);
  ~ChildPeer() override;

  WindowState window_state() const { return state_; }
  bool framed() const { return framed_; }
  // Whether the window is shown (its own flag, whatever its parent's).
  bool visible() const;
  // Where the window is, in the MDI client's client coordinates.
  RECT window_rect() const;
  // The controls made on this form.
  void add_control(ControlPeer& control) { controls_.push_back(&control); }
  void remove_control(ControlPeer& control) { std::erase(controls_, &control); }

  void show() override;
  Rect geometry() override;
  bool place(const Placement& placement) override;
  Size client_size() override;
  void set_text(std::string_view text) override;
  std::string text() override;
  PeerState inspect() const override;

  void user_place(const Rect& rect) override;
  void user_set_window_state(WindowState state) override;
  void user_activate() override;
  void user_choose_window() override;

  // Makes it the active child, restored first if minimised, as its entry in the window list
  // does.
  void choose();
  // The platform's own maximise or restore, which the peer's state does not follow: the child
  // stays maximised in its state while another one is the active child (demote), and is
  // maximised again natively when it is the active child once more (promote).
  void demote();
  void promote();
  // Laid over `area`, as a maximised child that is not the active one lies.
  void cover(const RECT& area);
  // The icon moved to `where` (its top-left corner).
  void move_icon(POINT where);

  // The window procedure of the child forms' class.
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static const wchar_t* class_name();

 private:
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT default_handling(UINT message, WPARAM wparam, LPARAM lparam);
  // A title bar's button: the state changes, and the child becomes the active one, in front.
  void title_bar_button(WindowState state);
  void change_state(WindowState state);
  // The platform's own state change, passed through to it.
  void native(UINT message);
  void activate();
  // What the frame leaves of the normal placement (nothing, when it is smaller than its frame).
  SIZE client_area() const;
  ControlPeer* control_of(HWND window) const;

  MdiClient* client_;
  std::string caption_;
  bool framed_ = false;
  bool min_button_ = false;
  bool max_button_ = false;
  HBRUSH background_ = nullptr;
  bool own_background_ = false;
  RECT frame_{};   // what the frame takes on each side, caption included
  RECT normal_{};  // pixels, in the MDI client's client coordinates
  WindowState state_ = WindowState::Normal;
  int native_ops_ = 0;  // the platform's own state changes under way
  std::vector<ControlPeer*> controls_;
};

}  // namespace rt::win32
