#include "runtime/win32/menu_peer.h"

#include "runtime/win32/main_peer.h"

namespace rt::win32 {

MenuPeer::MenuPeer(Win32WindowSystem& ws, Object& owner, const MenuDesign& design, MainPeer& main,
                   HMENU menu, UINT id, HMENU popup)
    : Win32Peer(ws, owner),
      main_(&main),
      menu_(menu),
      id_(id),
      popup_(popup),
      caption_(design.caption),
      visible_(design.visible) {
  main.add_menu_peer(*this);
}

MenuPeer::~MenuPeer() {
  main_->remove_menu_peer(*this);
  // Deleting a drop-down's item destroys the drop-down with it.
  if (IsMenu(menu_) != 0) {
    if (const int at = find(); at >= 0) DeleteMenu(menu_, static_cast<UINT>(at), MF_BYPOSITION);
  }
}

int MenuPeer::find() const {
  const int count = GetMenuItemCount(menu_);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    if (GetMenuItemInfoW(menu_, static_cast<UINT>(i), TRUE, &info) != 0 && info.wID == id_) {
      return i;
    }
  }
  return -1;
}

UINT MenuPeer::position() const {
  if (IsMenu(menu_) == 0) raise(ErrorCode::PlatformCallFailed, path() + " has no menu");
  const int at = find();
  if (at < 0) raise(ErrorCode::PlatformCallFailed, path() + " is not in its menu");
  return static_cast<UINT>(at);
}

void MenuPeer::set_text(std::string_view text) {
  const UINT at = position();
  std::wstring wide = to_wide(text);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = wide.data();
  check(SetMenuItemInfoW(menu_, at, TRUE, &info) != 0, "SetMenuItemInfo", path());
  caption_ = text;
  main_->menu_changed();
}

std::string MenuPeer::text() {
  position();
  return caption_;
}

bool MenuPeer::checked() {
  const UINT state = GetMenuState(menu_, position(), MF_BYPOSITION);
  check(state != static_cast<UINT>(-1), "GetMenuState", path());
  return (state & MF_CHECKED) != 0;
}

void MenuPeer::set_checked(bool checked) {
  const DWORD before =
      CheckMenuItem(menu_, position(), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
  check(before != static_cast<DWORD>(-1), "CheckMenuItem", path());
}

PeerState MenuPeer::inspect() const {
  PeerState state;
  state.text = caption_;
  if (IsMenu(menu_) == 0) return state;
  const int at = find();
  if (at < 0) return state;
  state.checked = (GetMenuState(menu_, static_cast<UINT>(at), MF_BYPOSITION) & MF_CHECKED) != 0;
  state.visible = visible_;
  return state;
}

void MenuPeer::user_click() {
  if (IsMenu(menu_) != 0) {
    const int at = find();
    const HWND frame = main_->hwnd();
    if (popup_ != nullptr && at >= 0) {
      // What the frame hears as the drop-down opens.
      SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup_),
                   MAKELPARAM(static_cast<WORD>(at), FALSE));
      SendMessageW(frame, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(popup_), 0);
    } else if (at >= 0) {
      // A chosen command comes to the frame as WM_COMMAND from a menu.
      SendMessageW(frame, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id_), 0), 0);
    }
  }
  ws().settle();
}

}  // namespace rt::win32
