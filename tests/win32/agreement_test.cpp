// The in-memory window system, given the metrics Win32 is measured to have, predicts what the
// real MDI client shows: the scroll bars width by width for every combination of the options,
// and the children's states, stacking order and places as a person minimises, maximises,
// activates and drags them.

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/sweep.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/win32/win32_window_system.h"
#include "shell/project.h"
#include "tests/agreement_scenarios.h"
#include "win32_support.h"

namespace {

TEST(Agreement, InMemoryScrollBarsMatchTheRealMdiClient) {
  const rt::headless::Config config = win32_support::config_like_win32();
  // What a recording's first line says of Win32, for a replay in memory: what is measured.
  EXPECT_EQ(rt::win32::Win32WindowSystem().metrics(),
            (rt::Metrics{config.twips_per_pixel, config.scroll_bar_px, config.border_px,
                         config.caption_px}));
  app::SweepOptions options;
  options.from = 3000;
  options.to = 12000;
  options.step = 7 * config.twips_per_pixel;  // odd and even pixel widths alike
  options.height = 4860;

  const app::SweepResult memory = app::run_sweep(
      options, [&] { return std::make_unique<rt::headless::HeadlessWindowSystem>(config); }, {},
      nullptr);
  const app::SweepResult win32 = app::run_sweep(
      options, [] { return std::make_unique<rt::win32::Win32WindowSystem>(); }, {}, nullptr);

  ASSERT_EQ(memory.samples.size(), win32.samples.size());
  ASSERT_GT(win32.samples.size(), 4u * 80u);
  int double_bars = 0;
  int no_bars = 0;
  for (std::size_t i = 0; i < win32.samples.size(); ++i) {
    const app::Sample& m = memory.samples[i];
    const app::Sample& w = win32.samples[i];
    const std::string where =
        app::combination_name(w.combination) + " at " + rt::format_number(w.width) + " twips";
    ASSERT_EQ(m.width, w.width) << where;
    EXPECT_EQ(m.bars, w.bars) << where;
    // Down to the pixel: the gaps a bar leaves behind, the list columns inside the frames.
    EXPECT_EQ(m.forms_delta_px, w.forms_delta_px) << where;
    EXPECT_EQ(m.bottom_delta_px, w.bottom_delta_px) << where;
    EXPECT_EQ(m.lists_delta_px, w.lists_delta_px) << where;
    EXPECT_EQ(m.label, w.label) << where;
    double_bars += w.bars.horizontal && w.bars.vertical;
    no_bars += !w.bars.horizontal && !w.bars.vertical;
  }
  // The sample is worth something only if it holds both outcomes.
  EXPECT_GT(double_bars, 0);
  EXPECT_GT(no_bars, 0);
}

class WindowStates : public ::testing::TestWithParam<agreement::Scenario> {};

TEST_P(WindowStates, InMemoryMatchesTheRealMdiClient) {
  const rt::headless::Config config = win32_support::config_like_win32();
  rt::win32::Win32WindowSystem win32_ws;
  rt::Application win32_app(shell::make_project(), win32_ws);
  rt::headless::HeadlessWindowSystem memory_ws(config);
  rt::Application memory_app(shell::make_project(), memory_ws);
  win32_app.start();
  memory_app.start();
  agreement::expect_same_after_each_step(win32_app, win32_ws, memory_app, memory_ws,
                                         GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(Agreement, WindowStates,
                         ::testing::ValuesIn(agreement::kWindowStateScenarios),
                         agreement::scenario_name);

}  // namespace
