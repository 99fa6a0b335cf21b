#include "random/random_session.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <random>
#include <sstream>

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

#include "app/session.h"
#include "forms/frmResizeB.h"
#include "forms/frmResizeL.h"
#include "forms/frmResizeR.h"
#include "forms/frmResizeT.h"
#include "layout/MDIResize.h"
#include "shell/project.h"
#include "texts.h"

namespace random_sessions {
namespace {

using rt::PeerOp;

std::uint64_t environment_number(const char* name, std::uint64_t otherwise) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return otherwise;
  return std::strtoull(text, nullptr, 0);
}

using texts::kDouble;
using texts::kTwoLines;

std::string as_traced(const rt::Error& error) {
  return std::to_string(error.number()) + " " + rt::quote(error.message());
}

// Where faults go: the calls that passes, the children's handlers and the menu commands make
// after start-up, and a few that are never made then (so that a fault can also wait in vain).
struct FaultTarget {
  const char* path;
  PeerOp op;
};
constexpr std::array<FaultTarget, 29> kFaultTargets = {{
    {"MDIResize", PeerOp::ClientSize},
    {"MDIResize", PeerOp::ClientSize},
    {"MDIResize.mnuOplossing", PeerOp::Checked},
    {"MDIResize.mnuOplossing", PeerOp::SetChecked},
    {"MDIResize.mnuWiskundig", PeerOp::Checked},
    {"MDIResize.mnuWiskundig", PeerOp::SetChecked},
    {"frmResizeL", PeerOp::Geometry},
    {"frmResizeL", PeerOp::Place},
    {"frmResizeL", PeerOp::ClientSize},
    {"frmResizeL.List1(0)", PeerOp::Place},
    {"frmResizeL.List1(0)", PeerOp::Geometry},
    {"frmResizeL.List1(1)", PeerOp::Place},
    {"frmResizeL.List1(1)", PeerOp::Geometry},
    {"frmResizeL.List1(2)", PeerOp::Place},
    {"frmResizeL.List1(2)", PeerOp::Handle},
    {"frmResizeR", PeerOp::Place},
    {"frmResizeR", PeerOp::Place},
    {"frmResizeB", PeerOp::Place},
    {"frmResizeB", PeerOp::ClientSize},
    {"frmResizeB.Text1", PeerOp::Place},
    {"frmResizeB.Text1", PeerOp::SetText},
    {"frmResizeT", PeerOp::Place},
    {"frmResizeT", PeerOp::Geometry},
    {"frmResizeT.Label1", PeerOp::SetText},
    {"MDIResize", PeerOp::Create},
    {"frmResizeL", PeerOp::Show},
    {"frmResizeL.List1(1)", PeerOp::AddItem},
    {"frmResizeT.Command1", PeerOp::Text},
    {"MDIResize.mnuVulBox", PeerOp::Checked},
}};

// A length a person can give the client area: nothing, a pixel or two, odd twips, the usual,
// just around the sizes where the layout changes its mind, and very large.
float random_length(Random& random, double twips_per_pixel, int very_large_percent = 100,
                    bool* very_large = nullptr) {
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
      if (very_large_percent < 100 && !random.percent(very_large_percent)) {
        return static_cast<float>(random.between(3000, 16000));
      }
      if (very_large != nullptr) *very_large = true;
      return static_cast<float>(random.below(16777217));
    case 7:
      return static_cast<float>(twips_per_pixel * static_cast<double>(random.below(2000)));
    default:
      return static_cast<float>(random.between(4000, 12000));
  }
}

// What a person types at the end of the text, backspaces among it.
std::string random_text(Random& random) {
  static constexpr std::array<const char*, 11> kPieces = {
      "The quick brown fox ", "\r\n",         "\n", "\r", "",          "\t",
      "\xC3\xA9\xE2\x82\xAC", "\"quoted\\\"", " ",  "\b", "\b\b\b\b\b"};
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

// Whether a toolkit that holds text as Unicode keeps these bytes as they are: well-formed UTF-8,
// without NUL.
bool plain_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead == 0) return false;
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size()) return false;
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr std::array<std::uint32_t, 5> kLeast = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string format_rect(const rt::Rect& r) {
  return rt::format_number(r.left) + " " + rt::format_number(r.top) + " " +
         rt::format_number(r.width) + " " + rt::format_number(r.height);
}

}  // namespace

