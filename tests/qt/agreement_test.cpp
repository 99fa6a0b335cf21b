// The in-memory window system, given the Qt style's metrics, predicts what the real QMdiArea
// shows: the scroll bars width by width for every combination of the options, and the children's
// states, stacking order and places as a person minimises, maximises, activates and drags them.

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <string_view>

#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "app/session.h"
#include "app/sweep.h"
#include "forms/frmResizeT.h"
#include "qt_support.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"

namespace {

TEST(Agreement, InMemoryScrollBarsMatchTheRealMdiArea) {
  const rt::headless::Config config = qt_support::config_like_qt();
  app::SweepOptions options;
  options.from = 3000;
  options.to = 12000;
  options.step = 7 * config.twips_per_pixel;  // odd and even pixel widths alike
  options.height = 4860;

  const app::SweepResult memory = app::run_sweep(
      options, [&] { return std::make_unique<rt::headless::HeadlessWindowSystem>(config); }, {},
      nullptr);
  const app::SweepResult qt = app::run_sweep(
      options, [] { return std::make_unique<rt::qt::QtWindowSystem>(); }, {}, nullptr);

  ASSERT_EQ(memory.samples.size(), qt.samples.size());
  ASSERT_GT(qt.samples.size(), 4u * 80u);
  int double_bars = 0;
  for (std::size_t i = 0; i < qt.samples.size(); ++i) {
    const app::Sample& m = memory.samples[i];
    const app::Sample& q = qt.samples[i];
    const std::string where =
        app::combination_name(q.combination) + " at " + rt::format_number(q.width) + " twips";
    ASSERT_EQ(m.width, q.width) << where;
    EXPECT_EQ(m.bars, q.bars) << where;
    // Down to the pixel: the gaps a bar leaves behind, the list columns inside the frames.
    EXPECT_EQ(m.forms_delta_px, q.forms_delta_px) << where;
    EXPECT_EQ(m.bottom_delta_px, q.bottom_delta_px) << where;
    EXPECT_EQ(m.lists_delta_px, q.lists_delta_px) << where;
    EXPECT_EQ(m.label, q.label) << where;
    double_bars += q.bars.horizontal && q.bars.vertical;
  }
  // The sample is worth something only if it holds both outcomes.
  EXPECT_GT(double_bars, 0);
}

// What a person sees, in whole pixels: the client area's bars; each child's state, place in the
// stacking order, normal placement and place on the screen; the label's text.
std::string seen(rt::Application& app, const rt::WindowSystem& ws) {
  const double tpp = ws.twips_per_pixel();
  const auto rect = [&](const rt::Rect& r) {
    const auto px = [&](float twips) { return std::lround(twips / tpp); };
    std::ostringstream out;
    out << px(r.left) << ',' << px(r.top) << ' ' << px(r.width) << 'x' << px(r.height);
    return out.str();
  };
  const rt::ScrollBars bars = ws.client_scroll_bars();
  std::ostringstream out;
  out << "bars " << (bars.horizontal ? 'H' : '-') << (bars.vertical ? 'V' : '-') << '\n';
  for (const rt::Form* form : app.loaded_forms()) {
    if (!form->design().mdi_child) continue;
    const rt::PeerState child = form->peer_if_loaded()->inspect();
    out << form->class_name() << ' ' << rt::window_state_name(child.window_state) << " z" << child.z
        << " normal " << rect(child.geometry) << " shown " << rect(child.shown) << '\n';
  }
  out << "label " << rt::quote(app.instance<frmResizeT>().Label1().peer().inspect().text) << '\n';
  return out.str();
}

struct Scenario {
  const char* name;
  const char* steps;  // session commands, one a step, separated by semicolons

