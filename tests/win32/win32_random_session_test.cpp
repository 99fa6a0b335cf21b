// Random sessions on real windows: the random-session engine drives the program on the Win32
// window system (under Wine, without a display), with faults injected in front of it. Resizes go
// past what a window can be (32767 pixels), children are dragged anywhere, text is typed into a
// real EDIT control; after every action the program must keep what it promises, the client
// area's scroll bars must be what the children call for, and over the run the process's USER
// and GDI objects must stay as many as they were after the warm-up.
//
// Seeded and reproducible like the other runs: MDIRESIZE_SEED replays a run, and
// MDIRESIZE_ACTIONS sets its length.

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "random/random_session.h"
#include "runtime/application.h"
#include "runtime/fault_injection.h"
#include "runtime/win32/win32_window_system.h"
#include "shell/project.h"
#include "win32_support.h"

namespace {

using namespace random_sessions;
using rt::win32::Win32WindowSystem;

// An action on real windows costs some 15 milliseconds under Wine, most of it drawing.
constexpr int kDefaultActions = 1500;
// The largest a window can be.
constexpr LONG kMaxWindowPixels = 32767;

struct Win32Program {
  Win32Program() { app.start(); }
  Win32WindowSystem ws;
  rt::FaultInjection faults{ws};
  rt::Application app{shell::make_project(), ws};
};

RECT rect_in(HWND window, HWND parent) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The bars the children call for, read off the windows as they are: a bar wherever a visible
// child reaches past the edge of the area the bars leave; none while the active child is
// maximised.
rt::ScrollBars bars_called_for(Win32WindowSystem& ws, rt::Application& app) {
  const HWND client = ws.mdi_client();
  BOOL maximized = FALSE;
  SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized));
  if (maximized != FALSE) return {};
  RECT area;
  GetClientRect(client, &area);
  rt::ScrollBars bars;
  for (const char* name : {"frmResizeL", "frmResizeR", "frmResizeB", "frmResizeT"}) {
    const HWND child = ws.native(*app.existing_instance(name));
    if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) == 0) continue;
    const RECT rect = rect_in(child, client);
    if (IsRectEmpty(&rect) != 0) continue;
    bars.horizontal = bars.horizontal || rect.left < 0 || rect.right > area.right;
    bars.vertical = bars.vertical || rect.top < 0 || rect.bottom > area.bottom;
  }
  return bars;
}