const std::array<Child, 4>& children() {
  static const std::array<Child, 4> kChildren = [] {
    std::array<Child, 4> found;
    std::size_t n = 0;
    for (const rt::FormClass& form : shell::make_project().forms) {
      if (!form.design.mdi_child) continue;
      found.at(n++) = Child{form.design.name, form.design.border_style != rt::BorderStyle::None};
    }
    if (n != found.size()) throw std::logic_error("the program has other than four children");
    return found;
  }();
  return kChildren;
}

std::vector<Action> settling_actions() {
  std::vector<Action> actions;
  for (std::size_t c = 0; c < children().size(); ++c) {
    if (!children()[c].framed) continue;
    Action& restore = actions.emplace_back();
    restore.kind = Kind::SetState;
    restore.child = static_cast<int>(c);
  }
  Action& resize = actions.emplace_back();
  resize.width = 6480;
  resize.height = 4860;
  actions.emplace_back().kind = Kind::VulBox;
  return actions;
}

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

int actions_per_run(int otherwise) {
  return static_cast<int>(
      environment_number("MDIRESIZE_ACTIONS", static_cast<std::uint64_t>(otherwise)));
}

std::size_t heap_in_use() {
#ifdef MDIRESIZE_ASAN
  return __sanitizer_get_current_allocated_bytes();
#elif defined(_WIN32)
  // The C runtime's heap has no running count: its blocks in use, one by one.
  std::size_t used = 0;
  _HEAPINFO block{};
  while (_heapwalk(&block) == _HEAPOK) {
    if (block._useflag == _USEDENTRY) used += block._size;
  }
  return used;
#else
  // glibc keeps up to seven freed blocks of each small size for the thread to reuse (its
  // tcache), and mallinfo2 counts them as in use: how many there are depends on what the last
  // actions freed. Taking them all out first makes the count the same for the same live heap.
  constexpr std::size_t kSizes = 64, kPerSize = 7;
  std::array<void*, kSizes * kPerSize> held{};
  for (std::size_t i = 0; i < held.size(); ++i) held[i] = std::malloc(24 + 16 * (i / kPerSize));
  asm volatile("" : : "r"(held.data()) : "memory");  // the blocks are taken, not optimised away
  const struct mallinfo2 info = mallinfo2();
  for (void* block : held) std::free(block);
  return info.uordblks + info.hblkhd;  // large blocks are mapped on their own
#endif
}

bool under_address_sanitizer() {
#ifdef MDIRESIZE_ASAN
  return true;
#else
  return false;
#endif
}

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
      out << "place " << children()[static_cast<std::size_t>(child)].name << " "
          << format_rect(rect);
      break;
    case Kind::Type:
      out << "type " << text.size() << " bytes";
      break;
    case Kind::SetState:
      out << app::state_command(state) << " " << children()[static_cast<std::size_t>(child)].name;
      break;
    case Kind::Activate:
      out << "activate " << children()[static_cast<std::size_t>(child)].name;
      break;
    case Kind::ChooseWindow:
      out << "window " << children()[static_cast<std::size_t>(child)].name;
      break;
    case Kind::Cycle:
      out << app::cycle_command(cycle);
      break;
  }
  return out.str();
}

