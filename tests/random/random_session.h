#pragma once

// Random sessions: a person resizing, clicking, dragging children about, minimising,
// maximising, restoring and activating them (by a click, the window list or the keyboard), and
// typing, while platform calls fail now and then.
// After every action the program must still keep what it promises. The same engine drives the
// program on any window system.
//
// Seeded and reproducible. MDIRESIZE_SEED=N replays a run (the seed is printed, and named in
// every failure); MDIRESIZE_ACTIONS=N sets the actions per run, for long runs.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/application.h"
#include "runtime/fault_injection.h"
#include "runtime/observer.h"
#include "runtime/window_system.h"

class MDIResize;

namespace random_sessions {

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
  int between(int low, int high) {
    return low + static_cast<int>(below(static_cast<std::uint64_t>(high - low + 1)));
  }
  bool percent(int chance) { return below(100) < static_cast<std::uint64_t>(chance); }
  template <class T, std::size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[below(N)];
  }

 private:
  std::uint64_t state_;
};

// One seed for the whole executable, so that one number replays every run: MDIRESIZE_SEED, or
// a fresh one. Printed when first asked for.
std::uint64_t master_seed();
// MDIRESIZE_ACTIONS, or `otherwise`.
int actions_per_run(int otherwise);
// Bytes in use on the heap; with AddressSanitizer its allocator keeps the count.
std::size_t heap_in_use();
// Whether this build runs under AddressSanitizer, where an action costs several times as much.
bool under_address_sanitizer();

struct Fault {
  std::string path;
  rt::PeerOp op;
  int nth;
  std::string message;  // as traced when it fires
};

enum class Kind {
  Resize,
  Oplossing,
  Wiskundig,
  VulBox,
  ResizeButton,
  Place,
  Type,
  SetState,      // a title bar's minimise, maximise or restore button
  Activate,      // a click on a child
  ChooseWindow,  // a child's entry in the window list
  Cycle,         // Ctrl+F6 or Ctrl+Shift+F6: the next or the previous child
};

struct Action {
  Kind kind = Kind::Resize;
  float width = 0, height = 0;  // Resize
  int child = 0;                // Place, SetState, Activate, ChooseWindow: which child
  rt::Rect rect;                // Place
  rt::WindowState state = rt::WindowState::Normal;  // SetState
  rt::Cycle cycle = rt::Cycle::Next;                // Cycle
  std::string text;                                 // Type
  std::vector<Fault> faults;
  std::string describe() const;
};

// How large a person may make the main window. Every resize length is drawn from the same
// kinds (nothing, a pixel or two, odd twips, the usual, around the layout's turning points,
// very large); a window system where a very large window is costly can have fewer of them.
struct ResizeLengths {
  int very_large_percent = 100;  // of the very large lengths drawn, how many are kept
  bool very_large_both_ways = true;
};

// The program's child forms, as its project describes them and in its order.
struct Child {
  std::string name;
  bool framed = true;  // has a title bar with its buttons
};
const std::array<Child, 4>& children();

// The same state before each measurement of a real window system's heap or objects: every
// child with a frame normal (a maximised one brings its buttons onto the menu bar), the window
// at its designed size and the text box filled by the program.
std::vector<Action> settling_actions();

// The next action of a person, on a client area of `client` at `twips_per_pixel`, with the
// children() in `states`.
Action random_action(Random& random, double twips_per_pixel, const rt::Size& client,
                     const std::array<rt::WindowState, 4>& states,
                     const ResizeLengths& lengths = {});

struct Totals {
  long actions = 0;
  long faults_injected = 0;
  long faults_fired = 0;
  long reported = 0;
  long discarded = 0;
  long edge_checks = 0;
  long scroll_bar_checks = 0;
  long maximized_checks = 0;    // maximised children filling the client area
  long restore_checks = 0;      // children back where the last pass placed them
  long hidden_move_checks = 0;  // moves of minimised or maximised children
  long front_checks = 0;        // children brought to the front
  long typing_checks = 0;
  void add(const Totals& other);
  // "7673 right edges, 0 scroll bars, ... checked"
  std::string checks() const;
};

