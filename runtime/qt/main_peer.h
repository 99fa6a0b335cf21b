#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QSize>

#include "runtime/qt/qt_peer.h"

class QAction;
class QCloseEvent;

namespace rt::qt {

class MainWindow final : public QMainWindow {
 public:
  void set_close_handler(std::function<void()> handler) { on_close_ = std::move(handler); }

 protected:
  // Closing the main window ends the program; the window system reports it and the runtime
  // takes the windows down, outside this event.
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<void()> on_close_;
};

class MainPeer final : public WindowPeer<MainWindow> {
 public:
  MainPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design);
  MainWindow* window() const { return window_.data(); }

  void show() override;
  Rect geometry() override;
  // Left and Top move the window; Width and Height size its client area, as the in-memory
  // window system does.
  bool place(const Placement& placement) override;
  Size client_size() override;

  // A menu item in design order: an item whose name is another's parent is a drop-down menu
  // on the menu bar, one with a parent goes into that drop-down, anything else is a command on
  // the menu bar itself.
  QAction* add_menu_item(const MenuDesign& design, bool& in_drop_down);

  PeerState inspect() const override;

  void user_resize_client(const Size& client) override;
  void user_cycle_children(Cycle cycle) override;

 private:
  // The keys MDI programs have: F10 for the menu bar, Ctrl+F6 and Ctrl+Tab (with Shift, the
  // other way) for the next child.
  void add_keys();
  // The numbered children at the end of `menu`, after a separator.
  void add_window_list(QMenu& menu);
  // The About box's entry at the end of `menu`, after a separator, when the program says
  // something of itself.
  void add_about(QMenu& menu);
  // The menu bar takes the keys, its first menu highlighted, as after Alt.
  void open_menu_bar();
  // The child windows at the end of the drop-down, after a separator, numbered by caption (the
  // number their access key), the active one checked, and the About box's entry last; made
  // anew each time the drop-down opens.
  void update_window_list(QMenu& menu);

  std::vector<MenuDesign> menus_;
  std::unordered_map<std::string, QPointer<QMenu>> drop_downs_;
  QSize wanted_client_;
  std::vector<QPointer<QAction>> window_list_;
  QPointer<QAction> about_;
};

}  // namespace rt::qt
