// The program on the Qt window system (offscreen): its layout pass against setting the same
// geometries straight on the same widgets, a drag of the main window's border, and the sweep.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTimer>

#include "app/analysis.h"
#include "app/pass_window.h"
#include "app/sweep.h"
#include "bench/drag.h"
#include "bench/ratios.h"
#include "runtime/application.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"

namespace {

using bench::drag_widths;
using bench::kDragHeight;

struct QtProgram {
  QtProgram() : app(shell::make_project(), ws) { app.start(); }
  rt::Form& form(const char* name) { return *app.existing_instance(name); }
  rt::Peer& peer(const char* name) { return *form(name).peer_if_loaded(); }
  QWidget& widget(const char* name) { return *static_cast<QWidget*>(ws.native(form(name))); }
  QWidget& control(const char* form_name, std::string_view name, int index = -1) {
    const rt::Control* c = form(form_name).loaded_control(name, index);
    if (c == nullptr) throw std::logic_error("no such control");
    return *static_cast<QWidget*>(ws.native(*c));
  }

  rt::qt::QtWindowSystem ws;
  rt::Application app;
};

// Takes the program's place when the main window is resized: the rectangles the pass gives
// with neither option, computed directly and set straight on the widgets, in pixels. No
// variants, no lookups by name, no events, no twips crossing an interface.
class DirectPlacement final : public rt::EventSink {
 public:
  explicit DirectPlacement(QtProgram& p)
      : ws_(p.ws),
        area_(*p.ws.mdi_area()),
        left_(p.widget("frmResizeL")),
        right_(p.widget("frmResizeR")),
        bottom_(p.widget("frmResizeB")),
        top_(p.widget("frmResizeT")),
        text_(p.control("frmResizeB", "Text1")),
        label_(static_cast<QLabel&>(p.control("frmResizeT", "Label1"))),
        lists_{&p.control("frmResizeL", "List1", 0), &p.control("frmResizeL", "List1", 1),
               &p.control("frmResizeL", "List1", 2)},
        twips_per_pixel_(static_cast<float>(p.ws.twips_per_pixel())) {
    p.ws.attach(this);
  }
  ~DirectPlacement() override { ws_.attach(nullptr); }
  DirectPlacement(const DirectPlacement&) = delete;
  DirectPlacement& operator=(const DirectPlacement&) = delete;

  void main_window_resized() override {
    const QSize visible = area_.viewport()->size();
    const float width = twips(visible.width());
    const float height = twips(visible.height());
    const auto upper = static_cast<float>(std::floor(height * 0.8));
    const auto lower = static_cast<float>(std::floor(height * 0.2));
    const float half = width / 2;
    place(left_, 0, 0, half, upper);
    const QSize client = left_.contentsRect().size();
    const float third = twips(client.width()) / 3;
    const float list_height = twips(client.height());
    place(*lists_[0], 0, 0, third, list_height);
    const float w0 = twips(lists_[0]->width());
    place(*lists_[1], w0, 0, std::floor(third), list_height);
    const float w1 = twips(lists_[1]->width());
    place(*lists_[2], w0 + w1, 0, std::floor(third), list_height);
    place(right_, twips(left_.width()), 0, half, upper);
    place(bottom_, 0, upper, width, lower);
    const QSize text = bottom_.contentsRect().size();
    text_.setGeometry(0, 0, text.width(), text.height());
    place(top_, 0, 1000, 6000, 1200);
    label_.setText(6000 > width ? QStringLiteral("Oeps. Dubbele scrollbar") : QString());
    ws_.idle();
  }
  void clicked(rt::Object&) override {}
  void form_resized_by_user(rt::Object&) override {}
  void main_window_closed() override {}

 private:
  float twips(int pixels) const { return static_cast<float>(pixels) * twips_per_pixel_; }
  int pixels(float twips) const { return static_cast<int>(ws_.grid().to_pixels(twips)); }
  void place(QWidget& widget, float left, float top, float width, float height) const {
    widget.setGeometry(pixels(left), pixels(top), std::max(0, pixels(width)),
                       std::max(0, pixels(height)));
  }

