// The program as a person uses it on a real X desktop: Xvfb with openbox, driven by real input
// (XTest). After every step, what the program holds (`state`, read while the window is open)
// must be what the in-memory window system predicts for the same actions, and the screen must
// show the client area's scroll bars that the program says it shows; what the program recorded
// of the person (--record) must play back in memory to where it ended.

#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include "app/session.h"
#include "desktop.h"
#include "qt_support.h"
#include "runtime/application.h"
#include "runtime/headless/headless_window_system.h"
#include "runtime/qt/qt_window_system.h"
#include "shell/project.h"

namespace {

using namespace std::chrono_literals;
using desktop::Program;
using desktop::XDesktop;
using rt::qt::QtWindowSystem;

// The same actions on the in-memory window system, given the metrics of the real one.
class Prediction {
 public:
  explicit Prediction(const rt::headless::Config& config)
      : ws_(config), app_(shell::make_project(), ws_), session_(app_, out_, err_) {
    app_.start();
  }
  void run(const std::string& command) {
    session_.execute(command, ++lines_);
    EXPECT_EQ(err_.str(), "") << command;
    err_.str("");
  }
  std::string state() const {
    std::ostringstream out;
    app::print_state(app_, out);
    return out.str();
  }
  rt::PeerState child(const char* name) const {
    return app_.existing_instance(name)->peer_if_loaded()->inspect();
  }

 private:
  rt::headless::HeadlessWindowSystem ws_;
  rt::Application app_;
  std::ostringstream out_, err_;
  app::Session session_;
  int lines_ = 0;
};

// The state less the main window's place on the screen, which the desktop chooses.
std::string comparable(const std::string& state) {
  static const std::regex place("form MDIResize left=-?[0-9.e+]+ top=-?[0-9.e+]+");
  return std::regex_replace(state, place, "form MDIResize");
}

// A number of the state: `key=` of the line that starts with `prefix`.
double state_value(const std::string& state, const std::string& prefix, const std::string& key) {
  std::istringstream in(state);
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with(prefix)) continue;
    const std::size_t at = line.find(" " + key + "=");
    if (at != std::string::npos) return std::stod(line.substr(at + key.size() + 2));
  }
  return NAN;
}

// Where things are drawn, measured on the program in this process: the same style and font as
// the program's own, on Qt's offscreen platform.
struct Layout {
  rt::headless::Config config;
  int max_from_right = 0, min_from_right = 0, title_y = 0;  // a framed child's title bar
  int restore_icon_from_right = 0;                          // an icon's restore button
  int restore_maximised_from_right = 0;                     // a maximised child's
  QPoint vul_tekstbox, solve_problem;  // menu bar entries, from the window's top left
  QPoint drop_down;                    // where "Solve Problem" opens, likewise
  QPoint form1_in_list;                // the window list's "Form1", in the open drop-down
};

Layout measure() {
  Layout layout;
  layout.config = qt_support::config_like_qt();
  QtWindowSystem ws;
  rt::Application app(shell::make_project(), ws);
  app.start();
  const auto frame = [&](const char* form) {
    return qobject_cast<QMdiSubWindow*>(ws.native(*app.existing_instance(form)));
  };
  QMdiSubWindow& right = *frame("frmResizeR");
  layout.max_from_right =
      right.width() - qt_support::title_bar(right, QStyle::SC_TitleBarMaxButton).center().x();
  layout.min_from_right =
      right.width() - qt_support::title_bar(right, QStyle::SC_TitleBarMinButton).center().x();
  layout.title_y = qt_support::title_bar(right, QStyle::SC_TitleBarLabel).center().y();

  QMdiSubWindow& left = *frame("frmResizeL");
  left.showMinimized();
  layout.restore_icon_from_right =
      left.width() - qt_support::title_bar(left, QStyle::SC_TitleBarNormalButton).center().x();
  left.showNormal();

  right.showMaximized();  // it keeps its title bar, with a restore button
  layout.restore_maximised_from_right =
      right.width() - qt_support::title_bar(right, QStyle::SC_TitleBarNormalButton).center().x();
  right.showNormal();

  QMainWindow& window = *ws.main_window();
  for (QAction* entry : window.menuBar()->actions()) {
    const QPoint at =
        window.menuBar()->mapTo(&window, window.menuBar()->actionGeometry(entry).center());
    if (entry->text() == "Vul tekstbox") layout.vul_tekstbox = at;
    if (entry->text() != "Solve Problem") continue;
    layout.solve_problem = at;
    layout.drop_down = window.menuBar()->mapTo(
        &window, window.menuBar()->actionGeometry(entry).bottomLeft() + QPoint(0, 1));
    QMenu& menu = *entry->menu();
    emit menu.aboutToShow();  // the window list is made as the drop-down opens
    menu.ensurePolished();
    menu.adjustSize();
    for (QAction* item : menu.actions()) {
      if (item->text() == "&4 Form1") layout.form1_in_list = menu.actionGeometry(item).center();
    }
  }
  return layout;
}

