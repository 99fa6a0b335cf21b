#include "app/analysis.h"

#include <charconv>
#include <cmath>

#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/variant.h"

namespace app {
namespace {

// Lengths are whole pixels; fractions of one come only from --exact's fractional twips.
constexpr double kEpsilon = 1e-6;

Edge edge_of(double pixels) {
  if (pixels < -kEpsilon) return Edge::Gap;
  if (pixels > kEpsilon) return Edge::Overhang;
  return Edge::Exact;
}

EdgeVerdict verdict(std::string_view name, std::string_view side, double edge, double meets,
                    double twips_per_pixel) {
  const double pixels = (edge - meets) / twips_per_pixel;
  return EdgeVerdict{name, side, edge_of(pixels), pixels};
}

// The number at the end of a traced read, "read MDIResize.ScaleWidth -> 6015".
std::optional<float> read_value(std::string_view text) {
  const std::size_t arrow = text.rfind("-> ");
  if (arrow == std::string_view::npos) return std::nullopt;
  float value = 0;
  const char* begin = text.data() + arrow + 3;
  const char* end = text.data() + text.size();
  if (std::from_chars(begin, end, value).ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::string_view edge_name(Edge edge) {
  switch (edge) {
    case Edge::Gap:
      return "gap";
    case Edge::Exact:
      return "exact";
    case Edge::Overhang:
      return "overhang";
  }
  return "?";
}

std::string_view label_name(LabelText text) {
  switch (text) {
    case LabelText::Empty:
      return "empty";
    case LabelText::TwoLines:
      return "two-line";
    case LabelText::DoubleScrollBar:
      return "double-scrollbar";
    case LabelText::Other:
      return "other";
  }
  return "?";
}

LabelText label_of(std::string_view text) {
  if (text == kEmptyText) return LabelText::Empty;
  if (text == kTwoLineText) return LabelText::TwoLines;
  if (text == kDoubleScrollBarText) return LabelText::DoubleScrollBar;
  return LabelText::Other;
}

std::string_view bars_name(const rt::ScrollBars& bars) {
  if (bars.horizontal && bars.vertical) return "both";
  if (bars.horizontal) return "horizontal";
  if (bars.vertical) return "vertical";
  return "none";
}

Outcome outcome_of(const rt::ScrollBars& bars, Edge right_form, Edge bottom_form) {
  if (bars.horizontal && bars.vertical) return Outcome::DoubleBar;
  if (bars.horizontal || bars.vertical) return Outcome::OneBar;
  if (right_form == Edge::Gap || bottom_form == Edge::Gap) return Outcome::Gap;
  return Outcome::Exact;
}

std::string_view outcome_name(Outcome outcome) {
  switch (outcome) {
    case Outcome::DoubleBar:
      return "double scroll bar";
    case Outcome::OneBar:
      return "overhang, one scroll bar";
    case Outcome::Gap:
      return "gap";
    case Outcome::Exact:
      return "exact";
  }
  return "?";
}

const char* outcome_colour(Outcome outcome) {
  switch (outcome) {
    case Outcome::DoubleBar:
      return "#c62828";
    case Outcome::OneBar:
      return "#f57c00";
    case Outcome::Gap:
      return "#fbc02d";
    case Outcome::Exact:
      return "#43a047";
  }
  return "#000000";
}

const EdgeVerdict* Analysis::edge(std::string_view name, std::string_view side) const {
  for (const EdgeVerdict& e : edges) {
    if (e.name == name && e.side == side) return &e;
  }
  return nullptr;
}

Outcome Analysis::outcome() const {
  const EdgeVerdict* right = edge("frmResizeR", "right");
  const EdgeVerdict* bottom = edge("frmResizeB", "bottom");
  return outcome_of(bars, right != nullptr ? right->edge : Edge::Exact,
                    bottom != nullptr ? bottom->edge : Edge::Exact);
}

Analysis analyse(const PassFacts& f) {
  const double tpp = f.twips_per_pixel;
  Analysis a;
  a.edges.reserve(5);
  a.edges.push_back(
      verdict("frmResizeR", "right", f.right.left + f.right.width, f.client.width, tpp));
  a.edges.push_back(
      verdict("frmResizeB", "right", f.bottom.left + f.bottom.width, f.client.width, tpp));
  a.edges.push_back(
      verdict("frmResizeB", "bottom", f.bottom.top + f.bottom.height, f.client.height, tpp));
  a.edges.push_back(verdict("frmResizeL", "bottom", f.left.top + f.left.height, f.bottom.top, tpp));
  if (f.last_column) {
    const rt::Rect& c = *f.last_column;
    a.edges.push_back(
        verdict("frmResizeL.List1(2)", "right", c.left + c.width, f.left_client.width, tpp));
  }
  a.client_now = f.client_now;
  a.client_read = f.client_read;
  a.bars = f.bars;
  a.label = f.label;
  a.label_text = label_of(f.label);
  const bool both = f.bars.horizontal && f.bars.vertical;
  const bool none = !f.bars.horizontal && !f.bars.vertical;
  a.label_agrees = a.label_text == LabelText::DoubleScrollBar ? both : none;
  return a;
}

void PassRecorder::line(std::string_view text) {
  record(text);
  if (next_ != nullptr) next_->line(text);
}

void PassRecorder::record(std::string_view text) {
  // A pass begins with its first Move, of the left form, and ends when it sets the label.
  if (text.starts_with("read MDIResize.Scale")) {
    if (const std::optional<float> value = read_value(text)) {
      (text.starts_with("read MDIResize.ScaleWidth ") ? read_width_ : read_height_) = *value;
    }
  } else if (text.starts_with("move ")) {
    const std::string_view rest = text.substr(5);
    const std::size_t end = rest.find(' ');
    const std::string_view object = rest.substr(0, end);
    if (object == "frmResizeL") {
      // The width read in step 1 and the height read just before this Move: the area as the
      // pass saw it.
      moves_.clear();
      client_read_ = rt::Size{read_width_, read_height_};
      in_pass_ = true;
      ++passes_;
    }
    if (!in_pass_) return;
    Move move{std::string(object), {}, {}, {}, {}};
    std::string_view args = end == std::string_view::npos ? "" : rest.substr(end + 1);
    for (std::string* field : {&move.left, &move.top, &move.width, &move.height}) {
      const std::size_t space = args.find(' ');
      *field = std::string(args.substr(0, space));
      args = space == std::string_view::npos ? "" : args.substr(space + 1);
    }
    moves_.push_back(std::move(move));
  } else if (in_pass_ && text.starts_with("caption frmResizeT.Label1 ")) {
    in_pass_ = false;
    if (on_pass_) on_pass_();
  }
}

PassFacts read_facts(const rt::Application& app, const PassRecorder* recorder) {
  PassFacts f;
  f.twips_per_pixel = app.window_system().twips_per_pixel();
  const auto state = [&](std::string_view form) {
    const rt::Form* found = app.existing_instance(form);
    if (found == nullptr || found->peer_if_loaded() == nullptr) return rt::PeerState{};
    return found->peer_if_loaded()->inspect();
  };
  const rt::PeerState main = state("MDIResize");
  f.client = rt::Size{main.geometry.width, main.geometry.height};
  f.client_now = main.client;
  if (recorder != nullptr) f.client_read = recorder->client_read();
  const rt::PeerState left = state("frmResizeL");
  f.left = left.geometry;
  f.left_client = left.client;
  f.right = state("frmResizeR").geometry;
  f.bottom = state("frmResizeB").geometry;
  if (const rt::Form* form = app.existing_instance("frmResizeL")) {
    if (const rt::Control* list = form->loaded_control("List1", 2)) {
      f.last_column = list->peer().inspect().geometry;
    }
  }
  f.bars = app.window_system().client_scroll_bars();
  if (const rt::Form* top = app.existing_instance("frmResizeT")) {
    if (const rt::Control* label = top->loaded_control("Label1")) {
      f.label = label->peer().inspect().text;
    }
  }
  return f;
}

std::string size_text(const rt::Size& size) {
  return rt::format_number(size.width) + "x" + rt::format_number(size.height);
}

std::string verdict_text(const EdgeVerdict& e) {
  if (e.edge == Edge::Exact) return "exact";
  return std::string(edge_name(e.edge)) + " " + rt::format_number(std::abs(e.pixels));
}

std::vector<std::string> explanation(const Analysis& a) {
  std::vector<std::string> lines;
  for (const EdgeVerdict& e : a.edges) {
    lines.push_back("edge " + std::string(e.name) + " " + std::string(e.side) + " " +
                    verdict_text(e));
  }
  lines.push_back("client read " + (a.client_read ? size_text(*a.client_read) : "unknown") +
                  " now " + size_text(a.client_now));
  lines.push_back("bars " + std::string(bars_name(a.bars)));
  lines.push_back("label " + rt::quote(a.label) + (a.label_agrees ? " agrees" : " disagrees"));
  return lines;
}

}  // namespace app
