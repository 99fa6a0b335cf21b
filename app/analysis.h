#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/observer.h"
#include "runtime/window_system.h"

namespace rt {
class Application;
}

namespace app {

// What a layout pass left behind, and whether it came out right: one definition for the
// sweep, the session's `explain` and the inspector.

// Where an edge lies against the edge it should meet.
enum class Edge { Gap, Exact, Overhang };
std::string_view edge_name(Edge edge);

// Which of its three texts the label holds.
enum class LabelText { Empty, TwoLines, DoubleScrollBar, Other };
std::string_view label_name(LabelText text);
LabelText label_of(std::string_view text);

// How the client area's scroll bars are named: "none", "horizontal", "vertical" or "both".
std::string_view bars_name(const rt::ScrollBars& bars);

// What a chart band shows for a pass, the worst first.
enum class Outcome { DoubleBar, OneBar, Gap, Exact };
Outcome outcome_of(const rt::ScrollBars& bars, Edge right_form, Edge bottom_form);
std::string_view outcome_name(Outcome outcome);
// Its colour in every chart, as #rrggbb.
const char* outcome_colour(Outcome outcome);
// An edge's in the same colours: exact as an exact pass, a gap as a gap, an overhang (or a
// label that is wrong) as the double scroll bar it brings.
const char* edge_colour(Edge edge);

// The facts an analysis is made from, as the window system holds them (twips).
struct PassFacts {
  double twips_per_pixel = 15;
  rt::Size client;                      // the whole client area, scroll bars included
  rt::Size client_now;                  // what the bars leave of it
  std::optional<rt::Size> client_read;  // what the pass read of it, when that was watched
  rt::Rect left, right, bottom;         // the child forms' placements
  rt::Size left_client;                 // frmResizeL's client area
  std::optional<rt::Rect> last_column;  // frmResizeL.List1(2)
  rt::ScrollBars bars;
  std::string label;
};

// The edges a pass is judged by, each against the edge it should meet: the right form's right
// edge, the bottom form's right and bottom edges against the client area's; the left form's
// bottom against the bottom form's top; the last list column's right against the left form's
// client area.
enum class Meeting { RightForm, BottomFormRight, BottomFormBottom, LeftFormBottom, LastColumn };

// One edge against the edge it should meet; `pixels` is how far past it (negative: short).
struct EdgeVerdict {
  Meeting meeting = Meeting::RightForm;
  std::string_view name;  // "frmResizeR", "frmResizeL.List1(2)"
  std::string_view side;  // "right" or "bottom"
  Edge edge = Edge::Exact;
  double pixels = 0;
};

struct Analysis {
  // In the order of Meeting; the last column's only while the left form has its lists.
  std::vector<EdgeVerdict> edges;
  rt::Size client_now;
  std::optional<rt::Size> client_read;
  rt::ScrollBars bars;
  std::string label;
  LabelText label_text = LabelText::Empty;
  // The double-scroll-bar text claims both bars; the other texts claim none.
  bool label_agrees = true;

  const EdgeVerdict* edge(Meeting meeting) const;
  Outcome outcome() const;
};

Analysis analyse(const PassFacts& facts);

// Watches the layout passes as they run: the Move calls of the last one, with their arguments
// as the program gave them, and the client area as it read it. A pass is a delivery of one of
// the events whose handlers run it (shell::runs_layout_pass).
class PassWatcher final : public rt::Observer {
 public:
  struct Move {
    std::string object;  // "frmResizeL.List1(2)"
    float left = 0;
    rt::Variant top, width, height;
  };

  // Watches `app` for as long as this lives.
  explicit PassWatcher(rt::Application& app);

  const std::vector<Move>& moves() const { return moves_; }
  // The client width read first in the last pass and the height read first, once both were.
  std::optional<rt::Size> client_read() const { return client_read_; }
  // Passes begun so far.
  std::uint64_t passes() const { return passes_; }
  // Called when a pass has ended.
  void on_pass(std::function<void()> handler) { on_pass_ = std::move(handler); }

  void event_begun(const rt::Form& form, std::string_view source, rt::Event event) override;
  void event_ended(const rt::Form& form, std::string_view source, rt::Event event) override;
  void property_read(const rt::Object& object, std::string_view property,
                     const rt::Variant& value) override;
  void moved(const rt::Object& window, float left, const rt::Variant& top, const rt::Variant& width,
             const rt::Variant& height) override;

 private:
  const rt::Application* app_;
  const rt::Form* main_ = nullptr;  // while a pass runs
  int depth_ = 0;                   // passes under way, one inside another
  std::vector<Move> moves_;
  std::optional<float> read_width_, read_height_;
  std::optional<rt::Size> client_read_;
  std::uint64_t passes_ = 0;
  std::function<void()> on_pass_;
  rt::Subscription subscription_;
};

// The facts after the last pass, read from the runtime's objects without running program
// code; `watcher` adds what the pass read, when there is one.
PassFacts read_facts(const rt::Application& app, const PassWatcher* watcher);

// One line of an explanation: what it is about, what it found, and the colour of that when it is
// a verdict (none otherwise).
struct Explained {
  std::string what;     // "edge frmResizeR right", "client read", "bars", "label"
  std::string verdict;  // "overhang 1", "6015x4860 now 5760x4605", "both", "\"\" disagrees"
  const char* colour;
};
std::vector<Explained> explained(const Analysis& analysis);
// The same a line each, as `explain` prints it: `edge NAME SIDE exact|gap N|overhang N`,
// `client read WxH now WxH`, `bars ...`, `label "TEXT" agrees|disagrees`.
std::vector<std::string> explanation(const Analysis& analysis);
std::string verdict_text(const EdgeVerdict& edge);
std::string size_text(const rt::Size& size);

}  // namespace app
