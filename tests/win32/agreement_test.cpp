// The in-memory window system, given the metrics Win32 is measured to have, predicts what the
// real MDI client shows: the scroll bars width by width for every combination of the options,
// and the children's states, stacking order and places as a person minimises, maximises,
// activates and drags them.

#include <memory>
#include <string>

#include <gtest/gtest.h>

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
  agreement::expect_sweeps_agree(config,
                                 [] { return std::make_unique<rt::win32::Win32WindowSystem>(); });
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
