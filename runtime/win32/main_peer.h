#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/win32/win32_peer.h"

namespace rt::win32 {

class MdiClient;
class MenuPeer;

// The main window: an MDI frame window with the design's menu bar, its client area an MDI client.
// Its Left and Top are the frame's on the screen; its Width and Height are the client area's,
// as on the other window systems, and the frame is sized around it.
class MainPeer final : public Win32Peer {
 public:
  MainPeer(Win32WindowSystem& ws, Object& owner, const FormDesign& design);
  ~MainPeer() override;

  MdiClient& client() const { return *client_; }
  HMENU menu_bar() const { return bar_; }

  void show() override;
  Rect geometry() override;
  bool place(const Placement& placement) override;
  Size client_size() override;
  void set_text(std::string_view text) override;
  std::string text() override;
  PeerState inspect() const override;

  void user_resize_client(const Size& client) override;
  void user_cycle_children(Cycle cycle) override;

  // A menu item in design order: an item whose name is another's parent is a drop-down menu on
  // the menu bar, one with a parent goes into that drop-down (before the window list, if the
  // drop-down holds it), anything else is a command on the menu bar itself.
  std::unique_ptr<MenuPeer> add_menu_item(const MenuDesign& design, Object& owner);
  void add_menu_peer(MenuPeer& peer) { menu_peers_.push_back(&peer); }
  void remove_menu_peer(MenuPeer& peer) { std::erase(menu_peers_, &peer); }
  // A menu item's text changed: the bar is drawn again.
  void menu_changed();
  // The drop-down that ends with the window list, if the design has one.
  HMENU window_menu() const { return window_menu_; }

  // Sizes the frame so that the client area gets `size` (as far as a window can be that large);
  // true when the client area's size changed.
  bool set_client_size(SIZE size);

  // The window procedure of the main window's class.
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static const wchar_t* class_name();

 private:
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  MenuPeer* menu_peer(UINT id) const;
  MenuPeer* drop_down(HMENU popup) const;

  std::unique_ptr<MdiClient> client_;
  HMENU bar_ = nullptr;
  std::vector<MenuDesign> menus_;
  std::unordered_map<std::string, HMENU> drop_downs_;
  HMENU window_menu_ = nullptr;
  std::vector<MenuPeer*> menu_peers_;
  UINT next_id_ = 100;
  UINT about_id_ = 0;  // the About box's entry, in a Help menu after the design's; 0 for none
  SIZE wanted_client_{};
  std::string caption_;
};

}  // namespace rt::win32
