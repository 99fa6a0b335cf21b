// The in-memory window system, given the Qt style's metrics, predicts the scroll bars that the
// real QMdiArea shows, width by width, for every combination of the options.

#include <QMdiArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "app/sweep.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"

namespace {

// Frames and scroll bars as this Qt style draws them, measured on the program itself.
rt::headless::Config config_like_qt() {
  rt::qt::QtWindowSystem ws;
  rt::Application app(shell::make_project(), ws);
  app.start();
  const double tpp = ws.twips_per_pixel();
  const rt::PeerState left = app.existing_instance("frmResizeL")->peer_if_loaded()->inspect();
  const auto frame_width = static_cast<int>((left.geometry.width - left.client.width) / tpp);
  const auto frame_height = static_cast<int>((left.geometry.height - left.client.height) / tpp);
  const int horizontal_bar = ws.mdi_area()->horizontalScrollBar()->sizeHint().height();
  const int vertical_bar = ws.mdi_area()->verticalScrollBar()->sizeHint().width();
  EXPECT_EQ(horizontal_bar, vertical_bar) << "the in-memory bars are alike both ways";

  rt::headless::Config config;
  config.twips_per_pixel = tpp;
  config.border_px = frame_width / 2;
  config.caption_px = frame_height - frame_width;
  config.scroll_bar_px = horizontal_bar;
  return config;
}

TEST(Agreement, InMemoryScrollBarsMatchTheRealMdiArea) {
  const rt::headless::Config config = config_like_qt();
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

}  // namespace