Action random_action(Random& random, double twips_per_pixel, const rt::Size& client,
                     const std::array<rt::WindowState, 4>& states, const ResizeLengths& lengths) {
  using rt::WindowState;
  Action action;
  const double tpp = twips_per_pixel;
  const std::uint64_t roll = random.below(100);
  if (roll < 30) {
    action.kind = Kind::Resize;
    bool very_large = false;
    action.width = random_length(random, tpp, lengths.very_large_percent, &very_large);
    action.height = random_length(
        random, tpp, very_large && !lengths.very_large_both_ways ? 0 : lengths.very_large_percent);
  } else if (roll < 38) {
    action.kind = Kind::Oplossing;
  } else if (roll < 48) {
    action.kind = Kind::Wiskundig;
  } else if (roll < 53) {
    action.kind = Kind::VulBox;
  } else if (roll < 63) {
    action.kind = Kind::ResizeButton;
  } else if (roll < 75) {
    action.kind = Kind::Place;
    // Mostly a child that can be dragged; now and then an icon or a maximised one, which stays.
    std::vector<int> normal;
    for (int i = 0; i < 4; ++i) {
      if (states[static_cast<std::size_t>(i)] == WindowState::Normal) normal.push_back(i);
    }
    action.child = !normal.empty() && random.percent(85)
                       ? normal[random.below(normal.size())]
                       : static_cast<int>(random.below(children().size()));
    const auto coordinate = [&](float extent) {
      return static_cast<float>(random.between(-3000, 3000)) +
             static_cast<float>(random.below(static_cast<std::uint64_t>(extent) + 1));
    };
    action.rect = rt::Rect{coordinate(client.width), coordinate(client.height),
                           random_length(random, tpp), random_length(random, tpp)};
  } else if (roll < 81) {
    action.kind = Kind::Type;
    action.text = random_text(random);
  } else if (roll < 92) {
    // A framed child's buttons, always to another state; mostly back to normal, so that most of
    // the time most children are.
    action.kind = Kind::SetState;
    std::vector<int> framed;
    for (int i = 0; i < 4; ++i) {
      if (children()[static_cast<std::size_t>(i)].framed) framed.push_back(i);
    }
    action.child = framed[random.below(framed.size())];
    const WindowState now = states[static_cast<std::size_t>(action.child)];
    const WindowState other =
        now == WindowState::Minimized ? WindowState::Maximized : WindowState::Minimized;
    if (now == WindowState::Normal) {
      action.state = random.percent(50) ? WindowState::Minimized : WindowState::Maximized;
    } else {
      action.state = random.percent(75) ? WindowState::Normal : other;
    }
  } else if (roll < 97) {
    action.kind = roll < 95 ? Kind::Activate : Kind::ChooseWindow;
    action.child = static_cast<int>(random.below(children().size()));
  } else {
    action.kind = Kind::Cycle;
    action.cycle = random.percent(50) ? rt::Cycle::Next : rt::Cycle::Previous;
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
      fault.message = as_traced(rt::Error(rt::ErrorCode::PlatformCallFailed,
                                          std::string(rt::op_name(fault.op)) + " " + fault.path));
      action.faults.push_back(std::move(fault));
    }
  }
  return action;
}

void Totals::add(const Totals& other) {
  actions += other.actions;
  faults_injected += other.faults_injected;
  faults_fired += other.faults_fired;
  reported += other.reported;
  discarded += other.discarded;
  edge_checks += other.edge_checks;
  scroll_bar_checks += other.scroll_bar_checks;
  maximized_checks += other.maximized_checks;
  restore_checks += other.restore_checks;
  hidden_move_checks += other.hidden_move_checks;
  front_checks += other.front_checks;
  typing_checks += other.typing_checks;
}

std::string Totals::checks() const {
  std::ostringstream out;
  out << edge_checks << " right edges, " << scroll_bar_checks << " scroll bars, "
      << maximized_checks << " maximised children, " << restore_checks << " restored children, "
      << hidden_move_checks << " moves of minimised or maximised children, " << front_checks
      << " children in front and " << typing_checks << " typings checked";
  return out.str();
}

ActionLog::ActionLog(rt::Application& app, std::vector<const rt::Object*> children)
    : children_(std::move(children)), subscription_(app.observe(*this)) {}

void ActionLog::event_begun(const rt::Form& form, std::string_view source, rt::Event event) {
  if (on_pass && shell::runs_layout_pass(form.class_name(), source, event)) on_pass();
}

void ActionLog::moved(const rt::Object& window, float left, const rt::Variant& top,
                      const rt::Variant& width, const rt::Variant& height) {
  const auto length = [](const rt::Variant& v) { return static_cast<float>(v.to_double()); };
  asking(window, rt::Placement{left, length(top), length(width), length(height)});
}

void ActionLog::property_written(const rt::Object& object, std::string_view property,
                                 const rt::Variant& value) {
  if (property != "Width") return;
  rt::Placement width;
  width.width = static_cast<float>(value.to_double());
  asking(object, width);
}

void ActionLog::error_discarded(const rt::Error& error) {
  discarded.push_back(LoggedError{error.code(), as_traced(error)});
  refused(error);
}

void ActionLog::error_reported(const rt::Error& error) {
  observed_reports.push_back(LoggedError{error.code(), as_traced(error)});
  refused(error);
}

