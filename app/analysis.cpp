#include "app/analysis.h"

#include <cmath>

#include "forms/frmResizeB.h"
#include "forms/frmResizeL.h"
#include "forms/frmResizeR.h"
#include "forms/frmResizeT.h"
#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/variant.h"
#include "shell/project.h"

namespace app {
namespace {

// The last of the left form's list columns, as the analysis names it.
constexpr std::string_view kLastColumn = "frmResizeL.List1(2)";

// Lengths are whole pixels; fractions of one come only from --exact's fractional twips.
constexpr double kEpsilon = 1e-6;

Edge edge_of(double pixels) {
  if (pixels < -kEpsilon) return Edge::Gap;
  if (pixels > kEpsilon) return Edge::Overhang;
  return Edge::Exact;
}

EdgeVerdict verdict(Meeting meeting, std::string_view name, std::string_view side, double edge,
                    double meets, double twips_per_pixel) {
  const double pixels = (edge - meets) / twips_per_pixel;
  return EdgeVerdict{meeting, name, side, edge_of(pixels), pixels};
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

const char* edge_colour(Edge edge) {
  switch (edge) {
    case Edge::Gap:
      return outcome_colour(Outcome::Gap);
    case Edge::Overhang:
      return outcome_colour(Outcome::DoubleBar);
    case Edge::Exact:
      break;
  }
  return outcome_colour(Outcome::Exact);
}

const EdgeVerdict* Analysis::edge(Meeting meeting) const {
  for (const EdgeVerdict& e : edges) {
    if (e.meeting == meeting) return &e;
  }
  return nullptr;
}

Outcome Analysis::outcome() const {
  const EdgeVerdict* right = edge(Meeting::RightForm);
  const EdgeVerdict* bottom = edge(Meeting::BottomFormBottom);
  return outcome_of(bars, right != nullptr ? right->edge : Edge::Exact,
                    bottom != nullptr ? bottom->edge : Edge::Exact);
}

Analysis analyse(const PassFacts& f) {
  const double tpp = f.twips_per_pixel;
  Analysis a;
  a.edges.reserve(5);
  a.edges.push_back(verdict(Meeting::RightForm, frmResizeR::class_name, "right",
                            f.right.left + f.right.width, f.client.width, tpp));
  a.edges.push_back(verdict(Meeting::BottomFormRight, frmResizeB::class_name, "right",
                            f.bottom.left + f.bottom.width, f.client.width, tpp));
  a.edges.push_back(verdict(Meeting::BottomFormBottom, frmResizeB::class_name, "bottom",
                            f.bottom.top + f.bottom.height, f.client.height, tpp));
  a.edges.push_back(verdict(Meeting::LeftFormBottom, frmResizeL::class_name, "bottom",
                            f.left.top + f.left.height, f.bottom.top, tpp));
  if (f.last_column) {
    const rt::Rect& c = *f.last_column;
    a.edges.push_back(verdict(Meeting::LastColumn, kLastColumn, "right", c.left + c.width,
                              f.left_client.width, tpp));
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

PassWatcher::PassWatcher(rt::Application& app) : app_(&app), subscription_(app.observe(*this)) {}

void PassWatcher::event_begun(const rt::Form& form, std::string_view source, rt::Event event) {
  if (!shell::runs_layout_pass(form.class_name(), source, event) || depth_++ > 0) return;
  main_ = app_->existing_main_form();
  moves_.clear();
  read_width_.reset();
  read_height_.reset();
  client_read_.reset();
  ++passes_;
}

void PassWatcher::event_ended(const rt::Form& form, std::string_view source, rt::Event event) {
  if (depth_ == 0 || !shell::runs_layout_pass(form.class_name(), source, event)) return;
  if (--depth_ == 0 && on_pass_) on_pass_();
}

void PassWatcher::property_read(const rt::Object& object, std::string_view property,
                                const rt::Variant& value) {
  // The width the pass reads first and the height it reads before its first Move: the
  // area as the pass saw it.
  if (depth_ == 0 || &object != main_ || client_read_) return;
  if (property == "ScaleWidth" && !read_width_) read_width_ = value.to_single();
  if (property == "ScaleHeight" && !read_height_) read_height_ = value.to_single();
  if (read_width_ && read_height_) client_read_ = rt::Size{*read_width_, *read_height_};
}

void PassWatcher::moved(const rt::Object& window, float left, const rt::Variant& top,
                        const rt::Variant& width, const rt::Variant& height) {
  if (depth_ > 0) moves_.push_back(Move{window.path(), left, top, width, height});
}

PassFacts read_facts(const rt::Application& app, const PassWatcher* watcher) {
  PassFacts f;
  f.twips_per_pixel = app.window_system().twips_per_pixel();
  const auto state_of = [](const rt::Form* form) {
    if (form == nullptr || form->peer_if_loaded() == nullptr) return rt::PeerState{};
    return form->peer_if_loaded()->inspect();
  };
  const auto state = [&](std::string_view form) { return state_of(app.existing_instance(form)); };
  const rt::PeerState main = state_of(app.existing_main_form());
  f.client = rt::Size{main.geometry.width, main.geometry.height};
  f.client_now = main.client;
  if (watcher != nullptr) f.client_read = watcher->client_read();
  const rt::PeerState left = state(frmResizeL::class_name);
  f.left = left.geometry;
  f.left_client = left.client;
  f.right = state(frmResizeR::class_name).geometry;
  f.bottom = state(frmResizeB::class_name).geometry;
  if (const rt::Form* form = app.existing_instance(frmResizeL::class_name)) {
    if (const rt::Control* list = form->loaded_control("List1", 2)) {
      f.last_column = list->peer().inspect().geometry;
    }
  }
  f.bars = app.window_system().client_scroll_bars();
  if (const rt::Form* top = app.existing_instance(frmResizeT::class_name)) {
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

std::vector<Explained> explained(const Analysis& a) {
  std::vector<Explained> rows;
  rows.reserve(a.edges.size() + 3);
  for (const EdgeVerdict& e : a.edges) {
    rows.push_back({"edge " + std::string(e.name) + " " + std::string(e.side), verdict_text(e),
                    edge_colour(e.edge)});
  }
  rows.push_back(
      {"client read",
       (a.client_read ? size_text(*a.client_read) : "unknown") + " now " + size_text(a.client_now),
       nullptr});
  rows.push_back({"bars", std::string(bars_name(a.bars)), nullptr});
  rows.push_back({"label", rt::quote(a.label) + (a.label_agrees ? " agrees" : " disagrees"),
                  edge_colour(a.label_agrees ? Edge::Exact : Edge::Overhang)});
  return rows;
}

std::vector<std::string> explanation(const Analysis& a) {
  std::vector<std::string> lines;
  for (const Explained& row : explained(a)) lines.push_back(row.what + " " + row.verdict);
  return lines;
}

}  // namespace app