  friend void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
};

class WindowStates : public ::testing::TestWithParam<Scenario> {};

// Each step is played on both window systems, and what shows is compared after every one.
TEST_P(WindowStates, InMemoryMatchesTheRealMdiArea) {
  const rt::headless::Config config = qt_support::config_like_qt();
  rt::qt::QtWindowSystem qt_ws;
  rt::Application qt_app(shell::make_project(), qt_ws);
  rt::headless::HeadlessWindowSystem memory_ws(config);
  rt::Application memory_app(shell::make_project(), memory_ws);
  qt_app.start();
  memory_app.start();
  std::ostringstream out;
  std::ostringstream errors;
  app::Session qt_session(qt_app, out, errors);
  app::Session memory_session(memory_app, out, errors);
  ASSERT_EQ(seen(memory_app, memory_ws), seen(qt_app, qt_ws)) << "at start-up";

  std::string_view rest = GetParam().steps;
  for (int line = 1; !rest.empty(); ++line) {
    const std::size_t end = std::min(rest.find(';'), rest.size());
    const std::string_view step = rest.substr(0, end);
    rest.remove_prefix(std::min(rest.find_first_not_of("; ", end), rest.size()));
    qt_session.execute(step, line);
    memory_session.execute(step, line);
    ASSERT_EQ(errors.str(), "");
    EXPECT_EQ(seen(memory_app, memory_ws), seen(qt_app, qt_ws)) << "after " << step;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Agreement, WindowStates,
    ::testing::Values(
        // An active maximised child is all there is: no bar at odd widths, where the normal
        // right form would overhang by a pixel, nor where the top form does. Restored, straight
        // from maximised or by way of an icon, it overhangs again: the double bar.
        Scenario{"MaximisedRightFormThroughOddAndEvenWidths",
                 "resize 6000 4860; maximize frmResizeR; resize 6015 4860; resize 6030 4860; "
                 "resize 9015 4860; resize 4500 4860; restore frmResizeR; resize 6015 4860; "
                 "resize 6015 4860; maximize frmResizeR; minimize frmResizeR; restore frmResizeR"},
        // With Oplossing nothing but the icon can overhang: narrower than it, lower than it.
        Scenario{"IconOfTheLeftFormInNarrowAndLowAreas",
                 "click mnuOplossing; minimize frmResizeL; resize 9000 4860; resize 6015 4860; "
                 "resize 2000 4860; resize 9000 300; resize 9000 4860; maximize frmResizeL; "
                 "resize 6015 4860; restore frmResizeL"},
        // Icons lie in creation order, in rows when the area is narrow; activating a child
        // sends the other icons to the back; one restored leaves its place to the next.
        Scenario{"TwoIconsInCreationOrder",
                 "click mnuOplossing; minimize frmResizeR; minimize frmResizeL; resize 4500 4860; "
                 "resize 9000 4860; activate frmResizeT; activate frmResizeR; window frmResizeR; "
                 "restore frmResizeL"},
        // Another child made active leaves the maximised one as it is, behind it; the bars
        // then follow the normal children and the icons, never the maximised one's placement.
        Scenario{"MaximisedChildNoLongerActive",
                 "resize 4500 4860; maximize frmResizeR; activate frmResizeT; resize 4515 4860; "
                 "window frmResizeL; "
                 "minimize frmResizeL; activate frmResizeB; activate frmResizeR; "
                 "resize 6015 4860; activate frmResizeT; window frmResizeR; activate frmResizeT; "
                 "restore frmResizeR"},
        // A child dragged past an edge behind an active maximised one brings no bar until it
        // is made the active one.
        Scenario{"PlacedPastAnEdgeBehindAMaximisedChild",
                 "resize 9000 4860; maximize frmResizeL; place frmResizeT 6000 500 6000 1500; "
                 "activate frmResizeT; activate frmResizeL; place frmResizeR -1500 300 3000 2000; "
                 "activate frmResizeR; activate frmResizeL; resize 9015 4860; restore frmResizeL"},
        Scenario{"BothOptionsWhileMaximised",
                 "resize 6015 4860; maximize frmResizeR; click mnuOplossing; click mnuWiskundig; "
                 "resize 4515 4860; resize 9015 4860; click Command1; restore frmResizeR; "
                 "resize 6015 4860"}),
    [](const ::testing::TestParamInfo<Scenario>& instance) { return instance.param.name; });

}  // namespace