void ActionLog::refused(const rt::Error& error) {
  // The runtime refuses a negative length once it has told of the Move, before the window
  // system hears of it; a failing platform call is another error.
  if (error.code() != rt::ErrorCode::InvalidProcedureCall || last_moved_ < 0) return;
  asked[static_cast<std::size_t>(last_moved_)] = before_last_move_;
  last_moved_ = -1;
}

void ActionLog::asking(const rt::Object& window, const rt::Placement& placement) {
  const auto found = std::find(children_.begin(), children_.end(), &window);
  if (found == children_.end()) return;
  last_moved_ = static_cast<int>(found - children_.begin());
  std::optional<rt::Placement>& wanted = asked[static_cast<std::size_t>(last_moved_)];
  before_last_move_ = wanted;
  if (!wanted) wanted = rt::Placement{};
  if (placement.left) wanted->left = placement.left;
  if (placement.top) wanted->top = placement.top;
  if (placement.width) wanted->width = placement.width;
  if (placement.height) wanted->height = placement.height;
}

void ActionLog::clear() {
  discarded.clear();
  observed_reports.clear();
  reported.clear();
  asked = {};
  last_moved_ = -1;
  before_last_move_.reset();
}

RandomSession::RandomSession(Target target, std::string run_name, std::uint64_t seed)
    : target_(std::move(target)), name_(std::move(run_name)), random_(seed) {
  rt::Application& app = *target_.app;
  std::vector<const rt::Object*> forms(4);
  for (int c = 0; c < 4; ++c) forms[static_cast<std::size_t>(c)] = &child(c);
  log_ = std::make_unique<ActionLog>(app, std::move(forms));
  app.set_error_reporter([this](const rt::Error& e) {
    log_->reported.push_back(LoggedError{e.code(), as_traced(e)});
  });
  log_->on_pass = [this] {
    const rt::PeerState state = main_state();
    pass_seen_ = true;
    pass_whole_ = rt::Size{state.geometry.width, state.geometry.height};
    pass_visible_ = state.client;
  };
  tpp_ = target_.window_system->twips_per_pixel();
}

RandomSession::~RandomSession() {
  target_.app->set_error_reporter({});
}

MDIResize& RandomSession::main() const {
  return target_.app->instance<MDIResize>();
}

rt::Form& RandomSession::child(int index) const {
  return target_.app->instance(children()[static_cast<std::size_t>(index)].name);
}

rt::Peer& RandomSession::child_peer(int index) const {
  return *child(index).peer_if_loaded();
}

bool RandomSession::checked(rt::Menu& menu) {
  return menu.peer().inspect().checked;
}

// The main window as the window system holds it: its geometry is the whole client area, its
// client what the scroll bars leave of that.
rt::PeerState RandomSession::main_state() const {
  const rt::Peer* peer = main().peer_if_loaded();
  return peer != nullptr ? peer->inspect() : rt::PeerState{};
}

std::string RandomSession::failure(const std::string& what, long action) const {
  std::ostringstream out;
  out << what << "\n  in run " << name_ << ", action " << action
      << "; replay with MDIRESIZE_SEED=" << master_seed();
  // The actions before measuring the heap come at a tenth of the run: a replay needs its length.
  if (!target_.before_measuring.empty()) out << " MDIRESIZE_ACTIONS=" << count_;
  out << " " << target_.replay << "\n  the last actions:";
  for (const std::string& line : history_) out << "\n    " << line;
  return out.str();
}

std::string RandomSession::run(int count, HeapFigures& heap) {
  count_ = count;
  const int warm_up = count / 10;
  for (int i = 0; i < count; ++i) {
    if (i == warm_up && i > 0) {
      if (std::string e = measure(heap.after_warm_up, i); !e.empty()) return e;
    }
    const rt::PeerState main = main_state();
    const std::array<rt::PeerState, 4> children = child_states();
    std::array<rt::WindowState, 4> states{};
    for (std::size_t c = 0; c < 4; ++c) states[c] = children[c].window_state;
    const Action action =
        random_action(random_, tpp_, rt::Size{main.geometry.width, main.geometry.height}, states,
                      target_.resize_lengths);
    history_.push_back(action.describe());
    if (history_.size() > 12) history_.pop_front();
    const std::string what = perform(action);
    ++totals_.actions;
    if (!what.empty()) return failure(what, i);
  }
  return measure(heap.at_end, count);
}