// The main window's right border dragged a pixel at a time, `pixels` steps, the prediction
// told of each width the program reports and `expect_as_predicted` comparing (it returns the
// state): odd widths bring the double bar, the next ones take it away again.
void drag_border_pixel_by_pixel(
    XDesktop& desktop, unsigned long window, Program& program, Prediction& prediction, int pixels,
    const std::function<std::string(const std::string&)>& expect_as_predicted) {
  const QRect frame = desktop.frame_of(window);
  const QPoint border(frame.right(), frame.center().y());
  desktop.move(border);
  desktop.press();
  std::string bars_seen;
  for (int step = 1; step <= pixels; ++step) {
    desktop.move(border + QPoint(step, 0));
    const std::string state = program.settled_state();
    const double width = state_value(state, "form MDIResize", "width");
    const double height = state_value(state, "form MDIResize", "height");
    prediction.run("resize " + rt::format_number(width) + " " + rt::format_number(height));
    bars_seen += expect_as_predicted("a drag to " + rt::format_number(width)).substr(0, 15) + ";";
  }
  desktop.release();
  EXPECT_NE(bars_seen.find("scrollbars both"), std::string::npos) << bars_seen;
  EXPECT_NE(bars_seen.find("scrollbars none"), std::string::npos) << bars_seen;
}

