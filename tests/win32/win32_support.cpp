#include "win32_support.h"

#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

#include "runtime/application.h"
#include "shell/project.h"

namespace win32_support {

rt::headless::Config config_like_win32() {
  rt::win32::Win32WindowSystem ws;
  rt::Application app(shell::make_project(), ws);
  app.start();
  const double tpp = ws.twips_per_pixel();
  const auto pixels = [tpp](float twips) { return static_cast<int>(std::lround(twips / tpp)); };
  const rt::Form& left_form = *app.existing_instance("frmResizeL");
  rt::Peer& left = *left_form.peer_if_loaded();
  const rt::PeerState normal = left.inspect();
  const int frame_width = pixels(normal.geometry.width - normal.client.width);
  const int frame_height = pixels(normal.geometry.height - normal.client.height);

  rt::headless::Config config;
  config.twips_per_pixel = tpp;
  config.border_px = frame_width / 2;
  config.caption_px = frame_height - frame_width;
  // The bars as the program brings them: the naive halves overhang at 401 pixels.
  ws.person().user_resize_client(static_cast<float>(401 * tpp), static_cast<float>(324 * tpp));
  const rt::PeerState main = app.main_form().peer_if_loaded()->inspect();
  EXPECT_EQ(ws.client_scroll_bars(), (rt::ScrollBars{true, true}));
  const int vertical_bar = pixels(main.geometry.width - main.client.width);
  const int horizontal_bar = pixels(main.geometry.height - main.client.height);
  EXPECT_EQ(horizontal_bar, vertical_bar) << "the in-memory bars are alike both ways";
  config.scroll_bar_px = vertical_bar;

  ws.person().user_set_window_state(left_form, rt::WindowState::Minimized);
  const rt::Rect icon = left.inspect().shown;
  // Maximised in a client area of nothing: as small as it gets.
  ws.person().user_resize_client(0, 0);
  ws.person().user_set_window_state(left_form, rt::WindowState::Maximized);
  const rt::Rect smallest = left.inspect().shown;
  ws.person().user_set_window_state(left_form, rt::WindowState::Normal);
  config.icon_width_px = pixels(icon.width);
  config.icon_height_px = pixels(icon.height);
  config.maximized_min_width_px = pixels(smallest.width);
  config.maximized_min_height_px = pixels(smallest.height);
  EXPECT_GT(config.icon_width_px * config.icon_height_px, 0) << "an icon has a size";
  return config;
}

GuiObjects gui_objects() {
  GuiObjects objects;
  const HANDLE process = GetCurrentProcess();
  objects.user = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
  objects.gdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
  objects.by_get_gui_resources = objects.user > 0 || objects.gdi > 0;
  if (objects.by_get_gui_resources) return objects;
  // Handles are indices into the tables in their low 16 bits, which a query accepts alone.
  const DWORD self = GetCurrentProcessId();
  for (std::uintptr_t index = 1; index < 0x10000; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++objects.gdi;
    const auto window = reinterpret_cast<HWND>(index);
    DWORD owner = 0;
    if (IsWindow(window) != 0 && GetWindowThreadProcessId(window, &owner) != 0 && owner == self) {
      ++objects.user;
    }
    if (IsMenu(reinterpret_cast<HMENU>(index)) != 0) ++objects.user;
  }
  return objects;
}

ArrowButtons arrow_buttons(HWND window, HWND area) {
  RECT outer;
  RECT inner;
  GetWindowRect(window, &outer);
  GetWindowRect(area, &inner);
  const LONG left = inner.left - outer.left;
  const LONG top = inner.top - outer.top;
  const LONG right = inner.right - outer.left;
  const LONG bottom = inner.bottom - outer.top;
  const int bar_width = GetSystemMetrics(SM_CXVSCROLL);
  const int bar_height = GetSystemMetrics(SM_CYHSCROLL);
  const int arrow_width = GetSystemMetrics(SM_CXHSCROLL);
  const int arrow_height = GetSystemMetrics(SM_CYVSCROLL);
  ArrowButtons buttons;
  buttons.left = RECT{left, bottom - bar_height, left + arrow_width, bottom};
  buttons.right =
      RECT{right - bar_width - arrow_width, bottom - bar_height, right - bar_width, bottom};
  buttons.up = RECT{right - bar_width, top, right, top + arrow_height};
  buttons.down =
      RECT{right - bar_width, bottom - bar_height - arrow_height, right, bottom - bar_height};
  return buttons;
}

bool same_pixels(const rt::win32::Pixels& picture, const RECT& square,
                 const rt::win32::Pixels& reference, const RECT& reference_square) {
  const LONG width = square.right - square.left;
  const LONG height = square.bottom - square.top;
  if (width <= 0 || height <= 0 || width != reference_square.right - reference_square.left ||
      height != reference_square.bottom - reference_square.top) {
    return false;
  }
  const auto inside = [](const rt::win32::Pixels& p, const RECT& r) {
    return r.left >= 0 && r.top >= 0 && r.right <= p.width && r.bottom <= p.height;
  };
  if (!inside(picture, square) || !inside(reference, reference_square)) return false;
  for (LONG y = 0; y < height; ++y) {
    for (LONG x = 0; x < width; ++x) {
      if (picture.at(static_cast<int>(square.left + x), static_cast<int>(square.top + y)) !=
          reference.at(static_cast<int>(reference_square.left + x),
                       static_cast<int>(reference_square.top + y))) {
        return false;
      }
    }
  }
  return true;
}

ReferenceBars::ReferenceBars() {
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_HSCROLL | WS_VSCROLL, 0,
                            0, 200, 150, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return;
  for (const int bar : {SB_HORZ, SB_VERT}) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = 999;
    info.nPage = 100;
    SetScrollInfo(window_, bar, &info, TRUE);
  }
  ShowScrollBar(window_, SB_BOTH, TRUE);
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  pixels_ = rt::win32::capture_window(window_);
  buttons_ = arrow_buttons(window_, window_);
}

ReferenceBars::~ReferenceBars() {
  if (window_ != nullptr) DestroyWindow(window_);
}

}  // namespace win32_support
