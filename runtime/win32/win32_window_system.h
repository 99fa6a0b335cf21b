#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/pixel_grid.h"
#include "runtime/win32/win32_api.h"
#include "runtime/window_system.h"

namespace rt::win32 {

class ChildPeer;
class MainPeer;
class MdiClient;
class Win32Peer;

// 32-bit pixels, 0x00RRGGBB, the top row first.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;

  std::uint32_t at(int x, int y) const {
    return data[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
  }
};

// A window as it is on the screen, frame included, drawn by it and its children; empty for a
// window of no size.
Pixels capture_window(HWND window);

// The window system of the platform the program was made for: the Win32 API. The main window
// is an MDI frame window with the design's menu bar, its client area an MDICLIENT; each child
// form is an MDI child window, each control a LISTBOX, EDIT, STATIC or BUTTON, each menu item an
// item of the frame's menu.
//
// Lengths cross this interface in twips and are held by the windows in whole pixels at the
// display's dots per inch (the process is made DPI-aware for that). Single-threaded: every
// call comes on the thread that made the window system.
class Win32WindowSystem final : public WindowSystem {
  // Its native objects, each a kind of its own, and the MDI client.
  friend class Win32Peer;
  friend class MainPeer;
  friend class ChildPeer;
  friend class ControlPeer;
  friend class MenuPeer;
  friend class MdiClient;

 public:
  Win32WindowSystem();
  ~Win32WindowSystem() override;

  // The frame window, its MDI client and its menu bar, while the main form is loaded.
  HWND main_window() const;
  HWND mdi_client() const;
  HMENU menu_bar() const;
  // The window that stands for `owner`: a form's or a control's; none for a menu item, or
  // while it has no window.
  HWND native(const Object& owner) const;
  bool closed() const { return closed_; }

  // The main window as it is on the screen, drawn by its windows: frame, menu bar, client area,
  // children and scroll bars. Empty without a main window.
  Pixels capture() const;
  // For the window mode: what is waiting in the message queue, handled now; whether the main
  // window is on the screen.
  void process_pending() { settle(); }
  bool window_up() const;
  // How many scroll bars idle() has shown itself, where the platform's MDI client left out a
  // bar that a child reaching past the client area's edge calls for.
  long bars_brought() const;

  // WindowSystem
  std::int32_t send_message(WindowHandle window, std::uint32_t message, std::int32_t wparam,
                            std::int32_t lparam) override;
  void idle() override;
  int run_message_loop() override;
  void quit() override;
  ScrollBars client_scroll_bars() const override;
  // The system's: its scroll bars, and the frame it gives a sizable MDI child.
  Metrics metrics() const override;

 protected:
  std::unique_ptr<Peer> make_main_window(const FormDesign& design, Object& owner) override;
  std::unique_ptr<Peer> make_child_form(const FormDesign& design, Object& owner) override;
  std::unique_ptr<Peer> make_control(const Object& form, const ControlDesign& design,
                                     Object& owner) override;
  std::unique_ptr<Peer> make_menu_item(const MenuDesign& design, Object& owner) override;

 private:
  // Marks what the program itself does to a window, so that it is not reported back as the
  // person's doing.
  class ProgramChange {
   public:
    explicit ProgramChange(Win32WindowSystem& ws) : ws_(&ws) { ++ws_->program_changes_; }
    ~ProgramChange() { --ws_->program_changes_; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

   private:
    Win32WindowSystem* ws_;
  };
  // What follows is the consequence of an action already told (the platform activating a
  // child it minimises, say): the person did not do it on their own, and it is not told.
  class Consequences {
   public:
    explicit Consequences(Win32WindowSystem& ws) : ws_(&ws) { ++ws_->consequences_; }
    ~Consequences() { --ws_->consequences_; }
    Consequences(const Consequences&) = delete;
    Consequences& operator=(const Consequences&) = delete;

   private:
    Win32WindowSystem* ws_;
  };

  // Twips to whole pixels, as far as a window's coordinates go; and back.
  int to_pixels(float twips) const;
  float to_twips(int pixels) const;
  RECT to_pixels(const Rect& rect) const;
  Rect to_twips(const RECT& rect) const;
  // `now` with what the placement gives, in pixels.
  RECT placed(const RECT& now, const Placement& placement) const;

  bool person_acting() const { return program_changes_ == 0 && consequences_ == 0; }
  void tell_person(const UserAction& action) {
    if (person_acting()) person().tell(action);
  }

  // A window procedure caught this; it surfaces once the platform call that led there returns.
  void keep_failure(std::exception_ptr failure);
  void rethrow_failure();
  // SendMessage, then anything that failed on the way.
  LRESULT send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
  // Lets the platform deliver what the last action set going, and the windows catch up.
  void settle();

  // An event of the message loop reaches the program. It lays its windows out in one go, so the
  // client area is drawn once, when the program is done, not at every move on the way.
  template <class Deliver>
  void deliver(Deliver&& deliver_to) {
    const HWND area = mdi_client();
    const bool hold = area != nullptr && !drawing_held_ && IsWindowVisible(area) != 0;
    if (!hold) return tell_program(deliver_to);
    drawing_held_ = true;
    SendMessageW(area, WM_SETREDRAW, FALSE, 0);
    struct Resume {
      Win32WindowSystem& ws;
      HWND area;
      ~Resume() {
        ws.drawing_held_ = false;
        if (IsWindow(area) == 0) return;
        SendMessageW(area, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(area, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      }
    } resume{*this, area};
    tell_program(deliver_to);
  }

  // What the person did, reported.
  void client_area_resized();
  void report_client_size(bool always);
  void report_click(Object& owner);
  void report_child_resized(Win32Peer& child);
  void report_place(ChildPeer& child);
  void report_text_changed(Win32Peer& text_box, std::string_view before, std::string_view after);
  void child_activated(ChildPeer& child);
  void main_window_shown();
  // The main window was closed: the program takes the windows down.
  void main_window_closing();
  // The main window's client area dragged to `client`, as a person does.
  void resize_client(const Size& client);
  // The child's entry chosen in the window list: what it does, and choosing it as a person does.
  void choose_window(ChildPeer& child);
  void cycle_children(Cycle cycle);
  void choose_window_entry(ChildPeer& child);
  // The child whose entry in the window list has command id `id`, if one has.
  ChildPeer* window_list_entry(UINT id) const;

  ChildPeer* child_of(HWND window) const;

  MainPeer* main_ = nullptr;
  MdiClient* client_ = nullptr;       // while main_ is there
  std::vector<ChildPeer*> children_;  // child forms, in creation order
  std::vector<Win32Peer*> peers_;     // every native object, in the order they were made
  std::unordered_map<WindowHandle, HWND> handles_;
  WindowHandle next_handle_ = 1;
  ChildPeer* active_ = nullptr;  // the active child as last reported
  int program_changes_ = 0;
  int consequences_ = 0;
  bool main_shown_ = false;
  SIZE known_client_{};  // the client area's size as the program last heard of it
  int resizing_ = 0;     // a person's resize under way
  bool closed_ = false;
  bool looping_ = false;
  bool drawing_held_ = false;
  std::exception_ptr failure_;
};

}  // namespace rt::win32