std::string RandomSession::measure(std::size_t& heap, long action) {
  for (const Action& settle : target_.before_measuring) {
    history_.push_back(settle.describe() + " (before measuring the heap)");
    if (history_.size() > 12) history_.pop_front();
    if (std::string what = perform(settle); !what.empty()) return failure(what, action);
  }
  if (target_.flush_caches) target_.flush_caches();
  heap = heap_in_use();
  return {};
}

// Carries the action out and checks everything; returns what went wrong, or empty.
std::string RandomSession::perform(const Action& action) {
  rt::WindowSystem& ws = *target_.window_system;
  rt::FaultPlan& faults = *target_.faults;
  MDIResize& main = this->main();
  const bool oplossing_before = checked(main.mnuOplossing());
  const bool wiskundig_before = checked(main.mnuWiskundig());
  const std::size_t fired_before = faults.fired();
  const std::size_t reported_before = target_.app->errors_reported();
  rt::Peer& text_box = target_.app->instance<frmResizeB>().Text1().peer();
  const std::string text_before = action.kind == Kind::Type ? text_box.inspect().text : "";
  const std::array<rt::PeerState, 4> children_before = child_states();
  log_->clear();
  pass_seen_ = false;
  for (const Fault& f : action.faults) faults.inject(f.path, f.op, f.nth);
  totals_.faults_injected += static_cast<long>(action.faults.size());

  bool pass_ran = false;
  try {
    switch (action.kind) {
      case Kind::Resize:
        ws.person().user_resize_client(action.width, action.height);
        pass_ran = true;
        break;
      case Kind::Oplossing:
        ws.person().user_click(main.mnuOplossing());
        pass_ran = true;
        break;
      case Kind::Wiskundig:
        ws.person().user_click(main.mnuWiskundig());
        pass_ran = true;
        break;
      case Kind::VulBox:
        ws.person().user_click(main.menu("mnuVulBox"));
        break;
      case Kind::ResizeButton:
        ws.person().user_click(target_.app->instance<frmResizeT>().Command1());
        pass_ran = true;
        break;
      case Kind::Place:
        ws.person().user_place(child(action.child), action.rect);
        break;
      case Kind::Type:
        ws.person().user_type(target_.app->instance<frmResizeB>().Text1(), action.text);
        break;
      case Kind::SetState:
        ws.person().user_set_window_state(child(action.child), action.state);
        break;
      case Kind::Activate:
        ws.person().user_activate(child(action.child));
        break;
      case Kind::ChooseWindow:
        ws.person().user_choose_window(child(action.child));
        break;
      case Kind::Cycle:
        ws.person().user_cycle_children(action.cycle);
        break;
    }
  } catch (const std::exception& e) {
    return std::string("an exception escaped event delivery: ") + e.what();
  } catch (...) {
    return "an exception escaped event delivery";
  }
  const auto fired = static_cast<long>(faults.fired() - fired_before);
  faults.clear();
  totals_.faults_fired += fired;
  totals_.reported += static_cast<long>(log_->reported.size());
  totals_.discarded += static_cast<long>(log_->discarded.size());

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
  if (fired == 0 && action.kind == Kind::VulBox && text_box.inspect().text.size() != 1650) {
    return "Vul tekstbox did not leave its 1650 characters";
  }
  // Typed text goes at the end, as typed_text() has it; a toolkit that holds Unicode keeps
  // only text that is text.
  if (fired == 0 && action.kind == Kind::Type &&
      (target_.keeps_any_text || (plain_utf8(text_before) && plain_utf8(action.text)))) {
    ++totals_.typing_checks;
    const std::string expected = rt::typed_text(text_before, action.text);
    const std::string now = text_box.inspect().text;
    if (now != expected) {
      const auto parted = std::mismatch(now.begin(), now.end(), expected.begin(), expected.end());
      return "typing " + std::to_string(action.text.size()) + " bytes after " +
             std::to_string(text_before.size()) + " left " + std::to_string(now.size()) +
             " bytes instead of " + std::to_string(expected.size()) + ", differing from byte " +
             std::to_string(parted.first - now.begin());
    }
  }
  if (std::string e = check_children(action, children_before, fired); !e.empty()) return e;
  if (pass_ran && fired == 0 && checked(main.mnuWiskundig())) {
    if (std::string e = check_wiskundig(); !e.empty()) return e;
  }
  if (target_.check) return target_.check(action);
  return {};
}

