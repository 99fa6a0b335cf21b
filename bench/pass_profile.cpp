// Runs layout passes on the in-memory window system, for callgrind to count the instructions
// of: only what runs inside run_passes() is counted (--toggle-collect), so the count divided
// by the passes is the cost of one pass, the same on any machine and under any load.
//
//   valgrind --tool=callgrind --toggle-collect='*run_passes*' mdiresize_pass_profile [WHAT] [N]
//
// WHAT: pass (the program's layout pass, the default), direct (the rectangles placed directly)
// or fresh (placed directly, with every read the pass makes). N: passes, 3000 by default.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>
#include <vector>

#include "bench/headless_program.h"

namespace {

template <class Resize>
[[gnu::noinline]] void run_passes(const std::vector<float>& widths, long passes, Resize&& resize) {
  for (long i = 0; i < passes; ++i) {
    resize(widths[static_cast<std::size_t>(i) % widths.size()]);
  }
}

int profile(int argc, char** argv) {
  const std::string_view what = argc > 1 ? argv[1] : "pass";
  const long passes = argc > 2 ? std::atol(argv[2]) : 3000;
  if (passes <= 0 || (what != "pass" && what != "direct" && what != "fresh")) {
    std::fprintf(stderr, "usage: mdiresize_pass_profile [pass|direct|fresh] [PASSES]\n");
    return 2;
  }
  const std::vector<float> widths = bench::drag_widths();
  bench::HeadlessProgram program;
  // One round through the widths first, so that what is counted is the steady state.
  if (what == "pass") {
    const auto resize = [&](float w) {
      program.ws.person().user_resize_client(w, bench::kDragHeight);
    };
    for (const float w : widths) resize(w);
    run_passes(widths, passes, resize);
  } else if (what == "direct") {
    bench::DirectPlacement direct(program);
    const auto resize = [&](float w) { direct.resize(w, bench::kDragHeight); };
    for (const float w : widths) resize(w);
    run_passes(widths, passes, resize);
  } else {
    bench::FreshReadsPlacement fresh(program);
    const auto resize = [&](float w) { fresh.resize(w, bench::kDragHeight); };
    for (const float w : widths) resize(w);
    run_passes(widths, passes, resize);
  }
  std::printf("%s: %ld passes\n", std::string(what).c_str(), passes);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return profile(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mdiresize_pass_profile: %s\n", e.what());
    return 1;
  }
}
