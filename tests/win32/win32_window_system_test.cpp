// The program on the Win32 window system: a real MDI frame, MDI client, MDI children and the
// platform's own controls and menus, driven through the messages a person's input makes.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

// The PNG reader, to read back what `shot` writes.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include "app/cli.h"
#include "app/png_file.h"
#include "forms/frmResizeB.h"
#include "forms/frmResizeL.h"
#include "forms/frmResizeT.h"
#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/win32/win32_peer.h"
#include "shell/project.h"
#include "tests/bar_cases.h"
#include "tests/error_of.h"
#include "tests/watch.h"
#include "win32_support.h"

namespace {

using namespace bar_cases;
using namespace texts;

std::wstring class_of(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring text_of(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

std::wstring menu_text(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return text;
}

LONG_PTR style_of(HWND window) {
  return GetWindowLongPtrW(window, GWL_STYLE);
}

class Program : public ::testing::Test {
 protected:
  Program() { app.start(); }

  int px(float twips) const { return static_cast<int>(std::lround(twips / ws.twips_per_pixel())); }
  MDIResize& main() { return app.instance<MDIResize>(); }
  rt::Form& form(const char* name) { return *app.existing_instance(name); }
  HWND frame(const char* name) { return ws.native(form(name)); }
  HWND client() const { return ws.mdi_client(); }
  // Where a child is, in the client area's coordinates.
  RECT placed(HWND child) const {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, client(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  SIZE viewport() const {
    RECT area;
    GetClientRect(client(), &area);
    return SIZE{area.right, area.bottom};
  }
  HWND active() const {
    return reinterpret_cast<HWND>(SendMessageW(client(), WM_MDIGETACTIVE, 0, 0));
  }
  // The drop-down that ends with the window list.
  HMENU solve() const { return GetSubMenu(ws.menu_bar(), 0); }
  bool native_check(UINT position) const {
    return (GetMenuState(solve(), position, MF_BYPOSITION) & MF_CHECKED) != 0;
  }
  std::string caption() { return app.instance<frmResizeT>().Label1().peer().inspect().text; }
  void resize(float width, float height = kHeight) {
    ws.person().user_resize_client(width, height);
  }
  void click(rt::Object& target) { ws.person().user_click(target); }
  rt::ScrollBars bars() const { return ws.client_scroll_bars(); }
  // How often the handler of `event` of `source` ("MDIResize.mnuOplossing") ran.
  int events(std::string_view source, std::string_view event) const {
    return watch.count(Watch::What::Event, source, event);
  }

  rt::win32::Win32WindowSystem ws;
  rt::Application app{shell::make_project(), ws};
  Watch watch{app};
};

// --- start-up ---------------------------------------------------------------------------------

TEST_F(Program, StartUpMakesAnMdiFrameWithTheFourChildrenInItsClientArea) {
  ASSERT_EQ(app.loaded_forms().size(), 5u);
  EXPECT_EQ(ws.native(main()), ws.main_window());
  EXPECT_EQ(text_of(ws.main_window()), L"ResizeL");
  EXPECT_EQ(GetParent(client()), ws.main_window());
  EXPECT_EQ(_wcsicmp(class_of(client()).c_str(), L"MDIClient"), 0);
  EXPECT_NE(style_of(client()) & MDIS_ALLCHILDSTYLES, 0);
  EXPECT_NE(IsWindowVisible(ws.main_window()), 0);
  // Each child with its designed caption.
  for (std::size_t i = 1; i < app.loaded_forms().size(); ++i) {
    const rt::Form& form = *app.loaded_forms()[i];
    const HWND child = frame(form.class_name().c_str());
    const std::string& caption = form.design().caption;
    EXPECT_EQ(GetParent(child), client()) << form.path();
    EXPECT_NE(GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_MDICHILD, 0) << form.path();
    EXPECT_EQ(text_of(child), std::wstring(caption.begin(), caption.end())) << form.path();
    EXPECT_NE(IsWindowVisible(child), 0) << form.path();
  }
  // The last one shown is the active child.
  EXPECT_EQ(active(), frame("frmResizeT"));
}

TEST_F(Program, StartUpGivesTheDesignedClientAreaAtTheDisplaysDotsPerInch) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  EXPECT_DOUBLE_EQ(ws.twips_per_pixel(), 1440.0 / dpi);
  RECT area;
  GetWindowRect(client(), &area);
  EXPECT_EQ(area.right - area.left, px(6480));
  EXPECT_EQ(area.bottom - area.top, px(4860));
  EXPECT_EQ(main().ScaleWidth(), 6480.0f);
  EXPECT_EQ(main().ScaleHeight(), 4860.0f);
  EXPECT_EQ(bars(), kNone);
}

TEST_F(Program, TheBottomChildHasNoFrameTheOthersASizableOneThatCannotBeClosed) {
  const HWND bottom = frame("frmResizeB");
  EXPECT_EQ(style_of(bottom) & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
  EXPECT_EQ(form("frmResizeB").ScaleWidth(), form("frmResizeB").Width());
  for (const char* name : {"frmResizeL", "frmResizeR", "frmResizeT"}) {
    const HWND child = frame(name);
    const LONG_PTR style = style_of(child);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
        << name;
    // Width is the frame's, ScaleWidth what the frame leaves, as the platform measures frames.
    RECT outer{0, 0, 100, 100};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(style), FALSE, WS_EX_MDICHILD);
    rt::Form& child_form = form(name);
    EXPECT_EQ(px(child_form.Width() - child_form.ScaleWidth()), outer.right - outer.left - 100)
        << name;
    EXPECT_EQ(px(child_form.Height() - child_form.ScaleHeight()), outer.bottom - outer.top - 100)
        << name;
    // No Close in its system menu, and neither WM_CLOSE nor Ctrl+F4's SC_CLOSE takes it down.
    EXPECT_EQ(GetMenuState(GetSystemMenu(child, FALSE), SC_CLOSE, MF_BYCOMMAND),
              static_cast<UINT>(-1))
        << name;
    SendMessageW(child, WM_CLOSE, 0, 0);
    SendMessageW(child, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_NE(IsWindowVisible(child), 0) << name;
  }
}

TEST_F(Program, TheControlsAreThePlatformsOwn) {
  auto& left = app.instance<frmResizeL>();
  for (std::int16_t i = 0; i < 3; ++i) {
    const HWND list = ws.native(left.List1(i));
    EXPECT_EQ(_wcsicmp(class_of(list).c_str(), L"ListBox"), 0);
    EXPECT_EQ(GetParent(list), ws.native(left));
    EXPECT_EQ((style_of(list) & LBS_NOINTEGRALHEIGHT) != 0,
              !left.design().controls[static_cast<std::size_t>(i)].integral_height);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), i == 2 ? 27 : 26);
  }
  const HWND text = ws.native(app.instance<frmResizeB>().Text1());
  EXPECT_EQ(_wcsicmp(class_of(text).c_str(), L"Edit"), 0);
  EXPECT_EQ(style_of(text) & (ES_MULTILINE | WS_HSCROLL | WS_VSCROLL),
            ES_MULTILINE | WS_HSCROLL | WS_VSCROLL);
  EXPECT_EQ(app.instance<frmResizeB>().Text1().Text().size(), 92u);
  auto& top = app.instance<frmResizeT>();
  EXPECT_EQ(_wcsicmp(class_of(ws.native(top.Label1())).c_str(), L"Static"), 0);
  const HWND button = ws.native(top.Command1());
  EXPECT_EQ(_wcsicmp(class_of(button).c_str(), L"Button"), 0);
  EXPECT_EQ(text_of(button), L"Resize");
  RECT rect;
  GetWindowRect(button, &rect);
  MapWindowPoints(nullptr, ws.native(top), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, px(4680));
  EXPECT_EQ(rect.top, px(120));
  EXPECT_EQ(rect.right - rect.left, px(975));
}

// --- the menu ---------------------------------------------------------------------------------

TEST_F(Program, TheMenuBarHoldsTheDropDownWithTheWindowListAndTheCommand) {
  const HMENU bar = ws.menu_bar();
  ASSERT_EQ(GetMenu(ws.main_window()), bar);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(menu_text(bar, 0), L"Solve Problem");
  EXPECT_EQ(menu_text(bar, 1), L"Vul tekstbox");
  EXPECT_EQ(GetSubMenu(bar, 1), nullptr);
  ASSERT_NE(solve(), nullptr);
  EXPECT_EQ(menu_text(solve(), 0), L"Oplossing");
  EXPECT_EQ(menu_text(solve(), 1), L"Wiskundig juist");
  // The platform's window list after the options: the four children by caption, the active one
  // checked.
  ASSERT_EQ(GetMenuItemCount(solve()), 7);
  EXPECT_NE(GetMenuState(solve(), 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  const wchar_t* captions[] = {L"Resize Left", L"Resize right", L"Textbox resizing", L"Form1"};
  for (UINT i = 0; i < 4; ++i) {
    EXPECT_NE(menu_text(solve(), 3 + i).find(captions[i]), std::wstring::npos) << i;
    EXPECT_EQ(native_check(3 + i), i == 3) << i;
  }
}

// The program's About box: the platform's window list ends "Solve Problem", so it comes in a
// Help menu after the design's entries, and the client area stays the design's.
TEST(About, AHelpMenuAfterTheDesignsOpensTheAboutBoxWithTheVersion) {
  const auto client_of = [](rt::win32::Win32WindowSystem& ws) {
    RECT area;
    GetClientRect(ws.mdi_client(), &area);
    return std::pair(area.right, area.bottom);
  };
  std::pair<LONG, LONG> designed;
  {
    rt::win32::Win32WindowSystem ws;
    rt::Application app(shell::make_project(), ws);
    app.start();
    designed = client_of(ws);
  }
  rt::win32::Win32WindowSystem ws;
  ws.set_about(app::about());
  rt::Application app(shell::make_project(), ws);
  app.start();
  EXPECT_EQ(client_of(ws), designed);
  const HMENU bar = ws.menu_bar();
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(menu_text(bar, 1), L"Vul tekstbox");
  EXPECT_EQ(menu_text(bar, 2), L"&Help");
  const HMENU help = GetSubMenu(bar, 2);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(menu_text(help, 0), L"&About mdiresize");

  // The box is modal: read and closed from another thread while the entry's command runs.
  std::string title, text;
  const DWORD self = GetCurrentThreadId();
  std::thread reader([&] {
    for (int tries = 0; tries < 500 && text.empty(); ++tries) {
      HWND box = nullptr;
      EnumThreadWindows(
          self,
          [](HWND window, LPARAM found) {
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (std::string_view(name) != "#32770") return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&box));
      if (box == nullptr) {
        Sleep(10);
        continue;
      }
      char said[1024] = {};
      GetWindowTextA(box, said, sizeof said);
      title = said;
      GetDlgItemTextA(box, 0xFFFF, said, sizeof said);  // a message box's text
      text = said;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  SendMessageW(ws.main_window(), WM_COMMAND, GetMenuItemID(help, 0), 0);
  reader.join();
  EXPECT_EQ(title, "About mdiresize");
  for (const char* part :
       {"mdiresize " MDIRESIZE_VERSION "\n", "double scroll bar", "MIT", "man mdiresize"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << " is not in:\n" << text;
  }
}

TEST_F(Program, EachClickFlipsTheMenusOwnCheckMarkOnce) {
  click(main().mnuOplossing());
  EXPECT_TRUE(native_check(0));
  EXPECT_TRUE(main().mnuOplossing().Checked());
  EXPECT_FALSE(native_check(1));
  click(main().mnuOplossing());
  EXPECT_FALSE(native_check(0));
  click(main().mnuWiskundig());
  EXPECT_TRUE(native_check(1));
  EXPECT_EQ(events("MDIResize.mnuOplossing", "Click"), 2);
  EXPECT_EQ(events("MDIResize.mnuWiskundig", "Click"), 1);
  // The command on the menu bar fills the text box.
  click(main().menu("mnuVulBox"));
  EXPECT_EQ(app.instance<frmResizeB>().Text1().Text().size(), 1650u);
}

// --- the scroll bars --------------------------------------------------------------------------

class Bars : public Program, public ::testing::WithParamInterface<BarCase> {};

TEST_P(Bars, TheMdiClientShowsWhatTheInMemoryOneDoes) {
  const BarCase& c = GetParam();
  if (c.oplossing) click(main().mnuOplossing());
  if (c.wiskundig) click(main().mnuWiskundig());
  resize(c.width);
  EXPECT_EQ(bars(), c.bars);
  // The bars take their room from the client area: ScaleWidth is what is left.
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(viewport().cx, px(c.width) - (c.bars.vertical ? bar : 0));
  EXPECT_EQ(viewport().cy, px(kHeight) - (c.bars.horizontal ? GetSystemMetrics(SM_CYHSCROLL) : 0));
  EXPECT_EQ(main().ScaleWidth(), static_cast<float>(viewport().cx * ws.twips_per_pixel()));
  EXPECT_EQ(caption(), c.caption);
  EXPECT_EQ(text_of(ws.native(app.instance<frmResizeT>().Label1())), rt::win32::to_wide(c.caption));
  const RECT right_form = placed(frame("frmResizeR"));
  EXPECT_EQ(placed(frame("frmResizeT")).right - placed(frame("frmResizeT")).left, px(c.top_width));
  EXPECT_EQ(right_form.left, placed(frame("frmResizeL")).right);
  EXPECT_EQ(right_form.right, px(c.right_edge));
  EXPECT_EQ(placed(frame("frmResizeB")).bottom, px(kHeight));
}

INSTANTIATE_TEST_SUITE_P(InPixels, Bars, ::testing::ValuesIn(kBarCases), test_name);

TEST_F(Program, AnOverhangingMoveWaitsForIdleBeforeTheBarsFollow) {
  rt::Form& right_form = form("frmResizeR");
  right_form.Move(right_form.Left() + 15, rt::Variant(std::int16_t{0}),
                  rt::Variant(right_form.Width()), rt::Variant(right_form.Height()));
  EXPECT_EQ(bars(), kNone);
  EXPECT_EQ(main().ScaleWidth(), 6480.0f);
  ws.idle();
  EXPECT_EQ(bars(), kBoth);
  EXPECT_LT(main().ScaleWidth(), 6480.0f);
}

TEST_F(Program, BarsComingAndGoingNeverRaiseTheMainWindowsResize) {
  resize(4500);
  ASSERT_EQ(bars(), kBoth);
  EXPECT_EQ(events("MDIResize", "Resize"), 2);  // start-up, and the one resize
  click(main().mnuOplossing());
  click(app.instance<frmResizeT>().Command1());
  ASSERT_EQ(bars(), kNone);
  EXPECT_EQ(events("MDIResize", "Resize"), 2);
  EXPECT_EQ(events("frmResizeT.Command1", "Click"), 1);
}

TEST_F(Program, AChildMovedByHandPastTheEdgeBringsTheBarsAndBackTakesThem) {
  rt::Form& right_form = form("frmResizeR");
  const rt::Rect at = right_form.peer_if_loaded()->geometry();
  ws.person().user_place(right_form, rt::Rect{at.left + 15, at.top, at.width, at.height});
  EXPECT_EQ(bars(), kBoth);
  ws.person().user_place(right_form, at);
  EXPECT_EQ(bars(), kNone);
}

// The platform's part and ours: whatever the platform does with its own update, idle() leaves
// the bars that the children call for, and no other.
TEST_F(Program, TheBarsFollowTheChildrenWhicheverBarsThePlatformShows) {
  resize(6015);
  ASSERT_EQ(bars(), kBoth);
  for (const BOOL shown : {FALSE, TRUE}) {
    ShowScrollBar(client(), SB_BOTH, shown);
    ws.idle();
    EXPECT_EQ(bars(), kBoth);
  }
  click(main().mnuWiskundig());
  click(app.instance<frmResizeT>().Command1());
  ASSERT_EQ(bars(), kNone);
  ShowScrollBar(client(), SB_HORZ, TRUE);
  ws.idle();
  EXPECT_EQ(bars(), kNone);
}

TEST_F(Program, TheCorrectedColumnsGiveTheListsAnExtentToScrollAcross) {
  click(main().mnuOplossing());
  resize(6000);
  auto& left = app.instance<frmResizeL>();
  for (std::int16_t i = 0; i < 3; ++i) {
    const HWND list = ws.native(left.List1(i));
    EXPECT_EQ(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 1000);
    EXPECT_EQ(left.List1(i).peer().inspect().horizontal_extent, 1000);
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    GetScrollBarInfo(list, OBJID_HSCROLL, &info);
    EXPECT_EQ(info.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u) << "the list's own bar";
  }
  EXPECT_EQ(ws.send_message(987654, rt::LB_SETHORIZONTALEXTENT, 10, 0), 0);
}

// The pixels as `shot` saves them, read back from the PNG file.
rt::win32::Pixels through_png(const rt::win32::Pixels& pixels) {
  const std::string path = (std::filesystem::temp_directory_path() / "mdiresize-shot.png").string();
  EXPECT_EQ(app::write_png(pixels, path), "");
  rt::win32::Pixels read;
  int channels = 0;
  unsigned char* rgb = stbi_load(path.c_str(), &read.width, &read.height, &channels, 3);
  std::filesystem::remove(path);
  if (rgb == nullptr) return read;
  const auto count = static_cast<std::size_t>(read.width) * static_cast<std::size_t>(read.height);
  for (std::size_t i = 0; i < count; ++i) {
    read.data.push_back(std::uint32_t{rgb[3 * i]} << 16 | std::uint32_t{rgb[3 * i + 1]} << 8 |
                        rgb[3 * i + 2]);
  }
  stbi_image_free(rgb);
  return read;
}

TEST_F(Program, TheShotShowsBothBarsArrowButtonsAtTheClientAreasCorners) {
  const win32_support::ReferenceBars reference;
  ASSERT_GT(reference.pixels().width, 0);
  resize(6015);
  ASSERT_EQ(bars(), kBoth);
  const rt::win32::Pixels shown = through_png(ws.capture());
  ASSERT_GT(shown.width, 0) << "the PNG could not be read";
  const win32_support::ArrowButtons at = win32_support::arrow_buttons(ws.main_window(), client());
  const win32_support::ArrowButtons& like = reference.buttons();
  EXPECT_TRUE(win32_support::same_pixels(shown, at.left, reference.pixels(), like.left));
  EXPECT_TRUE(win32_support::same_pixels(shown, at.right, reference.pixels(), like.right));
  EXPECT_TRUE(win32_support::same_pixels(shown, at.up, reference.pixels(), like.up));
  EXPECT_TRUE(win32_support::same_pixels(shown, at.down, reference.pixels(), like.down));

  click(main().mnuWiskundig());
  ASSERT_EQ(bars(), kNone);
  const rt::win32::Pixels fitting = ws.capture();
  EXPECT_FALSE(win32_support::same_pixels(fitting, at.left, reference.pixels(), like.left));
  EXPECT_FALSE(win32_support::same_pixels(fitting, at.up, reference.pixels(), like.up));
}

// --- window states ----------------------------------------------------------------------------

TEST_F(Program, AMaximisedChildIsTheMdiClientsOwnAndAPassMovesWhereItGoesBack) {
  resize(6015);
  const HWND right_form = frame("frmResizeR");
  ws.person().user_set_window_state(form("frmResizeR"), rt::WindowState::Maximized);
  EXPECT_NE(IsZoomed(right_form), 0);
  EXPECT_EQ(active(), right_form);
  EXPECT_EQ(bars(), kNone) << "an active maximised child is all there is";
  resize(9015);
  EXPECT_NE(IsZoomed(right_form), 0);
  const rt::Rect normal = form("frmResizeR").peer_if_loaded()->inspect().geometry;
  EXPECT_EQ(px(normal.left), px(9015) / 2 + 1);
  ws.person().user_set_window_state(form("frmResizeR"), rt::WindowState::Normal);
  EXPECT_EQ(IsZoomed(right_form), 0);
  const RECT now = placed(right_form);
  EXPECT_EQ(now.left, px(normal.left));
  EXPECT_EQ(now.right - now.left, px(normal.width));
  EXPECT_EQ(bars(), kBoth) << "9015 twips is an odd pixel width: the halves overhang";
}

TEST_F(Program, AMinimisedChildIsAnIconAtTheBottomLeftAndTheActiveOne) {
  const HWND left_form = frame("frmResizeL");
  ws.person().user_set_window_state(form("frmResizeL"), rt::WindowState::Minimized);
  EXPECT_NE(IsIconic(left_form), 0);
  EXPECT_EQ(active(), left_form);
  const RECT icon = placed(left_form);
  EXPECT_EQ(icon.left, 0);
  EXPECT_EQ(icon.bottom, viewport().cy);
  ws.person().user_choose_window(form("frmResizeL"));
  EXPECT_EQ(IsIconic(left_form), 0);
}

TEST_F(Program, ActivatingAnotherChildLeavesTheMaximisedOneMaximisedBehindIt) {
  const HWND right_form = frame("frmResizeR");
  ws.person().user_set_window_state(form("frmResizeR"), rt::WindowState::Maximized);
  for (const char* other : {"frmResizeT", "frmResizeB"}) {
    ws.person().user_activate(form(other));
    EXPECT_EQ(active(), frame(other));
    EXPECT_EQ(IsZoomed(frame(other)), 0) << other;
    const rt::PeerState right_state = form("frmResizeR").peer_if_loaded()->inspect();
    EXPECT_EQ(right_state.window_state, rt::WindowState::Maximized);
    EXPECT_GT(right_state.z, 0);
    EXPECT_EQ(form(other).peer_if_loaded()->inspect().z, 0) << other;
    EXPECT_EQ(px(right_state.shown.width), viewport().cx);
    EXPECT_EQ(px(right_state.shown.height), viewport().cy);
  }
  ws.person().user_activate(form("frmResizeR"));
  EXPECT_NE(IsZoomed(right_form), 0);
}

// --- what a person does -----------------------------------------------------------------------

class Heard final : public rt::UserActionListener {
 public:
  void acted(const rt::UserAction& action) override { actions.push_back(action); }
  std::vector<rt::UserAction> actions;
};

TEST_F(Program, TypingGoesToTheEndAndBackspaceTakesALineBreakWhole) {
  auto& box = app.instance<frmResizeB>().Text1();
  const std::string design = box.Text();
  ws.person().user_type(box, "een\r\ntwee\b\b");
  EXPECT_EQ(box.Text(), design + "een\r\ntw");
  EXPECT_EQ(text_of(ws.native(box)), rt::win32::to_wide(design + "een\r\ntw"));
  ws.person().user_type(box, "\b\b\b");
  EXPECT_EQ(box.Text(), design + "een");
  // An edit in the middle, at positions as the text's length counts them (a line break two);
  // one that does not fit the text does nothing.
  Heard heard;
  ws.person().listen(&heard);
  ws.person().user_edit(box, rt::TextEdit{design.size() + 1, 1, "\xC3\xA9\n"});
  ws.person().listen(nullptr);
  EXPECT_EQ(box.Text(), design + "e\xC3\xA9\r\nn");
  EXPECT_EQ(text_of(ws.native(box)), rt::win32::to_wide(design + "e\xC3\xA9\r\nn"));
  // The control reports it as the edit it was, not as the end typed anew.
  ASSERT_EQ(heard.actions.size(), 1u);
  EXPECT_EQ(heard.actions[0].kind, rt::UserAction::Kind::Edit);
  EXPECT_EQ(heard.actions[0].edit, (rt::TextEdit{design.size() + 1, 1, "\xC3\xA9\r\n"}));
  ws.person().user_edit(box, rt::TextEdit{design.size() + 2, 0, "x"});  // inside the e acute
  ws.person().user_edit(box, rt::TextEdit{0, design.size() + 7, ""});
  EXPECT_EQ(box.Text(), design + "e\xC3\xA9\r\nn");
}

// The message loop gives the MDI keys to the platform: Ctrl+F6 makes another child the active one.
TEST_F(Program, CtrlF6InTheMessageLoopActivatesAnotherChild) {
  Heard heard;
  ws.person().listen(&heard);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(active(), WM_KEYDOWN, VK_F6, 0);
  PostMessageW(ws.main_window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ws.run_message_loop(), 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  ws.person().listen(nullptr);
  ASSERT_EQ(heard.actions.size(), 1u);
  EXPECT_EQ(heard.actions[0].kind, rt::UserAction::Kind::Activate);
  EXPECT_NE(heard.actions[0].target, &form("frmResizeT"));
}

TEST_F(Program, ClosingTheMainWindowEndsTheProgram) {
  SendMessageW(ws.main_window(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(ws.closed()) << "taken down from the message loop, not inside WM_CLOSE";
  EXPECT_EQ(ws.run_message_loop(), 0);
  EXPECT_TRUE(ws.closed());
  EXPECT_TRUE(app.loaded_forms().empty());
  EXPECT_EQ(ws.main_window(), nullptr);
}

TEST_F(Program, AControlWhoseWindowIsGoneRaisesTheRunTimeErrorForIt) {
  auto& label = app.instance<frmResizeT>().Label1();
  DestroyWindow(ws.native(label));
  EXPECT_EQ(error_of([&] { label.set_Caption(rt::Variant("x")); }),
            rt::ErrorCode::PlatformCallFailed);
  EXPECT_EQ(error_of([&] { app.instance<frmResizeT>().Command1().Caption(); }), std::nullopt);
}

}  // namespace
