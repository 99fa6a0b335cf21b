#include "runtime/win32/main_peer.h"

#include <algorithm>

#include "runtime/win32/child_peer.h"
#include "runtime/win32/mdi_client.h"
#include "runtime/win32/menu_peer.h"

namespace rt::win32 {
namespace {

// The largest a window can be; a client area asked larger gets what is left inside it.
constexpr LONG kMaxWindowPixels = 32767;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Posted by WM_CLOSE: the windows are taken down from the message loop, not inside the frame's
// own WM_CLOSE.
constexpr UINT kClosing = WM_APP + 1;

}  // namespace

const wchar_t* MainPeer::class_name() {
  return L"mdiresize.MainWindow";
}

MainPeer::MainPeer(Win32WindowSystem& ws, Object& owner, const FormDesign& design)
    : Win32Peer(ws, owner), menus_(design.menus), caption_(design.caption) {
  ws.person().set_main_window(this);
  if (!menus_.empty()) {
    bar_ = CreateMenu();
    check(bar_ != nullptr, "CreateMenu", path());
  }
  wanted_client_ = SIZE{ws.to_pixels(design.client_width), ws.to_pixels(design.client_height)};
  RECT outer{0, 0, wanted_client_.cx, wanted_client_.cy};
  check(AdjustWindowRectEx(&outer, kStyle, bar_ != nullptr, 0) != 0, "AdjustWindowRectEx", path());
  // The desktop chooses where the window goes.
  const HWND window =
      CreateWindowExW(0, class_name(), to_wide(design.caption).c_str(), kStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                      bar_, GetModuleHandleW(nullptr), this);
  if (window == nullptr) {
    if (bar_ != nullptr) DestroyMenu(bar_);
    ws.rethrow_failure();
    platform_failed("CreateWindowEx", path());
  }
  try {
    client_ = std::make_unique<MdiClient>(ws, window, design.back_color);
    RECT area;
    check(GetClientRect(window, &area) != 0, "GetClientRect", path());
    check(MoveWindow(client_->hwnd(), 0, 0, area.right, area.bottom, TRUE) != 0, "MoveWindow",
          path());
  } catch (...) {
    DestroyWindow(window);  // the menu bar with it
    client_.reset();
    throw;
  }
}

MainPeer::~MainPeer() {
  Win32WindowSystem::ProgramChange change(ws());
  // The MDI client and the menu bar go with the frame.
  if (hwnd() != nullptr && IsWindow(hwnd()) && of(hwnd()) == this) {
    DestroyWindow(hwnd());
  } else if (bar_ != nullptr && IsMenu(bar_) != 0) {
    DestroyMenu(bar_);
  }
  client_.reset();
  ws().main_ = nullptr;
  ws().client_ = nullptr;
}

LRESULT CALLBACK MainPeer::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* peer = static_cast<MainPeer*>(of(window));
  if (message == WM_NCCREATE && peer == nullptr) {
    peer = static_cast<MainPeer*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    try {
      peer->attach(window);
    } catch (...) {
      peer->ws().keep_failure(std::current_exception());
      return FALSE;
    }
  }
  if (peer == nullptr) return DefFrameProcW(window, nullptr, message, wparam, lparam);
  Win32WindowSystem& ws = peer->ws();
  try {
    if (message == kClosing) {
      // The peer goes with the windows: nothing of it is touched after this.
      ws.main_window_closing();
      return 0;
    }
    return peer->handle(message, wparam, lparam);
  } catch (...) {
    ws.keep_failure(std::current_exception());
    return 0;
  }
}

LRESULT MainPeer::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      // As small as a person likes, and as large as a window can be.
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      limits->ptMinTrackSize = POINT{0, 0};
      limits->ptMaxTrackSize = POINT{kMaxWindowPixels, kMaxWindowPixels};
      return 0;
    }
    case WM_CLOSE:
      // Closing the main window ends the program.
      check(PostMessageW(hwnd(), kClosing, 0, 0) != 0, "PostMessage", path());
      return 0;
    case WM_COMMAND:
      if (lparam == 0) {  // a menu's
        const UINT id = LOWORD(wparam);
        if (MenuPeer* item = menu_peer(id)) {
          ws().report_click(item->owner());
          return 0;
        }
        if (ChildPeer* child = ws().window_list_entry(id)) {
          ws().choose_window(*child);
          return 0;
        }
        if (id == about_id_ && about_id_ != 0 && ws().about()) {
          const std::string title = "About " + ws().about()->name;
          MessageBoxA(hwnd(), about_text(*ws().about()).c_str(), title.c_str(),
                      MB_OK | MB_ICONINFORMATION);
          return 0;
        }
      }
      break;
    case WM_INITMENUPOPUP:
      // A drop-down of the program's opens: its Click, as a menu title's.
      if (HIWORD(lparam) == FALSE) {
        if (MenuPeer* item = drop_down(reinterpret_cast<HMENU>(wparam))) {
          ws().report_click(item->owner());
        }
      }
      break;
    default:
      break;
  }
  return DefFrameProcW(hwnd(), client_ != nullptr ? client_->hwnd() : nullptr, message, wparam,
                       lparam);
}

