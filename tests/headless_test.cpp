// The in-memory window system: pixel snapping, child frames, the MDI client's scroll bars; and
// fault injection in front of it.

#include "runtime/headless/headless_window_system.h"

#include <gtest/gtest.h>

#include <tuple>

#include "error_of.h"
#include "runtime/fault_injection.h"
#include "test_project.h"

namespace {

using rt::Variant;
using rt::headless::Config;
using rt::headless::HeadlessWindowSystem;
using Op = rt::PeerOp;
using enum rt::ErrorCode;
using testapp::ChildA;
using testapp::ChildB;
using testapp::ChildC;

constexpr std::int16_t kZero = 0;

Config with_tpp(double tpp, bool exact = false) {
  Config config;
  config.twips_per_pixel = tpp;
  config.exact = exact;
  return config;
}

ChildC& started(testapp::TestApp& t) {
  t.app.start();
  return t.app.instance<ChildC>();
}

TEST(Snapping, LengthsBecomeWholePixelsRoundedHalfAwayFromZero) {
  HeadlessWindowSystem ws;
  testapp::TestApp t{ws};
  ChildC& c = started(t);
  c.Move(7.5f, Variant(7.4f), Variant(4807.5f), Variant(4000.0));
  EXPECT_EQ(c.Left(), 15.0f);      // 0.5 px -> 1
  EXPECT_EQ(c.Top(), 0.0f);        // 0.49 px -> 0
  EXPECT_EQ(c.Width(), 4815.0f);   // 320.5 px -> 321
  EXPECT_EQ(c.Height(), 4005.0f);  // 266.67 px -> 267
  c.Move(-7.5f, Variant(kZero), Variant(4792.5f), Variant(4000.0));
  EXPECT_EQ(c.Left(), -15.0f);
  EXPECT_EQ(c.Width(), 4800.0f);  // 319.5 px -> 320
}

TEST(Snapping, ExactModeKeepsFractionalTwips) {
  HeadlessWindowSystem ws(with_tpp(15, true));
  testapp::TestApp t{ws};
  ChildC& c = started(t);
  c.Move(7.5f, Variant(kZero), Variant(4807.5f), Variant(4000.0));
  EXPECT_EQ(c.Left(), 7.5f);
  EXPECT_EQ(c.Width(), 4807.5f);
  EXPECT_EQ(c.ScaleWidth(), 4807.5f - 120.0f);
}

TEST(Snapping, TwipsPerPixelIsConfigurable) {
  HeadlessWindowSystem ws(with_tpp(12));
  testapp::TestApp t{ws};
  ChildC& c = started(t);
  c.Move(0, Variant(kZero), Variant(4807.5f), Variant(4000.0));
  EXPECT_EQ(c.Width(), 4812.0f);               // 400.625 px -> 401
  EXPECT_EQ(c.ScaleWidth(), 4812.0f - 96.0f);  // the 4-pixel frame is 48 twips a side here
  EXPECT_THROW(HeadlessWindowSystem(with_tpp(0)), std::invalid_argument);
}

TEST(Frames, FramedChildrenLoseTheirFrameFromTheClientAreaFramelessOnesDoNot) {
  HeadlessWindowSystem ws;
  testapp::TestApp t{ws};
  t.app.start();
  auto& c = t.app.instance<ChildC>();
  auto& b = t.app.instance<ChildB>();
  // Loaded at the design-time client size.
  EXPECT_EQ(c.ScaleWidth(), 1500.0f);
  EXPECT_EQ(c.ScaleHeight(), 1500.0f);
  EXPECT_EQ(c.Width(), 1500.0f + 120.0f);
  EXPECT_EQ(c.Height(), 1500.0f + 510.0f);
  c.Move(0, Variant(kZero), Variant(3990.0f), Variant(3000.0));
  EXPECT_EQ(c.ScaleWidth(), 3870.0f);
  EXPECT_EQ(c.ScaleHeight(), 2490.0f);
  c.Move(0, Variant(kZero), Variant(60.0f), Variant(0.0));
  EXPECT_EQ(c.ScaleWidth(), 0.0f);
  EXPECT_EQ(c.ScaleHeight(), 0.0f);
  b.Move(0, Variant(kZero), Variant(3990.0f), Variant(3000.0));
  EXPECT_EQ(b.ScaleWidth(), 3990.0f);
  EXPECT_EQ(b.ScaleHeight(), 3000.0f);
}

// The main window's client area is 6000 x 4500 twips, 400 x 300 pixels; a scroll bar is
// 17 pixels, 255 twips. ChildB has no frame, so its outer size is what it covers.
class ScrollBars : public ::testing::Test {
 protected:
  ScrollBars() {
    t.app.start();
    t.app.instance<ChildB>();
  }
  // Places ChildB from inside the main window's Resize, as a layout pass does.
  rt::ScrollBars place(float width, double height, float client_width = 6000) {
    t.log.on_main_resize = [=](rt::Form& main) {
      main.app().instance<ChildB>().Move(0, Variant(kZero), Variant(width), Variant(height));
    };
    ws.person().user_resize_client(client_width, 4500);
    return ws.client_scroll_bars();
  }
  rt::Form& main() { return t.app.Forms(0); }

