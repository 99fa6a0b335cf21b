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

#include "qt_support.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"
#include "tests/agreement_scenarios.h"

namespace {

TEST(Agreement, InMemoryScrollBarsMatchTheRealMdiArea) {
  agreement::expect_sweeps_agree(qt_support::config_like_qt(),
                                 [] { return std::make_unique<rt::qt::QtWindowSystem>(); });
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
