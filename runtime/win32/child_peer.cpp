#include "runtime/win32/child_peer.h"

#include <algorithm>

#include "runtime/win32/control_peer.h"
#include "runtime/win32/mdi_client.h"

namespace rt::win32 {
namespace {

// The largest length a window's coordinates hold.
constexpr LONG kMaxPixels = 32767;

bool same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool same_size(const RECT& a, const RECT& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

DWORD style_of(const FormDesign& design) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (design.border_style == BorderStyle::None) return style;
  style |= WS_CAPTION | WS_SYSMENU;
  if (design.border_style == BorderStyle::Sizable) style |= WS_THICKFRAME;
  if (design.min_button) style |= WS_MINIMIZEBOX;
  if (design.max_button) style |= WS_MAXIMIZEBOX;
  return style;
}

}  // namespace

const wchar_t* ChildPeer::class_name() {
  return L"mdiresize.ChildForm";
}

ChildPeer::ChildPeer(Win32WindowSystem& ws, Object& owner, const FormDesign& design,
                     MdiClient& client)
    : Win32Peer(ws, owner),
      client_(&client),
      caption_(design.caption),
      framed_(design.border_style != BorderStyle::None),
      min_button_(framed_ && design.min_button),
      max_button_(framed_ && design.max_button) {
  // A colour of the design's: the system's own brush for a system colour.
  own_background_ = (design.back_color & 0x80000000u) == 0;
  background_ = own_background_ ? CreateSolidBrush(design.back_color & 0x00FFFFFFu)
                                : GetSysColorBrush(static_cast<int>(design.back_color & 0xFFu));
  check(background_ != nullptr, "CreateSolidBrush", path());

  const DWORD style = style_of(design);
  RECT outer{0, 0, ws.to_pixels(design.client_width), ws.to_pixels(design.client_height)};
  check(AdjustWindowRectEx(&outer, style, FALSE, WS_EX_MDICHILD) != 0, "AdjustWindowRectEx",
        path());
  const std::wstring title = to_wide(design.caption);
  MDICREATESTRUCTW create{};
  create.szClass = class_name();
  create.szTitle = title.c_str();
  create.hOwner = GetModuleHandleW(nullptr);
  // Where the platform cascades a new child to; hidden until the program shows it.
  create.x = CW_USEDEFAULT;
  create.y = CW_USEDEFAULT;
  create.cx = outer.right - outer.left;
  create.cy = outer.bottom - outer.top;
  create.style = style;
  create.lParam = reinterpret_cast<LPARAM>(this);
  ws.children_.push_back(this);
  Win32WindowSystem::ProgramChange change(ws);
  const auto window = reinterpret_cast<HWND>(
      SendMessageW(client.hwnd(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  if (window == nullptr || window != hwnd()) {
    std::erase(ws.children_, this);
    if (own_background_) DeleteObject(background_);
    ws.rethrow_failure();
    platform_failed("WM_MDICREATE", path());
  }
  try {
    ws.rethrow_failure();
    // The frame as the platform draws it, caption included.
    RECT window_area;
    RECT client_area;
    check(GetWindowRect(window, &window_area) != 0, "GetWindowRect", path());
    check(GetClientRect(window, &client_area) != 0, "GetClientRect", path());
    SetLastError(0);
    check(MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client_area), 2) != 0 ||
              GetLastError() == 0,
          "MapWindowPoints", path());
    frame_ = RECT{client_area.left - window_area.left, client_area.top - window_area.top,
                  window_area.right - client_area.right, window_area.bottom - client_area.bottom};
    normal_ = window_rect();
  } catch (...) {
    std::erase(ws.children_, this);
    SendMessageW(client.hwnd(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    if (own_background_) DeleteObject(background_);
    throw;
  }
}

ChildPeer::~ChildPeer() {
  std::erase(ws().children_, this);
  if (ws().active_ == this) ws().active_ = nullptr;
  if (hwnd() != nullptr && IsWindow(hwnd()) && of(hwnd()) == this) {
    Win32WindowSystem::ProgramChange change(ws());
    if (ws().client_ != nullptr) {
      SendMessageW(ws().client_->hwnd(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd()), 0);
    } else {
      DestroyWindow(hwnd());
    }
  }
  if (own_background_) DeleteObject(background_);
}

LRESULT CALLBACK ChildPeer::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* peer = static_cast<ChildPeer*>(of(window));
  if (message == WM_NCCREATE && peer == nullptr) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    const auto* mdi = static_cast<const MDICREATESTRUCTW*>(create->lpCreateParams);
    peer = reinterpret_cast<ChildPeer*>(mdi->lParam);
    try {
      peer->attach(window);
    } catch (...) {
      peer->ws().keep_failure(std::current_exception());
      return FALSE;
    }
  }
  if (peer == nullptr) return DefMDIChildProcW(window, message, wparam, lparam);
  try {
    return peer->handle(message, wparam, lparam);
  } catch (...) {
    peer->ws().keep_failure(std::current_exception());
    return 0;
  }
}

LRESULT ChildPeer::default_handling(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefMDIChildProcW(hwnd(), message, wparam, lparam);
}

LRESULT ChildPeer::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      const LRESULT result = default_handling(message, wparam, lparam);
      // Any size the program gives it, as on the other window systems.
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      limits->ptMinTrackSize = POINT{0, 0};
      limits->ptMaxTrackSize = POINT{kMaxPixels, kMaxPixels};
      return result;
    }
    case WM_CLOSE:
      return 0;
    case WM_SYSCOMMAND:
      if (native_ops_ > 0) break;
      switch (wparam & 0xFFF0) {
        case SC_CLOSE:
          return 0;
        case SC_MINIMIZE:
          title_bar_button(WindowState::Minimized);
          return 0;
        case SC_MAXIMIZE:
          title_bar_button(WindowState::Maximized);
          return 0;
        case SC_RESTORE:
          title_bar_button(WindowState::Normal);
          return 0;
        default:
          break;
      }
      break;
    case WM_CHILDACTIVATE: {
      // However it comes (a click, the keyboard, the window list): the platform's activation,
      // and the order the program keeps.
      MdiClient::Activation activation(*client_, hwnd());
      const LRESULT result = default_handling(message, wparam, lparam);
      activation.finish();
      return result;
    }
    case WM_WINDOWPOSCHANGED:
      // Moved or sized by the person: told before the Resize that the size change brings.
      if (state_ == WindowState::Normal && native_ops_ == 0 && ws().person_acting()) {
        const RECT now = window_rect();
        if (!same(now, normal_)) {
          normal_ = now;
          ws().report_place(*this);
        }
      }
      break;
    case WM_SIZE: {
      const LRESULT result = default_handling(message, wparam, lparam);
      if (wparam == SIZE_RESTORED && state_ == WindowState::Normal && native_ops_ == 0) {
        ws().report_child_resized(*this);
      }
      return result;
    }
    case WM_COMMAND:
      if (ControlPeer* control = control_of(reinterpret_cast<HWND>(lparam))) {
        control->notified(HIWORD(wparam));
        return 0;
      }
      break;
    case WM_ERASEBKGND: {
      RECT area;
      check(GetClientRect(hwnd(), &area) != 0, "GetClientRect", path());
      FillRect(reinterpret_cast<HDC>(wparam), &area, background_);
      return 1;
    }
    default:
      break;
  }
  return default_handling(message, wparam, lparam);
}