// The program a session drives: on some window system, with faults in front of its calls.
struct Target {
  rt::Application* app = nullptr;             // started
  rt::WindowSystem* window_system = nullptr;  // what the person acts on
  rt::FaultPlan* faults = nullptr;            // the plan in front of the program's calls
  bool exact = false;                         // lengths read back exactly as they were set
  float min_child_width = 0;                  // twips: the narrowest a framed child can be made
  bool keeps_any_text = true;  // a text box holds any bytes typed, not only valid UTF-8 text
  rt::Size maximized_min;      // twips: the least a maximised child is, room for its title bar
  ResizeLengths resize_lengths;
  std::function<bool()> closed;  // the window system saw the main window go
  // What replays one run, after the seed: "random_tests --gtest_filter='*/Exact'".
  std::string replay;
  // Actions that bring the window system to the same state before each measurement of the
  // heap, so that what it keeps by size or by history does not count (none in memory).
  std::vector<Action> before_measuring;
  // Called after those actions, just before measuring: empties what the toolkit caches.
  std::function<void()> flush_caches;
  // What this window system promises besides, checked after every action: empty, or what
  // went wrong.
  std::function<std::string(const Action&)> check;
};

// The heap at two points of a run: after the warm-up and at the end.
struct HeapFigures {
  std::size_t after_warm_up = 0;
  std::size_t at_end = 0;
};

// An error as the reporter or resume-next had it: "440 \"Window system call failed: Place
// frmResizeT\"", with its code.
struct LoggedError {
  rt::ErrorCode code;
  std::string text;
  bool operator==(const std::string& other) const { return text == other; }
  friend bool operator==(const LoggedError&, const LoggedError&) = default;
};

// The errors of one action, reported by event delivery or discarded by resume-next, the start
// of every layout pass, and where the program put each child.
class ActionLog final : public rt::Observer {
 public:
  // Watches `app`, whose children are `children`, in the order the session numbers them.
  ActionLog(rt::Application& app, std::vector<const rt::Object*> children);
  void clear();

  void event_begun(const rt::Form& form, std::string_view source, rt::Event event) override;
  void moved(const rt::Object& window, float left, const rt::Variant& top, const rt::Variant& width,
             const rt::Variant& height) override;
  void property_written(const rt::Object& object, std::string_view property,
                        const rt::Variant& value) override;
  void error_discarded(const rt::Error& error) override;
  void error_reported(const rt::Error& error) override;

  std::vector<LoggedError> discarded;
  std::vector<LoggedError> observed_reports;  // as the observers were told of them
  std::vector<LoggedError> reported;          // what reached the reporter
  std::function<void()> on_pass;              // an event that runs the layout pass begins
  // Per child, what its Moves and Width writes in this action asked for, the later over the
  // earlier; a Move the runtime refuses (a negative size) asks for nothing.
  std::array<std::optional<rt::Placement>, 4> asked;

 private:
  void asking(const rt::Object& window, const rt::Placement& placement);
  void refused(const rt::Error& error);

  std::vector<const rt::Object*> children_;
  int last_moved_ = -1;
  std::optional<rt::Placement> before_last_move_;
  rt::Subscription subscription_;
};

// The program under a random person, and what it must keep after every action.
class RandomSession {
 public:
  RandomSession(Target target, std::string run_name, std::uint64_t seed);
  ~RandomSession();
  RandomSession(const RandomSession&) = delete;
  RandomSession& operator=(const RandomSession&) = delete;

  // Runs `count` random actions, the first tenth a warm-up before the heap is first
  // measured. Returns what went wrong, with the seed and the actions that led to it; empty
  // when the program kept its promises throughout.
  std::string run(int count, HeapFigures& heap);

  const Totals& totals() const { return totals_; }

 private:
  MDIResize& main() const;
  rt::Form& child(int index) const;
  rt::Peer& child_peer(int index) const;
  static bool checked(rt::Menu& menu);
  rt::PeerState main_state() const;

  std::string failure(const std::string& what, long action) const;
  // Runs the actions before measuring, then measures; empty, or what went wrong.
  std::string measure(std::size_t& heap, long action);
  std::string perform(const Action& action);
  std::array<rt::PeerState, 4> child_states() const;
  // The children() as the window list has them: in the order their windows were made.
  std::vector<std::size_t> window_list() const;
  bool failed(const Action& action, const std::string& path) const;
  std::string check_errors(const Action& action, long fired, std::size_t reported_before);
  std::string check_program();
  double pixels(double twips) const;
  std::string check_wiskundig();
  std::string check_children(const Action& action, const std::array<rt::PeerState, 4>& before,
                             long fired);
  std::string check_hidden_moves(const std::array<rt::PeerState, 4>& now);

  Target target_;
  std::string name_;
  int count_ = 0;
  Random random_;
  std::unique_ptr<ActionLog> log_;
  double tpp_ = 15;
  // The client area when the last layout pass began: whole, and less its scroll bars.
  bool pass_seen_ = false;
  rt::Size pass_whole_;
  rt::Size pass_visible_;
  std::deque<std::string> history_;
  Totals totals_;
};

}  // namespace random_sessions
