#include "runtime/win32/mdi_client.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "runtime/win32/child_peer.h"
#include "runtime/win32/win32_peer.h"
#include "runtime/win32/win32_window_system.h"

namespace rt::win32 {
namespace {

// A brush of a colour as the forms runtime stores it: the high bit set for a system colour (the
// low bits its number), else 0x00BBGGRR. A system colour's brush is the system's own.
HBRUSH brush_for(std::uint32_t colour, bool& own) {
  own = (colour & 0x80000000u) == 0;
  if (own) return CreateSolidBrush(colour & 0x00FFFFFFu);
  return GetSysColorBrush(static_cast<int>(colour & 0xFFu));
}

// The message an MDI client posts itself to bring its scroll bars up to date after a child moved
// or changed size; it is not in the SDK's headers.
constexpr UINT kCalcChildScroll = 0x003F;

// What a bar takes of the client area: its width or height, but only from a window with room
// for it (below that the platform leaves the area as it is). The least window width and height
// from which it does are measured once, on a window of the platform's own.
struct BarRoom {
  LONG width_from;
  LONG height_from;
};

BarRoom bar_room() {
  static const BarRoom room = [] {
    const int bar_width = GetSystemMetrics(SM_CXVSCROLL);
    const int bar_height = GetSystemMetrics(SM_CYHSCROLL);
    BarRoom found{bar_width, bar_height};
    const HWND probe =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_HSCROLL | WS_VSCROLL, 0, 0, 100, 100,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr) return found;
    ShowScrollBar(probe, SB_BOTH, TRUE);
    const auto client_of = [probe](LONG width, LONG height) {
      SetWindowPos(probe, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      RECT area{};
      GetClientRect(probe, &area);
      return area;
    };
    for (LONG width = bar_width - 1; width <= bar_width + 1; ++width) {
      if (client_of(width, 100).right < width) {
        found.width_from = width;
        break;
      }
    }
    for (LONG height = bar_height - 1; height <= bar_height + 1; ++height) {
      if (client_of(100, height).bottom < height) {
        found.height_from = height;
        break;
      }
    }
    DestroyWindow(probe);
    return found;
  }();
  return room;
}

// The area that `bars` leave of a client area of `whole`.
SIZE area_left(SIZE whole, const ScrollBars& bars) {
  const BarRoom room = bar_room();
  const bool vertical = bars.vertical && whole.cx >= room.width_from;
  const bool horizontal = bars.horizontal && whole.cy >= room.height_from;
  return SIZE{std::max(0L, whole.cx - (vertical ? GetSystemMetrics(SM_CXVSCROLL) : 0)),
              std::max(0L, whole.cy - (horizontal ? GetSystemMetrics(SM_CYHSCROLL) : 0))};
}

}  // namespace

MdiClient::MdiClient(Win32WindowSystem& ws, HWND frame, std::uint32_t back_color) : ws_(ws) {
  background_ = brush_for(back_color, own_background_);
  check(background_ != nullptr, "CreateSolidBrush", "the client area");
  CLIENTCREATESTRUCT create{};
  create.hWindowMenu = nullptr;  // the window list's drop-down is set once the menus are made
  create.idFirstChild = kFirstChildId;
  // No client edge: the client area is exactly the frame's, as the program lays it out.
  hwnd_ = CreateWindowExW(
      0, L"MDICLIENT", nullptr,
      WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | MDIS_ALLCHILDSTYLES, 0, 0,
      0, 0, frame, nullptr, GetModuleHandleW(nullptr), &create);
  check(hwnd_ != nullptr, "CreateWindowEx MDICLIENT", "the main window");
  SetLastError(0);
  check(SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this)) != 0 ||
            GetLastError() == 0,
        "SetWindowLongPtr", "the client area");
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure)));
  check(original_ != nullptr, "SetWindowLongPtr", "the client area");
  // Made with both bars showing; an area without children has nothing to scroll to.
  check(ShowScrollBar(hwnd_, SB_BOTH, FALSE) != 0, "ShowScrollBar", "the client area");
}

