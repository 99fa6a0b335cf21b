#pragma once

// The program on the in-memory window system, and two ways of leaving its windows as a layout
// pass does without running it: the yardsticks the pass is measured against.

#include <cmath>
#include <stdexcept>
#include <string_view>

#include "bench/alike.h"
#include "bench/drag.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "shell/project.h"

namespace bench {

struct HeadlessProgram {
  HeadlessProgram() : app(shell::make_project(), ws) { app.start(); }
  rt::Form& form(const char* name) { return *app.existing_instance(name); }
  rt::Peer& peer(const char* name) { return *form(name).peer_if_loaded(); }
  rt::Peer& control(const char* form_name, std::string_view name, int index = -1) {
    const rt::Control* c = form(form_name).loaded_control(name, index);
    if (c == nullptr) throw std::logic_error("no such control");
    return c->peer();
  }
  rt::Peer& menu(std::string_view name) {
    const rt::Menu* m = form("MDIResize").loaded_menu(name);
    if (m == nullptr) throw std::logic_error("no such menu item");
    return m->peer();
  }

  rt::headless::HeadlessWindowSystem ws;
  rt::Application app;
};

// The peers the layout pass touches, found once.
struct PassPeers {
  explicit PassPeers(HeadlessProgram& p)
      : main(p.peer("MDIResize")),
        left(p.peer("frmResizeL")),
        right(p.peer("frmResizeR")),
        bottom(p.peer("frmResizeB")),
        top(p.peer("frmResizeT")),
        text(p.control("frmResizeB", "Text1")),
        label(p.control("frmResizeT", "Label1")),
        oplossing(p.menu("mnuOplossing")),
        wiskundig(p.menu("mnuWiskundig")),
        lists{&p.control("frmResizeL", "List1", 0), &p.control("frmResizeL", "List1", 1),
              &p.control("frmResizeL", "List1", 2)} {}

  rt::Peer &main, &left, &right, &bottom, &top, &text, &label, &oplossing, &wiskundig;
  rt::Peer* lists[3];
};

// Whether the size changed, as the window system reports it.
inline bool place(rt::Peer& peer, float left, float top, float width, float height) {
  rt::Placement p;
  p.left = left;
  p.top = top;
  p.width = width;
  p.height = height;
  return peer.place(p);
}

// The rectangles the pass gives with neither option, computed directly and written straight
// to the windows: no variants, no lookups by name, no events, and only the reads the result
// needs.
class DirectPlacement {
 public:
  explicit DirectPlacement(HeadlessProgram& p) : ws_(p.ws), peers_(p) {
    p.ws.attach(nullptr);  // the program no longer hears of anything
  }

  // The client area as the layout pass reads it: less the scroll bars of the last event.
  void resize(float client_width, float client_height) {
    rt::Placement area;
    area.width = client_width;
    area.height = client_height;
    peers_.main.place(area);
    const rt::Size visible = peers_.main.client_size();
    const float width = visible.width;
    const float height = visible.height;
    const auto upper = static_cast<float>(std::floor(height * 0.8));
    const auto lower = static_cast<float>(std::floor(height * 0.2));
    const float half = width / 2;
    place(peers_.left, 0, 0, half, upper);
    const rt::Size client = peers_.left.client_size();
    const float third = client.width / 3;
    place(*peers_.lists[0], 0, 0, third, client.height);
    const float w0 = peers_.lists[0]->geometry().width;
    place(*peers_.lists[1], w0, 0, std::floor(third), client.height);
    const float w1 = peers_.lists[1]->geometry().width;
    place(*peers_.lists[2], w0 + w1, 0, std::floor(third), client.height);
    place(peers_.right, peers_.left.geometry().width, 0, half, upper);
    place(peers_.bottom, 0, upper, width, lower);
    const rt::Size text = peers_.bottom.client_size();
    place(peers_.text, 0, 0, text.width, text.height);
    place(peers_.top, 0, 1000, 6000, 1200);
    peers_.label.set_text(6000 > width ? "Oeps. Dubbele scrollbar" : "");
    ws_.idle();
  }

