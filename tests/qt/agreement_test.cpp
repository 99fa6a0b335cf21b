// The in-memory window system, given the Qt style's metrics, predicts what the real QMdiArea
// shows: the scroll bars width by width for every combination of the options, and the children's
// states, stacking order and places as a person minimises, maximises, activates (by a click,
// the window list or the keys) and drags them.

#include <string>

#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "app/sweep.h"
#include "qt_support.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"
#include "tests/agreement_scenarios.h"

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

class WindowStates : public ::testing::TestWithParam<agreement::Scenario> {};

// Each step is played on both window systems, and what shows is compared after every one.
TEST_P(WindowStates, InMemoryMatchesTheRealMdiArea) {
  const rt::headless::Config config = qt_support::config_like_qt();
  rt::qt::QtWindowSystem qt_ws;
  rt::Application qt_app(shell::make_project(), qt_ws);
  rt::headless::HeadlessWindowSystem memory_ws(config);
  rt::Application memory_app(shell::make_project(), memory_ws);
  qt_app.start();
  memory_app.start();
  agreement::expect_same_after_each_step(qt_app, qt_ws, memory_app, memory_ws, GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(Agreement, WindowStates,
                         ::testing::ValuesIn(agreement::kWindowStateScenarios),
                         agreement::scenario_name);

}  // namespace