  HeadlessWindowSystem ws;
  testapp::TestApp t{ws};
};

TEST_F(ScrollBars, FollowTheChildToThePixel) {
  // The child's width and height; the bars, ScaleWidth and ScaleHeight they leave.
  using Case = std::tuple<float, double, rt::ScrollBars, float, float>;
  // Reaching one pixel past the right edge brings the horizontal bar; it covers the bottom of
  // a child that filled the height, which brings the vertical bar, and the other way round.
  // One bar alone where the other direction has room for it; a fractional overhang that
  // rounds away brings nothing.
  for (const auto& [width, height, bars, scale_width, scale_height] :
       {Case{6000, 4500, {false, false}, 6000, 4500}, Case{6015, 3000, {true, false}, 6000, 4245},
        Case{5745, 4515, {false, true}, 5745, 4500}, Case{6015, 4500, {true, true}, 5745, 4245},
        Case{6000, 4515, {true, true}, 5745, 4245}, Case{6007, 4500, {false, false}, 6000, 4500}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    EXPECT_EQ(place(width, height), bars);
    EXPECT_EQ(main().ScaleWidth(), scale_width);
    EXPECT_EQ(main().ScaleHeight(), scale_height);
  }
}

TEST_F(ScrollBars, BarsFromTheLastEventShrinkTheNextPass) {
  place(6015, 4500);
  float seen = 0;
  t.log.on_main_resize = [&](rt::Form& m) { seen = m.ScaleWidth(); };
  ws.person().user_resize_client(7500, 4500);
  EXPECT_EQ(seen, 7500.0f - 255.0f);
  EXPECT_EQ(ws.client_scroll_bars(), (rt::ScrollBars{false, false}));
}

TEST_F(ScrollBars, AMomentaryOverhangInsideOneEventChangesNothing) {
  std::vector<float> widths;
  t.log.on_main_resize = [&](rt::Form& m) {
    auto& b = m.app().instance<ChildB>();
    b.Move(0, Variant(kZero), Variant(9000.0f), Variant(9000.0));
    widths.push_back(m.ScaleWidth());
    widths.push_back(m.ScaleHeight());
    b.Move(0, Variant(kZero), Variant(3000.0f), Variant(3000.0));
    widths.push_back(m.ScaleWidth());
  };
  ws.person().user_resize_client(6000, 4500);
  EXPECT_EQ(widths, (std::vector<float>{6000, 4500, 6000}));
  EXPECT_EQ(ws.client_scroll_bars(), (rt::ScrollBars{false, false}));
}

TEST_F(ScrollBars, AChildMovedByHandBringsThemToo) {
  place(3000, 3000);
  auto& b = t.app.instance<ChildB>();
  ws.person().user_place(b, rt::Rect{-15, 0, 3000, 3000});
  EXPECT_EQ(ws.client_scroll_bars(), (rt::ScrollBars{true, false}));
  ws.person().user_place(b, rt::Rect{0, 0, 3000, 3000});
  EXPECT_EQ(ws.client_scroll_bars(), (rt::ScrollBars{false, false}));
}

class Faults : public ::testing::Test {
 protected:
  Faults() { t.app.start(); }
  HeadlessWindowSystem ws;
  rt::FaultInjection faults{ws};
  testapp::TestApp t{ws};
};

TEST_F(Faults, TheNthCallOfAnOperationFailsOnce) {
  auto& c = t.app.instance<ChildC>();
  c.Width();
  faults.plan().inject("ChildC", Op::Geometry, 2);
  EXPECT_EQ(error_of([&] { c.Width(); }), std::nullopt);
  EXPECT_EQ(error_of([&] { c.Left(); }), PlatformCallFailed);
  EXPECT_EQ(error_of([&] { c.Width(); }), std::nullopt);
  EXPECT_EQ(faults.plan().fired(), 1u);
  EXPECT_EQ(faults.plan().pending(), 0u);
}

TEST_F(Faults, AFailedMoveLeavesTheWindowWhereItWas) {
  auto& c = t.app.instance<ChildC>();
  c.Move(0, Variant(kZero), Variant(3000.0f), Variant(3000.0));
  faults.plan().inject("ChildC", Op::Place);
  EXPECT_EQ(error_of([&] { c.Move(150, Variant(kZero), Variant(4500.0f), Variant(3000.0)); }),
            PlatformCallFailed);
  EXPECT_EQ(c.Left(), 0.0f);
  EXPECT_EQ(c.Width(), 3000.0f);
}

TEST_F(Faults, OtherObjectsAndOperationsAreNotAffected) {
  auto& a = t.app.instance<ChildA>();
  faults.plan().inject("ChildA.Label1", Op::SetText);
  EXPECT_EQ(error_of([&] { a.List1(0).Width(); }), std::nullopt);
  EXPECT_EQ(error_of([&] { a.Label1().Caption(); }), std::nullopt);
  EXPECT_EQ(error_of([&] { a.Label1().set_Caption(Variant("x")); }), PlatformCallFailed);
  EXPECT_EQ(a.Label1().Caption(), "Label1");

  faults.plan().inject("Main.mnuOpt", Op::Checked);
  EXPECT_EQ(error_of([&] { t.app.instance<testapp::Main>().mnuOpt().Checked(); }),
            PlatformCallFailed);
}

TEST_F(Faults, AFailedLoadLeavesTheFormUnloadedUntilTheNextAccess) {
  auto& c = t.app.instance<ChildC>();
  faults.plan().inject("ChildC", Op::Create);
  EXPECT_EQ(error_of([&] { c.Width(); }), PlatformCallFailed);
  EXPECT_FALSE(c.loaded());
  EXPECT_EQ(t.app.loaded_forms().size(), 1u);
  EXPECT_EQ(error_of([&] { c.Width(); }), std::nullopt);
  EXPECT_TRUE(c.loaded());
}

TEST_F(Faults, AFailedControlLeavesNoHalfLoadedForm) {
  auto& a = t.app.instance<ChildA>();  // its Initialize loads it
  a.unload();
  faults.plan().inject("ChildA.List1(1)", Op::Create);
  EXPECT_EQ(error_of([&] { a.Width(); }), PlatformCallFailed);
  EXPECT_FALSE(a.loaded());
  EXPECT_EQ(error_of([&] { a.List1(1).Width(); }), std::nullopt);
}

// Under fault injection a person's actions still reach the program, and a failure only the
// call it was planned for.
TEST_F(Faults, EverythingElsePassesThrough) {
  Codes reported;
  t.app.set_error_reporter([&](const rt::Error& e) { reported.push_back(e.code()); });
  auto& main = t.app.instance<testapp::Main>();
  faults.plan().inject("Main.mnuOpt", Op::SetChecked);
  ws.person().user_click(main.mnuOpt());
  EXPECT_EQ(t.log.lines.back(), "Main.mnuOpt.Click");
  EXPECT_EQ(reported, Codes{PlatformCallFailed});
  EXPECT_FALSE(main.mnuOpt().Checked());
  ws.person().user_click(main.mnuOpt());
  EXPECT_TRUE(main.mnuOpt().Checked());

  auto& c = t.app.instance<ChildC>();
  c.Width();  // loads it
  ws.person().user_place(c, rt::Rect{0, 0, 9000, 1500});
  EXPECT_TRUE(ws.client_scroll_bars().horizontal);
}

TEST(Controls, KeepWhatTheyWereGiven) {
  HeadlessWindowSystem ws;
  testapp::TestApp t{ws};
  t.app.start();
  auto& a = t.app.instance<ChildA>();
  a.List1(1).AddItem(Variant("x"));
  a.List1(1).AddItem(Variant("y"));
  EXPECT_EQ(a.List1(1).ListCount(), 3);
  a.Label1().set_Caption(Variant("Oeps"));
  EXPECT_EQ(a.Label1().Caption(), "Oeps");
  a.List1(0).Move(0, Variant(kZero), Variant(100.0f), Variant(100.0f));
  EXPECT_EQ(a.List1(0).Width(), 105.0f);  // 6.67 px -> 7
  auto& main = t.app.instance<testapp::Main>();
  main.mnuOpt().set_Checked(true);
  ws.person().user_resize_client(5000, 5000);
  EXPECT_TRUE(main.mnuOpt().Checked());
  EXPECT_EQ(a.List1(1).ListCount(), 3);
  EXPECT_EQ(a.Label1().Caption(), "Oeps");
}

// Typing at the end of a text: each case the text before, what is typed, the text after.
TEST(Typing, GoesToTheEndAndBackspacesTakeWholeCharacters) {
  const struct {
    std::string before, typed, after;
  } cases[] = {
      {"abc", "de", "abcde"},
      {"abc", "\b\bx", "ax"},
      {"ab\r\n", "\b", "ab"},    // a line break is one character
      {"a\xC3\xA9", "\b", "a"},  // so is a UTF-8 sequence
      {"a\xE2\x82\xAC\xC3\xA9", "\b\b", "a"},
      {"a", "\b\b\b", ""},                     // nothing left to take
      {"", "x\ry\nz\r\n", "x\r\ny\r\nz\r\n"},  // a line break however typed
      {"\xA9", "\b", ""},                      // a stray continuation byte alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rt::typed_text(c.before, c.typed), c.after) << rt::quote(c.typed);
    // What a recording says was typed makes the same text again.
    EXPECT_EQ(rt::typed_text(c.before, rt::typing_between(c.before, c.after)), c.after)
        << rt::quote(c.before) << " -> " << rt::quote(c.after);
  }
  // Typing replaces all after an edit in the middle; a lone CR cannot be typed.
  EXPECT_EQ(rt::typing_between("hello world", "help world"), std::string(8, '\b') + "p world");
  EXPECT_EQ(rt::typed_text("a\r", rt::typing_between("a\r", "a\r\n")), "a\r\n");
}

// An edit in one place: each case the text, the edit, and the text after it, or the error that
// refuses it.
TEST(Editing, TakesAwayAndPutsInAtAPositionOnWholeCharacters) {
  const struct {
    std::string before;
    rt::TextEdit edit;
    std::string after, error;
  } cases[] = {
      {"abcdef", {3, 0, "X"}, "abcXdef", ""},
      {"abcdef", {0, 2, ""}, "cdef", ""},
      {"abcdef", {6, 0, "!"}, "abcdef!", ""},            // at the end
      {"ab\r\ncd", {4, 2, "x\ny"}, "ab\r\nx\r\ny", ""},  // a line break as typing makes it
      {"ab\r\ncd", {2, 2, ""}, "abcd", ""},              // a line break is two
      {"a\xC3\xA9"
       "b",
       {1, 2, "e"},
       "aeb",
       ""},
      {"abc", {4, 0, "x"}, "", "position 4 is past the end (the length is 3)"},
      {"abc", {1, 3, ""}, "", "cannot delete 3 from position 1 (the length is 3)"},
      {"ab\r\ncd", {3, 0, "x"}, "", "position 3 is inside a line break or a character"},
      {"a\xC3\xA9"
       "b",
       {2, 0, "x"},
       "",
       "position 2 is inside"},
      {"a\xC3\xA9"
       "b",
       {0, 2, ""},
       "",
       "deleting 2 from position 0 ends inside"},
  };
  HeadlessWindowSystem ws;
  testapp::TestApp t{ws};
  const rt::Object& box = t.app.main_form();  // what the action names
  for (const auto& c : cases) {
    const std::string error = rt::edit_error(c.before, c.edit);
    const std::string what = rt::quote(c.before) + " at " + std::to_string(c.edit.position);
    EXPECT_EQ(error.substr(0, c.error.size()), c.error) << what;
    EXPECT_EQ(error.empty(), c.error.empty()) << what << ": " << error;
    if (!error.empty()) continue;
    EXPECT_EQ(rt::edited_text(c.before, c.edit), c.after) << what;
    // What the window systems report of the change replays to the same text: an edit where
    // it does not reach the end, typing at the end where it does.
    const rt::UserAction told = rt::text_changed(box, c.before, c.after);
    const std::string replayed = told.kind == rt::UserAction::Kind::Edit
                                     ? rt::edited_text(c.before, told.edit)
                                     : rt::typed_text(c.before, told.text);
    EXPECT_EQ(replayed, c.after) << what;
    EXPECT_EQ(told.kind == rt::UserAction::Kind::Type,
              c.edit.position + c.edit.removed == c.before.size())
        << what;
  }
  // In proportion: one key in the middle of a long text is one character put in.
  const std::string long_text(2000, 'a');
  const rt::UserAction key = rt::text_changed(box, long_text, "b" + long_text);
  EXPECT_EQ(key.kind, rt::UserAction::Kind::Edit);
  EXPECT_EQ(key.edit.removed + key.edit.inserted.size(), 1u);
  // The least edit keeps whole characters: an e acute made an e grave is the character, not
  // its last byte.
  EXPECT_EQ(rt::edit_between("x\xC3\xA9"
                             "y",
                             "x\xC3\xA8"
                             "y"),
            (rt::TextEdit{1, 2, "\xC3\xA8"}));
  EXPECT_EQ(rt::edit_between("a\r\nb", "a\nb"), (rt::TextEdit{1, 2, "\n"}));
}

}  // namespace
