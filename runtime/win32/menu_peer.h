#pragma once

#include <string>
#include <string_view>

#include "runtime/win32/win32_peer.h"

namespace rt::win32 {

class MainPeer;

// A menu item of the frame's menu: a command, or a drop-down menu. Its check mark is the menu's
// own state (MF_CHECKED), which a drop-down's items show and an item on the menu bar keeps all
// the same. The item is found by its command id wherever it is in its menu now: a maximised
// child's system menu and buttons come onto the menu bar before and after the program's items.
class MenuPeer final : public Win32Peer {
 public:
  // `menu` holds the item with command id `id`; `popup` is the drop-down it opens, if any.
  MenuPeer(Win32WindowSystem& ws, Object& owner, const MenuDesign& design, MainPeer& main,
           HMENU menu, UINT id, HMENU popup);
  ~MenuPeer() override;

  UINT id() const { return id_; }
  HMENU popup() const { return popup_; }

  void show() override {}
  Rect geometry() override { return {}; }
  bool place(const Placement&) override { return false; }
  Size client_size() override { return {}; }
  void set_text(std::string_view text) override;
  std::string text() override;
  bool checked() override;
  void set_checked(bool checked) override;

  PeerState inspect() const override;

  // A command is chosen; a drop-down opens.
  void user_click() override;

 private:
  // Where the item is in its menu now; raises when the menu or the item is gone.
  UINT position() const;
  int find() const;

  MainPeer* main_;
  HMENU menu_;
  UINT id_;
  HMENU popup_;
  std::string caption_;
  bool visible_;
};

}  // namespace rt::win32