 private:
  rt::headless::HeadlessWindowSystem& ws_;
  PassPeers peers_;
};

// The same rectangles, but asking the window system everything the pass asks it, in the same
// order: every client size, width and check mark read afresh, each child placed as the pass
// places it, and a child's own handler run where the pass would set it going. What is left
// between this and the pass is the runtime's own cost.
class FreshReadsPlacement {
 public:
  explicit FreshReadsPlacement(HeadlessProgram& p) : ws_(p.ws), peers_(p) { p.ws.attach(nullptr); }

  void resize(float client_width, float client_height) {
    rt::Placement area;
    area.width = client_width;
    area.height = client_height;
    peers_.main.place(area);
    pass();
    ws_.idle();
  }

 private:
  float scale_width() { return peers_.main.client_size().width; }
  float scale_height() { return peers_.main.client_size().height; }
  float half_width(float saved) {
    const float half = saved / 2;
    return peers_.oplossing.checked() ? std::floor(half) : half;
  }
  static float upper(float height) { return static_cast<float>(std::floor(height * 0.8)); }
  static float lower(float height) { return static_cast<float>(std::floor(height * 0.2)); }

  void pass() {
    const float saved = scale_width();
    {
      const float half = half_width(saved);
      const float height = upper(scale_height());
      if (place(peers_.left, 0, 0, half, height)) left_resized();
    }
    {
      const float left_width = peers_.left.geometry().width;
      const float half = half_width(saved);
      const float height = upper(scale_height());
      place(peers_.right, left_width, 0, half, height);
    }
    {
      const float first_height = scale_height();
      const float width = scale_width();
      const float second_height = scale_height();
      if (place(peers_.bottom, 0, upper(first_height), width, lower(second_height))) {
        const float text_width = peers_.bottom.client_size().width;
        const float text_height = peers_.bottom.client_size().height;
        place(peers_.text, 0, 0, text_width, text_height);
      }
    }
    place(peers_.top, 0, 1000, 6000, 1200);
    if (peers_.wiskundig.checked()) {
      const float first_left_width = peers_.left.geometry().width;
      const float width = scale_width();
      const float second_left_width = peers_.left.geometry().width;
      const float height = upper(scale_height());
      place(peers_.right, first_left_width, 0, width - second_left_width, height);
    }
    const float top_width = peers_.top.geometry().width;
    const bool oplossing = peers_.oplossing.checked();
    const bool wiskundig = peers_.wiskundig.checked();
    const float width = scale_width();
    if ((oplossing || wiskundig) && top_width > width) {
      peers_.label.set_text(
          "Nu zou het formulier een extra scrollbar gaan genereren\r\nNiet dus .....");
      rt::Placement narrowed;
      narrowed.width = scale_width();
      peers_.top.place(narrowed);
      return;
    }
    const float second_top_width = peers_.top.geometry().width;
    peers_.label.set_text(second_top_width > scale_width() ? "Oeps. Dubbele scrollbar" : "");
  }

  // frmResizeL's Resize, each width and client size read afresh.
  void left_resized() {
    rt::Peer& form = peers_.left;
    if (peers_.oplossing.checked()) {
      float previous = 0;
      for (int j = 0; j < 3; ++j) {
        const float third = form.client_size().width / 3;
        const float edge = std::floor(static_cast<float>(j + 1) * third);
        place(*peers_.lists[j], previous, 0, edge - previous, form.client_size().height);
        previous = edge;
        ws_.send_message(peers_.lists[j]->handle(), rt::LB_SETHORIZONTALEXTENT, 1000, 0);
      }
      return;
    }
    const float third = form.client_size().width / 3;
    place(*peers_.lists[0], 0, 0, third, form.client_size().height);
    const float w0 = peers_.lists[0]->geometry().width;
    const float second = std::floor(form.client_size().width / 3);
    place(*peers_.lists[1], w0, 0, second, form.client_size().height);
    const float left0 = peers_.lists[0]->geometry().width;
    const float left = left0 + peers_.lists[1]->geometry().width;
    const float last = std::floor(form.client_size().width / 3);
    place(*peers_.lists[2], left, 0, last, form.client_size().height);
  }

  rt::headless::HeadlessWindowSystem& ws_;
  PassPeers peers_;
};

}  // namespace bench
