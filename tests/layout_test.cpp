// The main window's layout pass and its menu commands.

#include <gtest/gtest.h>

#include <cmath>

#include "bar_cases.h"
#include "program_fixture.h"

namespace {

using testing_program::exact;
using testing_program::pixels;
using testing_program::Program;
using Strings = std::vector<std::string>;

using namespace texts;
using bar_cases::BarCase;

// The four combinations of the options at client 9615 x 5000, with the platform reporting
// back exactly what was set: every Move with the types of its arguments.
struct Combination {
  bool oplossing;
  bool wiskundig;
  Strings moves;
};

void PrintTo(const Combination& c, std::ostream* os) {
  *os << "Oplossing " << c.oplossing << ", Wiskundig " << c.wiskundig;
}

class FourCombinations : public ::testing::TestWithParam<Combination> {};

TEST_P(FourCombinations, MovesAndTheirTypes) {
  const Combination& c = GetParam();
  Program p;
  if (c.oplossing) p.click(p.main().mnuOplossing());
  if (c.wiskundig) p.click(p.main().mnuWiskundig());
  p.resize(9615, 5000);
  EXPECT_EQ(p.form_moves(), c.moves);
  EXPECT_EQ(p.caption(), "");
  EXPECT_EQ(p.geometry(p.top()).width, 6000.0f);
  EXPECT_TRUE(p.reported.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Client9615x5000, FourCombinations,
    ::testing::Values(Combination{false,
                                  false,
                                  {"move frmResizeL 0 0:Integer 4807.5:Single 4000:Double",
                                   "move frmResizeR 4807.5 0:Integer 4807.5:Single 4000:Double",
                                   "move frmResizeB 0 4000:Double 9615:Single 1000:Double",
                                   "move frmResizeT 0 1000:Integer 6000:Integer 1200:Integer"}},
                      Combination{true,
                                  false,
                                  {"move frmResizeL 0 0:Integer 4807:Single 4000:Double",
                                   "move frmResizeR 4807 0:Integer 4807:Single 4000:Double",
                                   "move frmResizeB 0 4000:Double 9615:Single 1000:Double",
                                   "move frmResizeT 0 1000:Integer 6000:Integer 1200:Integer"}},
                      Combination{false,
                                  true,
                                  {"move frmResizeL 0 0:Integer 4807.5:Single 4000:Double",
                                   "move frmResizeR 4807.5 0:Integer 4807.5:Single 4000:Double",
                                   "move frmResizeB 0 4000:Double 9615:Single 1000:Double",
                                   "move frmResizeT 0 1000:Integer 6000:Integer 1200:Integer",
                                   "move frmResizeR 4807.5 0:Integer 4807.5:Single 4000:Double"}},
                      Combination{true,
                                  true,
                                  {"move frmResizeL 0 0:Integer 4807:Single 4000:Double",
                                   "move frmResizeR 4807 0:Integer 4807:Single 4000:Double",
                                   "move frmResizeB 0 4000:Double 9615:Single 1000:Double",
                                   "move frmResizeT 0 1000:Integer 6000:Integer 1200:Integer",
                                   "move frmResizeR 4807 0:Integer 4808:Single 4000:Double"}}),
    [](const ::testing::TestParamInfo<Combination>& instance) {
      return std::string(instance.param.oplossing ? "Oplossing" : "NoOplossing") +
             (instance.param.wiskundig ? "Wiskundig" : "NoWiskundig");
    });

TEST(LayoutPass, HeightsAreRoundedDownSeparately) {
  Program p;
  p.resize(9615, 4999);
  const Strings moves = p.form_moves();
  ASSERT_EQ(moves.size(), 4u);
  EXPECT_EQ(moves[0], "move frmResizeL 0 0:Integer 4807.5:Single 3999:Double");
  EXPECT_EQ(moves[2], "move frmResizeB 0 3999:Double 9615:Single 999:Double");
  // One twip short of the bottom edge.
  const rt::Rect b = p.geometry(p.bottom());
  EXPECT_EQ(b.top + b.height, 4998.0f);
}

class Bars : public ::testing::TestWithParam<BarCase> {};

TEST_P(Bars, AfterTheResize) {
  const BarCase& c = GetParam();
  // A width between two twips is only held by the exact window system.
  Program p(c.width == std::floor(c.width) ? pixels() : exact());
  if (c.oplossing) p.click(p.main().mnuOplossing());
  if (c.wiskundig) p.click(p.main().mnuWiskundig());
  p.resize(c.width, bar_cases::kHeight);
  EXPECT_EQ(p.ws.client_scroll_bars(), c.bars);
  EXPECT_EQ(p.caption(), c.caption);
  EXPECT_EQ(p.geometry(p.top()).width, c.top_width);
  EXPECT_EQ(p.lines("write frmResizeT.Width").size(), c.top_width < 6000 ? 1u : 0u);
  const rt::Rect r = p.geometry(p.right());
  EXPECT_EQ(r.left + r.width, c.right_edge);
  EXPECT_TRUE(p.reported.empty());
}

INSTANTIATE_TEST_SUITE_P(InPixels, Bars, ::testing::ValuesIn(bar_cases::kBarCases),
                         bar_cases::test_name);
// Half a twip narrower than the top form is narrower.
INSTANTIATE_TEST_SUITE_P(Exact, Bars,
                         ::testing::Values(BarCase{"OplossingHalfATwipNarrower", true, false,
                                                   5999.5f, kTwoLines, 5999.5f, 5998,
                                                   bar_cases::kNone}),
                         bar_cases::test_name);

TEST(LayoutPass, ANarrowedTopFormIsWidenedAgainFirst) {
  Program p;
  p.click(p.main().mnuWiskundig());
  p.resize(4500, 3000);
  EXPECT_EQ(p.geometry(p.top()).width, 4500.0f);
  p.resize(7000, 3000);
  EXPECT_EQ(p.geometry(p.top()).width, 6000.0f);
  EXPECT_EQ(p.caption(), "");
}

TEST(LayoutPass, ZeroClientArea) {
  {
    Program p;
    p.resize(0, 0);
    EXPECT_EQ(p.form_moves(),
              (Strings{"move frmResizeL 0 0:Integer 0:Single 0:Double",
                       "move frmResizeR 0 0:Integer 0:Single 0:Double",
                       "move frmResizeB 0 0:Double 0:Single 0:Double",
                       "move frmResizeT 0 1000:Integer 6000:Integer 1200:Integer"}));
    EXPECT_EQ(p.caption(), kDouble);
    EXPECT_TRUE(p.reported.empty());
  }
  {
    Program p(pixels());
    p.click(p.main().mnuOplossing());
    p.resize(0, 0);
    EXPECT_EQ(p.caption(), kTwoLines);
    EXPECT_EQ(p.geometry(p.top()).width, 0.0f);
    EXPECT_EQ(p.state(p.bottom().Text1()).geometry, (rt::Rect{0, 0, 0, 0}));
    EXPECT_TRUE(p.reported.empty());
  }
}

TEST(LayoutPass, BarsOfTheLastEventNarrowTheNextPass) {
  // The bars of the last event make ScaleWidth smaller than the client area; every read in
  // the next pass sees the same smaller width, the top form still overhangs.
  Program p(pixels());
  p.resize(4500, 3000);
  ASSERT_EQ(p.ws.client_scroll_bars(), (rt::ScrollBars{true, true}));
  p.click_resize_button();
  const Strings moves = p.form_moves();
  ASSERT_EQ(moves.size(), 4u);
  // 4500 less a 17-pixel bar is 4245; half of it 2122.5, snapped to 2130 (142 px).
  EXPECT_EQ(moves[0], "move frmResizeL 0 0:Integer 2122.5:Single 2196:Double");
  EXPECT_EQ(moves[1], "move frmResizeR 2130 0:Integer 2122.5:Single 2196:Double");
}

TEST(LayoutPass, NegativeRemainderIsDiscardedAndTheReportStillRuns) {
  // A left form held wider than the client area (the window system keeps a minimum width
  // for framed children) makes the remainder negative.
  rt::headless::Config config = pixels();
  config.min_child_width_px = 100;
  Program p(config);
  p.click(p.main().mnuWiskundig());
  p.resize(1200, 3000);
  EXPECT_EQ(p.geometry(p.left()).width, 1500.0f);
  EXPECT_EQ(p.lines("move frmResizeR").back(),
            "move frmResizeR 1500 0:Integer -300:Single 2400:Double");
  EXPECT_EQ(p.lines("resume"),
            Strings{"resume 5 \"Invalid procedure call or argument: negative size -300\""});
  EXPECT_EQ(p.caption(), kTwoLines);
  EXPECT_EQ(p.lines("write frmResizeT.Width"), Strings{"write frmResizeT.Width 1200:Single"});
  EXPECT_TRUE(p.reported.empty());
}

TEST(LayoutPass, ResizeButtonRunsTheSamePass) {
  Program p;
  p.resize(8000, 4000);
  const Strings from_resize = p.form_moves();
  p.top().Label1().set_Caption(rt::Variant("stale"));
  p.click_resize_button();
  EXPECT_EQ(p.form_moves(), from_resize);
  EXPECT_EQ(p.caption(), "");
  EXPECT_EQ(p.lines("callbyname"), Strings{"callbyname MDIResize.Resizing"});
}

TEST(LayoutPass, ResizingIsReachableByNameThroughTheRegistry) {
  Program p;
  p.resize(7000, 3000);
  p.trace.lines.clear();
  rt::call_by_name(p.app.Forms(0), "Resizing");
  EXPECT_EQ(p.form_moves().size(), 4u);
}

TEST(MenuCommands, OptionsToggleAndRunThePass) {
  Program p;
  p.resize(9615, 5000);
  auto& opl = p.main().mnuOplossing();
  p.click(opl);
  EXPECT_TRUE(p.checked(opl));
  EXPECT_EQ(p.lines("write MDIResize.mnuOplossing.Checked"),
            Strings{"write MDIResize.mnuOplossing.Checked True"});
  EXPECT_EQ(p.form_moves().size(), 4u);
  EXPECT_EQ(p.geometry(p.left()).width, 4807.0f);
  p.click(opl);
  EXPECT_FALSE(p.checked(opl));
  EXPECT_EQ(p.geometry(p.left()).width, 4807.5f);
  EXPECT_FALSE(p.checked(p.main().mnuWiskundig()));
}

// The text "Vul tekstbox" writes: 15 lines of (line Mod 5) + 1 phrases.
std::vector<int> phrases_per_line(const std::string& text) {
  std::vector<int> counts;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) return {-1};
    const std::string line = text.substr(start, end - start);
    int n = 0;
    for (std::size_t at = 0; at < line.size(); at += kPhrase.size()) {
      if (line.compare(at, kPhrase.size(), kPhrase) != 0) return {-2};
      ++n;
    }
    counts.push_back(n);
    start = end + 2;
  }
  return counts;
}

TEST(MenuCommands, FillTextBoxReplacesTheTextWithTheSame1650Characters) {
  Program p;
  const std::string design = p.state(p.bottom().Text1()).text;
  EXPECT_EQ(design.size(), 92u);
  EXPECT_EQ(design.substr(90), "\r\n");
  p.ws.person().user_type(p.bottom().Text1(), "typed by hand");
  p.click(p.main().menu("mnuVulBox"));
  const std::string once = p.state(p.bottom().Text1()).text;
  EXPECT_EQ(once.size(), 1650u);
  EXPECT_EQ(phrases_per_line(once),
            (std::vector<int>{2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1}));
  p.click(p.main().menu("mnuVulBox"));
  EXPECT_EQ(p.state(p.bottom().Text1()).text, once);
  EXPECT_TRUE(p.form_moves().empty());  // no layout pass
}

}  // namespace