std::vector<std::size_t> RandomSession::window_list() const {
  std::vector<std::size_t> listed;
  for (const rt::Form* form : target_.app->loaded_forms()) {
    for (std::size_t c = 0; c < children().size(); ++c) {
      if (form->class_name() == children()[c].name) listed.push_back(c);
    }
  }
  return listed;
}

std::array<rt::PeerState, 4> RandomSession::child_states() const {
  std::array<rt::PeerState, 4> states;
  for (int c = 0; c < 4; ++c) states[static_cast<std::size_t>(c)] = child_peer(c).inspect();
  return states;
}

// Whether a fault on the object at `path` fired in this action.
bool RandomSession::failed(const Action& action, const std::string& path) const {
  return std::any_of(action.faults.begin(), action.faults.end(), [&](const Fault& f) {
    return f.path == path &&
           (std::count(log_->reported.begin(), log_->reported.end(), f.message) +
            std::count(log_->discarded.begin(), log_->discarded.end(), f.message)) > 0;
  });
}

// Every error that reached event delivery went through the reporter, once; every fault that
// fired shows up once, reported or discarded; no other error is reported.
std::string RandomSession::check_errors(const Action& action, long fired,
                                        std::size_t reported_before) {
  const std::size_t reports = target_.app->errors_reported() - reported_before;
  if (reports != log_->reported.size() || log_->observed_reports != log_->reported) {
    return "errors reached event delivery without going through the reporter once each";
  }
  std::ptrdiff_t seen = 0;  // std::count's type: wider than long on Windows
  for (const Fault& f : action.faults) {
    const auto count = std::count(log_->reported.begin(), log_->reported.end(), f.message) +
                       std::count(log_->discarded.begin(), log_->discarded.end(), f.message);
    if (count > 1) return "the fault " + f.message + " was reported or discarded twice";
    seen += count;
  }
  if (seen != fired) {
    return std::to_string(fired) + " faults fired but " + std::to_string(seen) +
           " were reported or discarded";
  }
  if (log_->reported.size() + log_->discarded.size() != static_cast<std::size_t>(fired)) {
    // Besides the faults, the program's own errors: only a negative remainder, discarded.
    for (const LoggedError& r : log_->reported) {
      const bool from_fault = std::any_of(action.faults.begin(), action.faults.end(),
                                          [&](const Fault& f) { return f.message == r.text; });
      if (!from_fault) return "the program reported an error of its own: " + r.text;
    }
    for (const LoggedError& d : log_->discarded) {
      const bool from_fault = std::any_of(action.faults.begin(), action.faults.end(),
                                          [&](const Fault& f) { return f.message == d.text; });
      if (!from_fault && d.code != rt::ErrorCode::InvalidProcedureCall) {
        return "resume-next discarded an unexpected error: " + d.text;
      }
    }
  }
  return {};
}

// What holds whatever happened: the program runs on, the label holds one of its three texts,
// the lists keep their items.
std::string RandomSession::check_program() {
  rt::Application& app = *target_.app;
  const auto& forms = app.loaded_forms();
  if ((target_.closed && target_.closed()) || forms.size() != 5 || forms[0] != &main()) {
    return "the program is no longer running with its five forms";
  }
  const std::string caption = app.instance<frmResizeT>().Label1().peer().inspect().text;
  if (caption != kTwoLines && caption != kDouble && !caption.empty()) {
    return "the label holds " + rt::quote(caption);
  }
  auto& left = app.instance<frmResizeL>();
  for (std::int16_t j = 0; j <= 2; ++j) {
    const int items = left.List1(j).peer().inspect().item_count;
    if (items != (j == 2 ? 27 : 26)) {
      return "List1(" + std::to_string(j) + ") holds " + std::to_string(items) + " items";
    }
  }
  return {};
}

// In whole pixels, as the window system holds lengths; exact lengths compare as they are.
double RandomSession::pixels(double twips) const {
  return target_.exact ? twips : std::round(twips / tpp_);
}