// What the Win32 window system promises besides: a person's resize gives the client area the
// size asked for, in whole pixels, as far as a window can be that large; the window never
// exceeds that; the bars are what the children call for, and settled.
std::string check_window(Win32WindowSystem& ws, rt::Application& app, const Action& action) {
  RECT frame;
  RECT area;
  GetWindowRect(ws.main_window(), &frame);
  GetWindowRect(ws.mdi_client(), &area);
  const SIZE window{frame.right - frame.left, frame.bottom - frame.top};
  const SIZE client{area.right - area.left, area.bottom - area.top};
  if (window.cx > kMaxWindowPixels || window.cy > kMaxWindowPixels) {
    return "the main window is " + std::to_string(window.cx) + " x " + std::to_string(window.cy) +
           " pixels, larger than a window can be";
  }
  const rt::ScrollBars shown = ws.client_scroll_bars();
  const rt::ScrollBars called_for = bars_called_for(ws, app);
  if (shown != called_for) {
    std::string where;
    RECT viewport;
    GetClientRect(ws.mdi_client(), &viewport);
    where += " in " + std::to_string(viewport.right) + " x " + std::to_string(viewport.bottom);
    for (const char* name : {"frmResizeL", "frmResizeR", "frmResizeB", "frmResizeT"}) {
      const RECT r = rect_in(ws.native(*app.existing_instance(name)), ws.mdi_client());
      where += std::string("; ") + name + " " + std::to_string(r.left) + "," +
               std::to_string(r.top) + " to " + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
    return std::string("the client area shows ") + (shown.horizontal ? "H" : "-") +
           (shown.vertical ? "V" : "-") + " where the children call for " +
           (called_for.horizontal ? "H" : "-") + (called_for.vertical ? "V" : "-") + where;
  }
  ws.idle();
  if (ws.client_scroll_bars() != shown) return "the scroll bars changed at the next idle";
  if (action.kind != Kind::Resize) return {};
  const auto wanted = [&](float twips, LONG room) {
    const double pixels = ws.grid().to_pixels(twips);
    return static_cast<LONG>(std::clamp(pixels, 0.0, static_cast<double>(room)));
  };
  const SIZE expected{wanted(action.width, kMaxWindowPixels - (window.cx - client.cx)),
                      wanted(action.height, kMaxWindowPixels - (window.cy - client.cy))};
  if (client.cx != expected.cx || client.cy != expected.cy) {
    return "the client area is " + std::to_string(client.cx) + " x " + std::to_string(client.cy) +
           " pixels instead of " + std::to_string(expected.cx) + " x " +
           std::to_string(expected.cy);
  }
  return {};
}

// The count below must see what the program could leak.
TEST(RandomSessionOnWin32, TheObjectCountSeesWhatIsMadeAndFreed) {
  const win32_support::GuiObjects before = win32_support::gui_objects();
  std::vector<HBRUSH> brushes;
  for (int i = 0; i < 10; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
  EXPECT_EQ(win32_support::gui_objects().gdi, before.gdi + 10);
  for (HBRUSH brush : brushes) DeleteObject(brush);
  EXPECT_EQ(win32_support::gui_objects().gdi, before.gdi);
  const HMENU menu = CreatePopupMenu();
  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  EXPECT_GE(win32_support::gui_objects().user, before.user + 2);
  DestroyWindow(window);
  DestroyMenu(menu);
  EXPECT_EQ(win32_support::gui_objects().user, before.user);
}

TEST(RandomSessionOnWin32, KeepsItsPromisesAfterEveryAction) {
  Random seeds(master_seed() ^ 0x6A09E667F3BCC909ull);
  const rt::headless::Config like_win32 = win32_support::config_like_win32();
  auto program = std::make_unique<Win32Program>();
  Target target;
  target.app = &program->app;
  target.window_system = &program->ws;
  target.faults = &program->faults.plan();
  target.closed = [&ws = program->ws] { return ws.closed(); };
  target.keeps_any_text = false;  // the EDIT control holds UTF-16: other bytes come back replaced
  target.maximized_min =
      rt::Size{static_cast<float>(like_win32.maximized_min_width_px * like_win32.twips_per_pixel),
               static_cast<float>(like_win32.maximized_min_height_px * like_win32.twips_per_pixel)};
  // A window as large as a window can be both ways costs most of a second to draw: a quarter of
  // the very large sizes, one way at a time.
  target.resize_lengths = ResizeLengths{25, false};
  target.replay = "win32_random_tests";
  target.check = [&program = *program](const Action& action) {
    return check_window(program.ws, program.app, action);
  };
  target.before_measuring = settling_actions();
  // The platform's shared cursors, which it loads when first needed (a button's click brings
  // one in under Wine) and keeps: loaded before the first count.
  for (const int cursor : {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642, 32643, 32644,
                           32645, 32646, 32648, 32649, 32650, 32651}) {
    LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor));
  }
  std::vector<win32_support::GuiObjects> counted;
  target.flush_caches = [&counted] { counted.push_back(win32_support::gui_objects()); };
  auto session = std::make_unique<RandomSession>(std::move(target), "Win32", seeds.next());

  HeapFigures heap;
  const auto started = std::chrono::steady_clock::now();
  const std::string failure = session->run(actions_per_run(kDefaultActions), heap);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  if (!failure.empty()) ADD_FAILURE() << failure;
  const Totals& t = session->totals();
  std::cout << "  Win32: " << t.actions << " actions in " << took.count() << " s, "
            << t.faults_injected << " faults injected, " << t.faults_fired << " fired, "
            << t.reported << " errors reported, " << t.discarded << " discarded, " << t.checks()
            << "; " << program->ws.bars_brought() << " scroll bars brought where the platform"
            << " left them out; heap " << heap.after_warm_up << " -> " << heap.at_end << " bytes";
  if (counted.size() == 2) {
    std::cout << "; USER objects " << counted[0].user << " -> " << counted[1].user
              << ", GDI objects " << counted[0].gdi << " -> " << counted[1].gdi
              << (counted[0].by_get_gui_resources ? "" : " (counted by handle)");
  }
  std::cout << "\n";
  if (failure.empty()) {
    ASSERT_EQ(counted.size(), 2u);
    EXPECT_EQ(counted[1].user, counted[0].user)
        << "USER objects grew over the run; replay with MDIRESIZE_SEED=" << master_seed();
    EXPECT_EQ(counted[1].gdi, counted[0].gdi)
        << "GDI objects grew over the run; replay with MDIRESIZE_SEED=" << master_seed();
  }
}

}  // namespace