MdiClient::~MdiClient() {
  if (IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
  if (own_background_) DeleteObject(background_);
}

LRESULT CALLBACK MdiClient::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* client = reinterpret_cast<MdiClient*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (client == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  try {
    return client->handle(message, wparam, lparam);
  } catch (...) {
    client->ws_.keep_failure(std::current_exception());
    return 0;
  }
}

LRESULT MdiClient::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kCalcChildScroll: {
      // The bars as they are documented, by the children's rectangles; Wine's own update hides
      // a bar that a child reaching past the edge calls for, and with it the other.
      Win32WindowSystem::ProgramChange change(ws_);
      show_bars(wanted_bars());
      return 0;
    }
    case WM_SIZE: {
      // The platform first: it sizes a maximised child to the new area.
      const LRESULT result = CallWindowProcW(original_, hwnd_, message, wparam, lparam);
      ws_.client_area_resized();
      return result;
    }
    case WM_MDIACTIVATE:
    case WM_MDINEXT: {
      // Before the platform would maximise the newly active child in place of a maximised one.
      Activation activation(*this,
                            message == WM_MDIACTIVATE ? reinterpret_cast<HWND>(wparam) : nullptr);
      const LRESULT result = CallWindowProcW(original_, hwnd_, message, wparam, lparam);
      activation.finish();
      return result;
    }
    case WM_ERASEBKGND: {
      RECT area;
      check(GetClientRect(hwnd_, &area) != 0, "GetClientRect", "the client area");
      FillRect(reinterpret_cast<HDC>(wparam), &area, background_);
      return 1;
    }
    default:
      return CallWindowProcW(original_, hwnd_, message, wparam, lparam);
  }
}

