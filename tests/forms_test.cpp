// Start-up, and what the child forms do by themselves.

#include <gtest/gtest.h>

#include <cmath>

#include "program_fixture.h"

namespace {

using testing_program::exact;
using testing_program::pixels;
using testing_program::Program;
using Strings = std::vector<std::string>;

TEST(StartUp, MainWindowFirstThenTheChildrenInTheOrderThePassNamesThem) {
  Program p;
  EXPECT_EQ(p.lines("create"),
            (Strings{"create MDIResize", "create frmResizeL", "create frmResizeR",
                     "create frmResizeB", "create frmResizeT"}));
  const auto& forms = p.app.loaded_forms();
  ASSERT_EQ(forms.size(), 5u);
  EXPECT_EQ(forms[0]->path(), "MDIResize");
  // Each child is loaded in that order, and created before its own Move.
  const auto& t = p.trace.lines;
  std::size_t i = 0;
  for (const std::string name : {"frmResizeL", "frmResizeR", "frmResizeB", "frmResizeT"}) {
    EXPECT_EQ(forms[++i]->path(), name);
    const auto created = std::find(t.begin(), t.end(), "create " + name);
    const auto moved = std::find_if(t.begin(), t.end(), [&](const std::string& line) {
      return line.rfind("move " + name + " ", 0) == 0;
    });
    EXPECT_LT(created, moved) << name;
  }
  EXPECT_TRUE(p.reported.empty());
}

TEST(StartUp, TheLeftFormIsFilledBeforeItIsFirstPlaced) {
  Program p;
  const auto& t = p.trace.lines;
  const auto last_item =
      std::find(t.begin(), t.end(), "additem frmResizeL.List1(2) \"abcdefghijklmnopqrstuvwxyz\"");
  const auto placed = std::find_if(t.begin(), t.end(), [](const std::string& line) {
    return line.rfind("move frmResizeL ", 0) == 0;
  });
  ASSERT_NE(last_item, t.end());
  EXPECT_LT(last_item, placed);
}

TEST(StartUp, DesignTimeValues) {
  Program p(pixels());
  EXPECT_EQ(Program::state(p.main()).text, "ResizeL");
  EXPECT_EQ(Program::state(p.left()).text, "Resize Left");
  EXPECT_EQ(Program::state(p.right()).text, "Resize right");
  EXPECT_EQ(Program::state(p.top()).text, "Form1");
  EXPECT_EQ(Program::state(p.bottom()).text, "Textbox resizing");
  EXPECT_EQ(Program::state(p.top().Command1()).text, "Resize");
  EXPECT_EQ(Program::state(p.top().Command1()).geometry, (rt::Rect{4680, 120, 975, 375}));
  EXPECT_EQ(Program::state(p.top().Label1()).geometry, (rt::Rect{120, 120, 4455, 855}));
  // The first pass ran at the design-time client size, 6480 x 4860.
  EXPECT_EQ(p.geometry(p.left()), (rt::Rect{0, 0, 3240, 3885}));
  EXPECT_EQ(p.geometry(p.bottom()), (rt::Rect{0, 3885, 6480, 975}));
  // The bottom form has no frame: its client area is all of it.
  EXPECT_EQ(Program::state(p.bottom()).client, (rt::Size{6480, 975}));
  EXPECT_EQ(p.ws.client_scroll_bars(), (rt::ScrollBars{false, false}));
  for (auto* menu : {&p.main().mnuOplossing(), &p.main().mnuWiskundig()}) {
    EXPECT_FALSE(p.checked(*menu));
  }
}

TEST(ListColumns, ListsAreFilledOnceWithTheAlphabetsTails) {
  Program p;
  const Strings l0 = Program::state(p.left().List1(0)).items;
  const Strings l1 = Program::state(p.left().List1(1)).items;
  const Strings l2 = Program::state(p.left().List1(2)).items;
  ASSERT_EQ(l0.size(), 26u);
  ASSERT_EQ(l2.size(), 27u);
  EXPECT_EQ(l0, l1);
  EXPECT_EQ(l2.front(), std::string(25, 'a'));
  EXPECT_EQ(Strings(l2.begin() + 1, l2.end()), l0);
  EXPECT_EQ(l0[0], "z");
  EXPECT_EQ(l0[2], "xyz");
  EXPECT_EQ(l0.back(), "abcdefghijklmnopqrstuvwxyz");
  // Later passes do not fill them again.
  p.resize(9000, 5000);
  p.click(p.main().mnuOplossing());
  EXPECT_EQ(Program::state(p.left().List1(2)).items.size(), 27u);
}

// The three columns as the list boxes hold them: left and width of each.
std::vector<std::pair<float, float>> columns(Program& p) {
  std::vector<std::pair<float, float>> found;
  for (std::int16_t j = 0; j < 3; ++j) {
    const rt::Rect r = Program::state(p.left().List1(j)).geometry;
    found.emplace_back(r.left, r.width);
  }
  return found;
}

// Gives the left form a client area `scale_width` wide and 3000 high.
void size_left_form(Program& p, float scale_width) {
  p.left().Move(0, rt::Variant(std::int16_t{0}), rt::Variant(scale_width + 120.0f),
                rt::Variant(3510.0f));
}

using Columns = std::vector<std::pair<float, float>>;

TEST(ListColumns, PlainOnesLeaveAStripCorrectedOnesEndOnTheEdge) {
  const float third = 4000.0f / 3.0f;
  const struct {
    const char* name;
    bool in_pixels, corrected;
    float width;
    Columns columns;
  } cases[] = {
      {"plain", false, false, 4000, {{0, third}, {third, 1333}, {third + 1333, 1333}}},
      {"corrected", false, true, 4000, {{0, 1333}, {1333, 1333}, {2666, 1334}}},
      // A multiple of three gives the same columns either way.
      {"plain 4005", false, false, 4005, {{0, 1335}, {1335, 1335}, {2670, 1335}}},
      {"corrected 4005", false, true, 4005, {{0, 1335}, {1335, 1335}, {2670, 1335}}},
      {"plain zero", false, false, 0, {{0, 0}, {0, 0}, {0, 0}}},
      {"corrected zero", false, true, 0, {{0, 0}, {0, 0}, {0, 0}}},
      // On whole pixels List1(0) reports 1335 for a third of 3990 (88.67 px -> 89), and
      // List1(1) starts there, not at 1330.
      {"plain in pixels", true, false, 3990, {{0, 1335}, {1335, 1335}, {2670, 1335}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Program p(c.in_pixels ? pixels() : exact());
    p.main().mnuOplossing().set_Checked(c.corrected);
    size_left_form(p, c.width);
    EXPECT_EQ(columns(p), c.columns);
    for (std::int16_t j = 0; j < 3; ++j) {
      EXPECT_EQ(Program::state(p.left().List1(j)).geometry.height, 3000.0f);
      EXPECT_EQ(Program::state(p.left().List1(j)).horizontal_extent, c.corrected ? 1000 : 0);
    }
    EXPECT_TRUE(p.reported.empty());
  }
}

TEST(ListColumns, CorrectedEdgesAreTheWholePartsOfTheThirdsForEveryWidth) {
  // Straight through the handler, in exact mode, for every whole width up to 200000.
  Program p;
  p.app.set_tracer(nullptr);
  p.main().mnuOplossing().set_Checked(true);
  int wrong = 0;
  for (long width = 0; width <= 200000 && wrong < 5; ++width) {
    size_left_form(p, static_cast<float>(width));
    const Columns c = columns(p);
    const float edges[] = {c[0].first + c[0].second, c[1].first + c[1].second,
                           c[2].first + c[2].second};
    const long expected[] = {width / 3, 2 * width / 3, width};
    for (std::size_t j = 0; j < 3; ++j) {
      if (edges[j] != static_cast<float>(expected[j]) || c[j].second < 0) {
        ADD_FAILURE() << "width " << width << " column " << j << " edge " << edges[j];
        ++wrong;
      }
    }
  }
}

TEST(ListColumns, AnOptionReachesTheColumnsOnlyWithTheLeftFormsNextResize) {
  // At 6480 the half width is whole either way: the left form keeps its size, gets no
  // Resize, and its columns stay plain until its size changes.
  Program p;
  p.click(p.main().mnuOplossing());
  EXPECT_TRUE(p.lines("call SendMessageA").empty());
  EXPECT_EQ(Program::state(p.left().List1(0)).horizontal_extent, 0);
  p.resize(6495, 4860);
  EXPECT_EQ(p.lines("call SendMessageA").size(), 3u);
}

TEST(ListColumns, TheExtentStaysWhenTheOptionIsUnchecked) {
  Program p;
  p.resize(9615, 5000);  // an odd width: the rounded half is a new size for the left form
  p.click(p.main().mnuOplossing());
  p.click(p.main().mnuOplossing());
  EXPECT_EQ(p.lines("call SendMessageA").size(), 0u);  // the plain layout sends nothing
  for (std::int16_t j = 0; j < 3; ++j) {
    EXPECT_EQ(Program::state(p.left().List1(j)).horizontal_extent, 1000);
  }
}

TEST(ListColumns, EachListGetsItsExtentRightAfterItsOwnMove) {
  Program p;
  p.resize(9615, 5000);
  p.click(p.main().mnuOplossing());
  Strings order;
  for (const auto& line : p.trace.lines) {
    if (line.rfind("move frmResizeL.List1", 0) == 0) order.push_back(line.substr(5, 19));
    if (line.rfind("call SendMessageA", 0) == 0) order.push_back("extent");
  }
  EXPECT_EQ(order, (Strings{"frmResizeL.List1(0)", "extent", "frmResizeL.List1(1)", "extent",
                            "frmResizeL.List1(2)", "extent"}));
  EXPECT_EQ(p.lines("declare").size(), 1u);  // looked up at the first call only
}

TEST(BottomForm, TheTextBoxFillsTheForm) {
  Program p(pixels());
  p.resize(9000, 5000);
  EXPECT_EQ(Program::state(p.bottom().Text1()).geometry, (rt::Rect{0, 0, 9000, 1005}));
  p.resize(9000, 4);  // a bottom form of zero height
  const rt::Rect text = Program::state(p.bottom().Text1()).geometry;
  EXPECT_EQ(text.height, 0.0f);
  EXPECT_EQ(text.width, p.geometry(p.bottom()).width);
  EXPECT_TRUE(p.reported.empty());
}

// Sized by hand, the top form leaves its button and label where they were, the right form
// runs nothing, and the left form lays out its columns again.
TEST(ChildForms, SizedByHand) {
  Program p(pixels());
  const rt::PeerState label = Program::state(p.top().Label1());
  const rt::PeerState button = Program::state(p.top().Command1());
  p.ws.person().user_place(p.top(), rt::Rect{300, 300, 1995, 900});
  EXPECT_EQ(p.geometry(p.top()), (rt::Rect{300, 300, 1995, 900}));
  EXPECT_EQ(Program::state(p.top().Label1()).geometry, label.geometry);
  EXPECT_EQ(Program::state(p.top().Command1()).geometry, button.geometry);

  p.trace.lines.clear();
  p.ws.person().user_place(p.right(), rt::Rect{0, 0, 900, 900});
  EXPECT_TRUE(p.trace.lines.empty());

  p.ws.person().user_place(p.left(), rt::Rect{0, 0, 3120, 3000});  // client 3000 wide
  EXPECT_EQ(columns(p), (Columns{{0, 1005}, {1005, 1005}, {2010, 1005}}));
}

}  // namespace