  rt::qt::QtWindowSystem& ws_;
  QMdiArea& area_;
  QWidget &left_, &right_, &bottom_, &top_, &text_;
  QLabel& label_;
  QWidget* lists_[3];
  float twips_per_pixel_;
};

// One resize of the main window as a person makes it, and everything it sets going handled.
void resize_and_settle(rt::qt::QtWindowSystem& ws, float width) {
  ws.person().user_resize_client(width, kDragHeight);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

void BM_QtLayoutPass(benchmark::State& state) {
  QtProgram p;
  bench::drag_through(state, drag_widths(), [&](float w) { resize_and_settle(p.ws, w); });
}
BENCHMARK(BM_QtLayoutPass);

void BM_QtDirectPlacement(benchmark::State& state) {
  QtProgram p;
  DirectPlacement direct(p);
  bench::drag_through(state, drag_widths(), [&](float w) { resize_and_settle(p.ws, w); });
}
BENCHMARK(BM_QtDirectPlacement);

bool same_geometries() {
  QtProgram pass;
  QtProgram direct;
  DirectPlacement placement(direct);
  for (const float w : drag_widths()) {
    resize_and_settle(pass.ws, w);
    resize_and_settle(direct.ws, w);
    for (const char* name : {"frmResizeL", "frmResizeR", "frmResizeB", "frmResizeT"}) {
      if (pass.widget(name).geometry() != direct.widget(name).geometry()) return false;
    }
    for (int j = 0; j < 3; ++j) {
      if (pass.control("frmResizeL", "List1", j).geometry() !=
          direct.control("frmResizeL", "List1", j).geometry()) {
        return false;
      }
    }
    if (pass.control("frmResizeB", "Text1").geometry() !=
        direct.control("frmResizeB", "Text1").geometry()) {
      return false;
    }
    if (static_cast<QLabel&>(pass.control("frmResizeT", "Label1")).text() !=
        static_cast<QLabel&>(direct.control("frmResizeT", "Label1")).text()) {
      return false;
    }
    if (pass.ws.client_scroll_bars() != direct.ws.client_scroll_bars()) return false;
  }
  return true;
}

// One resize event of a drag, handled completely.
double milliseconds_to_resize(rt::qt::QtWindowSystem& ws, float width) {
  const auto start = std::chrono::steady_clock::now();
  resize_and_settle(ws, width);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto rank =
      static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size())));
  return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

// A drag of the border over 1000 resize events, there and back, each handled completely
// before the next: the time of each, against the 16.7 ms of a frame at 60 Hz.
std::vector<bench::Figure> drag() {
  constexpr double kFrameMs = 1000.0 / 60;
  std::vector<float> widths;
  widths.reserve(1000);
  for (int k = 0; k < 500; ++k) widths.push_back(6000.0f + 15.0f * static_cast<float>(k));
  for (int k = 500; k > 0; --k) widths.push_back(6000.0f + 15.0f * static_cast<float>(k));
  QtProgram pass;
  QtProgram direct;
  DirectPlacement placement(direct);
  // The same drag on both, event by event by turns, so that both meet the same machine.
  std::vector<double> program, baseline;
  for (const float w : widths) {
    program.push_back(milliseconds_to_resize(pass.ws, w));
    baseline.push_back(milliseconds_to_resize(direct.ws, w));
  }
  return {
      {"qt drag, 1000 resize events: time per event, median", percentile(program, 50), "ms",
       kFrameMs},
      {"qt drag, 1000 resize events: time per event, 99th percentile", percentile(program, 99),
       "ms", kFrameMs},
      {"(qt drag with direct placement: median)", percentile(baseline, 50), "ms"},
      {"(qt drag with direct placement: 99th percentile)", percentile(baseline, 99), "ms"},
  };
}

constexpr int kInspectedDrags = 3;

