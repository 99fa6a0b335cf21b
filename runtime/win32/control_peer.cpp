#include "runtime/win32/control_peer.h"

#include <algorithm>
#include <utility>

#include "runtime/win32/child_peer.h"

namespace rt::win32 {
namespace {

bool same_size(const RECT& a, const RECT& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

const wchar_t* class_of(ControlKind kind) {
  switch (kind) {
    case ControlKind::ListBox:
      return L"LISTBOX";
    case ControlKind::TextBox:
      return L"EDIT";
    case ControlKind::Label:
      return L"STATIC";
    case ControlKind::CommandButton:
      break;
  }
  return L"BUTTON";
}

DWORD style_of(const ControlDesign& design) {
  DWORD style = WS_CHILD;
  switch (design.kind) {
    case ControlKind::ListBox:
      // A horizontal bar, so that an extent given by LB_SETHORIZONTALEXTENT scrolls.
      style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY;
      if (design.sorted) style |= LBS_SORT;
      if (!design.integral_height) style |= LBS_NOINTEGRALHEIGHT;
      break;
    case ControlKind::TextBox:
      style |= WS_TABSTOP | ES_LEFT;
      if (!design.multi_line) {
        style |= ES_AUTOHSCROLL;
        break;
      }
      style |= ES_MULTILINE | ES_WANTRETURN;
      // A horizontal bar means long lines are not wrapped.
      if ((design.scroll_bars & 1) != 0) style |= WS_HSCROLL | ES_AUTOHSCROLL;
      if ((design.scroll_bars & 2) != 0) style |= WS_VSCROLL | ES_AUTOVSCROLL;
      break;
    case ControlKind::Label:
      style |= SS_LEFT;  // words wrap
      break;
    case ControlKind::CommandButton:
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
  }
  return style;
}

}  // namespace

HWND ControlPeer::make(const ControlDesign& design, HWND parent) {
  const bool sunken = design.kind == ControlKind::ListBox || design.kind == ControlKind::TextBox;
  return CreateWindowExW(sunken ? WS_EX_CLIENTEDGE : 0, class_of(design.kind), L"",
                         style_of(design), 0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

ControlPeer::ControlPeer(Win32WindowSystem& ws, Object& owner, const ControlDesign& design,
                         ChildPeer& form)
    : Win32Peer(ws, owner), kind_(design.kind), form_(&form) {
  const HWND parent = form.hwnd();
  const HWND window = make(design, parent);
  check(window != nullptr, "CreateWindowEx", path());
  try {
    attach(window);
    form.add_control(*this);
    set_up(design);
  } catch (...) {
    form.remove_control(*this);
    DestroyWindow(window);
    throw;
  }
}

void ControlPeer::set_up(const ControlDesign& design) {
  const HWND window = hwnd();
  Win32WindowSystem::ProgramChange change(ws());
  // The forms' font: the platform's dialog font.
  const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  check(font != nullptr, "GetStockObject", path());
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (kind_ == ControlKind::TextBox) {
    // No limit on what is typed, as a text box's MaxLength of 0 says.
    SendMessageW(window, EM_SETLIMITTEXT, 0, 0);
  }
  const RECT rect = ws().to_pixels(Rect{design.left, design.top, design.width, design.height});
  check(SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE) != 0,
        "SetWindowPos", path());
  write_text(kind_ == ControlKind::TextBox ? design.text : design.caption);
  for (const std::string& item : design.items) add_item(item);
}

ControlPeer::~ControlPeer() {
  form_->remove_control(*this);
  if (hwnd() != nullptr && IsWindow(hwnd()) && of(hwnd()) == this) {
    Win32WindowSystem::ProgramChange change(ws());
    DestroyWindow(hwnd());
  }
}

RECT ControlPeer::rect_in_form() const {
  RECT rect;
  check(GetWindowRect(hwnd(), &rect) != 0, "GetWindowRect", path());
  SetLastError(0);
  check(MapWindowPoints(nullptr, GetParent(hwnd()), reinterpret_cast<POINT*>(&rect), 2) != 0 ||
            GetLastError() == 0,
        "MapWindowPoints", path());
  return rect;
}

void ControlPeer::show() {
  const HWND window = alive();
  Win32WindowSystem::ProgramChange change(ws());
  ShowWindow(window, SW_SHOW);
  check(IsWindowVisible(window) != 0 || IsWindowVisible(GetParent(window)) == 0, "ShowWindow",
        path());
}

Rect ControlPeer::geometry() {
  alive();
  return ws().to_twips(rect_in_form());
}

bool ControlPeer::place(const Placement& placement) {
  const HWND window = alive();
  const RECT before = rect_in_form();
  const RECT next = ws().placed(before, placement);
  Win32WindowSystem::ProgramChange change(ws());
  check(SetWindowPos(window, nullptr, next.left, next.top, next.right - next.left,
                     next.bottom - next.top, SWP_NOZORDER | SWP_NOACTIVATE) != 0,
        "SetWindowPos", path());
  return !same_size(before, rect_in_form());
}

Size ControlPeer::client_size() {
  alive();
  const RECT rect = rect_in_form();
  return Size{ws().to_twips(rect.right - rect.left), ws().to_twips(rect.bottom - rect.top)};
}

void ControlPeer::set_text(std::string_view text) {
  alive();
  write_text(text);
}

std::string ControlPeer::text() {
  alive();
  return read_text();
}

void ControlPeer::add_item(std::string_view item) {
  if (kind_ != ControlKind::ListBox) return Peer::add_item(item);
  const HWND window = alive();
  const std::wstring wide = to_wide(item);
  const LRESULT index =
      SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  check(index != LB_ERR && index != LB_ERRSPACE, "LB_ADDSTRING", path());
}

void ControlPeer::write_text(std::string_view text) {
  const HWND window = hwnd();
  Win32WindowSystem::ProgramChange change(ws());
  check(SetWindowTextW(window, to_wide(text).c_str()) != 0, "SetWindowText", path());
  if (kind_ == ControlKind::TextBox) {
    known_text_ = read_text();
  } else {
    caption_ = text;
  }
}

std::string ControlPeer::read_text() const {
  if (kind_ != ControlKind::TextBox) return caption_;
  return from_wide(window_text(hwnd()));
}

void ControlPeer::notified(WORD code) {
  if (kind_ == ControlKind::CommandButton && code == BN_CLICKED) {
    ws().report_click(owner());
  } else if (kind_ == ControlKind::TextBox && code == EN_CHANGE && ws().program_changes_ == 0) {
    text_changed();
  }
}

void ControlPeer::text_changed() {
  std::string now = read_text();
  if (now == known_text_) return;
  const std::string before = std::exchange(known_text_, std::move(now));
  ws().report_text_changed(*this, before, known_text_);
}

PeerState ControlPeer::inspect() const {
  PeerState state;
  if (hwnd() == nullptr || !IsWindow(hwnd())) return state;
  const RECT rect = rect_in_form();
  state.geometry = ws().to_twips(rect);
  state.client = Size{ws().to_twips(rect.right - rect.left), ws().to_twips(rect.bottom - rect.top)};
  state.text = read_text();
  state.visible = (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
  if (kind_ == ControlKind::ListBox) {
    const auto count = SendMessageW(hwnd(), LB_GETCOUNT, 0, 0);
    check(count != LB_ERR, "LB_GETCOUNT", path());
    state.item_count = static_cast<int>(count);
    for (LRESULT i = 0; i < count; ++i) {
      const auto index = static_cast<WPARAM>(i);
      const LRESULT length = SendMessageW(hwnd(), LB_GETTEXTLEN, index, 0);
      check(length != LB_ERR, "LB_GETTEXTLEN", path());
      std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
      const LRESULT got =
          SendMessageW(hwnd(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(item.data()));
      check(got != LB_ERR, "LB_GETTEXT", path());
      item.resize(static_cast<std::size_t>(got));
      state.items.push_back(from_wide(item));
    }
    state.horizontal_extent = static_cast<int>(SendMessageW(hwnd(), LB_GETHORIZONTALEXTENT, 0, 0));
  }
  return state;
}

void ControlPeer::user_click() {
  if (hwnd() != nullptr && IsWindow(hwnd())) {
    if (kind_ == ControlKind::CommandButton) {
      SendMessageW(hwnd(), BM_CLICK, 0, 0);
    } else {
      ws().report_click(owner());
    }
  }
  ws().settle();
}

void ControlPeer::user_type(std::string_view typed) {
  if (kind_ == ControlKind::TextBox && hwnd() != nullptr && IsWindow(hwnd())) {
    // One edit, as the keys of one action make: what stays stays, the rest is typed anew over
    // a selection to the end, and the caret ends at the end.
    const std::wstring before = window_text(hwnd());
    const std::wstring after = to_wide(typed_text(from_wide(before), typed));
    const auto parted = std::mismatch(before.begin(), before.end(), after.begin(), after.end());
    const auto same = static_cast<WPARAM>(parted.first - before.begin());
    SendMessageW(hwnd(), EM_SETSEL, same, static_cast<LPARAM>(before.size()));
    const std::wstring rest = after.substr(same);
    SendMessageW(hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(rest.c_str()));
  }
  ws().settle();
}

void ControlPeer::user_edit(const TextEdit& edit) {
  if (kind_ == ControlKind::TextBox && hwnd() != nullptr && IsWindow(hwnd())) {
    const std::string before = from_wide(window_text(hwnd()));
    if (edit_error(before, edit).empty()) {
      // The control's positions are characters of UTF-16: those of the parts before each end.
      const auto at = [&](std::size_t bytes) {
        return to_wide(std::string_view(before).substr(0, bytes)).size();
      };
      SendMessageW(hwnd(), EM_SETSEL, static_cast<WPARAM>(at(edit.position)),
                   static_cast<LPARAM>(at(edit.position + edit.removed)));
      const std::wstring inserted = to_wide(with_line_breaks(edit.inserted));
      SendMessageW(hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
    }
  }
  ws().settle();
}

}  // namespace rt::win32