MenuPeer* MainPeer::menu_peer(UINT id) const {
  const auto found = std::find_if(menu_peers_.begin(), menu_peers_.end(),
                                  [&](const MenuPeer* item) { return item->id() == id; });
  return found == menu_peers_.end() ? nullptr : *found;
}

MenuPeer* MainPeer::drop_down(HMENU popup) const {
  const auto found = std::find_if(
      menu_peers_.begin(), menu_peers_.end(),
      [&](const MenuPeer* item) { return item->popup() != nullptr && item->popup() == popup; });
  return found == menu_peers_.end() ? nullptr : *found;
}

void MainPeer::show() {
  const HWND window = alive();
  Win32WindowSystem::ProgramChange change(ws());
  if (IsWindowVisible(window) == 0) {
    if (window_menu_ != nullptr) {
      // The platform's own window list, at the end of the drop-down; the frame's menu stays.
      ws().send(client_->hwnd(), WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(window_menu_));
      check(DrawMenuBar(window) != 0, "DrawMenuBar", path());
    }
    // The platform's window list ends its drop-down, so the About box has a menu of its own
    // after the design's.
    if (ws().about() && about_id_ == 0 && bar_ != nullptr) {
      const HMENU help = CreatePopupMenu();
      check(help != nullptr, "CreatePopupMenu", path());
      const std::wstring entry = to_wide("&About " + ws().about()->name);
      if (AppendMenuW(help, MF_STRING, next_id_, entry.c_str()) == 0 ||
          AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help") == 0) {
        DestroyMenu(help);
        platform_failed("AppendMenu", path());
      }
      about_id_ = next_id_++;
      check(DrawMenuBar(window) != 0, "DrawMenuBar", path());
    }
    // The designed client size, now that the menu bar has its items.
    set_client_size(wanted_client_);
  }
  ShowWindow(window, SW_SHOW);
  check(IsWindowVisible(window) != 0, "ShowWindow", path());
  ws().main_window_shown();
}

Rect MainPeer::geometry() {
  const HWND window = alive();
  RECT frame;
  check(GetWindowRect(window, &frame) != 0, "GetWindowRect", path());
  const SIZE area = client_->size();
  return Rect{ws().to_twips(frame.left), ws().to_twips(frame.top), ws().to_twips(area.cx),
              ws().to_twips(area.cy)};
}