// The program as mdiresize runs it in its window: the session's pass recorder in the tracer
// slot, and with --inspect the inspector beside it.
struct InspectedProgram {
  explicit InspectedProgram(bool inspect) : app(shell::make_project(), ws) {
    app.set_tracer(&recorder);
    if (inspect) inspector = std::make_unique<app::Inspector>(app, ws, recorder);
    app.start();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  ~InspectedProgram() { inspector.reset(); }
  InspectedProgram(const InspectedProgram&) = delete;
  InspectedProgram& operator=(const InspectedProgram&) = delete;

  rt::qt::QtWindowSystem ws;
  app::PassRecorder recorder;
  rt::Application app;
  std::unique_ptr<app::Inspector> inspector;
};

// The drag of drag(), three times over, with the inspector open and without: the cost per
// resize event, median and 99th percentile, as a ratio. (The 99th percentile of one drag is its
// tenth slowest event, which what else the machine does decides more than the program.) The two
// programs take the drag by turns, so that both meet the same machine. The inspector draws on a
// timer, which would go off in the other program's events; so a turn lasts as long as the
// inspected program takes to reach that timer, and ends by drawing what it held back, counted to
// its last event.
std::vector<bench::Figure> drag_inspected() {
  std::vector<float> widths;
  for (int round = 0; round < kInspectedDrags; ++round) {
    for (int k = 0; k < 500; ++k) widths.push_back(6000.0f + 15.0f * static_cast<float>(k));
    for (int k = 500; k > 0; --k) widths.push_back(6000.0f + 15.0f * static_cast<float>(k));
  }
  InspectedProgram plain(false);
  InspectedProgram inspected(true);
  // One drag each first, not measured: the first drawings fill Qt's caches, as a person's first
  // moments with the window do.
  for (std::size_t i = 0; i < widths.size() / kInspectedDrags; ++i) {
    milliseconds_to_resize(inspected.ws, widths[i]);
    milliseconds_to_resize(plain.ws, widths[i]);
  }
  inspected.inspector->refresh();
  std::vector<double> without, with;
  for (std::size_t start = 0, end = 0; start < widths.size(); start = end) {
    for (double turn = 0; end < widths.size() && turn < app::Inspector::kRedrawIntervalMs; ++end) {
      with.push_back(milliseconds_to_resize(inspected.ws, widths[end]));
      turn += with.back();
    }
    if (inspected.inspector->redraw_pending()) {
      const auto drawing = std::chrono::steady_clock::now();
      inspected.inspector->refresh();
      QCoreApplication::sendPostedEvents();  // its painting
      QCoreApplication::processEvents();
      with.back() +=
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - drawing)
              .count();
    }
    for (std::size_t i = start; i < end; ++i) {
      without.push_back(milliseconds_to_resize(plain.ws, widths[i]));
    }
  }
  const double median = percentile(with, 50) / percentile(without, 50);
  const double p99 = percentile(with, 99) / percentile(without, 99);
  return {
      {"qt drag, inspector open / not, per resize event: median", median, "x", 1.25},
      {"qt drag, inspector open / not, per resize event: 99th pct.", p99, "x", 1.25},
      {"(qt drag, inspector open: median)", percentile(with, 50), "ms"},
      {"(qt drag, inspector open: 99th percentile)", percentile(with, 99), "ms"},
      {"(qt drag, no inspector: median)", percentile(without, 50), "ms"},
      {"(qt drag, no inspector: 99th percentile)", percentile(without, 99), "ms"},
  };
}

// Soon after the events of a drag have settled, the inspector shows the last pass.
bool inspector_shows_the_last_pass() {
  InspectedProgram p(true);
  for (const float w : drag_widths()) resize_and_settle(p.ws, w);
  QEventLoop settling;
  QTimer::singleShot(2 * app::Inspector::kSettledMs, &settling, &QEventLoop::quit);
  settling.exec();
  return p.inspector->shown_analysis() ==
         app::explanation(app::analyse(app::read_facts(p.app, &p.recorder)));
}

// The default sweep: 3000 to 12000 twips a pixel a step, the four combinations.
std::vector<bench::Figure> sweep() {
  const app::SweepOptions options;
  const auto passes_per_second = [&](const app::WindowSystemFactory& factory) {
    const auto start = std::chrono::steady_clock::now();
    const app::SweepResult result = app::run_sweep(options, factory, {}, nullptr);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return static_cast<double>(result.samples.size()) / took.count();
  };
  return {{"default sweep on qt (offscreen), passes per second",
           passes_per_second([] { return std::make_unique<rt::qt::QtWindowSystem>(); }),
           "passes/s"}};
}

const bench::Check kSameGeometries{"qt: direct placement leaves the widgets as the pass does",
                                   same_geometries};
// The ratio, each side timed by turns with the other (bench::paired_ratio).
std::vector<bench::Figure> paired() {
  QtProgram pass_program;
  QtProgram direct_program;
  DirectPlacement direct(direct_program);
  const std::vector<float> widths = drag_widths();
  std::size_t p = 0, d = 0;
  const auto pass = [&] {
    resize_and_settle(pass_program.ws, widths[p]);
    p = (p + 1) % widths.size();
  };
  const auto place_directly = [&] {
    resize_and_settle(direct_program.ws, widths[d]);
    d = (d + 1) % widths.size();
  };
  return {{"layout pass / direct placement, on qt (offscreen)",
           bench::paired_ratio(pass, place_directly, 5, 200), "x", 1.25}};
}

const bench::Measurement kPaired{"qt ratio", paired};
// The same from the benchmarks above, each side in its fastest repetition: a cross-check.
const bench::Ratio kQtRatio{"(layout pass / direct placement, on qt: benchmarks)",
                            "BM_QtLayoutPass", "BM_QtDirectPlacement", 0};
const bench::Measurement kDrag{"qt drag", drag};
const bench::Check kInspectorUpToDate{"qt: the inspector shows the last pass once events settle",
                                      inspector_shows_the_last_pass};
const bench::Measurement kDragInspected{"qt drag inspected", drag_inspected};
const bench::Measurement kSweep{"qt sweep", sweep};

}  // namespace