ControlPeer* ChildPeer::control_of(HWND window) const {
  if (window == nullptr) return nullptr;
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [&](const ControlPeer* c) { return c->hwnd() == window; });
  return found == controls_.end() ? nullptr : *found;
}

bool ChildPeer::visible() const {
  return hwnd() != nullptr && (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT ChildPeer::window_rect() const {
  RECT rect;
  check(GetWindowRect(hwnd(), &rect) != 0, "GetWindowRect", path());
  SetLastError(0);
  check(MapWindowPoints(nullptr, client_->hwnd(), reinterpret_cast<POINT*>(&rect), 2) != 0 ||
            GetLastError() == 0,
        "MapWindowPoints", path());
  return rect;
}

SIZE ChildPeer::client_area() const {
  return SIZE{std::max(0L, normal_.right - normal_.left - frame_.left - frame_.right),
              std::max(0L, normal_.bottom - normal_.top - frame_.top - frame_.bottom)};
}

void ChildPeer::show() {
  const HWND window = alive();
  Win32WindowSystem::ProgramChange change(ws());
  // A child shown is the active one, as a new window on the desktop is.
  MdiClient::Activation activation(*client_, window);
  ShowWindow(window, SW_SHOW);
  check(visible(), "ShowWindow", path());
  ws().send(client_->hwnd(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window));
  activation.finish();
}

Rect ChildPeer::geometry() {
  alive();
  if (state_ == WindowState::Normal) normal_ = window_rect();
  return ws().to_twips(normal_);
}

bool ChildPeer::place(const Placement& placement) {
  const HWND window = alive();
  if (state_ != WindowState::Normal) {
    // Minimised or maximised, the window stays as it is; it goes there when restored.
    const RECT next = ws().placed(normal_, placement);
    const bool resized = !same_size(next, normal_);
    normal_ = next;
    return resized;
  }
  const RECT before = window_rect();
  const RECT next = ws().placed(before, placement);
  {
    Win32WindowSystem::ProgramChange change(ws());
    check(SetWindowPos(window, nullptr, next.left, next.top, next.right - next.left,
                       next.bottom - next.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != 0,
          "SetWindowPos", path());
    ws().rethrow_failure();
  }
  normal_ = window_rect();
  return !same_size(before, normal_);
}

Size ChildPeer::client_size() {
  const HWND window = alive();
  SIZE size = client_area();
  if (state_ == WindowState::Normal) {
    RECT area;
    check(GetClientRect(window, &area) != 0, "GetClientRect", path());
    size = SIZE{area.right, area.bottom};
  }
  return Size{ws().to_twips(size.cx), ws().to_twips(size.cy)};
}

void ChildPeer::set_text(std::string_view text) {
  const HWND window = alive();
  check(SetWindowTextW(window, to_wide(text).c_str()) != 0, "SetWindowText", path());
  caption_ = text;
}

std::string ChildPeer::text() {
  alive();
  return caption_;
}

PeerState ChildPeer::inspect() const {
  PeerState state;
  if (hwnd() == nullptr || !IsWindow(hwnd())) return state;
  RECT shown = window_rect();
  state.geometry = ws().to_twips(state_ == WindowState::Normal ? shown : normal_);
  SIZE client = client_area();
  if (state_ == WindowState::Normal) {
    RECT area;
    check(GetClientRect(hwnd(), &area) != 0, "GetClientRect", path());
    client = SIZE{area.right, area.bottom};
  }
  state.client = Size{ws().to_twips(client.cx), ws().to_twips(client.cy)};
  state.text = caption_;
  state.visible = visible();
  state.window_state = state_;
  if (state_ == WindowState::Maximized) {
    // What of it shows: the area the bars leave (a natively maximised child's frame lies
    // outside it).
    const SIZE area = client_->viewport();
    shown = RECT{std::clamp(shown.left, 0L, area.cx), std::clamp(shown.top, 0L, area.cy),
                 std::clamp(shown.right, 0L, area.cx), std::clamp(shown.bottom, 0L, area.cy)};
  }
  state.shown = ws().to_twips(shown);
  state.z = client_->z_of(*this);
  return state;
}

void ChildPeer::title_bar_button(WindowState state) {
  if (state == state_) return;
  if ((state == WindowState::Minimized && !min_button_) ||
      (state == WindowState::Maximized && !max_button_)) {
    return;  // no such button
  }
  change_state(state);
  ws().tell_person(UserAction::set_window_state(owner(), state));
}

void ChildPeer::native(UINT message) {
  ++native_ops_;
  struct Done {
    int& ops;
    ~Done() { --ops; }
  } done{native_ops_};
  ws().send(client_->hwnd(), message, reinterpret_cast<WPARAM>(hwnd()));
}

void ChildPeer::change_state(WindowState state) {
  const HWND window = alive();
  Win32WindowSystem::Consequences consequences(ws());
  // The order before the platform restacks on its way.
  MdiClient::Activation activation(*client_, window);
  state_ = state;
  switch (state) {
    case WindowState::Minimized: {
      ++native_ops_;
      struct Done {
        int& ops;
        ~Done() { --ops; }
      } done{native_ops_};
      DefMDIChildProcW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      ws().rethrow_failure();
      check(IsIconic(window) != 0, "SC_MINIMIZE", path());
      break;
    }
    case WindowState::Maximized:
      native(WM_MDIMAXIMIZE);
      check(IsZoomed(window) != 0, "WM_MDIMAXIMIZE", path());
      break;
    case WindowState::Normal: {
      // An icon that was maximised before goes back to maximised first.
      for (int step = 0; step < 2 && (IsIconic(window) != 0 || IsZoomed(window) != 0); ++step) {
        native(WM_MDIRESTORE);
      }
      check(IsIconic(window) == 0 && IsZoomed(window) == 0, "WM_MDIRESTORE", path());
      // Where the last placement put it, not where the platform kept from before.
      Win32WindowSystem::ProgramChange change(ws());
      check(SetWindowPos(window, nullptr, normal_.left, normal_.top, normal_.right - normal_.left,
                         normal_.bottom - normal_.top,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != 0,
            "SetWindowPos", path());
      break;
    }
  }
  ws().send(client_->hwnd(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window));
  activation.finish();
}

void ChildPeer::activate() {
  const HWND window = alive();
  ws().send(client_->hwnd(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window));
}

void ChildPeer::choose() {
  if (state_ == WindowState::Minimized) {
    change_state(WindowState::Normal);
  } else {
    activate();
  }
}

void ChildPeer::demote() {
  if (IsZoomed(hwnd()) == 0) return;
  native(WM_MDIRESTORE);
  check(IsZoomed(hwnd()) == 0, "WM_MDIRESTORE", path());
}

void ChildPeer::promote() {
  if (IsZoomed(hwnd()) != 0) return;
  native(WM_MDIMAXIMIZE);
  check(IsZoomed(hwnd()) != 0, "WM_MDIMAXIMIZE", path());
}

void ChildPeer::cover(const RECT& area) {
  if (same(window_rect(), area)) return;
  Win32WindowSystem::ProgramChange change(ws());
  check(
      SetWindowPos(hwnd(), nullptr, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != 0,
      "SetWindowPos", path());
}

void ChildPeer::move_icon(POINT where) {
  const RECT now = window_rect();
  if (now.left == where.x && now.top == where.y) return;
  Win32WindowSystem::ProgramChange change(ws());
  check(SetWindowPos(hwnd(), nullptr, where.x, where.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != 0,
        "SetWindowPos", path());
}

void ChildPeer::user_place(const Rect& rect) {
  // An icon or a maximised window has no frame to drag. Not a program change: a child that
  // changes size reports it from its WM_SIZE.
  if (state_ == WindowState::Normal && hwnd() != nullptr && IsWindow(hwnd())) {
    const RECT to = ws().to_pixels(rect);
    SetWindowPos(hwnd(), nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
  ws().settle();
}

void ChildPeer::user_set_window_state(WindowState state) {
  if (hwnd() != nullptr && IsWindow(hwnd())) {
    // As the title bar's buttons do.
    static constexpr WPARAM kCommands[] = {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE};
    SendMessageW(hwnd(), WM_SYSCOMMAND, kCommands[static_cast<int>(state)], 0);
  }
  ws().settle();
}

void ChildPeer::user_activate() {
  if (hwnd() != nullptr && IsWindow(hwnd())) {
    SendMessageW(client_->hwnd(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd()), 0);
  }
  ws().settle();
}

void ChildPeer::user_choose_window() {
  ws().choose_window_entry(*this);
  ws().settle();
}

}  // namespace rt::win32