bool MainPeer::place(const Placement& placement) {
  const HWND window = alive();
  Win32WindowSystem::ProgramChange change(ws());
  if (placement.left || placement.top) {
    RECT frame;
    check(GetWindowRect(window, &frame) != 0, "GetWindowRect", path());
    check(
        SetWindowPos(window, nullptr, placement.left ? ws().to_pixels(*placement.left) : frame.left,
                     placement.top ? ws().to_pixels(*placement.top) : frame.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != 0,
        "SetWindowPos", path());
  }
  bool resized = false;
  if (placement.width || placement.height) {
    const SIZE now = client_->size();
    wanted_client_ =
        SIZE{placement.width ? std::max(0, ws().to_pixels(*placement.width)) : now.cx,
             placement.height ? std::max(0, ws().to_pixels(*placement.height)) : now.cy};
    resized = set_client_size(wanted_client_);
  }
  if (ws().main_shown_) ws().known_client_ = client_->size();
  return resized;
}

Size MainPeer::client_size() {
  alive();
  const SIZE area = client_->viewport();
  return Size{ws().to_twips(area.cx), ws().to_twips(area.cy)};
}

void MainPeer::set_text(std::string_view text) {
  check(SetWindowTextW(alive(), to_wide(text).c_str()) != 0, "SetWindowText", path());
  caption_ = text;
}

std::string MainPeer::text() {
  alive();
  return caption_;
}

PeerState MainPeer::inspect() const {
  PeerState state;
  if (hwnd() == nullptr || !IsWindow(hwnd())) return state;
  RECT frame;
  check(GetWindowRect(hwnd(), &frame) != 0, "GetWindowRect", path());
  const SIZE area = client_->size();
  state.geometry = Rect{ws().to_twips(frame.left), ws().to_twips(frame.top), ws().to_twips(area.cx),
                        ws().to_twips(area.cy)};
  const SIZE viewport = client_->viewport();
  state.client = Size{ws().to_twips(viewport.cx), ws().to_twips(viewport.cy)};
  state.text = caption_;
  state.visible = IsWindowVisible(hwnd()) != 0;
  return state;
}

void MainPeer::user_resize_client(const Size& client) {
  ws().resize_client(client);
}

void MainPeer::user_cycle_children(Cycle cycle) {
  ws().cycle_children(cycle);
}

std::unique_ptr<MenuPeer> MainPeer::add_menu_item(const MenuDesign& design, Object& owner) {
  if (bar_ == nullptr) raise(ErrorCode::Internal, owner.path() + ": the design has no menus");
  HMENU menu = bar_;
  HMENU popup = nullptr;
  if (!design.parent.empty()) {
    const auto parent = drop_downs_.find(design.parent);
    if (parent == drop_downs_.end()) {
      raise(ErrorCode::Internal, "menu " + design.name + ": no drop-down " + design.parent);
    }
    menu = parent->second;
  } else if (std::any_of(menus_.begin(), menus_.end(),
                         [&](const MenuDesign& m) { return m.parent == design.name; })) {
    popup = CreatePopupMenu();
    check(popup != nullptr, "CreatePopupMenu", owner.path());
  }
  // After the program's items already there: the window list, and a maximised child's system
  // menu and buttons, are the platform's and stay around them.
  UINT at = 0;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW existing{};
    existing.cbSize = sizeof existing;
    existing.fMask = MIIM_ID;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &existing) != 0 &&
        menu_peer(existing.wID) != nullptr) {
      at = static_cast<UINT>(i) + 1;
    }
  }
  const UINT id = next_id_++;
  std::wstring caption = to_wide(design.caption);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | (popup != nullptr ? MIIM_SUBMENU : 0u);
  info.wID = id;
  info.dwTypeData = caption.data();
  info.fState = (design.checked ? MFS_CHECKED : 0u) | (design.enabled ? 0u : MFS_GRAYED);
  info.hSubMenu = popup;
  if (InsertMenuItemW(menu, at, TRUE, &info) == 0) {
    if (popup != nullptr) DestroyMenu(popup);
    platform_failed("InsertMenuItem", owner.path());
  }
  if (popup != nullptr) {
    drop_downs_[design.name] = popup;
    if (design.window_list) window_menu_ = popup;
  }
  menu_changed();
  return std::make_unique<MenuPeer>(ws(), owner, design, *this, menu, id, popup);
}

void MainPeer::menu_changed() {
  if (hwnd() != nullptr && IsWindowVisible(hwnd()) != 0) {
    check(DrawMenuBar(hwnd()) != 0, "DrawMenuBar", path());
  }
}

bool MainPeer::set_client_size(SIZE size) {
  const HWND window = alive();
  size.cx = std::clamp(size.cx, 0L, kMaxWindowPixels);
  size.cy = std::clamp(size.cy, 0L, kMaxWindowPixels);
  const SIZE before = client_->size();
  const auto resize = [&](LONG width, LONG height) {
    check(SetWindowPos(window, nullptr, 0, 0, std::clamp(width, 0L, kMaxWindowPixels),
                       std::clamp(height, 0L, kMaxWindowPixels),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0,
          "SetWindowPos", path());
    ws().rethrow_failure();
  };
  // The menu bar may take another height at another width (it wraps): measure again.
  bool room_made = false;
  for (int attempt = 0; attempt < 6; ++attempt) {
    RECT frame;
    check(GetWindowRect(window, &frame) != 0, "GetWindowRect", path());
    const SIZE now = client_->size();
    const LONG width =
        std::clamp(frame.right - frame.left + size.cx - now.cx, 0L, kMaxWindowPixels);
    const LONG height =
        std::clamp(frame.bottom - frame.top + size.cy - now.cy, 0L, kMaxWindowPixels);
    if (width == frame.right - frame.left && height == frame.bottom - frame.top) break;
    resize(width, height);
    // In a window of no width the platform lays the menu bar out in what height the window has:
    // what was added went to it. Room for all its items a row each, then back from there.
    if (!room_made && height > frame.bottom - frame.top && client_->size().cy == now.cy) {
      room_made = true;
      resize(width, height + GetMenuItemCount(bar_) * GetSystemMetrics(SM_CYMENU));
    }
  }
  const SIZE after = client_->size();
  return after.cx != before.cx || after.cy != before.cy;
}

}  // namespace rt::win32
