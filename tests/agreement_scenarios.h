#pragma once

// The agreement of the in-memory window system with a real one, window states and all: what a
// person sees after each step of a scenario, played on both. Shared by the real window systems'
// tests; the in-memory one is set up with the real one's measured metrics.

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "app/session.h"
#include "app/sweep.h"
#include "forms/frmResizeT.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/window_system.h"

namespace agreement {

// The sweep across odd and even pixel widths with all four combinations, on the in-memory
// window system set up as `config` and on the real one that `make_real` makes: the same bars,
// down to the pixel the same gaps and list columns, the same label, width by width.
inline void expect_sweeps_agree(
    const rt::headless::Config& config,
    const std::function<std::unique_ptr<rt::WindowSystem>()>& make_real) {
  app::SweepOptions options;
  options.from = 3000;
  options.to = 12000;
  options.step = 7 * config.twips_per_pixel;  // odd and even pixel widths alike
  options.height = 4860;

  const app::SweepResult memory = app::run_sweep(
      options, [&] { return std::make_unique<rt::headless::HeadlessWindowSystem>(config); }, {},
      nullptr);
  const app::SweepResult real = app::run_sweep(options, make_real, {}, nullptr);

  ASSERT_EQ(memory.samples.size(), real.samples.size());
  ASSERT_GT(real.samples.size(), 4u * 80u);
  int double_bars = 0;
  int no_bars = 0;
  for (std::size_t i = 0; i < real.samples.size(); ++i) {
    const app::Sample& m = memory.samples[i];
    const app::Sample& r = real.samples[i];
    const std::string where =
        app::combination_name(r.combination) + " at " + rt::format_number(r.width) + " twips";
    ASSERT_EQ(m.width, r.width) << where;
    EXPECT_EQ(m.bars, r.bars) << where;
    EXPECT_EQ(m.forms_delta_px, r.forms_delta_px) << where;
    EXPECT_EQ(m.bottom_delta_px, r.bottom_delta_px) << where;
    EXPECT_EQ(m.lists_delta_px, r.lists_delta_px) << where;
    EXPECT_EQ(m.label, r.label) << where;
    double_bars += r.bars.horizontal && r.bars.vertical;
    no_bars += !r.bars.horizontal && !r.bars.vertical;
  }
  // The sample is worth something only if it holds both outcomes.
  EXPECT_GT(double_bars, 0);
  EXPECT_GT(no_bars, 0);
}

// What a person sees, in whole pixels: the client area's bars; each child's state, place in the
// stacking order, normal placement and place on the screen; the label's text.
inline std::string seen(rt::Application& app, const rt::WindowSystem& ws) {
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

// Each step played on both programs, started; what shows compared after every one.
inline void expect_same_after_each_step(rt::Application& real, const rt::WindowSystem& real_ws,
                                        rt::Application& memory, const rt::WindowSystem& memory_ws,
                                        std::string_view steps) {
  std::ostringstream out;
  std::ostringstream errors;
  app::Session real_session(real, out, errors);
  app::Session memory_session(memory, out, errors);
  ASSERT_EQ(seen(memory, memory_ws), seen(real, real_ws)) << "at start-up";
  for (int line = 1; !steps.empty(); ++line) {
    const std::size_t end = std::min(steps.find(';'), steps.size());
    const std::string_view step = steps.substr(0, end);
    steps.remove_prefix(std::min(steps.find_first_not_of("; ", end), steps.size()));
    real_session.execute(step, line);
    memory_session.execute(step, line);
    ASSERT_EQ(errors.str(), "");
    EXPECT_EQ(seen(memory, memory_ws), seen(real, real_ws)) << "after " << step;
  }
}

inline const Scenario kWindowStateScenarios[] = {
    // An active maximised child is all there is: no bar at odd widths, where the normal right
    // form would overhang by a pixel, nor where the top form does. Restored, straight from
    // maximised or by way of an icon, it overhangs again: the double bar.
    {"MaximisedRightFormThroughOddAndEvenWidths",
     "resize 6000 4860; maximize frmResizeR; resize 6015 4860; resize 6030 4860; "
     "resize 9015 4860; resize 4500 4860; restore frmResizeR; resize 6015 4860; "
     "resize 6015 4860; maximize frmResizeR; minimize frmResizeR; restore frmResizeR"},
    // With Oplossing nothing but the icon can overhang: narrower than it, lower than it.
    {"IconOfTheLeftFormInNarrowAndLowAreas",
     "click mnuOplossing; minimize frmResizeL; resize 9000 4860; resize 6015 4860; "
     "resize 2000 4860; resize 9000 300; resize 9000 4860; maximize frmResizeL; "
     "resize 6015 4860; restore frmResizeL"},
    // Icons lie in creation order, in rows when the area is narrow; activating a child sends
    // the other icons to the back; one restored leaves its place to the next.
    {"TwoIconsInCreationOrder",
     "click mnuOplossing; minimize frmResizeR; minimize frmResizeL; resize 4500 4860; "
     "resize 9000 4860; activate frmResizeT; activate frmResizeR; window frmResizeR; "
     "restore frmResizeL"},
    // Another child made active leaves the maximised one as it is, behind it; the bars then
    // follow the normal children and the icons, never the maximised one's placement.
    {"MaximisedChildNoLongerActive",
     "resize 4500 4860; maximize frmResizeR; activate frmResizeT; resize 4515 4860; "
     "window frmResizeL; "
     "minimize frmResizeL; activate frmResizeB; activate frmResizeR; "
     "resize 6015 4860; activate frmResizeT; window frmResizeR; activate frmResizeT; "
     "restore frmResizeR"},
    // A child dragged past an edge behind an active maximised one brings no bar until it is
    // made the active one.
    {"PlacedPastAnEdgeBehindAMaximisedChild",
     "resize 9000 4860; maximize frmResizeL; place frmResizeT 6000 500 6000 1500; "
     "activate frmResizeT; activate frmResizeL; place frmResizeR -1500 300 3000 2000; "
     "activate frmResizeR; activate frmResizeL; resize 9015 4860; restore frmResizeL"},
    // The keys go through the children in the window list's order, around its end, each to
    // the front in the state it is in: an icon stays one, a maximised child stays so.
    {"TheKeysGoThroughTheChildren",
     "next; next; maximize frmResizeR; next; next; previous; minimize frmResizeL; "
     "previous; previous; resize 6015 4860; next; next; next; restore frmResizeL; "
     "previous"},
    {"BothOptionsWhileMaximised",
     "resize 6015 4860; maximize frmResizeR; click mnuOplossing; click mnuWiskundig; "
     "resize 4515 4860; resize 9015 4860; click Command1; restore frmResizeR; "
     "resize 6015 4860"},
};

inline std::string scenario_name(const ::testing::TestParamInfo<Scenario>& instance) {
  return instance.param.name;
}

}  // namespace agreement