// With "Wiskundig juist" the right form takes exactly the width the left one leaves, up to
// the client area's right edge as the pass read it: less the vertical bar that showed when
// the pass began. At 96 dpi a client area that holds the top form then shows no scroll bar.
std::string RandomSession::check_wiskundig() {
  if (!pass_seen_) return "the layout pass did not run";
  const rt::PeerState main = main_state();
  const rt::Size client{main.geometry.width, main.geometry.height};
  if (client != pass_whole_) {
    std::ostringstream out;
    out << "the client area is " << client.width << " x " << client.height
        << " twips, but the last layout pass ran at " << pass_whole_.width << " x "
        << pass_whole_.height;
    return out.str();
  }
  const float seen_width = pass_visible_.width;
  const rt::Rect left = child(0).peer_if_loaded()->inspect().geometry;
  const rt::Rect right = child(1).peer_if_loaded()->inspect().geometry;
  const float remainder = seen_width - left.width;
  if (remainder < 0) {
    // The runtime refuses a negative width; the pass goes on without the move.
    const bool discarded = std::any_of(
        log_->discarded.begin(), log_->discarded.end(),
        [](const LoggedError& d) { return d.code == rt::ErrorCode::InvalidProcedureCall; });
    return discarded ? "" : "a negative remainder was not refused and discarded";
  }
  if (remainder < target_.min_child_width) {
    // Narrower than a framed child can be made: the window system keeps the minimum.
    return right.width == target_.min_child_width ? ""
                                                  : "the right form is not at its minimum width";
  }
  ++totals_.edge_checks;
  const double edge = pixels(right.left) + pixels(right.width);
  const double expected = pixels(seen_width);
  // Exact lengths: the remainder is a single, so the edge is as close as a single gets.
  const double tolerance = target_.exact ? std::ldexp(std::max(1.0, expected), -23) : 0;
  if (std::fabs(edge - expected) > tolerance || pixels(right.left) != pixels(left.width)) {
    std::ostringstream out;
    out << "the right form ends at " << edge << " instead of the client area's edge at " << expected
        << " (left form " << left.width << " wide, right form at " << right.left << ", "
        << right.width << " wide)";
    return out.str();
  }
  if (tpp_ == 15 && !target_.exact && client.width >= 6000 && client.height >= 2200) {
    ++totals_.scroll_bar_checks;
    const rt::ScrollBars bars = target_.window_system->client_scroll_bars();
    if (bars.horizontal || bars.vertical) {
      return std::string("a scroll bar shows: ") + (bars.horizontal ? "horizontal " : "") +
             (bars.vertical ? "vertical" : "");
    }
  }
  return {};
}

