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
#include "trace_lines.h"
#include "watch.h"

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

  // A person acting; each forgets what was traced before, so that the trace holds that one
  // event.
  void resize(float width, float height) {
    forget();
    ws.person().user_resize_client(width, height);
  }
  void click(rt::Menu& menu) {
    forget();
    ws.person().user_click(menu);
  }
  void click_resize_button() {
    forget();
    ws.person().user_click(top().Command1());
  }
  void forget() {
    trace.lines.clear();
    watch.calls.clear();
  }

  // The trace lines that start with `prefix`.
  std::vector<std::string> lines(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& line : trace.lines) {
      if (line.starts_with(prefix)) found.push_back(line);
    }
    return found;
  }
  // The Move calls of the child forms, each as the trace prints it.
  std::vector<std::string> form_moves() const {
    std::vector<std::string> found;
    for (const Watch::Call& c : watch.calls) {
      const rt::Form* form =
          c.what == Watch::What::Move ? app.existing_instance(c.object) : nullptr;
      if (form == nullptr || !form->design().mdi_child) continue;
      found.push_back(rt::TracePrinter::move_line(c.object, c.values[0].single(), c.values[1],
                                                  c.values[2], c.values[3]));
    }
    return found;
  }
  // For speed: nothing more is traced or kept.
  void stop_watching() {
    trace.stop();
    watch.stop();
  }

  rt::headless::HeadlessWindowSystem ws;
  rt::FaultInjection faults{ws};
  rt::Application app;
  TraceLines trace{app};
  Watch watch{app};
  Codes reported;
};

}  // namespace testing_program