SIZE MdiClient::size() const {
  RECT rect;
  check(GetWindowRect(hwnd_, &rect) != 0, "GetWindowRect", "the client area");
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

SIZE MdiClient::viewport() const {
  RECT rect;
  check(GetClientRect(hwnd_, &rect) != 0, "GetClientRect", "the client area");
  return SIZE{rect.right, rect.bottom};
}

ScrollBars MdiClient::bars() const {
  const auto shown = [this](LONG bar) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    check(GetScrollBarInfo(hwnd_, bar, &info) != 0, "GetScrollBarInfo", "the client area");
    return (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0;
  };
  return ScrollBars{shown(OBJID_HSCROLL), shown(OBJID_VSCROLL)};
}

ChildPeer* MdiClient::active() const {
  return ws_.child_of(reinterpret_cast<HWND>(SendMessageW(hwnd_, WM_MDIGETACTIVE, 0, 0)));
}

std::vector<ChildPeer*> MdiClient::stacking() const {
  std::vector<ChildPeer*> order;
  for (HWND window = GetWindow(hwnd_, GW_CHILD); window != nullptr;
       window = GetWindow(window, GW_HWNDNEXT)) {
    if (ChildPeer* child = ws_.child_of(window)) order.push_back(child);
  }
  return order;
}

void MdiClient::restack(const std::vector<ChildPeer*>& order) {
  if (stacking() == order) return;
  HWND after = HWND_TOP;
  for (ChildPeer* child : order) {
    check(SetWindowPos(child->hwnd(), after, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != 0,
          "SetWindowPos", child->owner().path());
    after = child->hwnd();
  }
}

int MdiClient::z_of(const ChildPeer& child) const {
  const std::vector<ChildPeer*> order = stacking();
  const auto found = std::find(order.begin(), order.end(), &child);
  return found == order.end() ? -1 : static_cast<int>(found - order.begin());
}

MdiClient::Activation::Activation(MdiClient& client, HWND target) : client_(&client) {
  client.activation_begins(target);
}

MdiClient::Activation::~Activation() {
  if (client_ != nullptr) client_->activation_abandoned();
}

void MdiClient::Activation::finish() {
  MdiClient* client = std::exchange(client_, nullptr);
  client->activation_ends();
}

void MdiClient::activation_begins(HWND target) {
  if (activating_++ > 0) return;
  try {
    stack_before_ = stacking();
    active_before_ = active();
    // The platform keeps only the active child maximised: the one maximised now is restored
    // natively before another becomes active, so that the platform leaves both as they are.
    BOOL maximized = FALSE;
    const auto active_window = reinterpret_cast<HWND>(
        SendMessageW(hwnd_, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    if (maximized != FALSE && active_window != target && active_before_ != nullptr) {
      active_before_->demote();
    }
  } catch (...) {
    activating_ = 0;
    throw;
  }
}

void MdiClient::activation_abandoned() {
  if (activating_ > 0) --activating_;
}

void MdiClient::activation_ends() {
  if (activating_ > 1) {
    --activating_;
    return;
  }
  // Still under way while the active child is put in order: what that sets going is part of it.
  struct Ended {
    int& activating;
    ~Ended() { activating = 0; }
  } ended{activating_};
  ChildPeer* now = active();
  if (now != nullptr) {
    std::vector<ChildPeer*> order = stack_before_;
    if (now != active_before_) {
      // A newly active child comes to the front; the other icons go to the back, in the order
      // the children were made.
      for (ChildPeer* child : ws_.children_) {
        if (child == now || child->window_state() != WindowState::Minimized) continue;
        std::erase(order, child);
        order.push_back(child);
      }
    }
    std::erase(order, now);
    order.insert(order.begin(), now);
    // Children made meanwhile stay where the platform put them.
    for (ChildPeer* child : stacking()) {
      if (std::find(order.begin(), order.end(), child) == order.end()) order.push_back(child);
    }
    std::erase_if(order, [this](ChildPeer* child) {
      return std::find(ws_.children_.begin(), ws_.children_.end(), child) == ws_.children_.end();
    });
    if (now->window_state() == WindowState::Maximized) now->promote();
    restack(order);
    lay_out(viewport());
  }
  if (now != nullptr) ws_.child_activated(*now);
}

RECT MdiClient::icon_rect(const ChildPeer& child, SIZE viewport) const {
  int index = 0;
  for (const ChildPeer* other : ws_.children_) {
    if (other == &child) break;
    if (other->visible() && other->framed() && other->window_state() == WindowState::Minimized) {
      ++index;
    }
  }
  const int width = GetSystemMetrics(SM_CXMINIMIZED);
  const int height = GetSystemMetrics(SM_CYMINIMIZED);
  const int columns = std::max(1, width > 0 ? static_cast<int>(viewport.cx / width) : 1);
  const std::div_t place = std::div(index, columns);
  const int left = place.rem * width;
  const int top = static_cast<int>(viewport.cy) - height - place.quot * height;
  return RECT{left, top, left + width, top + height};
}

void MdiClient::deliver_queued() {
  // Bounded: whatever the platform keeps queuing, control returns.
  MSG message;
  for (int i = 0; i < 64 && PeekMessageW(&message, hwnd_, 0, 0, PM_REMOVE) != 0; ++i) {
    DispatchMessageW(&message);
  }
}

ScrollBars MdiClient::wanted_bars() const {
  const ChildPeer* in_front = active();
  // An active maximised child is all there is to see.
  if (in_front != nullptr && in_front->window_state() == WindowState::Maximized) return {};
  const SIZE whole = size();
  ScrollBars bars;
  for (int round = 0; round < 3; ++round) {
    const SIZE area = area_left(whole, bars);
    bool any = false;
    RECT all{};
    for (const ChildPeer* child : ws_.children_) {
      if (!child->visible()) continue;
      RECT rect{};
      switch (child->window_state()) {
        case WindowState::Normal:
          rect = child->window_rect();
          break;
        case WindowState::Maximized:
          rect = RECT{0, 0, area.cx, area.cy};
          break;
        case WindowState::Minimized:
          if (!child->framed()) continue;  // a frameless child has no icon to show
          rect = icon_rect(*child, area);
          break;
      }
      // As the platform unites them: an empty rectangle counts for nothing.
      if (IsRectEmpty(&rect) != 0) continue;
      if (any) {
        UnionRect(&all, &all, &rect);
      } else {
        all = rect;
      }
      any = true;
    }
    if (!any) break;
    const bool past_side = all.right > area.cx || all.left < 0;
    const bool past_end = all.bottom > area.cy || all.top < 0;
    const ScrollBars next{past_side, past_end};
    if (next == bars) break;
    bars = next;
  }
  return bars;
}

void MdiClient::show_bars(const ScrollBars& wanted) {
  const ScrollBars shown = bars();
  if (shown == wanted) return;
  // The range: what the children cover together with the area, the page the area the bars
  // leave, as the platform sets them; the children are never scrolled, so the position is 0.
  const SIZE area = area_left(size(), wanted);
  RECT all{0, 0, area.cx, area.cy};
  for (const ChildPeer* child : ws_.children_) {
    if (!child->visible()) continue;
    const RECT rect = child->window_rect();
    UnionRect(&all, &all, &rect);
  }
  const auto set = [this](int bar, LONG low, LONG high, LONG page, bool show) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = low;
    info.nMax = high - 1;
    info.nPage = static_cast<UINT>(std::max(0L, page));
    info.nPos = 0;
    SetScrollInfo(hwnd_, bar, &info, TRUE);
    check(ShowScrollBar(hwnd_, bar, show ? TRUE : FALSE) != 0, "ShowScrollBar", "the client area");
  };
  if (shown.horizontal != wanted.horizontal) {
    set(SB_HORZ, all.left, all.right, area.cx, wanted.horizontal);
    if (wanted.horizontal) ++brought_;
  }
  if (shown.vertical != wanted.vertical) {
    set(SB_VERT, all.top, all.bottom, area.cy, wanted.vertical);
    if (wanted.vertical) ++brought_;
  }
}

void MdiClient::lay_out(SIZE viewport) {
  const ChildPeer* in_front = active();
  for (ChildPeer* child : ws_.children_) {
    if (!child->visible()) continue;
    if (child->window_state() == WindowState::Minimized && child->framed()) {
      const RECT icon = icon_rect(*child, viewport);
      child->move_icon(POINT{icon.left, icon.top});
    } else if (child->window_state() == WindowState::Maximized && child != in_front) {
      child->cover(RECT{0, 0, viewport.cx, viewport.cy});
    }
  }
}

void MdiClient::update() {
  deliver_queued();
  Win32WindowSystem::ProgramChange change(ws_);
  show_bars(wanted_bars());
  lay_out(viewport());
}

}  // namespace rt::win32
