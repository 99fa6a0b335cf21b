// Random sessions on the in-memory window system: a person resizing, clicking, dragging children
// about and typing, while platform calls fail now and then. After every action the program must
// still keep what it promises.
//
// Seeded and reproducible. MDIRESIZE_SEED=N replays a run (the seed is printed, and named in
// every failure); MDIRESIZE_ACTIONS=N sets the actions per run, for long runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MDIRESIZE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MDIRESIZE_ASAN 1
#endif
#ifdef MDIRESIZE_ASAN
#include <sanitizer/allocator_interface.h>
#else
#include <malloc.h>
#endif

#include "program_fixture.h"

namespace {

using rt::headless::Op;
using testing_program::Program;

// Eight runs: 200,000 actions, or 100,000 under the sanitizers, where an action costs five
// times as much.
#ifdef MDIRESIZE_ASAN
constexpr int kDefaultActionsPerRun = 12500;
#else
constexpr int kDefaultActionsPerRun = 25000;
#endif

// Deterministic on every standard library: std::uniform_int_distribution is not.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {  // SplitMix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 to n - 1.
  std::uint64_t below(std::uint64_t n) { return next() % n; }
  int between(int low, int high) { return low + static_cast<int>(below(high - low + 1)); }
  bool percent(int chance) { return below(100) < static_cast<std::uint64_t>(chance); }
  template <class T, std::size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[below(N)];
  }

 private:
  std::uint64_t state_;
};

std::uint64_t environment_number(const char* name, std::uint64_t otherwise) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return otherwise;
  return std::strtoull(text, nullptr, 0);
}