class Desktop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!XDesktop::missing().empty()) return;
    desktop_ = new XDesktop;
    layout_ = new Layout(measure());
  }
  static void TearDownTestSuite() {
    delete desktop_;
    delete layout_;
    desktop_ = nullptr;
  }

  void SetUp() override {
    if (desktop_ == nullptr) GTEST_SKIP() << XDesktop::missing();
    recording_ = ::testing::TempDir() + "desktop-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".session";
    program_ = std::make_unique<Program>(
        std::vector<std::string>{desktop_->display_variable(),
                                 "QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=",
                                 "XDG_RUNTIME_DIR=" + desktop::private_runtime_folder()},
        std::vector<std::string>{"--record", recording_});
    window_ = desktop_->window("ResizeL");
    ASSERT_NE(window_, 0u) << "the main window did not come";
    prediction_ = std::make_unique<Prediction>(layout_->config);
    expect_as_predicted("start-up");
  }

  // The program as it is now against the prediction, and the screen against the program.
  std::string expect_as_predicted(const std::string& step) {
    std::string state = program_->settled_state();
    EXPECT_EQ(comparable(state), comparable(prediction_->state())) << "after " << step;
    const QRect client = client_on_screen(state);
    const desktop::Bars bars =
        desktop::bars_on_screen(desktop_->grab(client), layout_->config.scroll_bar_px);
    std::string said = state.substr(0, state.find('\n'));
    const std::string shown =
        std::string("scrollbars ") + (bars.horizontal && bars.vertical ? "both"
                                      : bars.horizontal                ? "horizontal"
                                      : bars.vertical                  ? "vertical"
                                                                       : "none");
    EXPECT_EQ(shown, said) << "on the screen, after " << step;
    return state;
  }

  // A test that leaves the program running ends it: what it recorded of the person, played in
  // memory, must end where the program did.
  void TearDown() override {
    if (program_ != nullptr && program_->running() && !HasFailure()) {
      expect_recording_replays(program_->settled_state());
    }
  }

  // The program ends; what it recorded of the person, played by the program on its in-memory
  // window system, set up by nothing but the recording's first line, ends in `state`.
  void expect_recording_replays(const std::string& state) {
    program_->send("quit");
    EXPECT_EQ(program_->wait(10s), 0);
    std::ifstream file(recording_);
    std::stringstream recorded;
    recorded << file.rdbuf();
    const std::string replay = recording_ + ".state";
    std::ofstream(replay) << recorded.str() << "state\n";
    const desktop::Played played = desktop::play_headless(replay);
    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(comparable(played.out), comparable(state)) << "recorded:\n" << recorded.str();
  }

  // The client area on the screen: the bottom of the main window, below its menu bar.
  QRect client_on_screen(const std::string& state) {
    const double tpp = layout_->config.twips_per_pixel;
    const QRect window = desktop_->area_of(window_);
    const int width =
        static_cast<int>(std::lround(state_value(state, "form MDIResize", "width") / tpp));
    const int height =
        static_cast<int>(std::lround(state_value(state, "form MDIResize", "height") / tpp));
    return QRect(window.left(), window.bottom() + 1 - height, width, height);
  }

  // A child's title bar on the screen, `from_right` pixels left of its right end.
  QPoint title_bar(const char* child, int from_right) {
    const rt::Rect shown = prediction_->child(child).shown;
    const double tpp = layout_->config.twips_per_pixel;
    const QRect client = client_on_screen(program_->state());
    const int right =
        client.left() + static_cast<int>(std::lround((shown.left + shown.width) / tpp));
    const int top = client.top() + static_cast<int>(std::lround(shown.top / tpp));
    return QPoint(right - from_right, top + layout_->title_y);
  }

  // A step: real input, then what the session says the person did.
  template <class Input>
  void step(const std::string& command, Input&& input) {
    // A frame knows where its buttons are 200 ms after it was last sized; a person takes
    // longer than that to aim at one.
    std::this_thread::sleep_for(250ms);
    input();
    prediction_->run(command);
    expect_as_predicted(command);
  }

  static XDesktop* desktop_;
  static Layout* layout_;
  std::string recording_;
  std::unique_ptr<Program> program_;
  unsigned long window_ = 0;
  std::unique_ptr<Prediction> prediction_;
};

XDesktop* Desktop::desktop_ = nullptr;
Layout* Desktop::layout_ = nullptr;

// The drag is recorded as resizes, which `--headless --script` plays to the same state (at the
// test's end).
TEST_F(Desktop, DraggingTheBorderPixelByPixelLaysOutOddAndEvenWidths) {
  drag_border_pixel_by_pixel(*desktop_, window_, *program_, *prediction_, 6,
                             [this](const std::string& step) { return expect_as_predicted(step); });
}

TEST_F(Desktop, TitleBarButtonsMinimiseMaximiseAndRestoreAChild) {
  step("maximize frmResizeR",
       [&] { desktop_->click(title_bar("frmResizeR", layout_->max_from_right)); });
  // Widened while it is maximised: it stays so, and comes back where the last pass put it.
  const QRect frame = desktop_->frame_of(window_);
  std::this_thread::sleep_for(250ms);
  desktop_->move(QPoint(frame.right(), frame.center().y()));
  desktop_->press();
  for (int pixels = 15; pixels <= 61; pixels += 15) {
    desktop_->move(QPoint(frame.right() + pixels, frame.center().y()));
  }
  desktop_->release();
  const std::string state = program_->settled_state();
  ASSERT_GT(state_value(state, "form MDIResize", "width"), 6480) << "the border was not dragged";
  prediction_->run("resize " + rt::format_number(state_value(state, "form MDIResize", "width")) +
                   " " + rt::format_number(state_value(state, "form MDIResize", "height")));
  expect_as_predicted("widening the main window");
  step("restore frmResizeR",
       [&] { desktop_->click(title_bar("frmResizeR", layout_->restore_maximised_from_right)); });
  step("minimize frmResizeL",
       [&] { desktop_->click(title_bar("frmResizeL", layout_->min_from_right)); });
  step("restore frmResizeL",
       [&] { desktop_->click(title_bar("frmResizeL", layout_->restore_icon_from_right)); });
}