// The children's window states and stacking order: each keeps its state unless the person
// changed it, the one acted on comes to the front, a maximised child fills the client area,
// and a normal one shows where it is placed, a restored one where the last pass placed it.
std::string RandomSession::check_children(const Action& action,
                                          const std::array<rt::PeerState, 4>& before, long fired) {
  using rt::WindowState;
  const std::array<rt::PeerState, 4> now = child_states();
  const auto name = [](std::size_t c) { return children()[c].name; };
  const auto state = [](const rt::PeerState& s) {
    return std::string(rt::window_state_name(s.window_state));
  };
  std::array<int, 4> at_z{};
  for (const rt::PeerState& s : now) {
    if (s.z >= 0 && s.z < 4) ++at_z[static_cast<std::size_t>(s.z)];
  }
  if (at_z != std::array<int, 4>{1, 1, 1, 1}) {
    std::ostringstream out;
    out << "the children are at z";
    for (const rt::PeerState& s : now) out << " " << s.z;
    return out.str();
  }
  // The keyboard goes from the child in front, the active one, to the next in the window
  // list's order, or the one before it.
  auto acted = static_cast<std::size_t>(action.child);
  if (action.kind == Kind::Cycle) {
    const std::vector<std::size_t> listed = window_list();
    const auto active =
        static_cast<std::size_t>(std::find_if(listed.begin(), listed.end(),
                                              [&](std::size_t c) { return before[c].z == 0; }) -
                                 listed.begin());
    const std::size_t step = action.cycle == rt::Cycle::Next ? 1 : listed.size() - 1;
    acted = listed.at((active + step) % listed.size());
  }
  // A child's state changes by its own buttons only, or from an icon back to normal when the
  // window list chooses it; a child without a title bar stays normal.
  for (std::size_t c = 0; c < 4; ++c) {
    const WindowState was = before[c].window_state;
    WindowState expected = children()[c].framed ? was : WindowState::Normal;
    if (c == acted && action.kind == Kind::SetState) expected = action.state;
    if (c == acted && action.kind == Kind::ChooseWindow && was == WindowState::Minimized) {
      expected = WindowState::Normal;
    }
    if (now[c].window_state != expected) {
      return name(c) + " is " + state(now[c]) + " after \"" + action.describe() + "\"; it was " +
             state(before[c]);
    }
  }
  const bool to_front =
      action.kind == Kind::Activate || action.kind == Kind::ChooseWindow ||
      action.kind == Kind::Cycle ||
      (action.kind == Kind::SetState && before[acted].window_state != action.state);
  if (to_front) {
    ++totals_.front_checks;
    if (now[acted].z != 0) {
      return name(acted) + " is at z " + std::to_string(now[acted].z) + " after \"" +
             action.describe() + "\", not in front";
    }
  }
  const rt::Size client = main_state().client;
  const bool restoring = (action.kind == Kind::SetState && action.state == WindowState::Normal) ||
                         action.kind == Kind::ChooseWindow;
  for (std::size_t c = 0; c < 4; ++c) {
    const rt::Rect& shown = now[c].shown;
    if (now[c].window_state == WindowState::Maximized) {
      ++totals_.maximized_checks;
      // The whole client area, or at the least room for its title bar.
      const bool fills = shown.left == 0 && shown.top == 0 &&
                         shown.width == std::max(client.width, target_.maximized_min.width) &&
                         shown.height == std::max(client.height, target_.maximized_min.height);
      if (!fills) {
        return "maximised " + name(c) + " shows at " + format_rect(shown) +
               " in a client area of " + rt::format_number(client.width) + " x " +
               rt::format_number(client.height) + " twips";
      }
    }
    if (now[c].window_state != WindowState::Normal) continue;
    // Restored: where the last pass placed it, unless a pass ran meanwhile.
    const bool restored = restoring && c == acted && before[c].window_state != WindowState::Normal;
    if (restored) ++totals_.restore_checks;
    const rt::Rect placed = restored && !pass_seen_ ? before[c].geometry : now[c].geometry;
    if (shown != placed || now[c].geometry != placed) {
      return std::string(restored ? "restored " : "normal ") + name(c) + " shows at " +
             format_rect(shown) + " and is placed at " + format_rect(now[c].geometry) +
             "; it belongs at " + format_rect(placed);
    }
  }
  // Only a normal child can be dragged.
  if (action.kind == Kind::Place && before[acted].window_state != WindowState::Normal &&
      (now[acted].geometry != before[acted].geometry || now[acted].shown != before[acted].shown)) {
    return state(before[acted]) + " " + name(acted) + " went from " +
           format_rect(before[acted].shown) + " (placed at " + format_rect(before[acted].geometry) +
           ") to " + format_rect(now[acted].shown) + " (placed at " +
           format_rect(now[acted].geometry) + ")";
  }
  return fired == 0 ? check_hidden_moves(now) : "";
}

// A Move or Width write on a minimised or maximised child changes the placement it goes back to
// as it would a normal one's: each length snapped to whole pixels on its own, the width to at
// least the narrowest a framed child can be.
std::string RandomSession::check_hidden_moves(const std::array<rt::PeerState, 4>& now) {
  for (std::size_t c = 0; c < 4; ++c) {
    const std::optional<rt::Placement>& asked = log_->asked[c];
    if (!asked || now[c].window_state == rt::WindowState::Normal) continue;
    ++totals_.hidden_move_checks;
    const rt::Rect& has = now[c].geometry;
    const auto kept = [&](const std::optional<float>& length, float held) {
      return !length || pixels(*length) == pixels(held);
    };
    const bool narrowest = asked->width && *asked->width < target_.min_child_width;
    if (kept(asked->left, has.left) && kept(asked->top, has.top) &&
        (narrowest || kept(asked->width, has.width)) && kept(asked->height, has.height)) {
      continue;
    }
    const auto length = [](const std::optional<float>& l) {
      return l ? rt::format_number(*l) : std::string("-");
    };
    return std::string(rt::window_state_name(now[c].window_state)) + " " + children()[c].name +
           " was moved to " + length(asked->left) + " " + length(asked->top) + " " +
           length(asked->width) + " " + length(asked->height) + " but is placed at " +
           format_rect(has) + " (" + rt::format_number(tpp_) + " twips a pixel)";
  }
  return {};
}

}  // namespace random_sessions