// One seed for the whole executable, so that one number replays every run.
std::uint64_t master_seed() {
  static const std::uint64_t seed = [] {
    const std::uint64_t fresh =
        (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint64_t chosen = environment_number("MDIRESIZE_SEED", fresh);
    std::cout << "random sessions: MDIRESIZE_SEED=" << chosen << '\n';
    return chosen;
  }();
  return seed;
}

int actions_per_run() {
  return static_cast<int>(environment_number("MDIRESIZE_ACTIONS", kDefaultActionsPerRun));
}

// Bytes in use on the heap; with AddressSanitizer its allocator keeps the count.
std::size_t heap_in_use() {
#ifdef MDIRESIZE_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;  // large blocks are mapped on their own
#endif
}

const std::string kTwoLines = kTwoLineText;
const std::string kDouble = kDoubleScrollBarText;

// The errors of one action: reported by event delivery, or discarded by resume-next.
class ErrorLog final : public rt::Tracer {
 public:
  void line(std::string_view text) override {
    if (text.starts_with("resume ")) discarded.emplace_back(text.substr(7));
    if (text.starts_with("report ")) traced_reports.emplace_back(text.substr(7));
  }
  void clear() {
    discarded.clear();
    traced_reports.clear();
    reported.clear();
  }
  // "440 \"Window system call failed: Place frmResizeT\"", as the trace writes them.
  std::vector<std::string> discarded;
  std::vector<std::string> traced_reports;
  std::vector<std::string> reported;  // what reached the reporter
};

std::string as_traced(const rt::Error& error) {
  return std::to_string(error.number()) + " " + rt::quote(error.message());
}

struct Fault {
  std::string path;
  Op op;
  int nth;
  std::string message;  // as traced when it fires
};

// Where faults go: the calls that passes, the children's handlers and the menu commands make
// after start-up, and a few that are never made then (so that a fault can also wait in vain).
struct FaultTarget {
  const char* path;
  Op op;
};
constexpr std::array<FaultTarget, 29> kFaultTargets = {{
    {"MDIResize", Op::ClientSize},
    {"MDIResize", Op::ClientSize},
    {"MDIResize.mnuOplossing", Op::Checked},
    {"MDIResize.mnuOplossing", Op::SetChecked},
    {"MDIResize.mnuWiskundig", Op::Checked},
    {"MDIResize.mnuWiskundig", Op::SetChecked},
    {"frmResizeL", Op::Geometry},
    {"frmResizeL", Op::Place},
    {"frmResizeL", Op::ClientSize},
    {"frmResizeL.List1(0)", Op::Place},
    {"frmResizeL.List1(0)", Op::Geometry},
    {"frmResizeL.List1(1)", Op::Place},
    {"frmResizeL.List1(1)", Op::Geometry},
    {"frmResizeL.List1(2)", Op::Place},
    {"frmResizeL.List1(2)", Op::Handle},
    {"frmResizeR", Op::Place},
    {"frmResizeR", Op::Place},
    {"frmResizeB", Op::Place},
    {"frmResizeB", Op::ClientSize},
    {"frmResizeB.Text1", Op::Place},
    {"frmResizeB.Text1", Op::SetText},
    {"frmResizeT", Op::Place},
    {"frmResizeT", Op::Geometry},
    {"frmResizeT.Label1", Op::SetText},
    {"MDIResize", Op::Create},
    {"frmResizeL", Op::Show},
    {"frmResizeL.List1(1)", Op::AddItem},
    {"frmResizeT.Command1", Op::Text},
    {"MDIResize.mnuVulBox", Op::Checked},
}};

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

enum class Kind { Resize, Oplossing, Wiskundig, VulBox, ResizeButton, Place, Type };

struct Action {
  Kind kind = Kind::Resize;
  float width = 0, height = 0;  // Resize
  int child = 0;                // Place: which child
  rt::Rect rect;                // Place
  std::string text;             // Type
  std::vector<Fault> faults;
  std::string describe() const;
};

constexpr std::array<const char*, 4> kChildren = {"frmResizeL", "frmResizeR", "frmResizeB",
                                                  "frmResizeT"};

std::string Action::describe() const {
  std::ostringstream out;
  for (const Fault& f : faults) {
    out << "fault " << f.path << " " << rt::op_name(f.op) << " " << f.nth << "; ";
  }
  switch (kind) {
    case Kind::Resize:
      out << "resize " << rt::format_number(width) << " " << rt::format_number(height);
      break;
    case Kind::Oplossing:
      out << "click mnuOplossing";
      break;
    case Kind::Wiskundig:
      out << "click mnuWiskundig";
      break;
    case Kind::VulBox:
      out << "click mnuVulBox";
      break;
    case Kind::ResizeButton:
      out << "click Command1";
      break;
    case Kind::Place:
      out << "place " << kChildren[static_cast<std::size_t>(child)] << " "
          << rt::format_number(rect.left) << " " << rt::format_number(rect.top) << " "
          << rt::format_number(rect.width) << " " << rt::format_number(rect.height);
      break;
    case Kind::Type:
      out << "type " << text.size() << " bytes";
      break;
  }
  return out.str();
}

// A length a person can give the client area: nothing, a pixel or two, odd twips, the usual,
// just around the sizes where the layout changes its mind, and very large.
float random_length(Random& random, double twips_per_pixel) {
  switch (random.below(9)) {
    case 0:
      return 0;
    case 1:
      return static_cast<float>(twips_per_pixel * static_cast<double>(random.below(3)));
    case 2:
      return static_cast<float>(random.below(2000));
    case 3:
      return static_cast<float>(random.between(3000, 16000));
    case 4:  // odd twips, quarters of them too
      return static_cast<float>(random.between(1000, 20000) * 2 + 1) +
             0.25f * static_cast<float>(random.below(4));
    case 5:  // around the top form's 6000 x 2200 and its place
      return static_cast<float>(random.percent(50) ? 6000 : 2200) +
             static_cast<float>(twips_per_pixel * static_cast<double>(random.between(-3, 3)));
    case 6:
      return static_cast<float>(random.below(16777217));
    case 7:
      return static_cast<float>(twips_per_pixel * static_cast<double>(random.below(2000)));
    default:
      return static_cast<float>(random.between(4000, 12000));
  }
}

std::string random_text(Random& random) {
  static constexpr std::array<const char*, 8> kPieces = {
      "The quick brown fox ", "\r\n", "\n", "", "\t", "\xC3\xA9\xE2\x82\xAC", "\"quoted\\\"", " "};
  std::string text;
  const int pieces = random.between(0, 40);
  for (int i = 0; i < pieces; ++i) {
    if (random.percent(10)) {
      text += static_cast<char>(random.below(256));  // any byte, NUL included
    } else {
      text += random.pick(kPieces);
    }
  }
  return text;
}

Action random_action(Random& random, const rt::headless::Config& config, const rt::Size& client) {
  Action action;
  const double tpp = config.twips_per_pixel;
  const std::uint64_t roll = random.below(100);
  if (roll < 35) {
    action.kind = Kind::Resize;
    action.width = random_length(random, tpp);
    action.height = random_length(random, tpp);
  } else if (roll < 45) {
    action.kind = Kind::Oplossing;
  } else if (roll < 57) {
    action.kind = Kind::Wiskundig;
  } else if (roll < 62) {
    action.kind = Kind::VulBox;
  } else if (roll < 74) {
    action.kind = Kind::ResizeButton;
  } else if (roll < 90) {
    action.kind = Kind::Place;
    action.child = static_cast<int>(random.below(kChildren.size()));
    const auto coordinate = [&](float extent) {
      return static_cast<float>(random.between(-3000, 3000)) +
             static_cast<float>(random.below(static_cast<std::uint64_t>(extent) + 1));
    };
    action.rect = rt::Rect{coordinate(client.width), coordinate(client.height),
                           random_length(random, tpp), random_length(random, tpp)};
  } else {
    action.kind = Kind::Type;
    action.text = random_text(random);
  }
  // Any action may come with failing platform calls, each on its own object and op.
  if (random.percent(22)) {
    const int count = random.between(1, 3);
    for (int i = 0; i < count; ++i) {
      const FaultTarget& target = random.pick(kFaultTargets);
      Fault fault{target.path,
                  target.op,
                  random.percent(70)   ? random.between(1, 2)
                  : random.percent(67) ? random.between(3, 6)
                                       : random.between(7, 40),
                  {}};
      const bool taken = std::any_of(action.faults.begin(), action.faults.end(), [&](auto& f) {
        return f.path == fault.path && f.op == fault.op;
      });
      if (taken) continue;
      fault.message =
          as_traced(rt::Error(rt::ErrorCode::PlatformCallFailed,
                              std::string(rt::op_name(fault.op)) + " " + fault.path));
      action.faults.push_back(std::move(fault));
    }
  }
  return action;
}

struct Totals {
  long actions = 0;
  long faults_injected = 0;
  long faults_fired = 0;
  long reported = 0;
  long discarded = 0;
  long edge_checks = 0;
  long scroll_bar_checks = 0;
};

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

// The program under a random person, and what it must keep after every action.
class Person {
 public:
  Person(const RunConfig& run, std::uint64_t seed)
      : run_(run), random_(seed), program_(run.config) {
    program_.app.set_tracer(&log_);
    program_.app.set_error_reporter(
        [this](const rt::Error& e) { log_.reported.push_back(as_traced(e)); });
    tpp_ = run.config.twips_per_pixel;
    bar_ = static_cast<float>(program_.ws.grid().to_twips(run.config.scroll_bar_px));
    min_width_ = static_cast<float>(program_.ws.grid().to_twips(run.config.min_child_width_px));
  }

  // Runs `count` actions; the first failure ends the run with what led to it.
  void run(int count, std::size_t& heap_after_warm_up, std::size_t& heap_at_end) {
    const int warm_up = count / 10;
    for (int i = 0; i < count; ++i) {
      if (i == warm_up && i > 0) heap_after_warm_up = heap_in_use();
      const Action action = random_action(random_, run_.config, program_.ws.client_area());
      history_.push_back(action.describe());
      if (history_.size() > 12) history_.pop_front();
      const std::string failure = perform(action);
      ++totals_.actions;
      if (!failure.empty()) {
        std::ostringstream what;
        what << failure << "\n  in run " << run_.name << ", action " << i
             << "; replay with MDIRESIZE_SEED=" << master_seed()
             << " random_tests --gtest_filter='*/" << run_.name << "'\n  the last actions:";
        for (const std::string& line : history_) what << "\n    " << line;
        ADD_FAILURE() << what.str();
        return;
      }
    }
    heap_at_end = heap_in_use();
  }

  const Totals& totals() const { return totals_; }

 private:
  rt::Peer& child_peer(int index) {
    rt::Form* forms[] = {&program_.left(), &program_.right(), &program_.bottom(), &program_.top()};
    return *forms[index]->peer_if_loaded();
  }
  bool checked(rt::Menu& menu) { return program_.checked(menu); }

  // Carries the action out and checks everything; returns what went wrong, or empty.
  std::string perform(const Action& action) {
    MDIResize& main = program_.main();
    const bool oplossing_before = checked(main.mnuOplossing());
    const bool wiskundig_before = checked(main.mnuWiskundig());
    const rt::ScrollBars bars_before = program_.ws.client_scroll_bars();
    const std::size_t fired_before = program_.ws.faults_fired();
    const std::size_t reported_before = program_.app.errors_reported();
    log_.clear();
    for (const Fault& f : action.faults) program_.ws.inject_fault(f.path, f.op, f.nth);
    totals_.faults_injected += static_cast<long>(action.faults.size());

    bool pass_ran = false;
    try {
      switch (action.kind) {
        case Kind::Resize:
          program_.ws.user_resize_client(action.width, action.height);
          pass_ran = true;
          break;
        case Kind::Oplossing:
          program_.ws.user_click(main.mnuOplossing().peer());
          pass_ran = true;
          break;
        case Kind::Wiskundig:
          program_.ws.user_click(main.mnuWiskundig().peer());
          pass_ran = true;
          break;
        case Kind::VulBox:
          program_.ws.user_click(main.menu("mnuVulBox").peer());
          break;
        case Kind::ResizeButton:
          program_.ws.user_click(program_.top().Command1().peer());
          pass_ran = true;
          break;
        case Kind::Place:
          program_.ws.user_place(child_peer(action.child), action.rect);
          break;
        case Kind::Type:
          program_.ws.user_type(program_.bottom().Text1().peer(), action.text);
          break;
      }
    } catch (const std::exception& e) {
      return std::string("an exception escaped event delivery: ") + e.what();
    } catch (...) {
      return "an exception escaped event delivery";
    }
    const auto fired = static_cast<long>(program_.ws.faults_fired() - fired_before);
    program_.ws.clear_faults();
    totals_.faults_fired += fired;
    totals_.reported += static_cast<long>(log_.reported.size());
    totals_.discarded += static_cast<long>(log_.discarded.size());

    if (std::string e = check_errors(action, fired, reported_before); !e.empty()) return e;
    if (std::string e = check_program(); !e.empty()) return e;
    // A check mark changes on its own click only, and there it flips, unless a call on that
    // menu item failed.
    const struct {
      Kind click;
      rt::Menu& menu;
      bool before;
    } options[] = {{Kind::Oplossing, main.mnuOplossing(), oplossing_before},
                   {Kind::Wiskundig, main.mnuWiskundig(), wiskundig_before}};
    for (const auto& option : options) {
      const bool changed = checked(option.menu) != option.before;
      if (changed && action.kind != option.click) {
        return "the check mark of " + option.menu.name() + " changed without its click";
      }
      if (!changed && action.kind == option.click && !failed(action, option.menu.path())) {
        return "a click on " + option.menu.name() + " left its check mark as it was";
      }
    }
    if (fired == 0 && action.kind == Kind::VulBox &&
        Program::state(program_.bottom().Text1()).text.size() != 1650) {
      return "Vul tekstbox did not leave its 1650 characters";
    }
    if (pass_ran && fired == 0 && checked(main.mnuWiskundig())) {
      if (std::string e = check_wiskundig(bars_before); !e.empty()) return e;
    }
    return {};
  }

  // Whether a fault on the object at `path` fired in this action.
  bool failed(const Action& action, const std::string& path) const {
    return std::any_of(action.faults.begin(), action.faults.end(), [&](const Fault& f) {
      return f.path == path &&
             (std::count(log_.reported.begin(), log_.reported.end(), f.message) +
              std::count(log_.discarded.begin(), log_.discarded.end(), f.message)) > 0;
    });
  }

  // Every error that reached event delivery went through the reporter, once; every fault that
  // fired shows up once, reported or discarded; no other error is reported.
  std::string check_errors(const Action& action, long fired, std::size_t reported_before) {
    const std::size_t reports = program_.app.errors_reported() - reported_before;
    if (reports != log_.reported.size() || log_.traced_reports != log_.reported) {
      return "errors reached event delivery without going through the reporter once each";
    }
    long seen = 0;
    for (const Fault& f : action.faults) {
      const auto count = std::count(log_.reported.begin(), log_.reported.end(), f.message) +
                         std::count(log_.discarded.begin(), log_.discarded.end(), f.message);
      if (count > 1) return "the fault " + f.message + " was reported or discarded twice";
      seen += count;
    }
    if (seen != fired) {
      return std::to_string(fired) + " faults fired but " + std::to_string(seen) +
             " were reported or discarded";
    }
    if (log_.reported.size() + log_.discarded.size() != static_cast<std::size_t>(fired)) {
      // Besides the faults, the program's own errors: only a negative remainder, discarded.
      for (const std::string& r : log_.reported) {
        const bool from_fault = std::any_of(action.faults.begin(), action.faults.end(),
                                            [&](const Fault& f) { return f.message == r; });
        if (!from_fault) return "the program reported an error of its own: " + r;
      }
      for (const std::string& d : log_.discarded) {
        const bool from_fault = std::any_of(action.faults.begin(), action.faults.end(),
                                            [&](const Fault& f) { return f.message == d; });
        if (!from_fault && !d.starts_with("5 \"Invalid procedure call or argument: negative")) {
          return "resume-next discarded an unexpected error: " + d;
        }
      }
    }
    return {};
  }

  // What holds whatever happened: the program runs on, the label holds one of its three texts,
  // the lists keep their items.
  std::string check_program() {
    const auto& forms = program_.app.loaded_forms();
    if (program_.ws.closed() || forms.size() != 5 || forms[0] != &program_.main()) {
      return "the program is no longer running with its five forms";
    }
    const std::string caption = program_.caption();
    if (caption != kTwoLines && caption != kDouble && !caption.empty()) {
      return "the label holds " + rt::quote(caption);
    }
    for (std::int16_t j = 0; j <= 2; ++j) {
      const int items = Program::state(program_.left().List1(j)).item_count;
      if (items != (j == 2 ? 27 : 26)) {
        return "List1(" + std::to_string(j) + ") holds " + std::to_string(items) + " items";
      }
    }
    return {};
  }

  // In whole pixels, as the window system holds lengths; exact lengths compare as they are.
  double pixels(double twips) const { return run_.config.exact ? twips : std::round(twips / tpp_); }

  // With "Wiskundig juist" the right form takes exactly the width the left one leaves, up to
  // the client area's right edge as the pass read it: less the vertical bar of the event
  // before. At 96 dpi a client area that holds the top form then shows no scroll bar.
  std::string check_wiskundig(const rt::ScrollBars& bars_before) {
    const rt::Size client = program_.ws.client_area();
    const float seen_width = std::max(0.0f, client.width - (bars_before.vertical ? bar_ : 0.0f));
    const rt::Rect left = program_.geometry(program_.left());
    const rt::Rect right = program_.geometry(program_.right());
    const float remainder = seen_width - left.width;
    if (remainder < 0) {
      // The window system refuses a negative width; the pass goes on without the move.
      const bool discarded =
          std::any_of(log_.discarded.begin(), log_.discarded.end(),
                      [](const std::string& d) { return d.find("negative size") != d.npos; });
      return discarded ? "" : "a negative remainder was not refused and discarded";
    }
    if (remainder < min_width_) {
      // Narrower than a framed child can be made: the window system keeps the minimum.
      return right.width == min_width_ ? "" : "the right form is not at its minimum width";
    }
    ++totals_.edge_checks;
    const double edge = pixels(right.left) + pixels(right.width);
    const double expected = pixels(seen_width);
    // Exact lengths: the remainder is a single, so the edge is as close as a single gets.
    const double tolerance = run_.config.exact ? std::ldexp(std::max(1.0, expected), -23) : 0;
    if (std::fabs(edge - expected) > tolerance || pixels(right.left) != pixels(left.width)) {
      std::ostringstream out;
      out << "the right form ends at " << edge << " instead of the client area's edge at "
          << expected << " (left form " << left.width << " wide, right form at " << right.left
          << ", " << right.width << " wide)";
      return out.str();
    }
    if (tpp_ == 15 && !run_.config.exact && client.width >= 6000 && client.height >= 2200) {
      ++totals_.scroll_bar_checks;
      const rt::ScrollBars bars = program_.ws.client_scroll_bars();
      if (bars.horizontal || bars.vertical) {
        return std::string("a scroll bar shows: ") + (bars.horizontal ? "horizontal " : "") +
               (bars.vertical ? "vertical" : "");
      }
    }
    return {};
  }

  const RunConfig& run_;
  Random random_;
  Program program_;
  ErrorLog log_;
  double tpp_ = 15;
  float bar_ = 0;
  float min_width_ = 0;
  std::deque<std::string> history_;
  Totals totals_;
};

class RandomSession : public ::testing::TestWithParam<RunConfig> {};

TEST_P(RandomSession, KeepsItsPromisesAfterEveryAction) {
  // Each run its own stream, all from the one seed. (GetParam() is a copy: its place in kRuns
  // is found by name.)
  const auto index = static_cast<std::uint64_t>(
      std::find_if(std::begin(kRuns), std::end(kRuns),
                   [](const RunConfig& run) { return run.name == GetParam().name; }) -
      std::begin(kRuns));
  Random seeds(master_seed() ^ (0x5851F42D4C957F2Dull * (index + 1)));
  std::size_t heap_after_warm_up = 0;
  std::size_t heap_at_end = 0;
  auto person = std::make_unique<Person>(GetParam(), seeds.next());
  person->run(actions_per_run(), heap_after_warm_up, heap_at_end);
  const Totals& t = person->totals();
  std::cout << "  " << GetParam().name << ": " << t.actions << " actions, " << t.faults_injected
            << " faults injected, " << t.faults_fired << " fired, " << t.reported
            << " errors reported, " << t.discarded << " discarded, " << t.edge_checks
            << " right edges and " << t.scroll_bar_checks << " scroll bars checked; heap "
            << heap_after_warm_up << " -> " << heap_at_end << " bytes\n";
  Totals& all = grand_totals();
  all.actions += t.actions;
  all.faults_injected += t.faults_injected;
  all.faults_fired += t.faults_fired;
  all.reported += t.reported;
  all.discarded += t.discarded;
  if (heap_after_warm_up != 0 && heap_at_end != 0) {
    // Nothing the program keeps grows with the number of actions.
    EXPECT_LE(heap_at_end, heap_after_warm_up + 16 * 1024)
        << "the heap grew over the run; replay with MDIRESIZE_SEED=" << master_seed();
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, RandomSession, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<RunConfig>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