TEST_F(Desktop, ADoubleClickOnATitleMaximisesTheChild) {
  step("maximize frmResizeT", [&] { desktop_->double_click(title_bar("frmResizeT", 200)); });
}

TEST_F(Desktop, TheMenuWorksFromTheKeyboard) {
  // One key at a time, as a person presses them.
  step("click mnuOplossing", [&] {
    for (const char* key : {"Alt_L", "Down", "Return"}) desktop_->keys({key});
  });
  step("click mnuWiskundig", [&] {
    for (const char* key : {"Alt_L", "Down", "Down", "Return"}) desktop_->keys({key});
  });
}

// F10 takes the menu bar as Alt does; Ctrl+F6 and Ctrl+Tab go to the next child in the window
// list's order (after the last, the first), with Shift to the one before; the list's entries
// are numbered, the number their access key.
TEST_F(Desktop, TheKeysOfMdiProgramsGoThroughTheChildrenAndOpenTheMenu) {
  step("click mnuOplossing", [&] {
    for (const char* key : {"F10", "Down", "Return"}) desktop_->keys({key});
  });
  step("next", [&] { desktop_->keys({"Control_L", "F6"}); });  // from Form1, the last
  step("next", [&] { desktop_->keys({"Control_L", "Tab"}); });
  step("maximize frmResizeR",
       [&] { desktop_->click(title_bar("frmResizeR", layout_->max_from_right)); });
  step("next", [&] { desktop_->keys({"Control_L", "F6"}); });  // it stays maximised, behind
  step("previous", [&] { desktop_->keys({"Control_L", "Shift_L", "F6"}); });
  step("previous", [&] { desktop_->keys({"Control_L", "Shift_L", "Tab"}); });
  step("window frmResizeT", [&] {
    for (const char* key : {"F10", "Down", "4"}) desktop_->keys({key});
  });
}

TEST_F(Desktop, VulTekstboxTheResizeButtonAndTheWindowListByMouse) {
  const QRect window = desktop_->area_of(window_);
  step("click mnuVulBox", [&] { desktop_->click(window.topLeft() + layout_->vul_tekstbox); });
  step("click Command1", [&] {
    // The button's place on its form, inside the form's frame.
    const std::string state = program_->state();
    const rt::Rect top = prediction_->child("frmResizeT").shown;
    const double tpp = layout_->config.twips_per_pixel;
    const QRect client = client_on_screen(state);
    const QPoint button(static_cast<int>(std::lround(
                            (top.left + state_value(state, "control frmResizeT.Command1", "left") +
                             state_value(state, "control frmResizeT.Command1", "width") / 2) /
                            tpp)) +
                            layout_->config.border_px,
                        static_cast<int>(std::lround(
                            (top.top + state_value(state, "control frmResizeT.Command1", "top") +
                             state_value(state, "control frmResizeT.Command1", "height") / 2) /
                            tpp)) +
                            layout_->config.border_px + layout_->config.caption_px);
    desktop_->click(client.topLeft() + button);
  });
  // Form1 buried under the left form, and brought back from the window list.
  step("activate frmResizeL", [&] { desktop_->click(title_bar("frmResizeL", 150)); });
  step("window frmResizeT", [&] {
    desktop_->click(window.topLeft() + layout_->solve_problem);
    desktop_->click(window.topLeft() + layout_->drop_down + layout_->form1_in_list);
  });
}

TEST_F(Desktop, ClosingTheMainWindowEndsTheProgram) {
  desktop_->keys({"Alt_L", "F4"});  // the window manager's own way to close a window
  EXPECT_EQ(program_->wait(10s), 0);
}

