// Random sessions on the in-memory window system, at several screen resolutions and frame
// metrics: a person resizing, clicking, dragging children about and typing, while platform
// calls fail now and then. After every action the program must still keep what it promises.
//
// Seeded and reproducible. MDIRESIZE_SEED=N replays a run (the seed is printed, and named in
// every failure); MDIRESIZE_ACTIONS=N sets the actions per run, for long runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>

#include "program_fixture.h"
#include "random/random_session.h"

namespace {

using namespace random_sessions;
using testing_program::Program;

// Eight runs: 200,000 actions, or 100,000 under the sanitizers, where an action costs five
// times as much.
int default_actions_per_run() {
  return under_address_sanitizer() ? 12500 : 25000;
}

Totals& grand_totals() {
  static Totals totals;
  return totals;
}

// The sum over all runs, at the end: the figures of a whole run of the suite.
class PrintTotals : public ::testing::Environment {
 public:
  void TearDown() override {
    const Totals& t = grand_totals();
    std::cout << "random sessions in all: " << t.actions << " actions, " << t.faults_injected
              << " faults injected, " << t.faults_fired << " fired, " << t.reported
              << " errors reported, " << t.discarded << " discarded\n";
  }
};
[[maybe_unused]] ::testing::Environment* const kPrintTotals =
    ::testing::AddGlobalTestEnvironment(new PrintTotals);

struct RunConfig {
  const char* name;
  rt::headless::Config config;
};

rt::headless::Config config(double twips_per_pixel, bool exact = false, int min_child_width_px = 0,
                            int border_px = 4, int caption_px = 26) {
  rt::headless::Config c;
  c.twips_per_pixel = twips_per_pixel;
  c.exact = exact;
  c.min_child_width_px = min_child_width_px;
  c.border_px = border_px;
  c.caption_px = caption_px;
  return c;
}

const RunConfig kRuns[] = {
    {"Screen96Dpi", config(15)},
    {"Screen96DpiWithMinimumWidth", config(15, false, 112)},
    {"WideMinimumWidth", config(15, false, 400)},
    {"Screen120Dpi", config(12)},
    {"Screen192Dpi", config(7.5, false, 0, 8, 52)},
    {"OddTwipsPerPixel", config(13.3)},
    {"OnePixelAnInch", config(1440, false, 1)},
    {"Exact", config(15, true)},
};

void PrintTo(const RunConfig& run, std::ostream* os) {
  *os << run.name;
}

class RandomSession : public ::testing::TestWithParam<RunConfig> {};

TEST_P(RandomSession, KeepsItsPromisesAfterEveryAction) {
  const RunConfig& run = GetParam();
  // Each run its own stream, all from the one seed. (GetParam() is a copy: its place in kRuns
  // is found by name.)
  const auto index = static_cast<std::uint64_t>(
      std::find_if(std::begin(kRuns), std::end(kRuns),
                   [&](const RunConfig& r) { return r.name == run.name; }) -
      std::begin(kRuns));
  Random seeds(master_seed() ^ (0x5851F42D4C957F2Dull * (index + 1)));

  auto program = std::make_unique<Program>(run.config);
  Target target;
  target.app = &program->app;
  target.window_system = &program->ws;
  target.faults = &program->faults.plan();
  target.exact = run.config.exact;
  target.min_child_width =
      static_cast<float>(program->ws.grid().to_twips(run.config.min_child_width_px));
  target.closed = [&ws = program->ws] { return ws.closed(); };
  target.replay = std::string("random_tests --gtest_filter='*/") + run.name + "'";
  auto session = std::make_unique<Session>(std::move(target), run.name, seeds.next());

  HeapFigures heap;
  const std::string failure = session->run(actions_per_run(default_actions_per_run()), heap);
  if (!failure.empty()) ADD_FAILURE() << failure;
  const Totals& t = session->totals();
  std::cout << "  " << run.name << ": " << t.actions << " actions, " << t.faults_injected
            << " faults injected, " << t.faults_fired << " fired, " << t.reported
            << " errors reported, " << t.discarded << " discarded, " << t.checks() << "; heap "
            << heap.after_warm_up << " -> " << heap.at_end << " bytes\n";
  grand_totals().add(t);
  if (failure.empty() && heap.after_warm_up != 0 && heap.at_end != 0) {
    // Nothing the program keeps grows with the number of actions.
    EXPECT_LE(heap.at_end, heap.after_warm_up + std::size_t{16} * 1024)
        << "the heap grew over the run; replay with MDIRESIZE_SEED=" << master_seed();
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, RandomSession, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<RunConfig>& instance) {
                           return std::string(instance.param.name);
                         });

}  // namespace
