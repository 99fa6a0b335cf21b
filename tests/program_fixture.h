#pragma once

// The whole program on the in-memory window system, behind fault injection; what it did recorded.

#include <string>
#include <vector>

#include "error_of.h"
#include "forms/frmResizeB.h"
#include "forms/frmResizeL.h"
#include "forms/frmResizeR.h"
#include "forms/frmResizeT.h"
#include "layout/MDIResize.h"
#include "runtime/application.h"
#include "runtime/fault_injection.h"
#include "runtime/headless/headless_window_system.h"
#include "shell/project.h"

namespace testing_program {

inline rt::headless::Config exact() {
  rt::headless::Config config;
  config.exact = true;
  return config;
}

inline rt::headless::Config pixels(double twips_per_pixel = 15) {
  rt::headless::Config config;
  config.twips_per_pixel = twips_per_pixel;
  return config;
}

class Program {
 public:
  explicit Program(rt::headless::Config config = exact(), bool start = true)
      : ws(config), app(shell::make_project(), ws) {
    app.set_tracer(&trace);
    app.set_error_reporter([this](const rt::Error& e) { reported.push_back(e.code()); });
    if (start) app.start();
  }

  MDIResize& main() { return app.instance<MDIResize>(); }
  frmResizeL& left() { return app.instance<frmResizeL>(); }
  frmResizeR& right() { return app.instance<frmResizeR>(); }
  frmResizeB& bottom() { return app.instance<frmResizeB>(); }
  frmResizeT& top() { return app.instance<frmResizeT>(); }

  // What the window system holds, read without running program code.
  static rt::PeerState state(const rt::Form& form) { return form.peer_if_loaded()->inspect(); }
  static rt::PeerState state(const rt::Control& control) { return control.peer().inspect(); }
  rt::Rect geometry(const rt::Form& form) { return state(form).geometry; }
  std::string caption() { return state(top().Label1()).text; }
  bool checked(rt::Menu& menu) { return menu.peer().inspect().checked; }

  // A person acting; each clears the trace first, so that it holds that one event.
  void resize(float width, float height) {
    trace.lines.clear();
    ws.person().user_resize_client(width, height);
  }
  void click(rt::Menu& menu) {
    trace.lines.clear();
    ws.person().user_click(menu);
  }
  void click_resize_button() {
    trace.lines.clear();
    ws.person().user_click(top().Command1());
  }

  // The trace lines that start with `prefix`.
  std::vector<std::string> lines(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& line : trace.lines) {
      if (line.rfind(prefix, 0) == 0) found.push_back(line);
    }
    return found;
  }
  // The moves of the four child forms, in order.
  std::vector<std::string> form_moves() const {
    std::vector<std::string> found;
    for (const auto& line : lines("move frmResize")) {
      const std::string object = line.substr(5, line.find(' ', 5) - 5);
      if (object.find('.') == std::string::npos) found.push_back(line);
    }
    return found;
  }

  rt::headless::HeadlessWindowSystem ws;
  rt::FaultInjection faults{ws};
  rt::Application app;
  rt::RecordingTracer trace;
  Codes reported;
};

}  // namespace testing_program