// The inspector beside the main window on a screen of 1600 by 1000, as openbox frames and
// places them: the frames side by side on the screen, neither over the other.
TEST(Inspector, StandsBesideTheMainWindowOnAScreenOf1600By1000) {
  if (const std::string missing = XDesktop::missing(); !missing.empty()) GTEST_SKIP() << missing;
  XDesktop desktop(QSize(1600, 1000));
  Program program({desktop.display_variable(), "QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=",
                   "XDG_RUNTIME_DIR=" + desktop::private_runtime_folder()},
                  {"--inspect"});
  const unsigned long main = desktop.window("ResizeL");
  const unsigned long inspector = desktop.window("Inspector");
  ASSERT_NE(main, 0u) << "the main window did not come";
  ASSERT_NE(inspector, 0u) << "the inspector did not come";
  program.settled_state();
  // Where the window manager has put the frames, once they stay.
  QRect main_frame, inspector_frame;
  for (int tries = 0; tries < 50; ++tries) {
    const QRect m = desktop.frame_of(main), i = desktop.frame_of(inspector);
    if (tries > 0 && m == main_frame && i == inspector_frame) break;
    main_frame = m;
    inspector_frame = i;
    std::this_thread::sleep_for(100ms);
  }
  const auto text = [](const QRect& r) {
    return std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" +
           std::to_string(r.x()) + "+" + std::to_string(r.y());
  };
  const std::string where = "main " + text(main_frame) + ", inspector " + text(inspector_frame);
  EXPECT_FALSE(main_frame.intersects(inspector_frame)) << where;
  EXPECT_TRUE(main_frame.right() < inspector_frame.left() ||
              inspector_frame.right() < main_frame.left())
      << "not side by side: " << where;
  const QRect screen(0, 0, 1600, 1000);
  EXPECT_TRUE(screen.contains(main_frame) && screen.contains(inspector_frame)) << where;
  program.send("quit");
  EXPECT_EQ(program.wait(10s), 0);
}

// The Windows program under Wine, its windows Wine's own on the same X desktop (x11 driver),
// given real input. After every step, the layout as it shows in `state` (the bars, the
// children's places and states, the menu's check marks, the label) must be what the in-memory
// window system predicts, given the Win32 metrics read from the program at start-up. (The
// lists' heights are left out: a Win32 list box keeps whole rows, which the prediction has
// not.)
class Win32Desktop : public ::testing::Test {
 protected:
  // The frames' metrics from the start-up layout; the client area's bars from a width where
  // they show (the naive halves overhang at 401 pixels). In a program of its own, so that the
  // one the test drives starts as a person's does.
  static rt::headless::Config measure_win32(const std::string& display) {
    Program program({display, "WAYLAND_DISPLAY="}, {}, desktop::windows_program());
    rt::headless::Config config;
    const std::string start = program.settled_state();
    const double tpp = config.twips_per_pixel;
    const auto px = [&](double twips) { return static_cast<int>(std::lround(twips / tpp)); };
    const int frame_width = px(state_value(start, "form frmResizeL", "width") -
                               state_value(start, "form frmResizeL", "scalewidth"));
    config.border_px = frame_width / 2;
    config.caption_px = px(state_value(start, "form frmResizeL", "height") -
                           state_value(start, "form frmResizeL", "scaleheight")) -
                        frame_width;
    program.send("resize 6015 4860");
    const std::string bars = program.settled_state();
    EXPECT_TRUE(bars.starts_with("scrollbars both\n")) << bars;
    config.scroll_bar_px = px(state_value(bars, "form MDIResize", "width") -
                              state_value(bars, "form MDIResize", "scalewidth"));
    program.send("quit");
    EXPECT_EQ(program.wait(20s), 0);
    return config;
  }

  void SetUp() override {
    if (std::string missing = XDesktop::missing() + desktop::windows_program_missing();
        !missing.empty()) {
      GTEST_SKIP() << "cannot run here: " << missing;
    }
    desktop_ = std::make_unique<XDesktop>();
    program_ = std::make_unique<Program>(
        std::vector<std::string>{desktop_->display_variable(), "WAYLAND_DISPLAY="},
        std::vector<std::string>{}, desktop::windows_program());
    window_ = desktop_->window("ResizeL", 60s);  // a first start makes Wine's desktop too
    ASSERT_NE(window_, 0u) << "the main window did not come";
    config_ = measure_win32(desktop_->display_variable());
    prediction_ = std::make_unique<Prediction>(config_);
    expect_as_predicted("start-up");
  }
  void TearDown() override {
    if (program_ == nullptr) return;
    program_->send("quit");
    EXPECT_EQ(program_->wait(20s), 0);
  }

