// The layout pass on the in-memory window system, against placing the same rectangles
// straight into the same windows: what the runtime between program and window system costs.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "app/sweep.h"
#include "bench/headless_program.h"
#include "bench/ratios.h"

namespace {

using bench::DirectPlacement;
using bench::drag_widths;
using bench::FreshReadsPlacement;
using bench::HeadlessProgram;
using bench::kDragHeight;

void BM_HeadlessLayoutPass(benchmark::State& state) {
  HeadlessProgram p;
  bench::drag_through(state, drag_widths(),
                      [&](float w) { p.ws.person().user_resize_client(w, kDragHeight); });
}
BENCHMARK(BM_HeadlessLayoutPass);

void BM_HeadlessDirectPlacement(benchmark::State& state) {
  HeadlessProgram p;
  DirectPlacement direct(p);
  bench::drag_through(state, drag_widths(), [&](float w) { direct.resize(w, kDragHeight); });
}
BENCHMARK(BM_HeadlessDirectPlacement);

void BM_HeadlessFreshReadsPlacement(benchmark::State& state) {
  HeadlessProgram p;
  FreshReadsPlacement direct(p);
  bench::drag_through(state, drag_widths(), [&](float w) { direct.resize(w, kDragHeight); });
}
BENCHMARK(BM_HeadlessFreshReadsPlacement);

// The baselines must leave the windows exactly as the pass does, or the ratios mean nothing.
bool direct_placement_alike() {
  HeadlessProgram pass;
  HeadlessProgram direct;
  DirectPlacement placement(direct);
  for (const float w : drag_widths()) {
    pass.ws.person().user_resize_client(w, kDragHeight);
    placement.resize(w, kDragHeight);
    if (!bench::same_windows(pass, direct)) return false;
  }
  return true;
}

// With every combination of the options, as the fresh reads follow the pass's every branch.
bool fresh_reads_alike() {
  for (const bool oplossing : {false, true}) {
    for (const bool wiskundig : {false, true}) {
      HeadlessProgram pass;
      HeadlessProgram direct;
      if (oplossing)
        pass.ws.person().user_click(*pass.form("MDIResize").loaded_menu("mnuOplossing"));
      if (wiskundig)
        pass.ws.person().user_click(*pass.form("MDIResize").loaded_menu("mnuWiskundig"));
      FreshReadsPlacement placement(direct);
      direct.menu("mnuOplossing").set_checked(oplossing);
      direct.menu("mnuWiskundig").set_checked(wiskundig);
      // Narrow widths too, where the top form overhangs and is narrowed.
      for (float w = 3000; w <= 9000; w += 15) {
        pass.ws.person().user_resize_client(w, kDragHeight);
        placement.resize(w, kDragHeight);
        if (!bench::same_windows(pass, direct)) return false;
      }
    }
  }
  return true;
}

// The default sweep: 3000 to 12000 twips a pixel a step, the four combinations; the fastest of
// five, each a few milliseconds.
std::vector<bench::Figure> sweep() {
  const app::SweepOptions options;
  const app::WindowSystemFactory factory = [] {
    return std::make_unique<rt::headless::HeadlessWindowSystem>();
  };
  double best = 0;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    const app::SweepResult result = app::run_sweep(options, factory, {}, nullptr);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::max(best, static_cast<double>(result.samples.size()) / took.count());
  }
  return {{"default sweep in memory, passes per second", best, "passes/s"}};
}

const bench::Check kDirectAlike{"headless: direct placement leaves the windows as the pass does",
                                direct_placement_alike};
const bench::Check kFreshAlike{
    "headless: placement with the pass's reads leaves the windows as the pass does, all options",
    fresh_reads_alike};
// The ratios, each side timed by turns with the other (bench::paired_ratio).
std::vector<bench::Figure> paired() {
  constexpr int kBlock = 500;
  constexpr int kRounds = 1000;
  const std::vector<float> widths = drag_widths();
  HeadlessProgram pass_program;
  HeadlessProgram direct_program;
  HeadlessProgram fresh_program;
  DirectPlacement direct(direct_program);
  FreshReadsPlacement fresh(fresh_program);
  std::size_t p = 0, d = 0, f = 0;
  const auto pass = [&] {
    pass_program.ws.person().user_resize_client(widths[p], kDragHeight);
    p = (p + 1) % widths.size();
  };
  const auto place_directly = [&] {
    direct.resize(widths[d], kDragHeight);
    d = (d + 1) % widths.size();
  };
  const auto place_with_reads = [&] {
    fresh.resize(widths[f], kDragHeight);
    f = (f + 1) % widths.size();
  };
  return {
      {"layout pass / direct placement, in memory",
       bench::paired_ratio(pass, place_directly, kBlock, kRounds), "x", 2.0},
      {"(placement with the pass's reads / direct placement)",
       bench::paired_ratio(place_with_reads, place_directly, kBlock, kRounds), "x"},
      {"(layout pass / placement with the pass's reads)",
       bench::paired_ratio(pass, place_with_reads, kBlock, kRounds), "x"},
  };
}

const bench::Measurement kPaired{"headless ratios", paired};
const bench::Measurement kSweep{"headless sweep", sweep};
// The same from the benchmarks above, each side in its fastest repetition: a cross-check.
const bench::Ratio kHeadlessRatio{"(layout pass / direct placement, in memory: benchmarks)",
                                  "BM_HeadlessLayoutPass", "BM_HeadlessDirectPlacement", 0};

}  // namespace
