#pragma once

#include <string>
#include <vector>

#include <QPointer>
#include <QRect>
#include <QSize>

#include "runtime/handle_table.h"
#include "runtime/pixel_grid.h"
#include "runtime/window_system.h"

class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QWidget;
class QObject;

namespace rt::qt {

class ChildPeer;
class MainPeer;
class MainWindow;
class MdiClient;
class QtPeer;

// The real window system: Qt 6 Widgets. The main window is a QMainWindow whose central widget,
// a QMdiArea, is the client area; each child form is a QMdiSubWindow, each control a widget
// placed where the program puts it, each menu item a QAction.
//
// Lengths cross this interface in twips and are held by Qt in whole logical pixels (1440 / the
// screen's logical dpi twips each, 15 at 96 dpi). Needs a QApplication.
class QtWindowSystem final : public WindowSystem {
  // Its native objects, each a kind of its own.
  friend class QtPeer;
  friend class MainPeer;
  friend class ChildPeer;
  friend class ControlPeer;
  friend class MenuPeer;

 public:
  QtWindowSystem();
  ~QtWindowSystem() override;
  QtWindowSystem(const QtWindowSystem&) = delete;
  QtWindowSystem& operator=(const QtWindowSystem&) = delete;

  // The main window and its client area, while the main form is loaded.
  QMainWindow* main_window() const;
  QMdiArea* mdi_area() const;
  // The Qt object that stands for `owner`: the widget, or for a menu item its QAction; none
  // while it has no window.
  QObject* native(const Object& owner) const;
  bool closed() const { return closed_; }

  // WindowSystem
  std::int32_t send_message(WindowHandle window, std::uint32_t message, std::int32_t wparam,
                            std::int32_t lparam) override;
  void idle() override;
  int run_message_loop() override;
  void quit() override;
  ScrollBars client_scroll_bars() const override;
  // The current style's, measured on a client area and a sizable child of its own.
  Metrics metrics() const override;

  // The child's entry chosen in the window list.
  void choose_window(ChildPeer& child);
  // Ctrl+F6 or Ctrl+Tab, with Shift the other way: the child after the active one in the
  // window list's order becomes the active one, in front, in the state it is in.
  void cycle_children(Cycle cycle);

 private:
  // WindowSystem: what it makes.
  PeerPtr make_main_window(const FormDesign& design, Object& owner) override;
  PeerPtr make_child_form(const FormDesign& design, Object& owner) override;
  PeerPtr make_control(const Object& form, const ControlDesign& design, Object& owner) override;
  PeerPtr make_menu_item(const MenuDesign& design, Object& owner) override;

  // Marks what the program itself does to a window, so that it is not reported back as the
  // user's doing.
  class ProgramChange {
   public:
    explicit ProgramChange(QtWindowSystem& ws) : ws_(&ws) { ++ws_->program_changes_; }
    ~ProgramChange() { --ws_->program_changes_; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

   private:
    QtWindowSystem* ws_;
  };

  int to_pixels(float twips) const;
  float to_twips(int pixels) const;
  QRect to_pixels(const Rect& rect) const;
  Rect to_twips(const QRect& rect) const;
  // `now` with what the placement gives, in pixels.
  QRect placed(const QRect& now, const Placement& placement) const;

  // The client area less the scroll bars it shows, in pixels.
  QSize visible_client() const;
  // Sizes the main window so that its client area gets `size`; true when the size changed.
  bool set_client_size(QSize size);
  void main_window_shown();
  // The main window goes on the screen when control returns to the message loop, with the
  // children the handlers of its showing made: drawn once, complete.
  void show_main_window_soon() { main_show_pending_ = true; }

  // What follows is the consequence of an action already told (Qt activating a window it
  // minimises, say): the person did not do it on its own, and it is not told.
  void begin_consequences() { ++consequences_; }
  void end_consequences() { --consequences_; }
  class Consequences {
   public:
    explicit Consequences(QtWindowSystem& ws) : ws_(&ws) { ws_->begin_consequences(); }
    ~Consequences() { ws_->end_consequences(); }
    Consequences(const Consequences&) = delete;
    Consequences& operator=(const Consequences&) = delete;

   private:
    QtWindowSystem* ws_;
  };
  // Whether what Qt reports now is the person's doing.
  bool person_acting() const { return program_changes_ == 0 && consequences_ == 0; }
  void tell_person(const UserAction& action) {
    if (person_acting()) person().tell(action);
  }
  // The main window's client area dragged to `client`, as a person does.
  void resize_client(const Size& client);
  // 0 for the front.
  int z_of(const QWidget& child) const;

  // What the user did, reported to the program.
  void client_area_resized();
  void report_client_size(bool always);
  void report_click(Object& owner);
  void report_child_resized(QtPeer& child);
  void report_window_state(ChildPeer& child);
  void report_place(ChildPeer& child);
  void report_text_changed(QtPeer& text_box, std::string_view before, std::string_view after);
  void child_activated(QMdiSubWindow* child);
  void report_close();
  // Lets Qt deliver what the last action set going, and the bars catch up.
  void settle();

  QPointer<MainWindow> main_;
  MainPeer* main_peer_ = nullptr;  // while main_ is there
  QPointer<MdiClient> area_;
  int program_changes_ = 0;
  int consequences_ = 0;
  QPointer<QMdiSubWindow> active_;  // the active child as last reported
  bool main_shown_ = false;
  bool main_show_pending_ = false;
  QSize known_client_;  // the client area's size as the program last heard of it
  int client_reports_ = 0;
  HandleTable<QtPeer> handles_;
  std::vector<QtPeer*> peers_;  // every native object, in the order they were made
  bool closed_ = false;
  QObject* context_;  // for calls posted to the event loop; they die with the window system
};

}  // namespace rt::qt