  // What of a state the layout decides.
  static std::string layout_of(const std::string& state) {
    std::istringstream in(comparable(state));
    std::string kept;
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("control frmResizeT.Label1 ")) line = line.substr(line.find("caption="));
      if (line.starts_with("control ") && !line.starts_with("caption=")) continue;
      kept += line + "\n";
    }
    return kept;
  }
  std::string expect_as_predicted(const std::string& step) {
    std::string state = program_->settled_state();
    EXPECT_EQ(layout_of(state), layout_of(prediction_->state())) << "after " << step;
    return state;
  }
  // The client area's top left on the screen: below the menu bar, which Wine's window holds.
  QPoint client_on_screen(const std::string& state) {
    const QRect area = desktop_->area_of(window_);
    const int height = static_cast<int>(
        std::lround(state_value(state, "form MDIResize", "height") / config_.twips_per_pixel));
    return QPoint(area.left(), area.bottom() + 1 - height);
  }

  rt::headless::Config config_;
  std::unique_ptr<XDesktop> desktop_;
  std::unique_ptr<Program> program_;
  unsigned long window_ = 0;
  std::unique_ptr<Prediction> prediction_;
};

TEST_F(Win32Desktop, DraggingTheFramesBorderLaysOutOddAndEvenWidths) {
  drag_border_pixel_by_pixel(*desktop_, window_, *program_, *prediction_, 4,
                             [this](const std::string& step) { return expect_as_predicted(step); });
}

// "Solve Problem" opened by a click on the menu bar and "Oplossing" chosen in it (its check
// mark comes, and the layout follows), then a child's maximise button.
TEST_F(Win32Desktop, TheMenuAndAChildsMaximiseButtonByMouse) {
  std::string state = program_->state();
  const QPoint client = client_on_screen(state);
  const QRect area = desktop_->area_of(window_);
  const int menu_bar = client.y() - area.top();
  desktop_->click(area.topLeft() + QPoint(12, menu_bar / 2));  // "Solve Problem", the first
  desktop_->keys({"Down"});
  desktop_->keys({"Return"});
  prediction_->run("click mnuOplossing");
  state = expect_as_predicted("Solve Problem, Oplossing");
  EXPECT_NE(state.find("menu MDIResize.mnuOplossing checked=True"), std::string::npos) << state;

  const double tpp = config_.twips_per_pixel;
  const int right = static_cast<int>(std::lround((state_value(state, "form frmResizeR", "left") +
                                                  state_value(state, "form frmResizeR", "width")) /
                                                 tpp));
  // Square caption buttons (SM_CXSIZE wide, as the caption is SM_CYSIZE + 1 high) at the
  // frame's right: close, then maximise.
  const int button = config_.caption_px - 1;
  desktop_->click(client + QPoint(right - config_.border_px - button - button / 2 - 1,
                                  config_.border_px + config_.caption_px / 2));
  prediction_->run("maximize frmResizeR");
  expect_as_predicted("the maximise button");
}

// On a real Wayland compositor: a session of resizes across odd and even widths and both
// options, each step against the prediction. (weston's headless back end has no input devices,
// so the session plays what a person would do.)
TEST(Wayland, ASessionUnderWestonLaysOutAsPredicted) {
  if (const std::string missing = desktop::Weston::missing(); !missing.empty()) {
    GTEST_SKIP() << missing;
  }
  const desktop::Weston weston;
  Program program(weston.environment());
  Prediction prediction(qt_support::config_like_qt());
  EXPECT_EQ(comparable(program.settled_state()), comparable(prediction.state())) << "at start-up";
  for (const std::string step :
       {"resize 6000 4860", "resize 6015 4860", "resize 6030 4860", "resize 6045 4860",
        "click mnuOplossing", "resize 6015 4860", "click mnuWiskundig", "resize 9015 5000",
        "maximize frmResizeR", "resize 6015 4860", "restore frmResizeR", "click mnuOplossing",
        "click mnuWiskundig", "resize 4500 3000"}) {
    program.send(step);
    prediction.run(step);
    EXPECT_EQ(comparable(program.settled_state()), comparable(prediction.state()))
        << "after " << step;
  }
  program.send("quit");
  EXPECT_EQ(program.wait(10s), 0);
}

}  // namespace
