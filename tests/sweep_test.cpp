// The sweep over client widths: what it records, its outputs and its arguments.

#include <gtest/gtest.h>

#include <sstream>

#include "app/chart.h"
#include "app/sweep.h"
#include "runtime/headless/headless_window_system.h"

namespace {

using app::Edge;
using app::LabelText;
using app::Sample;

app::WindowSystemFactory headless() {
  return [] { return std::make_unique<rt::headless::HeadlessWindowSystem>(); };
}

app::SweepResult sweep(double from, double to, double step = 0) {
  app::SweepOptions options;
  options.from = from;
  options.to = to;
  options.step = step;
  options.height = 4860;
  return app::run_sweep(options, headless(), {}, nullptr);
}

const Sample& sample_of(const app::SweepResult& result, bool oplossing, bool wiskundig) {
  for (const Sample& s : result.samples) {
    if (s.combination.oplossing == oplossing && s.combination.wiskundig == wiskundig) return s;
  }
  throw std::runtime_error("no sample");
}

TEST(Sweep, AnOddPixelWidthAfterAFreshStart) {
  // 401 pixels: the naive halves are 200.5 pixels each and both round up.
  const app::SweepResult r = sweep(6015, 6015);
  ASSERT_EQ(r.samples.size(), 4u);
  const Sample& naive = sample_of(r, false, false);
  EXPECT_EQ(naive.forms, Edge::Overhang);
  EXPECT_EQ(naive.forms_delta_px, 1.0);
  EXPECT_EQ(naive.bars, (rt::ScrollBars{true, true}));
  EXPECT_EQ(naive.label, LabelText::Empty);
  EXPECT_FALSE(naive.label_agrees);  // the label only knows about the top form
  EXPECT_EQ(app::outcome_of(naive), app::Outcome::DoubleBar);

  const Sample& oplossing = sample_of(r, true, false);
  EXPECT_EQ(oplossing.forms, Edge::Gap);
  EXPECT_EQ(oplossing.forms_delta_px, -1.0);
  EXPECT_EQ(oplossing.bars, (rt::ScrollBars{false, false}));
  EXPECT_EQ(app::outcome_of(oplossing), app::Outcome::Gap);

  for (const bool opl : {false, true}) {
    const Sample& wiskundig = sample_of(r, opl, true);
    EXPECT_EQ(wiskundig.forms, Edge::Exact);
    EXPECT_EQ(wiskundig.bars, (rt::ScrollBars{false, false}));
    EXPECT_TRUE(wiskundig.label_agrees);
    EXPECT_EQ(app::outcome_of(wiskundig), app::Outcome::Exact);
  }
}

TEST(Sweep, NarrowWidthsBringTheLabelsTexts) {
  const app::SweepResult r = sweep(4500, 4500);
  EXPECT_EQ(sample_of(r, false, false).label, LabelText::DoubleScrollBar);
  EXPECT_TRUE(sample_of(r, false, false).label_agrees);
  EXPECT_EQ(sample_of(r, true, false).label, LabelText::TwoLines);
  EXPECT_EQ(sample_of(r, false, true).label, LabelText::TwoLines);
}

TEST(Sweep, TheCorrectedArithmeticNeverOverhangsOverTheDefaultRange) {
  const app::SweepResult r = sweep(3000, 12000);
  EXPECT_EQ(r.samples.size(), 4u * 601u);
  std::size_t naive_overhangs = 0;
  for (const Sample& s : r.samples) {
    if (s.combination.wiskundig) {
      EXPECT_EQ(s.forms, Edge::Exact) << s.width;
      EXPECT_EQ(s.bars, (rt::ScrollBars{false, false})) << s.width;
    }
    if (s.combination.oplossing) {
      EXPECT_NE(s.forms, Edge::Overhang) << s.width;
    }
    naive_overhangs +=
        !s.combination.oplossing && !s.combination.wiskundig && s.forms == Edge::Overhang;
  }
  EXPECT_GT(naive_overhangs, 0u);
}

TEST(Sweep, StepsAndTheLastWidth) {
  const app::SweepResult r = sweep(3000, 3100, 50);
  ASSERT_EQ(r.samples.size(), 12u);
  EXPECT_EQ(r.samples[0].width, 3000.0);
  EXPECT_EQ(r.samples[1].width, 3045.0);  // 3050 on whole pixels
  EXPECT_EQ(r.samples[2].width, 3105.0);
}

TEST(Sweep, StopsWhenAskedKeepingWhatItMeasured) {
  app::SweepOptions options;
  options.from = 3000;
  options.to = 12000;
  std::atomic<bool> stop{false};
  std::size_t last_done = 0;
  const app::Progress progress = [&](std::size_t done, std::size_t) {
    last_done = done;
    if (done >= 128) stop = true;
  };
  const app::SweepResult r = app::run_sweep(options, headless(), progress, &stop);
  EXPECT_TRUE(r.interrupted);
  EXPECT_EQ(r.samples.size(), 128u);
  EXPECT_EQ(last_done, 128u);
  EXPECT_EQ(r.planned, 4u * 601u);
}

TEST(SweepOutput, CsvHasARowPerWidthAndCombination) {
  const app::SweepResult r = sweep(6000, 6015);
  std::ostringstream csv;
  app::write_csv(r, csv);
  std::istringstream in(csv.str());
  std::vector<std::string> rows;
  for (std::string line; std::getline(in, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 1u + 8u);
  EXPECT_EQ(rows[0].substr(0, 26), "width,oplossing,wiskundig,");
  // The left form is 201 pixels with a 193-pixel client area; each plain column is 64 pixels
  // (965 twips rounded), so the three end one pixel short of it.
  EXPECT_EQ(rows[2], "6015,0,0,overhang,1,gap,-1,exact,0,both,empty,0");
}

TEST(SweepOutput, SummaryCountsPerCombination) {
  const app::SweepResult r = sweep(6000, 6015);
  std::ostringstream out;
  app::write_summary(r, out);
  const std::string s = out.str();
  EXPECT_NE(s.find("neither                              2     0         1        0           1    "
                   "             1"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("Oplossing + Wiskundig juist          2     0         0        0           0    "
                   "             0"),
            std::string::npos)
      << s;
}

TEST(SweepOutput, ChartHasABandPerCombinationALegendAndAxis) {
  const app::SweepResult r = sweep(6000, 6090);
  app::SweepOptions options;
  options.from = 6000;
  options.to = 6090;
  std::ostringstream svg;
  app::write_svg(r, options, svg);
  const std::string s = svg.str();
  EXPECT_EQ(s.rfind("<svg ", 0), 0u);
  EXPECT_EQ(s.substr(s.size() - 7), "</svg>\n");
  for (const char* text :
       {">neither<", ">Oplossing<", ">Wiskundig juist<", ">Oplossing + Wiskundig juist<", ">exact<",
        ">gap<", ">double scroll bar<", "client width (twips"}) {
    EXPECT_NE(s.find(text), std::string::npos) << text;
  }
  // Naive widths alternate between a double bar and a gap.
  EXPECT_NE(s.find("neither, 6015 to 6015 twips: double scroll bar"), std::string::npos);
}

struct Outcome {
  int status;
  std::string out, err;
};

Outcome sweep_main(const std::vector<std::string_view>& args) {
  std::ostringstream out, err;
  const int status = app::sweep_main(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(SweepArguments, BadArgumentsGetAClearErrorAndNoSweep) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"--from", "5000", "--to", "4000"},
           {"--step", "0"},
           {"--step", "-15"},
           {"--from", "-1"},
           {"--height", "abc"},
           {"--to"},
           {"--frobnicate"},
           {"--window-system", "gtk"},
           {"--twips-per-pixel", "0"},
           {"--from", "1e400"},
       }) {
    const Outcome o = sweep_main(args);
    EXPECT_EQ(o.status, 2) << args[0];
    EXPECT_EQ(o.out, "") << args[0];
    EXPECT_EQ(o.err.rfind("mdiresize sweep: ", 0), 0u) << o.err;
  }
  // A real window system this build does not have is named with the ones it has.
  const Outcome qt = sweep_main({"--window-system", "qt", "--to", "3000"});
  EXPECT_EQ(qt.status, 2);
  EXPECT_EQ(qt.err, "mdiresize sweep: --window-system qt: this build has headless\n");
  std::ostringstream out, err;
  const app::RealWindowSystem qt_build{app::SweepOptions::WindowSystem::Qt, [] {
                                         ADD_FAILURE() << "made the wrong window system";
                                         return std::unique_ptr<rt::WindowSystem>();
                                       }};
  EXPECT_EQ(app::sweep_main({"--window-system", "win32"}, out, err, qt_build), 2);
  EXPECT_EQ(err.str(), "mdiresize sweep: --window-system win32: this build has headless and qt\n");
}

// Found by fuzzing the arguments: a tiny step was accepted, and the sweep then reserved memory
// for every pass up front and ended in std::bad_alloc (or ran for many minutes on gigabytes).
TEST(SweepArguments, ASweepOfTooManyWidthsIsRefusedBeforeTheWork) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"--from", "0", "--to", "16777216", "--step", "0.0001"},
           {"--step", "0.000000001"},
           {"--from", "0", "--to", "16777216", "--twips-per-pixel", "0.01"},
       }) {
    const Outcome o = sweep_main(args);
    EXPECT_EQ(o.status, 2) << args.back();
    EXPECT_EQ(o.out, "") << args.back();
    EXPECT_NE(o.err.find("client widths; at most 2097152"), std::string::npos) << o.err;
  }
  // The whole range one pixel a step is still a sweep that can be run.
  app::SweepOptions whole;
  EXPECT_EQ(app::parse_sweep_options({"--from", "0", "--to", "16777216"}, whole), "");
  app::SweepOptions finest;
  EXPECT_EQ(app::parse_sweep_options({"--to", "3100", "--step", "0.0001"}, finest), "");
}

TEST(SweepArguments, AnOutputThatCannotBeWrittenIsFoundBeforeTheWork) {
  const Outcome o = sweep_main({"--csv", "/nonexistent/dir/out.csv"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("cannot write"), std::string::npos);
  EXPECT_EQ(o.out, "");
}

TEST(SweepArguments, HelpAndAGoodRun) {
  EXPECT_EQ(sweep_main({"--help"}).status, 0);
  const Outcome o = sweep_main({"--from=6000", "--to=6100", "--twips-per-pixel", "12"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("neither                              9"), std::string::npos) << o.out;
}

}  // namespace
