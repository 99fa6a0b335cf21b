// The layout pass on the in-memory window system, against placing the same rectangles
// straight into the same windows: what the runtime between program and window system costs.

#include <benchmark/benchmark.h>

#include <cmath>
#include <stdexcept>

#include "bench/ratios.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "shell/project.h"

namespace {

constexpr float kHeight = 5000;

// Client widths a drag passes through: every pixel from 6000 to 9000 twips.
std::vector<float> drag_widths() {
  std::vector<float> widths;
  for (float w = 6000; w <= 9000; w += 15) widths.push_back(w);
  return widths;
}

struct Program {
  Program() : app(shell::make_project(), ws) { app.start(); }
  rt::Form& form(const char* name) { return *app.existing_instance(name); }
  rt::Peer& peer(const char* name) { return *form(name).peer_if_loaded(); }
  rt::Peer& control(const char* form_name, std::string_view name, int index = -1) {
    for (const auto& c : form(form_name).controls()) {
      if (c->name() == name && c->design().index == index) return c->peer();
    }
    throw std::logic_error("no such control");
  }

  rt::headless::HeadlessWindowSystem ws;
  rt::Application app;
};

// The rectangles the pass gives with neither option, computed directly and written straight
// to the windows: no variants, no lookups by name, no events.
class DirectPlacement {
 public:
  explicit DirectPlacement(Program& p)
      : ws_(p.ws),
        main_(p.peer("MDIResize")),
        left_(p.peer("frmResizeL")),
        right_(p.peer("frmResizeR")),
        bottom_(p.peer("frmResizeB")),
        top_(p.peer("frmResizeT")),
        text_(p.control("frmResizeB", "Text1")),
        label_(p.control("frmResizeT", "Label1")),
        lists_{&p.control("frmResizeL", "List1", 0), &p.control("frmResizeL", "List1", 1),
               &p.control("frmResizeL", "List1", 2)} {
    p.ws.attach(nullptr);  // the program no longer hears of anything
  }

  // The client area as the layout pass reads it: less the scroll bars of the last event.
  void resize(float client_width, float client_height) {
    rt::Placement area;
    area.width = client_width;
    area.height = client_height;
    main_.place(area);
    const rt::Size visible = main_.client_size();
    const float width = visible.width;
    const float height = visible.height;
    const float upper = std::floor(height * 0.8);
    const float lower = std::floor(height * 0.2);
    const float half = width / 2;
    place(left_, 0, 0, half, upper);
    const rt::Size client = left_.client_size();
    const float third = client.width / 3;
    place(*lists_[0], 0, 0, third, client.height);
    const float w0 = lists_[0]->geometry().width;
    place(*lists_[1], w0, 0, std::floor(third), client.height);
    const float w1 = lists_[1]->geometry().width;
    place(*lists_[2], w0 + w1, 0, std::floor(third), client.height);
    place(right_, left_.geometry().width, 0, half, upper);
    place(bottom_, 0, upper, width, lower);
    const rt::Size text = bottom_.client_size();
    place(text_, 0, 0, text.width, text.height);
    place(top_, 0, 1000, 6000, 1200);
    label_.set_text(6000 > width ? "Oeps. Dubbele scrollbar" : "");
    ws_.idle();
  }

 private:
  static void place(rt::Peer& peer, float left, float top, float width, float height) {
    rt::Placement p;
    p.left = left;
    p.top = top;
    p.width = width;
    p.height = height;
    peer.place(p);
  }

  rt::headless::HeadlessWindowSystem& ws_;
  rt::Peer &main_, &left_, &right_, &bottom_, &top_, &text_, &label_;
  rt::Peer* lists_[3];
};

void BM_HeadlessLayoutPass(benchmark::State& state) {
  Program p;
  const std::vector<float> widths = drag_widths();
  std::size_t i = 0;
  for (auto _ : state) {
    p.ws.user_resize_client(widths[i], kHeight);
    i = (i + 1) % widths.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HeadlessLayoutPass);

void BM_HeadlessDirectPlacement(benchmark::State& state) {
  Program p;
  DirectPlacement direct(p);
  const std::vector<float> widths = drag_widths();
  std::size_t i = 0;
  for (auto _ : state) {
    direct.resize(widths[i], kHeight);
    i = (i + 1) % widths.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HeadlessDirectPlacement);

// The baseline must leave the windows exactly as the pass does, or the ratio means nothing.
bool same_result() {
  Program pass;
  Program direct;
  DirectPlacement placement(direct);
  for (const float w : drag_widths()) {
    pass.ws.user_resize_client(w, kHeight);
    placement.resize(w, kHeight);
    for (const char* name : {"frmResizeL", "frmResizeR", "frmResizeB", "frmResizeT"}) {
      if (pass.peer(name).inspect().geometry != direct.peer(name).inspect().geometry) return false;
    }
    for (int j = 0; j < 3; ++j) {
      if (pass.control("frmResizeL", "List1", j).inspect().geometry !=
          direct.control("frmResizeL", "List1", j).inspect().geometry) {
        return false;
      }
    }
    if (pass.ws.client_scroll_bars() != direct.ws.client_scroll_bars()) return false;
  }
  return true;
}

const bench::Check kSameResult{"headless: direct placement leaves the windows as the pass does",
                               same_result};
const bench::Ratio kHeadlessRatio{"layout pass / direct placement, in memory",
                                  "BM_HeadlessLayoutPass", "BM_HeadlessDirectPlacement", 2.0};

}  // namespace
